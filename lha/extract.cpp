#include "lha/extract.h"

#include <cstdio>
#include <new>

#include "lha/member_decoder.h"
#include "lha/member_header.h"
#include "lha/member_name.h"
#include "lha/wildcard.h"

namespace {

class FileSink : public OutputSink {
public:
    explicit FileSink(WritableFile& file) : file_(file) {}
    bool write(const uint8_t* data, size_t length) override {
        written_ += length;
        return file_.write(data, length);
    }
    uint64_t written() const { return written_; }

private:
    WritableFile& file_;
    uint64_t written_ = 0;
};

bool has_wildcards(const std::string& pattern) { return pattern.find_first_of("*?") != std::string::npos; }

// Marks in `matched` which patterns select the name.
bool is_selected(const ExtractCommand& command, const std::string& flat_name, std::vector<bool>* matched = nullptr) {
    if (command.patterns.empty()) return true;
    bool selected = false;
    for (size_t i = 0; i < command.patterns.size(); ++i) {
        if (wildcard_match(last_name_component(command.patterns[i]), flat_name)) {
            selected = true;
            if (matched) (*matched)[i] = true;
        }
    }
    return selected;
}

// Stored data never grows and the coded methods add at most a few percent, so
// compressed data far beyond the member cap is refused before it is read in.
uint64_t max_packed_for(const ExtractLimits& limits) { return limits.max_member_bytes + limits.max_member_bytes / 8 + 4096; }

class Extraction {
public:
    Extraction(FileSystem& fs, const ExtractCommand& command, const ExtractLimits& limits)
        : fs_(fs), command_(command), limits_(limits) {}

    ExtractReport run();

private:
    LhaStatus extract_member(ByteSource& source, const MemberHeader& header, const std::string& flat_name);
    LhaStatus write_member(const MemberHeader& header, const uint8_t* packed, size_t packed_size,
                           const std::string& final_path);
    void record(const std::string& name, LhaStatus status) {
        report_.members.push_back(MemberOutcome{name, status});
        fail(status);
    }
    void fail(LhaStatus status) {
        if (status != LhaStatus::ok && report_.status == LhaStatus::ok) report_.status = status;
    }

