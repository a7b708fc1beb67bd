#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/monitors.h"
#include "display/placement.h"
#include "tests/support/anchors.h"

namespace {

const Rect32 kTarget = {100, 200, 500, 600};

}  // namespace

TEST(ComputeMascotPosition, AnchorTable)
{
    struct Row {
        const char* what;
        Rect32 target;
        MascotSettings settings;
        Point32 expected;
    };
    const Row rows[] = {
        {"defaults stand on the top edge", kTarget, MascotSettings{}, {384, 120}},
        {"10 dots from the right", kTarget, anchors(10, 0, 0, 0, 1, 1), {426, 120}},
        {"5 dots from the bottom", kTarget, anchors(75, 1, 1, 5, 0, 0), {384, 515}},
        {"0 percent from the bottom is just below", kTarget, anchors(75, 1, 1, 0, 1, 0), {384, 600}},
        {"0 percent from the left", kTarget, anchors(0, 1, 1, 0, 1, 1), {36, 120}},
        {"100 percent from the left", kTarget, anchors(100, 1, 1, 0, 1, 1), {500, 120}},
        {"0 percent from the right", kTarget, anchors(0, 1, 0, 0, 1, 1), {500, 120}},
        {"100 percent from the right", kTarget, anchors(100, 1, 0, 0, 1, 1), {36, 120}},
        {"dots from the left, negative allowed", kTarget, anchors(-7, 0, 1, 3, 0, 1), {93, 203}},
        {"any other unit value counts as dots", kTarget, anchors(10, 5, 1, 0, 1, 1), {110, 120}},
    };
    for (const auto& row : rows) {
        const Point32 at = compute_mascot_position(row.target, 64, 80, row.settings);
        EXPECT_EQ(at.x, row.expected.x) << row.what;
        EXPECT_EQ(at.y, row.expected.y) << row.what;
    }
}

TEST(ComputeMascotPosition, PercentTruncatesTowardZero)
{
    // Target 0..64 wide, mascot 64: travel 128; 1% of 128 = 1.28 -> -64 + 1.28 = -62.72 -> -62.
    EXPECT_EQ(compute_mascot_position({0, 0, 64, 10}, 64, 10, anchors(1, 1, 1, 0, 1, 1)).x, -62);
    // A zero-wide target and a one-dot mascot at 50%: (0 - 1) + 1 x 0.5 = -0.5 -> 0, not -1.
    EXPECT_EQ(compute_mascot_position({0, 0, 0, 10}, 1, 10, anchors(50, 1, 1, 0, 1, 1)).x, 0);
}

namespace {

// The position as the product in doubles gives it, each step rounded to a double as SSE does
// (volatile keeps an x87 build from holding the steps in 80 bits), clamped to 32 bits.
int32_t percent_position_in_doubles(int32_t near_edge, int32_t far_edge, int32_t size, int32_t percent, bool from_near)
{
    const auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); };
    const int32_t travel = wrap(int64_t(far_edge) - near_edge + size);
    const int32_t base = from_near ? wrap(int64_t(near_edge) - size) : far_edge;
    volatile double product = static_cast<double>(static_cast<int64_t>(travel) * percent);
    volatile double shift = product * 0.01;
    volatile double value = from_near ? base + shift : base - shift;
    const double truncated = std::trunc(value);
    if (truncated >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (truncated <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(truncated);
}

}  // namespace

