#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "lha/output_sink.h"
#include "lha/status.h"

struct DecodeResult {
    LhaStatus status = LhaStatus::ok;
    uint16_t crc16 = 0;     // CRC-16 of everything handed to the sink
};

bool is_supported_method(const std::string& method);

// Decodes one member's compressed bytes into exactly `original_size` bytes for the
// sink. The sink never receives more than that, whatever the stream says; a stream
// that breaks its rules or runs out ends in an error status.
DecodeResult decode_member(const std::string& method, const uint8_t* packed, size_t packed_size,
                           uint64_t original_size, OutputSink& sink);

// The individual methods, for the dispatcher, tests and fuzz targets.
DecodeResult decode_stored(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink);
// -lh4- to -lh7- and -lhx-: `position_codes` is the number of distance symbols and
// `position_bits` the width of its count field.
DecodeResult decode_static_huffman(const uint8_t* packed, size_t packed_size, uint64_t original_size,
                                   int position_codes, int position_bits, OutputSink& sink);
DecodeResult decode_lh1(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink);
DecodeResult decode_lh2(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink);
DecodeResult decode_lh3(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink);
DecodeResult decode_lzs(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink);
DecodeResult decode_lz5(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink);
