#include "ui/link_control_win.h"

#include "core/wide_text_win.h"
#include "ui/centring.h"

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr int kLinkTextCapacity = 260;

// Every link is a subclassed static, so one previous procedure serves them all.
WNDPROC g_previous_procedure = nullptr;

// Each link paints with its own underlined copy of the font it was last given, kept in its
// user data and deleted with it or when a new font replaces it: the dialog manager gives the
// dialog's controls new fonts when the dialog moves to a monitor of another scaling.
HFONT LinkFontOf(HWND label) { return reinterpret_cast<HFONT>(GetWindowLongPtrW(label, GWLP_USERDATA)); }

void ReplaceLinkFont(HWND label, HFONT given)
{
    LOGFONTW description = {};
    GetObjectW(given ? static_cast<HGDIOBJ>(given) : GetStockObject(SYSTEM_FONT), sizeof description, &description);
    description.lfUnderline = TRUE;
    const HFONT previous = LinkFontOf(label);
    SetWindowLongPtrW(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(CreateFontIndirectW(&description)));
    if (previous)
        DeleteObject(previous);
}

void OnLinkPaint(HWND label)
{
    RECT client = {};
    GetClientRect(label, &client);
    wchar_t text[kLinkTextCapacity] = {};
    GetWindowTextW(label, text, kLinkTextCapacity);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old_font = SelectObject(dc, LinkFontOf(label));
    SetTextColor(dc, kLinkColour);
    SetBkColor(dc, face);
    SetBkMode(dc, OPAQUE);
    const int length = lstrlenW(text);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text, length, &extent);
    // The text is placed by measurement, so it stays centred whatever font the dialog has.
    TextOutW(dc, CentredOffset(client.right - client.left, extent.cx),
             CentredOffset(client.bottom - client.top, extent.cy), text, length);
    SelectObject(dc, old_font);
    EndPaint(label, &paint);
}

void OnLinkGone(HWND label)
{
    if (const HFONT font = LinkFontOf(label))
        DeleteObject(font);
    SetWindowLongPtrW(label, GWLP_USERDATA, 0);
}

LRESULT CALLBACK LinkProc(HWND label, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT: OnLinkPaint(label); return 0;
    case WM_SETCURSOR: SetCursor(LoadCursorW(nullptr, SystemResource(IDC_HAND))); return 0;
    // The static keeps the font it is given, for whoever asks for it; the link paints with
    // its underlined copy.
    case WM_SETFONT: ReplaceLinkFont(label, reinterpret_cast<HFONT>(wparam)); break;
    case WM_NCDESTROY: OnLinkGone(label); break;
    default: break;
    }
    return CallWindowProcW(g_previous_procedure, label, message, wparam, lparam);
}

}  // namespace

void MakeLinkControl(HWND, HWND label)
{
    if (!label)
        return;
    // A label made a link twice would otherwise hand its messages to itself for ever.
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(label, GWLP_WNDPROC));
    if (current != LinkProc) {
        g_previous_procedure = current;
        SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc));
    }
    ReplaceLinkFont(label, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
}
