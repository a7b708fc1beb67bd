#include "library/library_scan_win.h"

// Built into the program itself rather than the library, so that a test build of the program
// can bring a walk of its own.
void ScanLibrary(HWND list_view, HIMAGELIST images)
{
    FillLibraryList(list_view, images, LibraryRoot());
}
