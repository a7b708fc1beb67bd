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

namespace {

typedef int(WINAPI* UnlhaProc)(HWND, LPCSTR, LPSTR, DWORD);
typedef BOOL(WINAPI* UnlhaSetCursorModeProc)(int);

std::string temp_folder() {
    char path[261] = "";
    GetTempPathA(sizeof path, path);
    return path;
}

int extract(int argc, char** argv) {
    std::string destination = argv[3];
    const size_t at = destination.find("{TEMP}");
    if (at != std::string::npos) destination.replace(at, 6, temp_folder());
    std::string patterns;
    for (int i = 4; i < argc; ++i) patterns += std::string(argv[i]) + " ";
    if (patterns.empty()) patterns = "*.* ";
    const std::string command = "E \"" + std::string(argv[2]) + "\" \"" + destination + "\" " + patterns + "-a1 -c1 -m1 -n1 -s1 -y1";

    HMODULE library = LoadLibraryA("unlha32.dll");
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
    HMODULE library = LoadLibraryA("unlha32.dll");
    if (!library) return 2;
    char path[MAX_PATH] = "";
    GetModuleFileNameA(library, path, sizeof path);
    FreeLibrary(library);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return 1;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) return 1;
    char query[64];
    std::snprintf(query, sizeof query, "%s040904E4\\FileVersion", "\\StringFileInfo\\");
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query, &value, &length) || !value) return 1;
    std::printf("%s\n", static_cast<const char*>(value));
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
