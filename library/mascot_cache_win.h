#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>

#include "library/library_entry.h"

// The one mascot cache of the program and its file Velmo2.mdc beside the executable.

// Reads the cache file; a missing or unreadable file gives an empty cache.
void LoadCache();
// Writes every entry in key order, replacing the file.
void SaveCache();
// Marks every entry unseen and loads the LHA component for the scan that follows.
void BeginScan();
// Name and icon flag of an archive, from the cache or read from the archive (see MascotCache).
bool LookupArchive(LibraryEntry& entry, size_t root_length);
// Frees the LHA component and drops the archives the scan did not meet.
bool EndScan();
// Empties the cache and the list, replaces the image list by a new one and scans afresh;
// returns the new image list, which the caller owns from then on.
HIMAGELIST ClearAndRescan(HWND list_view, HIMAGELIST image_list);

// The list's small-image list: icon_size x icon_size (the small icon size at the list's DPI),
// 32-bit colour with a mask so that icons keep their transparency, room for 4, no growth.
HIMAGELIST CreateLibraryImageList(int icon_size);
// Puts a new image list of icon_size in the list's place, every row's icon taken anew at that
// size, and destroys the old one; returns the new one, which the caller owns from then on.
HIMAGELIST RebuildLibraryImages(HWND list_view, HIMAGELIST image_list, int icon_size);
// The folder that scans extract definitions and icons into: temporary folder + "Velmo\".
std::string ExtractionFolder();
