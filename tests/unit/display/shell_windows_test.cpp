#include <gtest/gtest.h>

#include "display/shell_windows.h"

TEST(ShellWindows, DesktopAndTaskbarClassesAndNothingElse)
{
    const struct {
        std::string_view class_name;
        bool shell;
    } rows[] = {
        {"#32769", true},
        {"Progman", true},
        {"WorkerW", true},
        {"Shell_TrayWnd", true},
        {"Shell_SecondaryTrayWnd", true},
        {"workerw", true},  // Windows compares class names without case
        {"SHELL_SECONDARYTRAYWND", true},
        // Near names are other programs' windows.
        {"WorkerWindow", false},
        {"Worker", false},
        {"Shell_TrayWnd2", false},
        {"Shell_Secondary", false},
        {"#32770", false},
        {"Notepad", false},
        {"", false},
        {std::string_view("Progman\0x", 9), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(is_desktop_or_shell_class(row.class_name), row.shell) << row.class_name;
}