TEST(ComputeMascotPosition, PercentIsWhatTheProductInDoublesGivesOnEveryProcessor)
{
    // 75 % of 440 is 330 exactly; a 32-bit x87 build saw -409.99999... here and stood at -409.
    EXPECT_EQ(compute_mascot_position({-700, 200, -300, 500}, 40, 48, MascotSettings{}).x, -410);
    // From the right: 1000 - 630 is 370, where the x87 build saw 369.99999... and stood at 369.
    EXPECT_EQ(compute_mascot_position({200, 200, 1000, 500}, 40, 48, anchors(75, 1, 0, 0, 1, 1)).x, 370);

    int compared = 0;
    const auto compare = [&](int32_t near_edge, int32_t extent, int32_t size, int32_t percent, int32_t from_near) {
        const int32_t far_edge = static_cast<int32_t>(int64_t(near_edge) + extent);
        const Point32 at = compute_mascot_position({near_edge, 0, far_edge, 10}, size, 10,
                                                   anchors(percent, 1, from_near, 0, 1, 1));
        const int32_t expected = percent_position_in_doubles(near_edge, far_edge, size, percent, from_near == 1);
        ++compared;
        if (at.x == expected)
            return true;
        ADD_FAILURE() << "near " << near_edge << ", extent " << extent << ", size " << size << ", " << percent
                      << " % from the " << (from_near ? "left" : "right") << ": " << at.x << ", doubles give "
                      << expected;
        return false;
    };
    // Every percentage a user sets, on targets left and right of the origin, of every parity.
    for (int32_t near_edge = -2500; near_edge <= 2500; near_edge += 37)
        for (int32_t extent = 0; extent <= 1200; extent += 29)
            for (int32_t size : {1, 40, 108})
                for (int32_t percent = -20; percent <= 120; ++percent)
                    for (int32_t from_near : {0, 1})
                        if (!compare(near_edge, extent, size, percent, from_near))
                            return;
    // Values from a registry holding anything, up to where the position saturates.
    const int32_t edges[] = {-2147483647 - 1, -1000000000, -65536, 0, 65535, 2147483000};
    const int32_t percents[] = {-2147483647 - 1, -100000, 100000, 2147483647, 99999, -99999};
    for (int32_t near_edge : edges)
        for (int32_t extent : {0, 1, 977, 100000})
            for (int32_t percent : percents)
                for (int32_t from_near : {0, 1})
                    if (!compare(near_edge, extent, 64, percent, from_near))
                        return;
    EXPECT_GT(compared, 1000000);
}

TEST(ComputeMascotPosition, HugeValuesDoNotOverflow)
{
    // Stored values come from the registry and can be anything; the result saturates.
    const Point32 at = compute_mascot_position(kTarget, 64, 80, anchors(2147483647, 1, 1, 0, 1, 1));
    EXPECT_EQ(at.x, 2147483647);
}

namespace {

struct Probe {
    int maximized_calls = 0;
    int excluded_calls = 0;
    int taskbar_calls = 0;
    int cloaked_calls = 0;
    int full_screen_calls = 0;
    bool maximized = false;
    bool excluded = false;
    bool cloaked = false;
    bool full_screen = false;
    PlacementQueries queries()
    {
        return {[this] {
                    ++maximized_calls;
                    return maximized;
                },
                [this] {
                    ++excluded_calls;
                    return excluded;
                },
                [this] {
                    ++taskbar_calls;
                    return Rect32{0, 740, 1024, 768};
                },
                [this] {
                    ++cloaked_calls;
                    return cloaked;
                },
                [this] {
                    ++full_screen_calls;
                    return full_screen;
                }};
    }
};

PlacementInput input_on(const Rect32& target)
{
    PlacementInput in;
    in.target = target;
    in.width = 64;
    in.height = 80;
    in.screen_width = 1024;
    in.screen_height = 768;
    return in;
}

}  // namespace

TEST(DecidePlacement, FirstPlacementMovesAndAsksForTheOwnerOnce)
{
    Probe probe;
    const PlacementResult r = decide_placement(input_on(kTarget), probe.queries());
    EXPECT_EQ(r.action, PlacementAction::MoveAndShow);
    EXPECT_EQ(r.position.x, 384);
    EXPECT_EQ(r.position.y, 120);
    EXPECT_TRUE(r.has_placed);
    EXPECT_EQ(r.placed, kTarget);
    EXPECT_EQ(probe.excluded_calls, 1);
    EXPECT_EQ(probe.maximized_calls, 0) << "the show state is asked only under the maximized rule";
}

TEST(DecidePlacement, UnchangedTargetDoesNothingUnlessTheSheetIsOpen)
{
    Probe probe;
    PlacementInput in = input_on(kTarget);
    in.placed = kTarget;
    in.has_placed = true;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::Nothing);
    in.sheet_open = true;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::MoveAndShow);
    EXPECT_EQ(probe.excluded_calls, 0);
}

