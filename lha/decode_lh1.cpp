#include <cstring>

#include "lha/adaptive_huffman.h"
#include "lha/bit_reader.h"
#include "lha/member_decoder.h"
#include "lha/output_window.h"

namespace {

constexpr int kWindow = 4096;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 60;
constexpr int kSymbols = 256 + kMaxMatch - kMinMatch + 1;   // literals, then match lengths
constexpr uint64_t kOverrunTolerance = 16;

// The upper six bits of a distance use a fixed code: one 3-bit code, three of 4
// bits, eight of 5, twelve of 6, twenty-four of 7 and sixteen of 8, handed out in
// canonical order.
struct PositionCode {
    uint8_t symbol[256];
    uint8_t length[256];
    PositionCode() {
        static const int counts[] = {1, 3, 8, 12, 24, 16};
        int symbol_no = 0;
        uint32_t code = 0;   // left-aligned to 8 bits
        for (int len = 3; len <= 8; ++len) {
            for (int n = 0; n < counts[len - 3]; ++n, ++symbol_no) {
                const uint32_t span = 1u << (8 - len);
                for (uint32_t i = 0; i < span; ++i) {
                    symbol[code + i] = static_cast<uint8_t>(symbol_no);
                    length[code + i] = static_cast<uint8_t>(len);
                }
                code += span;
            }
        }
    }
};

} // namespace

DecodeResult decode_lh1(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink) {
    static const PositionCode position_code;
    DecodeResult result;
    OutputWindow out(kWindow, original_size, sink);
    std::memset(out.history(), ' ', kWindow);
    BitReader in(packed, packed_size);
    AdaptiveHuffman tree = AdaptiveHuffman::full(kSymbols);
    uint8_t* op = out.pos();
    uint64_t left = out.left();
    while (left > 0) {
        uint8_t* const limit = out.limit();
        while (left > 0 && op < limit) {
            const int c = tree.decode(in);
            tree.count(c);
            if (c < 256) {
                *op++ = static_cast<uint8_t>(c);
                --left;
                // Past the end of the data every code still decodes, so a cut-off
                // stream is caught here rather than after a whole chunk of output.
                if (in.past_end() && in.overrun_bits() > kOverrunTolerance) break;
                continue;
            }
            size_t length = static_cast<size_t>(c - 256 + kMinMatch);
            in.refill();
            const uint32_t top = in.peek(8);
            in.skip(position_code.length[top]);
            const size_t distance = ((static_cast<size_t>(position_code.symbol[top]) << 6) | in.take(6)) + 1;
            if (length > left) length = static_cast<size_t>(left);
            op = copy_match(op, distance, length);
            left -= length;
            if (in.overrun_bits() > kOverrunTolerance) break;
        }
        out.advance_to(op);
        if (in.overrun_bits() > kOverrunTolerance) {
            result.status = LhaStatus::truncated;
            break;
        }
        if (!out.flush()) {
            result.status = LhaStatus::write_failed;
            break;
        }
        op = out.pos();
    }
    result.crc16 = out.crc();
    return result;
}
