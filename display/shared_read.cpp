#include "display/shared_read.h"

bool retry_shared_read(uint32_t error, int attempts_made)
{
    constexpr uint32_t kSharingViolation = 32;
    constexpr uint32_t kLockViolation = 33;
    // About a quarter of a second in all: long enough for a scanner's look at a small file,
    // short enough not to hold up a mascot's start.
    constexpr int kMaxAttempts = 10;
    return (error == kSharingViolation || error == kLockViolation) && attempts_made < kMaxAttempts;
}
