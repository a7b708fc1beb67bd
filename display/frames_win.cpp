#include "display/frames_win.h"

#include <new>
#include <utility>

#include "core/random.h"
#include "core/wide_text_win.h"
#include "display/alpha_frame.h"
#include "display/bitmap_file.h"
#include "display/display_scale.h"
#include "display/frame_clock.h"
#include "display/layered_window_win.h"
#include "display/picture_file.h"
#include "display/shape_region_win.h"
#include "display/shared_read_win.h"
#include "display/shape_trace.h"

namespace {

// Closes the file however the load ends.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool read_exactly(HANDLE file, void* buffer, DWORD size)
{
    DWORD read = 0;
    return ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

// Reads the bitmap data block of a frame file, or nothing when the file is no frame bitmap.
bool read_bitmap_data(const std::string& path, std::vector<uint8_t>& data)
{
    FileHandle file(OpenSharedRead(path));
    if (file.get() == INVALID_HANDLE_VALUE)
        return false;
    uint8_t header_bytes[kBitmapFileHeaderSize];
    if (!read_exactly(file.get(), header_bytes, sizeof header_bytes))
        return false;
    BitmapFileHeader header;
    if (read_file_header(header_bytes, sizeof header_bytes, header) != FileHeaderResult::ok)
        return false;
    // The stated size is checked against the file before anything that large is allocated.
    DWORD size_high = 0;
    const DWORD file_size = GetFileSize(file.get(), &size_high);
    if (file_size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return false;
    if (size_high == 0 && header.data_size > file_size - kBitmapFileHeaderSize)
        return false;
    // A file large enough to exist yet too large for this process is a failed load, not an
    // exception escaping into the window procedure that loads frames.
    try {
        data.assign(header.data_size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!read_exactly(file.get(), data.data(), header.data_size)) {
        std::vector<uint8_t>().swap(data);
        return false;
    }
    return true;
}

// Picture files larger than this are refused before they are read.
constexpr DWORD kMaxPictureFileBytes = 64u << 20;

bool read_whole_file(const std::string& path, std::vector<uint8_t>& bytes)
{
    FileHandle file(OpenSharedRead(path));
    if (file.get() == INVALID_HANDLE_VALUE)
        return false;
    DWORD size_high = 0;
    const DWORD size = GetFileSize(file.get(), &size_high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || size_high != 0 || size > kMaxPictureFileBytes)
        return false;
    try {
        bytes.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return size == 0 || read_exactly(file.get(), bytes.data(), size);
}

// A 32-bit frame bitmap is kept in the alpha form, whatever header it came with.
bool to_alpha_form(std::vector<uint8_t>& data, bool& own_alpha, int32_t& width, int32_t& height)
{
    Picture picture;
    if (decode_bitmap32(data.data(), data.size(), picture) != PictureResult::ok)
        return false;
    own_alpha = picture.own_alpha;
    width = picture.width;
    height = picture.height;
    data = alpha_frame_block(picture.frames[0].rgba, width, height);
    return true;
}

void resize_to_picture(Mascot& mascot, int32_t width, int32_t height)
{
    mascot.width = width;
    mascot.height = height;
    // The window always takes the size of the frame loaded last.
    if (mascot.window)
        SetWindowPos(mascot.window, nullptr, 0, 0, ScaledWidth(mascot), ScaledHeight(mascot),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void show_frame(Mascot& mascot, size_t index)
{
    MascotFrame& frame = mascot.frames[index];
    mascot.current_frame = index;
    mascot.current_bitmap_data = &frame.bitmap_data;
    mascot.current_colour_count = frame.colour_count;
    mascot.current_palette = frame.palette;
    if (mascot.layered && mascot.window)
        ShowLayeredFrame(mascot.window, frame.bitmap_data, mascot.scale);
    if (mascot.shaped_frame >= 0 && static_cast<size_t>(mascot.shaped_frame) < mascot.frames.size()) {
        const HRGN shown = mascot.frames[mascot.shaped_frame].shape;
        if (shown && frame.shape && EqualRgn(shown, frame.shape)) {
            mascot.shaped_frame = static_cast<long>(index);
            return;
        }
    }
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (!copy)
        return;
    if (frame.shape)
        CombineRgn(copy, frame.shape, nullptr, RGN_COPY);
    // Once handed over, the window owns the copy and deletes the region it had before.
    if (mascot.window && SetWindowRgn(mascot.window, copy, TRUE)) {
        mascot.window_region = copy;
        mascot.shaped_frame = static_cast<long>(index);
    } else {
        DeleteObject(copy);
    }
}

int draw_shared_random()
{
    return next_random(g_random);
}

}  // namespace

bool LoadFrameBitmap(Mascot& mascot, MascotFrame& frame)
{
    frame.palette = nullptr;
    frame.shape = nullptr;
    std::vector<uint8_t>().swap(frame.bitmap_data);
    frame.colour_count = 0;

    std::vector<uint8_t> data;
    if (!read_bitmap_data(frame.path, data))
        return false;
    BitmapLayout layout;
    if (read_bitmap_layout(data.data(), data.size(), layout) == LayoutResult::ok) {
        frame.bitmap_data.swap(data);
        resize_to_picture(mascot, layout.width, layout.height);
        frame.colour_count = layout.colour_count;
        CreateFramePalette(frame);
        return true;
    }
    int32_t width = 0, height = 0;
    if (!to_alpha_form(data, frame.own_alpha, width, height))
        return false;
    frame.alpha_form = true;
    frame.bitmap_data.swap(data);
    resize_to_picture(mascot, width, height);
    return true;
}

bool AppendPictureFrames(Mascot& mascot, const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!read_whole_file(path, bytes))
        return false;
    Picture picture;
    if (decode_picture(bytes.data(), bytes.size(), picture) != PictureResult::ok)
        return false;
    std::vector<uint8_t>().swap(bytes);
    std::vector<MascotFrame> frames;
    try {
        for (PictureFrame& decoded : picture.frames) {
            MascotFrame frame;
            frame.path = path;
            frame.time = decoded.ticks;
            frame.alpha_form = true;
            frame.own_alpha = picture.own_alpha;
            frame.bitmap_data = alpha_frame_block(decoded.rgba, picture.width, picture.height);
            std::vector<uint8_t>().swap(decoded.rgba);
            frames.push_back(std::move(frame));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    resize_to_picture(mascot, picture.width, picture.height);
    for (MascotFrame& frame : frames) {
        frame.shape = BuildFrameShape(frame, mascot.scale, mascot.layered);
        mascot.frames.push_back(std::move(frame));
    }
    return true;
}

void ChooseWindowKind(Mascot& mascot)
{
    bool any_own_alpha = false;
    for (const MascotFrame& frame : mascot.frames)
        any_own_alpha |= frame.own_alpha;
    mascot.layered = any_own_alpha && mascot.window && LayeredWindowsAvailable();
    if (mascot.window)
        SetLayeredStyle(mascot.window, mascot.layered);
    if (!mascot.layered)
        return;
    for (MascotFrame& frame : mascot.frames) {
        if (!frame.alpha_form) {
            Picture picture;
            if (decode_bitmap_block(frame.bitmap_data.data(), frame.bitmap_data.size(), picture) == PictureResult::ok) {
                frame.bitmap_data = alpha_frame_block(picture.frames[0].rgba, picture.width, picture.height);
                frame.alpha_form = true;
                frame.colour_count = 0;
                if (frame.palette)
                    DeleteObject(frame.palette);
                frame.palette = nullptr;
            }
        }
        if (frame.shape)
            DeleteObject(frame.shape);
        frame.shape = BuildFrameShape(frame, mascot.scale, true);
    }
    // The shape the window has was made for a region window.
    mascot.shaped_frame = -1;
}

bool AppendFrame(Mascot& mascot, const std::string& path, int32_t time)
{
    MascotFrame frame;
    frame.path = path;
    frame.time = time;
    if (!LoadFrameBitmap(mascot, frame))
        return false;
    frame.shape = BuildFrameShape(frame, mascot.scale, mascot.layered);
    mascot.frames.push_back(std::move(frame));
    return true;
}

bool CreateFramePalette(MascotFrame& frame)
{
    if (frame.colour_count == 0)
        return false;
    if (frame.bitmap_data.size() < kBitmapInfoHeaderSize + 4ull * frame.colour_count || frame.colour_count > 0xFFFF)
        return false;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + frame.colour_count * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(frame.colour_count);
    for (uint32_t i = 0; i < frame.colour_count; ++i) {
        const ColourEntry colour = colour_entry(frame.bitmap_data.data(), i);
        palette->palPalEntry[i] = PALETTEENTRY{colour.red, colour.green, colour.blue, 0};
    }
    frame.palette = CreatePalette(palette);
    return frame.palette != nullptr;
}

HRGN BuildShapeRegion(const std::vector<uint8_t>& bitmap_data, int32_t scale)
{
    return region_by_row_bands(scale_runs(trace_shape(bitmap_data.data(), bitmap_data.size()), scale));
}

HRGN BuildFrameShape(const MascotFrame& frame, int32_t scale, bool layered)
{
    if (!frame.alpha_form)
        return BuildShapeRegion(frame.bitmap_data, scale);
    const uint8_t threshold = layered ? 1 : kHalfAlpha;
    return region_by_row_bands(
        scale_runs(trace_alpha_shape(frame.bitmap_data.data(), frame.bitmap_data.size(), threshold), scale));
}

int32_t ScaledWidth(const Mascot& mascot) { return scaled_length(mascot.width, mascot.scale); }

int32_t ScaledHeight(const Mascot& mascot) { return scaled_length(mascot.height, mascot.scale); }

bool SetMascotDpi(Mascot& mascot, int32_t dpi)
{
    mascot.dpi = dpi;
    const int32_t scale = scale_for_dpi(dpi);
    if (scale == mascot.scale)
        return false;
    mascot.scale = scale;
    for (MascotFrame& frame : mascot.frames) {
        if (frame.shape)
            DeleteObject(frame.shape);
        frame.shape = BuildFrameShape(frame, scale, mascot.layered);
    }
    if (!mascot.window)
        return true;
    SetWindowPos(mascot.window, nullptr, 0, 0, ScaledWidth(mascot), ScaledHeight(mascot),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The shape the window has is of the old scale, whichever frame it came from.
    mascot.shaped_frame = -1;
    if (mascot.current_frame < mascot.frames.size() && mascot.current_bitmap_data)
        show_frame(mascot, mascot.current_frame);
    InvalidateRect(mascot.window, nullptr, FALSE);
    return true;
}

void MakeFrameCurrent(Mascot& mascot, size_t index, bool draw_random_stay)
{
    if (index >= mascot.frames.size())
        return;
    show_frame(mascot, index);
    const int32_t time = mascot.frames[index].time;
    mascot.stay = draw_random_stay ? stay_for_time(time, draw_shared_random) : time;
    mascot.tick_counter = 0;
}

bool AdvanceFrame(Mascot& mascot)
{
    AnimationClock clock{mascot.current_frame, mascot.stay, mascot.tick_counter};
    const bool changed = advance_animation(
        clock, mascot.frames.size(), [&](size_t n) { return mascot.frames[n].time; }, draw_shared_random);
    mascot.stay = clock.stay;
    mascot.tick_counter = clock.tick_counter;
    if (!changed)
        return false;
    // The new shape first, then a redraw without erasing (the picture covers the window):
    // the other way round Wine's server works about twice as hard on every change of shape.
    show_frame(mascot, clock.current_frame);
    if (mascot.window)
        InvalidateRect(mascot.window, nullptr, FALSE);
    return true;
}

void FreeFrames(Mascot& mascot)
{
    mascot.current_bitmap_data = nullptr;
    mascot.current_palette = nullptr;
    mascot.current_colour_count = 0;
    for (MascotFrame& frame : mascot.frames) {
        std::vector<uint8_t>().swap(frame.bitmap_data);
        if (frame.palette)
            DeleteObject(frame.palette);
        if (frame.shape)
            DeleteObject(frame.shape);
        frame.palette = nullptr;
        frame.shape = nullptr;
    }
    mascot.frames.clear();
    mascot.current_frame = 0;
    mascot.shaped_frame = -1;
    mascot.layered = false;
}
