// vdriver: the integration tests' hands and eyes inside the Wine prefix.
// Every command prints plain lines on stdout; handles are printed and taken in hex.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/system_records_win.h"

namespace {

// Window handles carry 32 significant bits on both architectures (so that 32-bit and 64-bit
// programs can share them); a 64-bit program widens them with their sign.
HWND parse_window(const char* text)
{
    const auto low = static_cast<uint32_t>(std::strtoul(text, nullptr, 16));
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<int32_t>(low)));
}

unsigned long handle_number(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window) & 0xFFFFFFFFu);
}

long number(const char* text) { return std::strtol(text, nullptr, 0); }

void print_window(HWND window)
{
    char class_name[256] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    RECT r = {};
    GetWindowRect(window, &r);
    const LONG ex_style = GetWindowLongA(window, GWL_EXSTYLE);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    std::printf("%lx %s %ld %ld %ld %ld visible=%d topmost=%d style=%lx exstyle=%lx\n",
                handle_number(window), class_name, r.left, r.top, r.right,
                r.bottom, IsWindowVisible(window) ? 1 : 0, (ex_style & WS_EX_TOPMOST) ? 1 : 0,
                static_cast<unsigned long>(style), static_cast<unsigned long>(ex_style));
}

struct ListContext {
    const char* prefix;
};

BOOL CALLBACK list_one(HWND window, LPARAM context)
{
    const char* prefix = reinterpret_cast<ListContext*>(context)->prefix;
    char class_name[256] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (std::strncmp(class_name, prefix, std::strlen(prefix)) == 0)
        print_window(window);
    return TRUE;
}

// Top-level windows whose class begins with the prefix, in Z order.
int cmd_windows(int argc, char** argv)
{
    ListContext context = {argc > 2 ? argv[2] : ""};
    EnumWindows(list_one, reinterpret_cast<LPARAM>(&context));
    return 0;
}

int cmd_info(int, char** argv)
{
    HWND window = parse_window(argv[2]);
    if (!IsWindow(window))
        return 1;
    print_window(window);
    return 0;
}

int cmd_text(int, char** argv)
{
    char text[1024] = {};
    GetWindowTextA(parse_window(argv[2]), text, sizeof text);
    for (const unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p)
        std::printf("%02x", *p);
    std::printf("\n");
    return 0;
}

// The window's region as rectangles in window coordinates, one per line, or "none".
int cmd_region(int, char** argv)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(parse_window(argv[2]), region);
    if (kind == ERROR) {
        std::printf("none\n");
        DeleteObject(region);
        return 0;
    }
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    GetRegionData(region, size, data);
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    std::printf("count %lu\n", static_cast<unsigned long>(data->rdh.nCount));
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        std::printf("%ld %ld %ld %ld\n", rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    DeleteObject(region);
    return 0;
}

LRESULT CALLBACK target_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// Shows a window of its own class that stays until it is closed; prints its handle first.
int run_window(const char* class_name, const char* title, DWORD style, char** rect)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = target_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = class_name;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, class_name, title, style, number(rect[0]), number(rect[1]), number(rect[2]),
                                  number(rect[3]), nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    std::printf("%lx\n", handle_number(window));
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// target X Y W H [TITLE]: a plain titled window.
int cmd_target(int argc, char** argv)
{
    return run_window("VdriverTarget", argc > 6 ? argv[6] : "target", WS_OVERLAPPEDWINDOW, argv + 2);
}

// frame X Y W H: a titled window of the class a packaged app's frame has.
int cmd_frame(int, char** argv) { return run_window("ApplicationFrameWindow", "frame", WS_OVERLAPPEDWINDOW, argv + 2); }

