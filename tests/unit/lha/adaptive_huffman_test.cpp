// The adaptive code of the dynamic LHarc methods, with codes worked out by hand:
// how the first tree is laid out, how counting trades a leaf forward, and how the
// growing tree splits its last leaf.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lha/adaptive_huffman.h"

namespace {

int decode_bits(const AdaptiveHuffman& tree, const std::string& bits) {
    uint8_t bytes[4] = {};
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1') bytes[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    BitReader in(bytes, sizeof bytes);
    const int symbol = tree.decode(in);
    // The code must use exactly its own bits: the next bit read is the first pad bit.
    EXPECT_EQ(in.overrun_bits(), 0u);
    return symbol;
}

} // namespace

TEST(AdaptiveHuffman, CodesAfterCountingAndGrowing) {
    constexpr int kGrow = -1;   // a step that adds the next symbol instead of counting one
    struct Row {
        const char* name;
        int symbols;   // 0: the growing tree
        std::vector<int> steps;
        std::map<int, std::string> codes;
    };
    const Row rows[] = {
        {"three symbols, fresh", 3, {}, {{2, "0"}, {1, "11"}, {0, "10"}}},
        {"symbol 0 counted once trades places with symbol 2", 3, {0}, {{0, "0"}, {1, "11"}, {2, "10"}}},
        {"symbol 0 counted twice moves ahead of the inner node", 3, {0, 0}, {{0, "1"}, {1, "01"}, {2, "00"}}},
        {"growing tree, one symbol", 0, {}, {{0, ""}}},
        {"growing tree, two symbols", 0, {kGrow}, {{0, "1"}, {1, "0"}}},
        {"growing tree, three symbols: the split leaf's parent moves forward", 0, {kGrow, kGrow},
         {{0, "0"}, {1, "11"}, {2, "10"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AdaptiveHuffman tree = row.symbols ? AdaptiveHuffman::full(row.symbols) : AdaptiveHuffman::single();
        for (int step : row.steps) {
            if (step == kGrow) EXPECT_TRUE(tree.add_symbol());
            else tree.count(step);
        }
        EXPECT_EQ(tree.symbols(), static_cast<int>(row.codes.size()));
        for (const auto& code : row.codes) EXPECT_EQ(decode_bits(tree, code.second), code.first) << code.second;
    }
}

// Counting far past the rescale point and growing to the limit keeps a usable tree:
// symbols out of range are ignored and decoding stays inside the alphabet.
TEST(AdaptiveHuffman, LongUseStaysInsideTheAlphabet) {
    auto codes = AdaptiveHuffman::full(286);
    auto grown = AdaptiveHuffman::single();
    uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        codes.count(static_cast<int>((x >> 16) % 40));
        if (i % 500 == 0) grown.add_symbol();
        grown.count(static_cast<int>((x >> 8) % static_cast<uint32_t>(grown.symbols())));
    }
    codes.count(-1);
    codes.count(286);
    EXPECT_EQ(grown.symbols(), AdaptiveHuffman::kMaxSymbols);
    EXPECT_FALSE(grown.add_symbol());
    for (int n = 0; n < 2000; ++n) {
        uint8_t bytes[8];
        for (auto& b : bytes) {
            x = x * 1103515245u + 12345u;
            b = static_cast<uint8_t>(x >> 24);
        }
        BitReader in(bytes, sizeof bytes);
        const int c = codes.decode(in);
        EXPECT_GE(c, 0);
        EXPECT_LT(c, 286);
    }
}
