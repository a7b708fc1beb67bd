#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lha/bit_reader.h"

// Canonical Huffman decoding table for code lengths of at most 16 bits, in two
// levels: the first `primary_bits` of the input index the main table, and longer
// codes continue in a sub-table. Entries hold (symbol << 8) | code length.
// Slots no code reaches decode as `invalid_symbol` with length 1, so a decoder
// catches them in its range check instead of paying a test per symbol.
class HuffmanTable {
public:
    static constexpr int kMaxLength = 16;
    static constexpr uint32_t kSubTable = 0x80000000u;

    explicit HuffmanTable(int primary_bits) : primary_bits_(primary_bits) {}

    // False when the lengths over-subscribe the code space.
    bool build(const uint8_t* lengths, int count, uint32_t invalid_symbol);
    // Every input decodes as `symbol` and consumes no bits.
    void set_single(uint32_t symbol);

    inline uint32_t decode(BitReader& in) const { return decode_with(entries_.data(), primary_bits_, in); }

    // The same for hot loops that keep the table pointer in a local, so that the
    // byte stores of the output (which may alias anything) do not force reloads.
    static inline uint32_t decode_with(const uint32_t* entries, int primary_bits, BitReader& in) {
        uint32_t e = entries[in.peek(primary_bits)];
        if (e & kSubTable) {
            const uint32_t base = (e >> 8) & 0x7FFFFF;
            const int sub_bits = static_cast<int>(e & 0xFF);
            const uint32_t index = static_cast<uint32_t>((in.buffered() << primary_bits) >> (64 - sub_bits));
            e = entries[base + index];
        }
        in.skip(static_cast<int>(e & 0xFF));
        return e >> 8;
    }

    const uint32_t* entries() const { return entries_.data(); }
    int primary_bits() const { return primary_bits_; }

private:
    int primary_bits_;
    std::vector<uint32_t> entries_;
};
