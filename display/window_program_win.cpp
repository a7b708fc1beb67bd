#include "display/window_program_win.h"

#include <tlhelp32.h>

#include <cstring>
#include <vector>

#include "core/wide_text_win.h"
#include "display/packaged_app.h"
#include "display/system_library_win.h"

namespace {

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
using TaskEnumProcEx = BOOL(WINAPI*)(DWORD, WORD, WORD, LPSTR, LPSTR, LPARAM);
using VDMEnumTaskWOWExFn = INT(WINAPI*)(DWORD, TaskEnumProcEx, LPARAM);
using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);

template <typename Fn>
Fn Lookup(HMODULE library, const char* name)
{
    return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

using TaskVisit = std::function<bool(uint16_t, const std::string&)>;

BOOL WINAPI VisitTask(DWORD, WORD, WORD task, LPSTR, LPSTR file_name, LPARAM context)
{
    const TaskVisit& visit = *reinterpret_cast<const TaskVisit*>(context);
    // The task walk of 16-bit programs has no wide form; its names are in the system's code
    // page, which the platform converts.
    wchar_t wide[MAX_PATH + 1] = {};
    if (file_name)
        MultiByteToWideChar(CP_ACP, 0, file_name, -1, wide, MAX_PATH);
    // Answering TRUE stops the task walk.
    return visit(task, Utf8(wide)) ? FALSE : TRUE;
}

class Win32ProcessPlatform : public ProcessPlatform {
public:
    ~Win32ProcessPlatform() override { close_apis(); }

    Family family() override
    {
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof version;
        if (!GetVersionExW(&version))
            return Family::Unknown;
        if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
            return Family::WindowsNT;
        if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
            return Family::Windows9x;
        return Family::Unknown;
    }

    bool open_process_api() override
    {
        psapi_ = LoadSystemLibrary(L"PSAPI.DLL");
        enum_processes_ = Lookup<EnumProcessesFn>(psapi_, "EnumProcesses");
        enum_modules_ = Lookup<EnumProcessModulesFn>(psapi_, "EnumProcessModules");
        module_file_name_ = Lookup<GetModuleFileNameExFn>(psapi_, "GetModuleFileNameExW");
        return enum_processes_ && enum_modules_ && module_file_name_;
    }

    bool open_task_api() override
    {
        vdmdbg_ = LoadSystemLibrary(L"VDMDBG.DLL");
        enum_tasks_ = Lookup<VDMEnumTaskWOWExFn>(vdmdbg_, "VDMEnumTaskWOWEx");
        return enum_tasks_ != nullptr;
    }

    void close_apis() override
    {
        if (psapi_)
            FreeLibrary(psapi_);
        if (vdmdbg_)
            FreeLibrary(vdmdbg_);
        psapi_ = vdmdbg_ = nullptr;
    }

    bool enum_process_ids(uint32_t* ids, uint32_t capacity_bytes, uint32_t& returned_bytes) override
    {
        DWORD returned = 0;
        if (!enum_processes_(reinterpret_cast<DWORD*>(ids), capacity_bytes, &returned))
            return false;
        returned_bytes = returned;
        return true;
    }

    std::string module_path(uint32_t process_id) override
    {
        wchar_t path[MAX_PATH + 1] = {};
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_id);
        if (!process)
            return std::string();
        HMODULE first = nullptr;
        DWORD needed = 0;
        if (!enum_modules_(process, &first, sizeof first, &needed) ||
            module_file_name_(process, first, path, MAX_PATH + 1) == 0)
            path[0] = L'\0';
        CloseHandle(process);
        path[MAX_PATH] = L'\0';
        return Utf8(path);
    }

    // A 32-bit program cannot read the modules of a 64-bit process; the image name query
    // still gives its path on every system that has it.
    std::string image_path(uint32_t process_id) override
    {
        if (!query_image_name_)
            return std::string();
        HANDLE process = OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, process_id);
        if (!process)
            return std::string();
        wchar_t path[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        if (!query_image_name_(process, 0, path, &size))
            path[0] = L'\0';
        CloseHandle(process);
        return Utf8(path);
    }

    void enum_tasks(uint32_t process_id, const TaskVisit& visit) override
    {
        enum_tasks_(process_id, VisitTask, reinterpret_cast<LPARAM>(&visit));
    }

    bool walk_snapshot(const std::function<bool(uint32_t, const std::string&)>& visit) override
    {
        HMODULE kernel = LoadSystemLibrary(L"Kernel32.DLL");
        auto create = Lookup<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
        auto first = Lookup<ProcessWalkFn>(kernel, "Process32FirstW");
        auto next = Lookup<ProcessWalkFn>(kernel, "Process32NextW");
        if (!create || !first || !next) {
            if (kernel)
                FreeLibrary(kernel);
            return false;
        }
        HANDLE snapshot = create(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) {
            FreeLibrary(kernel);
            return false;
        }
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = first(snapshot, &entry); more; more = next(snapshot, &entry)) {
            entry.szExeFile[MAX_PATH - 1] = L'\0';
            if (!visit(entry.th32ProcessID, Utf8(entry.szExeFile)))
                break;
            entry.dwSize = sizeof entry;
        }
        CloseHandle(snapshot);
        FreeLibrary(kernel);
        return true;
    }

private:
    HMODULE psapi_ = nullptr;
    HMODULE vdmdbg_ = nullptr;
    EnumProcessesFn enum_processes_ = nullptr;
    EnumProcessModulesFn enum_modules_ = nullptr;
    GetModuleFileNameExFn module_file_name_ = nullptr;
    // In the kernel itself from Vista on, so it is there without loading a library.
    QueryFullProcessImageNameFn query_image_name_ =
        Lookup<QueryFullProcessImageNameFn>(GetModuleHandleW(L"KERNEL32.DLL"), "QueryFullProcessImageNameW");
    VDMEnumTaskWOWExFn enum_tasks_ = nullptr;
};

BOOL CALLBACK AddChildFacts(HWND child, LPARAM context)
{
    wchar_t class_name[64] = {};
    GetClassNameW(child, class_name, 64);
    DWORD process_id = 0;
    GetWindowThreadProcessId(child, &process_id);
    auto& children = *reinterpret_cast<std::vector<ChildWindowFacts>*>(context);
    // A frame has a handful of children; the cap keeps a strange window from growing the list.
    if (children.size() >= 256)
        return FALSE;
    try {
        children.push_back({Utf8(class_name), process_id});
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

// The process whose program the window stands for: a packaged app's frame stands for its app.
DWORD ProgramProcessOf(HWND window, DWORD window_process)
{
    wchar_t wide_class_name[64] = {};
    GetClassNameW(window, wide_class_name, 64);
    const std::string class_name = Utf8(wide_class_name);
    if (!is_packaged_app_frame(class_name))
        return window_process;
    std::vector<ChildWindowFacts> children;
    EnumChildWindows(window, AddChildFacts, reinterpret_cast<LPARAM>(&children));
    return program_process_of_window(class_name, window_process, children);
}

}  // namespace

bool EnumerateProcesses(const ProcessVisitor& visit)
{
    Win32ProcessPlatform platform;
    return enumerate_processes(platform, visit);
}

bool GetWindowProgramName(HWND window, std::string& path)
{
    path.clear();
    DWORD process_id = 0;
    if (!GetWindowThreadProcessId(window, &process_id))
        return false;
    process_id = ProgramProcessOf(window, process_id);
    Win32ProcessPlatform platform;
    return program_path_of_process(platform, process_id, path);
}
