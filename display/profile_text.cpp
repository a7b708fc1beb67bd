#include "display/profile_text.h"

#include <cctype>

namespace {

constexpr size_t kTextLimit = 260;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Trims blanks and reports how many were cut from the front.
std::string trim(const std::string& text, size_t& cut_front)
{
    size_t begin = 0, end = text.size();
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    cut_front = begin;
    return text.substr(begin, end - begin);
}

}  // namespace

bool equal_ignoring_ascii_case(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

ProfileText::ProfileText(const std::string& bytes)
{
    std::string section;
    size_t section_number = 0;
    size_t line_number = 0;
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        ++line_number;
        size_t cut = 0;
        const std::string line = trim(bytes.substr(start, end - start), cut);
        start = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const size_t close = line.rfind(']');
            size_t ignored = 0;
            section = trim(line.substr(1, (close == std::string::npos || close == 0 ? line.size() : close) - 1), ignored);
            ++section_number;
            continue;
        }
        const size_t equals = line.find('=');
        if (section_number == 0 || equals == std::string::npos)
            continue;
        Entry entry;
        size_t ignored = 0;
        entry.section = section;
        entry.section_number = section_number;
        entry.key = trim(line.substr(0, equals), ignored);
        size_t value_cut = 0;
        entry.value = trim(line.substr(equals + 1), value_cut);
        entry.value_column = cut + equals + 1 + value_cut + 1;
        if (entry.value.size() >= 2 && (entry.value.front() == '"' || entry.value.front() == '\'') &&
            entry.value.back() == entry.value.front()) {
            entry.value = entry.value.substr(1, entry.value.size() - 2);
            ++entry.value_column;
        }
        entry.line = line_number;
        entries_.push_back(entry);
    }
}

const ProfileText::Entry* ProfileText::find(const char* section, const char* key) const
{
    for (const Entry* entry : section_entries(section))
        if (equal_ignoring_ascii_case(entry->key, key))
            return entry;
    return nullptr;
}

// The first section of the name answers, even when a later one of the same name holds the key.
std::vector<const ProfileText::Entry*> ProfileText::section_entries(const char* section) const
{
    std::vector<const Entry*> found;
    size_t answering = 0;
    for (const Entry& entry : entries_) {
        if (!equal_ignoring_ascii_case(entry.section, section))
            continue;
        if (answering == 0)
            answering = entry.section_number;
        if (entry.section_number == answering)
            found.push_back(&entry);
    }
    return found;
}

std::string ProfileText::read_text(const char* section, const char* key, const char* fallback)
{
    const Entry* entry = find(section, key);
    if (!entry)
        return fallback;
    return entry->value.substr(0, kTextLimit);
}

int32_t ProfileText::read_int(const char* section, const char* key, int32_t fallback)
{
    const Entry* entry = find(section, key);
    int32_t number = 0;
    if (!entry || !parse_profile_int(entry->value, number))
        return fallback;
    return number;
}

bool parse_profile_int(const std::string& value, int32_t& number)
{
    if (value.empty())
        return false;
    size_t at = 0;
    bool negative = false;
    if (value[at] == '-' || value[at] == '+')
        negative = value[at++] == '-';
    // The platform's arithmetic is 32 bits wide and wraps.
    uint32_t magnitude = 0;
    while (at < value.size() && value[at] >= '0' && value[at] <= '9')
        magnitude = magnitude * 10u + static_cast<uint32_t>(value[at++] - '0');
    number = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
    return true;
}
