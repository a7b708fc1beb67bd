#include "library/mascot_cache.h"

#include <cstring>
#include <map>

#include "core/cp932.h"

namespace {

constexpr size_t kIconFlagSize = 4;

// The string starting at offset, up to its terminator; false when there is no terminator
// within the data or within 260 bytes.
bool read_string(const uint8_t* data, size_t size, size_t& offset, std::string& text)
{
    const size_t limit = size - offset < kMaxLibraryText + 1 ? size - offset : kMaxLibraryText + 1;
    const void* terminator = std::memchr(data + offset, 0, limit);
    if (!terminator)
        return false;
    const size_t length = static_cast<const uint8_t*>(terminator) - (data + offset);
    text.assign(reinterpret_cast<const char*>(data + offset), length);
    offset += length + 1;
    return true;
}

void write_string(std::vector<uint8_t>& out, const std::string& text)
{
    size_t length = text.find('\0');
    if (length == std::string::npos)
        length = text.size();
    if (length > kMaxLibraryText)
        length = kMaxLibraryText;
    out.insert(out.end(), text.begin(), text.begin() + length);
    out.push_back(0);
}

// The text cut to what the file can hold: at most 260 bytes in code page 932, ending on a whole
// character. Text the code page cannot hold is cut as UTF-8, also on a whole character.
std::string cut(const std::string& text)
{
    std::string stored;
    const bool stores = utf8_to_cp932_text(text, stored);
    const std::string& measured = stores ? stored : text;
    if (measured.size() <= kMaxLibraryText)
        return text;
    size_t end = 0;
    if (stores) {
        for (size_t at = 0; at < stored.size();) {
            char32_t c = 0;
            decode_cp932_char(stored, at, c);
            if (at > kMaxLibraryText)
                break;
            end = at;
        }
        std::string utf8;
        cp932_to_utf8_text(stored.substr(0, end), utf8);
        return utf8;
    }
    end = kMaxLibraryText;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

}  // namespace

size_t read_cache_file(const uint8_t* data, size_t size, CacheEntries& entries)
{
    size_t taken = 0;
    while (taken < size) {
        size_t offset = taken;
        std::string key, name;
        if (!read_string(data, size, offset, key) || !read_string(data, size, offset, name) ||
            size - offset < kIconFlagSize)
            break;
        taken = offset + kIconFlagSize;
        // The file holds code page 932; a record whose bytes form no text names no file the
        // scan can meet, and is dropped.
        LibraryEntry entry;
        std::string utf8_key;
        if (!cp932_to_utf8_text(key, utf8_key) || !cp932_to_utf8_text(name, entry.name))
            continue;
        // Only the flag's first byte counts.
        entry.hasIcon = data[offset];
        entries.emplace(utf8_key, entry);
    }
    return taken;
}

std::vector<uint8_t> write_cache_file(const CacheEntries& entries)
{
    // Records are ordered by their stored bytes. An entry whose key or name code page 932 cannot
    // hold is left out rather than written wrongly; its archive is read again at the next start.
    std::map<std::string, std::pair<std::string, int32_t>> stored;
    for (const auto& [key, entry] : entries) {
        std::string stored_key, stored_name;
        if (!utf8_to_cp932_text(key, stored_key) || stored_key.size() > kMaxLibraryText ||
            !utf8_to_cp932_text(cut(entry.name), stored_name))
            continue;
        stored.emplace(stored_key, std::make_pair(stored_name, entry.hasIcon));
    }
    std::vector<uint8_t> out;
    for (const auto& [key, record] : stored) {
        write_string(out, key);
        write_string(out, record.first);
        out.push_back(record.second == 1 ? 1 : 0);
        out.insert(out.end(), 3, 0);
    }
    return out;
}

void MascotCache::begin_scan()
{
    for (auto& item : entries_)
        item.second.seen = 0;
}

bool MascotCache::lookup(LibraryEntry& entry, size_t root_length, ArchiveReader& reader)
{
    const std::string key = root_length <= entry.path.size() ? entry.path.substr(root_length) : std::string();
    auto found = entries_.find(key);
    if (found != entries_.end()) {
        entry.name = found->second.name;
        entry.hasIcon = found->second.hasIcon;
        found->second.seen = 1;
        if (entry.hasIcon == 1)
            reader.extract_name_and_icons(entry.path);
        return true;
    }

    std::string name;
    bool has_icon = false;
    const bool available = reader.available();
    if (available && reader.extract_name_and_icons(entry.path) == 0)
        has_icon = reader.read_name_and_icon(name);
    entry.name = cut(!name.empty() ? name : key.size() > 1 ? key.substr(1) : std::string());
    entry.hasIcon = has_icon ? 1 : 0;
    entry.seen = 1;
    // Without the component nothing was read, so nothing is remembered: the archive is read
    // at the first scan that has the component, instead of keeping its fallback name until
    // the cache is cleared.
    if (available)
        entries_.emplace(key, entry);
    return false;
}

bool MascotCache::end_scan()
{
    bool removed = false;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.seen == 0) {
            it = entries_.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}
