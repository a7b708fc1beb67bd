#include "kit/mascot_check.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "display/alpha_frame.h"
#include "display/definition.h"
#include "display/picture_file.h"
#include "display/placement.h"
#include "display/shape_trace.h"
#include "kit/cp932.h"
#include "kit/icon_file.h"
#include "display/profile_text.h"
#include "lha/wildcard.h"
#include "library/library_scan.h"

namespace {

const char kDefinitionFile[] = "VLD.INI";
const char kCommentFile[] = "Comment.txt";
const char kWebPageFile[] = "WebPage.url";

// The URL buffer of the information dialog holds 254 characters and its terminator.
constexpr size_t kUrlLimit = 254;
constexpr size_t kTextLimit = 260;

class Reporter {
public:
    explicit Reporter(std::vector<Finding>& findings) : findings_(findings) {}
    void error(const std::string& text) { findings_.push_back(Finding{Severity::error, text}); }
    void warning(const std::string& text) { findings_.push_back(Finding{Severity::warning, text}); }
    void note(const std::string& text) { findings_.push_back(Finding{Severity::note, text}); }

private:
    std::vector<Finding>& findings_;
};

// Japanese text in code page 932 is almost never also valid UTF-8 beyond ASCII, while UTF-8 often
// happens to decode as code page 932, garbled; so valid UTF-8 with more than ASCII is taken as UTF-8.
bool looks_like_utf8(const std::string& text)
{
    bool beyond_ascii = false;
    for (unsigned char c : text)
        beyond_ascii = beyond_ascii || c >= 0x80;
    return beyond_ascii && is_valid_utf8(text);
}

std::string shown(const std::string& cp932) { return "\"" + cp932_for_display(cp932) + "\""; }

std::string size_text(int32_t width, int32_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string frame_label(size_t index, const std::string& file)
{
    return "frame " + std::to_string(index + 1) + " (" + cp932_for_display(file) + ")";
}

// Why the program would refuse a frame file, or an empty text when it loads.
std::string frame_refusal(const MemberStore& files, const std::string& file, LoadedFrame& frame)
{
    if (file.find('\\') != std::string::npos || file.find('/') != std::string::npos)
        return "it names a file in a folder, but the archive is extracted flat";
    const std::vector<uint8_t>* bytes = files.find(file);
    if (!bytes)
        return "there is no such file";
    BitmapFileHeader header;
    switch (read_file_header(bytes->data(), bytes->size(), header)) {
    case FileHeaderResult::ok: break;
    case FileHeaderResult::short_header: return "the file is shorter than a bitmap file header";
    case FileHeaderResult::not_bitmap: return "it is not a bitmap (no \"BM\" at its start)";
    case FileHeaderResult::too_small: return "its file header states a size too small for the info header";
    }
    if (header.data_size > bytes->size() - kBitmapFileHeaderSize)
        return "its file header states " + std::to_string(header.data_size + kBitmapFileHeaderSize) +
               " bytes but the file holds " + std::to_string(bytes->size());
    frame.data.assign(bytes->begin() + kBitmapFileHeaderSize, bytes->begin() + kBitmapFileHeaderSize + header.data_size);
    Picture picture;
    if (frame.data.size() >= kBitmapInfoHeaderSize && frame.data[14] == 32 && frame.data[15] == 0) {
        if (decode_bitmap32(frame.data.data(), frame.data.size(), picture) != PictureResult::ok)
            return "it is a 32-bit bitmap the program refuses (cut short, over 4096 dots, or masks other than whole bytes)";
        frame.data = alpha_frame_block(picture.frames[0].rgba, picture.width, picture.height);
        frame.alpha_form = true;
        frame.layout.width = picture.width;
        frame.layout.height = picture.height;
        frame.layout.bits_per_pixel = 32;
        frame.layout.colour_count = 0;
        frame.layout.rows_offset = kBitmapInfoHeaderSize;
        frame.layout.row_length = static_cast<size_t>(picture.width) * 4;
        return std::string();
    }
    switch (read_bitmap_layout(frame.data.data(), frame.data.size(), frame.layout)) {
    case LayoutResult::ok: return std::string();
    case LayoutResult::short_header: return "its info header is cut short";
    case LayoutResult::wrong_header_size: return "its info header is not the 40-byte kind";
    case LayoutResult::unsupported_depth: return "it has a depth other than 4, 8, 24 or 32 bits per pixel";
    case LayoutResult::compressed: return "its rows are compressed";
    case LayoutResult::negative_size: return "its width is negative or its rows run top-down";
    case LayoutResult::too_large: return "its width or height is too large";
    case LayoutResult::too_many_colours: return "its colour table is larger than its depth indexes";
    case LayoutResult::short_data: return "its colour table or rows run past the end of the file";
    }
    return "it is refused";
}

// The numbers of the File%u keys of the List section whose value names a file.
std::vector<unsigned> listed_file_numbers(const ProfileText& definition)
{
    std::set<unsigned> numbers;
    for (const ProfileText::Entry* listed_entry : definition.section_entries("List")) {
        const ProfileText::Entry& entry = *listed_entry;
        if (entry.key.size() < 5 ||
            !equal_ignoring_ascii_case(entry.key.substr(0, 4), "File"))
            continue;
        const std::string digits = entry.key.substr(4);
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos || digits[0] == '0')
            continue;
        if (!entry.value.empty() && entry.value != kAbsentText)
            numbers.insert(static_cast<unsigned>(std::stoul(digits)));
    }
    return std::vector<unsigned>(numbers.begin(), numbers.end());
}

void check_frame_list(const MemberStore& files, ProfileText& definition, LoadedMascot& mascot, Reporter& report,
                      std::set<std::string>& read_files)
{
    std::string refusal;
    const size_t count = read_frame_list(definition, "", [&](const std::string& file, int32_t time) {
        LoadedFrame frame;
        refusal = frame_refusal(files, file, frame);
        if (!refusal.empty())
            return false;
        frame.file = file;
        frame.time = time;
        read_files.insert(files.spelling(file));
        mascot.width = frame.layout.width;
        mascot.height = frame.layout.height;
        mascot.frames.push_back(std::move(frame));
        return true;
    });
    const unsigned next = static_cast<unsigned>(count + 1);
    const std::string file_key = "File" + std::to_string(next), time_key = "Time" + std::to_string(next);
    const std::string file = definition.read_text("List", file_key.c_str(), kAbsentText);
    const std::string ends = count == 0 ? std::string("the frame list is empty: ")
                                        : "the frame list ends after frame " + std::to_string(count) + ": ";
    std::string unread;
    size_t unread_count = 0;
    for (unsigned number : listed_file_numbers(definition)) {
        if (number < next)
            continue;
        // Files named past the list's end are reported with it, not again as unread members.
        const std::string key = "File" + std::to_string(number);
        read_files.insert(files.spelling(definition.read_text("List", key.c_str(), kAbsentText)));
        if (number > next)
            unread += (unread_count++ ? ", " : "") + key;
    }
    const std::string lost =
        unread.empty() ? std::string() : "; " + unread + (unread_count == 1 ? " is" : " are") + " never shown";
    if (file.empty() || file == kAbsentText) {
        if (count == 0)
            report.error(ends + file_key + " is missing" + lost);
        else if (!unread.empty())
            report.error(ends + "there is no " + file_key + lost);
    } else if (definition.read_int("List", time_key.c_str(), kAbsentNumber) == kAbsentNumber) {
        const ProfileText::Entry* time = definition.find("List", time_key.c_str());
        report.error(ends + time_key + (time && !time->value.empty() ? " is 9999, which counts as missing"
                                                                     : " is missing") + lost);
    } else {
        report.error(ends + file_key + " " + shown(file) + " does not load: " + refusal + lost);
    }
    if (mascot.frames.empty() && count == 0 && !(file.empty() || file == kAbsentText))
        report.error("the mascot has no frame and is never shown");
}

void check_frames(const LoadedMascot& mascot, Reporter& report)
{
    if (std::any_of(mascot.frames.begin(), mascot.frames.end(), [](const LoadedFrame& f) { return f.alpha_form; }))
        report.note("the frames are 32-bit bitmaps with alpha: the program shows them with soft edges in a layered "
                    "window; the program of old shows nothing for such frames");
    const size_t last = mascot.frames.size() - 1;
    for (size_t i = 0; i < mascot.frames.size(); ++i) {
        const LoadedFrame& frame = mascot.frames[i];
        const BitmapLayout& layout = frame.layout;
        if (layout.width != mascot.width || layout.height != mascot.height)
            report.warning(frame_label(i, frame.file) + " is " + size_text(layout.width, layout.height) +
                           " but the window takes " + size_text(mascot.width, mascot.height) + " from frame " +
                           std::to_string(last + 1) + ", the last loaded: it shows cut or padded");
        int64_t covered = 0;
        for (const RunRect& run : frame_shape(frame))
            covered += run.right - run.left;
        const int64_t area = int64_t(layout.width) * layout.height;
        if (covered == 0)
            report.warning(frame_label(i, frame.file) + ": its shape is empty, nothing of it shows");
        else if (!frame.alpha_form && area - covered <= std::max<int64_t>(1, area / 100))
            report.warning(frame_label(i, frame.file) + ": its shape covers the whole frame but " +
                           std::to_string(area - covered) +
                           " pixels: the bottom-left pixel's value is not the background");
    }
}

void check_name(ProfileText& definition, const std::string& name, Reporter& report)
{
    if (name == kAbsentText) {
        report.warning("VLD.INI gives no Name: the program shows the archive's path instead");
        return;
    }
    const ProfileText::Entry* entry = definition.find("VelmoraData", "Name");
    if (entry && entry->value.size() > kTextLimit)
        report.warning("the Name is " + std::to_string(entry->value.size()) + " bytes long and is cut at 260");
    std::string utf8;
    TextFault fault;
    if (looks_like_utf8(name))
        report.warning("the Name is not code page 932 text (it looks like UTF-8): it shows as " + shown(name));
    else if (!cp932_to_utf8(name, utf8, fault))
        report.warning("the Name is not code page 932 text at character " + std::to_string(fault.position.column) +
                       ": it shows garbled");
}

void check_icon(const MemberStore& files, ProfileText& definition, Reporter& report, std::set<std::string>& read_files)
{
    const NameAndIconFile found = read_name_and_icon_file(definition);
    if (found.icon_file.empty())
        return;
    const std::string label = "the icon " + shown(found.icon_file);
    const std::vector<uint8_t>* bytes = files.find(found.icon_file);
    std::string reason;
    if (!wildcard_match("*.ico", found.icon_file))
        report.warning(label + " is not loaded: the library scan extracts only VLD.INI and *.ico");
    else if (!bytes)
        report.warning(label + " is not loaded: there is no such file");
    else if (!icon_loads(bytes->data(), bytes->size(), reason))
        report.warning(label + " does not load: " + reason);
    if (bytes)
        read_files.insert(files.spelling(found.icon_file));
}

void check_comment(const std::vector<uint8_t>& bytes, Reporter& report)
{
    std::string text(bytes.begin(), bytes.end());
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        report.warning("Comment.txt holds a NUL byte at offset " + std::to_string(nul) +
                       ": the text after it is not shown");
        text.erase(nul);
    }
    std::string utf8;
    TextFault fault;
    if (looks_like_utf8(text)) {
        // The first line that holds more than ASCII is the one to look at.
        size_t line = 1, at = 0;
        for (; at < text.size() && static_cast<unsigned char>(text[at]) < 0x80; ++at)
            line += text[at] == '\n';
        report.warning("Comment.txt, line " + std::to_string(line) +
                       ", is not code page 932 text (it looks like UTF-8): it shows garbled");
    } else if (!cp932_to_utf8(text, utf8, fault)) {
        report.warning("Comment.txt, line " + std::to_string(fault.position.line) +
                       ", is not code page 932 text: it shows garbled");
    }
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        if (at == 0 || text[at - 1] != '\r') {
            report.warning("Comment.txt ends lines with LF alone: the comment box runs them together");
            break;
        }
    }
}

