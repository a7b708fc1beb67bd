#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/exclusion_list.h"
#include "core/sheet_state.h"
#include "core/temporary_folder_win.h"
#include "display/monitors.h"
#include "display/mascot_win.h"
#include "display/target_states.h"

// The one process-wide application object; every part of the program reaches it directly.
struct Application {
    NOTIFYICONDATAW tray = {};
    ExclusionList excluded;
    HINSTANCE instance = nullptr;
    HANDLE mutex = nullptr;
    // Icon 102 at the system's small icon size: the windows' small class icon.
    HICON small_icon = nullptr;
    // Icon 102 at the size the notification area shows it, loaded again when that changes.
    HICON tray_icon = nullptr;
    int screen_width = 0;
    int screen_height = 0;
    // Monitors and taskbars, read with the screen size at start and again on every change.
    DisplayLayout display;
    // The taskbars on the other monitors found at the last read; their rectangles are read
    // again whenever a mascot goes to a taskbar.
    std::vector<HWND> other_taskbar_windows;
    // Counts the reads that found a new display layout; a mascot placed under an older count
    // is placed again as if for the first time.
    uint32_t display_generation = 0;
    HWND controller = nullptr;
    HWND taskbar = nullptr;
    HWND desktop = nullptr;
    // The sheet window from its first page's start until the sheet is gone.
    HWND sheet = nullptr;
    SheetState sheet_state = SheetState::Closed;
    HWND target = nullptr;
    Rect32 target_rect;
    // Counts the controller's ticks. What every mascot asks about the target (its monitor's
    // DPI, whether it is cloaked, whether a full-screen program runs) is asked of the system
    // once per tick.
    uint32_t controller_ticks = 0;
    KeptAnswer<uint32_t, int32_t> target_dpi;
    KeptAnswer<uint32_t, bool> target_cloaked;
    KeptAnswer<uint32_t, bool> full_screen_program_runs;
    const wchar_t* class_name = L"Velmo2";
    // From the string table, read at start.
    std::wstring title;
    int timer_period = 100;
    AppSettings settings;
    std::string exe_folder;
    Mascot* menu_subject = nullptr;
    uint32_t last_name_tick = 0;
    UINT_PTR timer_id = 0;
};

extern Application g_app;

// The open sheet is the mascots' target; a closing one no longer is.
inline bool SheetIsOpen() { return g_app.sheet && g_app.sheet_state == SheetState::Open; }

// Fills the application object: names, shell windows, screen size, executable folder and
// the random seed.
void SetUpApplication(HINSTANCE instance);

// A name for a mascot's window class that no earlier call of this run produced.
void MakeInstanceName(char* buffer, size_t capacity);

// The full path of this executable, whatever characters its folders have.
std::string ExecutablePath();
// The help file: the executable's path with everything after its last "." made "hlp".
std::string HelpFilePath();
