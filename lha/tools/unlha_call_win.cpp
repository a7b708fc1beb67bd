// Test helper for Wine: loads unlha32.dll by name and calls it through
// GetProcAddress exactly as the program does.
//   unlha_call extract <archive> <destination> [patterns...]   prints the Unlha result
//   unlha_call version                                          prints FileVersion of block 040904E4
//   unlha_call temp                                             prints the temporary folder
// "{TEMP}" in the destination stands for the temporary folder.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/unicode_text.h"

namespace {

typedef int(WINAPI* UnlhaProc)(HWND, LPCSTR, LPSTR, DWORD);
typedef BOOL(WINAPI* UnlhaSetCursorModeProc)(int);

// The temporary folder in code page 932, as the library's command line takes it; empty when
// that code page cannot hold it.
std::string temp_folder() {
    wchar_t path[261] = L"";
    const DWORD length = GetTempPathW(261, path);
    std::string bytes;
    if (length == 0 || length >= 261 ||
        !utf8_to_cp932_text(utf16_to_utf8(std::u16string(reinterpret_cast<const char16_t*>(path), length)), bytes))
        return std::string();
    return bytes;
}

int extract(int argc, char** argv) {
    std::string destination = argv[3];
    const size_t at = destination.find("{TEMP}");
    if (at != std::string::npos) destination.replace(at, 6, temp_folder());
    std::string patterns;
    for (int i = 4; i < argc; ++i) patterns += std::string(argv[i]) + " ";
    if (patterns.empty()) patterns = "*.* ";
    const std::string command = "E \"" + std::string(argv[2]) + "\" \"" + destination + "\" " + patterns + "-a1 -c1 -m1 -n1 -s1 -y1";

    HMODULE library = LoadLibraryW(L"unlha32.dll");
    if (!library) return 2;
    UnlhaSetCursorModeProc set_cursor_mode = reinterpret_cast<UnlhaSetCursorModeProc>(reinterpret_cast<void*>(GetProcAddress(library, "UnlhaSetCursorMode")));
    UnlhaProc unlha = reinterpret_cast<UnlhaProc>(reinterpret_cast<void*>(GetProcAddress(library, "Unlha")));
    if (!set_cursor_mode || !unlha) {
        FreeLibrary(library);
        return 2;
    }
    set_cursor_mode(0);
    char output[1024] = "";
    const int result = unlha(nullptr, command.c_str(), output, sizeof output);
    FreeLibrary(library);
    std::printf("%d\n", result);
    return 0;
}

int version() {
    HMODULE library = LoadLibraryW(L"unlha32.dll");
    if (!library) return 2;
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(library, path, MAX_PATH);
    FreeLibrary(library);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return 1;
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(path, 0, size, block.data())) return 1;
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\StringFileInfo\\040904E4\\FileVersion", &value, &length) || !value)
        return 1;
    const wchar_t* text = static_cast<const wchar_t*>(value);
    std::printf("%s\n", utf16_to_utf8(std::u16string(reinterpret_cast<const char16_t*>(text), lstrlenW(text))).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "extract" && argc >= 4) return extract(argc, argv);
    if (command == "version") return version();
    if (command == "temp") {
        std::printf("%s\n", temp_folder().c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: unlha_call extract|version|temp ...\n");
    return 2;
}
