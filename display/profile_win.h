#pragma once
#include <string>

#include "display/definition.h"

// A profile file read through the platform's profile functions.
class Win32Profile : public ProfileReader {
public:
    explicit Win32Profile(std::string file_path) : file_path_(std::move(file_path)) {}
    std::string read_text(const char* section, const char* key, const char* fallback) override;
    int32_t read_int(const char* section, const char* key, int32_t fallback) override;
    // Drops the platform's cached copy, so that a file an extraction has just written is read
    // from disk.
    void drop_cached_copy();

private:
    std::string file_path_;
};
