#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "library/library_entry.h"

// The walk over the Mascots folder that fills the mascot page's list, one row per file.

// Walks the root path, the executable folder + "\Mascots", and fills the list with the work
// of the list done once for all rows. With the environment value VELMORA_LIBRARY_FILL set to
// row-by-row it fills the same rows through ScanFolder instead, one file at a time, which the
// tests and the benchmark compare it with.
void ScanLibrary(HWND list_view, HIMAGELIST images);
// Depth first, in the order the file system gives; 0 when the folder cannot be listed.
int ScanFolder(HWND list_view, HIMAGELIST images, const std::string& folder, size_t root_length);
// Lists a ".bmp" or ".lzh" file; any other file is ignored.
void AddLibraryFile(HWND list_view, HIMAGELIST images, LibraryEntry& entry, size_t root_length);
// Appends the row: image index and item data both its position, its check box set when a
// running mascot has its name, its path below Mascots in column 1.
void InsertLibraryItem(HWND list_view, HIMAGELIST images, const LibraryEntry& entry, HICON icon, size_t root_length);
// Name (empty when none) and 16 x 16 icon of the definition in the folder, which ends in a
// separator; null when it names no icon or the icon does not load.
HICON ReadNameAndIcon(const std::string& folder, char* name, size_t size);