TEST(DecidePlacement, RefusalRulesAndActions)
{
    struct Row {
        const char* what;
        Rect32 target;
        bool maximized;
        RuleBlock global_rules;
        int32_t non_target_all;
        RuleBlock own_rules;
        int32_t flag;
        bool excluded;
        PlacementAction expected;
        int32_t expected_y;  // where a move puts it
    };
    const RuleBlock none{};
    const RuleBlock max_rule{1, 0, 0, 0, 0};
    const RuleBlock off_screen{0, 1, 0, 0, 0};
    const RuleBlock least_400x400{0, 0, 1, 400, 400};
    const Rect32 top_of_screen = {100, 0, 500, 400};
    const Row rows[] = {
        {"maximized, flag 1 hides", kTarget, true, max_rule, 1, none, 1, false, PlacementAction::Hide, 0},
        {"maximized, flag 2 goes to the taskbar", kTarget, true, max_rule, 1, none, 2, false,
         PlacementAction::MoveAndShow, 660},
        {"maximized, flag 3 stays", kTarget, true, max_rule, 1, none, 3, false, PlacementAction::Nothing, 0},
        {"maximized, flag 0 places as usual", kTarget, true, max_rule, 1, none, 0, false,
         PlacementAction::MoveAndShow, 120},
        {"own rules accept what the global ones refuse", kTarget, true, max_rule, 0, none, 1, false,
         PlacementAction::MoveAndShow, 120},
        {"NonTargetAll 1 ignores the mascot's own rule", kTarget, true, none, 1, max_rule, 1, false,
         PlacementAction::MoveAndShow, 120},
        {"not maximized is accepted", kTarget, false, max_rule, 1, none, 1, false, PlacementAction::MoveAndShow, 120},
        {"off the top of the screen refused", top_of_screen, false, off_screen, 1, none, 1, false,
         PlacementAction::Hide, 0},
        {"off the top placed partly off without the rule", top_of_screen, false, none, 1, none, 1, false,
         PlacementAction::MoveAndShow, -80},
        {"exactly the least size is accepted", {0, 0, 400, 400}, false, least_400x400, 1, none, 1, false,
         PlacementAction::MoveAndShow, -80},
        {"one dot narrower is refused", {0, 0, 399, 400}, false, least_400x400, 1, none, 1, false,
         PlacementAction::Hide, 0},
        {"one dot lower is refused", {0, 0, 400, 399}, false, least_400x400, 1, none, 1, false,
         PlacementAction::Hide, 0},
        {"an excluded program is refused", kTarget, false, none, 1, none, 1, true, PlacementAction::Hide, 0},
        {"an excluded program with flag 0 is placed", kTarget, false, none, 1, none, 0, true,
         PlacementAction::MoveAndShow, 120},
    };
    for (const auto& row : rows) {
        Probe probe;
        probe.excluded = row.excluded;
        probe.maximized = row.maximized;
        PlacementInput in = input_on(row.target);
        in.global_rules = row.global_rules;
        in.settings.NonTargetAll = row.non_target_all;
        in.settings.rules = row.own_rules;
        in.no_window_flag = row.flag;
        const PlacementResult r = decide_placement(in, probe.queries());
        EXPECT_EQ(r.action, row.expected) << row.what;
        if (r.action == PlacementAction::MoveAndShow) {
            EXPECT_EQ(r.position.y, row.expected_y) << row.what;
        }
        if (r.action == PlacementAction::Hide) {
            EXPECT_EQ(r.placed, row.target) << row.what;
        }
    }
}

TEST(DecidePlacement, RightEdgeAtTheScreenWidthIsOnTheScreen)
{
    Probe probe;
    PlacementInput in = input_on({0, 100, 1024, 400});
    in.global_rules.OutScreenMascot = 1;
    in.settings = anchors(0, 0, 0, 0, 0, 1);  // right edge on the target's right edge
    in.no_window_flag = 1;
    const PlacementResult r = decide_placement(in, probe.queries());
    EXPECT_EQ(r.position.x + 64, 1024);
    EXPECT_EQ(r.action, PlacementAction::MoveAndShow);
    in.target.right = 1025;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::Hide);
}

