// Extraction through the real POSIX file system into temporary folders: what gets
// written, what never does, and what the result says.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>

#include "lha/archive_writer.h"
#include "lha/extract.h"
#include "lha/file_system_posix.h"
#include "test_support.h"

namespace {

using Names = std::vector<std::string>;

struct Member {
    std::string name;
    std::string content;
};

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string read_text(const std::string& path) {
    const auto bytes = read_file_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> pack(const std::vector<Member>& members) {
    ArchiveWriter writer(PackMethod::lh5);
    for (const Member& m : members)
        writer.add(m.name, reinterpret_cast<const uint8_t*>(m.content.data()), m.content.size(), 0);
    return writer.finish();
}

LhaStatus run(const std::string& line, ExtractReport* report = nullptr, ExtractLimits limits = ExtractLimits{}) {
    PosixFileSystem fs;
    return run_extract_line(fs, line, limits, report);
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

} // namespace

// The hostile archives of the corpus: nothing may appear outside the destination,
// and only plain files with safe flat names inside it.
TEST(Extract, HostileArchivesStayInsideDestination) {
    struct Row {
        const char* archive;
        Names files;        // what the destination holds afterwards
        bool success;
    };
    const Row rows[] = {
        {"abspath.lzh", {"absolute_path.txt"}, true},
        {"dotdot.lzh", {"evil1.txt", "evil2.txt"}, true},
        {"symlink1.lzh", {"foo.txt"}, true},
        {"symlink2.lzh", {"passwd"}, true},
        {"symlink3.lzh", {"passwd"}, true},
        {"unixsep.lzh", {"HELLO.TXT"}, true},
        {"dir.lzh", {}, true},
        {"badterm.lzh", {}, false},
        {"truncated.lzh", {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.archive);
        TempFolder outer;
        const std::string dest = outer.path() + "/dest/";
        ExtractReport report;
        const LhaStatus status =
            run("E " + quoted(corpus_path(std::string("archives/regression/") + row.archive)) + " " + quoted(dest) + " *.*", &report);
        EXPECT_EQ(status == LhaStatus::ok, row.success) << describe_status(status);
        EXPECT_EQ(outer.names(), Names{"dest"});
        Names inside;
        for (const auto& m : report.members)
            if (m.status == LhaStatus::ok) inside.push_back(m.name);
        std::set<std::string> unique(inside.begin(), inside.end());
        EXPECT_EQ(Names(unique.begin(), unique.end()), row.files);
        for (const std::string& name : row.files) {
            struct stat st;
            ASSERT_EQ(lstat((dest + name).c_str(), &st), 0) << name;
            EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
        }
    }
}

TEST(Extract, SelectionDuplicatesAndOverwrite) {
    TempFolder folder;
    const std::string archive = folder.path() + "/m.lzh";
    write_file(archive, pack({{"VLD.INI", "[Mascot]\r\nName=tama\r\n"},
                              {"a.ico", "icon a"},
                              {"B.ICO", "icon b"},
                              {"frame.bmp", "BM..."},
                              {"a.ico", "icon a, second copy"}}));
    const std::string dest = folder.path() + "/Velmo/new/";

    struct Row {
        std::string patterns;
        Names files;
        LhaStatus status;
    };
    const Row rows[] = {
        {"VLD.INI *.ico", {"B.ICO", "VLD.INI", "a.ico"}, LhaStatus::ok},
        {"vld.ini", {"VLD.INI"}, LhaStatus::ok},
        {"*.*", {"B.ICO", "VLD.INI", "a.ico", "frame.bmp"}, LhaStatus::ok},
        {"", {"B.ICO", "VLD.INI", "a.ico", "frame.bmp"}, LhaStatus::ok},
        {"*.wav", {}, LhaStatus::ok},
        // A member asked for by name that is not there is a failure, but the
        // others are still written.
        {"nothing.txt", {}, LhaStatus::not_found},
        {"VLD.INI missing.ico *.ico", {"B.ICO", "VLD.INI", "a.ico"}, LhaStatus::not_found},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.patterns);
        TempFolder out;
        const std::string target = out.path() + "/a/b/";
        EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(target) + " " + row.patterns + " -a1 -c1 -m1 -n1 -s1 -y1"),
                  row.status);
        Names found;
        for (const std::string& name : row.files)
            if (file_exists(target + name)) found.push_back(name);
        EXPECT_EQ(found, row.files);
        if (file_exists(target + "a.ico")) {
            EXPECT_EQ(read_text(target + "a.ico"), "icon a, second copy");
        }
    }

