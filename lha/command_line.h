#pragma once
#include <string>
#include <vector>

// What an extraction command asks for. Callers build lines such as
//   E "C:\Mascots\tama.lzh" "C:\Temp\Velmo\" VLD.INI *.ico -a1 -c1 -m1 -n1 -s1 -y1
// The first word is the command, the first plain word after it the archive; a plain
// word ending in a separator is the destination, the others are member patterns.
// Switches start with '-' and are accepted and ignored: extraction is always flat,
// overwrites, and asks nothing.
struct ExtractCommand {
    std::string archive;
    std::string destination;          // empty: the current folder
    std::vector<std::string> patterns; // empty: every member
};

// Splits a command line into words: spaces separate, double quotes group and are
// removed. False on an unterminated quote.
bool split_command_words(const std::string& line, std::vector<std::string>& words);

// False when the words are not an extraction command: no command, a command other
// than E (any case), or no archive.
bool parse_extract_command(const std::vector<std::string>& words, ExtractCommand& command);