// app-child PARENT: a child window of the class a packaged app draws in, made by this process
// inside a window of another; it fills the parent's client area. Prints its handle.
int cmd_app_child(int, char** argv)
{
    HWND parent = parse_window(argv[2]);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = target_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    wc.lpszClassName = "Windows.UI.Core.CoreWindow";
    RegisterClassA(&wc);
    RECT client = {};
    GetClientRect(parent, &client);
    HWND child = CreateWindowExA(0, wc.lpszClassName, "app", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                                 parent, nullptr, wc.hInstance, nullptr);
    std::printf("%lx\n", child ? handle_number(child) : 0ul);
    std::fflush(stdout);
    if (!child)
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// dwm-attribute HWND ATTRIBUTE: "ok VALUE" with the attribute's first four bytes, or
// "failed HRESULT" (also when dwmapi.dll or the function is missing).
int cmd_dwm_attribute(int, char** argv)
{
    using GetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    HMODULE dwmapi = LoadLibraryA("dwmapi.dll");
    auto get = dwmapi ? reinterpret_cast<GetAttributeFn>(reinterpret_cast<void*>(GetProcAddress(dwmapi, "DwmGetWindowAttribute")))
                      : nullptr;
    DWORD value[4] = {};
    const HRESULT result = get ? get(parse_window(argv[2]), static_cast<DWORD>(number(argv[3])), value, sizeof(DWORD))
                               : E_NOTIMPL;
    if (SUCCEEDED(result))
        std::printf("ok %lu\n", static_cast<unsigned long>(value[0]));
    else
        std::printf("failed %lx\n", static_cast<unsigned long>(result));
    return 0;
}

// notification-state: "ok STATE" as SHQueryUserNotificationState answers, or "failed".
int cmd_notification_state(int, char**)
{
    using QueryFn = HRESULT(WINAPI*)(int*);
    HMODULE shell = LoadLibraryA("shell32.dll");
    auto query = shell ? reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHQueryUserNotificationState")))
                       : nullptr;
    int state = 0;
    if (query && SUCCEEDED(query(&state)))
        std::printf("ok %d\n", state);
    else
        std::printf("failed\n");
    return 0;
}

struct TipSearch {
    HWND page;
    HWND tool;
    DWORD process_id;
};

// Reads the text of one tool of a tool tip window in another process: the record and the
// text buffer are made in that process, where the tool tip writes.
BOOL CALLBACK print_tip_text(HWND window, LPARAM context)
{
    const auto& search = *reinterpret_cast<const TipSearch*>(context);
    char class_name[64] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    if (lstrcmpiA(class_name, TOOLTIPS_CLASSA) != 0 || process_id != search.process_id)
        return TRUE;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
    if (!process)
        return TRUE;
    const SIZE_T text_size = 1024;
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(TOOLINFOA) + text_size,
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote) {
        std::vector<char> text(text_size, 0);
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = search.page;
        tool.uId = reinterpret_cast<UINT_PTR>(search.tool);
        tool.lpszText = remote + sizeof(TOOLINFOA);
        WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr);
        WriteProcessMemory(process, remote + sizeof(TOOLINFOA), text.data(), text_size, nullptr);
        SendMessageA(window, TTM_GETTEXTA, text_size, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote + sizeof(TOOLINFOA), text.data(), text_size - 1, nullptr);
        if (text[0]) {
            for (const char* c = text.data(); *c; ++c)
                std::printf("%02x", static_cast<unsigned char>(*c));
            std::printf("\n");
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return TRUE;
}

// tip-text PAGE TOOL: the texts (hex, one a line) that the tool tips of the page's process
// hold for the control TOOL of PAGE; nothing when none has it.
int cmd_tip_text(int, char** argv)
{
    TipSearch search = {parse_window(argv[2]), parse_window(argv[3]), 0};
    GetWindowThreadProcessId(search.page, &search.process_id);
    EnumWindows(print_tip_text, reinterpret_cast<LPARAM>(&search));
    return 0;
}

// popup CLASS X Y W H: a borderless window of the given class, as a stand-in for the shell's
// taskbars or a full-screen program.
int cmd_popup(int, char** argv) { return run_window(argv[2], "popup", WS_POPUP, argv + 3); }

BOOL CALLBACK print_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM)
{
    MONITORINFOEXA info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        std::printf("%s %ld %ld %ld %ld %d\n", info.szDevice, info.rcMonitor.left, info.rcMonitor.top,
                    info.rcMonitor.right, info.rcMonitor.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    return TRUE;
}

// monitors: one line per monitor: device name, rectangle, 1 for the primary.
int cmd_monitors(int, char**)
{
    EnumDisplayMonitors(nullptr, nullptr, print_monitor, 0);
    return 0;
}

// display-set DEVICE X Y W H: moves a monitor, or with W and H 0 detaches it, through the
// display settings, which tells every top-level window with WM_DISPLAYCHANGE.
int cmd_display_set(int, char** argv)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPosition.x = number(argv[3]);
    mode.dmPosition.y = number(argv[4]);
    mode.dmPelsWidth = static_cast<DWORD>(number(argv[5]));
    mode.dmPelsHeight = static_cast<DWORD>(number(argv[6]));
    const LONG staged = ChangeDisplaySettingsExA(argv[2], &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
    const LONG applied = ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr);
    std::printf("%ld %ld\n", staged, applied);
    return staged == DISP_CHANGE_SUCCESSFUL && applied == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

int cmd_move(int, char** argv)
{
    return MoveWindow(parse_window(argv[2]), number(argv[3]), number(argv[4]), number(argv[5]), number(argv[6]), TRUE)
               ? 0
               : 1;
}

int cmd_show(int, char** argv)
{
    ShowWindow(parse_window(argv[2]), static_cast<int>(number(argv[3])));
    return 0;
}

int cmd_foreground(int, char** argv)
{
    HWND window = parse_window(argv[2]);
    return SetForegroundWindow(window) ? 0 : 1;
}

// flip HWND HWND COUNT MS: brings the two windows to the front in turn, COUNT times, MS
// milliseconds apart, so that the mascots' target changes on every tick.
int cmd_flip(int, char** argv)
{
    const HWND windows[2] = {parse_window(argv[2]), parse_window(argv[3])};
    const long count = std::strtol(argv[4], nullptr, 10);
    const DWORD pause = static_cast<DWORD>(std::strtoul(argv[5], nullptr, 10));
    for (long turn = 0; turn < count; ++turn) {
        SetForegroundWindow(windows[turn % 2]);
        Sleep(pause);
    }
    return 0;
}

int cmd_placement(int, char** argv)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(parse_window(argv[2]), &placement))
        return 1;
    std::printf("%u\n", placement.showCmd);
    return 0;
}

int cmd_post(int, char** argv)
{
    return PostMessageA(parse_window(argv[2]), number(argv[3]), number(argv[4]), number(argv[5])) ? 0 : 1;
}

int cmd_send(int, char** argv)
{
    const LRESULT result = SendMessageA(parse_window(argv[2]), number(argv[3]), number(argv[4]), number(argv[5]));
    std::printf("%ld\n", static_cast<long>(result));
    return 0;
}

int cmd_foreground_window(int, char**)
{
    print_window(GetForegroundWindow());
    return 0;
}

void dump_key(HKEY key, const std::string& path)
{
    std::vector<char> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD index = 0;; ++index) {
        DWORD name_length = static_cast<DWORD>(name.size());
        DWORD data_length = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, index, name.data(), &name_length, nullptr, &type, data.data(), &data_length) !=
            ERROR_SUCCESS)
            break;
        std::printf("V\t%s\t", path.c_str());
        for (DWORD i = 0; i < name_length; ++i)
            std::printf("%02x", static_cast<unsigned char>(name[i]));
        std::printf("\t%lu\t", static_cast<unsigned long>(type));
        for (DWORD i = 0; i < data_length; ++i)
            std::printf("%02x", data[i]);
        std::printf("\n");
    }
    char child[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, index, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const std::string child_path = path + "\\" + child;
        std::printf("K\t%s\n", child_path.c_str());
        HKEY sub;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            dump_key(sub, child_path);
            RegCloseKey(sub);
        }
    }
}

// Every key and value below an HKCU path: "K path" and "V path hexname type hexdata" lines.
int cmd_reg_dump(int, char** argv)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, argv[2], 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("missing\n");
        return 0;
    }
    std::printf("K\t%s\n", argv[2]);
    dump_key(key, argv[2]);
    RegCloseKey(key);
    return 0;
}

