#include "lha/member_header.h"

#include <vector>

#include "lha/crc16.h"

namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t le64(const uint8_t* p) { return le32(p) | (static_cast<uint64_t>(le32(p + 4)) << 32); }

// Every header starts with a size, a checksum or size byte, then "-xxx-".
bool has_method_id(const uint8_t* p) {
    if (p[2] != '-' || p[6] != '-') return false;
    for (int i = 3; i < 6; ++i)
        if (p[i] < 0x20 || p[i] > 0x7E) return false;
    return true;
}

// Extended headers can be chained without end in a hostile file; no archiver
// writes more than a handful.
constexpr int kMaxExtensions = 256;

struct Extensions {
    std::string name;
    std::string directory;
    bool has_name = false;
    bool has_sizes = false;
    uint64_t packed = 0;
    uint64_t original = 0;
    bool has_header_crc = false;
    uint16_t header_crc = 0;
    size_t header_crc_at = 0;   // offset of the CRC field inside the header block
};

void note_extension(const uint8_t* body, size_t length, size_t body_offset, Extensions& ext) {
    if (length == 0) return;
    const uint8_t type = body[0];
    const uint8_t* data = body + 1;
    const size_t data_length = length - 1;
    switch (type) {
    case 0x00:
        if (data_length >= 2) {
            ext.has_header_crc = true;
            ext.header_crc = le16(data);
            ext.header_crc_at = body_offset + 1;
        }
        break;
    case 0x01:
        ext.name.assign(reinterpret_cast<const char*>(data), data_length);
        ext.has_name = true;
        break;
    case 0x02:
        ext.directory.assign(reinterpret_cast<const char*>(data), data_length);
        break;
    case 0x42:
        if (data_length >= 16) {
            ext.has_sizes = true;
            ext.packed = le64(data);
            ext.original = le64(data + 8);
        }
        break;
    default:
        break;
    }
}

// Joins the directory extension and the file name with a separator the flat
// extractor recognises; 0xFF never occurs inside a code page 932 character.
std::string join_path(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    std::string path = directory;
    const unsigned char last = static_cast<unsigned char>(path.back());
    if (last != 0xFF && last != '\\' && last != '/') path.push_back(static_cast<char>(0xFF));
    return path + name;
}

// Walks the extension chain of a level 2 or 3 header held in `block`, starting with
// the size `first` found in the fixed part. Sizes are 2 or 4 bytes wide.
bool walk_extensions(const std::vector<uint8_t>& block, size_t start, uint32_t first, int width, Extensions& ext) {
    size_t pos = start;
    uint32_t size = first;
    for (int count = 0; size != 0; ++count) {
        if (count >= kMaxExtensions) return false;
        if (size < static_cast<uint32_t>(width) + 1 || pos > block.size() || size > block.size() - pos) return false;
        note_extension(block.data() + pos, size - width, pos, ext);
        const uint8_t* next = block.data() + pos + size - width;
        size = width == 2 ? le16(next) : le32(next);
        pos = static_cast<size_t>(next - block.data()) + width;
    }
    return true;
}

bool check_header_crc(std::vector<uint8_t>& block, const Extensions& ext) {
    if (!ext.has_header_crc) return true;
    block[ext.header_crc_at] = 0;
    block[ext.header_crc_at + 1] = 0;
    return update_crc16(0, block.data(), block.size()) == ext.header_crc;
}

HeaderResult fail(LhaStatus status) { return HeaderResult{HeaderRead::failed, status}; }

HeaderResult read_level01(ByteSource& source, uint64_t offset, const uint8_t* head, MemberHeader& header) {
    const size_t total = size_t(head[0]) + 2;
    const int level = head[20];
    std::vector<uint8_t> block;
    if (total < 24 || !read_block(source, offset, total, block)) return fail(total < 24 ? LhaStatus::bad_header : LhaStatus::truncated);
    uint8_t sum = 0;
    for (size_t i = 2; i < total; ++i) sum = static_cast<uint8_t>(sum + block[i]);
    if (sum != block[1]) return fail(LhaStatus::bad_header);

    const size_t name_length = block[21];
    const size_t fixed = 22 + name_length;
    if (fixed > total) return fail(LhaStatus::bad_header);
    header.path.assign(reinterpret_cast<const char*>(block.data() + 22), name_length);
    header.packed_size = le32(block.data() + 7);
    header.original_size = le32(block.data() + 11);
    header.has_crc = fixed + 2 <= total;
    if (header.has_crc) header.crc16 = le16(block.data() + fixed);
    header.data_offset = offset + total;

    if (level == 1) {
        // The level 1 skip size covers the extensions that follow the fixed part
        // as well as the compressed data, so their sizes come out of it.
        if (fixed + 5 > total) return fail(LhaStatus::bad_header);
        uint64_t pos = offset + total;
        uint32_t size = le16(block.data() + total - 2);
        uint64_t used = 0;
        Extensions ext;
        std::vector<uint8_t> body;
        for (int count = 0; size != 0; ++count) {
            if (count >= kMaxExtensions || size < 3) return fail(LhaStatus::bad_header);
            used += size;
            if (used > header.packed_size) return fail(LhaStatus::bad_header);
            if (!read_block(source, pos, size, body)) return fail(LhaStatus::truncated);
            note_extension(body.data(), size - 2, 0, ext);
            pos += size;
            size = le16(body.data() + size - 2);
        }
        if (ext.has_name) header.path = ext.name;
        header.path = join_path(ext.directory, header.path);
        header.packed_size -= used;
        header.data_offset = pos;
    }
    return HeaderResult{HeaderRead::member, LhaStatus::ok};
}

