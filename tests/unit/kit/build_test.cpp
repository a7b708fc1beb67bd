#include <gtest/gtest.h>

#include <map>

#include "display/bitmap_file.h"
#include "display/picture_file.h"
#include "display/shape_trace.h"
#include "kit/mascot_build.h"
#include "kit/mascot_check.h"
#include "display/profile_text.h"
#include "kit/mascot_import.h"
#include "kit_fixtures.h"

namespace {

using Folder = std::map<std::string, std::vector<uint8_t>>;

FolderReader reader_of(const Folder& folder)
{
    return [&folder](const std::string& name, std::vector<uint8_t>& bytes) {
        const auto found = folder.find(name);
        if (found == folder.end())
            return false;
        bytes = found->second;
        return true;
    };
}

const std::vector<std::string> kIdle = {"wwww", "wkkw", ".ww."};
const std::vector<std::string> kBlink = {"wwww", "wwww", ".ww."};

std::vector<uint8_t> first_bytes(const std::vector<uint8_t>& bytes, size_t count)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

Folder good_folder(const std::string& definition_extra = "")
{
    return {
        {"VLD.INI", bytes_of("[VelmoraData]\nName=ミケ\nWebPage=http://example.com/mike\n" + definition_extra +
                             "[List]\nFile1=idle.png\nTime1=-40\nFile2=blink.png\nTime2=2\n[Pos]\nPosX=30\nTopY=-2\n")},
        {"idle.png", png_of(picture_of(kIdle))},
        {"blink.png", png_of(picture_of(kBlink))},
        {"Comment.txt", bytes_of("三毛猫です。\nよろしく\r\n")},
    };
}

std::map<std::string, std::vector<uint8_t>> members_of(const BuildResult& result)
{
    std::map<std::string, std::vector<uint8_t>> members;
    for (const BuiltMember& member : result.members)
        members[member.name] = member.bytes;
    return members;
}

std::vector<std::string> traced_mask(const std::vector<uint8_t>& file)
{
    const std::vector<uint8_t> data(file.begin() + 14, file.end());
    BitmapLayout layout;
    EXPECT_EQ(read_bitmap_layout(data.data(), data.size(), layout), LayoutResult::ok);
    std::vector<std::string> rows(layout.height, std::string(layout.width, '.'));
    for (const RunRect& run : trace_shape(data.data(), data.size()))
        for (int32_t x = run.left; x < run.right; ++x)
            rows[run.top][x] = '#';
    return rows;
}

TEST(Build, AnAuthorsFolderBecomesWhatTheProgramReads)
{
    const Folder folder = good_folder();
    const BuildResult result = build_archive_mascot(reader_of(folder), BuildOptions());
    ASSERT_TRUE(result.ok());
    auto members = members_of(result);
    ASSERT_EQ(members.size(), 6u);
    const std::string definition(members["VLD.INI"].begin(), members["VLD.INI"].end());
    EXPECT_EQ(definition,
              "[VelmoraData]\r\nName=\x83\x7E\x83\x50\r\nIcon16=icon16.ico\r\n\r\n[List]\r\nFile1=idle.bmp\r\nTime1=-40\r\n"
              "File2=blink.bmp\r\nTime2=2\r\n\r\n[Pos]\r\nPosX=30\r\nTopY=-2\r\n");
    EXPECT_EQ(traced_mask(members["idle.bmp"]), (std::vector<std::string>{"####", "####", ".##."}));
    const std::string comment(members["Comment.txt"].begin(), members["Comment.txt"].end());
    EXPECT_EQ(comment, "\x8E\x4F\x96\xD1\x94\x4C\x82\xC5\x82\xB7\x81\x42\r\n\x82\xE6\x82\xEB\x82\xB5\x82\xAD\r\n");
    const std::string url(members["WebPage.url"].begin(), members["WebPage.url"].end());
    EXPECT_EQ(url, "[InternetShortcut]\r\nURL=http://example.com/mike\r\n");
    EXPECT_EQ(members.count("icon16.ico"), 1u);
    const CheckReport check = check_archive(result.archive.data(), result.archive.size(), ExtractLimits());
    EXPECT_EQ(exit_status(check.findings), 0);
    EXPECT_EQ(check.mascot.frames.size(), 2u);
}

TEST(Build, CanvasChangesAreMadeAndSaid)
{
    Folder folder = good_folder();
    folder["idle.png"] = png_of(picture_of({"wwwwww", "wkkkkw", "wwwwww"}));   // opaque bottom-left, wider
    folder["blink.png"] = png_of(picture_of({"ww", "ww"}));
    folder["VLD.INI"] = bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=idle.png\nTime1=1\nFile2=blink.png\nTime2=1\n"
                                 "[Pos]\nLeftX=10\n");
    const BuildResult result = build_archive_mascot(reader_of(folder), BuildOptions());
    ASSERT_TRUE(result.ok()) << format_finding(result.findings.back());
    auto members = members_of(result);
    EXPECT_EQ(traced_mask(members["idle.bmp"]), (std::vector<std::string>{".######", ".######", ".######"}));
    // Two wide on a canvas of six: centred at columns 2 and 3, then moved by the new column.
    EXPECT_EQ(traced_mask(members["blink.bmp"]), (std::vector<std::string>{".......", "...##..", "...##.."}));
    std::string notes;
    for (const Finding& finding : result.findings)
        if (finding.severity == Severity::note)
            notes += finding.text + "\n";
    EXPECT_NE(notes.find("the frames differ in size (idle.png 6x3, blink.png 2x2)"), std::string::npos) << notes;
    EXPECT_NE(notes.find("widened by one transparent column on the left, to 7x3"), std::string::npos) << notes;
    EXPECT_NE(notes.find("LeftX becomes 9"), std::string::npos) << notes;
    const std::string definition(members["VLD.INI"].begin(), members["VLD.INI"].end());
    EXPECT_NE(definition.find("LeftX=9\r\n"), std::string::npos);
}

