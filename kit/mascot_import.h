#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "kit/picture.h"

// Turns what artists have (an animated GIF, a sprite sheet, a folder of numbered frames) into
// an author's folder that build makes an archive of: frames cropped to where anything is
// drawn, and anchors that stand the character on the window's top edge.

struct ImportedFrame {
    RgbaImage picture;
    int32_t time = 1;   // mascot ticks
};

// Numbers counted from 1, both ends included; `last` 0 runs to the end.
struct FrameRange {
    int32_t first = 1;
    int32_t last = 0;
};

// "1-3,11" and the like; false for anything else, an empty list among it.
bool parse_frame_ranges(const std::string& text, std::vector<FrameRange>& ranges);

// The frames whose numbers the ranges name, in the ranges' order; all of them without ranges.
std::vector<ImportedFrame> pick_frames(const std::vector<ImportedFrame>& frames, const std::vector<FrameRange>& ranges);

// The frames of an animated GIF with their delays as ticks.
bool frames_from_gif(const uint8_t* bytes, size_t size, std::vector<ImportedFrame>& frames, std::string& reason);

// A sprite sheet's cells, left to right and top to bottom, each staying `time` ticks. The cell
// size is given, or the number of columns and rows; a cell size must divide the sheet.
struct SheetCut {
    int32_t cell_width = 0, cell_height = 0;
    int32_t columns = 0, rows = 0;
};
bool frames_from_sheet(const RgbaImage& sheet, const SheetCut& cut, int32_t time, std::vector<ImportedFrame>& frames,
                       std::string& reason);

// Of a folder's file names, the numbered frames the ranges choose (shime1.png .. shime3.png,
// shime11.png): a name's number is the digits before its extension; one stem for all.
std::vector<std::string> numbered_frame_files(const std::vector<std::string>& names,
                                              const std::vector<FrameRange>& ranges);

// An author's folder, file name to bytes: VLD.INI (UTF-8) and one PNG a frame. Every frame is
// cut to the union of the boxes where anything is drawn, its bottom edge kept, so that frames
// keep their places against each other; TopY stands the lowest drawn row on the edge, PosX
// puts the mascot three quarters along.
struct ImportedFolder {
    std::map<std::string, std::vector<uint8_t>> files;
    int32_t width = 0, height = 0;
    int32_t top_y = 0;
};
bool import_folder(const std::vector<ImportedFrame>& frames, const std::string& name, ImportedFolder& folder,
                   std::string& reason);
