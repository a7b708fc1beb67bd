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
        {"C:\\V\\Mascots\\Cats\\run.GIF", LibraryFileKind::still},
        {"soft.png", LibraryFileKind::still},
        {"soft.png.txt", LibraryFileKind::other},
        {"photo.jpeg", LibraryFileKind::other},
        {"png", LibraryFileKind::other},
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
                                            "tama.bmp.bak", "cat.jpg", "cat.png", "a.bmp", "run.gif"};
    EXPECT_EQ(mascot_files_among(files),
              (std::vector<std::string>{"tama.BMP", "mike.lzh", "cat.png", "a.bmp", "run.gif"}));
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

TEST(LibraryScan, ColumnWidthForText)
{
    // column, text width, state image width, small icon width -> width
    const struct Row {
        int column, text, state, icon, width;
    } rows[] = {
        {0, 40, 16, 16, 88},   // 96 dpi: a check box and an icon of 16 before the name
        {0, 60, 24, 16, 116},  // 144 dpi: a larger check box, the image list's icon unchanged
        {0, 0, 16, 16, 48},    // an empty name still leaves room for the images
        {0, 40, 0, 16, 72},    // a list laid out without the check box
        {1, 40, 16, 16, 56},   // column 1 holds text only: the images are not counted
        {1, 0, 24, 16, 16},
    };
    for (const Row& row : rows)
        EXPECT_EQ(column_width_for_text(row.column, row.text, row.state, row.icon), row.width)
            << row.column << " " << row.text;
}

TEST(LibraryScan, TypeIconPerFileFromItsRegistration)
{
    const struct Row {
        const char* default_icon;
        bool icon_handler;
        bool per_file;
    } rows[] = {
        {"%1", false, true},
        {"\"%1\"", false, true},
        {"  \"%1\",0", false, true},
        {"%SystemRoot%\\System32\\imageres.dll,-70", false, false},
        {"C:\\Program Files\\Lha\\lha.exe,1", false, false},
        {"C:\\icons\\%1.ico", false, true},   // any icon made from the file's own path
        {"", false, false},                   // no registration: the shell's generic icon
        {"", true, true},                     // an icon handler chooses per file
        {"%", false, false},
        {"\"", false, false},
        {"%2", false, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(type_icon_is_per_file(row.default_icon, row.icon_handler), row.per_file) << row.default_icon;
}
