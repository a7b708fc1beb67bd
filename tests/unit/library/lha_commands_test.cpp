#include <gtest/gtest.h>

#include "library/lha_commands.h"

TEST(LhaCommands, ExactCommandLines)
{
    EXPECT_EQ(extract_all_command("C:\\V\\Mascots\\Cats\\tama.lzh", "C:\\T\\Velmo\\Cats\\tama\\"),
              "E \"C:\\V\\Mascots\\Cats\\tama.lzh\" \"C:\\T\\Velmo\\Cats\\tama\\\" *.* -a1 -c1 -m1 -n1 -s1 -y1");
    EXPECT_EQ(extract_name_and_icons_command("a.lzh", "C:\\T\\Velmo\\"),
              "E \"a.lzh\" \"C:\\T\\Velmo\\\" VLD.INI *.ico -a1 -c1 -m1 -n1 -s1 -y1");
}
