#pragma once
#include <windows.h>

#include <string>

#include "core/unicode_text.h"

// The program's UTF-8 text as the UTF-16 that the platform's wide functions take, and back.
// No code page is involved, so the result is the same on every system.

inline std::wstring Wide(const std::string& utf8)
{
    const std::u16string text = utf8_to_utf16(utf8);
    return std::wstring(text.begin(), text.end());
}

inline std::string Utf8(const wchar_t* text, size_t length)
{
    return utf16_to_utf8(std::u16string(reinterpret_cast<const char16_t*>(text), length));
}

inline std::string Utf8(const wchar_t* text) { return Utf8(text, lstrlenW(text)); }

inline std::string Utf8(const std::wstring& text) { return Utf8(text.data(), text.size()); }

// How many UTF-16 units the platform counts in the text: path limits such as MAX_PATH are
// counted in these.
inline size_t WideLength(const std::string& utf8) { return utf8_to_utf16(utf8).size(); }

// A text of the program's string table.
std::wstring ResourceText(UINT id);

// A system cursor or icon (IDC_ARROW, IDI_APPLICATION) for the wide calls: the headers give
// those names in the form that UNICODE picks, and the program does not define UNICODE.
inline LPCWSTR SystemResource(LPCSTR id) { return reinterpret_cast<LPCWSTR>(id); }
