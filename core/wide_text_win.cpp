#include "core/wide_text_win.h"

#include "core/application_win.h"

std::wstring ResourceText(UINT id)
{
    // With a zero length LoadStringW hands out a pointer into the resource itself, which is
    // not terminated; the length it returns is the text's.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(g_app.instance ? g_app.instance : GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
