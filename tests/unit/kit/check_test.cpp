#include <gtest/gtest.h>

#include "kit/icon_file.h"
#include "kit/mascot_check.h"
#include "kit_fixtures.h"

namespace {

const std::vector<std::string> kFrameA = {"rrrr", "rwwr", ".rr."};
const std::vector<std::string> kFrameB = {"gggg", "gkkg", ".gg."};

std::string good_definition(const std::string& extra_data = "", const std::string& list = "",
                            const std::string& pos = "[Pos]\r\nPosX=30\r\nTopY=-3\r\n")
{
    return "[VelmoraData]\r\nName=\x83\x7E\x83\x50\r\nIcon16=m.ico\r\n" + extra_data + "[List]\r\n" +
           (list.empty() ? "File1=a.bmp\r\nTime1=10\r\nFile2=b.bmp\r\nTime2=-5\r\n" : list) + pos;
}

// A sound mascot: two frames, an icon, a comment and a web page; each row of the table below
// changes one member.
Members good_members()
{
    return {
        {"VLD.INI", bytes_of(good_definition())},
        {"a.bmp", bitmap_of(kFrameA)},
        {"b.bmp", bitmap_of(kFrameB)},
        {"m.ico", icon_file(fit_into_square(picture_of(kFrameA), 16))},
        {"Comment.txt", bytes_of("\x83\x7E\x83\x50\r\nhello\r\n")},
        {"WebPage.url", bytes_of("[InternetShortcut]\r\nURL=http://example.com/\r\n")},
    };
}

Members with(const std::string& name, const std::vector<uint8_t>& bytes)
{
    Members members = good_members();
    for (auto& member : members)
        if (member.first == name) {
            member.second = bytes;
            return members;
        }
    members.emplace_back(name, bytes);
    return members;
}

Members without(const std::string& name)
{
    Members members;
    for (auto& member : good_members())
        if (member.first != name)
            members.push_back(member);
    return members;
}

struct BrokenCase {
    const char* fault;
    Members members;
    int status;
    const char* line;   // what the one finding says
};

std::vector<BrokenCase> broken_cases()
{
    const std::string two_frames = "File1=a.bmp\r\nTime1=10\r\n";
    std::vector<uint8_t> corrupt_header = bitmap_of(kFrameB);
    corrupt_header[28] = 32;   // bits per pixel
    std::vector<uint8_t> short_rows = bitmap_of(kFrameB);
    short_rows.resize(short_rows.size() - 4);
    Members no_frames;
    for (auto& member : with("VLD.INI", bytes_of(good_definition("", "File1=\r\n"))))
        if (member.first != "a.bmp" && member.first != "b.bmp")
            no_frames.push_back(member);
    Members png_icon = without("m.ico");
    png_icon[0].second = bytes_of(good_definition().replace(good_definition().find("m.ico"), 5, "m.png"));
    png_icon.emplace_back("m.png", png_of(picture_of(kFrameA)));
    // File1 names a frame stored under a name that differs in the case of a letter beyond ASCII
    // (upper-case alpha in the list, lower-case alpha stored); and ア 0x8341 and ヂ 0x8361 are
    // two files, though their trail bytes differ as the case of an ASCII letter does.
    auto renamed_frame = [](const char* listed, const char* stored) {
        Members members = with("VLD.INI", bytes_of(good_definition(
                                              "", std::string("File1=") + listed + "\r\nTime1=10\r\nFile2=b.bmp\r\nTime2=-5\r\n")));
        for (auto& member : members)
            if (member.first == "a.bmp")
                member.first = stored;
        return members;
    };
    // The frame listed and stored as `listed`, and another member beside it.
    auto frame_beside = [&](const char* listed, const char* other, const std::vector<uint8_t>& bytes) {
        Members members = renamed_frame(listed, listed);
        members.emplace_back(other, bytes);
        return members;
    };
    return {
        {"sound", good_members(), 0, nullptr},
        {"a frame named in the other case of a Greek letter", renamed_frame("\x83\x9F.bmp", "\x83\xBF.bmp"), 0, nullptr},
        {"a member beside a frame whose name differs in a trail byte's case",
         frame_beside("\x83\x41.bmp", "\x83\x61.bmp", bitmap_of(kFrameB)),
         1, "warning: the member \"ヂ.bmp\" is never read by the program"},
        {"two members whose names differ in the case of ASCII letters",
         with("B.BMP", bitmap_of(kFrameB)),
         1, "warning: two members extract to \"B.BMP\": the later one replaces the earlier"},
        {"two members whose names differ in the case of a Greek letter",
         frame_beside("\x83\x9F.bmp", "\x83\xBF.bmp", bitmap_of(kFrameA)),
         1, "warning: two members extract to \"α.bmp\""},
        {"a gap in the numbers",
         with("VLD.INI", bytes_of(good_definition("", two_frames + "File3=b.bmp\r\nTime3=5\r\n"))), 2,
         "error: the frame list ends after frame 1: there is no File2; File3 is never shown"},
        {"a missing time", with("VLD.INI", bytes_of(good_definition("", two_frames + "File2=b.bmp\r\n"))), 2,
         "error: the frame list ends after frame 1: Time2 is missing"},
        {"a time of 9999", with("VLD.INI", bytes_of(good_definition("", two_frames + "File2=b.bmp\r\nTime2=9999\r\n"))),
         2, "error: the frame list ends after frame 1: Time2 is 9999, which counts as missing"},
        {"a frame that is no bitmap", with("b.bmp", bytes_of("GIF89a, a picture of another kind")), 2,
         "error: the frame list ends after frame 1: File2 \"b.bmp\" does not load: it is not a bitmap"},
        {"a 32-bit frame", with("b.bmp", corrupt_header), 2,
         "does not load: it is a 32-bit bitmap the program refuses"},
        {"a frame file that says it is longer than it is", with("b.bmp", short_rows), 2,
         "does not load: its file header states"},
        {"a missing frame file", without("b.bmp"), 2, "File2 \"b.bmp\" does not load: there is no such file"},
        {"no frames at all", no_frames, 2,
         "error: the frame list is empty: File1 is missing"},
        {"frames of two sizes", with("a.bmp", bitmap_of({"rrrrrr", ".rrrr."})), 1,
         "warning: frame 1 (a.bmp) is 6x2 but the window takes 4x3 from frame 2, the last loaded"},
        {"an empty shape", with("b.bmp", bitmap_of({"....", "....", "...."})), 1,
         "warning: frame 2 (b.bmp): its shape is empty, nothing of it shows"},
        {"a shape over the whole frame", with("b.bmp", encode_frame(picture_of({"gggg", "gggg", "kggg"}), Rgb{0, 0, 0}).file),
         1, "its shape covers the whole frame but 1 pixels"},
        {"an icon that does not load", with("m.ico", bytes_of("not an icon")), 1,
         "warning: the icon \"m.ico\" does not load: not an icon file"},
        {"an icon that is not extracted by the scan", png_icon, 1, "the library scan extracts only VLD.INI and *.ico"},
        {"a name in UTF-8", with("VLD.INI", bytes_of("[VelmoraData]\r\nName=ミケ\r\nIcon16=m.ico\r\n[List]\r\nFile1=a.bmp\r\n"
                                                      "Time1=1\r\nFile2=b.bmp\r\nTime2=1\r\n")),
         1, "the Name is not code page 932 text (it looks like UTF-8)"},
        {"no name", with("VLD.INI", bytes_of("[VelmoraData]\r\nIcon16=m.ico\r\n[List]\r\nFile1=a.bmp\r\nTime1=1\r\n"
                                              "File2=b.bmp\r\nTime2=1\r\n")),
         1, "VLD.INI gives no Name"},
        {"a comment in UTF-8", with("Comment.txt", bytes_of("hello\r\nミケ\r\n")), 1,
         "warning: Comment.txt, line 2, is not code page 932 text (it looks like UTF-8)"},
        {"a comment with LF line ends", with("Comment.txt", bytes_of("one\ntwo\n")), 1,
         "Comment.txt ends lines with LF alone"},
        {"a comment with a NUL", with("Comment.txt", bytes_of(std::string("one\0two", 7))), 1,
         "Comment.txt holds a NUL byte at offset 3"},
        {"a secure web page", with("WebPage.url", bytes_of("[InternetShortcut]\r\nURL=https://example.com/\r\n")), 1,
         "is not shown as a link: the information dialog links only addresses beginning with http://"},
        {"a web page in capitals", with("WebPage.url", bytes_of("[InternetShortcut]\r\nURL=HTTP://EXAMPLE.COM/\r\n")),
         1, "is not shown as a link"},
        {"a shortcut without URL", with("WebPage.url", bytes_of("[InternetShortcut]\r\n")), 1, "WebPage.url has no URL"},
        {"a member never read", with("notes.txt", bytes_of("hi")), 1, "the member \"notes.txt\" is never read"},
        {"anchors beside the window", with("VLD.INI", bytes_of(good_definition("", "", "[Pos]\r\nRightX=-900\r\n"))), 1,
         "the anchors put the mascot off its window"},
        {"anchors far above the window", with("VLD.INI", bytes_of(good_definition("", "", "[Pos]\r\nTopY=-50\r\n"))), 1,
         "the anchors put the mascot off its window"},
        {"an anchor at the end of 32 bits", with("VLD.INI", bytes_of(good_definition("", "", "[Pos]\r\nLeftX=2147483547\r\n"))),
         1, "warning: an anchor of 2147483547 lies outside -32768 to 32767, the anchors the program can place"},
        {"an anchor at the other end", with("VLD.INI", bytes_of(good_definition("", "", "[Pos]\r\nUnderY=-2147483648\r\n"))),
         1, "an anchor of -2147483648 lies outside"},
        {"the last anchor the program can place", with("VLD.INI", bytes_of(good_definition("", "", "[Pos]\r\nTopY=-32768\r\n"))),
         1, "the anchors put the mascot off its window"},
        {"no definition", without("VLD.INI"), 2, "error: there is no VLD.INI"},
    };
}

TEST(Check, ReportsEachFaultOfABrokenMascotOnItsOwnLine)
{
    for (const BrokenCase& row : broken_cases()) {
        const std::vector<uint8_t> archive = archive_of(row.members);
        const CheckReport report = check_archive(archive.data(), archive.size(), ExtractLimits());
        EXPECT_EQ(exit_status(report.findings), row.status) << row.fault;
        if (!row.line) {
            EXPECT_TRUE(report.findings.empty()) << row.fault << ": " << format_finding(report.findings[0]);
            continue;
        }
        ASSERT_EQ(report.findings.size(), 1u) << row.fault << ": " << format_finding(report.findings[0]) << " / "
                                              << format_finding(report.findings.back());
        EXPECT_NE(format_finding(report.findings[0]).find(row.line), std::string::npos)
            << row.fault << ": " << format_finding(report.findings[0]);
    }
}

TEST(Check, SummaryNamesFramesStaySizeAndMethods)
{
    const std::vector<uint8_t> archive = archive_of(good_members());
    const CheckReport report = check_archive(archive.data(), archive.size(), ExtractLimits());
    // Time 10 is one second; -5 stays one to four ticks.
    EXPECT_EQ(report.summary.substr(0, report.summary.find(", members")),
              "ミケ: 2 frames, a round of 1.1 s to 1.4 s, 4x3");
    EXPECT_NE(report.summary.find("-lh"), std::string::npos);
    EXPECT_EQ(report.mascot.settings.PositionX, 30);
    EXPECT_EQ(report.mascot.settings.PositionY, -3);
    EXPECT_EQ(report.mascot.settings.HeightPerDot, 0);
}

TEST(Check, CorruptAndHostileArchivesGetAnErrorNotACrash)
{
    const std::vector<uint8_t> sound = archive_of(good_members());
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* line;
    };
    std::vector<uint8_t> flipped = sound;
    flipped[flipped.size() / 2] ^= 0xFF;
    std::vector<uint8_t> cut(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(sound.size() / 2));
    const std::vector<uint8_t> bomb_member(1 << 20, 'x');
    const std::vector<uint8_t> bomb = archive_of({{"VLD.INI", bomb_member}});
    const Case cases[] = {
        {"empty", {}, "this is not an LHA archive"},
        {"text", bytes_of("hello, world"), "this is not an LHA archive"},
        {"a flipped byte", flipped, "cannot be extracted"},
        {"cut in half", cut, "cannot be extracted"},
        {"a member past the limit", bomb, "cannot be extracted: "},
        {"a path leaving the folder", archive_of({{"..\\VLD.INI", bytes_of("[VelmoraData]\r\n")}}),
         "the frame list is empty"},
    };
    ExtractLimits limits;
    limits.max_member_bytes = 1 << 16;
    for (const Case& row : cases) {
        const CheckReport report = check_archive(row.bytes.data(), row.bytes.size(), limits);
        EXPECT_EQ(exit_status(report.findings), 2) << row.what;
        bool found = false;
        for (const Finding& finding : report.findings)
            found = found || finding.text.find(row.line) != std::string::npos;
        EXPECT_TRUE(found) << row.what << ": " << (report.findings.empty() ? "" : report.findings[0].text);
    }
}

TEST(Check, StillMascotsAndFoldersAreReadLikeArchives)
{
    const std::vector<uint8_t> still = bitmap_of(kFrameA);
    const CheckReport report = check_still("Sprout.bmp", still.data(), still.size());
    EXPECT_TRUE(report.findings.empty());
    EXPECT_EQ(report.summary, "Sprout.bmp: 1 frame, 4x3");

    // Without a definition the summary names what was checked, as for a mascot without a name.
    EXPECT_EQ(check_folder(MemberStore()).summary, "folder: 0 frames, 0x0");

    const std::vector<uint8_t> junk = bytes_of("BM");
    EXPECT_EQ(exit_status(check_still("x.bmp", junk.data(), junk.size()).findings), 2);

    MemberStore folder;
    for (auto& member : with("A.BMP", bitmap_of(kFrameA)))
        if (member.first != "a.bmp")
            folder.put(member.first, member.second);
    // File1=a.bmp finds A.BMP, as Windows finds it.
    const CheckReport from_folder = check_folder(folder);
    EXPECT_TRUE(from_folder.findings.empty()) << format_finding(from_folder.findings[0]);
    EXPECT_EQ(from_folder.mascot.frames.size(), 2u);
}

}  // namespace