std::vector<BYTE> from_hex(const char* hex)
{
    std::vector<BYTE> bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], 0};
        bytes.push_back(static_cast<BYTE>(std::strtoul(pair, nullptr, 16)));
    }
    return bytes;
}

// reg-set PATH HEXNAME TYPE HEXDATA: names and data in hex so that any bytes survive.
// reg-write-time KEY: the key's last-write time below HKCU as a 64-bit number, or "missing".
int cmd_reg_write_time(int, char** argv)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, argv[2], 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("missing\n");
        return 0;
    }
    FILETIME written = {};
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &written);
    RegCloseKey(key);
    std::printf("%llu\n", (static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime);
    return 0;
}

int cmd_reg_set(int, char** argv)
{
    // "HKLM\" before the path names the machine hive; otherwise the path is below HKCU.
    HKEY root = HKEY_CURRENT_USER;
    const char* path = argv[2];
    if (std::strncmp(path, "HKLM\\", 5) == 0) {
        root = HKEY_LOCAL_MACHINE;
        path += 5;
    }
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    std::vector<BYTE> name = from_hex(argv[3]);
    name.push_back(0);
    const std::vector<BYTE> data = from_hex(argv[5]);
    const LONG result = RegSetValueExA(key, reinterpret_cast<char*>(name.data()), 0, number(argv[4]),
                                       data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}

std::wstring wide_text(const std::string& text, UINT code_page)
{
    const int length = MultiByteToWideChar(code_page, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(code_page, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

// Deletes a key tree through the wide functions, so that subkeys whose names the code page
// cannot hold go too; a subkey that will not go ends the walk.
bool delete_tree(HKEY parent, const wchar_t* name)
{
    HKEY key;
    if (RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        wchar_t child[256];
        DWORD length = 256;
        bool children_gone = true;
        while (children_gone &&
               RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            children_gone = delete_tree(key, child);
            length = 256;
        }
        RegCloseKey(key);
        if (!children_gone)
            return false;
    }
    return RegDeleteKeyW(parent, name) == ERROR_SUCCESS;
}

int cmd_reg_delete(int, char** argv)
{
    delete_tree(HKEY_CURRENT_USER, wide_text(argv[2], CP_ACP).c_str());
    return 0;
}

int cmd_exit_code(int, char** argv)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(parse_window(argv[2]), &pid);
    std::printf("%lu\n", static_cast<unsigned long>(pid));
    return 0;
}

// record FILE ARGS...: appends the arguments, one line, to the file. Tests register it as
// the program that opens a kind of file, to see what the shell was asked to open.
int cmd_record(int argc, char** argv)
{
    FILE* file = std::fopen(argv[2], "ab");
    if (!file)
        return 1;
    for (int i = 3; i < argc; ++i)
        std::fprintf(file, "%s%s", i > 3 ? " " : "", argv[i]);
    std::fprintf(file, "\n");
    std::fclose(file);
    return 0;
}

// reg-protect PATH 1|2|0: denies the deletion of a key below HKEY_CURRENT_USER (1), or the
// writing of its values (2), or allows both again (0), as a user may set in the registry editor.
int cmd_reg_protect(int, char** argv)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, argv[2], 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS)
        return 1;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    const DWORD size = sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(everyone));
    std::vector<BYTE> acl_bytes(size);
    ACL* acl = reinterpret_cast<ACL*>(acl_bytes.data());
    InitializeAcl(acl, size, ACL_REVISION);
    if (std::strcmp(argv[3], "1") == 0)
        AddAccessDeniedAce(acl, ACL_REVISION, DELETE, everyone);
    else if (std::strcmp(argv[3], "2") == 0)
        AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE, everyone);
    AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    const LONG result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    FreeSid(everyone);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}

// reg-create-unicode HEX: creates the key below HKEY_CURRENT_USER whose path is the UTF-8 text
// given in hex, with characters that the program's code page may lack.
int cmd_reg_create_unicode(int, char** argv)
{
    const std::vector<BYTE> bytes = from_hex(argv[2]);
    const std::wstring path = wide_text(std::string(bytes.begin(), bytes.end()), CP_UTF8);
    HKEY key;
    if (path.empty() ||
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
        return 1;
    RegCloseKey(key);
    return 0;
}

// load-cycle FILE COUNT: loads and frees a library COUNT times, as the program does for each
// archive, and prints this process's working set in KiB before and after.
int cmd_load_cycle(int, char** argv)
{
    auto working_set = [] {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        return static_cast<unsigned long>(counters.WorkingSetSize / 1024);
    };
    HMODULE warm = LoadLibraryA(argv[2]);
    if (!warm)
        return 1;
    FreeLibrary(warm);
    const unsigned long before = working_set();
    const long count = std::strtol(argv[3], nullptr, 10);
    for (long turn = 0; turn < count; ++turn)
        FreeLibrary(LoadLibraryA(argv[2]));
    std::printf("%lu %lu\n", before, working_set());
    return 0;
}

// atom NAME: 1 when the name is in the global atom table, where Wine keeps the names of
// registered window classes, else 0.
int cmd_atom(int, char** argv)
{
    std::printf("%d\n", GlobalFindAtomA(argv[2]) ? 1 : 0);
    return 0;
}

int cmd_mutex(int, char** argv)
{
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, argv[2]);
    std::printf("%d\n", mutex ? 1 : 0);
    if (mutex)
        CloseHandle(mutex);
    return 0;
}

// hold-mutex NAME: creates the named mutex with a security descriptor that grants no one any
// access, as one made by a program at a higher integrity level is to a lower one; prints 1 when
// it was made and holds it until the driver is ended.
int cmd_hold_mutex(int, char** argv)
{
    SECURITY_DESCRIPTOR descriptor;
    ACL acl;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    HANDLE mutex = CreateMutexA(&attributes, FALSE, argv[2]);
    std::printf("%d\n", mutex ? 1 : 0);
    std::fflush(stdout);
    for (;;)
        Sleep(1000);
}

// hold-file PATH: opens the file for reading, sharing reads only, as an antivirus or indexer
// looking at a fresh file does; prints 1 when it is open and holds it until the driver is ended.
int cmd_hold_file(int, char** argv)
{
    HANDLE file = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    std::printf("%d\n", file != INVALID_HANDLE_VALUE ? 1 : 0);
    std::fflush(stdout);
    for (;;)
        Sleep(1000);
}

