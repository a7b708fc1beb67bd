#include <gtest/gtest.h>

#include "core/exclusion_list.h"
#include "core/instance_name.h"
#include "core/random.h"

TEST(Random, KnownSequenceFromSeed)
{
    RandomGenerator generator;
    seed_random(generator, 0);
    // state 2531011 -> 38; 505908858 -> 7719; 3539360597 -> 21238 (bit 31 dropped)
    EXPECT_EQ(next_random(generator), 38);
    EXPECT_EQ(next_random(generator), 7719);
    EXPECT_EQ(next_random(generator), 21238);
}

TEST(Random, SeedIsTickModulo65535)
{
    RandomGenerator a, b;
    seed_random(a, 65535 + 12);
    seed_random(b, 12);
    EXPECT_EQ(a.state, 12u);
    EXPECT_EQ(next_random(a), next_random(b));
    for (int i = 0; i < 10000; ++i) {
        const int r = next_random(a);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST(ExclusionList, OrderAndCaseAreByteWise)
{
    ExclusionList list;
    for (const char* name : {"notepad.exe", "Notepad.exe", "calc.exe", "notepad", "notepad.exe", "\x83\x5c.exe"})
        list.add(name);
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"Notepad.exe", "calc.exe", "notepad", "notepad.exe",
                                                         "\x83\x5c.exe"}));
    EXPECT_TRUE(list.contains("Notepad.exe"));
    EXPECT_FALSE(list.contains("NOTEPAD.EXE"));
    list.remove("NOTEPAD.EXE");
    EXPECT_EQ(list.entries().size(), 5u);
    list.remove("notepad");
    EXPECT_FALSE(list.contains("notepad"));
}

// Lead bytes of code page 932.
static bool Cp932LeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

TEST(ExclusionList, ProgramFileName)
{
    struct Row {
        const char* path;
        LeadBytePredicate lead;
        const char* name;
    };
    // 表 is 95 5C and ソ is 83 5C in code page 932.
    const Row rows[] = {
        {"C:\\Tools\\Editor.exe", nullptr, "Editor.exe"},
        {"Editor.exe", nullptr, "Editor.exe"},
        {"C:\\Tools\\", nullptr, ""},
        {"", Cp932LeadByte, ""},
        {"C:\\Tools\\Editor.exe", Cp932LeadByte, "Editor.exe"},
        {"C:\\Tools\\\x95\x5C.exe", Cp932LeadByte, "\x95\x5C.exe"},
        {"C:\\\x83\x5C\\a.exe", Cp932LeadByte, "a.exe"},
        {"\x83\x5C\x95\x5C", Cp932LeadByte, "\x83\x5C\x95\x5C"},
        {"C:\\x\\\x95", Cp932LeadByte, "\x95"},  // a lead byte cut off at the end
        {"C:\\Tools\\\x95\x5C.exe", nullptr, ".exe"},  // single-byte text: every 5C is a backslash
    };
    for (const Row& row : rows)
        EXPECT_EQ(program_file_name(row.path, row.lead), row.name) << row.path;
}

TEST(InstanceName, TakesTheNextNumberInsteadOfWaitingForTheTick)
{
    uint32_t last = 0;
    std::vector<uint32_t> ticks = {0x1A2B3C, 0x1A2B3C, 0x1A2B3D, 0x1A2B40};
    size_t calls = 0;
    auto tick = [&] { return ticks[std::min(calls++, ticks.size() - 1)]; };
    for (const char* name : {"Mascot1A2B3C", "Mascot1A2B3D", "Mascot1A2B3E", "Mascot1A2B40"})
        EXPECT_EQ(make_instance_name(last, tick, 32), name);
    EXPECT_EQ(calls, 4u) << "the clock is asked once per name";
    EXPECT_EQ(last, 0x1A2B40u);

    last = 0xFFFFFFF0u;
    EXPECT_EQ(make_instance_name(last, [] { return 5u; }, 32), "Mascot5") << "the clock wrapped";
    EXPECT_EQ(make_instance_name(last, [] { return 4u; }, 32), "Mascot6") << "a tick behind the last name";
}

TEST(InstanceName, AnotherInstanceRunsWhenTheMutexExistedOrIsDenied)
{
    const struct {
        bool created;
        uint32_t error;
        bool runs;
    } rows[] = {
        {true, 0, false},     // the first instance
        {true, 183, true},    // ERROR_ALREADY_EXISTS: opened the running instance's mutex
        {false, 5, true},     // ERROR_ACCESS_DENIED: held at a higher integrity level
        {false, 87, false},   // any other failure proves nothing: the program starts
        {false, 0, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(another_instance_runs(row.created, row.error), row.runs) << row.created << " " << row.error;
}

TEST(InstanceName, CutToCapacity)
{
    uint32_t last = 0;
    EXPECT_EQ(make_instance_name(last, [] { return 0xFFFFFFFFu; }, 8), "MascotF");
}
