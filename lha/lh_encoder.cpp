#include "lha/lh_encoder.h"

#include <algorithm>
#include <cstring>

#include "lha/huffman_encoder.h"

namespace {

constexpr int kLiteralCodes = 510;
constexpr int kLengthCodes = 19;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
constexpr size_t kBlockSymbols = 0xFFFF;   // the block header counts symbols in 16 bits
constexpr int kHashBits = 15;
constexpr int kMaxChain = 96;              // match candidates tried per position

struct MethodShape {
    const char* id;
    int position_codes;
    int position_bits;
};

MethodShape shape_of(PackMethod method) {
    switch (method) {
    case PackMethod::lh5: return {"-lh5-", 14, 4};
    case PackMethod::lh6: return {"-lh6-", 16, 5};
    case PackMethod::lh7: return {"-lh7-", 17, 5};
    }
    return {"-lh5-", 14, 4};
}

class BitWriter {
public:
    void put(uint32_t value, int bits) {
        if (bits == 0) return;
        acc_ = (acc_ << bits) | (value & ((uint64_t(1) << bits) - 1));
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            out.push_back(static_cast<uint8_t>(acc_ >> count_));
        }
    }
    void finish() {
        if (count_ > 0) out.push_back(static_cast<uint8_t>(acc_ << (8 - count_)));
        count_ = 0;
    }
    std::vector<uint8_t> out;

private:
    uint64_t acc_ = 0;
    int count_ = 0;
};

struct Symbol {
    uint16_t code;       // 0-255 literal, 256-509 match length - 3 + 256
    uint32_t distance;   // for matches
};

