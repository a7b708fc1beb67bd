#include "library/mascot_cache_win.h"

#include <memory>
#include <new>
#include <vector>

#include "core/application_win.h"
#include "core/wide_text_win.h"
#include "display/shared_read_win.h"
#include "library/extraction_folder_win.h"
#include "library/lha_commands.h"
#include "library/lha_component_win.h"
#include "library/library_scan_win.h"
#include "library/mascot_cache.h"

namespace {

struct CacheState {
    MascotCache cache;
    std::string file_path;
    // Held from BeginScan to EndScan, and inside ClearAndRescan, so that a scan loads the
    // library once rather than once per archive.
    std::unique_ptr<LhaComponent> lha;
};

CacheState g_cache;

// Reads archives through the held component into the extraction folder.
class ExtractionFolderReader : public ArchiveReader {
public:
    bool available() override { return g_cache.lha && g_cache.lha->loaded(); }
    int extract_name_and_icons(const std::string& archive_path) override
    {
        if (!available())
            return -1;
        // The folder is shared by every archive: without this, an archive whose extraction
        // fails, or that lacks a definition, would be listed with the previous one's name
        // and icon.
        DeleteFileW(Wide(folder_ + "VLD.INI").c_str());
        return g_cache.lha->run(g_app.controller, extract_name_and_icons_command(archive_path, folder_));
    }
    bool read_name_and_icon(std::string& name) override
    {
        const HICON icon = ReadNameAndIcon(folder_, name);
        if (!icon)
            return false;
        // Only whether it loaded is remembered; the scan loads it again.
        DestroyIcon(icon);
        return true;
    }

private:
    const std::string folder_ = ExtractionFolder();
};

std::string CacheFilePath()
{
    const std::string exe = ExecutablePath();
    return exe.substr(0, exe.find_last_of('\\') + 1) + "Velmo2.mdc";
}

}  // namespace

std::string ExtractionFolder()
{
    return TemporaryFolder() + "Velmo\\";
}

void LoadCache()
{
    g_cache.file_path = CacheFilePath();
    g_cache.cache.clear();
    const HANDLE file = OpenSharedRead(g_cache.file_path);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const DWORD size = GetFileSize(file, nullptr);
    // The file runs before anything else is set up; one too large to hold in memory gives an
    // empty cache rather than ending the program.
    std::unique_ptr<uint8_t[]> data(size == INVALID_FILE_SIZE ? nullptr : new (std::nothrow) uint8_t[size ? size : 1]);
    DWORD read = 0;
    if (!data || !ReadFile(file, data.get(), size, &read, nullptr))
        read = 0;
    CloseHandle(file);
    if (data)
        g_cache.cache.load(data.get(), read);
}

void SaveCache()
{
    if (g_cache.file_path.empty())
        g_cache.file_path = CacheFilePath();
    const HANDLE file = CreateFileW(Wide(g_cache.file_path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::vector<uint8_t> data = g_cache.cache.save();
    DWORD written = 0;
    if (!data.empty())
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
}

void BeginScan()
{
    g_cache.cache.begin_scan();
    g_cache.lha = std::make_unique<LhaComponent>();
}

bool LookupArchive(LibraryEntry& entry, size_t root_length)
{
    ExtractionFolderReader reader;
    return g_cache.cache.lookup(entry, root_length, reader);
}

bool EndScan()
{
    g_cache.lha.reset();
    RemoveScanFiles();
    return g_cache.cache.end_scan();
}

HIMAGELIST CreateLibraryImageList(int icon_size)
{
    return ImageList_Create(icon_size, icon_size, ILC_COLOR32 | ILC_MASK, 4, 0);
}

HIMAGELIST ClearAndRescan(HWND list_view, HIMAGELIST image_list)
{
    int icon_size = 0, unused = 0;
    if (!ImageList_GetIconSize(image_list, &icon_size, &unused) || icon_size <= 0)
        icon_size = GetSystemMetrics(SM_CXSMICON);
    g_cache.cache.clear();
    SendMessageW(list_view, LVM_DELETEALLITEMS, 0, 0);
    ImageList_Destroy(image_list);
    const HIMAGELIST fresh = CreateLibraryImageList(icon_size);
    SendMessageW(list_view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fresh));
    g_cache.lha = std::make_unique<LhaComponent>();
    ScanLibrary(list_view, fresh);
    g_cache.lha.reset();
    RemoveScanFiles();
    return fresh;
}

HIMAGELIST RebuildLibraryImages(HWND list_view, HIMAGELIST image_list, int icon_size)
{
    const HIMAGELIST fresh = CreateLibraryImageList(icon_size);
    if (!fresh)
        return image_list;
    // A scan that is running holds the component already and frees it when it ends.
    const bool held = g_cache.lha != nullptr;
    if (!held)
        g_cache.lha = std::make_unique<LhaComponent>();
    ReloadLibraryImages(list_view, fresh, LibraryRoot());
    if (!held)
        g_cache.lha.reset();
    SendMessageW(list_view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fresh));
    ImageList_Destroy(image_list);
    return fresh;
}
