#include "core/controller_win.h"

#include <commctrl.h>

#include "core/application_win.h"
#include "core/display_layout_win.h"
#include "core/help_win.h"
#include "core/popup_menu.h"
#include "core/roster_win.h"
#include "core/settings_win.h"
#include "core/tray_win.h"
#include "core/wide_text_win.h"
#include "library/library_scan_win.h"
#include "library/mascot_cache_win.h"
#include "resources/icon_ids.h"
#include "resources/about_dialog_ids.h"
#include "resources/mascot_info_dialog_ids.h"
#include "resources/menu_popup_ids.h"
#include "ui/about_box_win.h"
#include "ui/dialog_font_win.h"
#include "ui/general_page_win.h"
#include "ui/mascot_info_win.h"
#include "ui/mascot_page_win.h"
#include "ui/settings_sheet_win.h"

namespace {

// Posted to itself once started, so that the mascots show first.
constexpr UINT kPrepareShellIconsMessage = WM_USER + 2;

// WM_DPICHANGED, which the program's headers for Windows XP do not define.
constexpr UINT kDpiChangedMessage = 0x02E0;
// Offers the tray icon again while the taskbar refuses it.
constexpr UINT_PTR kTrayRetryTimer = 2;

UINT g_taskbar_created_message = 0;
bool g_saved_for_session_end = false;
int g_tray_refusals = 0;

// Adds the tray icon; a refusal is tried again by the retry timer, within a bound.
void OfferTrayIcon(HWND window)
{
    if (AddTrayIcon()) {
        g_tray_refusals = 0;
        KillTimer(window, kTrayRetryTimer);
        return;
    }
    const unsigned delay = tray_retry_delay(++g_tray_refusals);
    if (delay)
        SetTimer(window, kTrayRetryTimer, delay, nullptr);
    else
        KillTimer(window, kTrayRetryTimer);
}

void OnCreate(HWND window)
{
    InitCommonControls();
    g_app.controller = window;
    OfferTrayIcon(window);
    RECT taskbar = {};
    GetWindowRect(g_app.taskbar, &taskbar);
    SetWindowPos(window, HWND_TOP, taskbar.left, taskbar.top, taskbar.right - taskbar.left,
                 taskbar.bottom - taskbar.top, 0);
    g_app.timer_id = SetTimer(window, 1, g_app.timer_period, nullptr);
    PostMessageW(window, kPrepareShellIconsMessage, 0, 0);
}

void OnDestroy(HWND window)
{
    KillTimer(window, g_app.timer_id);
    KillTimer(window, kTrayRetryTimer);
    RemoveTrayIcon();
    PostQuitMessage(0);
}

void ShowAboutBox(HWND window)
{
    ShowDialog(IDD_ABOUT, window, AboutBoxProc, 0);
}

void ShowMascotInfo(HWND window)
{
    ShowDialog(IDD_MASCOT_INFO, window, MascotInfoProc, reinterpret_cast<LPARAM>(g_app.menu_subject));
}

void OnCommand(HWND window, WORD id)
{
    // What the menu greys while the sheet exists is refused however the command arrives: an
    // exit under the sheet's loop would save an empty roster, a second sheet would share the
    // first one's state.
    const PopupMenuStates allowed = PopupMenuStatesFor(g_app.sheet_state, true);
    switch (id) {
    case IDM_EXIT: if (allowed.exit) PostMessageW(window, WM_DESTROY, 0, 0); break;
    case IDM_SETTINGS: if (allowed.settings) OpenSettingsSheet(); break;
    case IDM_HELP: OpenHelpContents(g_app.controller); break;
    case IDM_VERSION: if (allowed.version) ShowAboutBox(window); break;
    case IDM_ABOUT_MASCOT: ShowMascotInfo(window); break;
    default: break;
    }
}

void OnTrayCallback(LPARAM mouse_message)
{
    if (mouse_message == WM_RBUTTONDOWN)
        ShowPopupMenu(nullptr);
}

// Windows ends the process right after this message, so the settings are written here as
// the exit command would write them; without it a shut-down would lose every change.
void OnEndSession(WPARAM ending)
{
    if (!ending || g_saved_for_session_end)
        return;
    g_saved_for_session_end = true;
    SaveEverything();
}

void OnTimer(HWND window, WPARAM id)
{
    if (id == kTrayRetryTimer)
        OfferTrayIcon(window);
    else
        Tick();
}

void OnActivate()
{
    if (SheetIsOpen())
        SetFocus(g_app.sheet);
}

LRESULT CALLBACK ControllerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_ACTIVATE: OnActivate(); return 0;
    case WM_COMMAND: OnCommand(window, LOWORD(wparam)); return 0;
    case WM_TIMER: OnTimer(window, wparam); return 0;
    case WM_USER: OnTrayCallback(lparam); return 0;
    case kPrepareShellIconsMessage: PrepareShellIcons(); return 0;
    case WM_ENDSESSION: OnEndSession(wparam); return 0;
    // Monitors added, removed or rearranged, the work area or the taskbar changed.
    case WM_DISPLAYCHANGE: ReadDisplayLayout(); return 0;
    case WM_SETTINGCHANGE: ReadDisplayLayout(); return 0;
    // The controller lies over the taskbar: the notification area's scaling changed.
    case kDpiChangedMessage: ReloadTrayIcon(true); return 0;
    default: break;
    }
    // The shell announces a restarted taskbar: a new taskbar window, and the tray icon has to
    // be added again.
    if (message == g_taskbar_created_message && message != 0) {
        ReadDisplayLayout();
        // The shell restarts its taskbar after a change of scaling too, at another icon size.
        ReloadTrayIcon(false);
        g_tray_refusals = 0;
        OfferTrayIcon(window);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void SaveEverything()
{
    if (SheetIsOpen()) {
        // The open sheet has stopped every mascot; what runs next is what its page would start.
        SaveSettings(SaveMascotPageForSessionEnd(g_app.sheet));
        ApplyGeneralPageForSessionEnd(g_app.sheet);
    } else {
        SaveSettings(RunningSourcePaths());
        // A sheet closing under a nested dialog still holds its general page, which applies
        // its box only when it goes: after this message, too late.
        if (g_app.sheet)
            ApplyGeneralPageForSessionEnd(g_app.sheet);
    }
    SaveCache();
}

bool RegisterControllerClass()
{
    g_taskbar_created_message = RegisterWindowMessageW(L"TaskbarCreated");
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ControllerProc;
    wc.hInstance = g_app.instance;
    wc.hIcon = LoadIconW(g_app.instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    wc.hIconSm = g_app.small_icon;
    wc.hCursor = LoadCursorW(nullptr, SystemResource(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = g_app.class_name;
    return RegisterClassExW(&wc) != 0;
}

HWND CreateControllerWindow()
{
    return CreateWindowExW(WS_EX_TOOLWINDOW, g_app.class_name, g_app.title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           nullptr, nullptr, g_app.instance, nullptr);
}
