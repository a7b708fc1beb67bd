#include "kit/member_store.h"

#include "kit/cp932.h"
#include "lha/member_header.h"

namespace {

const char kArchivePath[] = "archive.lzh";

class MemoryFile : public WritableFile {
public:
    MemoryFile(MemberStore& store, std::string name) : store_(store), name_(std::move(name)) {}
    bool write(const uint8_t* data, size_t length) override
    {
        bytes_.insert(bytes_.end(), data, data + length);
        return true;
    }
    bool close() override
    {
        store_.put(name_, std::move(bytes_));
        return true;
    }

private:
    MemberStore& store_;
    std::string name_;
    std::vector<uint8_t> bytes_;
};

// Extraction's view of memory: the archive is the one readable file, and the destination is
// the store's flat folder.
class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem(const uint8_t* archive, size_t size, MemberStore& store)
        : archive_(archive), size_(size), store_(store) {}
    std::unique_ptr<ByteSource> open_read(const std::string& path) override
    {
        if (path != kArchivePath)
            return nullptr;
        return std::unique_ptr<ByteSource>(new SpanSource(archive_, size_));
    }
    bool make_directories(const std::string&) override { return true; }
    std::unique_ptr<WritableFile> create_new(const std::string& path) override
    {
        if (store_.find(path))
            return nullptr;
        return std::unique_ptr<WritableFile>(new MemoryFile(store_, path));
    }
    bool replace(const std::string& from, const std::string& to) override
    {
        const std::vector<uint8_t>* bytes = store_.find(from);
        if (!bytes)
            return false;
        std::vector<uint8_t> moved = *bytes;
        store_.remove(from);
        store_.remove(to);
        store_.put(to, std::move(moved));
        return true;
    }
    void remove(const std::string& path) override { store_.remove(path); }
    std::string child(const std::string& folder, const std::string& name) const override { return folder + name; }

private:
    const uint8_t* archive_;
    size_t size_;
    MemberStore& store_;
};

ExtractReport extract_with(const uint8_t* archive, size_t size, const ExtractLimits& limits,
                           std::vector<std::string> patterns, MemberStore& store)
{
    MemoryFileSystem fs(archive, size, store);
    ExtractCommand command;
    command.archive = kArchivePath;
    command.patterns = std::move(patterns);
    return extract_archive(fs, command, limits);
}

}  // namespace

MemberStore::File* MemberStore::lookup(const std::string& name)
{
    for (File& file : files_)
        if (same_file_name(file.name, name))
            return &file;
    return nullptr;
}

const MemberStore::File* MemberStore::lookup(const std::string& name) const
{
    return const_cast<MemberStore*>(this)->lookup(name);
}

void MemberStore::put(const std::string& name, std::vector<uint8_t> bytes)
{
    if (File* file = lookup(name)) {
        file->name = name;
        file->bytes = std::move(bytes);
        return;
    }
    files_.push_back(File{name, std::move(bytes)});
}

const std::vector<uint8_t>* MemberStore::find(const std::string& name) const
{
    const File* file = lookup(name);
    return file ? &file->bytes : nullptr;
}

std::string MemberStore::spelling(const std::string& name) const
{
    const File* file = lookup(name);
    return file ? file->name : name;
}

bool MemberStore::remove(const std::string& name)
{
    for (size_t i = 0; i < files_.size(); ++i) {
        if (same_file_name(files_[i].name, name)) {
            files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

std::vector<std::string> MemberStore::names() const
{
    std::vector<std::string> names;
    for (const File& file : files_)
        names.push_back(file.name);
    return names;
}

ArchiveContents extract_in_memory(const uint8_t* archive, size_t size, const ExtractLimits& limits)
{
    ArchiveContents contents;
    // The same switches and patterns as the program's two command lines.
    contents.report = extract_with(archive, size, limits, {"*.*"}, contents.files);
    MemberStore scan_folder;
    contents.lookup = extract_with(archive, size, limits, {"VLD.INI", "*.ico"}, scan_folder);

    SpanSource source(archive, size);
    uint64_t offset = 0;
    if (!find_header(source, 0, offset))
        return contents;
    MemberHeader header;
    // Bounded by the archive: every header moves the offset forward or ends the walk.
    while (read_member_header(source, offset, header).kind == HeaderRead::member && header.next_offset > offset) {
        contents.methods.push_back(header.method);
        offset = header.next_offset;
    }
    return contents;
}
