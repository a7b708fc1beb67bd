#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/exclusion_list.h"
#include "core/instance_name.h"
#include "core/single_instance.h"
#include "core/random.h"
#include "core/unicode_text.h"

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

namespace {

// One text in both forms; a row with cp932 == nullptr has a character the code page lacks.
struct Cp932Case {
    const char16_t* utf16;
    const char* cp932;
};

const Cp932Case kRoundTrips[] = {
    {u"", ""},
    {u"Velmora\\Mascots\\tama.lzh", "Velmora\\Mascots\\tama.lzh"},
    {u"ミケ", "\x83\x7E\x83\x50"},
    {u"ネコ\\みけ.lzh", "\x83\x6C\x83\x52\\\x82\xDD\x82\xAF.lzh"},
    {u"表示", "\x95\x5C\x8E\xA6"},     // a trail byte 0x5C is no separator
    {u"ｱｲ", "\xB1\xB2"},                   // half-width katakana, one byte each
    {u"～①", "\x81\x60\x87\x40"},          // full-width tilde, NEC row 13
    {u"閉じる", "\x95\xC2\x82\xB6\x82\xE9"},
    {u"\uE000", "\xF0\x40"},               // the first code of the user-defined rows
};

const char16_t* const kUnmappable[] = {u"Zoë", u"〜", u"한", u"\U0001F600", u"a\xD800" u"b"};

const char* const kUndecodable[] = {"\x83", "a\x80", "\xA0", "\xFD", "\x85\x40", "\x81\x20"};

}  // namespace

TEST(Cp932, RoundTripsEveryRow)
{
    for (const Cp932Case& row : kRoundTrips) {
        std::string bytes;
        ASSERT_TRUE(utf16_to_cp932(row.utf16, bytes)) << row.cp932;
        EXPECT_EQ(bytes, row.cp932);
        std::u16string back;
        ASSERT_TRUE(cp932_to_utf16(bytes, back)) << row.cp932;
        EXPECT_EQ(back, row.utf16) << row.cp932;
        std::string utf8;
        ASSERT_TRUE(cp932_to_utf8_text(bytes, utf8));
        EXPECT_EQ(utf8, utf16_to_utf8(row.utf16));
        std::string again;
        ASSERT_TRUE(utf8_to_cp932_text(utf8, again));
        EXPECT_EQ(again, row.cp932);
    }
}

TEST(Cp932, CharacterWithoutCodeFailsInsteadOfALookAlike)
{
    for (const char16_t* text : kUnmappable) {
        std::string bytes;
        EXPECT_FALSE(utf16_to_cp932(text, bytes));
        EXPECT_EQ(bytes.find('?'), std::string::npos);
        EXPECT_FALSE(utf8_to_cp932_text(utf16_to_utf8(text), bytes));
    }
}

TEST(Cp932, BytesThatFormNoCharacterFailAndShowAsReplacement)
{
    for (const char* bytes : kUndecodable) {
        std::u16string text;
        EXPECT_FALSE(cp932_to_utf16(bytes, text)) << bytes;
        EXPECT_NE(text.find(u'\uFFFD'), std::u16string::npos) << bytes;
    }
}

TEST(UnicodeText, Utf8AndUtf16AreExactBothWays)
{
    for (const char16_t* text : {u"", u"Zoë", u"ネコ\\みけ.lzh", u"\U0001F600x", u"한국"})
        EXPECT_EQ(utf8_to_utf16(utf16_to_utf8(text)), text);
    EXPECT_EQ(utf8_to_utf16("a\xC0\xAF" "b"), u"a\uFFFD\uFFFDb");
    EXPECT_EQ(utf16_to_utf8(u"a\xDC00"), "a\xEF\xBF\xBD");
}
