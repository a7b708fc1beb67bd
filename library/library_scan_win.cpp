#include "library/library_scan_win.h"

#include <shellapi.h>

#include <cctype>
#include <cstring>
#include <map>
#include <vector>

#include "core/application_win.h"
#include "core/roster_win.h"
#include "core/wide_text_win.h"
#include "display/monitor_dpi_win.h"
#include "display/profile_win.h"
#include "library/library_scan.h"
#include "library/mascot_cache_win.h"

namespace {

// Each the widest column width seen since the list was last empty; they outlive the page.
int g_column_widths[2] = {0, 0};

constexpr UINT kCheckedState = 0x2000;

// The shell's icon of a file for a list of icons of `icon_size`: its small icon, or its large one
// where the list's icons are larger than the system's small ones (a list on a monitor of a
// higher scaling than the system's), which the image list then draws down to its size.
HICON ShellSmallIcon(const std::string& path, UINT extra_flags = 0, int icon_size = 0)
{
    const UINT size_flag = icon_size > GetSystemMetrics(SM_CXSMICON) ? SHGFI_LARGEICON : SHGFI_SMALLICON;
    SHFILEINFOW info = {};
    SHGetFileInfoW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICON | size_flag | extra_flags);
    return info.hIcon;
}

// The system's application icon at the list's size, for a file without any icon; shared, never
// freed.
HICON DefaultIcon(int icon_size)
{
    const HANDLE icon = LoadImageW(nullptr, SystemResource(IDI_APPLICATION), IMAGE_ICON, icon_size, icon_size, LR_SHARED);
    return icon ? static_cast<HICON>(icon) : LoadIconW(nullptr, SystemResource(IDI_APPLICATION));
}

int IconSizeOf(HIMAGELIST images)
{
    int width = 0, height = 0;
    if (!ImageList_GetIconSize(images, &width, &height) || width <= 0)
        return GetSystemMetrics(SM_CXSMICON);
    return width;
}

std::string ClassesDefaultValue(const std::string& key)
{
    wchar_t value[kMaxLibraryText + 1] = {};
    LONG size = sizeof value;
    if (key.empty() || RegQueryValueW(HKEY_CLASSES_ROOT, Wide(key).c_str(), value, &size) != ERROR_SUCCESS)
        return std::string();
    value[kMaxLibraryText] = L'\0';
    return Utf8(value);
}

