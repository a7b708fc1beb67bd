#include <gtest/gtest.h>

#include "core/startup_entry.h"

namespace {

const std::string kProgram = "C:\\Tools\\Velmora\\Velmora2.exe";

// Code page 932: 0x81 to 0x9F and 0xE0 to 0xFC begin a two-byte character.
bool Cp932LeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace

TEST(StartupEntry, TheCommandIsTheQuotedPath)
{
    EXPECT_EQ(startup_command_for(kProgram), "\"C:\\Tools\\Velmora\\Velmora2.exe\"");
    EXPECT_EQ(startup_command_for("C:\\Program Files\\V\\Velmora2.exe"), "\"C:\\Program Files\\V\\Velmora2.exe\"");
}

TEST(StartupEntry, WhatTheRunValueNames)
{
    struct Row {
        const char* what;
        bool present;
        uint32_t type;
        std::string data;
        std::string program;
        bool this_program;
        bool something_else;
        std::string other;
    };
    const std::string quoted = "\"" + kProgram + "\"";
    // 0x83 0x5C is a katakana whose second byte is a backslash; 0x83 0x41 one whose second is 'A'.
    const std::string kana_a = "C:\\\x83\x41\\Velmora2.exe";
    const std::string kana_a_lower = "C:\\\x83\x61\\Velmora2.exe";
    const Row rows[] = {
        {"missing", false, 0, "", kProgram, false, false, ""},
        {"this program, quoted, with its NUL", true, 1, quoted + std::string(1, '\0'), kProgram, true, false, ""},
        {"this program without a NUL", true, 1, quoted, kProgram, true, false, ""},
        {"this program in other letter case", true, 1, "\"c:\\tools\\VELMORA\\velmora2.EXE\"", kProgram, true, false,
         ""},
        {"this program unquoted", true, 1, kProgram, kProgram, true, false, ""},
        {"as an expandable string", true, 2, quoted, kProgram, true, false, ""},
        {"text after the NUL is not read", true, 1, quoted + std::string(1, '\0') + "junk", kProgram, true, false, ""},
        {"another copy", true, 1, "\"D:\\Old\\Velmora2.exe\"", kProgram, false, true, "\"D:\\Old\\Velmora2.exe\""},
        {"this program with arguments", true, 1, quoted + " /x", kProgram, false, true, quoted + " /x"},
        {"one quote only", true, 1, "\"" + kProgram, kProgram, false, true, "\"" + kProgram},
        {"empty text", true, 1, "", kProgram, false, true, ""},
        {"not text", true, 4, "\x01\x00\x00\x00", kProgram, false, true, ""},
        {"this program's path unknown", true, 1, quoted, "", false, true, quoted},
        {"a shorter path is another", true, 1, "\"C:\\Tools\\Velmora2.exe\"", kProgram, false, true,
         "\"C:\\Tools\\Velmora2.exe\""},
        {"a two-byte character is compared whole", true, 1, kana_a_lower, kana_a, false, true, kana_a_lower},
        {"the same two-byte character matches", true, 1, "c:\\\x83\x41\\VELMORA2.EXE", kana_a, true, false, ""},
    };
    for (const auto& row : rows) {
        const StartupEntry entry = read_startup_entry(row.present, row.type, row.data, row.program, Cp932LeadByte);
        EXPECT_EQ(entry.names_this_program, row.this_program) << row.what;
        EXPECT_EQ(entry.names_something_else, row.something_else) << row.what;
        EXPECT_EQ(entry.other_command, row.other) << row.what;
    }
}

TEST(StartupEntry, ClosingThePageChangesTheValueOnlyWhenTheBoxChanged)
{
    struct Row {
        bool at_open;
        bool at_close;
        StartupChange expected;
    };
    const Row rows[] = {
        {false, false, StartupChange::None},
        {true, true, StartupChange::None},
        {false, true, StartupChange::Write},
        {true, false, StartupChange::Delete},
    };
    for (const auto& row : rows)
        EXPECT_EQ(startup_change_on_close(row.at_open, row.at_close), row.expected)
            << row.at_open << " -> " << row.at_close;
}

TEST(StartupEntry, AnExpandableValueIsComparedAsWindowsRunsIt)
{
    const ExpandText expand = [](const std::string& text) {
        const std::string variable = "%VelmoraHome%";
        const size_t at = text.find(variable);
        return at == std::string::npos ? text : text.substr(0, at) + "C:\\Tools\\Velmora" + text.substr(at + variable.size());
    };
    const std::string stored = "\"%VelmoraHome%\\Velmora2.exe\"";
    const StartupEntry expandable = read_startup_entry(true, 2, stored + std::string(1, '\0'), kProgram, nullptr, expand);
    EXPECT_TRUE(expandable.names_this_program);
    const StartupEntry plain = read_startup_entry(true, 1, stored, kProgram, nullptr, expand);
    EXPECT_FALSE(plain.names_this_program) << "a plain string is run as it stands";
    EXPECT_EQ(plain.other_command, stored);
    const StartupEntry elsewhere = read_startup_entry(true, 2, "%Other%\\Velmora2.exe", kProgram, nullptr, expand);
    EXPECT_EQ(elsewhere.other_command, "%Other%\\Velmora2.exe") << "shown as stored";
}

TEST(StartupEntry, TaskManagersSwitchOffShowsTheBoxUnticked)
{
    const std::string off = std::string("\x03\0\0\0", 4) + std::string(8, '\x11');
    const std::string on = std::string("\x02\0\0\0", 4) + std::string(8, '\0');
    EXPECT_TRUE(startup_approved_disables(true, off));
    EXPECT_FALSE(startup_approved_disables(true, on));
    EXPECT_FALSE(startup_approved_disables(false, off)) << "no record: on";
    EXPECT_FALSE(startup_approved_disables(true, "")) << "an empty record says nothing";

    StartupEntry entry;
    entry.names_this_program = true;
    EXPECT_TRUE(starts_with_windows(entry));
    entry.disabled = true;
    EXPECT_FALSE(starts_with_windows(entry)) << "Windows will not start it";
    // Ticking the box then writes, which turns the switch on again.
    EXPECT_EQ(startup_change_on_close(starts_with_windows(entry), true), StartupChange::Write);
    entry.names_this_program = false;
    EXPECT_FALSE(starts_with_windows(entry));
}
