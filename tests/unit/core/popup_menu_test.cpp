#include "core/popup_menu.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(PopupMenu, StatesBySheetAndSubject)
{
    const struct {
        SheetState sheet;
        bool has_subject;
        bool settings, about_mascot, version, exit;
    } rows[] = {
        // The tray opens the menu with no subject.
        {SheetState::Closed, false, true, false, true, true},
        // A mascot's menu with no sheet open: everything.
        {SheetState::Closed, true, true, true, true, true},
        // A mascot (the sheet's preview) while the sheet is open.
        {SheetState::Open, true, false, true, false, false},
        {SheetState::Open, false, false, false, false, false},
        // A sheet that has begun to close still exists: no second sheet, no exit under it.
        {SheetState::Closing, true, false, true, false, false},
        {SheetState::Closing, false, false, false, false, false},
    };
    for (const auto& row : rows) {
        const PopupMenuStates states = PopupMenuStatesFor(row.sheet, row.has_subject);
        EXPECT_EQ(states.settings, row.settings);
        EXPECT_EQ(states.about_mascot, row.about_mascot);
        EXPECT_EQ(states.version, row.version);
        EXPECT_EQ(states.exit, row.exit) << static_cast<int>(row.sheet) << row.has_subject;
    }
}

}  // namespace

TEST(PopupMenu, TrayIconIsOfferedAgainForAFewMinutes)
{
    const std::pair<int, unsigned> rows[] = {{0, 0},     {1, 1000},  {10, 1000}, {11, 5000},
                                             {58, 5000}, {59, 0},    {-1, 0}};
    for (const auto& [refusals, delay] : rows)
        EXPECT_EQ(tray_retry_delay(refusals), delay) << refusals;
    unsigned total = 0;
    for (int refusals = 1; tray_retry_delay(refusals) != 0; ++refusals)
        total += tray_retry_delay(refusals);
    EXPECT_EQ(total, 250000u) << "over four minutes in all, then no more";
}
