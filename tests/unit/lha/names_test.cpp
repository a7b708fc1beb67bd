// Member names, wildcard selection and command lines: the rules that decide what
// is written where.
#include <gtest/gtest.h>

#include "lha/command_line.h"
#include "lha/member_name.h"
#include "lha/wildcard.h"

TEST(MemberName, LastComponent) {
    struct Row {
        std::string path;
        std::string flat;
    };
    const Row rows[] = {
        {"a.txt", "a.txt"},
        {"dir\\a.txt", "a.txt"},
        {"dir/sub/a.txt", "a.txt"},
        {"dir\xff" "a.txt", "a.txt"},
        {"C:\\Windows\\evil.dll", "evil.dll"},
        {"/etc/passwd", "passwd"},
        {"..\\..\\x.ini", "x.ini"},
        {"dir\\", ""},
        // 0x95 0x5C is one character (a kanji); its trail byte is not a separator.
        {"\x95\x5c.bmp", "\x95\x5c.bmp"},
        {"dir\\\x95\x5c\x95\x5c.ico", "\x95\x5c\x95\x5c.ico"},
        // A lone lead byte at the end takes nothing with it.
        {"a\\\x95", "\x95"},
        {"name. . .", "name. . ."},
    };
    for (const Row& row : rows) EXPECT_EQ(last_name_component(row.path), row.flat) << row.path;
}

TEST(MemberName, FlatNameDropsTrailingDotsAndSpaces) {
    struct Row {
        std::string path;
        std::string flat;
    };
    const Row rows[] = {
        {"GPL-2.", "GPL-2"}, {"dir\\name. . ", "name"}, {"..", ".."}, {".", "."}, {"...", ".."}, {"a.b", "a.b"},
    };
    for (const Row& row : rows) EXPECT_EQ(flat_name_of(row.path), row.flat) << row.path;
}

TEST(MemberName, SafeNames) {
    struct Row {
        std::string name;
        bool safe;
    };
    const Row rows[] = {
        {"VLD.INI", true},
        {"frame01.bmp", true},
        {"\x95\x5c.bmp", true},          // kanji with a 0x5C trail byte
        {"\xb1\xb2.txt", true},          // half-width katakana
        {"com10", true},
        {"CONSOLE.txt", true},
        {"", false},
        {".", false},
        {"..", false},
        {"CON", false},
        {"con.txt", false},
        {"Nul.ini", false},
        {"PRN", false},
        {"aux.bmp", false},
        {"COM1", false},
        {"com9.log", false},
        {"LPT1", false},
        {"lpt3.x.y", false},
        {"CON .txt", false},
        {"CLOCK$", false},
        {"a:b", false},
        {"C:", false},
        {"a\\b", false},
        {"a/b", false},
        {"x\x01y", false},
        {"\x1b]2;title\x07", false},
        {"tab\there", false},
        {"del\x7f", false},
        {"star*", false},
        {"what?", false},
        {"pipe|", false},
        {"trail.", false},
        {"trail ", false},
        {"\x95", false},                 // lead byte without its trail byte
        {"\x95\x20", false},             // trail byte out of range
        {"\xfd.txt", false},
    };
    for (const Row& row : rows) EXPECT_EQ(is_safe_flat_name(row.name), row.safe) << row.name;
}

TEST(Wildcard, Match) {
    struct Row {
        std::string pattern;
        std::string name;
        bool match;
    };
    const Row rows[] = {
        {"*.*", "VLD.INI", true},
        {"*.*", "README", true},
        {"*", "a.b", true},
        {"VLD.INI", "vld.ini", true},
        {"vld.ini", "VLD.INI", true},
        {"VLD.INI", "VLD.INI.bak", false},
        {"*.ico", "icon.ICO", true},
        {"*.ico", "icon.ico.bmp", false},
        {"*.ico", "ico", false},
        {"?.bmp", "a.bmp", true},
        {"?.bmp", "ab.bmp", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*a", "banana", true},
        {"", "", true},
        {"", "a", false},
        // A double-byte character is one character for '?' and is not case-folded.
        {"?.bmp", "\x95\x5c.bmp", true},
        {"\x82\x60*", "\x82\x60.txt", true},
        {"\x82\x81*", "\x82\x60.txt", false},
    };
    for (const Row& row : rows) EXPECT_EQ(wildcard_match(row.pattern, row.name), row.match) << row.pattern << " / " << row.name;
}

TEST(CommandLine, Words) {
    struct Row {
        std::string line;
        bool ok;
        std::vector<std::string> words;
    };
    const Row rows[] = {
        {"E a.lzh", true, {"E", "a.lzh"}},
        {"E \"C:\\My Mascots\\t.lzh\" \"C:\\Temp\\Velmo\\\" *.*", true,
         {"E", "C:\\My Mascots\\t.lzh", "C:\\Temp\\Velmo\\", "*.*"}},
        {"  E   x  ", true, {"E", "x"}},
        {"E \"\" x", true, {"E", "", "x"}},
        {"E \"open", false, {}},
        {"", true, {}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> words;
        EXPECT_EQ(split_command_words(row.line, words), row.ok) << row.line;
        if (row.ok) {
            EXPECT_EQ(words, row.words) << row.line;
        }
    }
}

TEST(CommandLine, ExtractCommand) {
    struct Row {
        std::vector<std::string> words;
        bool ok;
        std::string archive, destination;
        std::vector<std::string> patterns;
    };
    const Row rows[] = {
        {{"E", "C:\\m\\t.lzh", "C:\\Temp\\Velmo\\", "VLD.INI", "*.ico", "-a1", "-c1", "-m1", "-n1", "-s1", "-y1"},
         true, "C:\\m\\t.lzh", "C:\\Temp\\Velmo\\", {"VLD.INI", "*.ico"}},
        {{"E", "t.lzh", "out/", "*.*", "-y1"}, true, "t.lzh", "out/", {"*.*"}},
        {{"e", "t.lzh"}, true, "t.lzh", "", {}},
        {{"E", "-y1", "t.lzh", "-zz", "pat"}, true, "t.lzh", "", {"pat"}},
        // A word without a trailing separator is a pattern, not a destination.
        {{"E", "t.lzh", "out", "*.*"}, true, "t.lzh", "", {"out", "*.*"}},
        {{"E", "t.lzh", "a.txt", "out\\"}, true, "t.lzh", "", {"a.txt", "out\\"}},
        {{"X", "t.lzh", "out\\"}, false, "", "", {}},
        {{"E"}, false, "", "", {}},
        {{"E", "-a1"}, false, "", "", {}},
        {{"E", "", "out\\"}, false, "", "", {}},
        {{}, false, "", "", {}},
    };
    for (const Row& row : rows) {
        ExtractCommand command;
        const bool ok = parse_extract_command(row.words, command);
        EXPECT_EQ(ok, row.ok) << ::testing::PrintToString(row.words);
        if (!ok) continue;
        EXPECT_EQ(command.archive, row.archive);
        EXPECT_EQ(command.destination, row.destination);
        EXPECT_EQ(command.patterns, row.patterns);
    }
}
