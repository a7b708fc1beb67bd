#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Most-significant-bit-first reader over a byte span with a 64-bit buffer. Past the
// end of the span it supplies zero bits, as the original decoders did, but counts
// them, so a caller can tell a stream that ran out from one that ended cleanly.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t length) : p_(data), end_(data + length), begin_(data) { refill(); }

    // Ensures at least 56 bits are buffered.
    inline void refill() {
        if (end_ - p_ >= 8) {
            uint64_t v;
            std::memcpy(&v, p_, 8);
            v = to_big_endian(v);
            bits_ |= v >> count_;
            p_ += (63 - count_) >> 3;
            count_ |= 56;
        } else {
            refill_slowly();
        }
    }

    // Up to 32 bits, left in the buffer.
    inline uint32_t peek(int n) const { return static_cast<uint32_t>(bits_ >> (64 - n)); }
    inline uint64_t buffered() const { return bits_; }
    inline void skip(int n) {
        bits_ <<= n;
        count_ -= n;
    }
    // Up to 32 bits; n may be 0.
    inline uint32_t take(int n) {
        if (n == 0) return 0;
        uint32_t v = peek(n);
        skip(n);
        return v;
    }

    // True once zero bits have been supplied in place of missing input.
    bool past_end() const { return phantom_ != 0; }

    // Bits consumed beyond the end of the span.
    uint64_t overrun_bits() const {
        const uint64_t consumed = (static_cast<uint64_t>(p_ - begin_) + phantom_) * 8 - static_cast<uint64_t>(count_);
        const uint64_t real = static_cast<uint64_t>(end_ - begin_) * 8;
        return consumed > real ? consumed - real : 0;
    }

private:
    static inline uint64_t to_big_endian(uint64_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        return v;
#else
        return __builtin_bswap64(v);
#endif
    }

    void refill_slowly() {
        while (count_ <= 56) {
            uint64_t byte = 0;
            if (p_ < end_) byte = *p_++;
            else ++phantom_;
            bits_ |= byte << (56 - count_);
            count_ += 8;
        }
    }

    const uint8_t* p_;
    const uint8_t* end_;
    const uint8_t* begin_;
    uint64_t bits_ = 0;
    int count_ = 0;
    uint64_t phantom_ = 0;
};
