#include <cstring>

#include "lha/huffman_table.h"
#include "lha/member_decoder.h"
#include "lha/output_window.h"

namespace {

constexpr int kLiteralCodes = 510;     // 256 literals and 254 match lengths
constexpr int kMinMatch = 3;
constexpr int kLengthCodes = 19;       // code-length alphabet for the literal table
constexpr int kMaxPositionCodes = 24;

// Bits a stream may use past its stored end before it counts as cut off. Encoders
// pad the last byte; anything more means the data is missing.
constexpr uint64_t kOverrunTolerance = 16;

class StaticHuffmanDecoder {
public:
    StaticHuffmanDecoder(const uint8_t* packed, size_t packed_size, int position_codes, int position_bits)
        : in_(packed, packed_size), position_codes_(position_codes), position_bits_(position_bits) {}

    LhaStatus run(OutputWindow& out);

private:
    bool read_code_lengths(int count, int count_bits, int special, uint8_t* lengths, HuffmanTable& table);
    bool read_literal_lengths();

    BitReader in_;
    int position_codes_;
    int position_bits_;
    uint8_t length_lengths_[kLengthCodes] = {};
    uint8_t literal_lengths_[kLiteralCodes] = {};
    uint8_t position_lengths_[kMaxPositionCodes] = {};
    HuffmanTable length_table_{8};
    HuffmanTable literal_table_{12};
    HuffmanTable position_table_{8};
};

// Code lengths for the small alphabets: three bits each, with 7 extended by a unary
// run of one bits; after symbol `special` a two-bit count of zero lengths follows.
bool StaticHuffmanDecoder::read_code_lengths(int count, int count_bits, int special, uint8_t* lengths,
                                             HuffmanTable& table) {
    in_.refill();
    const int n = static_cast<int>(in_.take(count_bits));
    if (n == 0) {
        const uint32_t symbol = in_.take(count_bits);
        if (static_cast<int>(symbol) >= count) return false;
        std::memset(lengths, 0, static_cast<size_t>(count));
        table.set_single(symbol);
        return true;
    }
    if (n > count) return false;
    int i = 0;
    while (i < n) {
        in_.refill();
        int length = static_cast<int>(in_.peek(3));
        if (length == 7) {
            // Count the ones after the first three bits; a run that long cannot be a
            // valid length, so it stops well inside the buffered bits.
            uint64_t rest = in_.buffered() << 3;
            while ((rest & (uint64_t(1) << 63)) && length <= HuffmanTable::kMaxLength) {
                ++length;
                rest <<= 1;
            }
            if (length > HuffmanTable::kMaxLength) return false;
            in_.skip(length - 3);
        } else {
            in_.skip(3);
        }
        lengths[i++] = static_cast<uint8_t>(length);
        if (i == special) {
            int zeros = static_cast<int>(in_.take(2));
            if (i + zeros > count) return false;
            while (zeros-- > 0) lengths[i++] = 0;
        }
    }
    for (; i < count; ++i) lengths[i] = 0;
    return table.build(lengths, count, static_cast<uint32_t>(count));
}

bool StaticHuffmanDecoder::read_literal_lengths() {
    in_.refill();
    const int n = static_cast<int>(in_.take(9));
    if (n == 0) {
        const uint32_t symbol = in_.take(9);
        if (symbol >= kLiteralCodes) return false;
        std::memset(literal_lengths_, 0, sizeof literal_lengths_);
        literal_table_.set_single(symbol);
        return true;
    }
    if (n > kLiteralCodes) return false;
    int i = 0;
    while (i < n) {
        in_.refill();
        const uint32_t c = length_table_.decode(in_);
        if (c >= kLengthCodes) return false;
        if (c <= 2) {
            // 0, 1 and 2 encode runs of zero lengths of three different sizes.
            int zeros = c == 0 ? 1 : c == 1 ? static_cast<int>(in_.take(4)) + 3 : static_cast<int>(in_.take(9)) + 20;
            if (i + zeros > kLiteralCodes) return false;
            while (zeros-- > 0) literal_lengths_[i++] = 0;
        } else {
            literal_lengths_[i++] = static_cast<uint8_t>(c - 2);
        }
    }
    for (; i < kLiteralCodes; ++i) literal_lengths_[i] = 0;
    return literal_table_.build(literal_lengths_, kLiteralCodes, kLiteralCodes);
}

LhaStatus StaticHuffmanDecoder::run(OutputWindow& out) {
    uint8_t* op = out.pos();
    uint64_t left = out.left();
    uint32_t block_left = 0;
    const size_t window = out.window();

    while (left > 0) {
        if (block_left == 0) {
            in_.refill();
            block_left = in_.take(16);
            if (in_.overrun_bits() > kOverrunTolerance) return LhaStatus::truncated;
            // Each block carries its own three tables, sent as code lengths.
            if (!read_code_lengths(kLengthCodes, 5, 3, length_lengths_, length_table_) || !read_literal_lengths() ||
                !read_code_lengths(position_codes_, position_bits_, -1, position_lengths_, position_table_))
                return LhaStatus::corrupt_data;
            if (block_left == 0) return LhaStatus::corrupt_data;
        }

        // The inner loop runs until the block, the member or the chunk ends. It works
        // on local copies of the reader and tables: every output byte store may alias
        // any memory, so state kept in members would be reloaded after each one.
        uint8_t* const limit = out.limit();
        uint8_t* const start = op;
        const uint64_t room = static_cast<uint64_t>(limit - op) < left ? static_cast<uint64_t>(limit - op) : left;
        uint8_t* const stop = op + room;
        BitReader in = in_;
        const uint32_t* const literals = literal_table_.entries();
        const uint32_t* const positions = position_table_.entries();
        const int literal_bits = literal_table_.primary_bits();
        const int position_bits = position_table_.primary_bits();
        LhaStatus status = LhaStatus::ok;
        while (block_left > 0 && op < stop) {
            // After a refill at least 56 bits are buffered: enough for two codes.
            in.refill();
            uint32_t c = HuffmanTable::decode_with(literals, literal_bits, in);
            if (c < 256) {
                *op++ = static_cast<uint8_t>(c);
                if (--block_left == 0 || op >= stop) break;
                c = HuffmanTable::decode_with(literals, literal_bits, in);
                if (c < 256) {
                    *op++ = static_cast<uint8_t>(c);
                    --block_left;
                    continue;
                }
            }
            --block_left;
            if (c >= kLiteralCodes) {
                status = LhaStatus::corrupt_data;
                break;
            }
            size_t length = c - 256 + kMinMatch;
            in.refill();
            const uint32_t p = HuffmanTable::decode_with(positions, position_bits, in);
            if (static_cast<int>(p) >= position_codes_) {
                status = LhaStatus::corrupt_data;
                break;
            }
            size_t distance = 1;
            if (p > 0) distance = (size_t(1) << (p - 1)) + in.take(static_cast<int>(p - 1)) + 1;
            if (distance > window) {
                status = LhaStatus::corrupt_data;
                break;
            }
            // Matches may run past the chunk into the slack, but never past the member.
            const uint64_t member_room = left - static_cast<uint64_t>(op - start);
            if (length > member_room) length = static_cast<size_t>(member_room);
            op = copy_match(op, distance, length);
        }
        in_ = in;
        left -= static_cast<uint64_t>(op - start);
        if (status != LhaStatus::ok) return status;
        out.advance_to(op);
        if (op >= limit || left == 0) {
            if (in_.overrun_bits() > kOverrunTolerance) return LhaStatus::truncated;
            if (!out.flush()) return LhaStatus::write_failed;
            op = out.pos();
        }
    }
    return in_.overrun_bits() > kOverrunTolerance ? LhaStatus::truncated : LhaStatus::ok;
}

} // namespace

DecodeResult decode_static_huffman(const uint8_t* packed, size_t packed_size, uint64_t original_size,
                                   int position_codes, int position_bits, OutputSink& sink) {
    DecodeResult result;
    if (position_codes < 1 || position_codes > kMaxPositionCodes) {
        result.status = LhaStatus::unsupported_method;
        return result;
    }
    // A distance symbol p stands for distances up to 2^(p), so the history must hold
    // that much for every symbol the table can name.
    const size_t window = size_t(1) << (position_codes - 1);
    OutputWindow out(window, original_size, sink);
    std::memset(out.history(), ' ', window);
    StaticHuffmanDecoder decoder(packed, packed_size, position_codes, position_bits);
    result.status = decoder.run(out);
    result.crc16 = out.crc();
    return result;
}