HeaderResult read_level23(ByteSource& source, uint64_t offset, const uint8_t* head, MemberHeader& header) {
    const int level = head[20];
    const size_t fixed = level == 2 ? 26 : 32;
    std::vector<uint8_t> block;
    if (!read_block(source, offset, fixed, block)) return fail(LhaStatus::truncated);
    uint64_t total = level == 2 ? le16(block.data()) : le32(block.data() + 24);
    if (level == 3 && le16(block.data()) != 4) return fail(LhaStatus::bad_header);
    if (total < fixed || total > kMaxHeaderBytes) return fail(LhaStatus::bad_header);
    if (!read_block(source, offset, static_cast<size_t>(total), block)) return fail(LhaStatus::truncated);

    Extensions ext;
    const uint32_t first = level == 2 ? le16(block.data() + 24) : le32(block.data() + 28);
    if (!walk_extensions(block, fixed, first, level == 2 ? 2 : 4, ext)) {
        // The OS-9/68k archiver writes level 2 header sizes two bytes short; its
        // extension chain shows the real end.
        const bool os9 = level == 2 && block[23] == 'K';
        if (!os9 || !read_block(source, offset, static_cast<size_t>(total) + 2, block)) return fail(LhaStatus::bad_header);
        ext = Extensions{};
        if (!walk_extensions(block, fixed, first, 2, ext)) return fail(LhaStatus::bad_header);
        total += 2;
    }
    if (!check_header_crc(block, ext)) return fail(LhaStatus::bad_header);

    header.packed_size = le32(block.data() + 7);
    header.original_size = le32(block.data() + 11);
    if (ext.has_sizes) {
        header.packed_size = ext.packed;
        header.original_size = ext.original;
    }
    header.crc16 = le16(block.data() + 21);
    header.has_crc = true;
    header.path = join_path(ext.directory, ext.name);
    header.data_offset = offset + total;
    return HeaderResult{HeaderRead::member, LhaStatus::ok};
}

} // namespace

bool is_directory_method(const std::string& method) { return method == "-lhd-"; }

HeaderResult read_member_header(ByteSource& source, uint64_t offset, MemberHeader& header) {
    header = MemberHeader{};
    const uint64_t total = source.size();
    if (offset >= total) return HeaderResult{HeaderRead::end_of_archive, LhaStatus::ok};
    uint8_t head[22];
    const uint64_t left = total - offset;
    if (left < sizeof head) {
        // A zero byte ends level 0/1 archives, and DOS tools often pad the end with 0x1A.
        uint8_t first = 0;
        if (!source.read(offset, &first, 1)) return fail(LhaStatus::open_failed);
        if (first == 0 || first == 0x1A) return HeaderResult{HeaderRead::end_of_archive, LhaStatus::ok};
        return fail(LhaStatus::truncated);
    }
    if (!source.read(offset, head, sizeof head)) return fail(LhaStatus::open_failed);
    if (head[0] == 0) return HeaderResult{HeaderRead::end_of_archive, LhaStatus::ok};
    if (!has_method_id(head)) return fail(LhaStatus::bad_header);

    header.level = head[20];
    header.header_offset = offset;
    HeaderResult result;
    switch (header.level) {
    case 0:
    case 1: result = read_level01(source, offset, head, header); break;
    case 2:
    case 3: result = read_level23(source, offset, head, header); break;
    default: return fail(LhaStatus::bad_header);
    }
    if (result.kind != HeaderRead::member) return result;
    header.method.assign(reinterpret_cast<const char*>(head + 2), 5);
    // Amiga archivers keep the file comment after a zero byte in the name field.
    const size_t nul = header.path.find('\0');
    if (nul != std::string::npos) header.path.resize(nul);
    if (header.data_offset > total || header.packed_size > total - header.data_offset) {
        // The member's data is cut off; report it but keep the header for callers
        // that want to name the damaged member.
        header.next_offset = total;
        return fail(LhaStatus::truncated);
    }
    header.next_offset = header.data_offset + header.packed_size;
    return result;
}

bool find_header(ByteSource& source, uint64_t from, uint64_t& offset) {
    // Self-extracting stubs seen in the wild are well below this; scanning further
    // would only find false matches inside compressed data.
    constexpr uint64_t kMaxStub = 512 * 1024;
    const uint64_t total = source.size();
    if (from >= total) return false;
    // A file that starts like an archive is one: a damaged first header must be
    // reported, not skipped in favour of a later member.
    uint8_t head[22];
    if (from == 0 && total >= sizeof head && source.read(0, head, sizeof head) && has_method_id(head) && head[20] <= 3) {
        offset = 0;
        return true;
    }
    const uint64_t limit = total - from < kMaxStub ? total - from : kMaxStub;
    std::vector<uint8_t> window;
    if (!read_block(source, from, static_cast<size_t>(limit), window)) return false;
    MemberHeader header;
    for (uint64_t i = 0; i + 22 <= limit; ++i) {
        const uint8_t* p = window.data() + i;
        if (!has_method_id(p) || p[20] > 3) continue;
        if (read_member_header(source, from + i, header).kind == HeaderRead::member) {
            offset = from + i;
            return true;
        }
    }
    return false;
}
