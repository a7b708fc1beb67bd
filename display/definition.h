#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "display/mascot_settings.h"

// An archive mascot's definition file "VLD.INI", read through a profile (INI) reader so
// that the rules below run without the platform.

// The profile reader answers these for a key that is missing, and the same values written
// in the file count as missing too.
constexpr int32_t kAbsentNumber = 9999;
extern const char kAbsentText[];  // "NoData"

class ProfileReader {
public:
    virtual ~ProfileReader() = default;
    // The key's text, at most 260 characters, or fallback when the key is missing.
    virtual std::string read_text(const char* section, const char* key, const char* fallback) = 0;
    // The key's decimal value, or fallback when the key is missing.
    virtual int32_t read_int(const char* section, const char* key, int32_t fallback) = 0;
};

// The definition file of a mascot folder.
std::string definition_path(const std::string& mascot_folder);

// The folder a started archive mascot is extracted into: the temporary folder (ending in a
// separator), "Velmo\", the source path without its extension, and a separator.
std::string mascot_folder_path(const std::string& temp_folder, const std::string& source_path);

// The display name as stored, "NoData" included; the caller decides what a missing name becomes.
std::string read_mascot_name(ProfileReader& profile);

// Loads one frame from its full path with its stored time; false ends the frame list.
using FrameLoader = std::function<bool(const std::string& path, int32_t time)>;

// Hands the loader File1/Time1, File2/Time2, ... in order and stops at the first entry whose
// file is missing or empty, whose time is missing, or which the loader refuses, so the frames
// are one unbroken run from 1. Returns how many frames were loaded.
size_t read_frame_list(ProfileReader& profile, const std::string& mascot_folder, const FrameLoader& load);

// Sets the six anchor settings from the "Pos" keys. For X the first present key of PosX,
// LeftX, RightX decides, and with none the mascot goes back to 75 percent from the left; for
// Y the first present key of PosY, TopY, UnderY decides, and with none Y stays as it was.
void apply_anchor_keys(ProfileReader& profile, MascotSettings& settings);
