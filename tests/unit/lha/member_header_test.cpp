// Member headers of every level, built byte by byte, and damaged ones.
#include <gtest/gtest.h>

#include <functional>

#include "lha/crc16.h"
#include "lha/member_header.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void put_text(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

struct Extension {
    uint8_t type;
    std::string data;
};

// Level 0 (or 1 with extensions): size byte, checksum byte, then the fixed fields.
Bytes level01(int level, const std::string& name, uint32_t packed, uint32_t original,
              const std::vector<Extension>& extensions = {}, int checksum_delta = 0) {
    Bytes h = {0, 0};
    put_text(h, "-lh5-");
    uint32_t ext_total = 0;
    for (const auto& e : extensions) ext_total += static_cast<uint32_t>(e.data.size()) + 3;
    put32(h, packed + ext_total);
    put32(h, original);
    put32(h, 0x54AB2B73);
    h.push_back(level == 0 ? 0x20 : 0x20);
    h.push_back(static_cast<uint8_t>(level));
    h.push_back(static_cast<uint8_t>(name.size()));
    put_text(h, name);
    put16(h, 0x1234);
    if (level == 1) {
        h.push_back('M');
        put16(h, extensions.empty() ? 0 : static_cast<uint32_t>(extensions[0].data.size()) + 3);
    }
    h[0] = static_cast<uint8_t>(h.size() - 2);
    uint8_t sum = 0;
    for (size_t i = 2; i < h.size(); ++i) sum = static_cast<uint8_t>(sum + h[i]);
    h[1] = static_cast<uint8_t>(sum + checksum_delta);
    for (size_t i = 0; i < extensions.size(); ++i) {
        h.push_back(extensions[i].type);
        put_text(h, extensions[i].data);
        put16(h, i + 1 < extensions.size() ? static_cast<uint32_t>(extensions[i + 1].data.size()) + 3 : 0);
    }
    h.insert(h.end(), packed, 0xAA);
    return h;
}

// Level 2 or 3 with a header-CRC extension first, then the given ones.
Bytes level23(int level, uint32_t packed, uint32_t original, std::vector<Extension> extensions, bool add_crc = true,
              int crc_delta = 0) {
    const int width = level == 2 ? 2 : 4;
    Bytes h;
    if (level == 2) put16(h, 0);
    else put16(h, 4);
    put_text(h, "-lh5-");
    put32(h, packed);
    put32(h, original);
    put32(h, 0x4F000000);
    h.push_back(0x20);
    h.push_back(static_cast<uint8_t>(level));
    put16(h, 0xBEEF);
    h.push_back('U');
    if (add_crc) extensions.insert(extensions.begin(), Extension{0x00, std::string(2, '\0')});
    if (level == 3) put32(h, 0);   // total size, patched below
    auto put_size = [&](Bytes& b, uint32_t v) { width == 2 ? put16(b, v) : put32(b, v); };
    put_size(h, extensions.empty() ? 0 : static_cast<uint32_t>(extensions[0].data.size()) + 1 + width);
    size_t crc_at = 0;
    for (size_t i = 0; i < extensions.size(); ++i) {
        if (extensions[i].type == 0x00) crc_at = h.size() + 1;
        h.push_back(extensions[i].type);
        put_text(h, extensions[i].data);
        put_size(h, i + 1 < extensions.size() ? static_cast<uint32_t>(extensions[i + 1].data.size()) + 1 + width : 0);
    }
    if (level == 2) {
        h[0] = static_cast<uint8_t>(h.size());
        h[1] = static_cast<uint8_t>(h.size() >> 8);
    } else {
        const uint32_t n = static_cast<uint32_t>(h.size());
        for (int i = 0; i < 4; ++i) h[24 + i] = static_cast<uint8_t>(n >> (8 * i));
    }
    if (add_crc) {
        const uint16_t crc = static_cast<uint16_t>(update_crc16(0, h.data(), h.size()) + crc_delta);
        h[crc_at] = static_cast<uint8_t>(crc);
        h[crc_at + 1] = static_cast<uint8_t>(crc >> 8);
    }
    h.insert(h.end(), packed, 0xAA);
    return h;
}

std::string le64_text(uint64_t a, uint64_t b) {
    std::string s;
    for (int i = 0; i < 8; ++i) s.push_back(static_cast<char>(a >> (8 * i)));
    for (int i = 0; i < 8; ++i) s.push_back(static_cast<char>(b >> (8 * i)));
    return s;
}

Bytes truncate(Bytes b, size_t keep) {
    b.resize(keep);
    return b;
}

Bytes with_byte(Bytes b, size_t at, uint8_t value) {
    b[at] = value;
    return b;
}

} // namespace

