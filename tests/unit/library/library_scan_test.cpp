#include <gtest/gtest.h>

#include <map>

#include "library/library_scan.h"

TEST(LibraryScan, FileKindByLastFourCharacters)
{
    const std::pair<const char*, LibraryFileKind> rows[] = {
        {"C:\\V\\Mascots\\Cats\\Tama.BMP", LibraryFileKind::still},
        {"a\\b\\c.bmp", LibraryFileKind::still},
        {"C:\\V\\Mascots\\tama.LzH", LibraryFileKind::archive},
        {".lzh", LibraryFileKind::archive},
        {"notes.txt", LibraryFileKind::other},
        {"a.lha", LibraryFileKind::other},
        {"x.bmp.bak", LibraryFileKind::other},
        {"bmp", LibraryFileKind::other},
        {"xbmp", LibraryFileKind::other},
        {"", LibraryFileKind::other},
    };
    for (const auto& [path, kind] : rows)
        EXPECT_EQ(library_file_kind(path), kind) << path;
}

TEST(LibraryScan, MascotFilesAmongTheFilesOfAFolder)
{
    // What comes with downloaded mascots beside them is no candidate; the order is kept.
    const std::vector<std::string> files = {"ReadMe.txt", "tama.BMP", "desktop.ini", "Thumbs.db", "mike.lzh",
                                            "tama.bmp.bak", "cat.png", "a.bmp"};
    EXPECT_EQ(mascot_files_among(files), (std::vector<std::string>{"tama.BMP", "mike.lzh", "a.bmp"}));
    EXPECT_TRUE(mascot_files_among({"ReadMe.txt", "desktop.ini"}).empty());
    EXPECT_TRUE(mascot_files_among({}).empty());
}

TEST(LibraryScan, PathBelowRoot)
{
    EXPECT_EQ(path_below_root("C:\\V\\Mascots\\a\\b\\c.bmp", 12), "a\\b\\c.bmp");
    EXPECT_EQ(path_below_root("C:\\V\\Mascots", 12), "");
}

namespace {

class MapProfile : public ProfileReader {
public:
    std::map<std::string, std::string> keys;
    std::string read_text(const char* section, const char* key, const char* fallback) override
    {
        auto it = keys.find(std::string(section) + "/" + key);
        return it == keys.end() ? fallback : it->second;
    }
    int32_t read_int(const char*, const char*, int32_t fallback) override { return fallback; }
};

}  // namespace

TEST(LibraryScan, NameAndIconFile)
{
    struct Row {
        std::map<std::string, std::string> keys;
        const char* name;
        const char* icon;
    } rows[] = {
        {{}, "", ""},
        {{{"VelmoraData/Name", "Tama"}, {"VelmoraData/Icon16", "t16.ico"}, {"VelmoraData/Icon32", "t32.ico"}},
         "Tama", "t16.ico"},
        {{{"VelmoraData/Name", "NoData"}, {"VelmoraData/Icon16", "NoIcon"}, {"VelmoraData/Icon32", "t32.ico"}},
         "", "t32.ico"},
        {{{"VelmoraData/Name", ""}, {"VelmoraData/Icon16", ""}, {"VelmoraData/Icon32", "NoIcon"}}, "", ""},
        {{{"Other/Name", "Tama"}, {"Other/Icon16", "t.ico"}}, "", ""},
    };
    for (const Row& row : rows) {
        MapProfile profile;
        profile.keys = row.keys;
        const NameAndIconFile got = read_name_and_icon_file(profile);
        EXPECT_EQ(got.name, row.name);
        EXPECT_EQ(got.icon_file, row.icon);
    }
}

TEST(LibraryScan, ColumnWidthsOnlyGrow)
{
    int record = 0;
    const std::pair<int, bool> steps[] = {{40, true}, {30, false}, {40, false}, {41, true}};
    for (const auto& [width, grows] : steps)
        EXPECT_EQ(widen_column(record, width), grows) << width;
    EXPECT_EQ(record, 41);
}
