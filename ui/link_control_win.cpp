#include "ui/link_control_win.h"

#include <vector>

#include "core/wide_text_win.h"
#include "ui/centring.h"

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr int kLinkTextCapacity = 260;

// Every link is a subclassed static, so one previous procedure serves them all; the link font
// is the one the newest link was made with, and every link paints with it.
struct LinkState {
    HFONT font = nullptr;
    WNDPROC previous = nullptr;
    // Fonts made for links that may still be shown; they are released together once the last
    // link window is gone, so that opening dialogs again and again does not pile up fonts.
    std::vector<HFONT> fonts;
    int live_links = 0;
};

LinkState g_link;

void ReleaseLinkFonts()
{
    for (HFONT font : g_link.fonts)
        DeleteObject(font);
    g_link.fonts.clear();
    g_link.font = nullptr;
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
    HGDIOBJ old_font = SelectObject(dc, g_link.font);
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

void OnLinkGone()
{
    if (--g_link.live_links <= 0) {
        g_link.live_links = 0;
        ReleaseLinkFonts();
    }
}

LRESULT CALLBACK LinkProc(HWND label, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT: OnLinkPaint(label); return 0;
    case WM_SETCURSOR: SetCursor(LoadCursorW(nullptr, SystemResource(IDC_HAND))); return 0;
    case WM_NCDESTROY: OnLinkGone(); break;
    default: break;
    }
    return CallWindowProcW(g_link.previous, label, message, wparam, lparam);
}

}  // namespace

void MakeLinkControl(HWND, HWND label)
{
    if (!label)
        return;
    LOGFONTW description = {};
    HFONT own_font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    GetObjectW(own_font ? static_cast<HGDIOBJ>(own_font) : GetStockObject(SYSTEM_FONT), sizeof description,
               &description);
    description.lfUnderline = TRUE;
    g_link.font = CreateFontIndirectW(&description);
    g_link.fonts.push_back(g_link.font);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_link.font), FALSE);
    // A label made a link twice would otherwise hand its messages to itself for ever.
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(label, GWLP_WNDPROC));
    if (current == LinkProc)
        return;
    g_link.previous = current;
    SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc));
    ++g_link.live_links;
}
