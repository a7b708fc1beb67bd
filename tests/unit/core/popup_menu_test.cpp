#include "core/popup_menu.h"

#include <gtest/gtest.h>

namespace {

TEST(PopupMenu, StatesBySheetAndSubject)
{
    const struct {
        bool sheet_open, has_subject;
        bool settings, about_mascot, version, exit;
    } rows[] = {
        // The tray opens the menu with no subject.
        {false, false, true, false, true, true},
        // A mascot's menu with no sheet open: everything.
        {false, true, true, true, true, true},
        // A mascot (the sheet's preview) while the sheet is open.
        {true, true, false, true, false, false},
        {true, false, false, false, false, false},
    };
    for (const auto& row : rows) {
        const PopupMenuStates states = PopupMenuStatesFor(row.sheet_open, row.has_subject);
        EXPECT_EQ(states.settings, row.settings);
        EXPECT_EQ(states.about_mascot, row.about_mascot);
        EXPECT_EQ(states.version, row.version);
        EXPECT_EQ(states.exit, row.exit) << row.sheet_open << row.has_subject;
    }
}

}  // namespace