    FileSystem& fs_;
    const ExtractCommand& command_;
    const ExtractLimits& limits_;
    ExtractReport report_;
    uint64_t total_bytes_ = 0;
    unsigned temp_counter_ = 0;
};

ExtractReport Extraction::run() {
    std::unique_ptr<ByteSource> source = fs_.open_read(command_.archive);
    if (!source) {
        fail(LhaStatus::open_failed);
        return report_;
    }
    uint64_t offset = 0;
    if (!find_header(*source, 0, offset)) {
        fail(LhaStatus::not_archive);
        return report_;
    }
    if (!command_.destination.empty() && !fs_.make_directories(command_.destination)) {
        fail(LhaStatus::write_failed);
        return report_;
    }
    // Some self-extracting stubs carry a small archive of their own (a usage note)
    // in front of the real one, so inside a stub an end marker is not the end.
    const bool in_stub = offset > 0;
    std::vector<bool> matched(command_.patterns.size(), false);
    MemberHeader header;
    for (;;) {
        const HeaderResult r = read_member_header(*source, offset, header);
        if (r.kind == HeaderRead::end_of_archive) {
            if (in_stub && find_header(*source, offset + 1, offset)) continue;
            break;
        }
        if (r.kind == HeaderRead::failed) {
            // A member whose data is cut off still has a name; report it under that.
            const std::string name = r.error == LhaStatus::truncated ? flat_name_of(header.path) : std::string();
            if (name.empty() || is_selected(command_, name)) record(name, r.error);
            break;
        }
        offset = header.next_offset;
        if (is_directory_method(header.method)) continue;
        // Some Amiga archivers wrote folders as empty stored files whose path ends
        // in a separator.
        if (header.original_size == 0 && !header.path.empty() && last_name_component(header.path).empty()) continue;
        const std::string flat_name = flat_name_of(header.path);
        if (!is_selected(command_, flat_name, &matched)) continue;
        record(flat_name, extract_member(*source, header, flat_name));
    }
    for (size_t i = 0; i < matched.size(); ++i)
        if (!matched[i] && !has_wildcards(command_.patterns[i])) fail(LhaStatus::not_found);
    return report_;
}

LhaStatus Extraction::extract_member(ByteSource& source, const MemberHeader& header, const std::string& flat_name) {
    if (!is_safe_flat_name(flat_name)) return LhaStatus::unsafe_name;
    if (!is_supported_method(header.method)) return LhaStatus::unsupported_method;
    if (header.original_size > limits_.max_member_bytes || header.packed_size > max_packed_for(limits_) ||
        header.original_size > limits_.max_total_bytes - total_bytes_)
        return LhaStatus::too_large;
    total_bytes_ += header.original_size;

    const size_t packed_size = static_cast<size_t>(header.packed_size);
    const uint8_t* packed = source.view(header.data_offset, packed_size);
    std::vector<uint8_t> copy;
    if (!packed) {
        if (!read_block(source, header.data_offset, packed_size, copy)) return LhaStatus::truncated;
        packed = copy.data();
    }
    return write_member(header, packed, packed_size, fs_.child(command_.destination, flat_name));
}

LhaStatus Extraction::write_member(const MemberHeader& header, const uint8_t* packed, size_t packed_size,
                                   const std::string& final_path) {
    std::unique_ptr<WritableFile> file;
    std::string temp_path;
    // The temporary name is created exclusively, so it can never be a link planted
    // to redirect the write. A name taken is what an extraction cut short (a crash, a
    // power loss) left behind: it is removed, a link as the link itself, and taken anew;
    // otherwise a folder holding a hundred such leftovers would take no file at all.
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        char temp_name[32];
        std::snprintf(temp_name, sizeof temp_name, "~vlh%04u.tmp", temp_counter_++ % 10000u);
        temp_path = fs_.child(command_.destination, temp_name);
        file = fs_.create_new(temp_path);
        if (!file) {
            fs_.remove(temp_path);
            file = fs_.create_new(temp_path);
        }
    }
    if (!file) return LhaStatus::write_failed;

    FileSink sink(*file);
    const DecodeResult result = decode_member(header.method, packed, packed_size, header.original_size, sink);
    const bool closed = file->close();
    LhaStatus status = result.status;
    if (status == LhaStatus::ok && !closed) status = LhaStatus::write_failed;
    if (status == LhaStatus::ok && sink.written() != header.original_size) status = LhaStatus::truncated;
    if (status == LhaStatus::ok && (!header.has_crc || result.crc16 != header.crc16)) status = LhaStatus::crc_mismatch;
    if (status == LhaStatus::ok && !fs_.replace(temp_path, final_path)) status = LhaStatus::write_failed;
    if (status != LhaStatus::ok) fs_.remove(temp_path);
    return status;
}

} // namespace

ExtractReport extract_archive(FileSystem& fs, const ExtractCommand& command, const ExtractLimits& limits) {
    Extraction extraction(fs, command, limits);
    return extraction.run();
}

LhaStatus run_extract_words(FileSystem& fs, const std::vector<std::string>& words, const ExtractLimits& limits,
                            ExtractReport* report) {
    ExtractCommand command;
    if (!parse_extract_command(words, command)) return LhaStatus::bad_command;
    try {
        ExtractReport result = extract_archive(fs, command, limits);
        if (report) *report = result;
        return result.status;
    } catch (const std::bad_alloc&) {
        // A 32-bit process can run out of address space on a large member; that is
        // a failed extraction, not a crash of the caller.
        return LhaStatus::too_large;
    }
}

LhaStatus run_extract_line(FileSystem& fs, const std::string& line, const ExtractLimits& limits, ExtractReport* report) {
    std::vector<std::string> words;
    if (!split_command_words(line, words)) return LhaStatus::bad_command;
    return run_extract_words(fs, words, limits, report);
}
