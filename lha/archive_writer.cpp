#include "lha/archive_writer.h"

#include "lha/crc16.h"

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

bool ArchiveWriter::add(const std::string& name, const uint8_t* data, size_t length, uint32_t unix_time) {
    if (name.empty() || name.size() > 1024 || length > 0xFFFFFFFFu) return false;
    std::vector<uint8_t> packed = encode_lh(data, length, method_);
    std::string method = method_id(method_);
    const uint8_t* stored = packed.data();
    size_t stored_length = packed.size();
    if (length == 0 || (store_when_larger_ && packed.size() >= length)) {
        method = "-lh0-";
        stored = data;
        stored_length = length;
    }

    std::vector<uint8_t> header;
    put16(header, 0);                                  // total header size, patched below
    header.insert(header.end(), method.begin(), method.end());
    put32(header, static_cast<uint32_t>(stored_length));
    put32(header, static_cast<uint32_t>(length));
    put32(header, unix_time);
    header.push_back(0x20);
    header.push_back(2);                               // header level
    put16(header, update_crc16(0, data, length));
    // Written for Windows. Readers lowercase all-capital names of MS-DOS ('M')
    // archives, which would turn VLD.INI into vld.ini.
    header.push_back('W');
    put16(header, 5);                                  // first extension: header CRC
    const size_t crc_at = header.size() + 1;
    header.push_back(0x00);
    put16(header, 0);
    put16(header, static_cast<uint32_t>(name.size() + 3));
    header.push_back(0x01);                            // file name
    header.insert(header.end(), name.begin(), name.end());
    put16(header, 0);                                  // end of extensions
    // A header size with a zero low byte would read as the end of the archive;
    // one byte of padding avoids it, as other archivers do.
    if ((header.size() & 0xFF) == 0) header.push_back(0);
    header[0] = static_cast<uint8_t>(header.size());
    header[1] = static_cast<uint8_t>(header.size() >> 8);
    const uint16_t header_crc = update_crc16(0, header.data(), header.size());
    header[crc_at] = static_cast<uint8_t>(header_crc);
    header[crc_at + 1] = static_cast<uint8_t>(header_crc >> 8);

    bytes_.insert(bytes_.end(), header.begin(), header.end());
    bytes_.insert(bytes_.end(), stored, stored + stored_length);
    methods_.push_back(method);
    return true;
}

std::vector<uint8_t> ArchiveWriter::finish() const {
    std::vector<uint8_t> out = bytes_;
    out.push_back(0);
    return out;
}
