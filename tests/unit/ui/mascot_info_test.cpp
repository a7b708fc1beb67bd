#include "ui/mascot_info.h"

#include <gtest/gtest.h>

namespace {

TEST(MascotInfo, FolderCutsTheExtensionOfTheWholePath)
{
    const struct {
        const char *temp, *source, *expected;
    } rows[] = {
        {"C:\\TEMP\\", "Cats\\Tama.lzh", "C:\\TEMP\\Velmo\\Cats\\Tama\\"},
        {"C:\\TEMP\\", "a.lzh", "C:\\TEMP\\Velmo\\a\\"},
        {"C:\\TEMP\\", "still.bmp", "C:\\TEMP\\Velmo\\still\\"},
        // Four characters go whatever they are: a longer extension leaves part of itself.
        {"C:\\TEMP\\", "b.lzhx", "C:\\TEMP\\Velmo\\b.\\"},
        {"C:\\TEMP\\", "", "C:\\TEMP\\Ve\\"},
        {"", "", "Ve\\"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(InfoMascotFolder(row.temp, row.source), row.expected) << row.source;
}

TEST(MascotInfo, FolderOfAnOverlongPathStaysWithinAPathBuffer)
{
    const std::string folder = InfoMascotFolder("C:\\TEMP\\", std::string(400, 'x') + ".lzh");
    EXPECT_EQ(folder.size(), 260u - 4u + 1u);
    EXPECT_EQ(folder.back(), '\\');
}

TEST(MascotInfo, CommentStopsAtTheFirstNul)
{
    const struct {
        std::string data;
        std::string expected;
    } rows[] = {
        {"hello\r\nworld", "hello\r\nworld"},
        {std::string("before\0after", 12), "before"},
        {std::string("\0rest", 5), ""},
        {std::string("a\0b\0c", 5), "a"},
        {"", ""},
        {"\x82\xa0\x82\xa2", "\x82\xa0\x82\xa2"},  // Japanese text passes untouched
    };
    for (const auto& row : rows)
        EXPECT_EQ(CommentText(row.data.data(), row.data.size()), row.expected);
    EXPECT_EQ(CommentText(nullptr, 0), "");
}

TEST(MascotInfo, OnlyLowerCaseHttpAddressesAreLinks)
{
    const struct {
        const char* value;
        bool link;
    } rows[] = {
        {"http://example.com/", true},
        {"http://", true},
        {"HTTP://example.com/", false},
        {"Http://example.com/", false},
        {"https://example.com/", false},
        {"ftp://example.com/", false},
        {" http://example.com/", false},
        {"http:/example.com/", false},
        {"http:", false},
        {"NoData", false},
        {"", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(IsWebLink(row.value), row.link) << row.value;
}

TEST(MascotInfo, WebPageIsCutTo254Bytes)
{
    const std::string long_address = "http://example.com/" + std::string(281, 'a');
    ASSERT_EQ(long_address.size(), 300u);
    EXPECT_EQ(CutWebPage(long_address), long_address.substr(0, 254));
    EXPECT_EQ(CutWebPage(std::string(254, 'b')), std::string(254, 'b'));
    EXPECT_EQ(CutWebPage("http://a/"), "http://a/");
}

}  // namespace