int cmd_gui_resources(int, char** argv)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(parse_window(argv[2]), &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process)
        return 1;
    std::printf("gdi %lu user %lu\n", static_cast<unsigned long>(GetGuiResources(process, GR_GDIOBJECTS)),
                static_cast<unsigned long>(GetGuiResources(process, GR_USEROBJECTS)));
    CloseHandle(process);
    return 0;
}

// The full path of every module loaded in the process that owns a window, one a line.
int cmd_modules(int, char** argv)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(parse_window(argv[2]), &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return 1;
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    const BOOL listed = EnumProcessModules(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                                           &needed);
    if (listed) {
        modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
        for (HMODULE module : modules) {
            char path[MAX_PATH + 1] = {};
            if (GetModuleFileNameExA(process, module, path, MAX_PATH))
                std::printf("%s\n", path);
        }
    }
    CloseHandle(process);
    return listed ? 0 : 1;
}

// A window's text through WM_GETTEXT, which also reaches edit controls of other processes.
std::string text_of(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::vector<char> text(length + 2, '\0');
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &ignored);
    return std::string(text.data());
}

void print_hex(const std::string& text)
{
    for (unsigned char c : text)
        std::printf("%02x", c);
}

BOOL CALLBACK print_child(HWND child, LPARAM)
{
    char class_name[256] = {};
    GetClassNameA(child, class_name, sizeof class_name);
    RECT r = {};
    GetWindowRect(child, &r);
    std::printf("%d %s %ld %ld %ld %ld enabled=%d visible=%d style=%lx text=", GetDlgCtrlID(child), class_name,
                r.left, r.top, r.right, r.bottom, IsWindowEnabled(child) ? 1 : 0, IsWindowVisible(child) ? 1 : 0,
                static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)));
    print_hex(text_of(child));
    std::printf("\n");
    return TRUE;
}

// children HWND: one line per child control: id, class, screen rectangle, states, text in hex.
int cmd_children(int, char** argv)
{
    HWND window = parse_window(argv[2]);
    if (!IsWindow(window))
        return 1;
    EnumChildWindows(window, print_child, 0);
    return 0;
}

// The dialogs' font as the dialog manager makes it at `dpi`: 9 points of "ＭＳ Ｐゴシック" in the
// Shift-JIS set, or of `face_hex` (UTF-8 in hex) when the program names another face. The
// control's own font handle belongs to the program's process and cannot be read from here.
HFONT make_dialog_font(int dpi, bool underline, const char* face_hex)
{
    std::wstring face = L"ＭＳ Ｐゴシック";
    BYTE charset = SHIFTJIS_CHARSET;
    if (face_hex) {
        const std::vector<BYTE> bytes = from_hex(face_hex);
        face = wide_text(std::string(bytes.begin(), bytes.end()), CP_UTF8);
        charset = DEFAULT_CHARSET;
    }
    return CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
}

std::wstring wide_window_text(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// How many characters of the text the selected font has no glyph for.
int missing_glyphs(HDC dc, const std::wstring& text)
{
    std::vector<WORD> glyphs(text.size() + 1);
    if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
        GDI_ERROR)
        return static_cast<int>(text.size());
    int missing = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] >= 0x20 && glyphs[i] == 0xFFFF)
            ++missing;
    return missing;
}

// What a static or button child's text needs and the room its control gives it, in pixels,
// drawn with the dialogs' font and wrapped where the control wraps.
BOOL CALLBACK print_text_fit(HWND child, LPARAM face_hex)
{
    char class_name[64] = {};
    GetClassNameA(child, class_name, sizeof class_name);
    const bool button = lstrcmpiA(class_name, "Button") == 0;
    const std::wstring text = wide_window_text(child);
    if ((!button && lstrcmpiA(class_name, "Static") != 0) || text.empty())
        return TRUE;
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    RECT client = {};
    GetClientRect(child, &client);
    HDC dc = GetDC(child);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    HFONT font = make_dialog_font(dpi, false, reinterpret_cast<const char*>(face_hex));
    HGDIOBJ previous = SelectObject(dc, font);
    long room_width = client.right;
    const long room_height = client.bottom;
    bool wraps;
    if (button) {
        const LONG kind = style & BS_TYPEMASK;
        if (kind == BS_GROUPBOX)
            room_width -= 16 * dpi / 96;  // the frame's corners on both sides of the caption
        else if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON)
            room_width -= 8 * dpi / 96;  // the raised edge and the focus frame
        else
            room_width -= 12 * dpi / 96 + 1 + 4 * dpi / 96;  // the check box or radio glyph and its gap
        wraps = (style & BS_MULTILINE) != 0;
    } else {
        const LONG kind = style & SS_TYPEMASK;
        // Pictures and frames carry no text to read.
        if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_SIMPLE && kind != SS_LEFTNOWORDWRAP) {
            SelectObject(dc, previous);
            DeleteObject(font);
            ReleaseDC(child, dc);
            return TRUE;
        }
        wraps = kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT;
    }
    // A text that fits on one line stays one line; only a longer one is wrapped to the room.
    RECT needed = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    if (wraps && (needed.right > room_width || text.find(L'\n') != std::wstring::npos)) {
        needed = {0, 0, room_width, 0};
        DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    }
    RECT line = {0, 0, 0, 0};
    DrawTextW(dc, L"あ", -1, &line, DT_CALCRECT | DT_SINGLELINE);
    const int missing = missing_glyphs(dc, text);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(child, dc);
    const bool groupbox = button && (style & BS_TYPEMASK) == BS_GROUPBOX;
    RECT screen = {};
    GetWindowRect(child, &screen);
    std::printf("%d %s %ld %ld %ld %ld %ld %ld %ld %ld %ld %d\n", GetDlgCtrlID(child), button ? "Button" : "Static",
                needed.right, groupbox ? 0L : needed.bottom, room_width, room_height, line.bottom, screen.left,
                screen.top, screen.right, screen.bottom, missing);
    return TRUE;
}

