// Checks frames on real windows: the region a window gets is exactly the traced shape, the
// desktop shows through transparent pixels and the picture at opaque ones, frames change on
// ticks, and definition files are read through the platform's profile functions.
// Usage: frame_window_check SEED_FOLDER, with the bitmaps make_seeds.sh writes. Prints one
// line per check and exits with the number of failures.
// frame_window_check SEED_FOLDER show: shows the 4-bit seed at (100, 100) over a green
// backdrop, prints "ready" once it is painted and keeps it up for 60 s, for a screenshot.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "display/definition_win.h"
#include "display/frames_win.h"
#include "display/shape_region_win.h"
#include "display/shape_trace.h"
#include "tests/support/anchors.h"

namespace {

int g_failures = 0;

void check(bool ok, const std::string& name, const std::string& detail = "")
{
    std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
    if (!ok)
        ++g_failures;
}

// Which pixels of a width x height area a list of rectangles covers.
std::vector<bool> coverage(const std::vector<RECT>& rects, int width, int height)
{
    std::vector<bool> covered(static_cast<size_t>(width) * height, false);
    for (const RECT& r : rects)
        for (LONG y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, height); ++y)
            for (LONG x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, width); ++x)
                covered[static_cast<size_t>(y) * width + x] = true;
    return covered;
}

std::vector<RECT> region_rects(HRGN region)
{
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<RECT> buffer(size / sizeof(RECT) + 2);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!size || GetRegionData(region, size, data) != size)
        return {};
    const RECT* first = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(first, first + data->rdh.nCount);
}

std::vector<RECT> run_rects(const std::vector<RunRect>& runs)
{
    std::vector<RECT> rects;
    for (const RunRect& run : runs)
        rects.push_back(RECT{run.left, run.top, run.right, run.bottom});
    return rects;
}

LRESULT CALLBACK mascot_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wparam, lparam);
    const Mascot* mascot = reinterpret_cast<const Mascot*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (mascot && mascot->current_bitmap_data) {
        const uint8_t* data = mascot->current_bitmap_data->data();
        SetDIBitsToDevice(dc, 0, 0, mascot->width, mascot->height, 0, 0, 0, mascot->height,
                          data + 40 + 4 * mascot->current_colour_count, reinterpret_cast<const BITMAPINFO*>(data),
                          DIB_RGB_COLORS);
    }
    EndPaint(window, &paint);
    return 0;
}

HWND make_window(const char* class_name, int x, int y, int width, int height)
{
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, class_name, "", WS_POPUP | WS_VISIBLE, x, y, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void pump_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Waits, with the messages running, until the screen pixel has the colour or the deadline passes.
COLORREF wait_for_pixel(int x, int y, COLORREF wanted)
{
    const DWORD deadline = GetTickCount() + 3000;
    COLORREF seen = CLR_INVALID;
    do {
        pump_messages();
        HDC screen = GetDC(nullptr);
        seen = GetPixel(screen, x, y);
        ReleaseDC(nullptr, screen);
        if (seen == wanted)
            break;
        Sleep(20);
    } while (GetTickCount() < deadline);
    return seen;
}

std::string hex(COLORREF colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(colour));
    return text;
}

void check_window_region(const std::string& seeds, const char* file)
{
    const std::string path = seeds + "\\" + file;
    HWND window = make_window("FrameCheckMascot", 40, 40, 100, 100);
    Mascot mascot;
    mascot.window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&mascot));
    if (!AppendFrame(mascot, path, 0)) {
        check(false, std::string("load ") + file);
        DestroyWindow(window);
        return;
    }
    MakeFrameCurrent(mascot, 0, false);
    RECT placed;
    GetWindowRect(window, &placed);
    check(placed.right - placed.left == mascot.width && placed.bottom - placed.top == mascot.height,
          std::string(file) + " window takes the frame size");

    const std::vector<uint8_t>& data = mascot.frames[0].bitmap_data;
    const std::vector<RunRect> runs = trace_shape(data.data(), data.size());
    HRGN given = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, given);
    const std::vector<RECT> rects = region_rects(given);
    check(kind == COMPLEXREGION && coverage(rects, mascot.width, mascot.height) ==
                                       coverage(run_rects(runs), mascot.width, mascot.height),
          std::string(file) + " window region covers exactly the traced runs",
          std::to_string(runs.size()) + " runs, " + std::to_string(rects.size()) + " region rectangles");
    HRGN by_union = region_by_union(runs);
    check(EqualRgn(by_union, given) != 0, std::string(file) + " row bands equal the run-by-run union");
    DeleteObject(by_union);
    DeleteObject(given);
    FreeFrames(mascot);
    DestroyWindow(window);
}