void check_web_page(const std::vector<uint8_t>& bytes, Reporter& report)
{
    ProfileText shortcut(std::string(bytes.begin(), bytes.end()));
    const ProfileText::Entry* entry = shortcut.find("InternetShortcut", "URL");
    if (!entry || entry->value == kAbsentText) {
        report.warning("WebPage.url has no URL in [InternetShortcut]: no link is shown");
        return;
    }
    const std::string url = entry->value.substr(0, kUrlLimit);
    if (entry->value.size() > kUrlLimit)
        report.warning("the web page address is " + std::to_string(entry->value.size()) + " characters long and is cut at 254");
    if (url.compare(0, 7, "http://") != 0)
        report.warning("the web page " + shown(url) +
                       " is not shown as a link: the information dialog links only addresses beginning with http://");
}

// Whether the mascot's rectangle at least touches the target's; a mascot at the far end of
// the coordinates does not reach round to the other side.
bool touches(const Rect32& target, Point32 at, int32_t width, int32_t height)
{
    return at.x <= target.right && int64_t(at.x) + width >= target.left && at.y <= target.bottom &&
           int64_t(at.y) + height >= target.top;
}

void check_anchors(const LoadedMascot& mascot, Reporter& report)
{
    const int32_t anchors[] = {mascot.settings.PositionX, mascot.settings.PositionY};
    for (int32_t anchor : anchors) {
        if (anchor < kLeastAnchor || anchor > kMostAnchor) {
            report.warning("an anchor of " + std::to_string(anchor) + " lies outside " + std::to_string(kLeastAnchor) +
                           " to " + std::to_string(kMostAnchor) + ", the anchors the program can place");
            return;
        }
    }
    static const Rect32 kTargets[] = {{100, 100, 740, 580}, {100, 100, 400, 300}};
    for (const Rect32& target : kTargets) {
        const Point32 at = compute_mascot_position(target, mascot.width, mascot.height, mascot.settings);
        if (touches(target, at, mascot.width, mascot.height))
            continue;
        char text[200];
        std::snprintf(text, sizeof text,
                      "the anchors put the mascot off its window: on a %dx%d window at (%d,%d) it stands at (%d,%d)",
                      target.right - target.left, target.bottom - target.top, target.left, target.top, at.x, at.y);
        report.warning(text);
        return;
    }
}

