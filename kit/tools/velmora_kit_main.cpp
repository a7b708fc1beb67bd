// velmora-kit: builds, checks and previews mascots with the program's own readers.
//   velmora-kit build FOLDER -o NAME.lzh [--matte RRGGBB] [--hard-edges]
//   velmora-kit build PICTURE.png -o NAME.bmp [--matte RRGGBB] [--hard-edges]
//   velmora-kit import PICTURE.gif | SHEET.png | FOLDER -o NAME.lzh | OUT-FOLDER [--cell WxH | --grid CxR]
//                      [--frames 1-3,11] [--time TICKS] [--hard-edges]
//   velmora-kit check NAME.lzh | NAME.bmp | FOLDER
//   velmora-kit preview NAME.lzh | NAME.bmp | FOLDER -o preview.gif [--seed N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "kit/mascot_build.h"
#include "kit/mascot_check.h"
#include "kit/mascot_import.h"
#include "kit/preview.h"
#include "kit/tools/kit_system.h"

namespace fs = std::filesystem;

namespace {

void say(const std::string& utf8) { write_text(stdout, utf8 + "\n"); }

int usage()
{
    write_text(stderr,
                 "usage: velmora-kit build FOLDER -o NAME.lzh [--matte RRGGBB] [--hard-edges]\n"
                 "       velmora-kit build PICTURE -o NAME.bmp [--matte RRGGBB] [--hard-edges]\n"
                 "       velmora-kit import PICTURE.gif|SHEET.png|FOLDER -o NAME.lzh|OUT-FOLDER [--cell WxH|--grid CxR]\n"
                 "                          [--frames 1-3,11] [--time TICKS] [--hard-edges]\n"
                 "       velmora-kit check NAME.lzh|NAME.bmp|FOLDER\n"
                 "       velmora-kit preview NAME.lzh|NAME.bmp|FOLDER -o PREVIEW.gif [--seed N]\n");
    return 2;
}

bool read_whole(const fs::path& path, std::vector<uint8_t>& bytes, size_t limit)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    const uintmax_t size = fs::file_size(path, error);
    if (error || size > limit)
        return false;
    std::FILE* in = open_file(path, "rb");
    if (!in)
        return false;
    bytes.resize(static_cast<size_t>(size));
    const bool whole = std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    std::fclose(in);
    return whole;
}

// Writes under a temporary name and renames, so a failed write leaves no half file.
bool write_whole(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::path temporary = path;
    temporary += ".part";
    std::FILE* out = open_file(temporary, "wb");
    if (!out)
        return false;
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    std::error_code error;
    if (std::fclose(out) != 0 || !whole) {
        fs::remove(temporary, error);
        return false;
    }
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return !error;
}

// A name from the definition as a path inside the folder; names that climb out of it or
// start from a root are refused, so a definition cannot pack a file from elsewhere.
bool inside_folder(const fs::path& folder, const std::string& utf8_name, fs::path& path)
{
    const fs::path relative = path_from_utf8(utf8_name);
    if (utf8_name.empty() || relative.is_absolute() || relative.has_root_name() || relative.has_root_directory())
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
        say(format_finding(finding));
}

struct Arguments {
    std::string verb, input, output;
    bool has_matte = false;
    Rgb matte;
    bool hard_edges = false;
    uint32_t seed = 1;
    SheetCut cut;
    std::vector<FrameRange> ranges;
    int32_t time = 1;
};

// "32x48" as two numbers from 1 up.
bool parse_pair(const std::string& text, int32_t& first, int32_t& second)
{
    const size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    char* end = nullptr;
    first = static_cast<int32_t>(std::strtol(text.substr(0, x).c_str(), &end, 10));
    if (*end || x == 0)
        return false;
    second = static_cast<int32_t>(std::strtol(text.substr(x + 1).c_str(), &end, 10));
    return !*end && x + 1 < text.size() && first >= 1 && second >= 1 && first <= 4096 && second <= 4096;
}

