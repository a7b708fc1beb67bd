#include "lha/byte_source.h"

#include <cstring>

bool SpanSource::read(uint64_t offset, uint8_t* out, size_t length) {
    if (offset > length_ || length > length_ - offset) return false;
    if (length) std::memcpy(out, data_ + offset, length);
    return true;
}

const uint8_t* SpanSource::view(uint64_t offset, size_t length) {
    if (offset > length_ || length > length_ - offset) return nullptr;
    return data_ + offset;
}

bool read_block(ByteSource& source, uint64_t offset, size_t length, std::vector<uint8_t>& out) {
    uint64_t total = source.size();
    if (offset > total || length > total - offset) return false;
    out.resize(length);
    return length == 0 || source.read(offset, out.data(), length);
}
