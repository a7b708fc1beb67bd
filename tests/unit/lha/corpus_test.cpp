// Extracts every archive of the shared corpus (archives written by real LHA
// programs) and checks each member against the recorded MD5, and the first
// member against the upstream CRC-32 table.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>

#include "lha/crc16.h"
#include "lha/extract.h"
#include "lha/file_system_posix.h"
#include "lha/member_name.h"
#include "test_support.h"

namespace {

struct ManifestRow {
    std::string member, method, md5;
    uint64_t size = 0;
    unsigned crc16 = 0;
};

struct KnownDifference {
    const char* archive_prefix;
    const char* method;      // only members of this method; nullptr for all
    LhaStatus status;        // what extraction reports for the member
    const char* reason;
};

// Archives whose recorded result we deliberately do not reproduce.
const KnownDifference kKnownDifferences[] = {
    {"", "-pm1-", LhaStatus::unsupported_method, "PMarc methods are not decoded"},
    {"", "-pm2-", LhaStatus::unsupported_method, "PMarc methods are not decoded"},
    {"regression/badterm.lzh", nullptr, LhaStatus::unsafe_name, "control bytes in the name are refused"},
    {"lhark04d/lh7", nullptr, LhaStatus::corrupt_data, "LHARK's own method under the -lh7- id"},
    {"morphos_lha_2717/h2_huge.lzh", nullptr, LhaStatus::too_large, "4.7 GB member is over the cap"},
};

// Members the manifest's reader could not decode, so that it records no MD5 for
// them; the size and CRC-16 stored in their headers are the measure instead.
const char* const kCheckedByHeaderCrc[] = {"unlha32/lh2.lzh", "unlha32/lh3.lzh"};

bool checked_by_header_crc(const std::string& archive) {
    for (const char* a : kCheckedByHeaderCrc)
        if (archive == a) return true;
    return false;
}

const KnownDifference* known_difference(const std::string& archive, const std::string& method) {
    for (const auto& k : kKnownDifferences)
        if (archive.compare(0, std::strlen(k.archive_prefix), k.archive_prefix) == 0 && (!k.method || method == k.method))
            return &k;
    return nullptr;
}

bool has_known_difference(const std::string& archive, const std::vector<ManifestRow>& rows) {
    for (const auto& row : rows)
        if (known_difference(archive, row.method)) return true;
    return false;
}

std::map<std::string, std::vector<ManifestRow>> load_manifest() {
    std::map<std::string, std::vector<ManifestRow>> rows;
    std::ifstream in(corpus_path("MANIFEST.tsv"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto f = split_tabs(line);
        if (f.size() < 12) continue;
        ManifestRow row;
        row.member = f[1];
        row.method = f[2];
        row.md5 = f[5];
        if (f[3] != "-") row.size = std::stoull(f[3]);
        if (f[4] != "-") row.crc16 = static_cast<unsigned>(std::stoul(f[4], nullptr, 16));
        rows[f[0]].push_back(row);
    }
    return rows;
}

struct Extracted {
    ExtractReport report;
    TempFolder folder;
};

void extract_all(const std::string& archive, Extracted& out) {
    PosixFileSystem fs;
    ExtractCommand command;
    command.archive = corpus_path("archives/" + archive);
    command.destination = out.folder.path() + "/";
    out.report = extract_archive(fs, command, ExtractLimits{});
}

LhaStatus outcome_of(const ExtractReport& report, const std::string& name) {
    LhaStatus status = LhaStatus::ok;
    bool seen = false;
    for (const auto& m : report.members)
        if (m.name == name) {
            status = m.status;
            seen = true;
        }
    return seen ? status : LhaStatus::not_archive;
}

void expect_no_temporary_files(const TempFolder& folder) {
    for (const std::string& name : folder.names()) EXPECT_NE(name.rfind("~vlh", 0), 0u) << name;
}

} // namespace

TEST(Corpus, EveryManifestRow) {
    const auto manifest = load_manifest();
    ASSERT_GT(manifest.size(), 200u) << "corpus not found at " << corpus_path("");
    int checked = 0;
    for (const auto& entry : manifest) {
        const std::string& archive = entry.first;
        SCOPED_TRACE(archive);
        Extracted x;
        const auto start = std::chrono::steady_clock::now();
        extract_all(archive, x);
        // Hostile archives must be dealt with quickly, also under the sanitizers.
        if (archive.rfind("regression/", 0) == 0) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        }
        expect_no_temporary_files(x.folder);
        const bool any_known = has_known_difference(archive, entry.second);

        // Later members of the same flat name overwrite earlier ones.
        std::map<std::string, const ManifestRow*> last_by_name;
        for (const ManifestRow& row : entry.second)
            if (row.md5 != "-" && row.member != "-") last_by_name[flat_name_of(row.member)] = &row;

        for (const auto& named : last_by_name) {
            const ManifestRow& row = *named.second;
            const std::string path = x.folder.path() + "/" + named.first;
            SCOPED_TRACE(row.member);
            if (const KnownDifference* known = known_difference(archive, row.method)) {
                // Names with control bytes are recorded escaped, so look at statuses only.
                bool reported = false;
                for (const auto& m : x.report.members) reported |= m.status == known->status;
                EXPECT_TRUE(reported) << known->reason;
                EXPECT_FALSE(file_exists(path));
                continue;
            }
            if (checked_by_header_crc(archive)) {
                ASSERT_TRUE(file_exists(path)) << describe_status(outcome_of(x.report, named.first));
                const auto data = read_file_bytes(path);
                EXPECT_EQ(data.size(), row.size);
                EXPECT_EQ(update_crc16(0, data.data(), data.size()), row.crc16);
                ++checked;
                continue;
            }
            if (row.md5.rfind("error", 0) == 0) {
                EXPECT_NE(outcome_of(x.report, named.first), LhaStatus::ok);
                EXPECT_FALSE(file_exists(path));
                continue;
            }
            ASSERT_TRUE(file_exists(path)) << describe_status(outcome_of(x.report, named.first));
            const auto data = read_file_bytes(path);
            if (archive.rfind("maclha_224/", 0) == 0) {
                // The recorded MD5 excludes a MacBinary header that we keep, so the
                // stored size and CRC-16 are the measure.
                EXPECT_EQ(data.size(), row.size);
                EXPECT_EQ(update_crc16(0, data.data(), data.size()), row.crc16);
            } else {
                EXPECT_EQ(md5_hex(data.data(), data.size()), row.md5);
            }
            ++checked;
        }
        if (!any_known && x.report.status != LhaStatus::ok) {
            bool any_error_row = false;
            for (const ManifestRow& row : entry.second) any_error_row |= row.md5.rfind("error", 0) == 0;
            EXPECT_TRUE(any_error_row) << describe_status(x.report.status);
        }
    }
    EXPECT_GE(checked, 200);
}

