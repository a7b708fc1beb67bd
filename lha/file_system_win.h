#pragma once
#include "lha/file_system.h"

// Files and folders through the wide Win32 calls, for unlha32.dll. Its ANSI entry takes
// paths in code page 932 on every system, where a 0x5C trail byte is part of a character;
// its wide entry takes them as UTF-8. Member names are code page 932 either way.
class Win32FileSystem : public FileSystem {
public:
    enum class PathText { cp932, utf8 };
    explicit Win32FileSystem(PathText paths = PathText::cp932) : paths_(paths) {}
    std::unique_ptr<ByteSource> open_read(const std::string& path) override;
    bool make_directories(const std::string& path) override;
    std::unique_ptr<WritableFile> create_new(const std::string& path) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    std::string child(const std::string& folder, const std::string& name) const override;

private:
    std::wstring wide(const std::string& path) const;
    PathText paths_;
};
