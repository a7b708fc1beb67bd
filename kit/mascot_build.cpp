#include "kit/mascot_build.h"

#include <map>
#include <memory>
#include <set>

#include "display/definition.h"
#include "kit/cp932.h"
#include "kit/icon_file.h"
#include "kit/mascot_check.h"
#include "display/profile_text.h"
#include "lha/archive_writer.h"

namespace {

const char kSoftEdgesNote[] =
    "the pictures have soft edges: the frames are 32-bit bitmaps with alpha, which the program shows with "
    "per-pixel alpha and the program of old shows nothing of; --hard-edges cuts them at half alpha instead";

// Soft edges are kept unless the author asked for cut frames, or for a matte to cut them over.
template <typename Pictures>
bool keeps_soft_edges(const BuildOptions& options, const Pictures& pictures)
{
    return !options.hard_edges && !options.has_matte && has_soft_edges(pictures);
}


const char kDefinitionFile[] = "VLD.INI";
const char kIconFile[] = "icon16.ico";
constexpr size_t kTextLimit = 260;
constexpr size_t kUrlLimit = 254;

const char* const kPosKeys[] = {"PosX", "LeftX", "RightX", "PosY", "TopY", "UnderY"};

class Builder {
public:
    Builder(const FolderReader& folder, const BuildOptions& options, BuildResult& result)
        : folder_(folder), options_(options), result_(result) {}
    void run();

private:
    void note(const std::string& text) { result_.findings.push_back(Finding{Severity::note, text}); }
    void warning(const std::string& text) { result_.findings.push_back(Finding{Severity::warning, text}); }
    void error(const std::string& text) { result_.findings.push_back(Finding{Severity::error, text}); }
    bool failed() const { return exit_status(result_.findings) == 2; }

    bool read_definition();
    void check_keys();
    bool read_frame_list();
    bool convert_frames();
    void make_icons();
    void make_comment();
    void make_web_page();
    void write_definition();
    void pack();

    // A value of the definition in code page 932, or an error naming where it stands.
    bool value_in_cp932(const ProfileText::Entry& entry, std::string& out);
    // The name a picture of the folder gets in the archive, with the new extension.
    bool member_name(const std::string& source, const char* extension, std::string& name);
    void add_member(const std::string& name, std::vector<uint8_t> bytes);

    const FolderReader& folder_;
    const BuildOptions& options_;
    BuildResult& result_;

