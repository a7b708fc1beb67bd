// The member decoders: raw streams from other archivers, round trips through our
// encoder, and streams that are cut off, corrupt or lie about their size.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "lha/crc16.h"
#include "lha/lh_encoder.h"
#include "lha/member_decoder.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> sample(const std::string& kind, size_t length, uint32_t seed = 1) {
    std::vector<uint8_t> data(length);
    uint32_t x = seed;
    auto next = [&]() {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    static const char* const words[] = {"mascot ", "window ", "frame ", "the ", "of ", "bitmap ", "\r\n", "VLD.INI "};
    size_t i = 0;
    while (i < length) {
        if (kind == "random") data[i++] = static_cast<uint8_t>(next());
        else if (kind == "zeros") data[i++] = 0;
        else if (kind == "text") {
            for (const char* w = words[next() % 8]; *w && i < length; ++w) data[i++] = static_cast<uint8_t>(*w);
        } else if (kind == "runs") {
            const uint8_t value = static_cast<uint8_t>(next());
            for (size_t n = next() % 600; n-- && i < length;) data[i++] = value;
        } else {   // "far": repeats from as far back as the largest window allows
            data[i] = i >= 65536 ? static_cast<uint8_t>(data[i - 65536] + (next() % 64 == 0)) : static_cast<uint8_t>(next());
            ++i;
        }
    }
    return data;
}

DecodeResult decode(const std::string& method, const std::vector<uint8_t>& packed, uint64_t size, MemorySink& sink) {
    return decode_member(method, packed.data(), packed.size(), size, sink);
}

} // namespace

TEST(Decoder, RawStreamsFromOtherArchivers) {
    std::ifstream in(corpus_path("compressed/EXPECTED.tsv"));
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto f = split_tabs(line);
        SCOPED_TRACE(line);
        const auto packed = read_file_bytes(corpus_path("compressed/" + f[0]));
        ASSERT_FALSE(packed.empty());
        MemorySink sink;
        const DecodeResult r = decode(f[1], packed, std::stoull(f[2]), sink);
        if (f[1] == "-pm2-") {
            EXPECT_EQ(r.status, LhaStatus::unsupported_method);
            continue;
        }
        ASSERT_EQ(r.status, LhaStatus::ok);
        ASSERT_EQ(sink.bytes.size(), std::stoull(f[2]));
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", crc32_of(sink.bytes.data(), sink.bytes.size()));
        EXPECT_EQ(hex, f[3]);
        EXPECT_EQ(r.crc16, update_crc16(0, sink.bytes.data(), sink.bytes.size()));
        ++checked;
    }
    EXPECT_EQ(checked, 9);
}

TEST(Decoder, RoundTripThroughEncoder) {
    struct Row {
        const char* kind;
        size_t length;
    };
    const Row rows[] = {{"text", 0},       {"text", 1},         {"zeros", 2},      {"zeros", 3},
                        {"zeros", 300000}, {"text", 200000},    {"random", 70000}, {"runs", 150000},
                        {"far", 400000},   {"random", 1},       {"text", 65535 * 3 + 17}};
    const PackMethod methods[] = {PackMethod::lh5, PackMethod::lh6, PackMethod::lh7};
    for (const Row& row : rows) {
        const auto data = sample(row.kind, row.length);
        for (PackMethod method : methods) {
            SCOPED_TRACE(std::string(row.kind) + " " + std::to_string(row.length) + " " + method_id(method));
            const auto packed = encode_lh(data.data(), data.size(), method);
            MemorySink sink;
            const DecodeResult r = decode(method_id(method), packed, data.size(), sink);
            EXPECT_EQ(r.status, LhaStatus::ok);
            EXPECT_TRUE(sink.bytes == data);
            EXPECT_EQ(r.crc16, update_crc16(0, data.data(), data.size()));
        }
    }
}