TEST(DecidePlacement, OffScreenRuleCountsEveryMonitor)
{
    Probe probe;
    PlacementInput in = input_on({1100, 200, 1500, 500});
    in.global_rules.OutScreenMascot = 1;
    in.no_window_flag = 1;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::Hide) << "the primary screen alone";
    const std::vector<Rect32> monitors = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
    in.monitors = &monitors;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::MoveAndShow) << "on the second monitor";
    in.target = {1100, 700, 1500, 760};  // the mascot would stand in the gap below the second monitor
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::Hide);
}

TEST(DecidePlacement, OnTheTaskbarNoFurtherMoveWhileNothingChanges)
{
    Probe probe;
    probe.maximized = true;
    PlacementInput in = input_on(kTarget);
    in.global_rules.MaximizeWindow = 1;
    in.no_window_flag = 2;
    const PlacementResult first = decide_placement(in, probe.queries());
    ASSERT_EQ(first.action, PlacementAction::MoveAndShow);
    EXPECT_EQ(first.target, (Rect32{0, 740, 1024, 768}));
    in.placed = first.placed;
    in.has_placed = first.has_placed;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::Nothing);
    EXPECT_EQ(probe.excluded_calls, 0);
}

TEST(DecidePlacement, ExclusionAskedAgainOnlyAfterTheTargetMoves)
{
    Probe probe;
    probe.excluded = true;
    PlacementInput in = input_on(kTarget);
    in.no_window_flag = 1;
    PlacementResult r = decide_placement(in, probe.queries());
    EXPECT_EQ(r.action, PlacementAction::Hide);
    in.placed = r.placed;
    in.has_placed = r.has_placed;
    r = decide_placement(in, probe.queries());
    EXPECT_EQ(r.action, PlacementAction::Nothing);
    EXPECT_EQ(probe.excluded_calls, 1);
    in.target.left += 10;
    probe.excluded = false;
    r = decide_placement(in, probe.queries());
    EXPECT_EQ(r.action, PlacementAction::MoveAndShow);
    EXPECT_EQ(probe.excluded_calls, 2);
}

TEST(DecidePlacement, CloakedTargetsAndFullScreenPrograms)
{
    struct Row {
        const char* what;
        bool cloaked;
        bool full_screen;
        RuleBlock global_rules;
        int32_t non_target_all;
        RuleBlock own_rules;
        int32_t flag;
        PlacementAction expected;
        int32_t expected_y;
    };
    const RuleBlock none{};
    const RuleBlock max_rule{1, 0, 0, 0, 0};
    const Row rows[] = {
        {"cloaked, flag 1 hides without any rule", true, false, none, 1, none, 1, PlacementAction::Hide, 0},
        {"cloaked, flag 2 goes to the taskbar", true, false, none, 1, none, 2, PlacementAction::MoveAndShow, 660},
        {"cloaked, flag 3 stays", true, false, none, 1, none, 3, PlacementAction::Nothing, 0},
        {"cloaked, flag 0 places as usual", true, false, none, 1, none, 0, PlacementAction::MoveAndShow, 120},
        {"full screen under the global rule hides", false, true, max_rule, 1, none, 1, PlacementAction::Hide, 0},
        {"full screen, flag 2 goes to the taskbar", false, true, max_rule, 1, none, 2, PlacementAction::MoveAndShow,
         660},
        {"full screen under the mascot's own rule hides", false, true, none, 0, max_rule, 1, PlacementAction::Hide,
         0},
        {"full screen without the rule is accepted", false, true, none, 1, none, 1, PlacementAction::MoveAndShow,
         120},
        {"full screen with the global rule off for this mascot", false, true, max_rule, 0, none, 1,
         PlacementAction::MoveAndShow, 120},
        {"full screen, own rule set but global ones apply", false, true, none, 1, max_rule, 1,
         PlacementAction::MoveAndShow, 120},
        {"no full-screen program under the rule", false, false, max_rule, 1, none, 1, PlacementAction::MoveAndShow,
         120},
    };
    for (const auto& row : rows) {
        Probe probe;
        probe.cloaked = row.cloaked;
        probe.full_screen = row.full_screen;
        PlacementInput in = input_on(kTarget);
        in.global_rules = row.global_rules;
        in.settings.NonTargetAll = row.non_target_all;
        in.settings.rules = row.own_rules;
        in.no_window_flag = row.flag;
        const PlacementResult r = decide_placement(in, probe.queries());
        EXPECT_EQ(r.action, row.expected) << row.what;
        EXPECT_EQ(r.target_cloaked, row.cloaked) << row.what;
        if (r.action == PlacementAction::MoveAndShow) {
            EXPECT_EQ(r.position.y, row.expected_y) << row.what;
        }
        EXPECT_EQ(probe.cloaked_calls, 1) << row.what;
    }
}

