#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "display/definition.h"
#include "tests/support/anchors.h"

namespace {

// A profile file held in memory: "section/key" -> value, names matched without case, as
// the platform's profile reader does.
class MemoryProfile : public ProfileReader {
public:
    MemoryProfile(std::initializer_list<std::pair<const std::string, std::string>> values)
    {
        for (const auto& [name, value] : values)
            values_[lower(name)] = value;
    }
    std::string read_text(const char* section, const char* key, const char* fallback) override
    {
        const auto found = values_.find(lower(std::string(section) + "/" + key));
        return found == values_.end() ? fallback : found->second;
    }
    int32_t read_int(const char* section, const char* key, int32_t fallback) override
    {
        const auto found = values_.find(lower(std::string(section) + "/" + key));
        return found == values_.end() ? fallback : static_cast<int32_t>(std::strtol(found->second.c_str(), nullptr, 10));
    }

private:
    static std::string lower(std::string text)
    {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    }
    std::map<std::string, std::string> values_;
};

struct FrameListCase {
    const char* name;
    MemoryProfile profile;
    std::vector<std::string> loaded;  // frames handed to the loader, "path:time"
    size_t count;
};

TEST(Definition, FrameListIsTheUnbrokenRunFromOne)
{
    // The loader refuses any file whose name starts with "bad", as for a file without "BM".
    FrameListCase cases[] = {
        {"File1, File2 and File4",
         {{"List/File1", "a.bmp"}, {"List/Time1", "5"}, {"List/File2", "b.bmp"}, {"List/Time2", "-3"},
          {"List/File4", "d.bmp"}, {"List/Time4", "1"}},
         {"F\\a.bmp:5", "F\\b.bmp:-3"}, 2},
        {"Time2 missing", {{"List/File1", "a.bmp"}, {"List/Time1", "5"}, {"List/File2", "b.bmp"}}, {"F\\a.bmp:5"}, 1},
        {"File1 NoData", {{"List/File1", "NoData"}, {"List/Time1", "5"}}, {}, 0},
        {"File1 empty", {{"List/File1", ""}, {"List/Time1", "5"}}, {}, 0},
        {"Time1 9999", {{"List/File1", "a.bmp"}, {"List/Time1", "9999"}}, {}, 0},
        {"keys without case", {{"list/file1", "a.bmp"}, {"LIST/TIME1", "0"}}, {"F\\a.bmp:0"}, 1},
        {"third frame not a bitmap",
         {{"List/File1", "a.bmp"}, {"List/Time1", "1"}, {"List/File2", "b.bmp"}, {"List/Time2", "1"},
          {"List/File3", "bad.bmp"}, {"List/Time3", "1"}, {"List/File4", "d.bmp"}, {"List/Time4", "1"}},
         {"F\\a.bmp:1", "F\\b.bmp:1", "F\\bad.bmp:1"}, 2},
        {"no file at all", {}, {}, 0},
    };
    for (FrameListCase& c : cases) {
        std::vector<std::string> loaded;
        const size_t count = read_frame_list(c.profile, "F\\", [&](const std::string& path, int32_t time) {
            loaded.push_back(path + ":" + std::to_string(time));
            return path.find("bad") == std::string::npos;
        });
        EXPECT_EQ(loaded, c.loaded) << c.name;
        EXPECT_EQ(count, c.count) << c.name;
    }
}

struct AnchorCase {
    const char* name;
    MemoryProfile profile;
    MascotSettings expected;
};

TEST(Definition, FirstPresentAnchorKeyDecides)
{
    // Every case starts from a mascot the user had moved: 40 dots from the right, 7 dots
    // from the bottom, so that "unchanged" and "back to the default" can be told apart.
    const MascotSettings moved = anchors(40, 0, 0, 7, 0, 0);
    AnchorCase cases[] = {
        {"no keys: X back to 75 percent, Y untouched", {}, anchors(75, 1, 1, 7, 0, 0)},
        {"PosX 30 and LeftX 10", {{"Pos/PosX", "30"}, {"Pos/LeftX", "10"}}, anchors(30, 1, 1, 7, 0, 0)},
        {"only LeftX", {{"Pos/LeftX", "10"}}, anchors(10, 0, 1, 7, 0, 0)},
        {"only RightX 12", {{"Pos/RightX", "12"}}, anchors(12, 0, 0, 7, 0, 0)},
        {"PosX 9999 counts as missing", {{"Pos/PosX", "9999"}}, anchors(75, 1, 1, 7, 0, 0)},
        {"PosX 9999 then RightX", {{"Pos/PosX", "9999"}, {"Pos/RightX", "3"}}, anchors(3, 0, 0, 7, 0, 0)},
        {"negative LeftX kept", {{"Pos/LeftX", "-20"}}, anchors(-20, 0, 1, 7, 0, 0)},
        {"negative PosX kept", {{"Pos/PosX", "-5"}}, anchors(-5, 1, 1, 7, 0, 0)},
        {"PosY", {{"Pos/PosY", "50"}, {"Pos/UnderY", "4"}}, anchors(75, 1, 1, 50, 1, 1)},
        {"TopY", {{"Pos/TopY", "6"}, {"Pos/UnderY", "4"}}, anchors(75, 1, 1, 6, 0, 1)},
        {"UnderY", {{"Pos/UnderY", "4"}}, anchors(75, 1, 1, 4, 0, 0)},
        {"PosY 9999 only", {{"Pos/PosY", "9999"}}, anchors(75, 1, 1, 7, 0, 0)},
        {"keys of another section ignored", {{"List/PosX", "10"}, {"List/PosY", "10"}}, anchors(75, 1, 1, 7, 0, 0)},
    };
    for (AnchorCase& c : cases) {
        MascotSettings settings = moved;
        settings.NonTargetAll = 0;
        apply_anchor_keys(c.profile, settings);
        EXPECT_EQ(settings.PositionX, c.expected.PositionX) << c.name;
        EXPECT_EQ(settings.WidthPerDot, c.expected.WidthPerDot) << c.name;
        EXPECT_EQ(settings.WidthLeftRight, c.expected.WidthLeftRight) << c.name;
        EXPECT_EQ(settings.PositionY, c.expected.PositionY) << c.name;
        EXPECT_EQ(settings.HeightPerDot, c.expected.HeightPerDot) << c.name;
        EXPECT_EQ(settings.HeightTopBottom, c.expected.HeightTopBottom) << c.name;
        EXPECT_EQ(settings.NonTargetAll, 0) << c.name << ": only anchors change";
    }
}

TEST(Definition, NameAndFolder)
{
    MemoryProfile named{{"VelmoraData/Name", "Tama"}};
    MemoryProfile unnamed{};
    EXPECT_EQ(read_mascot_name(named), "Tama");
    EXPECT_EQ(read_mascot_name(unnamed), "NoData");

    struct Case {
        const char* source;
        const char* folder;
    };
    const Case cases[] = {
        {"Cats\\Tama.lzh", "C:\\TEMP\\Velmo\\Cats\\Tama\\"},
        {"Tama.LZH", "C:\\TEMP\\Velmo\\Tama\\"},
        {"Old.Cats\\Tama.v2.lzh", "C:\\TEMP\\Velmo\\Old.Cats\\Tama.v2\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mascot_folder_path("C:\\TEMP\\", c.source), c.folder) << c.source;
    EXPECT_EQ(definition_path("C:\\TEMP\\Velmo\\Tama\\"), "C:\\TEMP\\Velmo\\Tama\\VLD.INI");
}

}  // namespace