// text-fits WINDOW [FACE]: "ID CLASS NEEDED_WIDTH NEEDED_HEIGHT ROOM_WIDTH ROOM_HEIGHT LINE_HEIGHT
// LEFT TOP RIGHT BOTTOM MISSING_GLYPHS" (the rectangle on the screen) for each child whose text
// the user reads, measured in the dialogs' font or in FACE (UTF-8 in hex).
int cmd_text_fits(int argc, char** argv)
{
    EnumChildWindows(parse_window(argv[2]), print_text_fit, reinterpret_cast<LPARAM>(argc > 3 ? argv[3] : nullptr));
    return 0;
}

// owner HWND: the owner window's handle, 0 when it has none.
int cmd_owner(int, char** argv)
{
    std::printf("%lx\n", handle_number(GetWindow(parse_window(argv[2]), GW_OWNER)));
    return 0;
}

// key VK: presses and releases one key through the system's input queue.
int cmd_key(int, char** argv)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = static_cast<WORD>(number(argv[2]));
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, input, sizeof(INPUT)) == 2 ? 0 : 1;
}

// mouse X Y BUTTON [COUNT]: moves to a screen point and clicks COUNT times (0 only moves);
// BUTTON is left or right.
void mouse_click(int x, int y, bool right, long count)
{
    // Absolute input is scaled back by 65536 and rounded down, so round up here.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT at = {};
    at.type = INPUT_MOUSE;
    at.mi.dx = (x * 65536 + width - 1) / width;
    at.mi.dy = (y * 65536 + height - 1) / height;
    at.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &at, sizeof at);
    // Wine moves the pointer a little after the input is taken, and a pointer motion still
    // queued from before can put it back, so the click waits a while for the cursor to stay at
    // the point. While another program tracks a menu the cursor is never seen there at all;
    // each button event carries the point, so the click lands there either way.
    for (int wait = 0, stayed = 0; wait < 200 && stayed < 5; ++wait) {
        POINT now = {};
        GetCursorPos(&now);
        stayed = now.x == x && now.y == y ? stayed + 1 : 0;
        Sleep(10);
    }
    for (long i = 0; i < count; ++i) {
        INPUT click[2] = {at, at};
        click[0].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
        click[1].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        SendInput(2, click, sizeof(INPUT));
    }
}

int cmd_mouse(int argc, char** argv)
{
    mouse_click(static_cast<int>(number(argv[2])), static_cast<int>(number(argv[3])),
                std::strcmp(argv[4], "right") == 0, argc > 5 ? number(argv[5]) : 1);
    return 0;
}

int cmd_cursor_pos(int, char**)
{
    POINT point = {};
    GetCursorPos(&point);
    std::printf("%ld %ld\n", point.x, point.y);
    return 0;
}

int cmd_register_message(int, char** argv)
{
    std::printf("%u\n", RegisterWindowMessageA(argv[2]));
    return 0;
}

// tray-delete HWND ID: removes another program's tray icon, as a restarting shell loses it.
int cmd_tray_delete(int, char** argv)
{
    NOTIFYICONDATAW icon = {};
    icon.cbSize = kTrayRecordSize;
    icon.hWnd = parse_window(argv[2]);
    icon.uID = static_cast<UINT>(number(argv[3]));
    return Shell_NotifyIconW(NIM_DELETE, &icon) ? 0 : 1;
}

int cmd_temp_path(int, char**)
{
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    std::printf("%s\n", folder);
    return 0;
}

// version-value FILE SUBBLOCK: one string of a file's version resource, or nothing.
int cmd_version_value(int, char** argv)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(argv[2], &ignored);
    if (size == 0)
        return 1;
    std::vector<char> block(size);
    char* value = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(argv[2], 0, size, block.data()) ||
        !VerQueryValueA(block.data(), argv[3], reinterpret_cast<void**>(&value), &length) || !value)
        return 1;
    std::printf("%s\n", value);
    return 0;
}

struct FindById {
    int id;
    HWND found;
};