    std::string definition_utf8_;
    std::unique_ptr<ProfileText> definition_;
    struct FrameEntry {
        std::string source;   // as the definition names it, UTF-8
        int32_t time = 0;
    };
    std::vector<FrameEntry> frame_entries_;
    std::map<std::string, std::string> frame_members_;   // source -> member name (code page 932)
    std::vector<RgbaImage> first_pictures_;              // each distinct source as read, in order
    std::vector<std::string> icon_lines_;
    std::set<std::u32string> member_names_folded_;
    bool widened_ = false;
};

std::string line_of(const std::string& text, size_t number)
{
    size_t start = 0;
    for (size_t n = 1; n < number && start != std::string::npos; ++n) {
        start = text.find('\n', start);
        if (start != std::string::npos)
            ++start;
    }
    if (start == std::string::npos)
        return std::string();
    const size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

size_t characters_in(const std::string& utf8)
{
    size_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

std::string where(const std::string& file, size_t line, size_t column)
{
    return file + ", line " + std::to_string(line) + ", character " + std::to_string(column);
}

std::string fault_text(const TextFault& fault)
{
    return fault.character ? describe_character(fault.character) + " is not in code page 932"
                           : std::string("the bytes are not UTF-8");
}

std::vector<uint8_t> bytes_of(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

bool is_known_key(const std::string& section, const std::string& key)
{
    auto numbered = [&](const char* prefix) {
        const std::string p = prefix;
        return key.size() > p.size() && equal_ignoring_ascii_case(key.substr(0, p.size()), p) &&
               key.find_first_not_of("0123456789", p.size()) == std::string::npos;
    };
    if (equal_ignoring_ascii_case(section, "VelmoraData"))
        return equal_ignoring_ascii_case(key, "Name") || equal_ignoring_ascii_case(key, "Icon16") ||
               equal_ignoring_ascii_case(key, "Icon32") || equal_ignoring_ascii_case(key, "WebPage");
    if (equal_ignoring_ascii_case(section, "List"))
        return numbered("File") || numbered("Time");
    if (equal_ignoring_ascii_case(section, "Pos")) {
        for (const char* known : kPosKeys)
            if (equal_ignoring_ascii_case(key, known))
                return true;
    }
    return false;
}

void Builder::run()
{
    if (!read_definition())
        return;
    check_keys();
    if (!read_frame_list() || !convert_frames())
        return;
    make_icons();
    make_comment();
    make_web_page();
    if (failed())
        return;
    write_definition();
    if (!failed())
        pack();
}

bool Builder::read_definition()
{
    std::vector<uint8_t> bytes;
    if (!folder_(kDefinitionFile, bytes)) {
        error("the folder has no VLD.INI");
        return false;
    }
    AuthorEncoding encoding;
    TextFault fault;
    if (!author_text_to_utf8(std::string(bytes.begin(), bytes.end()), definition_utf8_, encoding, fault)) {
        error(where(kDefinitionFile, fault.position.line, fault.position.column) +
              ": the text is neither UTF-8 nor code page 932");
        return false;
    }
    definition_.reset(new ProfileText(definition_utf8_));
    return true;
}

void Builder::check_keys()
{
    for (const ProfileText::Entry& entry : definition_->entries())
        if (!is_known_key(entry.section, entry.key))
            warning(where(kDefinitionFile, entry.line, 1) + ": [" + entry.section + "] " + entry.key +
                    " is not read by the program and is left out");
}

bool Builder::read_frame_list()
{
    std::set<unsigned> listed;
    for (const ProfileText::Entry* listed_entry : definition_->section_entries("List")) {
        const ProfileText::Entry& entry = *listed_entry;
        if (entry.key.size() < 5 ||
            !equal_ignoring_ascii_case(entry.key.substr(0, 4), "File"))
            continue;
        const std::string digits = entry.key.substr(4);
        // Only the key that answers counts: a second File1 in the section is never read.
        if (digits.size() <= 9 && digits.find_first_not_of("0123456789") == std::string::npos && digits[0] != '0' &&
            definition_->find("List", entry.key.c_str()) == &entry && !entry.value.empty() && entry.value != kAbsentText)
            listed.insert(static_cast<unsigned>(std::stoul(digits)));
    }
    unsigned n = 1;
    for (; listed.count(n); ++n) {
        const std::string time_key = "Time" + std::to_string(n);
        const ProfileText::Entry* time = definition_->find("List", time_key.c_str());
        int32_t stay = 0;
        if (!time || !parse_profile_int(time->value, stay)) {
            error("VLD.INI: File" + std::to_string(n) + " has no " + time_key +
                  ": the program would end the frame list there");
            return false;
        }
        if (time->value.find_first_not_of("+-0123456789") != std::string::npos) {
            error(where(kDefinitionFile, time->line, 1) + ": " + time_key + " is not a whole number");
            return false;
        }
        if (stay == kAbsentNumber) {
            error(where(kDefinitionFile, time->line, 1) + ": " + time_key +
                  "=9999 counts as missing: the program would end the frame list there");
            return false;
        }
        const std::string file_key = "File" + std::to_string(n);
        frame_entries_.push_back(FrameEntry{definition_->find("List", file_key.c_str())->value, stay});
    }
    if (frame_entries_.empty()) {
        error("VLD.INI lists no frames: File1 is missing");
        return false;
    }
    if (!listed.empty() && *listed.rbegin() > n) {
        error("VLD.INI: File" + std::to_string(n) + " is missing, so the program would never show File" +
              std::to_string(*listed.upper_bound(n)) + " and the frames after it");
        return false;
    }
    return true;
}

bool Builder::member_name(const std::string& source, const char* extension, std::string& name)
{
    const size_t slash = source.find_last_of("/\\");
    std::string base = slash == std::string::npos ? source : source.substr(slash + 1);
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0)
        base.erase(dot);
    TextFault fault;
    if (!utf8_to_cp932(base + extension, name, fault)) {
        error("the file name \"" + source + "\": " + fault_text(fault));
        return false;
    }
    return true;
}

bool Builder::convert_frames()
{
    // Each picture is read once, however often the list shows it.
    std::vector<std::string> sources;
    std::vector<RgbaImage> pictures;
    for (const FrameEntry& entry : frame_entries_) {
        if (frame_members_.count(entry.source))
            continue;
        std::vector<uint8_t> bytes;
        RgbaImage picture;
        std::string reason, name;
        if (!folder_(entry.source, bytes)) {
            error("the frame \"" + entry.source + "\" is not in the folder");
            continue;
        }
        if (!read_picture(bytes.data(), bytes.size(), picture, reason)) {
            error("the frame \"" + entry.source + "\": " + reason);
            continue;
        }
        if (!member_name(entry.source, ".bmp", name))
            continue;
        if (!member_names_folded_.insert(file_name_key(name)).second) {
            error("the frame \"" + entry.source + "\" would be stored as \"" + cp932_for_display(name) +
                  "\", the name of another frame");
            continue;
        }
        frame_members_[entry.source] = name;
        sources.push_back(entry.source);
        first_pictures_.push_back(picture);
        pictures.push_back(std::move(picture));
    }
    if (failed())
        return false;
    const bool soft = keeps_soft_edges(options_, pictures);
    if (soft)
        note(kSoftEdgesNote);
    else
        for (RgbaImage& picture : pictures)
            cut_alpha(picture, options_.has_matte ? &options_.matte : nullptr);
    const CanvasPlan plan = plan_canvas(pictures);
    if (plan.sizes_differ) {
        std::string sizes;
        for (size_t i = 0; i < pictures.size(); ++i)
            sizes += (i ? ", " : "") + sources[i] + " " + std::to_string(pictures[i].width) + "x" +
                     std::to_string(pictures[i].height);
        note("the frames differ in size (" + sizes + "): each is placed on a " +
             std::to_string(plan.width - (plan.widened ? 1 : 0)) + "x" + std::to_string(plan.height) +
             " canvas with its bottom edge and horizontal centre kept" +
             (plan.centre_rounded ? " (half a dot to the left where the difference is odd)" : ""));
    }
    if (plan.widened)
        note("the artwork is opaque at the bottom-left pixel, which the program cuts away: the canvas is widened "
             "by one transparent column on the left, to " + std::to_string(plan.width) + "x" +
             std::to_string(plan.height));
    std::vector<RgbaImage> placed;
    for (size_t i = 0; i < pictures.size(); ++i)
        placed.push_back(place_on_canvas(pictures[i], plan, i));
    Rgb key;
    if (!soft && !choose_key(placed, key)) {
        error("the frames use every colour there is, so no key colour is left");
        return false;
    }
    for (size_t i = 0; i < placed.size(); ++i) {
        bool any = false;
        for (size_t p = 3; p < placed[i].pixels.size() && !any; p += 4)
            any = placed[i].pixels[p] != 0;
        if (!any)
            warning("the frame \"" + sources[i] + "\" is wholly transparent: nothing of it shows");
        add_member(frame_members_[sources[i]], soft ? encode_frame32(placed[i]) : encode_frame(placed[i], key).file);
    }
    if (!first_pictures_.empty()) {
        // The icon is made from the first frame as drawn, soft edges and all.
        RgbaImage first = place_on_canvas(first_pictures_[0], plan, 0);
        first_pictures_.assign(1, first);
    }
    widened_ = plan.widened;
    return true;
}

void Builder::add_member(const std::string& name, std::vector<uint8_t> bytes)
{
    result_.members.push_back(BuiltMember{name, std::move(bytes)});
}

bool Builder::value_in_cp932(const ProfileText::Entry& entry, std::string& out)
{
    TextFault fault;
    if (utf8_to_cp932(entry.value, out, fault))
        return true;
    const std::string before = line_of(definition_utf8_, entry.line).substr(0, entry.value_column - 1);
    error(where(kDefinitionFile, entry.line, characters_in(before) + fault.position.column) + ": " +
          fault_text(fault));
    return false;
}

void Builder::make_icons()
{
    const char* const keys[] = {"Icon16", "Icon32"};
    const int32_t sides[] = {16, 32};
    for (int i = 0; i < 2; ++i) {
        const ProfileText::Entry* entry = definition_->find("VelmoraData", keys[i]);
        if (!entry || entry->value.empty() || entry->value == kAbsentText)
            continue;
        std::vector<uint8_t> bytes;
        if (!folder_(entry->value, bytes)) {
            error(where(kDefinitionFile, entry->line, 1) + ": " + keys[i] + " names \"" + entry->value +
                  "\", which is not in the folder");
            continue;
        }
        std::string name, reason;
        if (!member_name(entry->value, ".ico", name))
            continue;
        RgbaImage picture;
        if (icon_loads(bytes.data(), bytes.size(), reason)) {
            // An icon file stays as its author made it.
        } else if (read_picture(bytes.data(), bytes.size(), picture, reason)) {
            bytes = icon_file(fit_into_square(picture, sides[i]));
            note(std::string(keys[i]) + ": \"" + entry->value + "\" becomes the icon file \"" +
                 cp932_for_display(name) + "\"");
        } else {
            error(std::string(keys[i]) + ": \"" + entry->value + "\" is neither an icon file nor a picture: " + reason);
            continue;
        }
        if (member_names_folded_.insert(file_name_key(name)).second)
            add_member(name, std::move(bytes));
        icon_lines_.push_back(std::string(keys[i]) + "=" + name);
    }
    if (icon_lines_.empty() && !first_pictures_.empty()) {
        add_member(kIconFile, icon_file(fit_into_square(first_pictures_[0], 16)));
        member_names_folded_.insert(file_name_key(kIconFile));
        icon_lines_.push_back(std::string("Icon16=") + kIconFile);
        note(std::string("no icon is named: ") + kIconFile + " is made from the first frame");
    }
}

void Builder::make_comment()
{
    std::vector<uint8_t> bytes;
    if (!folder_("Comment.txt", bytes))
        return;
    std::string utf8;
    AuthorEncoding encoding;
    TextFault fault;
    if (!author_text_to_utf8(std::string(bytes.begin(), bytes.end()), utf8, encoding, fault)) {
        error(where("Comment.txt", fault.position.line, fault.position.column) +
              ": the text is neither UTF-8 nor code page 932");
        return;
    }
    if (utf8.find('\0') != std::string::npos) {
        error("Comment.txt holds a NUL byte: the comment box would stop there");
        return;
    }
    // Every line ends in CR LF, as the comment box needs.
    std::string lines;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            lines += "\r\n";
        } else if (utf8[i] == '\n') {
            lines += "\r\n";
        } else {
            lines += utf8[i];
        }
    }
    std::string cp932;
    if (!utf8_to_cp932(lines, cp932, fault)) {
        error(where("Comment.txt", fault.position.line, fault.position.column) + ": " + fault_text(fault));
        return;
    }
    add_member("Comment.txt", bytes_of(cp932));
}

void Builder::make_web_page()
{
    const ProfileText::Entry* entry = definition_->find("VelmoraData", "WebPage");
    if (!entry || entry->value.empty())
        return;
    std::string url;
    if (!value_in_cp932(*entry, url))
        return;
    if (url.size() > kUrlLimit) {
        error(where(kDefinitionFile, entry->line, 1) + ": the web page address is longer than 254 bytes, where the "
              "information dialog cuts it");
        return;
    }
    add_member("WebPage.url", bytes_of("[InternetShortcut]\r\nURL=" + url + "\r\n"));
}

void Builder::write_definition()
{
    std::string text = "[VelmoraData]\r\n";
    if (const ProfileText::Entry* name = definition_->find("VelmoraData", "Name")) {
        std::string cp932;
        if (!value_in_cp932(*name, cp932))
            return;
        if (cp932.size() > kTextLimit) {
            error(where(kDefinitionFile, name->line, 1) + ": the Name is longer than 260 bytes, where the program cuts it");
            return;
        }
        text += "Name=" + cp932 + "\r\n";
    }
    for (const std::string& line : icon_lines_)
        text += line + "\r\n";
    text += "\r\n[List]\r\n";
    for (size_t i = 0; i < frame_entries_.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        text += "File" + n + "=" + frame_members_[frame_entries_[i].source] + "\r\n";
        text += "Time" + n + "=" + std::to_string(frame_entries_[i].time) + "\r\n";
    }
    std::string pos;
    for (const char* key : kPosKeys) {
        const ProfileText::Entry* entry = definition_->find("Pos", key);
        if (!entry)
            continue;
        int32_t value = 0;
        if (!parse_profile_int(entry->value, value) ||
            entry->value.find_first_not_of("+-0123456789") != std::string::npos) {
            error(where(kDefinitionFile, entry->line, 1) + ": " + key + " is not a whole number");
            return;
        }
        if (value == kAbsentNumber) {
            error(where(kDefinitionFile, entry->line, 1) + ": " + key + "=9999 counts as missing");
            return;
        }
        // A column added on the left moves the picture one dot right of a left-measured anchor.
        const bool lessened = widened_ && std::string(key) == "LeftX" && !definition_->find("Pos", "PosX");
        const int64_t written = int64_t(value) - (lessened ? 1 : 0);
        if (written < kLeastAnchor || written > kMostAnchor) {
            error(where(kDefinitionFile, entry->line, 1) + ": " + key + "=" + std::to_string(value) +
                  (lessened ? ", lessened by one for the widened canvas," : "") + " lies outside " +
                  std::to_string(kLeastAnchor) + " to " + std::to_string(kMostAnchor) +
                  ", the anchors the program can place");
            return;
        }
        if (lessened)
            note("LeftX becomes " + std::to_string(written) + " so that the widened picture stands where it did");
        pos += std::string(key) + "=" + std::to_string(written) + "\r\n";
    }
    if (!pos.empty())
        text += "\r\n[Pos]\r\n" + pos;
    result_.members.insert(result_.members.begin(), BuiltMember{kDefinitionFile, bytes_of(text)});
}

void Builder::pack()
{
    ArchiveWriter writer(PackMethod::lh5);
    for (const BuiltMember& member : result_.members) {
        if (!writer.add(member.name, member.bytes.data(), member.bytes.size(), options_.unix_time)) {
            error("the member \"" + cp932_for_display(member.name) + "\" cannot be stored");
            return;
        }
    }
    std::vector<uint8_t> archive = writer.finish();
    // What the kit accepts must be what the program shows, so the archive is read back as
    // the program reads it.
    const CheckReport check = check_archive(archive.data(), archive.size(), ExtractLimits());
    for (const Finding& finding : check.findings)
        result_.findings.push_back(finding);
    if (!failed())
        result_.archive = std::move(archive);
}

}  // namespace

