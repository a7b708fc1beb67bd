#include <cstring>

#include "lha/huffman_table.h"
#include "lha/lharc_stream.h"

namespace {

using lharc::kCodes;
using lharc::kPositionCodes;

// Code lengths of the distance code a block uses when it sends none: one code of
// 2 bits, two of 4, three of 5, seven of 6, eighteen of 7, forty-seven of 8 and
// fifty of 9, handed out in symbol order.
struct FixedPositionLengths {
    uint8_t length[kPositionCodes];
    FixedPositionLengths() {
        static const struct {
            int length, count;
        } runs[] = {{2, 1}, {4, 2}, {5, 3}, {6, 7}, {7, 18}, {8, 47}, {9, 50}};
        int symbol = 0;
        for (const auto& run : runs)
            for (int i = 0; i < run.count; ++i) length[symbol++] = static_cast<uint8_t>(run.length);
    }
};

// -lh3-: the stream is a series of blocks, each a 16-bit count of codes and then
// the two code tables as lists of lengths.
class StaticCodes {
public:
    int next_code(BitReader& in) {
        if (block_left_ == 0 && !start_block(in)) return -1;
        --block_left_;
        in.refill();
        const uint32_t c = codes_.decode(in);
        return c < static_cast<uint32_t>(kCodes) ? static_cast<int>(c) : -1;
    }

    int next_position(BitReader& in, uint64_t) {
        in.refill();
        const uint32_t p = positions_.decode(in);
        return p < static_cast<uint32_t>(kPositionCodes) ? static_cast<int>(p) : -1;
    }

private:
    bool start_block(BitReader& in) {
        in.refill();
        block_left_ = in.take(16);
        if (block_left_ == 0 || !read_code_lengths(in)) return false;
        in.refill();
        if (in.take(1)) return read_position_lengths(in);
        static const FixedPositionLengths fixed;
        return positions_.build(fixed.length, kPositionCodes, kPositionCodes);
    }

    // One bit per code says whether a 4-bit length less one follows. Three leading
    // lengths of 1 cannot form a code, and instead announce a block that uses a
    // single 9-bit code throughout.
    bool read_code_lengths(BitReader& in) {
        uint8_t lengths[kCodes];
        for (int i = 0; i < kCodes; ++i) {
            in.refill();
            lengths[i] = in.take(1) ? static_cast<uint8_t>(in.take(4) + 1) : 0;
            if (i == 2 && lengths[0] == 1 && lengths[1] == 1 && lengths[2] == 1) {
                const uint32_t only = in.take(9);
                if (only >= static_cast<uint32_t>(kCodes)) return false;
                codes_.set_single(only);
                return true;
            }
        }
        return codes_.build(lengths, kCodes, kCodes);
    }

    // A 4-bit length per code; three leading zeros announce a single 7-bit code.
    bool read_position_lengths(BitReader& in) {
        uint8_t lengths[kPositionCodes];
        for (int i = 0; i < kPositionCodes; ++i) {
            in.refill();
            lengths[i] = static_cast<uint8_t>(in.take(4));
            if (i == 2 && lengths[0] == 0 && lengths[1] == 0 && lengths[2] == 0) {
                positions_.set_single(in.take(7));
                return true;
            }
        }
        return positions_.build(lengths, kPositionCodes, kPositionCodes);
    }

    uint32_t block_left_ = 0;
    HuffmanTable codes_{12};
    HuffmanTable positions_{8};
};

} // namespace

DecodeResult decode_lh3(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink) {
    StaticCodes codes;
    return lharc::decode_stream(codes, packed, packed_size, original_size, sink);
}