BOOL CALLBACK find_by_id(HWND window, LPARAM context)
{
    auto* find = reinterpret_cast<FindById*>(context);
    if (GetDlgCtrlID(window) == find->id) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

// dlg-find ROOT ID: the first descendant of ROOT with the control id, and its parent.
int cmd_dlg_find(int, char** argv)
{
    FindById find = {static_cast<int>(number(argv[3])), nullptr};
    EnumChildWindows(parse_window(argv[2]), find_by_id, reinterpret_cast<LPARAM>(&find));
    if (!find.found)
        return 1;
    std::printf("%lx %lx\n", handle_number(find.found),
                handle_number(GetParent(find.found)));
    return 0;
}

// dlg-item PARENT ID: "handle enabled visible texthex" of a dialog's control.
int cmd_dlg_item(int, char** argv)
{
    HWND item = GetDlgItem(parse_window(argv[2]), static_cast<int>(number(argv[3])));
    if (!item)
        return 1;
    // Another process's edit answers GetWindowText with its caption, not its contents.
    char text[1024] = {};
    SendMessageA(item, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::printf("%lx %d %d ", handle_number(item), IsWindowEnabled(item) ? 1 : 0,
                IsWindowVisible(item) ? 1 : 0);
    print_hex(text);
    std::printf("\n");
    return 0;
}

// settext HWND HEX: WM_SETTEXT with the bytes given in hex.
int cmd_settext(int, char** argv)
{
    std::string text;
    for (size_t i = 0; argv[3][i] && argv[3][i + 1]; i += 2) {
        const char pair[3] = {argv[3][i], argv[3][i + 1], 0};
        text.push_back(static_cast<char>(std::strtoul(pair, nullptr, 16)));
    }
    SendMessageA(parse_window(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

// Memory inside the list view's process, for list view messages that carry pointers.
class RemoteBlock {
public:
    explicit RemoteBlock(HWND window)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock()
    {
        if (base_)
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    bool ok() const { return base_ != nullptr; }
    char* at(size_t offset) const { return base_ + offset; }
    void write(size_t offset, const void* data, size_t size) const
    {
        WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    void read(size_t offset, void* data, size_t size) const { ReadProcessMemory(process_, base_ + offset, data, size, nullptr); }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
};

// A row's text as UTF-8. The list answers in UTF-16, which no code page of either process
// can change: an ANSI question would be answered in the list's own process's code page.
std::string remote_item_text(HWND list, const RemoteBlock& block, int row, int column)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(block.at(1024));
    item.cchTextMax = 1024;
    block.write(0, &item, sizeof item);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.at(0)));
    wchar_t text[1025] = {};
    block.read(1024, text, 2048);
    char utf8[4 * 1024 + 1] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

// lv-items LIST: one line per row in display order: "index itemdata image stateimage
// selected col0hex col1hex" (a dash for an empty text).
int cmd_lv_items(int, char** argv)
{
    HWND list = parse_window(argv[2]);
    RemoteBlock block(list);
    if (!block.ok())
        return 1;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
        item.iItem = row;
        item.stateMask = LVIS_STATEIMAGEMASK | LVIS_SELECTED;
        block.write(0, &item, sizeof item);
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0)));
        block.read(0, &item, sizeof item);
        std::printf("%d %ld %d %u %d ", row, static_cast<long>(item.lParam), item.iImage, (item.state >> 12) & 0xF,
                    (item.state & LVIS_SELECTED) ? 1 : 0);
        for (int column = 0; column < 2; ++column) {
            const std::string text = remote_item_text(list, block, row, column);
            if (text.empty())
                std::printf("-");
            print_hex(text);
            std::printf(column == 0 ? " " : "\n");
        }
    }
    return 0;
}

// lv-rect LIST INDEX: the row's label rectangle in screen coordinates.
int cmd_lv_rect(int, char** argv)
{
    HWND list = parse_window(argv[2]);
    RemoteBlock block(list);
    if (!block.ok())
        return 1;
    RECT rect = {};
    rect.left = LVIR_LABEL;
    block.write(0, &rect, sizeof rect);
    if (!SendMessageA(list, LVM_GETITEMRECT, number(argv[3]), reinterpret_cast<LPARAM>(block.at(0))))
        return 1;
    block.read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

// One of a row's rectangles, asked of the list in its own process, in screen coordinates.
bool remote_item_rect(HWND list, const RemoteBlock& block, UINT message, int row, int kind, int subitem, RECT& rect)
{
    rect = {kind, subitem, 0, 0};
    block.write(0, &rect, sizeof rect);
    if (!SendMessageA(list, message, row, reinterpret_cast<LPARAM>(block.at(0))))
        return false;
    block.read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

// --- soak: many rounds of the sheet and both dialogs, driven from one process --------------

struct ProgramWindows {
    DWORD pid;
    HWND except;
    const char* class_prefix;
    bool with_list;  // a dialog holding the mascot list (control 1000): the settings sheet
    HWND found;
};

BOOL CALLBACK find_program_window(HWND window, LPARAM context)
{
    auto& find = *reinterpret_cast<ProgramWindows*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (pid != find.pid || window == find.except || !IsWindowVisible(window) ||
        std::strncmp(name, find.class_prefix, std::strlen(find.class_prefix)) != 0)
        return TRUE;
    if (find.with_list) {
        FindById list = {1000, nullptr};
        EnumChildWindows(window, find_by_id, reinterpret_cast<LPARAM>(&list));
        if (!list.found || !IsWindowEnabled(window))
            return TRUE;
    }
    find.found = window;
    return FALSE;
}

// Waits up to 30 s for a shown top-level window of the process.
HWND wait_for_window(DWORD pid, const char* class_prefix, bool with_list, HWND except = nullptr)
{
    for (int waited = 0; waited < 3000; ++waited) {
        ProgramWindows find = {pid, except, class_prefix, with_list, nullptr};
        EnumWindows(find_program_window, reinterpret_cast<LPARAM>(&find));
        if (find.found)
            return find.found;
        Sleep(10);
    }
    return nullptr;
}

bool wait_for_end(HWND window)
{
    for (int waited = 0; waited < 3000 && IsWindow(window); ++waited)
        Sleep(10);
    return !IsWindow(window);
}

bool close_dialog(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return wait_for_end(dialog);
}

// One round: the sheet opened, its first row clicked for a preview, the preview's information
// opened and closed, the sheet closed, the about box opened and closed. Empty when it ran,
// else the step that failed.
const char* soak_round(HWND controller, DWORD pid)
{
    constexpr WPARAM kSettings = 40002, kVersion = 40003, kMascotAbout = 1009;
    PostMessageA(controller, WM_COMMAND, kSettings, 0);
    const HWND sheet = wait_for_window(pid, "#32770", true);
    if (!sheet)
        return "the sheet";
    FindById list = {1000, nullptr};
    EnumChildWindows(sheet, find_by_id, reinterpret_cast<LPARAM>(&list));
    RemoteBlock block(list.found);
    RECT row = {};
    if (!block.ok() || !remote_item_rect(list.found, block, LVM_GETITEMRECT, 0, LVIR_LABEL, 0, row))
        return "the first row";
    SetForegroundWindow(sheet);
    mouse_click((row.left + row.right) / 2, (row.top + row.bottom) / 2, false, 1);
    if (!wait_for_window(pid, "Mascot", false))
        return "the preview";
    PostMessageA(GetParent(list.found), WM_COMMAND, kMascotAbout, 0);
    const HWND information = wait_for_window(pid, "#32770", false, sheet);
    if (!information || !close_dialog(information))
        return "the information";
    PostMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    if (!wait_for_end(sheet))
        return "the sheet's end";
    PostMessageA(controller, WM_COMMAND, kVersion, 0);
    const HWND about = wait_for_window(pid, "#32770", false);
    if (!about || !close_dialog(about))
        return "the about box";
    return "";
}

// soak CONTROLLER ROUNDS: runs the rounds; prints "ROUNDS rounds" or the round and step that
// failed.
int cmd_soak(int, char** argv)
{
    const HWND controller = parse_window(argv[2]);
    DWORD pid = 0;
    GetWindowThreadProcessId(controller, &pid);
    const long rounds = number(argv[3]);
    for (long round = 0; round < rounds; ++round) {
        const char* failed = soak_round(controller, pid);
        if (*failed) {
            std::printf("round %ld: no %s\n", round, failed);
            return 1;
        }
    }
    std::printf("%ld rounds\n", rounds);
    return 0;
}

// The width of a UTF-8 text in the list's font, measured in UTF-16 by the list itself.
int remote_string_width(HWND list, const RemoteBlock& block, const std::string& text)
{
    wchar_t wide[1025] = {};
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, 1024);
    block.write(2048, wide, (wcslen(wide) + 1) * sizeof(wchar_t));
    return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(block.at(2048))));
}

