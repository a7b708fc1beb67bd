#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Random-access bytes of an archive. Memory spans, POSIX files and Win32 files sit
// behind it, so the reader never learns where the archive lives.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Fills exactly `length` bytes from `offset`; false when any of them is missing.
    virtual bool read(uint64_t offset, uint8_t* out, size_t length) = 0;
    // The bytes in place when the source holds them in memory (a span, a mapped
    // file), which spares a copy of large members; nullptr otherwise.
    virtual const uint8_t* view(uint64_t, size_t) { return nullptr; }
};

class SpanSource : public ByteSource {
public:
    SpanSource(const uint8_t* data, size_t length) : data_(data), length_(length) {}
    uint64_t size() const override { return length_; }
    bool read(uint64_t offset, uint8_t* out, size_t length) override;
    const uint8_t* view(uint64_t offset, size_t length) override;

private:
    const uint8_t* data_;
    size_t length_;
};

// Reads `length` bytes at `offset` into `out`, replacing its contents; false when the
// source is shorter.
bool read_block(ByteSource& source, uint64_t offset, size_t length, std::vector<uint8_t>& out);