struct FaultCase {
    const char* fault;
    Folder folder;
    const char* line;
};

std::vector<FaultCase> fault_cases()
{
    auto changed = [](const std::string& name, const std::vector<uint8_t>& bytes) {
        Folder folder = good_folder();
        if (bytes.empty())
            folder.erase(name);
        else
            folder[name] = bytes;
        return folder;
    };
    const std::string list = "[List]\nFile1=idle.png\nTime1=1\n";
    return {
        {"a wave dash in the name", changed("VLD.INI", bytes_of("[VelmoraData]\nName=ミケ〜\n" + list)),
         "error: VLD.INI, line 2, character 8: U+301C \"〜\" is not in code page 932"},
        {"an emoji in the comment", changed("Comment.txt", bytes_of("one\ntwo 😀\n")),
         "error: Comment.txt, line 2, character 5: U+1F600"},
        {"a missing time", changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=idle.png\nFile2=blink.png\n")),
         "error: VLD.INI: File1 has no Time1"},
        {"a time of 9999", changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=idle.png\nTime1=9999\n")),
         "Time1=9999 counts as missing"},
        {"a gap", changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\n" + list + "File3=blink.png\nTime3=1\n")),
         "error: VLD.INI: File2 is missing, so the program would never show File3"},
        {"no frames", changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\n")), "error: VLD.INI lists no frames"},
        {"a missing frame", changed("blink.png", {}), "error: the frame \"blink.png\" is not in the folder"},
        {"a frame that is no picture", changed("blink.png", bytes_of("JFIF")),
         "error: the frame \"blink.png\": neither a PNG, a GIF nor a bitmap"},
        {"a damaged GIF", changed("blink.png", bytes_of("GIF89a")), "error: the frame \"blink.png\": the GIF cannot be read"},
        {"a damaged PNG", changed("blink.png", first_bytes(png_of(picture_of(kBlink)), 30)),
         "error: the frame \"blink.png\": the PNG cannot be read"},
        {"no definition", changed("VLD.INI", {}), "error: the folder has no VLD.INI"},
        {"a definition in neither encoding", changed("VLD.INI", bytes_of("[VelmoraData]\nName=\x80\x80\n")),
         "error: VLD.INI, line 2, character 6: the text is neither UTF-8 nor code page 932"},
        {"two frames stored under one name",
         [] {
             Folder folder = good_folder();
             folder["idle.bmp"] = bitmap_of(kIdle);
             folder["VLD.INI"] = bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=idle.png\nTime1=1\nFile2=idle.bmp\nTime2=1\n");
             return folder;
         }(),
         "would be stored as \"idle.bmp\", the name of another frame"},
        {"two frames whose names differ in the case of a Greek letter",
         [] {
             Folder folder = good_folder();
             folder["α.png"] = png_of(picture_of(kIdle));
             folder["Α.png"] = png_of(picture_of(kBlink));
             folder["VLD.INI"] = bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=α.png\nTime1=1\nFile2=Α.png\nTime2=1\n");
             return folder;
         }(),
         "would be stored as \"Α.bmp\", the name of another frame"},
        {"two frames whose names differ in the case of full-width Latin",
         [] {
             Folder folder = good_folder();
             folder["ａ.png"] = png_of(picture_of(kIdle));
             folder["Ａ.png"] = png_of(picture_of(kBlink));
             folder["VLD.INI"] = bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=ａ.png\nTime1=1\nFile2=Ａ.png\nTime2=1\n");
             return folder;
         }(),
         "would be stored as \"Ａ.bmp\", the name of another frame"},
        {"LeftX at the least 32-bit value on a widened canvas",
         [] {
             Folder folder = good_folder();
             folder["idle.png"] = png_of(picture_of({"wwww", "wkkw", "wwww"}));   // opaque bottom-left
             folder["VLD.INI"] = bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=idle.png\nTime1=1\n"
                                          "[Pos]\nLeftX=-2147483648\n");
             return folder;
         }(),
         "error: VLD.INI, line 7, character 1: LeftX=-2147483648, lessened by one for the widened canvas, lies outside "
         "-32768 to 32767, the anchors the program can place"},
        {"an anchor beyond any desktop", changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\n" + list + "[Pos]\nUnderY=40000\n")),
         "UnderY=40000 lies outside -32768 to 32767"},
        {"an anchor of percent at the end of 32 bits",
         changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\n" + list + "[Pos]\nPosX=2147483647\n")),
         "PosX=2147483647 lies outside"},
        {"a non-numeric anchor", changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\n" + list + "[Pos]\nPosX=left\n")),
         "PosX is not a whole number"},
        {"an icon that is neither", changed("VLD.INI", bytes_of("[VelmoraData]\nName=a\nIcon16=Comment.txt\n" + list)),
         "Icon16: \"Comment.txt\" is neither an icon file nor a picture"},
    };
}