TEST(DecidePlacement, FullScreenStateAskedOnlyUnderTheRuleForATargetNotMaximized)
{
    struct Row {
        const char* what;
        int32_t rule;
        bool maximized;
        int expected_calls;
    };
    const Row rows[] = {
        {"rule off", 0, false, 0},
        {"maximized already decides", 1, true, 0},
        {"rule on, not maximized", 1, false, 1},
    };
    for (const auto& row : rows) {
        Probe probe;
        probe.maximized = row.maximized;
        PlacementInput in = input_on(kTarget);
        in.global_rules.MaximizeWindow = row.rule;
        decide_placement(in, probe.queries());
        EXPECT_EQ(probe.full_screen_calls, row.expected_calls) << row.what;
    }
}

TEST(DecidePlacement, ATargetUncloakedInPlaceShowsTheMascotAgain)
{
    // A switch of virtual desktop cloaks the target and later uncloaks it without moving it.
    struct Row {
        const char* what;
        int32_t flag;
        PlacementAction while_cloaked;
    };
    const Row rows[] = {
        {"hidden", 1, PlacementAction::Hide},
        {"on the taskbar", 2, PlacementAction::MoveAndShow},
        {"left where it was", 3, PlacementAction::Nothing},
    };
    for (const auto& row : rows) {
        Probe probe;
        PlacementInput in = input_on(kTarget);
        in.no_window_flag = row.flag;
        PlacementResult r = decide_placement(in, probe.queries());
        ASSERT_EQ(r.action, PlacementAction::MoveAndShow) << row.what;
        for (int tick = 0; tick < 3; ++tick) {
            in.placed = r.placed;
            in.has_placed = r.has_placed;
            in.target_was_cloaked = r.target_cloaked;
            probe.cloaked = tick < 2;
            r = decide_placement(in, probe.queries());
            if (tick == 0) {
                EXPECT_EQ(r.action, row.while_cloaked) << row.what;
            }
        }
        EXPECT_EQ(r.action, PlacementAction::MoveAndShow) << row.what << ": shown again once uncloaked";
        EXPECT_EQ(r.position.y, 120) << row.what;
        EXPECT_FALSE(r.target_cloaked) << row.what;
        EXPECT_EQ(probe.excluded_calls, 2) << row.what << ": the owner is asked again";
        in.placed = r.placed;
        in.target_was_cloaked = r.target_cloaked;
        EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::Nothing) << row.what;
    }
}

