#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "library/library_entry.h"

// Archive key -> entry. The key is the archive's path below the Mascots folder with its
// leading separator (\Cats\tama.lzh), as UTF-8 like every text of the program; the file
// stores keys and names in code page 932.
using CacheEntries = std::map<std::string, LibraryEntry>;

// Reads cache file records from the start of the data into entries; a key already present
// keeps its first value, and a record whose bytes are no code page 932 text is dropped. Reading stops at the first record that is incomplete (a string
// without its terminator, or fewer than four bytes of icon flag) or whose key or name is
// longer than 260 bytes, so a damaged tail costs only itself. Returns how many bytes of
// complete records were taken: size for a sound file.
size_t read_cache_file(const uint8_t* data, size_t size, CacheEntries& entries);

// Every entry in the order of its stored key's bytes (unsigned, case-sensitive, a prefix
// before the longer key): key, NUL, name, NUL, icon flag as 32-bit little-endian 0 or 1, key
// and name in code page 932 and the name cut to 260 bytes. An entry whose key or name the
// code page cannot hold is left out.
std::vector<uint8_t> write_cache_file(const CacheEntries& entries);

// What a lookup needs from the archive side: the LHA component and the extraction folder.
class ArchiveReader {
public:
    virtual ~ArchiveReader() = default;
    // False when the LHA component could not be loaded.
    virtual bool available() = 0;
    // Extracts the archive's definition file and icons into the extraction folder; the
    // component's result, 0 on success.
    virtual int extract_name_and_icons(const std::string& archive_path) = 0;
    // Reads the extracted definition's name (empty when it has none) and tells whether its
    // icon file loaded.
    virtual bool read_name_and_icon(std::string& name) = 0;
};

// The archive names and icon flags that scans have met, kept between runs in the cache file.
class MascotCache {
public:
    void load(const uint8_t* data, size_t size) { read_cache_file(data, size, entries_); }
    std::vector<uint8_t> save() const { return write_cache_file(entries_); }

    // Marks every entry unseen, so that the scan's end can drop archives that have gone.
    void begin_scan();
    // Sets the entry's name and hasIcon from the cache, or reads the archive and caches what
    // it gave. A hit with an icon extracts the archive's icons again for the scan to load.
    // True when the entry came from the cache.
    bool lookup(LibraryEntry& entry, size_t root_length, ArchiveReader& reader);
    // Drops every entry the scan did not meet; true when any was dropped.
    bool end_scan();
    void clear() { entries_.clear(); }

    const CacheEntries& entries() const { return entries_; }

private:
    CacheEntries entries_;
};
