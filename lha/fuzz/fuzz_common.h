#pragma once
#include <cstddef>
#include <cstdint>

#include "lha/output_sink.h"

// Counts what a decoder hands out and checks it never exceeds the size it was
// given; the data itself is dropped.
class CountingSink : public OutputSink {
public:
    explicit CountingSink(uint64_t limit) : limit_(limit) {}
    bool write(const uint8_t*, size_t length) override {
        total_ += length;
        if (total_ > limit_) __builtin_trap();
        return true;
    }

private:
    uint64_t limit_;
    uint64_t total_ = 0;
};

// The first two bytes of a fuzz input choose the declared member size (up to
// 64 KiB, enough to cross several output chunks with matches); the rest is the
// compressed stream.
inline uint64_t declared_size(const uint8_t*& data, size_t& size) {
    if (size < 2) return 0;
    const uint64_t declared = (uint64_t(data[0]) << 8 | data[1]) * 4;
    data += 2;
    size -= 2;
    return declared;
}
