#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lha/member_header.h"
#include "lha/output_sink.h"

// Checksums the corpus records its expected results in.
std::string md5_hex(const uint8_t* data, size_t length);
uint32_t crc32_of(const uint8_t* data, size_t length);

std::vector<uint8_t> read_file_bytes(const std::string& path);
bool file_exists(const std::string& path);

// A fresh empty folder below the system's temporary folder, removed with its
// contents when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::vector<std::string> names() const;   // sorted
private:
    std::string path_;
};

class MemorySink : public OutputSink {
public:
    bool write(const uint8_t* data, size_t length) override {
        bytes.insert(bytes.end(), data, data + length);
        return true;
    }
    std::vector<uint8_t> bytes;
};

// Splits a tab-separated line.
std::vector<std::string> split_tabs(const std::string& line);

std::string corpus_path(const std::string& relative);

// The compressed bytes of member `index` of a corpus archive, with its header, for
// feeding a decoder directly. False when the archive or member is missing.
struct PackedMember {
    MemberHeader header;
    std::vector<uint8_t> packed;
};
bool read_packed_member(const std::string& archive, int index, PackedMember& out);
