#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lha/lh_encoder.h"

// Builds an archive in memory: level 2 headers, each member compressed with the
// chosen method, or stored as -lh0- when compression would not make it smaller.
class ArchiveWriter {
public:
    // With `store_when_larger` false every member is compressed, even when that
    // makes it bigger (benchmarks and tests want the coded stream).
    explicit ArchiveWriter(PackMethod method, bool store_when_larger = true)
        : method_(method), store_when_larger_(store_when_larger) {}

    // `name` is stored as given (a bare file name); `unix_time` is the modification time.
    // False when the name or size cannot be stored in a level 2 header.
    bool add(const std::string& name, const uint8_t* data, size_t length, uint32_t unix_time);

    // The archive so far with its end marker.
    std::vector<uint8_t> finish() const;

    // The method each added member ended up with, in order (for reports and tests).
    const std::vector<std::string>& methods() const { return methods_; }

private:
    PackMethod method_;
    bool store_when_larger_;
    std::vector<uint8_t> bytes_;
    std::vector<std::string> methods_;
};
