#include <gtest/gtest.h>

#include "display/target_states.h"

TEST(TargetIsCloaked, ReasonsAndFailedReads)
{
    struct Row {
        const char* what;
        bool read;
        uint32_t reasons;
        bool expected;
    };
    const Row rows[] = {
        {"shown", true, 0, false},
        {"cloaked by its app", true, 1, true},
        {"cloaked by the shell (another virtual desktop)", true, 2, true},
        {"cloaked as its owner is", true, 4, true},
        {"several reasons", true, 3, true},
        {"failed read is not cloaked", false, 0, false},
        {"failed read ignores what the buffer holds", false, 2, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(target_is_cloaked(row.read, row.reasons), row.expected) << row.what;
}

TEST(NotificationStateIsFullScreen, EveryStateAndFailedCalls)
{
    struct Row {
        bool read;
        int32_t state;
        bool expected;
    };
    const Row rows[] = {
        {true, 1, false},  // no user present (screen saver, locked)
        {true, 2, false},  // busy: also reported for plain borderless windows
        {true, 3, true},   // Direct3D full screen
        {true, 4, true},   // presentation mode
        {true, 5, false},  // accepts notifications, what Wine always answers
        {true, 6, false},  // quiet time
        {true, 7, false},  // a full-screen app
        {true, 0, false},  {true, 8, false}, {true, -3, false},
        {false, 3, false}, {false, 4, false}, {false, 5, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(notification_state_is_full_screen(row.read, row.state), row.expected)
            << "read " << row.read << " state " << row.state;
}

TEST(KeptAnswer, AskedOncePerControllerTickAndOncePerTargetWindow)
{
    // Three mascots tick between two controller ticks, and again after the next.
    int dpi_asks = 0;
    KeptAnswer<uint32_t, int32_t> dpi;
    const uint32_t controller_ticks[] = {7, 7, 7, 8, 8, 8, 8};
    for (uint32_t tick : controller_ticks)
        EXPECT_EQ(dpi.get(tick, [&] { return 96 + 48 * dpi_asks++; }), tick == 7 ? 96 : 144);
    EXPECT_EQ(dpi_asks, 2);
    dpi.forget();  // the system announced a new scaling within the tick
    EXPECT_EQ(dpi.get(8u, [&] { return 96 + 48 * dpi_asks++; }), 192);

    // A refused target keeps its window while the mascot stands on the taskbar: its program is
    // looked up when the target window changes, not on every tick.
    const struct {
        uintptr_t window;
        bool excluded;
        int asks_so_far;
    } ticks[] = {{0x10, true, 1}, {0x10, true, 1}, {0x10, true, 1}, {0x20, false, 2}, {0x10, true, 3}, {0x10, true, 3}};
    KeptAnswer<uintptr_t, bool> exclusion;
    int lookups = 0;
    for (const auto& row : ticks) {
        EXPECT_EQ(exclusion.get(row.window, [&] { ++lookups; return row.window == 0x10; }), row.excluded);
        EXPECT_EQ(lookups, row.asks_so_far) << row.window;
    }
}