// Upstream's table of the first file member of each archive, which also covers the
// archives where the manifest's reader found nothing.
TEST(Corpus, FirstMemberCrc32) {
    std::ifstream in(corpus_path("expected-decompress.tsv"));
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto f = split_tabs(line);
        ASSERT_EQ(f.size(), 3u);
        const std::string& archive = f[0];
        SCOPED_TRACE(archive);
        if (known_difference(archive, "") || archive.rfind("maclha_224/", 0) == 0 || archive.find("pm") != std::string::npos)
            continue;
        Extracted x;
        extract_all(archive, x);
        // The Amiga stub carries an archive of its own usage note in front of the
        // real one, and we extract that too.
        const size_t first_index = archive == "lha_amiga_122/sfx.run" ? 1 : 0;
        ASSERT_GT(x.report.members.size(), first_index);
        const MemberOutcome& first = x.report.members[first_index];
        ASSERT_EQ(first.status, LhaStatus::ok) << describe_status(first.status);
        const auto data = read_file_bytes(x.folder.path() + "/" + first.name);
        EXPECT_EQ(data.size(), std::stoull(f[2]));
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", crc32_of(data.data(), data.size()));
        EXPECT_EQ(hex, f[1]);
        ++checked;
    }
    EXPECT_GE(checked, 150);
}
