#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "library/library_entry.h"

// The walk over the Mascots folder that fills the mascot page's list, one row per file.

// Walks the root path and fills the list: the program's own walk, FillLibraryList, is built
// into the program in scan_library_win.cpp; a test build of the program links a walk through
// ScanFolder instead, which the list tests and the sheet benchmark compare it with.
void ScanLibrary(HWND list_view, HIMAGELIST images);
// The executable folder + "\Mascots".
std::string LibraryRoot();
// The rows ScanFolder makes, in the same order, with the list's work done once rather than
// per row: the image list sized for every file before the first icon, the shell asked once
// per file type, the list not redrawn while it fills and each column's width set at the end.
void FillLibraryList(HWND list_view, HIMAGELIST images, const std::string& root);
// Depth first, in the order the file system gives; 0 when the folder cannot be listed.
int ScanFolder(HWND list_view, HIMAGELIST images, const std::string& folder, size_t root_length);
// Lists a ".bmp" or ".lzh" file; any other file is ignored.
void AddLibraryFile(HWND list_view, HIMAGELIST images, LibraryEntry& entry, size_t root_length);
// Appends the row: image index and item data both its position, its check box set when a
// running mascot has its name, its path below Mascots in column 1.
void InsertLibraryItem(HWND list_view, HIMAGELIST images, const LibraryEntry& entry, HICON icon, size_t root_length);
// The shell's first icon lookup in a process sets up its icon lists, a few tens of
// milliseconds; asked once the program has started, the first opening of the sheet does not
// wait for it.
void PrepareShellIcons();
// Name (empty when none) and icon of the definition in the folder, which ends in a separator,
// at icon_size x icon_size; null when it names no icon or the icon does not load.
HICON ReadNameAndIcon(const std::string& folder, std::string& name, int icon_size = 16);
// Takes every row's icon anew at the size of `images`, which holds no pictures yet, into the
// row's image index: for a list that moved to a monitor of another scaling. Archives' icons
// are extracted again, so the LHA component must be held.
void ReloadLibraryImages(HWND list_view, HIMAGELIST images, const std::string& root);
// Sets both columns' widths afresh from every row's texts, as a fill of the list would: for a
// list whose font and images the system changed with the scaling of its monitor.
void FitLibraryColumns(HWND list_view);
