// Fuzzes the cache file reader. Besides reads past the data, which the sanitizers report,
// a fault is any record that breaks the format's limits in its stored code page 932 bytes, or
// a file that does not read back the same after being written out again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/cp932.h"
#include "library/mascot_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // A block of its own, so that a read past it is caught.
    const std::vector<uint8_t> data(bytes, bytes + size);
    CacheEntries entries;
    const size_t taken = read_cache_file(data.data(), data.size(), entries);
    if (taken > size)
        std::abort();
    for (const auto& [key, entry] : entries) {
        std::string stored_key, stored_name;
        if (!utf8_to_cp932_text(key, stored_key) || !utf8_to_cp932_text(entry.name, stored_name) ||
            stored_key.size() > kMaxLibraryText || stored_name.size() > kMaxLibraryText ||
            key.find('\0') != std::string::npos || entry.name.find('\0') != std::string::npos ||
            entry.hasIcon < 0 || entry.hasIcon > 255)
            std::abort();
    }

    const std::vector<uint8_t> written = write_cache_file(entries);
    CacheEntries again;
    if (read_cache_file(written.data(), written.size(), again) != written.size() || again.size() != entries.size())
        std::abort();
    for (auto a = entries.begin(), b = again.begin(); a != entries.end(); ++a, ++b)
        if (a->first != b->first || a->second.name != b->second.name ||
            (a->second.hasIcon == 1) != (b->second.hasIcon == 1))
            std::abort();
    return 0;
}
