#include <sys/stat.h>

#include "kit/cp932.h"
#include "kit/tools/kit_system.h"

std::vector<std::string> command_line_arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::filesystem::path path_from_utf8(const std::string& utf8) { return std::filesystem::path(utf8); }

// File names here are UTF-8; a name that is not, or that the code page cannot hold, keeps
// its bytes, and the check then reports it as a member the program never reads.
std::string member_name_of(const std::filesystem::path& file_name)
{
    const std::string native = file_name.string();
    std::string cp932;
    TextFault fault;
    return utf8_to_cp932(native, cp932, fault) ? cp932 : native;
}

std::FILE* open_file(const std::filesystem::path& path, const char* mode) { return std::fopen(path.c_str(), mode); }

uint32_t modification_time(const std::filesystem::path& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<uint32_t>(info.st_mtime) : 0;
}

void write_text(std::FILE* stream, const std::string& utf8)
{
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}