bool ClassesKeyExists(const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// The extension's own key, its program class and the system's associations for it.
bool TypeHasIconsPerFile(const std::string& extension)
{
    const std::string keys[] = {extension, ClassesDefaultValue(extension), "SystemFileAssociations\\" + extension};
    for (const std::string& key : keys)
        if (!key.empty() && type_icon_is_per_file(ClassesDefaultValue(key + "\\DefaultIcon"),
                                                  ClassesKeyExists(key + "\\ShellEx\\IconHandler")))
            return true;
    return false;
}

// A row's icon. The image list copies it; an owned icon is destroyed then, a type's shared
// icon lives as long as its ShellIcons.
struct RowIcon {
    HICON handle = nullptr;
    bool owned = false;
};

// The shell's small icons of library files: looked up file by file, or once for each file
// type whose files cannot have icons of their own and file by file for the others.
class ShellIcons {
public:
    ShellIcons(bool per_type, int icon_size) : per_type_(per_type), icon_size_(icon_size) {}
    ShellIcons(const ShellIcons&) = delete;
    ShellIcons& operator=(const ShellIcons&) = delete;
    ~ShellIcons();
    RowIcon icon_for(const std::string& path);

private:
    struct TypeIcon {
        bool per_file = false;
        HICON icon = nullptr;
    };
    bool per_type_;
    int icon_size_;
    std::map<std::string, TypeIcon> types_;
};

ShellIcons::~ShellIcons()
{
    for (const auto& [extension, type] : types_)
        if (type.icon)
            DestroyIcon(type.icon);
}

RowIcon ShellIcons::icon_for(const std::string& path)
{
    if (!per_type_)
        return {ShellSmallIcon(path, 0, icon_size_), true};
    std::string extension = path.substr(path.size() >= 4 ? path.size() - 4 : 0);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto found = types_.find(extension);
    if (found == types_.end()) {
        TypeIcon type;
        type.per_file = TypeHasIconsPerFile(extension);
        if (!type.per_file)
            type.icon = ShellSmallIcon(path, SHGFI_USEFILEATTRIBUTES, icon_size_);
        found = types_.emplace(extension, type).first;
    }
    if (found->second.per_file)
        return {ShellSmallIcon(path, 0, icon_size_), true};
    return {found->second.icon, false};
}

// Sets the entry's name and finds its icon at the list's icon size; false for a file that is
// not listed.
bool ResolveLibraryFile(LibraryEntry& entry, size_t root_length, ShellIcons& shell, RowIcon& icon, int icon_size)
{
    icon = RowIcon();
    switch (library_file_kind(entry.path)) {
    case LibraryFileKind::still:
        entry.name = path_below_root(entry.path, root_length);
        icon = shell.icon_for(entry.path);
        return true;
    case LibraryFileKind::archive:
        LookupArchive(entry, root_length);
        if (entry.hasIcon == 1) {
            std::string scratch;
            icon = {ReadNameAndIcon(ExtractionFolder(), scratch, icon_size), true};
        }
        if (!icon.handle)
            icon = shell.icon_for(entry.path);
        return true;
    case LibraryFileKind::other:
        return false;
    }
    return false;
}

bool NameIsRunning(const std::string& name)
{
    for (const auto& mascot : g_roster)
        if (lstrcmpW(Wide(mascot->name).c_str(), Wide(name).c_str()) == 0)
            return true;
    return false;
}

int StringWidth(HWND list_view, const std::string& text)
{
    return static_cast<int>(SendMessageW(list_view, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(Wide(text).c_str())));
}

// Text widths in the list's font, as LVM_GETSTRINGWIDTHW measures them, through one device
// context for the whole fill: the message takes and frees a context for every text.
class TextWidths {
public:
    explicit TextWidths(HWND list_view) : list_view_(list_view)
    {
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(list_view, WM_GETFONT, 0, 0));
        dc_ = font ? GetDC(list_view) : nullptr;
        if (dc_)
            previous_font_ = SelectObject(dc_, font);
    }
    TextWidths(const TextWidths&) = delete;
    TextWidths& operator=(const TextWidths&) = delete;
    ~TextWidths()
    {
        if (!dc_)
            return;
        SelectObject(dc_, previous_font_);
        ReleaseDC(list_view_, dc_);
    }
    int of(const std::string& text)
    {
        SIZE size = {};
        const std::wstring wide = Wide(text);
        if (!dc_ || !GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size))
            return StringWidth(list_view_, text);
        return static_cast<int>(size.cx);
    }

private:
    HWND list_view_;
    HDC dc_ = nullptr;
    HGDIOBJ previous_font_ = nullptr;
};

// The state image (the check box) and the small icon before the name of a row in column 0,
// as wide as the list lays them out at the dots per inch in use.
struct LeadingImages {
    int state = 0;
    int icon = 0;
};

LeadingImages LeadingImagesOf(HWND list_view, int row)
{
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    RECT icon = {LVIR_ICON, 0, 0, 0};
    RECT label = {LVIR_LABEL, 0, 0, 0};
    if (!SendMessageW(list_view, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)) ||
        !SendMessageW(list_view, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&icon)) ||
        !SendMessageW(list_view, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label)))
        return {};
    return {static_cast<int>(icon.left - bounds.left), static_cast<int>(label.left - icon.left)};
}

int ListDpi(HWND list_view) { return WindowDpi(list_view); }