// lv-layout LIST: "columns WIDTH0 WIDTH1", then per row in display order "index NAMEWIDTH
// PATHWIDTH" (each text's width in the list's font), the row's bounds, icon and column 0
// label (LVM_GETSUBITEMRECT) rectangles on the screen, each "left top right bottom".
int cmd_lv_layout(int, char** argv)
{
    HWND list = parse_window(argv[2]);
    RemoteBlock block(list);
    if (!block.ok())
        return 1;
    std::printf("columns %ld %ld\n", static_cast<long>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0)),
                static_cast<long>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0)));
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        RECT bounds, icon, label;
        if (!remote_item_rect(list, block, LVM_GETITEMRECT, row, LVIR_BOUNDS, 0, bounds) ||
            !remote_item_rect(list, block, LVM_GETITEMRECT, row, LVIR_ICON, 0, icon) ||
            !remote_item_rect(list, block, LVM_GETSUBITEMRECT, row, LVIR_LABEL, 0, label))
            return 1;
        std::printf("%d %d %d", row, remote_string_width(list, block, remote_item_text(list, block, row, 0)),
                    remote_string_width(list, block, remote_item_text(list, block, row, 1)));
        for (const RECT& rect : {bounds, icon, label})
            std::printf(" %ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
        std::printf("\n");
    }
    return 0;
}

// lv-check LIST INDEX 0|1: sets or clears a row's check box, as a click on it would.
int cmd_lv_check(int, char** argv)
{
    HWND list = parse_window(argv[2]);
    RemoteBlock block(list);
    if (!block.ok())
        return 1;
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(number(argv[4]) ? 2 : 1);
    block.write(0, &item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, number(argv[3]), reinterpret_cast<LPARAM>(block.at(0)));
    return 0;
}

// The open settings sheet whose mascot list holds the rows: visible, enabled again (the page
// disables it while it fills the list) and with its list full.
struct FullSheet {
    int rows;
    HWND found;
};

BOOL CALLBACK find_full_sheet(HWND window, LPARAM context)
{
    auto* sheet = reinterpret_cast<FullSheet*>(context);
    char class_name[16] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (std::strcmp(class_name, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    FindById list = {1000, nullptr};
    EnumChildWindows(window, find_by_id, reinterpret_cast<LPARAM>(&list));
    if (list.found && SendMessageA(list.found, LVM_GETITEMCOUNT, 0, 0) == sheet->rows) {
        sheet->found = window;
        return FALSE;
    }
    return TRUE;
}

// sheet-open-time CONTROLLER ROWS TIMEOUT_MS: sends the settings command and prints the
// milliseconds until the sheet shows with ROWS rows in its mascot list; 1 on timeout.
int cmd_sheet_open_time(int, char** argv)
{
    FullSheet sheet = {static_cast<int>(number(argv[3])), nullptr};
    const DWORD timeout = static_cast<DWORD>(number(argv[4]));
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    PostMessageA(parse_window(argv[2]), WM_COMMAND, 40002, 0);
    for (;;) {
        EnumWindows(find_full_sheet, reinterpret_cast<LPARAM>(&sheet));
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        if (sheet.found) {
            std::printf("%.1f %lx\n", ms, handle_number(sheet.found));
            return 0;
        }
        if (ms > timeout)
            return 1;
        Sleep(1);
    }
}

// lb-items LIST: the list box's entries in order, one per line in hex, "-" for an empty one.
int cmd_lb_items(int, char** argv)
{
    HWND list = parse_window(argv[2]);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        // Wine hands another process's list box text over in UTF-16 whichever form is asked for.
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
        if (length == LB_ERR)
            return 1;
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1);
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
        std::vector<char> text(wide.size() * 2 + 1);
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
        if (!text[0])
            std::printf("-");
        print_hex(text.data());
        std::printf("\n");
    }
    return 0;
}

// owned-dialog X Y: a titled window with an owned pop-up in front of it that holds an edit
// control, as a program's dialog would; prints "owner popup edit" and stays until closed.
int cmd_owned_dialog(int, char** argv)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = target_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VdriverOwner";
    RegisterClassA(&wc);
    const int x = static_cast<int>(number(argv[2]));
    const int y = static_cast<int>(number(argv[3]));
    HWND owner = CreateWindowExA(0, "VdriverOwner", "owner", WS_OVERLAPPEDWINDOW, x, y, 300, 240, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    HWND popup = CreateWindowExA(WS_EX_DLGMODALFRAME, "VdriverOwner", "dialog", WS_POPUP | WS_CAPTION, x + 40, y + 40,
                                 220, 140, owner, nullptr, wc.hInstance, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 10, 190, 80, popup,
                                reinterpret_cast<HMENU>(100), wc.hInstance, nullptr);
    ShowWindow(owner, SW_SHOWNORMAL);
    ShowWindow(popup, SW_SHOWNORMAL);
    SetForegroundWindow(popup);
    std::printf("%lx %lx %lx\n", handle_number(owner),
                handle_number(popup),
                handle_number(edit));
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// metrics: "SMALL_ICON ICON DPI": the small and large icon sizes and the dots per inch that
// programs of the prefix are given.
int cmd_metrics(int, char**)
{
    HDC screen = GetDC(nullptr);
    std::printf("%d %d %d\n", GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXICON),
                GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    return 0;
}

// What Wine's shell32 sends the taskbar for a tray icon (WM_COPYDATA): a record of fixed
// fields, then the icon's bitmaps, whose size it states after the fields.
constexpr size_t kTrayRecordIconSizeAt = 944;
bool g_tray_icon_seen = false;

LRESULT CALLBACK tray_catcher_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        const bool add_or_modify = data->dwData == NIM_ADD || data->dwData == NIM_MODIFY;
        uint32_t flags = 0, width = 0, height = 0;
        if (add_or_modify && data->cbData >= kTrayRecordIconSizeAt + 8) {
            const auto* bytes = static_cast<const uint8_t*>(data->lpData);
            std::memcpy(&flags, bytes + 8, 4);
            std::memcpy(&width, bytes + kTrayRecordIconSizeAt, 4);
            std::memcpy(&height, bytes + kTrayRecordIconSizeAt + 4, 4);
        }
        if (flags & NIF_ICON) {
            std::printf("%u %u\n", width, height);
            g_tray_icon_seen = true;
            PostQuitMessage(0);
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// tray-catch SECONDS: stands in as the taskbar, above the shell's own, announces a restarted
// taskbar and prints "WIDTH HEIGHT" of the first tray icon a program then adds; 1 when none
// came in time.
int cmd_tray_catch(int, char** argv)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = tray_catcher_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    HWND catcher = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 1, 1,
                                   nullptr, nullptr, wc.hInstance, nullptr);
    if (!catcher)
        return 1;
    const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(number(argv[2]) * 1000), nullptr);
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    MSG message;
    while (!g_tray_icon_seen && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr)
            break;
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, timer);
    DestroyWindow(catcher);
    return g_tray_icon_seen ? 0 : 1;
}