    // An existing file of the same name is replaced.
    ASSERT_EQ(run("E " + quoted(archive) + " " + quoted(dest) + " VLD.INI"), LhaStatus::ok);
    write_file(dest + "VLD.INI", {'o', 'l', 'd'});
    ASSERT_EQ(run("E " + quoted(archive) + " " + quoted(dest) + " VLD.INI"), LhaStatus::ok);
    EXPECT_EQ(read_text(dest + "VLD.INI"), "[Mascot]\r\nName=tama\r\n");
}

TEST(Extract, UnsafeNamesAreRefusedAndOthersStillWritten) {
    TempFolder folder;
    const std::string archive = folder.path() + "/names.lzh";
    const char* const refused[] = {"CON", "nul.txt", "com1.bmp", "LPT9", "a:b", "..", "x\x01y", "\x1b[31mred"};
    std::vector<Member> members = {{"good.txt", "fine"}};
    for (const char* name : refused) members.push_back({name, "payload"});
    write_file(archive, pack(members));
    TempFolder out;
    ExtractReport report;
    EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(out.path() + "/") + " *.*", &report), LhaStatus::unsafe_name);
    EXPECT_EQ(out.names(), Names{"good.txt"});
    ASSERT_EQ(report.members.size(), members.size());
    for (size_t i = 1; i < members.size(); ++i) EXPECT_EQ(report.members[i].status, LhaStatus::unsafe_name) << members[i].name;
}

// A member whose data is damaged never appears under its name, and an older file
// of that name stays as it was.
TEST(Extract, DamagedMemberLeavesNoFileAndKeepsOldOne) {
    TempFolder folder;
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "frame " + std::to_string(i) + "\r\n";
    auto bytes = pack({{"keep.txt", text}, {"fresh.txt", text}});

    struct Row {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        LhaStatus status;
    };
    const Row rows[] = {
        {"stored CRC wrong", [](std::vector<uint8_t>& b) { b[21] ^= 1; }, LhaStatus::bad_header},
        {"data byte flipped", [](std::vector<uint8_t>& b) { b[60] ^= 0x10; }, LhaStatus::corrupt_data},
        {"archive cut in the first member", [](std::vector<uint8_t>& b) { b.resize(200); }, LhaStatus::truncated},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto damaged = bytes;
        row.damage(damaged);
        const std::string archive = folder.path() + "/damaged.lzh";
        write_file(archive, damaged);
        TempFolder out;
        write_file(out.path() + "/keep.txt", {'o', 'l', 'd'});
        EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(out.path() + "/") + " keep.txt"), row.status);
        EXPECT_EQ(read_text(out.path() + "/keep.txt"), "old");
        EXPECT_EQ(out.names(), Names{"keep.txt"});
    }
}

// Archives that declare far more than they hold are refused before any large
// output is produced.
TEST(Extract, BombsAreRefusedQuickly) {
    TempFolder folder;
    const std::string archive = folder.path() + "/bomb.lzh";
    std::string zeros(2 << 20, '\0');
    auto bytes = pack({{"zero.bin", zeros}});
    // Declare about 2 GB (offset 11) and drop the header check that would catch it:
    // the second extension (name) becomes the first.
    bytes[11] = 0x00; bytes[12] = 0x00; bytes[13] = 0x00; bytes[14] = 0x80;
    bytes[24] = 0; bytes[25] = 0;   // no extensions at all: the header keeps its size
    write_file(archive, bytes);
    TempFolder out;
    const auto start = std::chrono::steady_clock::now();
    ExtractReport report;
    const LhaStatus status = run("E " + quoted(archive) + " " + quoted(out.path() + "/") + " *.*", &report);
    EXPECT_NE(status, LhaStatus::ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(out.names().empty());

    // Under a small cap, even an honest member of 2 MB is refused.
    write_file(archive, pack({{"zero.bin", zeros}}));
    ExtractLimits small;
    small.max_member_bytes = 1 << 20;
    EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(out.path() + "/"), nullptr, small), LhaStatus::too_large);
    small.max_member_bytes = 4 << 20;
    small.max_total_bytes = 3 << 20;
    write_file(archive, pack({{"a.bin", zeros}, {"b.bin", zeros}}));
    ExtractReport capped;
    EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(out.path() + "/"), &capped, small), LhaStatus::too_large);
    EXPECT_EQ(out.names(), Names{"a.bin"});
}