TEST(Build, FaultsAreErrorsThatNameTheirPlaceAndWriteNothing)
{
    for (const FaultCase& row : fault_cases()) {
        const BuildResult result = build_archive_mascot(reader_of(row.folder), BuildOptions());
        EXPECT_FALSE(result.ok()) << row.fault;
        EXPECT_TRUE(result.archive.empty()) << row.fault;
        bool found = false;
        for (const Finding& finding : result.findings)
            found = found || format_finding(finding).find(row.line) != std::string::npos;
        EXPECT_TRUE(found) << row.fault << ": " << (result.findings.empty() ? "" : format_finding(result.findings[0]));
    }
}

TEST(Build, WarningsOfTheProgramsReadingStayWarnings)
{
    const Folder folder = good_folder("Icon32=idle.png\nColour=red\n");
    Folder secure = folder;
    secure["VLD.INI"] = bytes_of("[VelmoraData]\nName=a\nWebPage=https://example.com/\n[List]\nFile1=idle.png\nTime1=1\n");
    const BuildResult unknown = build_archive_mascot(reader_of(folder), BuildOptions());
    ASSERT_TRUE(unknown.ok());
    EXPECT_EQ(format_finding(unknown.findings[0]),
              "warning: VLD.INI, line 5, character 1: [VelmoraData] Colour is not read by the program and is left out");
    EXPECT_EQ(members_of(unknown).count("idle.ico"), 1u);   // a picture named as icon becomes one
    const BuildResult https = build_archive_mascot(reader_of(secure), BuildOptions());
    ASSERT_TRUE(https.ok());
    EXPECT_EQ(exit_status(https.findings), 1);
}