// Every prefix of a valid stream and every single-byte corruption must end in an
// error or in output that fails the CRC; the output never exceeds the size.
TEST(Decoder, DamagedStreamsEndCleanly) {
    const auto data = sample("text", 40000, 7);
    struct Method {
        std::string id;
        std::vector<uint8_t> packed;
        uint64_t size;
        bool crc_catches_cuts;   // a cut near the end may still fill the member
    };
    std::vector<Method> methods = {
        {"-lh5-", encode_lh(data.data(), data.size(), PackMethod::lh5), data.size(), true},
        {"-lh7-", encode_lh(data.data(), data.size(), PackMethod::lh7), data.size(), true}};
    for (const char* raw : {"lh1.bin", "lzs.bin", "lz5.bin"}) {
        std::string id = std::string("-") + std::string(raw).substr(0, 3) + "-";
        methods.push_back({id, read_file_bytes(corpus_path(std::string("compressed/") + raw)), 18092, false});
    }
    for (const char* archive : {"unlha32/lh2.lzh", "unlha32/lh3.lzh"}) {
        PackedMember member;
        ASSERT_TRUE(read_packed_member(archive, 0, member)) << archive;
        methods.push_back({member.header.method, member.packed, member.header.original_size, true});
    }
    for (const Method& m : methods) {
        SCOPED_TRACE(m.id);
        MemorySink whole;
        const DecodeResult good = decode(m.id, m.packed, m.size, whole);
        ASSERT_EQ(good.status, LhaStatus::ok);
        for (size_t cut = 0; cut < m.packed.size(); cut += 1 + m.packed.size() / 40) {
            std::vector<uint8_t> part(m.packed.begin(), m.packed.begin() + static_cast<long>(cut));
            MemorySink sink;
            const DecodeResult r = decode(m.id, part, m.size, sink);
            EXPECT_LE(sink.bytes.size(), m.size);
            EXPECT_TRUE(r.status != LhaStatus::ok || sink.bytes.size() < m.size ||
                        (m.crc_catches_cuts && r.crc16 != good.crc16))
                << "cut at " << cut;
        }
        for (size_t at = 0; at < m.packed.size(); at += 1 + m.packed.size() / 60) {
            std::vector<uint8_t> bad = m.packed;
            bad[at] ^= 0x5A;
            MemorySink sink;
            decode(m.id, bad, m.size, sink);
            EXPECT_LE(sink.bytes.size(), m.size);
        }
    }
}

// The same file packed with the two old LHarc methods decodes to the same bytes,
// and any shorter declared size gives exactly the start of them.
TEST(Decoder, OldLharcMethodsAgreeAndStopAtTheSize) {
    PackedMember lh2, lh3;
    ASSERT_TRUE(read_packed_member("unlha32/lh2.lzh", 0, lh2));
    ASSERT_TRUE(read_packed_member("unlha32/lh3.lzh", 0, lh3));
    MemorySink full2, full3;
    ASSERT_EQ(decode("-lh2-", lh2.packed, lh2.header.original_size, full2).status, LhaStatus::ok);
    ASSERT_EQ(decode("-lh3-", lh3.packed, lh3.header.original_size, full3).status, LhaStatus::ok);
    EXPECT_EQ(update_crc16(0, full2.bytes.data(), full2.bytes.size()), lh2.header.crc16);
    EXPECT_TRUE(full2.bytes == full3.bytes);
    for (const PackedMember* m : {&lh2, &lh3}) {
        for (uint64_t declared : {uint64_t(0), uint64_t(1), uint64_t(64), uint64_t(65), uint64_t(2000)}) {
            SCOPED_TRACE(m->header.method + " " + std::to_string(declared));
            MemorySink sink;
            EXPECT_EQ(decode(m->header.method, m->packed, declared, sink).status, LhaStatus::ok);
            ASSERT_EQ(sink.bytes.size(), declared);
            EXPECT_TRUE(std::equal(sink.bytes.begin(), sink.bytes.end(), full2.bytes.begin()));
        }
    }
}

TEST(Decoder, OutputIsCappedAtDeclaredSize) {
    const auto data = sample("text", 50000, 3);
    const auto packed = encode_lh(data.data(), data.size(), PackMethod::lh5);
    for (uint64_t declared : {uint64_t(0), uint64_t(1), uint64_t(257), uint64_t(49999)}) {
        MemorySink sink;
        decode("-lh5-", packed, declared, sink);
        ASSERT_EQ(sink.bytes.size(), declared);
        EXPECT_TRUE(std::equal(sink.bytes.begin(), sink.bytes.end(), data.begin()));
    }
}

// A few bytes that declare a huge member must fail within the first chunk of
// output rather than produce the declared amount of zeros.
TEST(Decoder, TinyStreamWithHugeSizeFailsFast) {
    struct Row {
        const char* method;
        std::vector<uint8_t> packed;
    };
    const Row rows[] = {
        {"-lh5-", {0x00, 0x01, 0x00, 0x00, 0x00, 0x00}},
        {"-lh5-", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"-lh7-", {}},
        {"-lh1-", {0x00}},
        {"-lh2-", {}},
        {"-lh2-", {0xFF, 0xFF}},
        {"-lh3-", {0x00, 0x01, 0xFF, 0xFF}},
        {"-lh3-", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"-lzs-", {0x80}},
        {"-lz5-", {0x00, 0x00}},
        {"-lh0-", {1, 2, 3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.method);
        const auto start = std::chrono::steady_clock::now();
        MemorySink sink;
        const DecodeResult r = decode(row.method, row.packed, uint64_t(1) << 32, sink);
        EXPECT_NE(r.status, LhaStatus::ok);
        EXPECT_LT(sink.bytes.size(), size_t(4) << 20);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
}

TEST(Decoder, UnknownMethodsAreRefused) {
    for (const char* method : {"-pm1-", "-pm2-", "-lhd-", "-xyz-", ""}) {
        MemorySink sink;
        EXPECT_EQ(decode(method, {1, 2, 3}, 3, sink).status, LhaStatus::unsupported_method) << method;
        EXPECT_TRUE(sink.bytes.empty());
    }
}