TEST(Extract, PlantedLinkIsReplacedNotFollowed) {
    TempFolder folder;
    const std::string victim = folder.path() + "/victim.txt";
    write_file(victim, {'s', 'a', 'f', 'e'});
    const std::string archive = folder.path() + "/link.lzh";
    write_file(archive, pack({{"evil.txt", "overwritten"}}));
    TempFolder out;
    ASSERT_EQ(symlink(victim.c_str(), (out.path() + "/evil.txt").c_str()), 0);
    EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(out.path() + "/")), LhaStatus::ok);
    EXPECT_EQ(read_text(victim), "safe");
    EXPECT_EQ(read_text(out.path() + "/evil.txt"), "overwritten");

    // Extractions cut short left their temporary files, more than a hundred of them, one a
    // link: the next extraction still writes its members, follows no link and leaves none.
    TempFolder left;
    for (int i = 0; i < 120; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/~vlh%04d.tmp", i);
        write_file(left.path() + name, {'x'});
    }
    ASSERT_EQ(unlink((left.path() + "/~vlh0000.tmp").c_str()), 0);
    ASSERT_EQ(symlink(victim.c_str(), (left.path() + "/~vlh0000.tmp").c_str()), 0);
    write_file(archive, pack({{"a.txt", "first"}, {"b.txt", "second"}}));
    EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(left.path() + "/")), LhaStatus::ok);
    EXPECT_EQ(read_text(left.path() + "/a.txt"), "first");
    EXPECT_EQ(read_text(left.path() + "/b.txt"), "second");
    EXPECT_EQ(read_text(victim), "safe");
    EXPECT_EQ(left.names().size(), 120u) << "two leftovers became the members";
}

TEST(Extract, ResultCodes) {
    TempFolder folder;
    const std::string junk = folder.path() + "/junk.lzh";
    write_file(junk, std::vector<uint8_t>(5000, 'x'));
    const std::string good = folder.path() + "/good.lzh";
    write_file(good, pack({{"a.txt", "a"}}));
    const std::string blocker = folder.path() + "/blocker";
    write_file(blocker, {'x'});
    struct Row {
        std::string line;
        LhaStatus status;
    };
    const Row rows[] = {
        {"E " + quoted(good) + " " + quoted(folder.path() + "/out/"), LhaStatus::ok},
        {"E " + quoted(folder.path() + "/missing.lzh") + " " + quoted(folder.path() + "/out/"), LhaStatus::open_failed},
        {"E " + quoted(junk) + " " + quoted(folder.path() + "/out/"), LhaStatus::not_archive},
        {"E " + quoted(good) + " " + quoted(blocker + "/sub/"), LhaStatus::write_failed},
        {"L " + quoted(good), LhaStatus::bad_command},
        {"E \"" + good, LhaStatus::bad_command},
        {"", LhaStatus::bad_command},
    };
    for (const Row& row : rows) EXPECT_EQ(run(row.line), row.status) << row.line;
}

// The library's callers end the destination with a backslash; the native tool
// takes that as a folder too, as well as a slash or no separator at all.
TEST(Extract, DestinationSeparators) {
    TempFolder folder;
    const std::string archive = folder.path() + "/d.lzh";
    write_file(archive, pack({{"a.txt", "a"}}));
    for (const char* ending : {"\\", "/", "//"}) {
        SCOPED_TRACE(ending);
        TempFolder out;
        EXPECT_EQ(run("E " + quoted(archive) + " " + quoted(out.path() + "/x" + ending)), LhaStatus::ok);
        EXPECT_EQ(read_text(out.path() + "/x/a.txt"), "a");
        EXPECT_EQ(out.names(), Names{"x"});
    }
}
