#include "lha/file_system_win.h"

#include <windows.h>

#include "core/cp932.h"
#include "core/unicode_text.h"
#include "lha/member_name.h"

namespace {

class Win32Source : public ByteSource {
public:
    Win32Source(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    ~Win32Source() override { CloseHandle(file_); }
    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, uint8_t* out, size_t length) override {
        if (offset > size_ || length > size_ - offset) return false;
        while (length > 0) {
            OVERLAPPED at = {};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD want = length > 0x100000 ? 0x100000 : static_cast<DWORD>(length);
            DWORD got = 0;
            if (!ReadFile(file_, out, want, &got, &at) || got == 0) return false;
            out += got;
            offset += got;
            length -= got;
        }
        return true;
    }

private:
    HANDLE file_;
    uint64_t size_;
};

class Win32File : public WritableFile {
public:
    explicit Win32File(HANDLE file) : file_(file) {}
    ~Win32File() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    bool write(const uint8_t* data, size_t length) override {
        while (length > 0 && ok_) {
            const DWORD want = length > 0x100000 ? 0x100000 : static_cast<DWORD>(length);
            DWORD put = 0;
            if (!WriteFile(file_, data, want, &put, nullptr) || put == 0) ok_ = false;
            data += put;
            length -= put;
        }
        return ok_;
    }
    bool close() override {
        if (file_ != INVALID_HANDLE_VALUE && !CloseHandle(file_)) ok_ = false;
        file_ = INVALID_HANDLE_VALUE;
        return ok_;
    }

private:
    HANDLE file_;
    bool ok_ = true;
};

bool is_directory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::wstring Win32FileSystem::wide(const std::string& path) const {
    std::u16string text;
    if (paths_ == PathText::utf8)
        text = utf8_to_utf16(path);
    else
        cp932_to_utf16(path, text);
    return std::wstring(text.begin(), text.end());
}

std::unique_ptr<ByteSource> Win32FileSystem::open_read(const std::string& path) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        CloseHandle(file);
        return nullptr;
    }
    return std::unique_ptr<ByteSource>(new Win32Source(file, static_cast<uint64_t>(size.QuadPart)));
}

bool Win32FileSystem::make_directories(const std::string& path) {
    // Each prefix that ends at a real separator is created in turn; the ones that
    // exist already (the drive, the temporary folder) just fail harmlessly. Read as
    // UTF-16, a 0x5C that is the second byte of a kanji is no separator.
    const std::wstring folder = wide(path);
    for (size_t i = 0; i < folder.size(); ++i)
        if ((folder[i] == L'\\' || folder[i] == L'/') && i > 0 && folder[i - 1] != L':')
            CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
    if (!last_name_component(path).empty()) CreateDirectoryW(folder.c_str(), nullptr);
    return is_directory(folder);
}

std::string Win32FileSystem::child(const std::string& folder, const std::string& name) const {
    // A member name that is no code page 932 text keeps U+FFFD in its place, so that it
    // lands in a file of its own rather than nowhere.
    std::string own_name = name;
    if (paths_ == PathText::utf8) cp932_to_utf8_text(name, own_name);
    if (folder.empty() || last_name_component(folder).empty()) return folder + own_name;
    return folder + "\\" + own_name;
}

std::unique_ptr<WritableFile> Win32FileSystem::create_new(const std::string& path) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<WritableFile>(new Win32File(file));
}

bool Win32FileSystem::replace(const std::string& from, const std::string& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void Win32FileSystem::remove(const std::string& path) { DeleteFileW(wide(path).c_str()); }
