#pragma once
#include <cstddef>
#include <string>

// Text the program reads (the definition's name, the comment, the web page) is bytes in code
// page 932. Authors write UTF-8 today, so the kit converts with the program's own converter
// (core/cp932.h) and gets the same bytes on every platform and every system code page.

// Where a character stands in a text: line and column count from 1, columns in characters.
struct TextPosition {
    size_t line = 1;
    size_t column = 1;
};

// A character the code page cannot hold, or bytes that are no character.
struct TextFault {
    TextPosition position;
    char32_t character = 0;   // 0 when the bytes themselves are malformed
};

bool is_valid_utf8(const std::string& text);

// UTF-8 to code page 932. A character without a code of its own is a fault (no look-alike is
// put in its place), and so is malformed UTF-8; out is then incomplete.
bool utf8_to_cp932(const std::string& utf8, std::string& out, TextFault& fault);

// Code page 932 to UTF-8. Bytes that form no character of the code page (a lead byte without
// its trail, a code the code page leaves empty, 0x80, 0xA0, 0xFD to 0xFF) are a fault.
bool cp932_to_utf8(const std::string& bytes, std::string& out, TextFault& fault);

// Code page 932 to UTF-8 for reports: what cannot be decoded shows as U+FFFD.
std::string cp932_for_display(const std::string& bytes);

enum class AuthorEncoding { utf8, cp932 };

// An author's text file in either encoding, as UTF-8: a UTF-8 byte-order mark is dropped;
// text that is valid UTF-8 is taken as UTF-8, anything else must be valid code page 932.
bool author_text_to_utf8(const std::string& bytes, std::string& utf8, AuthorEncoding& found, TextFault& fault);

// A file name in code page 932 as Windows' file systems compare it: letters of every case
// pair the code page holds (ASCII, full-width Latin, Greek, Cyrillic, Roman numerals) fold to
// one, and a trail byte is never taken for an ASCII letter. Two names are the same file when
// their keys are equal; bytes that form no character stay distinct.
std::u32string file_name_key(const std::string& cp932);
bool same_file_name(const std::string& a, const std::string& b);

// "U+301C 〜" for a report.
std::string describe_character(char32_t character);
