#include "display/layered_window_win.h"

#include <cstring>
#include <new>

#include "display/alpha_frame.h"

namespace {

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

UpdateLayeredWindowFn LoadUpdateLayeredWindow()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow")));
}

UpdateLayeredWindowFn UpdateLayeredWindowFunction()
{
    static const UpdateLayeredWindowFn update = LoadUpdateLayeredWindow();
    return update;
}

// A top-down 32-bit section holding the pixels, selected into a memory device context for as
// long as it lives.
class PixelSection {
public:
    PixelSection(HDC screen, int32_t width, int32_t height, const std::vector<uint8_t>& pixels)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap_ || !bits)
            return;
        std::memcpy(bits, pixels.data(), pixels.size());
        dc_ = CreateCompatibleDC(screen);
        if (dc_)
            previous_ = SelectObject(dc_, bitmap_);
    }
    ~PixelSection()
    {
        if (dc_) {
            SelectObject(dc_, previous_);
            DeleteDC(dc_);
        }
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    PixelSection(const PixelSection&) = delete;
    PixelSection& operator=(const PixelSection&) = delete;
    HDC dc() const { return dc_; }

private:
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

bool LayeredWindowsAvailable() { return UpdateLayeredWindowFunction() != nullptr; }

void SetLayeredStyle(HWND window, bool layered)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const LONG_PTR wanted = layered ? (style | WS_EX_LAYERED) : (style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    if (wanted != style)
        SetWindowLongPtrW(window, GWL_EXSTYLE, wanted);
}

bool ShowLayeredFrame(HWND window, const std::vector<uint8_t>& bitmap_data, int32_t scale)
{
    const UpdateLayeredWindowFn update = UpdateLayeredWindowFunction();
    if (!update || !is_alpha_frame_block(bitmap_data.data(), bitmap_data.size()))
        return false;
    std::vector<uint8_t> pixels;
    // A frame too large to scale in this process stays unshown rather than ending it.
    try {
        pixels = layered_pixels(bitmap_data.data(), bitmap_data.size(), scale);
    } catch (const std::bad_alloc&) {
        return false;
    }
    int32_t width = 0, height = 0;
    std::memcpy(&width, bitmap_data.data() + 4, 4);
    std::memcpy(&height, bitmap_data.data() + 8, 4);
    SIZE size = {width * (scale < 1 ? 1 : scale), height * (scale < 1 ? 1 : scale)};
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    bool shown = false;
    {
        PixelSection section(screen, size.cx, size.cy, pixels);
        if (section.dc()) {
            POINT origin = {0, 0};
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            shown = update(window, screen, nullptr, &size, section.dc(), &origin, 0, &blend, ULW_ALPHA) != FALSE;
        }
    }
    ReleaseDC(nullptr, screen);
    return shown;
}