void SetColumnWidthIfWider(HWND list_view, int column, int width)
{
    if (widen_column(g_column_widths[column], width))
        SendMessageW(list_view, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
}

// Puts the row's picture at image index n, or appends it when the image list has no image
// n yet. A file without any icon still takes an image, so that image indices stay equal to
// row positions: the system's application icon, which is shared and not freed.
void PutImage(HIMAGELIST images, int n, RowIcon icon)
{
    ImageList_ReplaceIcon(images, n < ImageList_GetImageCount(images) ? n : -1,
                          icon.handle ? icon.handle : DefaultIcon(IconSizeOf(images)));
    if (icon.owned && icon.handle)
        DestroyIcon(icon.handle);
}

// Puts the row at position n, with image index and item data n: its name in column 0, its
// check box set when a running mascot has its name, its path below Mascots in column 1.
void PutRow(HWND list_view, int n, const LibraryEntry& entry, size_t root_length)
{
    std::wstring name = Wide(entry.name);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = n;
    item.pszText = &name[0];
    item.iImage = n;
    item.lParam = n;
    const int row = static_cast<int>(SendMessageW(list_view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));

    if (NameIsRunning(entry.name)) {
        LVITEMW state = {};
        state.state = kCheckedState;
        state.stateMask = LVIS_STATEIMAGEMASK;
        SendMessageW(list_view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    std::wstring below = Wide(path_below_root(entry.path, root_length));
    LVITEMW sub = {};
    sub.mask = LVIF_TEXT;
    sub.iItem = row;
    sub.iSubItem = 1;
    sub.pszText = &below[0];
    SendMessageW(list_view, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&sub));
}

void ForgetWidthsWhenEmpty(HWND list_view)
{
    if (SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0) == 0)
        g_column_widths[0] = g_column_widths[1] = 0;
}

// Every library file below the folder, depth first in the order the file system gives, as
// the row-by-row walk meets them.
void ListLibraryFiles(const std::string& folder, std::vector<std::string>& paths)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide(folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string path = folder + "\\" + Utf8(found.cFileName);
        if (WideLength(path) > kMaxLibraryText)
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (library_file_kind(path) != LibraryFileKind::other)
                paths.push_back(path);
        } else if (lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0) {
            ListLibraryFiles(path, paths);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

// --- the walks -------------------------------------------------------------------------

std::string LibraryRoot()
{
    return g_app.exe_folder + "\\Mascots";
}

void FillLibraryList(HWND list_view, HIMAGELIST images, const std::string& root)
{
    std::vector<std::string> paths;
    ListLibraryFiles(root, paths);
    if (paths.empty())
        return;
    ForgetWidthsWhenEmpty(list_view);
    const int first = static_cast<int>(SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0));
    SendMessageW(list_view, WM_SETREDRAW, FALSE, 0);
    ImageList_SetImageCount(images, static_cast<UINT>(first + paths.size()));
    SendMessageW(list_view, LVM_SETITEMCOUNT, first + paths.size(), 0);
    const int icon_size = IconSizeOf(images);
    ShellIcons shell(true, icon_size);
    TextWidths widths(list_view);
    int widest[2] = {0, 0};
    int n = first;
    for (const std::string& path : paths) {
        LibraryEntry entry;
        entry.path = path;
        RowIcon icon;
        ResolveLibraryFile(entry, root.size(), shell, icon, icon_size);
        // Every row's icon is drawn, shared ones too: under Wine an image copied within a list
        // of 32-bit images with a mask shows other pixels than the icon drawn into it.
        PutImage(images, n, icon);
        PutRow(list_view, n++, entry, root.size());
        const int name_width = widths.of(entry.name);
        const int below_width = widths.of(path_below_root(entry.path, root.size()));
        widest[0] = name_width > widest[0] ? name_width : widest[0];
        widest[1] = below_width > widest[1] ? below_width : widest[1];
    }
    const LeadingImages leading = LeadingImagesOf(list_view, first);
    for (int column = 0; column < 2; ++column)
        SetColumnWidthIfWider(list_view, column,
                              column_width_for_text(column, widest[column], leading.state, leading.icon, ListDpi(list_view)));
    SendMessageW(list_view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_view, nullptr, TRUE);
}

int ScanFolder(HWND list_view, HIMAGELIST images, const std::string& folder, size_t root_length)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide(folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::string path = folder + "\\" + Utf8(found.cFileName);
        // Paths are kept to the platform's MAX_PATH, which counts UTF-16 units.
        if (WideLength(path) > kMaxLibraryText)
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            LibraryEntry entry;
            entry.path = path;
            AddLibraryFile(list_view, images, entry, root_length);
        } else if (lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0) {
            ScanFolder(list_view, images, path, root_length);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return 1;
}

void AddLibraryFile(HWND list_view, HIMAGELIST images, LibraryEntry& entry, size_t root_length)
{
    ShellIcons per_file(false, IconSizeOf(images));
    RowIcon icon;
    if (ResolveLibraryFile(entry, root_length, per_file, icon, IconSizeOf(images)))
        InsertLibraryItem(list_view, images, entry, icon.handle, root_length);
}

void InsertLibraryItem(HWND list_view, HIMAGELIST images, const LibraryEntry& entry, HICON icon, size_t root_length)
{
    ForgetWidthsWhenEmpty(list_view);
    const int n = static_cast<int>(SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0));
    PutImage(images, n, {icon, true});
    PutRow(list_view, n, entry, root_length);
    const LeadingImages leading = LeadingImagesOf(list_view, n);
    const int dpi = ListDpi(list_view);
    SetColumnWidthIfWider(list_view, 0, column_width_for_text(0, StringWidth(list_view, entry.name), leading.state, leading.icon, dpi));
    SetColumnWidthIfWider(list_view, 1, column_width_for_text(1, StringWidth(list_view, path_below_root(entry.path, root_length)), 0, 0, dpi));
}

