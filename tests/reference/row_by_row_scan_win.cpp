#include "library/library_scan_win.h"

// The list filled one file at a time, each row inserted, its icon drawn and the columns
// widened as it comes: the reference the program's own fill must equal.
void ScanLibrary(HWND list_view, HIMAGELIST images)
{
    const std::string root = LibraryRoot();
    ScanFolder(list_view, images, root, root.size());
}
