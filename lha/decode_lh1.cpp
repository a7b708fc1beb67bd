#include <cstring>

#include "lha/bit_reader.h"
#include "lha/member_decoder.h"
#include "lha/output_window.h"

namespace {

constexpr int kWindow = 4096;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 60;
constexpr int kSymbols = 256 + kMaxMatch - kMinMatch + 1;   // literals, then match lengths
constexpr int kNodes = 2 * kSymbols - 1;
constexpr int kRoot = kNodes - 1;
constexpr uint16_t kRescaleAt = 0x8000;
constexpr uint64_t kOverrunTolerance = 16;

// The adaptive code: a tree kept in sibling order, where node frequencies never
// decrease along the array, and each decoded symbol bumps its path to the root and
// swaps nodes to restore the order. Leaves are stored as kNodes + symbol.
class AdaptiveTree {
public:
    AdaptiveTree() {
        for (int i = 0; i < kSymbols; ++i) {
            freq_[i] = 1;
            child_[i] = static_cast<int16_t>(i + kNodes);
            parent_[i + kNodes] = static_cast<int16_t>(i);
        }
        for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
            freq_[j] = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
            child_[j] = static_cast<int16_t>(i);
            parent_[i] = parent_[i + 1] = static_cast<int16_t>(j);
        }
        freq_[kNodes] = 0xFFFF;   // sentinel that stops the search for a swap partner
        parent_[kRoot] = 0;
    }

    int decode(BitReader& in) {
        int node = child_[kRoot];
        while (node < kNodes) {
            in.refill();
            node = child_[node + static_cast<int>(in.take(1))];
        }
        const int symbol = node - kNodes;
        update(symbol);
        return symbol;
    }

private:
    void rescale() {
        // Halve the leaf counts and rebuild the inner nodes in sibling order.
        int j = 0;
        for (int i = 0; i < kNodes; ++i) {
            if (child_[i] >= kNodes) {
                freq_[j] = static_cast<uint16_t>((freq_[i] + 1) / 2);
                child_[j] = child_[i];
                ++j;
            }
        }
        for (int i = 0, node = kSymbols; node < kNodes; i += 2, ++node) {
            const uint16_t f = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
            int k = node - 1;
            while (f < freq_[k]) --k;
            ++k;
            std::memmove(&freq_[k + 1], &freq_[k], sizeof(freq_[0]) * static_cast<size_t>(node - k));
            freq_[k] = f;
            std::memmove(&child_[k + 1], &child_[k], sizeof(child_[0]) * static_cast<size_t>(node - k));
            child_[k] = static_cast<int16_t>(i);
        }
        for (int i = 0; i < kNodes; ++i) {
            const int k = child_[i];
            if (k >= kNodes) parent_[k] = static_cast<int16_t>(i);
            else parent_[k] = parent_[k + 1] = static_cast<int16_t>(i);
        }
    }

    void update(int symbol) {
        if (freq_[kRoot] == kRescaleAt) rescale();
        int c = parent_[symbol + kNodes];
        do {
            const uint16_t k = ++freq_[c];
            int l = c + 1;
            if (k > freq_[l]) {
                while (k > freq_[++l]) {
                }
                --l;
                freq_[c] = freq_[l];
                freq_[l] = k;
                const int i = child_[c];
                parent_[i] = static_cast<int16_t>(l);
                if (i < kNodes) parent_[i + 1] = static_cast<int16_t>(l);
                const int j = child_[l];
                child_[l] = static_cast<int16_t>(i);
                parent_[j] = static_cast<int16_t>(c);
                if (j < kNodes) parent_[j + 1] = static_cast<int16_t>(c);
                child_[c] = static_cast<int16_t>(j);
                c = l;
            }
            c = parent_[c];
        } while (c != 0);
    }

    uint16_t freq_[kNodes + 1];
    int16_t child_[kNodes];
    int16_t parent_[kNodes + kSymbols];
};

// The upper six bits of a distance use a fixed code: one 3-bit code, three of 4
// bits, eight of 5, twelve of 6, twenty-four of 7 and sixteen of 8, handed out in
// canonical order.
struct PositionCode {
    uint8_t symbol[256];
    uint8_t length[256];
    PositionCode() {
        static const int counts[] = {1, 3, 8, 12, 24, 16};
        int symbol_no = 0;
        uint32_t code = 0;   // left-aligned to 8 bits
        for (int len = 3; len <= 8; ++len) {
            for (int n = 0; n < counts[len - 3]; ++n, ++symbol_no) {
                const uint32_t span = 1u << (8 - len);
                for (uint32_t i = 0; i < span; ++i) {
                    symbol[code + i] = static_cast<uint8_t>(symbol_no);
                    length[code + i] = static_cast<uint8_t>(len);
                }
                code += span;
            }
        }
    }
};

} // namespace

DecodeResult decode_lh1(const uint8_t* packed, size_t packed_size, uint64_t original_size, OutputSink& sink) {
    static const PositionCode position_code;
    DecodeResult result;
    OutputWindow out(kWindow, original_size, sink);
    std::memset(out.history(), ' ', kWindow);
    BitReader in(packed, packed_size);
    AdaptiveTree tree;
    uint8_t* op = out.pos();
    uint64_t left = out.left();
    while (left > 0) {
        uint8_t* const limit = out.limit();
        while (left > 0 && op < limit) {
            const int c = tree.decode(in);
            if (c < 256) {
                *op++ = static_cast<uint8_t>(c);
                --left;
                // Past the end of the data every code still decodes, so a cut-off
                // stream is caught here rather than after a whole chunk of output.
                if (in.past_end() && in.overrun_bits() > kOverrunTolerance) break;
                continue;
            }
            size_t length = static_cast<size_t>(c - 256 + kMinMatch);
            in.refill();
            const uint32_t top = in.peek(8);
            in.skip(position_code.length[top]);
            const size_t distance = ((static_cast<size_t>(position_code.symbol[top]) << 6) | in.take(6)) + 1;
            if (length > left) length = static_cast<size_t>(left);
            op = copy_match(op, distance, length);
            left -= length;
            if (in.overrun_bits() > kOverrunTolerance) break;
        }
        out.advance_to(op);
        if (in.overrun_bits() > kOverrunTolerance) {
            result.status = LhaStatus::truncated;
            break;
        }
        if (!out.flush()) {
            result.status = LhaStatus::write_failed;
            break;
        }
        op = out.pos();
    }
    result.crc16 = out.crc();
    return result;
}
