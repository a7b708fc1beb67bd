#include "display/shared_read_win.h"

#include "core/wide_text_win.h"
#include "display/shared_read.h"

HANDLE OpenSharedRead(const std::string& path)
{
    for (int attempts = 1;; ++attempts) {
        const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || !retry_shared_read(GetLastError(), attempts))
            return file;
        Sleep(kSharedReadRetryMilliseconds);
    }
}
