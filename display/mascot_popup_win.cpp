#include "display/mascot_popup_win.h"

#include <cstring>

#include "core/application_win.h"
#include "core/tray_win.h"
#include "core/wide_text_win.h"
#include "display/definition_win.h"
#include "display/display_scale.h"
#include "display/frames_win.h"
#include "display/mascot_settings_win.h"
#include "display/monitor_dpi_win.h"
#include "display/placement_win.h"
#include "library/lha_commands.h"
#include "library/extraction_folder_win.h"
#include "library/lha_component_win.h"

namespace {

// WM_DPICHANGED, which the program's headers for Windows XP do not define.
constexpr UINT kDpiChangedMessage = 0x02E0;

Mascot* MascotOf(HWND window) { return reinterpret_cast<Mascot*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void HideWindow(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

void OnPaint(HWND window, Mascot& mascot)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (mascot.current_palette) {
        SelectPalette(dc, mascot.current_palette, FALSE);
        RealizePalette(dc);
    }
    // A layered window shows what it was last given and is never painted.
    if (!mascot.layered && mascot.current_bitmap_data && !mascot.current_bitmap_data->empty()) {
        const uint8_t* data = mascot.current_bitmap_data->data();
        uint32_t header_size;
        std::memcpy(&header_size, data, sizeof header_size);
        const uint8_t* rows = data + header_size + 4 * mascot.current_colour_count;
        const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(data);
        if (mascot.scale > 1) {
            // Whole pixel blocks, never blended: pixel art stays sharp at every scale.
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchDIBits(dc, 0, 0, ScaledWidth(mascot), ScaledHeight(mascot), 0, 0, mascot.width, mascot.height, rows,
                          info, DIB_RGB_COLORS, SRCCOPY);
        } else {
            SetDIBitsToDevice(dc, 0, 0, mascot.width, mascot.height, 0, 0, 0, mascot.height, rows, info,
                              DIB_RGB_COLORS);
        }
    }
    EndPaint(window, &paint);
}

// The mascot is drawn at the scale of the monitor it stands on, which the placement chooses;
// a monitor whose scaling changed under it, or a move that Windows made, has it placed again
// at its next tick as a mascot that was never placed. The DPI kept for this tick is out of date.
void OnDpiChanged(Mascot& mascot)
{
    g_app.target_dpi.forget();
    mascot.placed = false;
}

void OnTimer(Mascot& mascot)
{
    PlaceMascot(mascot);
    AdvanceFrame(mascot);
}

bool ModifierHeld()
{
    return (GetKeyState(VK_MENU) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_SHIFT) & 0x8000);
}

void OnMouseMove(HWND window)
{
    if (ModifierHeld() || g_app.settings.MouseOverHide == 1)
        HideWindow(window);
}

void OnLeftButtonDown()
{
    if (SheetIsOpen())
        SetWindowPos(g_app.sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void OnShow(HWND window, Mascot& mascot)
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    mascot.timer_id = SetTimer(window, 1, g_app.timer_period, nullptr);
}

LRESULT CALLBACK MascotPopupProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Mascot* mascot = MascotOf(window);
    if (!mascot)
        return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: OnPaint(window, *mascot); return 0;
    case WM_TIMER: OnTimer(*mascot); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(); return 0;
    case WM_RBUTTONUP: ShowPopupMenu(mascot); return 0;
    case WM_DESTROY: return 0;
    case kShowMascotMessage: OnShow(window, *mascot); return 0;
    case kDpiChangedMessage: OnDpiChanged(*mascot); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

std::string SourcePathOf(const char* full_path)
{
    // The executable folder, "\Mascots" and one separator come before the source path.
    const size_t skip = g_app.exe_folder.size() + std::strlen("\\Mascots") + 1;
    const size_t length = std::strlen(full_path);
    return length > skip ? std::string(full_path + skip) : std::string();
}

bool HasExtension(const std::string& path, const char* extension)
{
    const auto dot = path.find_last_of('.');
    return dot != std::string::npos && lstrcmpiW(Wide(path.substr(dot)).c_str(), Wide(extension).c_str()) == 0;
}

// A PNG or GIF file is a mascot as a bitmap file is; an animated GIF plays its own frames.
bool IsPictureFile(const std::string& path)
{
    return HasExtension(path, ".png") || HasExtension(path, ".gif");
}

bool LoadStillMascot(Mascot& mascot, const std::string& path)
{
    const bool loaded = IsPictureFile(path) ? AppendPictureFrames(mascot, path) : AppendFrame(mascot, path, 0);
    if (!loaded)
        return false;
    mascot.name = mascot.source_path;
    mascot.settings.PositionX = 75;
    mascot.settings.WidthLeftRight = 1;
    mascot.settings.WidthPerDot = 1;
    return true;
}

bool LoadArchiveMascot(Mascot& mascot, const std::string& path)
{
    const std::string folder = MascotFolderFor(mascot.source_path);
    {
        LhaComponent lha;
        if (!lha.loaded())
            return false;
        CreateDirectoryW(Wide(folder).c_str(), nullptr);
        mascot.extracted_folder = folder;
        lha.run(g_app.controller, extract_all_command(path, folder));
    }
    ReadDefinition(mascot, folder);
    if (mascot.name == "NoData")
        mascot.name = mascot.source_path;
    return !mascot.frames.empty();
}

}  // namespace

bool LoadMascot(Mascot& mascot, const char* full_path)
{
    FreeFrames(mascot);
    const std::string path = full_path;
    const bool still = HasExtension(path, ".bmp") || IsPictureFile(path);
    if (!(still ? LoadStillMascot(mascot, path) : LoadArchiveMascot(mascot, path)))
        return false;
    ChooseWindowKind(mascot);
    return true;
}

bool CreateMascot(Mascot& mascot, const char* full_path, UnloadedMascot unloaded)
{
    mascot.width = mascot.height = 100;
    // Frames are shaped at the scale of the target's monitor; the first placement moves the
    // mascot to the scale of the monitor it stands on.
    mascot.dpi = TargetMonitorDpi();
    mascot.scale = scale_for_dpi(mascot.dpi);
    mascot.settings = MascotSettings{};
    mascot.x = mascot.y = 0;
    mascot.current_bitmap_data = nullptr;
    mascot.current_palette = nullptr;
    mascot.tick_counter = 0;
    mascot.name.clear();
    if (full_path)
        mascot.source_path = SourcePathOf(full_path);
    char instance_name[32] = {};
    MakeInstanceName(instance_name, sizeof instance_name);
    lstrcpynW(mascot.class_name, Wide(instance_name).c_str(), 32);

    WNDCLASSEXW& wc = mascot.window_class;
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MascotPopupProc;
    wc.hInstance = g_app.instance;
    wc.hCursor = LoadCursorW(nullptr, SystemResource(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = mascot.class_name;
    wc.hIconSm = g_app.small_icon;
    if (!RegisterClassExW(&wc))
        return false;

    // A mascot that may be given up is created hidden, so that nothing flashes on the screen
    // when its file does not load; the show message below shows it otherwise.
    const DWORD visible = unloaded == UnloadedMascot::show_empty ? WS_VISIBLE : 0;
    mascot.window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, mascot.class_name, nullptr,
                                    WS_POPUP | visible, 0, 0, ScaledWidth(mascot), ScaledHeight(mascot), nullptr, nullptr,
                                    g_app.instance, nullptr);
    if (!mascot.window) {
        UnregisterClassW(mascot.class_name, g_app.instance);
        return false;
    }
    SetWindowLongPtrW(mascot.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&mascot));

    const bool loaded = full_path && LoadMascot(mascot, full_path);
    if (loaded) {
        MakeFrameCurrent(mascot, 0, false);
        LoadMascotSettings(mascot);
        PlaceMascot(mascot);
    } else if (unloaded == UnloadedMascot::discard) {
        DestroyMascot(mascot);
        return false;
    }
    SendMessageW(mascot.window, kShowMascotMessage, 0, 0);
    return loaded;
}

void DestroyMascot(Mascot& mascot)
{
    // A command of a menu opened on this mascot may still be queued; it must find no mascot.
    if (g_app.menu_subject == &mascot)
        g_app.menu_subject = nullptr;
    if (mascot.window && DestroyWindow(mascot.window))
        mascot.window = nullptr;
    FreeFrames(mascot);
    UnregisterClassW(mascot.class_name, g_app.instance);
    // Its frames are in memory and its information dialog copies what it shows, so nothing
    // reads the extracted files any more.
    if (!mascot.extracted_folder.empty()) {
        RemoveMascotFolder(mascot.extracted_folder);
        mascot.extracted_folder.clear();
    }
}