TEST(ComputeMascotPosition, DotOffsetsGrowWithTheScaleAndPercentagesStay)
{
    // A 64 × 80 picture drawn at scale n is a 64n × 80n window on target (100, 200, 500, 600).
    struct Row {
        const char* what;
        int32_t scale;
        MascotSettings settings;
        Point32 expected;
    };
    const Row rows[] = {
        {"defaults at 1", 1, MascotSettings{}, {384, 120}},
        {"defaults at 2: 75 percent of a travel of 528", 2, MascotSettings{}, {-28 + 396, 40}},
        {"defaults at 3: (100 - 192) + 592 x 0.75", 3, MascotSettings{}, {352, -40}},
        {"10 dots from the right at 1", 1, anchors(10, 0, 0, 0, 1, 1), {426, 120}},
        {"10 dots from the right at 2 are 20 pixels", 2, anchors(10, 0, 0, 0, 1, 1), {500 - 20 - 128, 40}},
        {"10 dots from the right at 3 are 30 pixels", 3, anchors(10, 0, 0, 0, 1, 1), {500 - 30 - 192, -40}},
        {"7 dots left of the left edge at 2", 2, anchors(-7, 0, 1, 0, 1, 1), {86, 40}},
        {"5 dots from the bottom at 2", 2, anchors(75, 1, 1, 5, 0, 0), {368, 600 - 10 - 160}},
        {"3 dots from the top at 3", 3, anchors(75, 1, 1, 3, 0, 1), {352, 209}},
        {"0 percent from the right at 2 stays on the right edge", 2, anchors(0, 1, 0, 0, 1, 1), {500, 40}},
        {"100 percent from the left at 3 stays on the right edge", 3, anchors(100, 1, 1, 0, 1, 1), {500, -40}},
        {"scale 0 counts as 1", 0, anchors(10, 0, 0, 0, 1, 1), {426, 120}},
    };
    for (const auto& row : rows) {
        const int32_t n = row.scale < 1 ? 1 : row.scale;
        const Point32 at = compute_mascot_position(kTarget, 64 * n, 80 * n, row.settings, row.scale);
        EXPECT_EQ(at.x, row.expected.x) << row.what;
        EXPECT_EQ(at.y, row.expected.y) << row.what;
    }
}

TEST(DecidePlacement, LeastSizeCountsInPixelsOfTheTargetsMonitor)
{
    // The least size 300 × 200 was set at 96 dpi; on a monitor of d dpi it is 300d/96 × 200d/96.
    const struct {
        const char* what;
        int32_t dpi;
        int32_t width, height;
        bool refused;
    } rows[] = {
        {"96: exactly 300 wide is accepted", 96, 300, 200, false},
        {"96: 299 wide is refused", 96, 299, 200, true},
        {"144: 300 wide is now too narrow", 144, 300, 300, true},
        {"144: 449 wide is refused", 144, 449, 300, true},
        {"144: 450 x 300 is accepted", 144, 450, 300, false},
        {"144: 299 high is refused", 144, 450, 299, true},
        {"192: 599 wide is refused", 192, 599, 400, true},
        {"192: 600 x 400 is accepted", 192, 600, 400, false},
        {"120: 375 x 250 is accepted", 120, 375, 250, false},
        {"120: 374 wide is refused", 120, 374, 250, true},
        {"72: 225 x 150 is accepted", 72, 225, 150, false},
        {"72: 224 wide is refused", 72, 224, 150, true},
        {"no dpi read counts as 96", 0, 300, 200, false},
        {"a negative dpi counts as 96", -144, 299, 200, true},
    };
    for (const auto& row : rows) {
        Probe probe;
        PlacementInput in = input_on({100, 300, 100 + row.width, 300 + row.height});
        in.global_rules = RuleBlock{0, 0, 1, 300, 200};
        in.no_window_flag = 1;
        in.dpi = row.dpi;
        const PlacementAction expected = row.refused ? PlacementAction::Hide : PlacementAction::MoveAndShow;
        EXPECT_EQ(decide_placement(in, probe.queries()).action, expected) << row.what;
    }
}

TEST(DecidePlacement, ScaledMascotIsPlacedAndTestedAtItsScreenSize)
{
    // At scale 2 the 128 × 160 window leaves the screen where the 64 × 80 one would not.
    Probe probe;
    PlacementInput in = input_on({100, 120, 500, 400});
    in.global_rules.OutScreenMascot = 1;
    in.no_window_flag = 1;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::MoveAndShow);
    in.width = 128;
    in.height = 160;
    in.dot_scale = 2;
    EXPECT_EQ(decide_placement(in, probe.queries()).action, PlacementAction::Hide);
    in.target.top = in.target.bottom;
    in.settings = anchors(10, 0, 1, 0, 1, 0);  // 10 dots from the left, just below the target
    const PlacementResult r = decide_placement(in, probe.queries());
    EXPECT_EQ(r.action, PlacementAction::MoveAndShow);
    EXPECT_EQ(r.position.x, 120);
    EXPECT_EQ(r.position.y, 400);
}