// A definition that the fuzzer found: a second [List] section, which the program never reads.
TEST(Build, OnlyTheFirstSectionOfANameCounts)
{
    Folder folder = good_folder();
    folder["VLD.INI"] = bytes_of("[VelmoraData]\nName=a\n[List]\nFile1=idle.png\nTime1=1\n[List]\nFile2=blink.png\n"
                                 "Time2=1\nFile1=blink.png\n");
    const BuildResult result = build_archive_mascot(reader_of(folder), BuildOptions());
    ASSERT_TRUE(result.ok());
    const CheckReport check = check_archive(result.archive.data(), result.archive.size(), ExtractLimits());
    EXPECT_EQ(check.mascot.frames.size(), 1u);
}

TEST(Build, StillMascotsComeFromOnePicture)
{
    BuildOptions hard;
    hard.hard_edges = true;
    const BuildResult result = build_still_mascot(png_of(picture_of({"rrr", "rhr", "rrr"})), hard);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(traced_mask(result.archive), (std::vector<std::string>{".###", ".#.#", ".###"}));
    // Without --hard-edges the soft pixel keeps its alpha in a 32-bit frame the program reads back.
    const BuildResult soft = build_still_mascot(png_of(picture_of({"rrr", "rhr", "rrr"})), BuildOptions());
    ASSERT_TRUE(soft.ok());
    Picture picture;
    ASSERT_EQ(decode_picture(soft.archive.data(), soft.archive.size(), picture), PictureResult::ok);
    EXPECT_TRUE(picture.own_alpha);
    ASSERT_EQ(picture.width, 4);
    const uint8_t* middle = &picture.frames[0].rgba[4 * 4];
    EXPECT_EQ((std::vector<uint8_t>{middle[3], middle[7], middle[11], middle[15]}),
              (std::vector<uint8_t>{0, 255, 127, 255}));
    EXPECT_EQ((std::vector<uint8_t>{middle[8], middle[9], middle[10]}), (std::vector<uint8_t>{255, 255, 255}));
    const std::string notes = [&] {
        std::string all;
        for (const Finding& finding : soft.findings)
            all += format_finding(finding) + "\n";
        return all;
    }();
    EXPECT_NE(notes.find("the program of old shows nothing"), std::string::npos) << notes;
    EXPECT_FALSE(build_still_mascot(bytes_of("no picture"), BuildOptions()).ok());
}

}  // namespace

