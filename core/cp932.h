#pragma once
#include <cstddef>
#include <string>

// Code page 932, the code page of the stored formats the program shares with earlier versions
// and other tools (definition files, comments, web shortcuts, archive member names, the cache
// file, unlha32's command line). This is the one converter between it and Unicode; it uses a
// table of its own, so the bytes are the same whatever code page the system runs with.

// A byte that starts a two-byte character.
bool is_cp932_lead(unsigned char byte);

// Decodes one character at `at` and moves past it; false (at unchanged) when the bytes form
// none: a lead byte without its trail, a code the code page leaves empty, 0x80, 0xA0, 0xFD-0xFF.
bool decode_cp932_char(const std::string& bytes, size_t& at, char32_t& c);
// Appends the character's code; false when the code page has none for it (no look-alike).
bool encode_cp932_char(char32_t c, std::string& out);

// Code page 932 to UTF-16. Bytes that form no character become U+FFFD and make the answer
// false, so a caller that needs the exact text can refuse it.
bool cp932_to_utf16(const std::string& bytes, std::u16string& out);
// UTF-16 to code page 932; false when a character has no code (or a surrogate is unpaired),
// and out is then incomplete.
bool utf16_to_cp932(const std::u16string& text, std::string& out);

// The same for the program's UTF-8 text.
bool cp932_to_utf8_text(const std::string& bytes, std::string& utf8);
bool utf8_to_cp932_text(const std::string& utf8, std::string& bytes);