bool parse_arguments(const std::vector<std::string>& argv, Arguments& args)
{
    if (argv.size() < 2)
        return false;
    args.verb = argv[0];
    args.input = argv[1];
    for (size_t i = 2; i < argv.size(); ++i) {
        const std::string& option = argv[i];
        if (option == "--hard-edges") {
            args.hard_edges = true;
            continue;
        }
        if (i + 1 >= argv.size())
            return false;
        const std::string& value = argv[++i];
        if (option == "-o") {
            args.output = value;
        } else if (option == "--matte") {
            char* end = nullptr;
            const unsigned long colour = std::strtoul(value.c_str(), &end, 16);
            if (value.size() != 6 || *end)
                return false;
            args.has_matte = true;
            args.matte = Rgb{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
        } else if (option == "--cell") {
            if (!parse_pair(value, args.cut.cell_width, args.cut.cell_height))
                return false;
        } else if (option == "--grid") {
            if (!parse_pair(value, args.cut.columns, args.cut.rows))
                return false;
        } else if (option == "--frames") {
            if (!parse_frame_ranges(value, args.ranges))
                return false;
        } else if (option == "--time") {
            char* end = nullptr;
            args.time = static_cast<int32_t>(std::strtol(value.c_str(), &end, 10));
            if (value.empty() || *end || args.time < 1 || args.time > 100000)
                return false;
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
    options.hard_edges = args.hard_edges;
    const fs::path input = path_from_utf8(args.input);
    BuildResult result;
    std::error_code error;
    if (fs::is_directory(input, error)) {
        if (!has_extension(args.output, ".lzh")) {
            write_text(stderr, "velmora-kit: an animated mascot is an .lzh archive\n");
            return 2;
        }
        options.unix_time = modification_time(input / "VLD.INI");
        result = build_archive_mascot(
            [&](const std::string& name, std::vector<uint8_t>& bytes) {
                fs::path path;
                return inside_folder(input, name, path) && read_whole(path, bytes, kMaxArchiveBytes);
            },
            options);
    } else {
        std::vector<uint8_t> picture;
        if (!has_extension(args.output, ".bmp") || !read_whole(input, picture, kMaxArchiveBytes)) {
            write_text(stderr, "velmora-kit: " + args.input + " is no folder, and no picture to make a .bmp of\n");
            return 2;
        }
        result = build_still_mascot(picture, options);
    }
    print(result.findings);
    if (!result.ok()) {
        say("no mascot written");
        return 2;
    }
    if (!write_whole(path_from_utf8(args.output), result.archive)) {
        say("error: " + args.output + " cannot be written");
        return 2;
    }
    say("wrote " + args.output + " (" + std::to_string(result.archive.size()) + " bytes)");
    // The mascot is written, but a warning of its own check is as much a fault as in check.
    return exit_status(result.findings);
}

// The frames an import starts from: a GIF's, a sheet's cells, or a folder's numbered pictures.
bool imported_frames(const Arguments& args, std::vector<ImportedFrame>& frames, std::string& reason)
{
    const fs::path input = path_from_utf8(args.input);
    std::error_code error;
    if (fs::is_directory(input, error)) {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(input, error))
            if (entry.is_regular_file(error))
                names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        for (const std::string& name : numbered_frame_files(names, args.ranges)) {
            std::vector<uint8_t> bytes;
            ImportedFrame frame;
            if (!read_whole(input / path_from_utf8(name), bytes, kMaxArchiveBytes) ||
                !read_picture(bytes.data(), bytes.size(), frame.picture, reason)) {
                reason = name + ": " + (reason.empty() ? "cannot be read" : reason);
                return false;
            }
            frame.time = args.time;
            frames.push_back(std::move(frame));
        }
        if (frames.empty())
            reason = "the folder has no numbered pictures the ranges choose";
        return !frames.empty();
    }
    std::vector<uint8_t> bytes;
    if (!read_whole(input, bytes, kMaxArchiveBytes)) {
        reason = args.input + " cannot be read (or is larger than 64 MiB)";
        return false;
    }
    std::vector<ImportedFrame> all;
    if (has_extension(args.input, ".gif")) {
        if (!frames_from_gif(bytes.data(), bytes.size(), all, reason))
            return false;
    } else {
        RgbaImage sheet;
        if (!read_picture(bytes.data(), bytes.size(), sheet, reason))
            return false;
        SheetCut cut = args.cut;
        if (cut.cell_width == 0 && cut.columns == 0)
            cut.columns = cut.rows = 1;
        if (!frames_from_sheet(sheet, cut, args.time, all, reason))
            return false;
    }
    frames = pick_frames(all, args.ranges);
    if (frames.empty())
        reason = "the ranges choose no frame";
    return !frames.empty();
}

int run_import(const Arguments& args)
{
    if (args.output.empty())
        return usage();
    std::vector<ImportedFrame> frames;
    std::string reason;
    ImportedFolder folder;
    // The mascot is named after its file, or its folder.
    fs::path source = path_from_utf8(args.input).lexically_normal();
    if (source.filename().empty())
        source = source.parent_path();
    std::error_code error;
    const std::string name = (fs::is_directory(source, error) ? source.filename() : source.stem()).u8string();
    if (!imported_frames(args, frames, reason) || !import_folder(frames, name, folder, reason)) {
        say("error: " + reason);
        say("nothing imported");
        return 2;
    }
    say("note: " + std::to_string(frames.size()) + " frames cut to " + std::to_string(folder.width) + "x" +
        std::to_string(folder.height) + ", standing on the window's top edge (TopY=" + std::to_string(folder.top_y) + ")");
    if (!has_extension(args.output, ".lzh")) {
        const fs::path out = path_from_utf8(args.output);
        fs::create_directories(out, error);
        for (const auto& [file, bytes] : folder.files)
            if (!write_whole(out / path_from_utf8(file), bytes)) {
                say("error: " + args.output + " cannot be written");
                return 2;
            }
        say("wrote " + args.output + " (" + std::to_string(folder.files.size()) + " files): build turns it into an archive");
        return 0;
    }
    BuildOptions options;
    options.hard_edges = args.hard_edges;
    const BuildResult result = build_archive_mascot(
        [&](const std::string& file, std::vector<uint8_t>& bytes) {
            const auto found = folder.files.find(file);
            if (found == folder.files.end())
                return false;
            bytes = found->second;
            return true;
        },
        options);
    print(result.findings);
    if (!result.ok() || !write_whole(path_from_utf8(args.output), result.archive)) {
        say("no mascot written");
        return 2;
    }
    say("wrote " + args.output + " (" + std::to_string(result.archive.size()) + " bytes)");
    return exit_status(result.findings);
}

CheckReport check_path(const std::string& input_path)
{
    const fs::path input = path_from_utf8(input_path);
    std::error_code error;
    if (fs::is_directory(input, error)) {
        MemberStore files;
        for (const fs::directory_entry& entry : fs::directory_iterator(input, error)) {
            std::vector<uint8_t> bytes;
            if (entry.is_regular_file(error) && read_whole(entry.path(), bytes, kMaxArchiveBytes))
                files.put(member_name_of(entry.path().filename()), std::move(bytes));
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
        return check_still(member_name_of(input.filename()), bytes.data(), bytes.size());
    return check_archive(bytes.data(), bytes.size(), ExtractLimits{uint64_t(64) << 20, uint64_t(256) << 20});
}

int run_check(const Arguments& args)
{
    const CheckReport report = check_path(args.input);
    print(report.findings);
    if (!report.summary.empty())
        say(report.summary);
    return exit_status(report.findings);
}

int run_preview(const Arguments& args)
{
    if (args.output.empty())
        return usage();
    const CheckReport report = check_path(args.input);
    if (report.mascot.frames.empty()) {
        print(report.findings);
        say("no preview written: the mascot has no frame");
        return 2;
    }
    PreviewPlan plan;
    std::string reason;
    if (!plan_preview(report.mascot, args.seed, plan, reason)) {
        say("no preview written: " + reason);
        return 2;
    }
    std::vector<uint8_t> gif;
    const PictureMaker picture = [&](size_t frame) { return render_preview_picture(report.mascot, plan, frame); };
    if (!write_gif(plan.width, plan.height, plan.showings, picture, gif, reason)) {
        say("error: " + reason);
        return 2;
    }
    if (!write_whole(path_from_utf8(args.output), gif)) {
        say("error: " + args.output + " cannot be written");
        return 2;
    }
    say("wrote " + args.output + " (" + std::to_string(plan.showings.size()) + " pictures, " +
        std::to_string(plan.width) + "x" + std::to_string(plan.height) + ")");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Arguments args;
    if (!parse_arguments(command_line_arguments(argc, argv), args))
        return usage();
    if (args.verb == "build")
        return run_build(args);
    if (args.verb == "import")
        return run_import(args);
    if (args.verb == "check")
        return run_check(args);
    if (args.verb == "preview")
        return run_preview(args);
    return usage();
}
