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

// Tells whether a byte starts a two-byte character in the text's code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// The part of a program path after its last backslash, or the whole path when it has none.
// With a lead-byte predicate the second byte of a two-byte character is never taken for a
// backslash: in code page 932 the trail byte of characters such as 表 and ソ is 0x5C.
std::string program_file_name(const std::string& path, LeadBytePredicate is_lead_byte = nullptr);