TEST(DecidePlacement, ALayoutChangePlacesAgainOnTheSameTarget)
{
    const Rect32 primary = {0, 0, 1024, 768};
    const Rect32 right = {1024, 0, 1824, 600};
    const Rect32 on_right = {1100, 200, 1600, 500};  // the mascot stands at 1459,120: on the right monitor only
    struct Row {
        const char* what;
        Rect32 target;
        std::vector<Rect32> monitors;
        bool layout_changed;
        bool excluded;
        bool maximized;
        int32_t flag;
        PlacementAction expected;
        int excluded_calls;
    };
    const Row rows[] = {
        {"hidden off the only monitor, a second one docked", on_right, {primary, right}, true, false, false, 1,
         PlacementAction::MoveAndShow, 1},
        {"the same without news of the layout waits for the target to move", on_right, {primary, right}, false, false,
         false, 1, PlacementAction::Nothing, 0},
        {"shown, its monitor removed", on_right, {primary}, true, false, false, 1, PlacementAction::Hide, 0},
        {"shown and still on a monitor: put back where Windows may have moved it", kTarget, {primary}, true, false,
         false, 1, PlacementAction::MoveAndShow, 1},
        {"hidden from an excluded program stays hidden", kTarget, {primary}, true, true, false, 1,
         PlacementAction::Hide, 1},
        {"on the taskbar, stands on it again", kTarget, {primary}, true, false, true, 2, PlacementAction::MoveAndShow,
         0},
    };
    for (const auto& row : rows) {
        Probe probe;
        probe.excluded = row.excluded;
        probe.maximized = row.maximized;
        PlacementInput in = input_on(row.target);
        in.global_rules.OutScreenMascot = 1;
        in.global_rules.MaximizeWindow = 1;
        in.no_window_flag = row.flag;
        in.monitors = &row.monitors;
        in.placed = row.flag == 2 ? Rect32{0, 740, 1024, 768} : row.target;
        in.has_placed = true;
        in.layout_changed = row.layout_changed;
        const PlacementResult r = decide_placement(in, probe.queries());
        EXPECT_EQ(r.action, row.expected) << row.what;
        EXPECT_TRUE(r.has_placed) << row.what;
        EXPECT_EQ(probe.excluded_calls, row.excluded_calls) << row.what;
        // The next tick, with no further news, shows or moves nothing: the news counts once.
        in.placed = r.placed;
        in.has_placed = r.has_placed;
        in.layout_changed = false;
        EXPECT_NE(decide_placement(in, probe.queries()).action, PlacementAction::MoveAndShow) << row.what;
    }
}

TEST(DecidePlacement, AMinimisedTargetIsRefusedFarOffEveryMonitor)
{
    // Windows reports a minimised window at (-32000, -32000).
    const Rect32 minimised = {-32000, -32000, -31840, -31972};
    const struct {
        const char* what;
        int32_t flag;
        PlacementAction expected;
        Point32 at;
    } rows[] = {
        {"flag 1 hides", 1, PlacementAction::Hide, {}},
        {"flag 2 stands on the taskbar", 2, PlacementAction::MoveAndShow, {752, 660}},
        {"flag 3 stays", 3, PlacementAction::Nothing, {}},
        {"flag 0 places as if accepted", 0, PlacementAction::MoveAndShow, {-31896, -32080}},
    };
    for (const auto& row : rows) {
        Probe probe;
        PlacementInput in = input_on(minimised);
        in.target_iconic = true;
        in.no_window_flag = row.flag;
        const PlacementResult r = decide_placement(in, probe.queries());
        EXPECT_EQ(r.action, row.expected) << row.what;
        if (r.action == PlacementAction::MoveAndShow) {
            EXPECT_EQ(r.position.x, row.at.x) << row.what;
            EXPECT_EQ(r.position.y, row.at.y) << row.what;
        }
        EXPECT_EQ(probe.excluded_calls, 0) << row.what << ": refused before the owner is asked";
    }
}

