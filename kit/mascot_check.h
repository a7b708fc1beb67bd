#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "display/bitmap_file.h"
#include "display/mascot_settings.h"
#include "display/shape_trace.h"
#include "kit/findings.h"
#include "kit/member_store.h"

// A mascot read the way the program reads it: the frames that load, in order, with their
// bitmap data blocks, and the anchors applied to a fresh mascot's settings.
struct LoadedFrame {
    std::string file;               // the definition's value, code page 932
    int32_t time = 0;
    std::vector<uint8_t> data;      // the bitmap data block: the file after its file header
    BitmapLayout layout;
    // A 32-bit frame, held as the program holds it (alpha_frame.h): `data` is then that form.
    bool alpha_form = false;
};

// The shape the program gives a frame's window: by value for frame bitmaps, every pixel not
// wholly transparent for a frame with alpha.
std::vector<RunRect> frame_shape(const LoadedFrame& frame);

struct LoadedMascot {
    std::string name;               // as stored, code page 932; "NoData" when there is none
    std::vector<LoadedFrame> frames;
    MascotSettings settings;
    int32_t width = 0, height = 0;  // the window's size: the frame loaded last
};

struct CheckReport {
    std::vector<Finding> findings;
    LoadedMascot mascot;
    std::string summary;            // one line, UTF-8
};

// Anchors, dots or percent, within which the program places a mascot where its author means:
// further out it stands beyond any desktop, and near the ends of 32 bits the placement's sums
// wrap around to the other side.
constexpr int32_t kLeastAnchor = -32768, kMostAnchor = 32767;

// Archives larger than this are refused before anything is extracted.
constexpr size_t kMaxArchiveBytes = size_t(64) << 20;

// An archive as a started mascot is extracted from it and then read.
CheckReport check_archive(const uint8_t* bytes, size_t size, const ExtractLimits& limits);
// A mascot folder as it stands after extraction (VLD.INI in code page 932, bitmap frames).
CheckReport check_folder(const MemberStore& files);
// A still mascot: one bitmap, named by its file name.
CheckReport check_still(const std::string& file_name, const uint8_t* bytes, size_t size);

// The least and most time a round of the animation takes, in mascot ticks of 100 ms.
struct StayRange {
    int64_t least = 0, most = 0;
};
StayRange round_stay(const std::vector<LoadedFrame>& frames);