int bit_length(uint32_t v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

class BlockWriter {
public:
    BlockWriter(BitWriter& out, MethodShape shape) : out_(out), shape_(shape) {}

    void write(const std::vector<Symbol>& symbols) {
        uint32_t literal_counts[kLiteralCodes] = {};
        uint32_t position_counts[24] = {};
        for (const Symbol& s : symbols) {
            ++literal_counts[s.code];
            if (s.code >= 256) ++position_counts[bit_length(s.distance - 1)];
        }
        uint8_t literal_lengths[kLiteralCodes];
        uint8_t position_lengths[24];
        const int literal_used = build_code_lengths(literal_counts, kLiteralCodes, 16, literal_lengths);
        const int position_used = build_code_lengths(position_counts, shape_.position_codes, 16, position_lengths);

        out_.put(static_cast<uint32_t>(symbols.size()), 16);
        if (literal_used < 2) {
            // One literal symbol: an empty length table, then the symbol itself.
            int only = 0;
            while (only < kLiteralCodes - 1 && literal_counts[only] == 0) ++only;
            out_.put(0, 5);
            out_.put(0, 5);
            out_.put(0, 9);
            out_.put(static_cast<uint32_t>(only), 9);
        } else {
            write_literal_lengths(literal_lengths);
        }
        if (position_used < 2) {
            int only = 0;
            while (only < shape_.position_codes - 1 && position_counts[only] == 0) ++only;
            out_.put(0, shape_.position_bits);
            out_.put(static_cast<uint32_t>(only), shape_.position_bits);
        } else {
            write_small_lengths(position_lengths, shape_.position_codes, shape_.position_bits, -1);
        }

        uint16_t literal_codes[kLiteralCodes] = {};
        uint16_t position_codes[24] = {};
        assign_codes(literal_lengths, kLiteralCodes, literal_codes);
        assign_codes(position_lengths, shape_.position_codes, position_codes);
        for (const Symbol& s : symbols) {
            out_.put(literal_codes[s.code], literal_lengths[s.code]);
            if (s.code < 256) continue;
            const uint32_t pos = s.distance - 1;
            const int p = bit_length(pos);
            out_.put(position_codes[p], position_lengths[p]);
            if (p > 1) out_.put(pos, p - 1);
        }
    }

private:
    // Lengths of the small tables: three bits each, 7 and up as 7 plus a unary run.
    void write_small_lengths(const uint8_t* lengths, int count, int count_bits, int special) {
        int n = count;
        while (n > 0 && lengths[n - 1] == 0) --n;
        out_.put(static_cast<uint32_t>(n), count_bits);
        int i = 0;
        while (i < n) {
            const int len = lengths[i++];
            if (len <= 6) out_.put(static_cast<uint32_t>(len), 3);
            else out_.put((1u << (len - 3)) - 2, len - 3);   // len-4 ones after "111", then a zero
            if (i == special) {
                int zeros = 0;
                while (i + zeros < 6 && zeros < 3 && lengths[i + zeros] == 0) ++zeros;
                out_.put(static_cast<uint32_t>(zeros), 2);
                i += zeros;
            }
        }
    }

    void write_literal_lengths(const uint8_t* lengths) {
        int n = kLiteralCodes;
        while (n > 0 && lengths[n - 1] == 0) --n;
        // Runs of zero lengths become symbols 0-2; the rest are length + 2.
        struct Item {
            int symbol;
            int extra_bits;
            uint32_t extra;
        };
        std::vector<Item> items;
        uint32_t counts[kLengthCodes] = {};
        for (int i = 0; i < n;) {
            if (lengths[i] != 0) {
                items.push_back({lengths[i] + 2, 0, 0});
                ++i;
                continue;
            }
            int run = 0;
            while (i + run < n && lengths[i + run] == 0) ++run;
            i += run;
            while (run > 0) {
                if (run <= 2) {
                    items.push_back({0, 0, 0});
                    --run;
                } else if (run <= 18) {
                    items.push_back({1, 4, static_cast<uint32_t>(run - 3)});
                    run = 0;
                } else if (run == 19) {
                    items.push_back({0, 0, 0});
                    --run;
                } else {
                    const int take = std::min(run, 20 + 511);
                    items.push_back({2, 9, static_cast<uint32_t>(take - 20)});
                    run -= take;
                }
            }
        }
        for (const Item& item : items) ++counts[item.symbol];
        uint8_t length_lengths[kLengthCodes];
        const int used = build_code_lengths(counts, kLengthCodes, 16, length_lengths);
        uint16_t length_codes[kLengthCodes] = {};
        if (used < 2) {
            int only = 0;
            while (only < kLengthCodes - 1 && counts[only] == 0) ++only;
            out_.put(0, 5);
            out_.put(static_cast<uint32_t>(only), 5);
        } else {
            write_small_lengths(length_lengths, kLengthCodes, 5, 3);
            assign_codes(length_lengths, kLengthCodes, length_codes);
        }
        out_.put(static_cast<uint32_t>(n), 9);
        for (const Item& item : items) {
            if (used >= 2) out_.put(length_codes[item.symbol], length_lengths[item.symbol]);
            out_.put(item.extra, item.extra_bits);
        }
    }

    BitWriter& out_;
    MethodShape shape_;
};

class MatchFinder {
public:
    MatchFinder(const uint8_t* data, size_t length, size_t window)
        : data_(data), length_(length), window_(window), head_(size_t(1) << kHashBits, -1), prev_(window, -1) {}

    void insert(size_t pos) {
        if (pos + kMinMatch > length_) return;
        const uint32_t h = hash(pos);
        prev_[pos & (window_ - 1)] = head_[h];
        head_[h] = static_cast<int64_t>(pos);
    }

    // Longest match for `pos` among earlier positions within the window.
    size_t find(size_t pos, size_t& distance) const {
        if (pos + kMinMatch > length_) return 0;
        const size_t max_length = std::min<size_t>(kMaxMatch, length_ - pos);
        size_t best = kMinMatch - 1;
        int64_t candidate = head_[hash(pos)];
        for (int chain = 0; candidate >= 0 && chain < kMaxChain; ++chain) {
            const size_t c = static_cast<size_t>(candidate);
            if (pos - c > window_) break;
            if (data_[c + best] == data_[pos + best]) {
                size_t n = 0;
                while (n < max_length && data_[c + n] == data_[pos + n]) ++n;
                if (n > best) {
                    best = n;
                    distance = pos - c;
                    if (n == max_length) break;
                }
            }
            const int64_t next = prev_[c & (window_ - 1)];
            if (next >= candidate) break;   // the slot was reused by a newer position
            candidate = next;
        }
        return best >= kMinMatch ? best : 0;
    }

private:
    uint32_t hash(size_t pos) const {
        const uint32_t v = data_[pos] | (data_[pos + 1] << 8) | (data_[pos + 2] << 16);
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const uint8_t* data_;
    size_t length_;
    size_t window_;
    std::vector<int64_t> head_;
    std::vector<int64_t> prev_;
};

} // namespace

const char* method_id(PackMethod method) { return shape_of(method).id; }

std::vector<uint8_t> encode_lh(const uint8_t* data, size_t length, PackMethod method) {
    const MethodShape shape = shape_of(method);
    // The decoder keeps 2^(codes-1) bytes of history.
    const size_t window = size_t(1) << (shape.position_codes - 1);
    BitWriter out;
    BlockWriter blocks(out, shape);
    MatchFinder finder(data, length, window);
    std::vector<Symbol> symbols;
    symbols.reserve(kBlockSymbols);

    size_t pos = 0;
    size_t pending_distance = 0;
    size_t pending_length = 0;
    if (length > 0) {
        pending_length = finder.find(0, pending_distance);
        finder.insert(0);
    }
    while (pos < length) {
        // One step of lazy evaluation: a longer match at the next byte wins over
        // the current one, which then becomes a literal.
        size_t next_distance = 0, next_length = 0;
        if (pending_length >= kMinMatch && pending_length < 32 && pos + 1 < length)
            next_length = finder.find(pos + 1, next_distance);
        if (pending_length >= kMinMatch && next_length <= pending_length) {
            symbols.push_back({static_cast<uint16_t>(256 + pending_length - kMinMatch), static_cast<uint32_t>(pending_distance)});
            for (size_t i = 1; i < pending_length; ++i) finder.insert(pos + i);
            pos += pending_length;
            if (pos < length) {
                pending_length = finder.find(pos, pending_distance);
                finder.insert(pos);
            }
        } else {
            symbols.push_back({data[pos], 0});
            ++pos;
            if (pos < length) {
                if (next_length >= kMinMatch) {
                    pending_length = next_length;
                    pending_distance = next_distance;
                } else {
                    pending_length = finder.find(pos, pending_distance);
                }
                finder.insert(pos);
            }
        }
        if (symbols.size() == kBlockSymbols) {
            blocks.write(symbols);
            symbols.clear();
        }
    }
    if (!symbols.empty()) blocks.write(symbols);
    out.finish();
    return std::move(out.out);
}
