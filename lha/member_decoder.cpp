#include "lha/member_decoder.h"

#include "lha/crc16.h"

namespace {

struct StaticHuffmanMethod {
    const char* id;
    int position_codes;
    int position_bits;
};

// Distance alphabets of the block-coded methods: the number of distance symbols
// sets the window (2^(symbols-1) bytes) and the width of the symbol count.
const StaticHuffmanMethod kStaticHuffmanMethods[] = {
    {"-lh4-", 14, 4},
    {"-lh5-", 14, 4},
    {"-lh6-", 16, 5},
    {"-lh7-", 17, 5},
    {"-lhx-", 20, 5},
};

bool is_stored_method(const std::string& method) {
    return method == "-lh0-" || method == "-lz4-" || method == "-pm0-";
}

const StaticHuffmanMethod* find_static_method(const std::string& method) {
    for (const auto& m : kStaticHuffmanMethods)
        if (method == m.id) return &m;
    return nullptr;
}

} // namespace

bool is_supported_method(const std::string& method) {
    return is_stored_method(method) || find_static_method(method) || method == "-lh1-" || method == "-lh2-" ||
           method == "-lh3-" || method == "-lzs-" ||
           method == "-lz5-";
}

DecodeResult decode_stored(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink) {
    DecodeResult result;
    const size_t length = packed_size < original_size ? packed_size : static_cast<size_t>(original_size);
    result.crc16 = update_crc16(0, packed, length);
    if (length && !sink.write(packed, length)) result.status = LhaStatus::write_failed;
    else if (length < original_size) result.status = LhaStatus::truncated;
    return result;
}

DecodeResult decode_member(const std::string& method, const uint8_t* packed, size_t packed_size,
                           uint64_t original_size, OutputSink& sink) {
    if (is_stored_method(method)) return decode_stored(packed, packed_size, original_size, sink);
    if (const StaticHuffmanMethod* m = find_static_method(method))
        return decode_static_huffman(packed, packed_size, original_size, m->position_codes, m->position_bits, sink);
    if (method == "-lh1-") return decode_lh1(packed, packed_size, original_size, sink);
    if (method == "-lh2-") return decode_lh2(packed, packed_size, original_size, sink);
    if (method == "-lh3-") return decode_lh3(packed, packed_size, original_size, sink);
    if (method == "-lzs-") return decode_lzs(packed, packed_size, original_size, sink);
    if (method == "-lz5-") return decode_lz5(packed, packed_size, original_size, sink);
    DecodeResult result;
    result.status = LhaStatus::unsupported_method;
    return result;
}
