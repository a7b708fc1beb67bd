#pragma once
#include <cstring>

#include "lha/bit_reader.h"
#include "lha/member_decoder.h"
#include "lha/output_window.h"

// What -lh2- and -lh3- have in common: an 8 KiB window that starts as spaces, and
// 286 codes of which 0-255 are literals, 256-284 match lengths 3-31, and 285 is
// followed by eight bits that extend it to lengths 32-287. A distance less one is
// a code for its upper seven bits followed by six plain bits. Only how the two
// codes are sent differs, which the `Codes` type supplies:
//   int next_code(BitReader&)                  a code 0-285, or -1 for a corrupt stream
//   int next_position(BitReader&, uint64_t produced)
//                                              upper distance bits 0-127, or -1;
//                                              `produced` counts the bytes written so far
namespace lharc {

constexpr size_t kWindow = 8192;
constexpr int kCodes = 286;
constexpr int kExtendedCode = kCodes - 1;
constexpr int kPositionCodes = 128;
constexpr int kMinMatch = 3;

// Bits a stream may use past its stored end before it counts as cut off. Encoders
// pad the last byte; anything more means the data is missing.
constexpr uint64_t kOverrunTolerance = 16;

template <class Codes>
DecodeResult decode_stream(Codes& codes, const uint8_t* packed, size_t packed_size, uint64_t original_size,
                           OutputSink& sink) {
    DecodeResult result;
    OutputWindow out(kWindow, original_size, sink);
    std::memset(out.history(), ' ', kWindow);
    BitReader in(packed, packed_size);
    uint8_t* op = out.pos();
    uint64_t left = out.left();
    LhaStatus status = LhaStatus::ok;
    while (left > 0 && status == LhaStatus::ok) {
        uint8_t* const limit = out.limit();
        while (left > 0 && op < limit) {
            int c = codes.next_code(in);
            if (c < 0) {
                status = LhaStatus::corrupt_data;
                break;
            }
            in.refill();
            if (c == kExtendedCode) c += static_cast<int>(in.take(8));
            if (c < 256) {
                *op++ = static_cast<uint8_t>(c);
                --left;
            } else {
                size_t length = static_cast<size_t>(c - 256 + kMinMatch);
                const int p = codes.next_position(in, original_size - left);
                if (p < 0) {
                    status = LhaStatus::corrupt_data;
                    break;
                }
                in.refill();
                const size_t distance = ((static_cast<size_t>(p) << 6) | in.take(6)) + 1;
                if (length > left) length = static_cast<size_t>(left);
                op = copy_match(op, distance, length);
                left -= length;
            }
            // Past the end of the data codes may still decode, so a cut-off stream
            // is caught here rather than after a whole chunk of output.
            if (in.overrun_bits() > kOverrunTolerance) break;
        }
        out.advance_to(op);
        if (status != LhaStatus::ok) break;
        if (in.overrun_bits() > kOverrunTolerance) {
            status = LhaStatus::truncated;
            break;
        }
        if (!out.flush()) {
            status = LhaStatus::write_failed;
            break;
        }
        op = out.pos();
    }
    result.status = status;
    result.crc16 = out.crc();
    return result;
}

} // namespace lharc
