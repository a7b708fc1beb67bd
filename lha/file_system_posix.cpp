#include "lha/file_system_posix.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PosixSource : public ByteSource {
public:
    // The file is mapped when it can be, so members decode straight from the page
    // cache; reads fall back to pread otherwise.
    PosixSource(int fd, uint64_t size) : fd_(fd), size_(size) {
        if (size > 0 && size <= SIZE_MAX / 2) {
            void* map = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) map_ = static_cast<const uint8_t*>(map);
        }
    }
    ~PosixSource() override {
        if (map_) ::munmap(const_cast<uint8_t*>(map_), static_cast<size_t>(size_));
        ::close(fd_);
    }
    uint64_t size() const override { return size_; }
    const uint8_t* view(uint64_t offset, size_t length) override {
        if (!map_ || offset > size_ || length > size_ - offset) return nullptr;
        return map_ + offset;
    }
    bool read(uint64_t offset, uint8_t* out, size_t length) override {
        if (offset > size_ || length > size_ - offset) return false;
        while (length > 0) {
            const ssize_t got = ::pread(fd_, out, length, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            out += got;
            offset += static_cast<uint64_t>(got);
            length -= static_cast<size_t>(got);
        }
        return true;
    }

private:
    int fd_;
    uint64_t size_;
    const uint8_t* map_ = nullptr;
};

class PosixFile : public WritableFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    bool write(const uint8_t* data, size_t length) override {
        while (length > 0 && ok_) {
            const ssize_t put = ::write(fd_, data, length);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) ok_ = false;
            else {
                data += put;
                length -= static_cast<size_t>(put);
            }
        }
        return ok_;
    }
    bool close() override {
        if (fd_ >= 0 && ::close(fd_) != 0) ok_ = false;
        fd_ = -1;
        return ok_;
    }

private:
    int fd_;
    bool ok_ = true;
};

bool is_directory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::unique_ptr<ByteSource> PosixFileSystem::open_read(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<ByteSource>(new PosixSource(fd, static_cast<uint64_t>(st.st_size)));
}

bool PosixFileSystem::make_directories(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\')) trimmed.pop_back();
    if (trimmed.empty() || is_directory(trimmed)) return true;
    const size_t cut = trimmed.find_last_of('/');
    if (cut != std::string::npos && cut > 0 && !make_directories(trimmed.substr(0, cut))) return false;
    return ::mkdir(trimmed.c_str(), 0777) == 0 || is_directory(trimmed);
}

std::unique_ptr<WritableFile> PosixFileSystem::create_new(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return nullptr;
    return std::unique_ptr<WritableFile>(new PosixFile(fd));
}

bool PosixFileSystem::replace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void PosixFileSystem::remove(const std::string& path) { ::unlink(path.c_str()); }

std::string PosixFileSystem::child(const std::string& folder, const std::string& name) const {
    if (folder.empty()) return name;
    std::string base = folder;
    while (base.size() > 1 && (base.back() == '/' || base.back() == '\\')) base.pop_back();
    if (base == "/") return "/" + name;
    return base + "/" + name;
}