TEST(PlaceAtMonitorScale, TheMonitorTheMascotStandsOnSetsItsScale)
{
    // A 96 dpi monitor and a 192 dpi one on its right; the taskbar is on the 96 one alone.
    const std::vector<Rect32> monitors = {{0, 0, 1024, 768}, {1024, 0, 2944, 1080}};
    const int32_t monitor_dpis[] = {96, 192};
    const auto monitor_dpi = [&](const Rect32& rect) { return monitor_dpis[monitor_of(rect, monitors)]; };
    const MascotSettings from_the_right = anchors(0, 0, 0, 0, 1, 1);  // right edges together, on the top edge
    struct Row {
        const char* what;
        Rect32 target;
        int32_t target_dpi;
        MascotScale now;
        MascotSettings settings;
        int32_t flag;
        bool maximized, excluded, iconic;
        PlacementAction action;
        Point32 at;
        MascotScale expected;
    };
    const Row rows[] = {
        {"on its target's monitor of 192", {1200, 300, 1900, 800}, 192, {96, 1}, {}, 1, false, false, false,
         PlacementAction::MoveAndShow, {1693, 140}, {192, 2}},
        {"on its target's monitor of 96, as it was", kTarget, 96, {96, 1}, {}, 1, false, false, false,
         PlacementAction::MoveAndShow, {384, 120}, {96, 1}},
        {"target maximised at 192, the mascot on the only taskbar at 96", {1024, 0, 2944, 1040}, 192, {192, 2}, {},
         2, true, false, false, PlacementAction::MoveAndShow, {752, 660}, {96, 1}},
        // The target lies mostly on the 96 monitor; 300 wide passes the least size there, as it
        // would not at 192.
        {"target across both, the mascot on the 192 part", {800, 300, 1100, 600}, 96, {96, 1}, {}, 1, false, false,
         false, PlacementAction::MoveAndShow, {993, 140}, {192, 2}},
        {"on the seam, at 1 mostly right and at 2 mostly left: keeps 1", {600, 300, 1080, 600}, 96, {96, 1},
         from_the_right, 1, false, false, false, PlacementAction::MoveAndShow, {1016, 220}, {96, 1}},
        {"the same seam from 2: keeps 2", {600, 300, 1080, 600}, 96, {192, 2}, from_the_right, 1, false, false,
         false, PlacementAction::MoveAndShow, {952, 140}, {192, 2}},
        {"hidden from an excluded program keeps its scale", kTarget, 96, {192, 2}, {}, 1, false, true, false,
         PlacementAction::Hide, {}, {192, 2}},
        {"minimised target placed anyway, on no monitor: keeps its scale", {-32000, -32000, -31840, -31972}, 96,
         {192, 2}, {}, 0, false, false, true, PlacementAction::MoveAndShow, {-31912, -32160}, {192, 2}},
    };
    for (const Row& row : rows) {
        Probe probe;
        probe.maximized = row.maximized;
        probe.excluded = row.excluded;
        PlacementInput in = input_on(row.target);
        in.monitors = &monitors;
        in.settings = row.settings;
        in.global_rules = RuleBlock{1, 0, 1, 300, 200};
        in.dpi = row.target_dpi;
        in.no_window_flag = row.flag;
        in.target_iconic = row.iconic;
        const ScaledPlacement placed = place_at_monitor_scale(in, 64, 80, row.now, probe.queries(), monitor_dpi);
        EXPECT_EQ(placed.result.action, row.action) << row.what;
        if (row.action == PlacementAction::MoveAndShow) {
            EXPECT_EQ(placed.result.position.x, row.at.x) << row.what;
            EXPECT_EQ(placed.result.position.y, row.at.y) << row.what;
        }
        EXPECT_EQ(placed.scale.dpi, row.expected.dpi) << row.what;
        EXPECT_EQ(placed.scale.scale, row.expected.scale) << row.what;
        EXPECT_LE(probe.excluded_calls, 1) << row.what << ": asked once though placed at two scales";
        EXPECT_LE(probe.maximized_calls, 1) << row.what;
        EXPECT_LE(probe.taskbar_calls, 1) << row.what;
        EXPECT_LE(probe.cloaked_calls, 1) << row.what;
    }
}