// The 4-bit seed is white with a red disc and a blue top-right pixel: white is transparent.
void check_screen(const std::string& seeds, bool keep_showing)
{
    HWND backdrop = make_window("FrameCheckBackdrop", 0, 0, 300, 300);
    HWND window = make_window("FrameCheckMascot", 100, 100, 100, 100);
    Mascot mascot;
    mascot.window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&mascot));
    if (!AppendFrame(mascot, seeds + "\\four_bit.bmp", 0)) {
        check(false, "load four_bit.bmp");
        return;
    }
    MakeFrameCurrent(mascot, 0, false);
    InvalidateRect(window, nullptr, TRUE);
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 128, 0);
    const COLORREF centre = wait_for_pixel(100 + 15, 100 + 6, red);
    check(centre == red, "opaque pixel shows the picture", hex(centre));
    const COLORREF corner = wait_for_pixel(100 + 29, 100 + 0, blue);
    check(corner == blue, "opaque last pixel of a row shows the picture", hex(corner));
    const COLORREF through = wait_for_pixel(100 + 1, 100 + 1, green);
    check(through == green, "transparent pixel shows what lies behind", hex(through));
    if (keep_showing) {
        std::printf("ready\n");
        std::fflush(stdout);
        const DWORD deadline = GetTickCount() + 60000;
        while (GetTickCount() < deadline) {
            pump_messages();
            Sleep(20);
        }
    }
    FreeFrames(mascot);
    DestroyWindow(window);
    DestroyWindow(backdrop);
}

void check_animation(const std::string& seeds)
{
    HWND window = make_window("FrameCheckMascot", 40, 40, 100, 100);
    Mascot mascot;
    mascot.window = window;
    AppendFrame(mascot, seeds + "\\four_bit.bmp", 2);
    AppendFrame(mascot, seeds + "\\true_colour.bmp", 1);
    MakeFrameCurrent(mascot, 0, false);
    const bool first = !AdvanceFrame(mascot) && mascot.current_frame == 0;
    const bool second = AdvanceFrame(mascot) && mascot.current_frame == 1;
    HRGN given = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(window, given);
    const bool region = EqualRgn(given, mascot.frames[1].shape) != 0;
    const bool third = AdvanceFrame(mascot) && mascot.current_frame == 0;
    check(first && second && third && region, "frames change when their stay runs out and bring their shape");
    DeleteObject(given);
    FreeFrames(mascot);
    check(mascot.current_bitmap_data == nullptr && mascot.frames.empty(), "freed frames leave nothing to paint");
    DestroyWindow(window);
}

void write_file(const std::string& path, const std::string& text)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

struct DefinitionCase {
    const char* name;
    const char* text;
    size_t frames;
    MascotSettings expected;  // anchors only
};

bool same_anchors(const MascotSettings& a, const MascotSettings& b)
{
    return a.PositionX == b.PositionX && a.WidthPerDot == b.WidthPerDot && a.WidthLeftRight == b.WidthLeftRight &&
           a.PositionY == b.PositionY && a.HeightPerDot == b.HeightPerDot && a.HeightTopBottom == b.HeightTopBottom;
}

