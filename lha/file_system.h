#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "lha/byte_source.h"

class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual bool write(const uint8_t* data, size_t length) = 0;
    // Flushes and closes; false when any earlier write or the close failed.
    virtual bool close() = 0;
};

// The few file operations extraction needs, so the same logic runs over POSIX
// in the native tool, over Win32 in the library and in memory in unit tests.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<ByteSource> open_read(const std::string& path) = 0;
    // Creates the folder and any missing parents; true when it exists afterwards.
    virtual bool make_directories(const std::string& path) = 0;
    // Creates a new file; fails when anything, even a dangling link, has that name.
    virtual std::unique_ptr<WritableFile> create_new(const std::string& path) = 0;
    // Renames `from` to `to`, replacing a file already called `to`.
    virtual bool replace(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    // The path of `name` inside `folder`, whether or not the folder ends in a separator.
    virtual std::string child(const std::string& folder, const std::string& name) const = 0;
};