// link-extents WINDOW [FACE]: "DIALOG_WIDTH DIALOG_HEIGHT SYSTEM_WIDTH SYSTEM_HEIGHT": the window's
// text measured in the dialogs' font (or FACE, UTF-8 in hex), underlined, as the dialog manager
// makes it at the prefix's DPI, and in the system font (the font of a control given none).
int cmd_link_extents(int argc, char** argv)
{
    const std::wstring text = wide_window_text(parse_window(argv[2]));
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    HFONT dialog = make_dialog_font(dpi, true, argc > 3 ? argv[3] : nullptr);
    SIZE in_dialog = {}, in_system = {};
    HGDIOBJ previous = SelectObject(dc, dialog);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &in_dialog);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &in_system);
    SelectObject(dc, previous);
    DeleteObject(dialog);
    ReleaseDC(nullptr, dc);
    std::printf("%ld %ld %ld %ld\n", in_dialog.cx, in_dialog.cy, in_system.cx, in_system.cy);
    return 0;
}

struct Command {
    const char* name;
    int arguments;
    int (*run)(int, char**);
};

const Command commands[] = {
    {"windows", 0, cmd_windows},          {"info", 1, cmd_info},
    {"sheet-open-time", 3, cmd_sheet_open_time}, {"lv-layout", 1, cmd_lv_layout},
    {"record", 1, cmd_record},
    {"text", 1, cmd_text},                {"region", 1, cmd_region},
    {"target", 4, cmd_target},            {"move", 5, cmd_move},
    {"show", 2, cmd_show},                {"foreground", 1, cmd_foreground},
    {"placement", 1, cmd_placement},      {"post", 4, cmd_post},
    {"send", 4, cmd_send},                {"foreground-window", 0, cmd_foreground_window},
    {"reg-dump", 1, cmd_reg_dump},        {"reg-set", 4, cmd_reg_set},
    {"reg-delete", 1, cmd_reg_delete},    {"pid", 1, cmd_exit_code},
    {"mutex", 1, cmd_mutex},              {"gui-resources", 1, cmd_gui_resources},
    {"hold-mutex", 1, cmd_hold_mutex},   {"hold-file", 1, cmd_hold_file},
    {"children", 1, cmd_children},        {"owner", 1, cmd_owner},
    {"key", 1, cmd_key},                  {"mouse", 3, cmd_mouse},
    {"cursor-pos", 0, cmd_cursor_pos},    {"register-message", 1, cmd_register_message},
    {"tray-delete", 2, cmd_tray_delete},  {"temp-path", 0, cmd_temp_path},
    {"version-value", 2, cmd_version_value},
    {"dlg-find", 2, cmd_dlg_find},        {"dlg-item", 2, cmd_dlg_item},
    {"settext", 2, cmd_settext},          {"lv-items", 1, cmd_lv_items},
    {"lv-rect", 2, cmd_lv_rect},          {"lv-check", 3, cmd_lv_check},
    {"lb-items", 1, cmd_lb_items},        {"owned-dialog", 2, cmd_owned_dialog},
    {"reg-protect", 2, cmd_reg_protect},  {"atom", 1, cmd_atom},
    {"flip", 4, cmd_flip},                {"popup", 5, cmd_popup},
    {"monitors", 0, cmd_monitors},        {"display-set", 5, cmd_display_set},
    {"text-fits", 1, cmd_text_fits},      {"load-cycle", 2, cmd_load_cycle},
    {"reg-create-unicode", 1, cmd_reg_create_unicode},
    {"frame", 4, cmd_frame},              {"app-child", 1, cmd_app_child},
    {"reg-write-time", 1, cmd_reg_write_time},
    {"tip-text", 2, cmd_tip_text},
    {"dwm-attribute", 2, cmd_dwm_attribute},  {"notification-state", 0, cmd_notification_state},
    {"modules", 1, cmd_modules},          {"soak", 2, cmd_soak},
    {"metrics", 0, cmd_metrics},          {"tray-catch", 1, cmd_tray_catch},
    {"link-extents", 1, cmd_link_extents},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2)
        for (const Command& command : commands)
            if (std::strcmp(argv[1], command.name) == 0 && argc - 2 >= command.arguments) {
                // Tells the harness that the command may have acted: a command that acts is not
                // run again once it has begun, lest a click be given twice.
                std::fputs("vdriver: begun\n", stderr);
                std::fflush(stderr);
                const int result = command.run(argc, argv);
                // Tells the harness that the command ran to its end: a run that a loaded
                // machine cut short says nothing, and is asked again.
                std::fflush(stdout);
                std::fputs("vdriver: done\n", stderr);
                return result;
            }
    std::fprintf(stderr, "usage: vdriver COMMAND ARGS (see the command table)\n");
    return 2;
}
