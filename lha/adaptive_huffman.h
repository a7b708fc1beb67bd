#pragma once
#include <cstdint>

#include "lha/bit_reader.h"

// The adaptive Huffman code of LHarc's dynamic methods. Nodes sit in one array,
// root first, with counts that never increase along it; a node's two children are
// neighbours further on. Counting a symbol walks from its leaf to the root, and at
// each step first trades places with the earliest node of the same count, which
// keeps the order. When the total reaches 0x8000 the counts are halved and the
// tree rebuilt.
//
// The tree either starts full (every symbol seen once) or starts as a single leaf
// for symbol 0 and grows a leaf at a time, as the -lh2- distance code does.
class AdaptiveHuffman {
public:
    // Room for the largest alphabet in use, the 314 codes of -lh1-.
    static constexpr int kMaxSymbols = 320;

    // Every symbol below `symbols` starts with a count of one.
    static AdaptiveHuffman full(int symbols);
    // Only symbol 0, as the root leaf, which takes no bits to send.
    static AdaptiveHuffman single();

    int symbols() const { return symbols_; }

    // Follows bits from the root to a leaf; the tree is always complete, so any
    // input decodes. Children always sit after their parent, so the walk ends
    // within the node count. A one-leaf tree reads no bits.
    int decode(BitReader& in) const {
        int node = 0;
        while (link_[node] >= 0) {
            in.refill();
            node = link_[node] + 1 - static_cast<int>(in.take(1));
        }
        return ~link_[node];
    }

    void count(int symbol);

    // Splits the last leaf to give the next unused symbol number a leaf of its own,
    // then counts it once. False when the tree is already full.
    bool add_symbol();

private:
    static constexpr int kMaxNodes = 2 * kMaxSymbols - 1;

    struct Leaf {
        uint32_t count;
        int symbol;
    };

    AdaptiveHuffman() = default;
    void build(const Leaf* leaves, int leaf_count);
    void rescale();
    int increment(int node);
    void set_link(int node, int link);

    // link_ >= 0: an inner node whose children are link_ (bit 1) and link_ + 1
    // (bit 0); otherwise a leaf for symbol ~link_.
    int16_t link_[kMaxNodes] = {};
    int16_t parent_[kMaxNodes] = {};
    // The root's own count is never compared, so only the total is kept.
    uint32_t count_[kMaxNodes] = {};
    int16_t leaf_of_[kMaxSymbols] = {};
    int nodes_ = 0;
    int symbols_ = 0;
    uint32_t total_ = 0;
};
