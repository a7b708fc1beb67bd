// Fuzzes the check of an archive: extraction into memory with the program's decoder, then
// the definition, frames, icon, comment and web page read as the program reads them.
#include <cstddef>
#include <cstdint>

#include "kit/mascot_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // Small ceilings keep a decompression bomb from being mistaken for a fault.
    ExtractLimits limits;
    limits.max_member_bytes = 1 << 20;
    limits.max_total_bytes = 4 << 20;
    const CheckReport report = check_archive(bytes, size, limits);
    return static_cast<int>(report.summary.size() & 0);
}
