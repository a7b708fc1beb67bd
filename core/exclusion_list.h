#pragma once
#include <set>
#include <string>
#include <vector>

// Program file names whose windows mascots never sit on. Order and equality are byte-wise
// and case-sensitive, so "Notepad.exe" and "notepad.exe" are two entries.
class ExclusionList {
public:
    void add(const std::string& name);
    void remove(const std::string& name);
    bool contains(const std::string& name) const;
    std::vector<std::string> entries() const;
    void clear();

private:
    std::set<std::string> names_;
};

// The part of a program path after its last backslash, or the whole path when it has none.
std::string program_file_name(const std::string& path);
