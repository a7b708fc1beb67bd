#include "library/extraction_folder_win.h"

#include <windows.h>

#include "core/wide_text_win.h"
#include "library/extraction_folder.h"
#include "library/mascot_cache_win.h"

namespace {

// A name cut by the path limit names no entry of ours; it is left alone.
bool FitsPath(const std::string& path) { return WideLength(path) < MAX_PATH; }

void DeleteEntryFile(const std::string& path)
{
    // A read-only file would refuse the delete.
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Wide(path).c_str());
}

// Removes everything below the folder (which ends in a separator). A link or junction is
// removed as the link: whatever it points to is never entered.
void EmptyFolder(const std::string& folder, int depth, bool files_only)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = Utf8(found.cFileName);
        const std::string path = folder + name;
        const bool is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool is_link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (!FitsPath(path) || (files_only && is_folder))
            continue;
        switch (sweep_step(name, is_folder, is_link, depth)) {
        case SweepStep::leave: break;
        case SweepStep::delete_file: DeleteEntryFile(path); break;
        case SweepStep::remove_link:
            if (is_folder)
                RemoveDirectoryW(Wide(path).c_str());
            else
                DeleteFileW(Wide(path).c_str());
            break;
        case SweepStep::descend:
            EmptyFolder(path + "\\", depth + 1, false);
            RemoveDirectoryW(Wide(path).c_str());
            break;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The extraction folder itself when it is a real folder; a link or junction in its place is
// not entered.
bool ExtractionFolderIsReal(const std::string& root)
{
    const DWORD attributes = GetFileAttributesW(Wide(root).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

void EmptyExtractionFolder()
{
    const std::string root = ExtractionFolder();
    if (!ExtractionFolderIsReal(root))
        return;
    EmptyFolder(root, 0, false);
    RemoveDirectoryW(Wide(root).c_str());
}

void RemoveScanFiles()
{
    const std::string root = ExtractionFolder();
    if (ExtractionFolderIsReal(root))
        EmptyFolder(root, 0, true);
}

void RemoveMascotFolder(const std::string& folder)
{
    const std::string root = ExtractionFolder();
    if (!ExtractionFolderIsReal(root) || !lies_inside_extraction_folder(root, folder))
        return;
    std::string path = folder.back() == '\\' ? folder : folder + "\\";
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveDirectoryW(Wide(path).c_str());
    } else {
        EmptyFolder(path, 1, false);
        RemoveDirectoryW(Wide(path).c_str());
    }
    // The folders of a source path's folders (Cats\ of Cats\tama.lzh), while they are empty.
    path.pop_back();
    for (size_t cut = path.rfind('\\'); cut != std::string::npos && cut + 1 > root.size(); cut = path.rfind('\\')) {
        path.resize(cut);
        if (path.size() + 1 <= root.size() || !RemoveDirectoryW(Wide(path).c_str()))
            break;
    }
}
