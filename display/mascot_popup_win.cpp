#include "display/mascot_popup_win.h"

#include <cstring>

#include "core/application_win.h"

namespace {

Mascot* MascotOf(HWND window) { return reinterpret_cast<Mascot*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

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
        return DefWindowProcA(window, message, wparam, lparam);
    switch (message) {
    case kShowMascotMessage: OnShow(window, *mascot); return 0;
    case WM_DESTROY: return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
    }
}

std::string SourcePathOf(const char* full_path)
{
    // The executable folder, "\Mascots" and one separator come before the source path.
    const size_t skip = g_app.exe_folder.size() + std::strlen("\\Mascots") + 1;
    const size_t length = std::strlen(full_path);
    return length > skip ? std::string(full_path + skip) : std::string();
}

}  // namespace

bool LoadMascot(Mascot&, const char*) { return false; }

bool CreateMascot(Mascot& mascot, const char* full_path)
{
    mascot.width = mascot.height = 100;
    mascot.settings = MascotSettings{};
    mascot.x = mascot.y = 0;
    mascot.current_bitmap_data = nullptr;
    mascot.current_palette = nullptr;
    mascot.tick_counter = 0;
    mascot.name.clear();
    if (full_path)
        mascot.source_path = SourcePathOf(full_path);
    MakeInstanceName(mascot.class_name, sizeof mascot.class_name);

    WNDCLASSEXA& wc = mascot.window_class;
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MascotPopupProc;
    wc.hInstance = g_app.instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = mascot.class_name;
    wc.hIconSm = g_app.small_icon;
    if (!RegisterClassExA(&wc))
        return false;

    mascot.window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, mascot.class_name, nullptr,
                                    WS_POPUP | WS_VISIBLE, 0, 0, mascot.width, mascot.height, nullptr, nullptr,
                                    g_app.instance, nullptr);
    if (!mascot.window)
        return false;
    SetWindowLongPtrA(mascot.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&mascot));

    if (full_path)
        LoadMascot(mascot, full_path);
    SendMessageA(mascot.window, kShowMascotMessage, 0, 0);
    return true;
}

void DestroyMascot(Mascot& mascot)
{
    if (mascot.window && DestroyWindow(mascot.window))
        mascot.window = nullptr;
    mascot.frames.clear();
    UnregisterClassA(mascot.class_name, g_app.instance);
}
