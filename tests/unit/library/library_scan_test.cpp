#include <gtest/gtest.h>

#include <map>

#include "library/extraction_folder.h"
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
    // column, text width, state image width, small icon width, dpi -> width
    const struct Row {
        int column, text, state, icon, dpi, width;
    } rows[] = {
        {0, 40, 16, 16, 96, 88},   // 96 dpi: a check box and an icon of 16 before the name
        {0, 60, 24, 16, 96, 116},  // a larger check box, the image list's icon unchanged
        {0, 60, 24, 24, 144, 132}, // 144 dpi: images of 24 and a margin of 24
        {0, 80, 32, 32, 192, 176}, // 192 dpi: images of 32 and a margin of 32
        {0, 50, 20, 20, 120, 110}, // 120 dpi: a margin of 20
        {0, 0, 16, 16, 96, 48},    // an empty name still leaves room for the images
        {0, 40, 0, 16, 96, 72},    // a list laid out without the check box
        {1, 40, 16, 16, 96, 56},   // column 1 holds text only: the images are not counted
        {1, 0, 24, 16, 96, 16},
        {1, 40, 32, 32, 192, 72},
        {1, 40, 0, 0, 0, 56},      // no DPI read counts as 96
    };
    for (const Row& row : rows)
        EXPECT_EQ(column_width_for_text(row.column, row.text, row.state, row.icon, row.dpi), row.width)
            << row.column << " " << row.text << " at " << row.dpi;
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

namespace {

bool Cp932Lead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace

TEST(LibraryScan, ExtractionFolderSweepRemovesOnlyWhatLiesInside)
{
    const struct {
        const char* name;
        bool folder, link;
        int depth;
        SweepStep step;
    } steps[] = {
        {".", true, false, 0, SweepStep::leave},          {"..", true, false, 3, SweepStep::leave},
        {"VLD.INI", false, false, 0, SweepStep::delete_file}, {"tama", true, false, 0, SweepStep::descend},
        {"out", true, true, 0, SweepStep::remove_link},   // a junction to another folder
        {"a.bmp", false, true, 2, SweepStep::remove_link}, {"deep", true, false, 64, SweepStep::leave},
    };
    for (const auto& row : steps)
        EXPECT_EQ(sweep_step(row.name, row.folder, row.link, row.depth), row.step) << row.name;

    const std::string root = "C:\\Temp\\Velmo\\";
    const struct {
        std::string folder;
        bool inside;
    } folders[] = {
        {root + "tama\\", true},
        {root + "Cats\\tama", true},
        {root + "\x95\x5C\\", true},  // a kanji whose second byte is a backslash
        {root, false},
        {"C:\\Temp\\Velmo", false},
        {"C:\\Temp\\Velmo2\\tama\\", false},
        {root + "..\\..\\Windows\\", false},  // a source path from the registry
        {root + "Cats\\..\\..\\x\\", false},
        {root + ".\\", false},
        {root + "a\\\\b\\", false},
        {root + "C:\\x\\", false},
        {"D:\\tama\\", false},
    };
    for (const auto& row : folders)
        EXPECT_EQ(lies_inside_extraction_folder(root, row.folder, Cp932Lead), row.inside) << row.folder;
}
