#include <windows.h>
#include <shellapi.h>
#include <sys/stat.h>

#include "kit/tools/kit_system.h"

namespace {

std::wstring wide_from(const std::string& text, UINT code_page)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The text in the code page. Given `exact`, no look-alike stands in for a character the code
// page lacks ("²" would become "2"), and *exact tells whether every character had its place;
// UTF-8 holds every character and takes no such question.
std::string narrow_from(const std::wstring& wide, UINT code_page, bool* exact = nullptr)
{
    if (exact)
        *exact = true;
    if (wide.empty())
        return std::string();
    const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL substituted = FALSE;
    BOOL* substitution = exact ? &substituted : nullptr;
    const int length = WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, substitution);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr,
                            substitution);
    if (exact)
        *exact = length > 0 && !substituted;
    return text;
}

}  // namespace

std::vector<std::string> command_line_arguments(int, char**)
{
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(narrow_from(wide[i], CP_UTF8));
    LocalFree(wide);
    return arguments;
}

std::filesystem::path path_from_utf8(const std::string& utf8) { return std::filesystem::path(wide_from(utf8, CP_UTF8)); }

// The program opens its members through the ANSI functions of a Japanese Windows, so a name is
// converted to code page 932 itself, whatever the ANSI code page of the machine that builds. A
// name the code page cannot hold keeps its UTF-8 bytes, as on other systems: the check reports
// it as a member the program never reads, and it never stands in for the name it resembles.
std::string member_name_of(const std::filesystem::path& file_name)
{
    const std::wstring wide = file_name.wstring();
    bool exact = false;
    const std::string cp932 = narrow_from(wide, 932, &exact);
    return exact ? cp932 : narrow_from(wide, CP_UTF8);
}

std::FILE* open_file(const std::filesystem::path& path, const char* mode)
{
    return _wfopen(path.c_str(), wide_from(mode, CP_UTF8).c_str());
}

uint32_t modification_time(const std::filesystem::path& path)
{
    struct _stat64 info;
    return _wstat64(path.c_str(), &info) == 0 ? static_cast<uint32_t>(info.st_mtime) : 0;
}

void write_text(std::FILE* stream, const std::string& utf8)
{
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    std::fflush(stream);
    const std::wstring wide = wide_from(utf8, CP_UTF8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}
