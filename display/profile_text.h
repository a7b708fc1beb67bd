#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "display/definition.h"

// A profile (INI) file held in memory, read by the rules the platform's profile functions
// follow on well-formed files: section and key names match without regard to ASCII case,
// whitespace around names and values is dropped, a value in matching quotes loses them, the
// first section of a name and the first key within it answer, text values are cut at 260
// bytes, and an empty value of an integer key reads as the fallback.
class ProfileText : public ProfileReader {
public:
    struct Entry {
        std::string section;   // as written
        std::string key;       // as written
        std::string value;     // trimmed and unquoted, not yet cut
        size_t line = 0;       // from 1
        size_t section_number = 0;  // which section header of the file, from 1
        size_t value_column = 0;  // byte column of the value's first byte, from 1
    };

    explicit ProfileText(const std::string& bytes);

    std::string read_text(const char* section, const char* key, const char* fallback) override;
    int32_t read_int(const char* section, const char* key, int32_t fallback) override;

    // The entry that answers for the key, or nullptr when the key is missing.
    const Entry* find(const char* section, const char* key) const;
    // The key lines of the section that answers for the name (its first), in file order.
    std::vector<const Entry*> section_entries(const char* section) const;
    // Every key line in file order.
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// The platform's integer reading of a value: optional sign and decimal digits, read up to the
// first other character; no digits at all read as 0. False when the value is empty.
bool parse_profile_int(const std::string& value, int32_t& number);

bool equal_ignoring_ascii_case(const std::string& a, const std::string& b);
