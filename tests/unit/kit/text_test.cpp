#include <gtest/gtest.h>

#include "kit/cp932.h"
#include "display/profile_text.h"

namespace {

struct EncodeCase {
    const char* utf8;
    bool ok;
    const char* cp932;       // expected bytes when ok
    char32_t character;      // the character at fault otherwise (0: malformed UTF-8)
    size_t line, column;
};

const EncodeCase kEncodeCases[] = {
    {"ミケ", true, "\x83\x7E\x83\x50", 0, 0, 0},
    {"abc\\~", true, "abc\\~", 0, 0, 0},
    {"ｱｲ", true, "\xB1\xB2", 0, 0, 0},                      // half-width katakana, one byte each
    {"～", true, "\x81\x60", 0, 0, 0},                      // the full-width tilde is the code page's wave dash
    {"①", true, "\x87\x40", 0, 0, 0},                       // NEC row 13
    {"≒", true, "\x81\xE0", 0, 0, 0},                       // shared by two rows: Windows picks 0x81E0
    {"表示", true, "\x95\x5C\x8E\xA6", 0, 0, 0},            // a trail byte 0x5C
    {"a\n〜", false, "", 0x301C, 2, 1},                     // the wave dash U+301C has no code
    {"ok\xC3\xA9", false, "", 0xE9, 1, 3},                  // é
    {"😀", false, "", 0x1F600, 1, 1},
    {"ab\xE3\x81", false, "", 0, 1, 3},                     // cut short
    {"\xC0\xAF", false, "", 0, 1, 1},                       // overlong
    {"\xED\xA0\x80", false, "", 0, 1, 1},                   // a surrogate
};

TEST(Cp932, EncodesOrNamesTheCharacterAtFault)
{
    for (const EncodeCase& row : kEncodeCases) {
        std::string out;
        TextFault fault;
        ASSERT_EQ(utf8_to_cp932(row.utf8, out, fault), row.ok) << row.utf8;
        if (row.ok) {
            EXPECT_EQ(out, row.cp932) << row.utf8;
        } else {
            EXPECT_EQ(fault.character, row.character) << row.utf8;
            EXPECT_EQ(fault.position.line, row.line) << row.utf8;
            EXPECT_EQ(fault.position.column, row.column) << row.utf8;
        }
    }
}

struct FileNameCase {
    const char* a;   // UTF-8, compared as the code page 932 names they become
    const char* b;
    bool same;
};

const FileNameCase kFileNameCases[] = {
    {"Idle.BMP", "idle.bmp", true},
    {"α.bmp", "Α.bmp", true},       // Greek
    {"ａ.bmp", "Ａ.bmp", true},     // full-width Latin
    {"я.bmp", "Я.bmp", true},       // Cyrillic
    {"ё.bmp", "Ё.bmp", true},       // Cyrillic outside the run of 32
    {"ⅰ.bmp", "Ⅰ.bmp", true},       // Roman numerals, an IBM and a NEC row
    {"ア.bmp", "ヂ.bmp", false},    // trail bytes 0x41 and 0x61 are no letters
    {"ア.bmp", "ャ.bmp", false},
    {"α.bmp", "β.bmp", false},
    {"ａ.bmp", "a.bmp", false},     // full-width and ASCII are different files
    {"ミケ1.bmp", "ミケ1.bmp", true},
};

TEST(Cp932, FileNamesMatchAsWindowsFileSystemsMatchThem)
{
    for (const FileNameCase& row : kFileNameCases) {
        std::string a, b;
        TextFault fault;
        ASSERT_TRUE(utf8_to_cp932(row.a, a, fault) && utf8_to_cp932(row.b, b, fault)) << row.a;
        EXPECT_EQ(same_file_name(a, b), row.same) << row.a << " " << row.b;
        EXPECT_EQ(same_file_name(b, a), row.same) << row.b << " " << row.a;
    }
    // Bytes that form no character match only themselves.
    EXPECT_FALSE(same_file_name("\x83", "\xA3"));
    EXPECT_TRUE(same_file_name("\xFD.bmp", "\xFD.BMP"));
    EXPECT_FALSE(same_file_name("\xFD", "\xFE"));
}

struct DecodeCase {
    const char* cp932;
    bool ok;
    const char* utf8;
};

const DecodeCase kDecodeCases[] = {
    {"\x83\x7E\x83\x50", true, "ミケ"},
    {"\x87\x90", true, "≒"},       // the NEC duplicate still decodes
    {"\xB1", true, "ｱ"},
    {"\x80", false, ""},
    {"\xA0", false, ""},
    {"\xFD", false, ""},
    {"\x83", false, ""},           // a lead byte without its trail
    {"\x85\x40", false, ""},       // an empty row
    {"\xE3\x83\x9F", false, ""},   // UTF-8 for ミ: 0xE3 0x83 is a code, 0x9F then stands alone
};

TEST(Cp932, DecodesOnlyTheCodePagesCharacters)
{
    for (const DecodeCase& row : kDecodeCases) {
        std::string out;
        TextFault fault;
        EXPECT_EQ(cp932_to_utf8(row.cp932, out, fault), row.ok) << row.utf8;
        if (row.ok) {
            EXPECT_EQ(out, row.utf8);
        }
    }
}

TEST(Cp932, AuthorTextIsUtf8WhenItCanBeAndCodePage932Otherwise)
{
    struct Case {
        std::string bytes;
        bool ok;
        AuthorEncoding encoding;
        const char* utf8;
    };
    const Case cases[] = {
        {"Name=ミケ", true, AuthorEncoding::utf8, "Name=ミケ"},
        {"\xEF\xBB\xBFName=ミケ", true, AuthorEncoding::utf8, "Name=ミケ"},
        {"Name=\x83\x7E\x83\x50", true, AuthorEncoding::cp932, "Name=ミケ"},
        {"\xEF\xBB\xBF\x83\x7E", false, AuthorEncoding::utf8, ""},   // marked UTF-8 but is not
        {"\x80\x80", false, AuthorEncoding::cp932, ""},
    };
    for (const Case& row : cases) {
        std::string utf8;
        AuthorEncoding found;
        TextFault fault;
        EXPECT_EQ(author_text_to_utf8(row.bytes, utf8, found, fault), row.ok) << row.bytes;
        EXPECT_EQ(found, row.encoding) << row.bytes;
        if (row.ok) {
            EXPECT_EQ(utf8, row.utf8);
        }
    }
}

const char kProfile[] =
    "; a comment line\r\n"
    "Stray=before any section\r\n"
    "[VelmoraData]\r\n"
    "  name  =  ミケ  \r\n"
    "Name=second\r\n"
    "Quoted=\"a b\"\r\n"
    "Half=\"a\r\n"
    "[list]\n"
    "Time1=-40\n"
    "Time2=\n"
    "Time3=abc\n"
    "Time4=12abc\n"
    "Time5=+7\n"
    "Time6=4294967295\n"
    "[VelmoraData]\r\n"
    "Icon16=later.ico\r\n";

TEST(ProfileText, ReadsKeysAsThePlatformDoes)
{
    ProfileText profile(kProfile);
    struct TextCase {
        const char *section, *key, *expected;
    };
    const TextCase texts[] = {
        {"VELMORADATA", "NAME", "ミケ"},       // case ignored, blanks dropped, first key answers
        {"VelmoraData", "Quoted", "a b"},
        {"VelmoraData", "Half", "\"a"},        // quotes go only in pairs
        {"VelmoraData", "Icon16", "NoData"},   // the first section of the name answers alone
        {"VelmoraData", "Stray", "NoData"},
        {"List", "Time9", "NoData"},
    };
    for (const TextCase& row : texts)
        EXPECT_EQ(profile.read_text(row.section, row.key, "NoData"), row.expected) << row.key;

    struct IntCase {
        const char* key;
        int32_t expected;
    };
    const IntCase numbers[] = {{"Time1", -40}, {"Time2", 9999}, {"Time3", 0},  {"Time4", 12},
                               {"Time5", 7},   {"Time6", -1},   {"Time7", 9999}};
    for (const IntCase& row : numbers)
        EXPECT_EQ(profile.read_int("List", row.key, 9999), row.expected) << row.key;

    const ProfileText::Entry* name = profile.find("VelmoraData", "Name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->line, 4u);
    EXPECT_EQ(name->value_column, 12u);
}

TEST(ProfileText, CutsLongTextAt260Bytes)
{
    ProfileText profile("[S]\nK=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(profile.read_text("S", "K", "").size(), 260u);
}

}  // namespace