TEST(MemberHeader, Table) {
    struct Row {
        const char* what;
        Bytes bytes;
        HeaderRead kind;
        LhaStatus error;
        std::string path;
        uint64_t packed, original;
    };
    const Bytes l0 = level01(0, "dir\\a.txt", 4, 10);
    const Bytes l2 = level23(2, 3, 9, {{0x01, "b.bmp"}, {0x02, "x\xffy\xff"}});
    const Row rows[] = {
        {"level 0", l0, HeaderRead::member, LhaStatus::ok, "dir\\a.txt", 4, 10},
        {"level 0 checksum off by one", level01(0, "a", 4, 10, {}, 1), HeaderRead::failed, LhaStatus::bad_header, "", 0, 0},
        {"level 0 data cut short", truncate(l0, l0.size() - 1), HeaderRead::failed, LhaStatus::truncated, "dir\\a.txt", 4, 10},
        {"level 0 header cut short", truncate(l0, 23), HeaderRead::failed, LhaStatus::truncated, "", 0, 0},
        {"name length past header", with_byte(level01(0, "abc", 0, 0), 21, 200), HeaderRead::failed, LhaStatus::bad_header, "", 0, 0},
        {"level 1 with directory and name extensions",
         level01(1, "short", 5, 7, {{0x02, "d1\xff" "d2"}, {0x01, "long name.txt"}}), HeaderRead::member, LhaStatus::ok,
         "d1\xff" "d2\xff" "long name.txt", 5, 7},
        {"level 1 Amiga comment after zero byte", level01(1, std::string("n.txt\0comment", 13), 1, 1), HeaderRead::member,
         LhaStatus::ok, "n.txt", 1, 1},
        {"level 2 with name, directory and header CRC", l2, HeaderRead::member, LhaStatus::ok, "x\xffy\xff" "b.bmp", 3, 9},
        {"level 2 header CRC wrong", level23(2, 3, 9, {{0x01, "b"}}, true, 1), HeaderRead::failed, LhaStatus::bad_header, "", 0, 0},
        {"level 2 without header CRC", level23(2, 0, 0, {{0x01, "c"}}, false), HeaderRead::member, LhaStatus::ok, "c", 0, 0},
        {"level 2 extension runs past header", with_byte(level23(2, 0, 0, {{0x01, "c"}}, false), 26 + 2, 0x40),
         HeaderRead::failed, LhaStatus::bad_header, "", 0, 0},
        {"level 2 extension size below minimum", with_byte(level23(2, 0, 0, {{0x01, "c"}}, false), 24, 2),
         HeaderRead::failed, LhaStatus::bad_header, "", 0, 0},
        {"level 2 64-bit sizes", level23(2, 2, 0, {{0x01, "z"}, {0x42, le64_text(2, 0x119000000ull)}}), HeaderRead::member,
         LhaStatus::ok, "z", 2, 0x119000000ull},
        {"level 2 64-bit packed size past end", level23(2, 2, 0, {{0x01, "z"}, {0x42, le64_text(1ull << 40, 5)}}),
         HeaderRead::failed, LhaStatus::truncated, "z", 0, 0},
        {"level 3", level23(3, 1, 1, {{0x01, "three"}}), HeaderRead::member, LhaStatus::ok, "three", 1, 1},
        {"level 3 word size not 4", with_byte(level23(3, 1, 1, {{0x01, "three"}}), 0, 2), HeaderRead::failed,
         LhaStatus::bad_header, "", 0, 0},
        {"level 4", with_byte(l0, 20, 4), HeaderRead::failed, LhaStatus::bad_header, "", 0, 0},
        {"no method id", with_byte(l0, 2, 'x'), HeaderRead::failed, LhaStatus::bad_header, "", 0, 0},
        {"end marker", Bytes{0}, HeaderRead::end_of_archive, LhaStatus::ok, "", 0, 0},
        {"DOS end-of-file padding", Bytes{0x1A}, HeaderRead::end_of_archive, LhaStatus::ok, "", 0, 0},
        {"nothing left", Bytes{}, HeaderRead::end_of_archive, LhaStatus::ok, "", 0, 0},
        {"short garbage", Bytes{'x', 'y'}, HeaderRead::failed, LhaStatus::truncated, "", 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SpanSource source(row.bytes.data(), row.bytes.size());
        MemberHeader header;
        const HeaderResult r = read_member_header(source, 0, header);
        EXPECT_EQ(r.kind, row.kind);
        EXPECT_EQ(r.error, row.error);
        if (!row.path.empty()) {
            EXPECT_EQ(header.path, row.path);
        }
        if (r.kind != HeaderRead::member) continue;
        EXPECT_EQ(header.method, "-lh5-");
        EXPECT_EQ(header.packed_size, row.packed);
        EXPECT_EQ(header.original_size, row.original);
        EXPECT_EQ(header.next_offset, row.bytes.size());
        EXPECT_EQ(header.next_offset - header.data_offset, row.packed);
    }
}

TEST(MemberHeader, FindsArchiveAfterProgramStub) {
    Bytes file(5000, 0x90);
    put_text(file, "MZ -lh5- decoy without a header");
    const Bytes member = level01(0, "a", 1, 1);
    const size_t start = file.size();
    file.insert(file.end(), member.begin(), member.end());
    file.push_back(0);
    SpanSource source(file.data(), file.size());
    uint64_t offset = 0;
    ASSERT_TRUE(find_header(source, 0, offset));
    EXPECT_EQ(offset, start);

    Bytes junk(3000, 0x41);
    SpanSource nothing(junk.data(), junk.size());
    EXPECT_FALSE(find_header(nothing, 0, offset));
}
