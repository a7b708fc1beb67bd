#pragma once
#include "lha/file_system.h"

// Files and folders through POSIX calls, for the native tools and tests.
class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<ByteSource> open_read(const std::string& path) override;
    bool make_directories(const std::string& path) override;
    std::unique_ptr<WritableFile> create_new(const std::string& path) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    // A folder ending in '\\', as the library's callers write it, is taken as ending in '/'.
    std::string child(const std::string& folder, const std::string& name) const override;
};