std::string seconds(int64_t ticks)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%lld s", static_cast<long long>(ticks / 10), static_cast<long long>(ticks % 10));
    return text;
}

std::string summarise(const LoadedMascot& mascot, const std::string& source_label, const std::vector<std::string>& methods)
{
    std::string line = (mascot.name == kAbsentText ? source_label : cp932_for_display(mascot.name)) + ": " +
                       std::to_string(mascot.frames.size()) + (mascot.frames.size() == 1 ? " frame" : " frames");
    if (mascot.frames.size() > 1) {
        const StayRange stay = round_stay(mascot.frames);
        line += ", a round of " + seconds(stay.least) + (stay.most != stay.least ? " to " + seconds(stay.most) : "");
    }
    line += ", " + size_text(mascot.width, mascot.height);
    if (!methods.empty()) {
        std::map<std::string, int> counted;
        for (const std::string& method : methods)
            ++counted[method];
        line += ", members";
        for (const auto& method : counted)
            line += " " + method.first + " x" + std::to_string(method.second);
    }
    return line;
}

void check_files(const MemberStore& files, CheckReport& result)
{
    Reporter report(result.findings);
    const std::vector<uint8_t>* definition_bytes = files.find(kDefinitionFile);
    if (!definition_bytes) {
        report.error("there is no VLD.INI: the mascot has no name and no frames");
        result.mascot.name = kAbsentText;
        return;
    }
    const std::string definition_text(definition_bytes->begin(), definition_bytes->end());
    if (definition_text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        report.warning("VLD.INI begins with a UTF-8 byte-order mark: Windows then misses its first section");
    ProfileText definition(definition_text);
    LoadedMascot& mascot = result.mascot;
    std::set<std::string> read_files{files.spelling(kDefinitionFile)};

    mascot.name = read_mascot_name(definition);
    check_name(definition, mascot.name, report);
    check_frame_list(files, definition, mascot, report, read_files);
    apply_anchor_keys(definition, mascot.settings);
    if (!mascot.frames.empty()) {
        check_frames(mascot, report);
        check_anchors(mascot, report);
    }
    check_icon(files, definition, report, read_files);
    if (const std::vector<uint8_t>* comment = files.find(kCommentFile)) {
        check_comment(*comment, report);
        read_files.insert(files.spelling(kCommentFile));
    }
    if (const std::vector<uint8_t>* web_page = files.find(kWebPageFile)) {
        check_web_page(*web_page, report);
        read_files.insert(files.spelling(kWebPageFile));
    }
    for (const std::string& name : files.names())
        if (!read_files.count(name))
            report.warning("the member " + shown(name) + " is never read by the program");
}

}  // namespace

