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
