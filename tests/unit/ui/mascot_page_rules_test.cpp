#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/memory_registry.h"
#include "ui/mascot_page_rules.h"

namespace {

struct Row {
    std::string name;
    bool checked;
};

// Sorts the rows as the list view would, with a plain case-insensitive text order.
std::vector<std::string> sorted(std::vector<Row> rows, int mode)
{
    auto text_order = [](const std::string& a, const std::string& b) {
        std::string la = a, lb = b;
        for (auto* s : {&la, &lb})
            std::transform(s->begin(), s->end(), s->begin(), [](unsigned char c) { return std::tolower(c); });
        return la.compare(lb);
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        return compare_rows(mode, text_order(a.name, b.name), a.checked, b.checked) < 0;
    });
    std::vector<std::string> names;
    for (const Row& row : rows)
        names.push_back(row.name + (row.checked ? "+" : ""));
    return names;
}

}  // namespace

TEST(MascotPageRules, FourHeaderClicksGiveTheFourOrders)
{
    const std::vector<Row> rows = {{"bob", true}, {"Alice", false}, {"dora", false}, {"Carl", true}};
    int mode = 0;
    const std::vector<std::vector<std::string>> expected = {
        {"dora", "Carl+", "bob+", "Alice"},  // 1: by name descending
        {"bob+", "Carl+", "Alice", "dora"},  // 2: checked first, names ascending
        {"dora", "Alice", "Carl+", "bob+"},  // 3: unchecked first, names descending
        {"Alice", "bob+", "Carl+", "dora"},  // 0: by name ascending again
    };
    for (const auto& order : expected) {
        mode = next_sort_mode(mode);
        EXPECT_EQ(sorted(rows, mode), order) << "mode " << mode;
    }
    EXPECT_EQ(mode, 0);
}

TEST(MascotPageRules, UnitRule)
{
    struct Case {
        bool percent;
        int32_t word;
        UnitRule expected;
    } cases[] = {
        {true, 250, {true, 100, kPercentRange, 1}},
        {true, 100, {true, 100, kPercentRange, 1}},
        {true, 99, {true, 99, kPercentRange, 1}},
        {true, 0, {true, 0, kPercentRange, 1}},
        {true, -5, {true, 0, kPercentRange, 1}},
        {true, 70000, {true, 100, kPercentRange, 1}},
        {true, INT32_MIN, {true, 0, kPercentRange, 1}},
        {false, 250, {false, 0, kDotRange, 0}},
        {false, -5, {false, 0, kDotRange, 0}},
    };
    for (const Case& c : cases) {
        const UnitRule got = unit_rule(c.percent, c.word);
        EXPECT_EQ(got.set_position, c.expected.set_position) << c.word;
        if (got.set_position) {
            EXPECT_EQ(got.position, c.expected.position) << c.word;
        }
        EXPECT_EQ(got.range.lower, c.expected.range.lower) << c.word;
        EXPECT_EQ(got.range.upper, c.expected.range.upper) << c.word;
        EXPECT_EQ(got.per_dot_setting, c.expected.per_dot_setting) << c.word;
    }
    // The larger number is always the lower limit.
    for (UpDownRange range : {kPercentRange, kDotRange, kSizeRange})
        EXPECT_GT(range.lower, range.upper);
}

TEST(MascotPageRules, EnablingGroups)
{
    struct Case {
        bool preview;
        int32_t non_target_all, minimize;
        bool mascot, rules, sizes;
    } cases[] = {
        {false, 0, 1, false, false, false}, {true, 1, 1, true, false, false}, {true, 0, 0, true, true, false},
        {true, 0, 1, true, true, true},     {true, 2, 1, true, false, false}, {true, 0, 2, true, true, false},
    };
    for (const Case& c : cases) {
        const EnabledGroups got = enabled_groups(c.preview, c.non_target_all, c.minimize);
        EXPECT_EQ(got.mascot, c.mascot);
        EXPECT_EQ(got.rules, c.rules);
        EXPECT_EQ(got.sizes, c.sizes) << c.preview << c.non_target_all << c.minimize;
    }
}

