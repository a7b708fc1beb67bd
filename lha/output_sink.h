#pragma once
#include <cstddef>
#include <cstdint>

// Receives decoded member data in order, in chunks of any size.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // False stops decoding; the member is then reported as not written.
    virtual bool write(const uint8_t* data, size_t length) = 0;
};