BuildResult build_archive_mascot(const FolderReader& folder, const BuildOptions& options)
{
    BuildResult result;
    Builder(folder, options, result).run();
    if (exit_status(result.findings) == 2)
        result.archive.clear();
    return result;
}

BuildResult build_still_mascot(const std::vector<uint8_t>& picture_bytes, const BuildOptions& options)
{
    BuildResult result;
    RgbaImage picture;
    std::string reason;
    if (!read_picture(picture_bytes.data(), picture_bytes.size(), picture, reason)) {
        result.findings.push_back(Finding{Severity::error, "the picture: " + reason});
        return result;
    }
    const bool soft = keeps_soft_edges(options, picture);
    if (soft)
        result.findings.push_back(Finding{Severity::note, kSoftEdgesNote});
    else
        cut_alpha(picture, options.has_matte ? &options.matte : nullptr);
    const std::vector<RgbaImage> one{picture};
    const CanvasPlan plan = plan_canvas(one);
    if (plan.widened)
        result.findings.push_back(Finding{Severity::note,
                                          "the artwork is opaque at the bottom-left pixel, which the program cuts "
                                          "away: the canvas is widened by one transparent column on the left"});
    const std::vector<RgbaImage> placed{place_on_canvas(picture, plan, 0)};
    Rgb key;
    if (soft) {
        result.archive = encode_frame32(placed[0]);
    } else if (!choose_key(placed, key)) {
        result.findings.push_back(Finding{Severity::error, "the picture uses every colour there is"});
        return result;
    } else {
        result.archive = encode_frame(placed[0], key).file;
    }
    const CheckReport check = check_still("still.bmp", result.archive.data(), result.archive.size());
    for (const Finding& finding : check.findings)
        result.findings.push_back(finding);
    if (exit_status(result.findings) == 2)
        result.archive.clear();
    return result;
}
