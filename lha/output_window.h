#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lha/crc16.h"
#include "lha/output_sink.h"

// The decoders' history and output buffer in one: `window` bytes of history sit in
// front of a chunk of fresh output, and when the chunk is full it goes to the sink
// and the last `window` bytes move to the front. Matches therefore never wrap, and
// the sink sees large chunks rather than single bytes.
class OutputWindow {
public:
    // Room kept after the write limit so that a whole match, copied eight bytes at a
    // time, always fits.
    static constexpr size_t kSlack = 1024;

    OutputWindow(size_t window, uint64_t total, OutputSink& sink)
        : window_(window), left_(total), sink_(sink) {
        size_t chunk = window * 4 < (256u << 10) ? (256u << 10) : window * 4;
        if (total < chunk) chunk = static_cast<size_t>(total);
        buffer_.resize(window + chunk + kSlack);
        limit_ = buffer_.data() + window + chunk;
        pos_ = buffer_.data() + window;
        start_ = pos_;
    }

    // The history seen before the first output byte; decoders fill it with what
    // their format says the window holds at the start.
    uint8_t* history() { return buffer_.data(); }
    size_t window() const { return window_; }

    uint8_t* pos() const { return pos_; }
    uint8_t* limit() const { return limit_; }
    uint64_t left() const { return left_; }

    // Records that the decoder has written up to `p`, counting against the member size.
    void advance_to(uint8_t* p) {
        left_ -= static_cast<uint64_t>(p - pos_);
        pos_ = p;
    }

    // Sends the chunk to the sink and slides the window to the front.
    bool flush() {
        const size_t produced = static_cast<size_t>(pos_ - start_);
        if (produced) {
            crc_ = update_crc16(crc_, start_, produced);
            if (!sink_.write(start_, produced)) return false;
        }
        if (left_ == 0) return true;
        std::memmove(buffer_.data(), pos_ - window_, window_);
        pos_ = buffer_.data() + window_;
        start_ = pos_;
        return true;
    }

    uint16_t crc() const { return crc_; }

private:
    std::vector<uint8_t> buffer_;
    size_t window_;
    uint64_t left_;
    OutputSink& sink_;
    uint8_t* pos_ = nullptr;
    uint8_t* start_ = nullptr;
    uint8_t* limit_ = nullptr;
    uint16_t crc_ = 0;
};

// Copies a match of `length` bytes from `distance` back. Non-overlapping runs go
// eight bytes at a time and may write up to seven bytes past the end, which the
// window's slack absorbs and later output overwrites.
inline uint8_t* copy_match(uint8_t* out, size_t distance, size_t length) {
    const uint8_t* from = out - distance;
    if (distance >= 8) {
        uint8_t* end = out + length;
        do {
            std::memcpy(out, from, 8);
            out += 8;
            from += 8;
        } while (out < end);
        return end;
    }
    for (size_t i = 0; i < length; ++i) out[i] = from[i];
    return out + length;
}
