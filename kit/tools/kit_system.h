#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// What velmora-kit needs from the system it runs on. Text inside the kit is UTF-8 and member
// names are code page 932; these turn the system's own names and streams into those.

// The command line's arguments after the program's name, in UTF-8. On Windows they come from
// the wide command line, so names outside the ANSI code page arrive whole.
std::vector<std::string> command_line_arguments(int argc, char** argv);

// A path named in UTF-8.
std::filesystem::path path_from_utf8(const std::string& utf8);

// A file's name as a member of a mascot folder, in code page 932 as the program names it.
std::string member_name_of(const std::filesystem::path& file_name);

std::FILE* open_file(const std::filesystem::path& path, const char* mode);

// The file's modification time in seconds since 1970, or 0 when it cannot be read.
uint32_t modification_time(const std::filesystem::path& path);

// Writes UTF-8 text to stdout or stderr: to a console as text the console shows, and as the
// UTF-8 bytes themselves to a file or a pipe.
void write_text(std::FILE* stream, const std::string& utf8);
