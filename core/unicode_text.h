#pragma once
#include <string>

// The program keeps its text as UTF-8 in std::string; the Windows layer hands it to the
// platform's wide functions as UTF-16. Both directions are exact for every character.

// Malformed UTF-8 becomes U+FFFD.
std::u16string utf8_to_utf16(const std::string& utf8);
// An unpaired surrogate becomes U+FFFD.
std::string utf16_to_utf8(const std::u16string& utf16);


// Reads one UTF-8 character at `at` and moves past it; false, with `at` unmoved, on a
// malformed, overlong or surrogate sequence.
bool read_utf8_char(const std::string& text, size_t& at, char32_t& c);
void append_utf8(std::string& out, char32_t c);
