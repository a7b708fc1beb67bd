#pragma once
#include <cstdint>
#include <string>

#include "lha/byte_source.h"
#include "lha/status.h"

// One member header as read from the archive. Sizes come from the file and are not
// trusted by anything that uses them; `data_offset + packed_size` is only known to
// lie inside the source once the reader has checked it.
struct MemberHeader {
    std::string method;     // the five characters between and including the dashes, e.g. "-lh5-"
    std::string path;       // directory and name bytes as stored; separators kept as '\\', '/' or 0xFF
    uint64_t packed_size = 0;
    uint64_t original_size = 0;
    uint16_t crc16 = 0;
    bool has_crc = false;
    int level = 0;
    uint64_t header_offset = 0;
    uint64_t data_offset = 0;   // first byte of the compressed data
    uint64_t next_offset = 0;   // where the next header starts
};

enum class HeaderRead { member, end_of_archive, failed };

struct HeaderResult {
    HeaderRead kind = HeaderRead::failed;
    LhaStatus error = LhaStatus::ok;
};

// Headers bigger than this are refused: real archivers write a few hundred bytes,
// and a level 3 header could otherwise claim gigabytes.
constexpr uint32_t kMaxHeaderBytes = 1u << 20;

HeaderResult read_member_header(ByteSource& source, uint64_t offset, MemberHeader& header);

// Finds the first member header at or after `from`: at the start of the file, or
// after the program stub of a self-extracting archive. Returns false when none
// is found.
bool find_header(ByteSource& source, uint64_t from, uint64_t& offset);

bool is_directory_method(const std::string& method);
