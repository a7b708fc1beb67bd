#pragma once
#include <cstdint>

// Files the program reads (frame bitmaps, Comment.txt, the cache file) are opened sharing
// reads, so that an antivirus or indexer reading a fresh extraction does not make them fail.
// One that holds a file more jealously makes the open fail with a sharing or lock violation
// for a moment: the open is tried again after a short wait, a few times.
constexpr uint32_t kSharedReadRetryMilliseconds = 25;

// Whether an open that failed with this system error, after this many attempts, is tried again.
bool retry_shared_read(uint32_t error, int attempts_made);
