// unlha32.dll: the extraction operation behind the two exports the program looks
// up by name. It shows nothing and asks nothing; the result says it all.
#include <windows.h>

#include <cstring>
#include <string>

#include "core/cp932.h"
#include "core/unicode_text.h"
#include "lha/command_line.h"
#include "lha/extract.h"
#include "lha/file_system_win.h"

namespace {

// When VELMORA_UNLHA_LOG names a file, each call appends its command line there,
// so integration tests can count how often the program opens archives.
void log_call(const std::string& command_line) {
    wchar_t log_path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"VELMORA_UNLHA_LOG", log_path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    HANDLE log = CreateFileW(log_path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    const std::string line = std::string(command_line) + "\r\n";
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
}

void put_message(LPSTR buffer, DWORD size, const char* text) {
    if (!buffer || size == 0) return;
    const size_t length = std::strlen(text) < size - 1 ? std::strlen(text) : size - 1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

} // namespace

extern "C" __declspec(dllexport) int WINAPI Unlha(HWND, LPCSTR command_line, LPSTR output, DWORD output_size) {
    if (!command_line) return static_cast<int>(LhaStatus::bad_command);
    LhaStatus status = LhaStatus::bad_command;
    // No C++ exception may cross into the caller.
    try {
        log_call(command_line);
        Win32FileSystem fs;
        status = run_extract_line(fs, command_line, ExtractLimits{}, nullptr);
    } catch (...) {
        status = LhaStatus::too_large;
    }
    put_message(output, output_size, describe_status(status));
    return static_cast<int>(status);
}

// The same extraction for a command line in UTF-16, for paths that code page 932 cannot hold
// (a temporary folder or program folder named in another script). Member patterns still
// name members, whose names are code page 932; a pattern the code page cannot hold is a
// bad command.
extern "C" __declspec(dllexport) int WINAPI UnlhaW(HWND, LPCWSTR command_line, LPWSTR output, DWORD output_size) {
    if (!command_line) return static_cast<int>(LhaStatus::bad_command);
    LhaStatus status = LhaStatus::bad_command;
    try {
        const std::string line = utf16_to_utf8(reinterpret_cast<const char16_t*>(command_line));
        log_call(line);
        std::vector<std::string> words;
        ExtractCommand command;
        bool patterns_stored = split_command_words(line, words) && parse_extract_command(words, command);
        for (std::string& pattern : command.patterns) {
            std::string stored;
            patterns_stored = patterns_stored && utf8_to_cp932_text(pattern, stored);
            pattern = stored;
        }
        if (patterns_stored) {
            Win32FileSystem fs(Win32FileSystem::PathText::utf8);
            status = extract_archive(fs, command, ExtractLimits{}).status;
        }
    } catch (...) {
        status = LhaStatus::too_large;
    }
    if (output && output_size > 0) {
        const std::u16string text = utf8_to_utf16(describe_status(status));
        const size_t length = text.size() < output_size - 1 ? text.size() : output_size - 1;
        for (size_t i = 0; i < length; ++i) output[i] = text[i];
        output[length] = L'\0';
    }
    return static_cast<int>(status);
}

// The program calls this before every extraction; there is no cursor to change.
extern "C" __declspec(dllexport) BOOL WINAPI UnlhaSetCursorMode(int) { return TRUE; }

namespace __gnu_cxx {
void __freeres() noexcept;
}

// The library is loaded and freed again for every use. The C++ runtime linked into it keeps
// an emergency exception pool for the life of the process unless it is handed back here, so
// without this each load would leave that pool behind.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        __gnu_cxx::__freeres();
    return TRUE;
}
