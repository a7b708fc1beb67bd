#include "library/library_scan_win.h"

#include <shellapi.h>

#include <cstring>

#include "core/application_win.h"
#include "core/roster_win.h"
#include "display/profile_win.h"
#include "library/library_scan.h"
#include "library/mascot_cache_win.h"

namespace {

// Each the widest text + 16 seen since the list was last empty; they outlive the page.
int g_column_widths[2] = {0, 0};

constexpr UINT kCheckedState = 0x2000;

HICON ShellSmallIcon(const std::string& path)
{
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON);
    return info.hIcon;
}

void WidenColumn(HWND list_view, int column, const std::string& text)
{
    const int width =
        static_cast<int>(SendMessageA(list_view, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str()))) +
        16;
    if (widen_column(g_column_widths[column], width))
        SendMessageA(list_view, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
}

bool NameIsRunning(const std::string& name)
{
    for (const auto& mascot : g_roster)
        if (lstrcmpA(mascot->name.c_str(), name.c_str()) == 0)
            return true;
    return false;
}

}  // namespace

void ScanLibrary(HWND list_view, HIMAGELIST images)
{
    const std::string root = g_app.exe_folder + "\\Mascots";
    ScanFolder(list_view, images, root, root.size());
}

int ScanFolder(HWND list_view, HIMAGELIST images, const std::string& folder, size_t root_length)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::string path = folder + "\\" + found.cFileName;
        // A longer path could not be opened through the 260-byte buffers anyway.
        if (path.size() > kMaxLibraryText)
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            LibraryEntry entry;
            entry.path = path;
            AddLibraryFile(list_view, images, entry, root_length);
        } else if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
            ScanFolder(list_view, images, path, root_length);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return 1;
}

void AddLibraryFile(HWND list_view, HIMAGELIST images, LibraryEntry& entry, size_t root_length)
{
    HICON icon = nullptr;
    switch (library_file_kind(entry.path)) {
    case LibraryFileKind::still:
        entry.name = path_below_root(entry.path, root_length);
        icon = ShellSmallIcon(entry.path);
        break;
    case LibraryFileKind::archive:
        LookupArchive(entry, root_length);
        if (entry.hasIcon == 1) {
            char scratch[kMaxLibraryText + 1] = {};
            icon = ReadNameAndIcon(ExtractionFolder(), scratch, sizeof scratch);
        }
        if (!icon)
            icon = ShellSmallIcon(entry.path);
        break;
    case LibraryFileKind::other:
        return;
    }
    InsertLibraryItem(list_view, images, entry, icon, root_length);
}

void InsertLibraryItem(HWND list_view, HIMAGELIST images, const LibraryEntry& entry, HICON icon, size_t root_length)
{
    const int n = static_cast<int>(SendMessageA(list_view, LVM_GETITEMCOUNT, 0, 0));
    if (n == 0)
        g_column_widths[0] = g_column_widths[1] = 0;

    // The image index has to stay equal to the row's position, so a file without any icon
    // still takes an image: the system's application icon, which is shared and not freed.
    if (icon) {
        ImageList_ReplaceIcon(images, -1, icon);
        DestroyIcon(icon);
    } else {
        ImageList_ReplaceIcon(images, -1, LoadIconA(nullptr, IDI_APPLICATION));
    }

    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = n;
    item.pszText = const_cast<char*>(entry.name.c_str());
    item.iImage = n;
    item.lParam = n;
    const int row = static_cast<int>(SendMessageA(list_view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    WidenColumn(list_view, 0, entry.name);

    if (NameIsRunning(entry.name)) {
        LVITEMA state = {};
        state.state = kCheckedState;
        state.stateMask = LVIS_STATEIMAGEMASK;
        SendMessageA(list_view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    const std::string below = path_below_root(entry.path, root_length);
    LVITEMA sub = {};
    sub.mask = LVIF_TEXT;
    sub.iItem = row;
    sub.iSubItem = 1;
    sub.pszText = const_cast<char*>(below.c_str());
    SendMessageA(list_view, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&sub));
    WidenColumn(list_view, 1, below);
}

HICON ReadNameAndIcon(const std::string& folder, char* name, size_t size)
{
    Win32Profile definition(folder + "VLD.INI");
    definition.drop_cached_copy();
    const NameAndIconFile found = read_name_and_icon_file(definition);
    if (size > 0) {
        const size_t length = found.name.size() < size - 1 ? found.name.size() : size - 1;
        std::memcpy(name, found.name.data(), length);
        name[length] = '\0';
    }
    if (found.icon_file.empty())
        return nullptr;
    return static_cast<HICON>(
        LoadImageA(nullptr, (folder + found.icon_file).c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
}