StayRange round_stay(const std::vector<LoadedFrame>& frames)
{
    StayRange range;
    for (const LoadedFrame& frame : frames) {
        // A stay s shows the frame for s ticks, and a stay of 0 for one; -m draws 0 to m - 1.
        if (frame.time >= 0) {
            range.least += std::max<int64_t>(1, frame.time);
            range.most += std::max<int64_t>(1, frame.time);
        } else {
            range.least += 1;
            range.most += std::max<int64_t>(1, -int64_t(frame.time) - 1);
        }
    }
    return range;
}

CheckReport check_archive(const uint8_t* bytes, size_t size, const ExtractLimits& limits)
{
    CheckReport result;
    Reporter report(result.findings);
    if (size > kMaxArchiveBytes) {
        report.error("the archive is larger than 64 MiB");
        return result;
    }
    const ArchiveContents contents = extract_in_memory(bytes, size, limits);
    if (contents.report.status == LhaStatus::not_archive || contents.report.status == LhaStatus::open_failed) {
        report.error(std::string("this is not an LHA archive: ") + describe_status(contents.report.status));
        return result;
    }
    std::map<std::u32string, int> seen;
    for (const MemberOutcome& member : contents.report.members) {
        if (member.status != LhaStatus::ok)
            report.error("the member " + shown(member.name.empty() ? "?" : member.name) +
                         " cannot be extracted: " + describe_status(member.status));
        if (member.status == LhaStatus::ok && seen[file_name_key(member.name)]++ == 1)
            report.warning("two members extract to " + shown(member.name) + ": the later one replaces the earlier");
    }
    if (contents.lookup.status != LhaStatus::ok && contents.files.find(kDefinitionFile))
        report.warning(std::string("the library scan's extraction of VLD.INI and *.ico fails (") +
                       describe_status(contents.lookup.status) + "): the list shows no name or icon");
    check_files(contents.files, result);
    result.summary = summarise(result.mascot, "archive", contents.methods);
    return result;
}

CheckReport check_folder(const MemberStore& files)
{
    CheckReport result;
    check_files(files, result);
    result.summary = summarise(result.mascot, "folder", {});
    return result;
}

CheckReport check_still(const std::string& file_name, const uint8_t* bytes, size_t size)
{
    CheckReport result;
    Reporter report(result.findings);
    MemberStore files;
    files.put(file_name, std::vector<uint8_t>(bytes, bytes + size));
    LoadedFrame frame;
    const std::string refusal = frame_refusal(files, file_name, frame);
    result.mascot.name = kAbsentText;
    if (!refusal.empty()) {
        report.error("the bitmap does not load: " + refusal);
    } else {
        frame.file = file_name;
        result.mascot.width = frame.layout.width;
        result.mascot.height = frame.layout.height;
        result.mascot.frames.push_back(std::move(frame));
        check_frames(result.mascot, report);
        check_anchors(result.mascot, report);
    }
    result.summary = summarise(result.mascot, cp932_for_display(file_name), {});
    return result;
}

std::vector<RunRect> frame_shape(const LoadedFrame& frame)
{
    if (frame.alpha_form)
        return trace_alpha_shape(frame.data.data(), frame.data.size(), 1);
    return trace_shape(frame.data.data(), frame.data.size());
}