namespace {

std::string RowText(HWND list_view, int row, int column)
{
    wchar_t text[kMaxLibraryText + 1] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kMaxLibraryText + 1;
    SendMessageW(list_view, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
}

}  // namespace

void ReloadLibraryImages(HWND list_view, HIMAGELIST images, const std::string& root)
{
    const int count = static_cast<int>(SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0));
    const int icon_size = IconSizeOf(images);
    ShellIcons shell(true, icon_size);
    for (int row = 0; row < count; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        if (!SendMessageW(list_view, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) || item.iImage < 0)
            continue;
        LibraryEntry entry;
        entry.path = root + "\\" + RowText(list_view, row, 1);
        RowIcon icon;
        ResolveLibraryFile(entry, root.size(), shell, icon, icon_size);
        if (item.iImage >= ImageList_GetImageCount(images))
            ImageList_SetImageCount(images, static_cast<UINT>(item.iImage + 1));
        PutImage(images, item.iImage, icon);
    }
    InvalidateRect(list_view, nullptr, TRUE);
}

void FitLibraryColumns(HWND list_view)
{
    const int count = static_cast<int>(SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0));
    g_column_widths[0] = g_column_widths[1] = 0;
    if (count == 0)
        return;
    TextWidths widths(list_view);
    int widest[2] = {0, 0};
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < 2; ++column) {
            const int width = widths.of(RowText(list_view, row, column));
            widest[column] = width > widest[column] ? width : widest[column];
        }
    }
    const LeadingImages leading = LeadingImagesOf(list_view, 0);
    for (int column = 0; column < 2; ++column)
        SetColumnWidthIfWider(list_view, column,
                              column_width_for_text(column, widest[column], leading.state, leading.icon, ListDpi(list_view)));
}

void PrepareShellIcons()
{
    if (const HICON icon = ShellSmallIcon(kArchiveExtension, SHGFI_USEFILEATTRIBUTES))
        DestroyIcon(icon);
}

HICON ReadNameAndIcon(const std::string& folder, std::string& name, int icon_size)
{
    StoredProfile definition(folder + "VLD.INI");
    const NameAndIconFile found = read_name_and_icon_file(definition);
    name = found.name;
    if (found.icon_file.empty())
        return nullptr;
    return static_cast<HICON>(
        LoadImageW(nullptr, Wide(folder + found.icon_file).c_str(), IMAGE_ICON, icon_size, icon_size, LR_LOADFROMFILE));
}
