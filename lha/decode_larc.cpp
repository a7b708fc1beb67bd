#include <cstring>

#include "lha/bit_reader.h"
#include "lha/member_decoder.h"
#include "lha/output_window.h"

// LArc's two methods address their history by absolute position in a ring that
// starts with fixed contents. The ring is laid out here as the linear history of
// an OutputWindow: ring slot (start + i) mod size is history byte i, so a ring
// position converts to a distance back from the current output byte.

namespace {

constexpr uint64_t kOverrunTolerance = 16;

struct RingDecoder {
    RingDecoder(size_t ring_size, size_t start, uint64_t total, OutputSink& sink)
        : out(ring_size, total, sink), mask(ring_size - 1), write_slot(start), op(out.pos()) {}

    void fill_history(const uint8_t* ring) {
        uint8_t* h = out.history();
        for (size_t i = 0; i <= mask; ++i) h[i] = ring[(write_slot + i) & mask];
    }

    // The ring slot about to be written is the oldest byte, one full ring back.
    size_t distance_to(size_t slot) const { return ((write_slot - slot - 1) & mask) + 1; }

    void put(uint8_t b) {
        *op++ = b;
        write_slot = (write_slot + 1) & mask;
    }
    void copy(size_t slot, size_t length) {
        const size_t distance = distance_to(slot);
        if (length > left()) length = static_cast<size_t>(left());
        op = copy_match(op, distance, length);
        write_slot = (write_slot + length) & mask;
    }
    uint64_t left() const { return out.left() - static_cast<uint64_t>(op - out.pos()); }
    bool chunk_full() const { return op >= out.limit(); }

    LhaStatus end_chunk(uint64_t overrun_bits) {
        out.advance_to(op);
        if (overrun_bits > kOverrunTolerance) return LhaStatus::truncated;
        if (!out.flush()) return LhaStatus::write_failed;
        op = out.pos();
        return LhaStatus::ok;
    }

    OutputWindow out;
    size_t mask;
    size_t write_slot;
    uint8_t* op;
};

DecodeResult finish(RingDecoder& ring, LhaStatus status) {
    DecodeResult result;
    result.status = status;
    result.crc16 = ring.out.crc();
    return result;
}

} // namespace

// -lzs-: a 2 KiB ring of spaces. A one bit is followed by a literal byte; a zero
// bit by an 11-bit ring position and a 4-bit length less two.
DecodeResult decode_lzs(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink) {
    constexpr size_t kRing = 2048;
    uint8_t ring[kRing];
    std::memset(ring, ' ', kRing);
    RingDecoder d(kRing, kRing - 17, original_size, sink);
    d.fill_history(ring);
    BitReader in(packed, packed_size);
    while (d.left() > 0) {
        while (d.left() > 0 && !d.chunk_full()) {
            in.refill();
            if (in.take(1)) {
                d.put(static_cast<uint8_t>(in.take(8)));
            } else {
                const size_t slot = in.take(11);
                d.copy(slot, in.take(4) + 2);
            }
            if (in.overrun_bits() > kOverrunTolerance) break;
        }
        const LhaStatus status = d.end_chunk(in.overrun_bits());
        if (status != LhaStatus::ok) return finish(d, status);
    }
    return finish(d, LhaStatus::ok);
}

// -lz5-: a 4 KiB ring with a fixed pattern. A flag byte governs the next eight
// items, low bit first: a one is a literal byte, a zero a two-byte reference of a
// 12-bit ring position and a 4-bit length less three.
DecodeResult decode_lz5(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink) {
    constexpr size_t kRing = 4096;
    uint8_t ring[kRing];
    size_t p = 0;
    for (int v = 0; v < 256; ++v) {
        std::memset(ring + p, v, 13);
        p += 13;
    }
    for (int v = 0; v < 256; ++v) ring[p++] = static_cast<uint8_t>(v);
    for (int v = 0; v < 256; ++v) ring[p++] = static_cast<uint8_t>(255 - v);
    std::memset(ring + p, 0, 128);
    p += 128;
    std::memset(ring + p, ' ', kRing - 18 - p);
    std::memset(ring + kRing - 18, 0, 18);

    RingDecoder d(kRing, kRing - 18, original_size, sink);
    d.fill_history(ring);
    size_t at = 0;
    unsigned flags = 0;
    int flags_left = 0;
    bool ran_out = false;
    auto next_byte = [&](uint8_t& b) {
        if (at >= packed_size) {
            ran_out = true;
            return false;
        }
        b = packed[at++];
        return true;
    };
    while (d.left() > 0 && !ran_out) {
        while (d.left() > 0 && !d.chunk_full()) {
            uint8_t b0 = 0, b1 = 0;
            if (flags_left == 0) {
                if (!next_byte(b0)) break;
                flags = b0;
                flags_left = 8;
            }
            const bool literal = flags & 1;
            flags >>= 1;
            --flags_left;
            if (literal) {
                if (!next_byte(b0)) break;
                d.put(b0);
            } else {
                if (!next_byte(b0) || !next_byte(b1)) break;
                d.copy(b0 | (size_t(b1 & 0xF0) << 4), size_t(b1 & 0x0F) + 3);
            }
        }
        const LhaStatus status = d.end_chunk(0);
        if (status != LhaStatus::ok) return finish(d, status);
    }
    return finish(d, ran_out ? LhaStatus::truncated : LhaStatus::ok);
}
