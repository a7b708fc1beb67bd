// velmora-kit: builds, checks and previews mascots with the program's own readers.
//   velmora-kit build FOLDER -o NAME.lzh [--matte RRGGBB]
//   velmora-kit build PICTURE.png -o NAME.bmp [--matte RRGGBB]
//   velmora-kit check NAME.lzh | NAME.bmp | FOLDER
//   velmora-kit preview NAME.lzh | NAME.bmp | FOLDER -o preview.gif [--seed N]
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kit/cp932.h"
#include "kit/mascot_build.h"
#include "kit/mascot_check.h"
#include "kit/preview.h"

namespace fs = std::filesystem;

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: velmora-kit build FOLDER -o NAME.lzh [--matte RRGGBB]\n"
                 "       velmora-kit build PICTURE -o NAME.bmp [--matte RRGGBB]\n"
                 "       velmora-kit check NAME.lzh|NAME.bmp|FOLDER\n"
                 "       velmora-kit preview NAME.lzh|NAME.bmp|FOLDER -o PREVIEW.gif [--seed N]\n");
    return 2;
}

bool read_whole(const fs::path& path, std::vector<uint8_t>& bytes, size_t limit)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error) || fs::file_size(path, error) > limit)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes under a temporary name and renames, so a failed write leaves no half file.
bool write_whole(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error)
        std::remove(temporary.c_str());
    return !error;
}

// A name from the definition as a path inside the folder; names that climb out of it or
// start from a root are refused, so a definition cannot pack a file from elsewhere.
bool inside_folder(const fs::path& folder, const std::string& utf8_name, fs::path& path)
{
    std::string native = utf8_name;
#ifdef _WIN32
    // Windows opens narrow names in the ANSI code page.
    TextFault fault;
    if (!utf8_to_cp932(utf8_name, native, fault))
        return false;
#endif
    const fs::path relative(native);
    if (native.empty() || relative.is_absolute() || relative.has_root_name() || relative.has_root_directory())
        return false;
    for (const fs::path& part : relative)
        if (part == "..")
            return false;
    path = folder / relative;
    return true;
}

bool has_extension(const std::string& path, const char* extension)
{
    const size_t length = std::strlen(extension);
    if (path.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - length + i])) != extension[i])
            return false;
    return true;
}

void print(const std::vector<Finding>& findings)
{
    for (const Finding& finding : findings)
        std::printf("%s\n", format_finding(finding).c_str());
}

struct Arguments {
    std::string verb, input, output;
    bool has_matte = false;
    Rgb matte;
    uint32_t seed = 1;
};

bool parse_arguments(int argc, char** argv, Arguments& args)
{
    if (argc < 3)
        return false;
    args.verb = argv[1];
    args.input = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (option == "-o") {
            args.output = value;
        } else if (option == "--matte") {
            char* end = nullptr;
            const unsigned long colour = std::strtoul(value.c_str(), &end, 16);
            if (value.size() != 6 || *end)
                return false;
            args.has_matte = true;
            args.matte = Rgb{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
        } else if (option == "--seed") {
            char* end = nullptr;
            args.seed = static_cast<uint32_t>(std::strtoul(value.c_str(), &end, 10));
            if (value.empty() || *end)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

int run_build(const Arguments& args)
{
    if (args.output.empty())
        return usage();
    BuildOptions options;
    options.has_matte = args.has_matte;
    options.matte = args.matte;
    const fs::path input(args.input);
    BuildResult result;
    std::error_code error;
    if (fs::is_directory(input, error)) {
        if (!has_extension(args.output, ".lzh")) {
            std::fprintf(stderr, "velmora-kit: an animated mascot is an .lzh archive\n");
            return 2;
        }
        struct stat info;
        const std::string definition = (input / "VLD.INI").string();
        if (stat(definition.c_str(), &info) == 0)
            options.unix_time = static_cast<uint32_t>(info.st_mtime);
        result = build_archive_mascot(
            [&](const std::string& name, std::vector<uint8_t>& bytes) {
                fs::path path;
                return inside_folder(input, name, path) && read_whole(path, bytes, kMaxArchiveBytes);
            },
            options);
    } else {
        std::vector<uint8_t> picture;
        if (!has_extension(args.output, ".bmp") || !read_whole(input, picture, kMaxArchiveBytes)) {
            std::fprintf(stderr, "velmora-kit: %s is no folder, and no picture to make a .bmp of\n", args.input.c_str());
            return 2;
        }
        result = build_still_mascot(picture, options);
    }
    print(result.findings);
    if (!result.ok()) {
        std::printf("no mascot written\n");
        return 2;
    }
    if (!write_whole(args.output, result.archive)) {
        std::printf("error: %s cannot be written\n", args.output.c_str());
        return 2;
    }
    std::printf("wrote %s (%zu bytes)\n", args.output.c_str(), result.archive.size());
    return 0;
}

CheckReport check_path(const std::string& input_path)
{
    const fs::path input(input_path);
    std::error_code error;
    if (fs::is_directory(input, error)) {
        MemberStore files;
        for (const fs::directory_entry& entry : fs::directory_iterator(input, error)) {
            std::vector<uint8_t> bytes;
            if (entry.is_regular_file(error) && read_whole(entry.path(), bytes, kMaxArchiveBytes))
                files.put(entry.path().filename().string(), std::move(bytes));
        }
        return check_folder(files);
    }
    std::vector<uint8_t> bytes;
    if (!read_whole(input, bytes, kMaxArchiveBytes)) {
        CheckReport report;
        report.findings.push_back(Finding{Severity::error, input_path + " cannot be read (or is larger than 64 MiB)"});
        return report;
    }
    if (has_extension(input_path, ".bmp"))
        return check_still(input.filename().string(), bytes.data(), bytes.size());
    return check_archive(bytes.data(), bytes.size(), ExtractLimits{uint64_t(64) << 20, uint64_t(256) << 20});
}

int run_check(const Arguments& args)
{
    const CheckReport report = check_path(args.input);
    print(report.findings);
    if (!report.summary.empty())
        std::printf("%s\n", report.summary.c_str());
    return exit_status(report.findings);
}

int run_preview(const Arguments& args)
{
    if (args.output.empty())
        return usage();
    const CheckReport report = check_path(args.input);
    if (report.mascot.frames.empty()) {
        print(report.findings);
        std::printf("no preview written: the mascot has no frame\n");
        return 2;
    }
    std::vector<uint8_t> gif;
    std::string reason;
    const std::vector<PreviewFrame> frames = render_preview(report.mascot, args.seed);
    if (!write_gif(frames, gif, reason)) {
        std::printf("error: %s\n", reason.c_str());
        return 2;
    }
    if (!write_whole(args.output, gif)) {
        std::printf("error: %s cannot be written\n", args.output.c_str());
        return 2;
    }
    std::printf("wrote %s (%zu pictures, %dx%d)\n", args.output.c_str(), frames.size(), frames[0].picture.width,
                frames[0].picture.height);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Arguments args;
    if (!parse_arguments(argc, argv, args))
        return usage();
    if (args.verb == "build")
        return run_build(args);
    if (args.verb == "check")
        return run_check(args);
    if (args.verb == "preview")
        return run_preview(args);
    return usage();
}
