#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/frame_clock.h"

namespace {

// Runs a clock for a number of ticks and writes down the frame shown after each tick.
std::string run_ticks(const std::vector<int32_t>& times, int ticks, std::vector<int> draws = {})
{
    AnimationClock clock;
    clock.stay = times.empty() ? 0 : times[0];  // the first frame keeps its time as stored
    size_t next_draw = 0;
    const RandomDraw draw = [&] { return draws.at(next_draw++); };
    const FrameTimeOf time_of = [&](size_t n) { return times.at(n); };
    std::string shown;
    for (int i = 0; i < ticks; ++i) {
        advance_animation(clock, times.size(), time_of, draw);
        shown += static_cast<char>('A' + clock.current_frame);
    }
    EXPECT_EQ(next_draw, draws.size()) << "every planned draw used";
    return shown;
}

TEST(FrameClock, FramesChangeWhenTheirStayRunsOut)
{
    struct Case {
        const char* name;
        std::vector<int32_t> times;
        int ticks;
        std::vector<int> draws;
        std::string shown;
    };
    const Case cases[] = {
        {"no frames", {}, 3, {}, "AAA"},
        {"one frame never changes", {1}, 4, {}, "AAAA"},
        {"one frame with random time draws nothing", {-5}, 4, {}, "AAAA"},
        {"time 0 changes every tick", {0, 0, 0}, 5, {}, "BCABC"},
        {"time 1 changes every tick", {1, 1}, 4, {}, "BABA"},
        {"time 3 stays three ticks", {3, 1}, 8, {}, "AABAAABA"},
        {"time -1 always draws stay 0", {1, -1}, 4, {7, 9}, "BABA"},
        // -5: the draws 12 and 5 give stays 2 and 0.
        {"time -5 draws each appearance", {1, -5}, 5, {12, 5}, "BBABA"},
        // The first appearance keeps -3 as stored, so one tick; the next one draws.
        {"first stay negative shows one tick", {-3, 2}, 3, {32767}, "BBA"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run_ticks(c.times, c.ticks, c.draws), c.shown) << c.name;
}

TEST(FrameClock, RandomStayIsDrawModuloRange)
{
    struct Case {
        int32_t time;
        int draw;
        int32_t stay;
    };
    const Case cases[] = {
        {10, 999, 10},
        {0, 999, 0},
        {-1, 32767, 0},
        {-5, 12, 2},
        {-5, 32767, 2},
        {-40000, 32767, 32767},
        {INT32_MIN, 32767, 32767},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stay_for_time(c.time, [&] { return c.draw; }), c.stay) << c.time;
}

}  // namespace
