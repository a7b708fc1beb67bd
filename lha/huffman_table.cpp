#include "lha/huffman_table.h"

void HuffmanTable::set_single(uint32_t symbol) {
    entries_.assign(size_t(1) << primary_bits_, symbol << 8);
}

bool HuffmanTable::build(const uint8_t* lengths, int count, uint32_t invalid_symbol) {
    int per_length[kMaxLength + 1] = {};
    int max_length = 0;
    for (int i = 0; i < count; ++i) {
        if (lengths[i] > kMaxLength) return false;
        ++per_length[lengths[i]];
        if (lengths[i] > max_length) max_length = lengths[i];
    }
    uint32_t space = 0;
    for (int len = 1; len <= kMaxLength; ++len) space += static_cast<uint32_t>(per_length[len]) << (kMaxLength - len);
    if (space > (1u << kMaxLength)) return false;

    // First code of each length, left-aligned to 16 bits; codes are handed out in
    // order of length and then of symbol number.
    uint32_t next_code[kMaxLength + 2] = {};
    uint32_t code = 0;
    for (int len = 1; len <= kMaxLength; ++len) {
        next_code[len] = code;
        code += static_cast<uint32_t>(per_length[len]) << (kMaxLength - len);
    }

    const int primary = primary_bits_;
    const int sub_bits = max_length > primary ? max_length - primary : 0;
    const uint32_t invalid = (invalid_symbol << 8) | 1;
    entries_.assign(size_t(1) << primary, invalid);
    uint32_t current_prefix = ~0u;
    uint32_t current_base = 0;

    // Symbols in canonical order: by length, then by number.
    for (int len = 1; len <= max_length; ++len) {
        for (int symbol = 0; symbol < count; ++symbol) {
            if (lengths[symbol] != len) continue;
            const uint32_t code16 = next_code[len];
            next_code[len] += 1u << (kMaxLength - len);
            const uint32_t entry = (static_cast<uint32_t>(symbol) << 8) | static_cast<uint32_t>(len);
            if (len <= primary) {
                const uint32_t first = code16 >> (kMaxLength - primary);
                const uint32_t span = 1u << (primary - len);
                for (uint32_t i = 0; i < span; ++i) entries_[first + i] = entry;
                continue;
            }
            // Long codes are numerically above all shorter ones, so codes sharing a
            // prefix arrive together and one sub-table per prefix is enough.
            const uint32_t prefix = code16 >> (kMaxLength - primary);
            if (prefix != current_prefix) {
                current_prefix = prefix;
                current_base = static_cast<uint32_t>(entries_.size());
                entries_.resize(entries_.size() + (size_t(1) << sub_bits), invalid);
                entries_[prefix] = kSubTable | (current_base << 8) | static_cast<uint32_t>(sub_bits);
            }
            const uint32_t low = (code16 >> (kMaxLength - max_length)) & ((1u << sub_bits) - 1);
            const uint32_t span = 1u << (max_length - len);
            for (uint32_t i = 0; i < span; ++i) entries_[current_base + low + i] = entry;
        }
    }
    return true;
}