TEST(MascotPageRules, EditNumbers)
{
    struct Case {
        const char* text;
        bool is_signed;
        int32_t value;
    } cases[] = {
        {"250", true, 250},           {"-5", true, -5},       {" 42 ", true, 42},
        {"", true, 0},                {"-", true, 0},         {"abc", true, 0},
        {"12abc", true, 0},           {"1,000", false, 0},    {"-5", false, 0},
        {"2147483647", true, INT32_MAX}, {"-2147483648", true, INT32_MIN}, {"2147483648", true, 0},
        {"4294967295", false, -1},    {"4294967296", false, 0}, {"1000", false, 1000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_edit_number(c.text, c.is_signed), c.value) << c.text;
}

TEST(MascotPageRules, HelpContextsAndRestartLimit)
{
    const std::pair<int, uint32_t> contexts[] = {{1000, 4},  {1003, 7},  {1012, 7},  {1026, 11}, {1034, 11},
                                                 {1009, 14}, {1011, 15}, {1056, 16}, {1010, 17}, {1014, 0},
                                                 {1002, 0}};
    for (const auto& [control, context] : contexts)
        EXPECT_EQ(help_context_for(control), context) << control;
    EXPECT_TRUE(may_start_another(1, 2));
    EXPECT_FALSE(may_start_another(2, 2));
    EXPECT_FALSE(may_start_another(0, 0));
    EXPECT_TRUE(may_start_another(5, 0xFFFFFFFFu));  // unsigned: a stored -1 means no limit
}

TEST(MascotPageRules, EverySubkeyGoesTheKeyStays)
{
    MemoryRegistry registry;
    const std::string key = "Software\\Korrin\\Velmora2\\Mascot";
    registry.write_dword(key + "\\Tama", "PositionX", 1);
    registry.write_dword(key + "\\Cats\\tama.lzh", "PositionX", 2);
    registry.write_dword(key, "Stray", 3);
    registry.write_dword("Software\\Korrin\\Velmora2\\View", "a.bmp", 0);
    delete_all_subkeys(registry, key);
    EXPECT_TRUE(registry.enum_subkeys(key).empty());
    EXPECT_TRUE(registry.open(key, false));
    EXPECT_TRUE(registry.find("Software\\Korrin\\Velmora2\\View", "a.bmp"));

    MemoryRegistry empty;
    delete_all_subkeys(empty, key);
    EXPECT_TRUE(empty.open(key, false)) << "the key is created when missing";
}

namespace {

// A registry whose deletions do nothing, as with a subkey that access rights protect.
class StuckRegistry : public MemoryRegistry {
public:
    int deletions = 0;
    bool delete_subtree(const std::string&) override
    {
        ++deletions;
        return false;
    }
};

}  // namespace

TEST(MascotPageRules, SubkeyThatWillNotGoIsTriedOnce)
{
    StuckRegistry registry;
    registry.write_dword("K\\Stuck", "v", 1);
    delete_all_subkeys(registry, "K");
    EXPECT_EQ(registry.deletions, 1);
    EXPECT_TRUE(registry.value_names("K\\Stuck").empty()) << "its values go";
}

TEST(MascotPageRules, ClearGoesOnPastASubkeyThatWillNotGo)
{
    MemoryRegistry registry;
    const std::string key = "Software\\Korrin\\Velmora2\\Mascot";
    for (const char* name : {"Aki", "Cats\\tama.lzh", "Cats\\mike.lzh", "Zoe"})
        registry.write_dword(key + "\\" + name, "PositionX", 10);
    registry.write_dword(key + "\\Cats", "PositionY", 20);
    // A key the program cannot delete, below one mascot's key and among the first.
    registry.undeletable.insert(key + "\\Cats\\tama.lzh\\locked");
    delete_all_subkeys(registry, key);
    EXPECT_EQ(registry.enum_subkeys(key), std::vector<std::string>{"Cats"});
    EXPECT_EQ(registry.enum_subkeys(key + "\\Cats"), std::vector<std::string>{"tama.lzh"});
    EXPECT_TRUE(registry.value_names(key + "\\Cats").empty());
    EXPECT_TRUE(registry.value_names(key + "\\Cats\\tama.lzh").empty()) << "the stuck mascot keeps no setting";
    EXPECT_FALSE(registry.open(key + "\\Zoe", false)) << "the mascots after it are cleared too";
}
