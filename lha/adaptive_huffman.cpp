#include "lha/adaptive_huffman.h"

namespace {

constexpr uint32_t kRescaleAt = 0x8000;

} // namespace

AdaptiveHuffman AdaptiveHuffman::full(int symbols) {
    if (symbols < 1) symbols = 1;
    if (symbols > kMaxSymbols) symbols = kMaxSymbols;
    AdaptiveHuffman tree;
    // Highest symbol first, so that symbol 0 ends up in the last slot.
    Leaf leaves[kMaxSymbols];
    for (int i = 0; i < symbols; ++i) leaves[i] = {1, symbols - 1 - i};
    tree.build(leaves, symbols);
    tree.symbols_ = symbols;
    tree.total_ = static_cast<uint32_t>(symbols);
    return tree;
}

AdaptiveHuffman AdaptiveHuffman::single() {
    AdaptiveHuffman tree;
    const Leaf leaf = {1, 0};
    tree.build(&leaf, 1);
    tree.symbols_ = 1;
    tree.total_ = 0;
    return tree;
}

void AdaptiveHuffman::set_link(int node, int link) {
    link_[node] = static_cast<int16_t>(link);
    if (link >= 0) parent_[link] = parent_[link + 1] = static_cast<int16_t>(node);
    else leaf_of_[~link] = static_cast<int16_t>(node);
}

// Lays out a tree for leaves given in order of non-increasing count. Slots fill
// from the far end: the next two unpaired nodes are joined, and every remaining
// leaf whose count does not exceed their sum goes in before the joined node does,
// so an inner node always precedes leaves of equal count.
void AdaptiveHuffman::build(const Leaf* leaves, int leaf_count) {
    const int nodes = 2 * leaf_count - 1;
    int next_leaf = leaf_count - 1;
    int slot = nodes - 1;
    int pair = nodes - 2;
    auto place_leaf = [&]() {
        count_[slot] = leaves[next_leaf].count;
        set_link(slot, ~leaves[next_leaf].symbol);
        --next_leaf;
        --slot;
    };
    if (leaf_count == 1) {
        place_leaf();
    }
    while (slot >= 0 && pair >= 0) {
        while (slot >= pair && next_leaf >= 0) place_leaf();
        const uint32_t sum = count_[pair] + count_[pair + 1];
        while (next_leaf >= 0 && leaves[next_leaf].count <= sum) place_leaf();
        count_[slot] = sum;
        set_link(slot, pair);
        --slot;
        pair -= 2;
    }
    nodes_ = nodes;
}

void AdaptiveHuffman::rescale() {
    Leaf leaves[kMaxSymbols];
    int leaf_count = 0;
    for (int i = 0; i < nodes_; ++i)
        if (link_[i] < 0) leaves[leaf_count++] = {(count_[i] + 1) / 2, ~link_[i]};
    build(leaves, leaf_count);
    total_ = count_[0];
}

// Moves `node` to the front of its run of equal counts, raises its count there
// and returns the parent of that slot.
int AdaptiveHuffman::increment(int node) {
    int leader = node;
    while (leader > 1 && count_[leader - 1] == count_[node]) --leader;
    if (leader != node) {
        const int here = link_[node];
        set_link(node, link_[leader]);
        set_link(leader, here);
    }
    ++count_[leader];
    return parent_[leader];
}

void AdaptiveHuffman::count(int symbol) {
    if (symbol < 0 || symbol >= symbols_) return;
    if (total_ == kRescaleAt) rescale();
    for (int node = leaf_of_[symbol]; node != 0;) node = increment(node);
    ++total_;
}

bool AdaptiveHuffman::add_symbol() {
    if (symbols_ >= kMaxSymbols || nodes_ + 2 > kMaxNodes) return false;
    // The last slot always holds a leaf with the smallest count. It becomes an
    // inner node over a copy of itself (bit 1) and the new leaf (bit 0), which
    // starts at zero and so keeps the order.
    const int last = nodes_ - 1;
    const int copy = last + 1;
    const int added = last + 2;
    const int symbol = symbols_;
    count_[copy] = count_[last];
    set_link(copy, link_[last]);
    count_[added] = 0;
    set_link(added, ~symbol);
    set_link(last, copy);
    nodes_ += 2;
    symbols_ += 1;
    count(symbol);
    return true;
}
