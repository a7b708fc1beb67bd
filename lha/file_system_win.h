#pragma once
#include "lha/file_system.h"

// Files and folders through the ANSI Win32 calls, for unlha32.dll. Paths are in
// the system code page, where a 0x5C trail byte is part of a character.
class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<ByteSource> open_read(const std::string& path) override;
    bool make_directories(const std::string& path) override;
    std::unique_ptr<WritableFile> create_new(const std::string& path) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    std::string child(const std::string& folder, const std::string& name) const override;
};