void check_definitions(const std::string& seeds)
{
    const std::string folder = MascotFolderFor("FrameCheck\\Def.lzh");
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    check(folder == std::string(temp) + "Velmo\\FrameCheck\\Def\\", "mascot folder below the temporary folder", folder);
    CreateDirectoryA((std::string(temp) + "Velmo").c_str(), nullptr);
    CreateDirectoryA((std::string(temp) + "Velmo\\FrameCheck").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA((seeds + "\\four_bit.bmp").c_str(), (folder + "a.bmp").c_str(), FALSE);
    CopyFileA((seeds + "\\eight_bit.bmp").c_str(), (folder + "b.bmp").c_str(), FALSE);
    write_file(folder + "not.bmp", "MB this is no bitmap");

    // The mascot had been moved to 7 dots from the bottom; files without Y keys leave that.
    const DefinitionCase cases[] = {
        {"File1, File2 and File4",
         "[VelmoraData]\r\nName=Tama\r\n[List]\r\nFile1=a.bmp\r\nTime1=5\r\nFile2=b.bmp\r\nTime2=-3\r\n"
         "File4=a.bmp\r\nTime4=1\r\n[Pos]\r\nPosX=30\r\nLeftX=10\r\n",
         2, anchors(30, 1, 1, 7, 0, 0)},
        {"Time2 missing", "[List]\r\nFile1=a.bmp\r\nTime1=5\r\nFile2=b.bmp\r\n[Pos]\r\nRightX=12\r\n", 1,
         anchors(12, 0, 0, 7, 0, 0)},
        {"File1 NoData", "[List]\r\nFile1=NoData\r\nTime1=5\r\n[Pos]\r\nTopY=4\r\n", 0, anchors(75, 1, 1, 4, 0, 1)},
        {"File1 empty", "[List]\r\nFile1=\r\nTime1=5\r\n", 0, anchors(75, 1, 1, 7, 0, 0)},
        {"third frame not a bitmap",
         "[List]\r\nFile1=a.bmp\r\nTime1=1\r\nFile2=b.bmp\r\nTime2=1\r\nFile3=not.bmp\r\nTime3=1\r\n"
         "File4=a.bmp\r\nTime4=1\r\n[Pos]\r\nPosX=-5\r\nUnderY=3\r\n",
         2, anchors(-5, 1, 1, 3, 0, 0)},
    };
    for (const DefinitionCase& c : cases) {
        write_file(folder + "VLD.INI", c.text);
        Mascot mascot;
        mascot.settings = anchors(40, 0, 0, 7, 0, 0);
        const bool ok = ReadDefinition(mascot, folder);
        check(ok && mascot.frames.size() == c.frames && same_anchors(mascot.settings, c.expected),
              std::string("definition: ") + c.name,
              std::to_string(mascot.frames.size()) + " frames, X " + std::to_string(mascot.settings.PositionX) + " Y " +
                  std::to_string(mascot.settings.PositionY));
        FreeFrames(mascot);
    }
    Mascot named;
    write_file(folder + "VLD.INI", "[VelmoraData]\r\nName=Tama\r\n");
    ReadDefinition(named, folder);
    check(named.name == "Tama", "definition name", named.name);

    Mascot restored;
    restored.source_path = "FrameCheck\\Def.lzh";
    restored.name = "kept";
    restored.settings = anchors(40, 0, 0, 7, 0, 0);
    write_file(folder + "VLD.INI", "[Pos]\r\nLeftX=9\r\n");
    RestorePlacementDefaults(restored);
    check(same_anchors(restored.settings, anchors(9, 0, 1, 7, 0, 0)) && restored.name == "kept",
          "restore applies the anchor keys, Y untouched");
    Mascot still;
    still.source_path = "FrameCheck\\Still.bmp";
    still.settings = anchors(40, 0, 0, 7, 0, 0);
    RestorePlacementDefaults(still);
    check(same_anchors(still.settings, anchors(75, 1, 1, 7, 0, 0)), "restore without a definition file");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: frame_window_check SEED_FOLDER\n");
        return 2;
    }
    const std::string seeds = argv[1];
    WNDCLASSA mascot_class = {};
    mascot_class.lpfnWndProc = mascot_proc;
    mascot_class.hInstance = GetModuleHandleA(nullptr);
    mascot_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    mascot_class.lpszClassName = "FrameCheckMascot";
    RegisterClassA(&mascot_class);
    WNDCLASSA backdrop_class = mascot_class;
    backdrop_class.lpfnWndProc = DefWindowProcA;
    backdrop_class.hbrBackground = CreateSolidBrush(RGB(0, 128, 0));
    backdrop_class.lpszClassName = "FrameCheckBackdrop";
    RegisterClassA(&backdrop_class);

    if (argc > 2 && std::string(argv[2]) == "show") {
        check_screen(seeds, true);
        return g_failures;
    }
    for (const char* file : {"four_bit.bmp", "eight_bit.bmp", "true_colour.bmp"})
        check_window_region(seeds, file);
    Mascot refused;
    MascotFrame compressed;
    compressed.path = seeds + "\\eight_bit_rle.bmp";
    check(!LoadFrameBitmap(refused, compressed) && compressed.bitmap_data.empty() && refused.width == 100,
          "compressed rows refused, nothing kept, size untouched");
    check_animation(seeds);
    check_definitions(seeds);
    check_screen(seeds, false);
    std::printf("%d failures\n", g_failures);
    return g_failures;
}
