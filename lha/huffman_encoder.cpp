#include "lha/huffman_encoder.h"

#include <algorithm>
#include <vector>

namespace {

// Tree depths by the two-queue method over symbols sorted by count.
void unlimited_lengths(const std::vector<std::pair<uint32_t, int>>& sorted, std::vector<int>& depth) {
    const size_t n = sorted.size();
    std::vector<uint64_t> weight(2 * n);
    std::vector<int> parent(2 * n, -1);
    for (size_t i = 0; i < n; ++i) weight[i] = sorted[i].first;
    size_t leaf = 0, inner = n, next = n;
    auto take = [&]() {
        if (leaf < n && (inner >= next || weight[leaf] <= weight[inner])) return leaf++;
        return inner++;
    };
    while (next < 2 * n - 1) {
        const size_t a = take();
        const size_t b = take();
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = static_cast<int>(next);
        ++next;
    }
    depth.assign(2 * n - 1, 0);
    for (size_t i = 2 * n - 2; i-- > 0;) depth[i] = depth[static_cast<size_t>(parent[i])] + 1;
}

} // namespace

int build_code_lengths(const uint32_t* counts, int symbols, int limit, uint8_t* lengths) {
    std::vector<std::pair<uint32_t, int>> used;
    for (int i = 0; i < symbols; ++i) {
        lengths[i] = 0;
        if (counts[i]) used.push_back({counts[i], i});
    }
    if (used.size() < 2) return static_cast<int>(used.size());
    std::sort(used.begin(), used.end());
    std::vector<int> depth;
    unlimited_lengths(used, depth);

    // Clamp to the limit, then lengthen the rarest codes that still can be until
    // the Kraft sum fits, and finally shorten codes to fill any space left over.
    const uint64_t full = uint64_t(1) << limit;
    uint64_t kraft = 0;
    std::vector<int> len(used.size());
    for (size_t i = 0; i < used.size(); ++i) {
        len[i] = std::min(depth[i], limit);
        kraft += full >> len[i];
    }
    while (kraft > full) {
        // used[] runs from rarest to most frequent.
        size_t pick = used.size();
        int best = 0;
        for (size_t i = 0; i < used.size(); ++i)
            if (len[i] < limit && len[i] > best) {
                best = len[i];
                pick = i;
            }
        kraft -= full >> (len[pick] + 1);
        ++len[pick];
    }
    for (bool changed = true; changed && kraft < full;) {
        changed = false;
        for (size_t i = used.size(); i-- > 0 && kraft < full;) {
            if (len[i] > 1 && kraft + (full >> len[i]) <= full) {
                kraft += full >> len[i];
                --len[i];
                changed = true;
            }
        }
    }
    for (size_t i = 0; i < used.size(); ++i) lengths[used[i].second] = static_cast<uint8_t>(len[i]);
    return static_cast<int>(used.size());
}

void assign_codes(const uint8_t* lengths, int symbols, uint16_t* codes) {
    int per_length[17] = {};
    for (int i = 0; i < symbols; ++i) ++per_length[lengths[i]];
    per_length[0] = 0;
    uint16_t next[18] = {};
    uint32_t code = 0;
    for (int len = 1; len <= 16; ++len) {
        code = (code + static_cast<uint32_t>(per_length[len - 1])) << 1;
        next[len] = static_cast<uint16_t>(code);
    }
    for (int i = 0; i < symbols; ++i)
        if (lengths[i]) codes[i] = next[lengths[i]]++;
}