namespace {

TEST(Import, RangesAndNumberedFrames)
{
    const struct {
        const char* text;
        bool ok;
        std::vector<std::pair<int32_t, int32_t>> ranges;
    } rows[] = {
        {"1-3,11", true, {{1, 3}, {11, 11}}},
        {"4", true, {{4, 4}}},
        {"2-2", true, {{2, 2}}},
        {"3-1", false, {}},
        {"0-2", false, {}},
        {"1,,2", false, {}},
        {"", false, {}},
        {"a-b", false, {}},
    };
    for (const auto& row : rows) {
        std::vector<FrameRange> ranges;
        EXPECT_EQ(parse_frame_ranges(row.text, ranges), row.ok) << row.text;
        if (!row.ok)
            continue;
        std::vector<std::pair<int32_t, int32_t>> got;
        for (const FrameRange& range : ranges)
            got.emplace_back(range.first, range.last);
        EXPECT_EQ(got, row.ranges) << row.text;
    }
    // Standing 1 to 3, sitting 11; shime10 and another stem's frames are not chosen, numbers count as numbers.
    const std::vector<std::string> names = {"shime1.png", "shime11.png", "shime10.png", "shime2.png", "shime3.png",
                                            "readme.txt", "other1.png"};
    std::vector<FrameRange> ranges;
    ASSERT_TRUE(parse_frame_ranges("1-3,11", ranges));
    EXPECT_EQ(numbered_frame_files(names, ranges),
              (std::vector<std::string>{"shime1.png", "shime2.png", "shime3.png", "shime11.png"}));
    EXPECT_EQ(numbered_frame_files(names, {}).size(), 5u);
}

TEST(Import, SheetsCutIntoCellsAndFramesStandOnTheEdge)
{
    // A sheet of three cells 3 x 4: the drawn pixels move about; the last row stays clear.
    const RgbaImage wide = picture_of({".........", "r........", "....gb..r", "........."});
    struct Case {
        const char* name;
        SheetCut cut;
        bool ok;
    };
    const Case cases[] = {
        {"by cell size", {3, 4, 0, 0}, true},
        {"by columns and rows", {0, 0, 3, 1}, true},
        {"a cell size that does not divide", {2, 4, 0, 0}, false},
        {"columns that do not divide", {0, 0, 2, 1}, false},
    };
    for (const Case& c : cases) {
        std::vector<ImportedFrame> frames;
        std::string reason;
        ASSERT_EQ(frames_from_sheet(wide, c.cut, 3, frames, reason), c.ok) << c.name;
        if (!c.ok)
            continue;
        ASSERT_EQ(frames.size(), 3u) << c.name;
        EXPECT_EQ(frames[1].time, 3);
        EXPECT_EQ(mask_of(frames[1].picture), (std::vector<std::string>{"...", "...", ".##", "..."})) << c.name;
    }
    std::vector<ImportedFrame> frames;
    std::string reason;
    ASSERT_TRUE(frames_from_sheet(wide, {3, 4, 0, 0}, 2, frames, reason));
    std::vector<FrameRange> ranges;
    ASSERT_TRUE(parse_frame_ranges("3,1", ranges));
    const std::vector<ImportedFrame> picked = pick_frames(frames, ranges);
    ASSERT_EQ(picked.size(), 2u);
    // Cropped to the union of the drawn boxes (columns 0 to 2, rows 1 down) with the bottom edge kept;
    // the lowest drawn row, row 2, stands on the edge: TopY = rows below it (1) - height (3).
    ImportedFolder folder;
    ASSERT_TRUE(import_folder(pick_frames(frames, {}), "walk", folder, reason)) << reason;
    EXPECT_EQ(folder.width, 3);
    EXPECT_EQ(folder.height, 3);
    EXPECT_EQ(folder.top_y, -2);
    ASSERT_EQ(folder.files.size(), 4u);
    const std::string definition(folder.files["VLD.INI"].begin(), folder.files["VLD.INI"].end());
    EXPECT_NE(definition.find("Name=walk\r\n"), std::string::npos) << definition;
    EXPECT_NE(definition.find("File3=frame3.png\r\nTime3=2\r\n"), std::string::npos) << definition;
    EXPECT_NE(definition.find("PosX=75\r\nTopY=-2\r\n"), std::string::npos) << definition;
    RgbaImage third;
    ASSERT_TRUE(read_picture(folder.files["frame3.png"].data(), folder.files["frame3.png"].size(), third, reason));
    EXPECT_EQ(mask_of(third), (std::vector<std::string>{"...", "..#", "..."}));
    // The folder builds into an archive as an author's would.
    const BuildResult built = build_archive_mascot(
        [&](const std::string& name, std::vector<uint8_t>& bytes) {
            const auto found = folder.files.find(name);
            return found != folder.files.end() && (bytes = found->second, true);
        },
        BuildOptions());
    EXPECT_TRUE(built.ok());
    EXPECT_FALSE(import_folder({}, "none", folder, reason));
}

TEST(Import, AnimatedGifFramesKeepTheirDelays)
{
    // Two frames of one dot each, 30 and 0 hundredths, written as the program's decoder reads them.
    const std::vector<uint8_t> gif = {
        'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 255, 0, 0, 0, 0, 255,
        0x21, 0xF9, 4, 0, 30, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0,
        0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 1, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B};
    std::vector<ImportedFrame> frames;
    std::string reason;
    ASSERT_TRUE(frames_from_gif(gif.data(), gif.size(), frames, reason)) << reason;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].time, 3);
    EXPECT_EQ(frames[1].time, 1);  // 0 hundredths: a tenth of a second, as browsers show it
    EXPECT_EQ(mask_of(frames[1].picture), (std::vector<std::string>{"##"}));
    EXPECT_FALSE(frames_from_gif(gif.data(), 20, frames, reason));
}

}  // namespace
