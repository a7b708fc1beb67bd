// The least program that shows what the mascot benchmark shows: shaped top-most windows on
// their own 100 ms timers, changing frames at a fixed stay. The benchmark runs it beside the
// program so that the figures come out as ratios against the same work done plainly.
//
//     animation_peer.exe <windows> <left> <top> <stay in ticks> <frame.bmp>...
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "display/bitmap_file.h"
#include "display/frames_win.h"

namespace {

struct PeerFrame {
    std::vector<uint8_t> data;  // the file without its file header
    BitmapLayout layout;
    HRGN shape = nullptr;
};

struct PeerWindow {
    size_t frame = 0;
    int ticks = 0;
    HRGN shown_shape = nullptr;
};

std::vector<PeerFrame> g_frames;
std::vector<PeerWindow> g_windows;
int g_stay = 1;

bool ReadFrame(const char* path, PeerFrame& frame)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::vector<uint8_t> bytes;
    uint8_t buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    if (bytes.size() < kBitmapFileHeaderSize)
        return false;
    frame.data.assign(bytes.begin() + kBitmapFileHeaderSize, bytes.end());
    if (read_bitmap_layout(frame.data.data(), frame.data.size(), frame.layout) != LayoutResult::ok)
        return false;
    frame.shape = BuildShapeRegion(frame.data, 1);
    return frame.shape != nullptr;
}

void ShowShape(HWND window, PeerWindow& peer, const PeerFrame& frame)
{
    if (peer.shown_shape && EqualRgn(peer.shown_shape, frame.shape))
        return;
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, frame.shape, nullptr, RGN_COPY);
    SetWindowRgn(window, copy, TRUE);
    peer.shown_shape = frame.shape;
}

void OnTimer(HWND window, PeerWindow& peer)
{
    if (++peer.ticks < g_stay)
        return;
    peer.ticks = 0;
    const size_t next = (peer.frame + 1) % g_frames.size();
    if (next == peer.frame)
        return;
    peer.frame = next;
    ShowShape(window, peer, g_frames[next]);
    InvalidateRect(window, nullptr, FALSE);
}

void OnPaint(HWND window, const PeerWindow& peer)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const PeerFrame& frame = g_frames[peer.frame];
    SetDIBitsToDevice(dc, 0, 0, frame.layout.width, frame.layout.height, 0, 0, 0, frame.layout.height,
                      frame.data.data() + frame.layout.rows_offset,
                      reinterpret_cast<const BITMAPINFO*>(frame.data.data()), DIB_RGB_COLORS);
    EndPaint(window, &paint);
}

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const LONG_PTR index = GetWindowLongPtrA(window, GWLP_USERDATA);
    switch (message) {
    case WM_TIMER: OnTimer(window, g_windows[index]); return 0;
    case WM_PAINT: OnPaint(window, g_windows[index]); return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: animation_peer <windows> <left> <top> <stay in ticks> <frame.bmp>...\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const int left = std::atoi(argv[2]);
    const int top = std::atoi(argv[3]);
    g_stay = std::max(1, std::atoi(argv[4]));
    for (int n = 5; n < argc; ++n) {
        PeerFrame frame;
        if (!ReadFrame(argv[n], frame)) {
            std::fprintf(stderr, "cannot read %s\n", argv[n]);
            return 1;
        }
        g_frames.push_back(std::move(frame));
    }
    g_windows.resize(count);

    WNDCLASSA window_class{};
    window_class.lpfnWndProc = PeerProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    window_class.lpszClassName = "AnimationPeer";
    RegisterClassA(&window_class);
    const BitmapLayout& first = g_frames[0].layout;
    for (int n = 0; n < count; ++n) {
        HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "AnimationPeer", "peer", WS_POPUP, left, top,
                                      first.width, first.height, nullptr, nullptr, window_class.hInstance,
                                      nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, n);
        ShowShape(window, g_windows[n], g_frames[0]);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        SetTimer(window, 1, 100, nullptr);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
