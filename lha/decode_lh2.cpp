#include "lha/adaptive_huffman.h"
#include "lha/lharc_stream.h"

namespace {

// -lh2-: both codes adapt as they go. The distance code starts knowing only
// distances below 64 and learns the next 64 each time the output passes another
// 64 bytes, until it covers the whole window.
class DynamicCodes {
public:
    int next_code(BitReader& in) {
        const int c = codes_.decode(in);
        codes_.count(c);
        return c;
    }

    int next_position(BitReader& in, uint64_t produced) {
        while (produced > next_growth_ && next_growth_ < lharc::kWindow) {
            positions_.add_symbol();
            next_growth_ += 64;
        }
        const int p = positions_.decode(in);
        positions_.count(p);
        return p;
    }

private:
    AdaptiveHuffman codes_ = AdaptiveHuffman::full(lharc::kCodes);
    AdaptiveHuffman positions_ = AdaptiveHuffman::single();
    uint64_t next_growth_ = 64;
};

} // namespace

DecodeResult decode_lh2(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink) {
    DynamicCodes codes;
    return lharc::decode_stream(codes, packed, packed_size, original_size, sink);
}
