#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Paths, keys and names are at most this many bytes; longer text is cut or refused.
constexpr size_t kMaxLibraryText = 260;

// One library file as the scan and the mascot cache see it. The cache stores the same
// record per archive and uses only name, hasIcon and seen of it.
struct LibraryEntry {
    std::string path;  // full path: root path, separator, sub-folders, file name
    std::string name;  // display name
    int32_t hasIcon = 0;
    int32_t seen = 0;
};
