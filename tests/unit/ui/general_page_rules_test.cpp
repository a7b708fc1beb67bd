#include <gtest/gtest.h>

#include "ui/general_page_rules.h"

namespace {

TEST(GeneralPage, EnablingGroupsFollowTheRules)
{
    struct Row {
        int32_t maximize, off_screen, small;
        bool sizes, no_attach;
    };
    const Row rows[] = {
        {0, 0, 0, false, false}, {1, 0, 0, false, true}, {0, 1, 0, false, true}, {0, 0, 1, true, true},
        {1, 1, 0, false, true},  {1, 1, 1, true, true},
        // Only a value the check box shows as checked counts.
        {2, 0, 0, false, false}, {0, 0, -1, false, false},
    };
    for (const Row& row : rows) {
        RuleBlock rules;
        rules.MaximizeWindow = row.maximize;
        rules.OutScreenMascot = row.off_screen;
        rules.MinimizeWindow = row.small;
        rules.sizeMinimizeX = 500;
        const GeneralGroups groups = general_groups(rules);
        EXPECT_EQ(groups.sizes, row.sizes) << row.maximize << row.off_screen << row.small;
        EXPECT_EQ(groups.no_attach, row.no_attach) << row.maximize << row.off_screen << row.small;
    }
}

TEST(GeneralPage, NoWindowFlagAndItsRadioButtons)
{
    struct Row {
        int32_t flag;
        int radio;
    };
    const Row shown[] = {{0, 0}, {1, 1043}, {2, 1044}, {3, 1045}, {4, 0}, {-1, 0}, {1042, 0}};
    for (const Row& row : shown)
        EXPECT_EQ(radio_for_no_window_flag(row.flag), row.radio) << row.flag;
    const Row clicked[] = {{1, 1043}, {2, 1044}, {3, 1045}, {0, 1042}, {0, 1046}, {0, 1028}};
    for (const Row& row : clicked)
        EXPECT_EQ(no_window_flag_for_radio(row.radio), row.flag) << row.radio;
}

TEST(GeneralPage, HelpContexts)
{
    struct Row {
        int control;
        uint32_t context;
    };
    const Row rows[] = {{1028, 18}, {1029, 18}, {1030, 18}, {1036, 18}, {1038, 18}, {1039, 18}, {1040, 18},
                        {1041, 18}, {1069, 18}, {1043, 19}, {1044, 19}, {1045, 19}, {1051, 19}, {1042, 20},
                        {1047, 21}, {1048, 21}, {1049, 21}, {1064, 21}, {1066, 21}, {1037, 0},  {1052, 0},
                        {1000, 0},  {-1, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(general_help_context_for(row.control), row.context) << row.control;
}

TEST(GeneralPage, PressOnThePickerCountsItsEdges)
{
    const Rect32 icon = {100, 200, 132, 232};
    struct Row {
        int32_t x, y;
        bool on;
    };
    const Row rows[] = {{116, 216, true},  {100, 200, true},  {132, 232, true},  {132, 200, true},
                        {99, 216, false},  {133, 216, false}, {116, 199, false}, {116, 233, false}};
    for (const Row& row : rows)
        EXPECT_EQ(is_on_picker(icon, row.x, row.y), row.on) << row.x << "," << row.y;
}

}  // namespace
