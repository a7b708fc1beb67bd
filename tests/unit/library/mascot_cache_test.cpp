#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "library/mascot_cache.h"

namespace {

std::vector<uint8_t> bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> record(const std::string& key, const std::string& name, uint8_t flag)
{
    std::vector<uint8_t> out = bytes(key);
    out.push_back(0);
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    out.insert(out.end(), {flag, 0, 0, 0});
    return out;
}

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Keys with their names and icon flags, in map order.
std::vector<std::string> listing(const CacheEntries& entries)
{
    std::vector<std::string> out;
    for (const auto& [key, entry] : entries)
        out.push_back(key + "=" + entry.name + "/" + std::to_string(entry.hasIcon));
    return out;
}

}  // namespace

TEST(CacheFile, ExampleRecordBothWays)
{
    const std::vector<uint8_t> example = {0x5C, 0x61, 0x2E, 0x6C, 0x7A, 0x68, 0x00, 0x54,
                                          0x61, 0x6D, 0x61, 0x00, 0x01, 0x00, 0x00, 0x00};
    CacheEntries entries;
    EXPECT_EQ(read_cache_file(example.data(), example.size(), entries), 16u);
    EXPECT_EQ(listing(entries), std::vector<std::string>{"\\a.lzh=Tama/1"});
    EXPECT_EQ(write_cache_file(entries), example);
}

TEST(CacheFile, KeyOrderIsUnsignedBytesWithCase)
{
    CacheEntries entries;
    for (const char* key : {"\\a.lzh", "\\\x83\x5c.lzh", "\\A.lzh", "\\a.lzh.lzh", "\\B.lzh", ""})
        entries[key].name = "n";
    std::vector<std::string> keys;
    for (const auto& item : entries)
        keys.push_back(item.first);
    // Shift_JIS lead bytes sort after ASCII; a prefix sorts before the longer key.
    EXPECT_EQ(keys, (std::vector<std::string>{"", "\\A.lzh", "\\B.lzh", "\\a.lzh", "\\a.lzh.lzh", "\\\x83\x5c.lzh"}));

    const auto written = write_cache_file(entries);
    const auto capital = std::string(written.begin(), written.end()).find("\\A.lzh");
    const auto small = std::string(written.begin(), written.end()).find("\\a.lzh");
    EXPECT_LT(capital, small);
}

TEST(CacheFile, Reading)
{
    const std::string long_text(260, 'x');
    const std::string too_long(261, 'x');
    struct Row {
        const char* what;
        std::vector<uint8_t> file;
        size_t taken;
        std::vector<std::string> expected;
    } rows[] = {
        {"empty file", {}, 0, {}},
        {"duplicate key keeps the first", join({record("\\a.lzh", "First", 1), record("\\a.lzh", "Second", 0)}), 35,
         {"\\a.lzh=First/1"}},
        {"only the first flag byte counts", join({record("\\a.lzh", "", 0), {}}), 12, {"\\a.lzh=/0"}},
        {"flag byte is taken as it is", record("\\b.lzh", "B", 7), 13, {"\\b.lzh=B/7"}},
        {"upper flag bytes are skipped", bytes(std::string("\\c\0C\0\1\xff\xff\xff", 9)), 9, {"\\c=C/1"}},
        {"260-byte key and name load", record(long_text, long_text, 1), 526, {long_text + "=" + long_text + "/1"}},
        {"261-byte key stops, earlier record stays", join({record("\\a", "A", 0), record(too_long, "B", 0)}), 9,
         {"\\a=A/0"}},
        {"261-byte name stops", join({record("\\a", "A", 0), record("\\b", too_long, 0), record("\\c", "C", 0)}), 9,
         {"\\a=A/0"}},
        {"key without terminator", join({record("\\a", "A", 0), bytes("\\b.lzh")}), 9, {"\\a=A/0"}},
        {"name without terminator", join({record("\\a", "A", 0), bytes(std::string("\\b\0Bee", 6))}), 9, {"\\a=A/0"}},
        {"three flag bytes", join({record("\\a", "A", 0), bytes(std::string("\\b\0B\0\1\0\0", 8))}), 9, {"\\a=A/0"}},
    };
    for (const Row& row : rows) {
        CacheEntries entries;
        EXPECT_EQ(read_cache_file(row.file.data(), row.file.size(), entries), row.taken) << row.what;
        EXPECT_EQ(listing(entries), row.expected) << row.what;
    }
}

TEST(CacheFile, WriterCutsAtNulAnd260BytesAndWritesOnlyZeroOrOne)
{
    CacheEntries entries;
    entries["\\a"] = LibraryEntry{"", std::string("Ta\0ma", 5), 7, 1};
    entries["\\b"] = LibraryEntry{"", std::string(300, 'y'), 1, 1};
    const auto written = write_cache_file(entries);
    EXPECT_EQ(written, join({record("\\a", "Ta", 0), record("\\b", std::string(260, 'y'), 1)}));
}

// The file holds code page 932 and the program UTF-8: records convert both ways byte for byte,
// records in the file's key order, not the program's; an entry the code page cannot hold is
// left out, and a record whose bytes form no text is dropped on reading.
TEST(CacheFile, KeysAndNamesAreCodePage932InTheFileAndUtf8InTheProgram)
{
    CacheEntries entries;
    entries["\\ネコ\\みけ.lzh"] = LibraryEntry{"", "ミケ", 1, 1};
    entries["\\表示.lzh"] = LibraryEntry{"", "表示", 0, 1};
    entries["\\Zoë.lzh"] = LibraryEntry{"", "Zoe", 0, 1};
    entries["\\zoe.lzh"] = LibraryEntry{"", "Zoë", 0, 1};
    entries["\\ｱ.lzh"] = LibraryEntry{"", "ｱ", 0, 1};
    entries["\\long.lzh"] = LibraryEntry{"", std::string(100, 'a') + u8"\u3042" + std::string(200, 'b'), 0, 1};
    const std::vector<uint8_t> written = write_cache_file(entries);
    // 0x83 (ネ) sorts before 0x95 (表) and 0xB1 (ｱ), unlike the UTF-8 lead bytes 0xE3, 0xE8, 0xEF;
    // the long name is cut to 260 bytes after its two-byte character.
    const std::vector<uint8_t> expected =
        join({record("\\long.lzh", std::string(100, 'a') + "\x82\xA0" + std::string(158, 'b'), 0),
              record("\\\x83\x6C\x83\x52\\\x82\xDD\x82\xAF.lzh", "\x83\x7E\x83\x50", 1),
              record("\\\x95\x5C\x8E\xA6.lzh", "\x95\x5C\x8E\xA6", 0), record("\\\xB1.lzh", "\xB1", 0)});
    EXPECT_EQ(written, expected);

    CacheEntries read;
    EXPECT_EQ(read_cache_file(written.data(), written.size(), read), written.size());
    EXPECT_EQ(read.at("\\ネコ\\みけ.lzh").name, "ミケ");
    EXPECT_EQ(read.at("\\表示.lzh").name, "表示");
    EXPECT_EQ(read.count("\\Zoë.lzh"), 0u);

    const std::vector<uint8_t> damaged = join({record("\\\x85\x40.lzh", "Bad", 1), record("\\ok.lzh", "\x83\x83", 0),
                                               record("\\good.lzh", "Good", 0)});
    CacheEntries kept;
    EXPECT_EQ(read_cache_file(damaged.data(), damaged.size(), kept), damaged.size());
    EXPECT_EQ(listing(kept), (std::vector<std::string>{"\\good.lzh=Good/0", "\\ok.lzh=ャ/0"}));
}

// Every prefix of a sound file, each in a buffer of exactly its size so that the sanitizers
// see any read past it, loads exactly the records that are whole within it.
TEST(CacheFile, TruncatedAtEveryOffset)
{
    const std::vector<std::vector<uint8_t>> records = {record("\\A.lzh", "Tama", 1), record("\\a.lzh", "", 0),
                                                       record("\\Cats\\\x83\x5c.lzh", "\x83\x5c\x83\x5c", 1)};
    const std::vector<uint8_t> file = join({records[0], records[1], records[2]});
    for (size_t length = 0; length <= file.size(); ++length) {
        std::unique_ptr<uint8_t[]> exact(new uint8_t[length ? length : 1]);
        std::copy(file.begin(), file.begin() + length, exact.get());
        size_t whole = 0, whole_bytes = 0;
        for (const auto& r : records) {
            if (whole_bytes + r.size() > length)
                break;
            whole_bytes += r.size();
            ++whole;
        }
        CacheEntries entries;
        ASSERT_EQ(read_cache_file(exact.get(), length, entries), whole_bytes) << "length " << length;
        ASSERT_EQ(entries.size(), whole) << "length " << length;
    }
}

namespace {

// Plays the LHA component and the extraction folder: archives by path, with the name and
// icon their definitions hold, and a log of every extraction.
class FakeArchives : public ArchiveReader {
public:
    struct Archive {
        int result;
        std::string name;
        bool icon;
    };
    std::map<std::string, Archive> archives;
    std::vector<std::string> extracted;
    bool component = true;

    bool available() override { return component; }
    int extract_name_and_icons(const std::string& path) override
    {
        extracted.push_back(path);
        auto it = archives.find(path);
        last_ = it == archives.end() ? nullptr : &it->second;
        return last_ ? last_->result : 1;
    }
    bool read_name_and_icon(std::string& name) override
    {
        name = last_ ? last_->name : "";
        return last_ && last_->icon;
    }

private:
    const Archive* last_ = nullptr;
};

constexpr size_t kRoot = 10;  // "C:\Mascots"

LibraryEntry entry_for(const std::string& below)
{
    LibraryEntry entry;
    entry.path = "C:\\Mascots" + below;
    return entry;
}

}  // namespace

TEST(MascotCache, FirstScanReadsEveryArchiveSecondOnlyThoseWithIcons)
{
    FakeArchives fake;
    fake.archives = {{"C:\\Mascots\\a.lzh", {0, "Tama", true}},
                     {"C:\\Mascots\\Cats\\b.lzh", {0, "", false}},
                     {"C:\\Mascots\\c.lzh", {3, "Unreadable", true}}};
    MascotCache cache;
    cache.begin_scan();
    std::vector<std::string> names;
    for (const char* below : {"\\a.lzh", "\\Cats\\b.lzh", "\\c.lzh"}) {
        LibraryEntry entry = entry_for(below);
        EXPECT_FALSE(cache.lookup(entry, kRoot, fake));
        names.push_back(entry.name + "/" + std::to_string(entry.hasIcon));
    }
    EXPECT_FALSE(cache.end_scan());
    // No name falls back to the path below Mascots; a failed extraction too, without an icon.
    EXPECT_EQ(names, (std::vector<std::string>{"Tama/1", "Cats\\b.lzh/0", "c.lzh/0"}));
    EXPECT_EQ(fake.extracted.size(), 3u);
    EXPECT_EQ(listing(cache.entries()),
              (std::vector<std::string>{"\\Cats\\b.lzh=Cats\\b.lzh/0", "\\a.lzh=Tama/1", "\\c.lzh=c.lzh/0"}));

    // Through the file, as at the next start; the archives changed meanwhile but the cache
    // keeps what it read.
    const auto file = cache.save();
    MascotCache next;
    next.load(file.data(), file.size());
    fake.archives["C:\\Mascots\\a.lzh"].name = "Replaced";
    fake.extracted.clear();
    next.begin_scan();
    for (const char* below : {"\\a.lzh", "\\Cats\\b.lzh", "\\c.lzh"}) {
        LibraryEntry entry = entry_for(below);
        EXPECT_TRUE(next.lookup(entry, kRoot, fake));
        if (std::string(below) == "\\a.lzh") {
            EXPECT_EQ(entry.name, "Tama");
        }
    }
    EXPECT_FALSE(next.end_scan());
    EXPECT_EQ(fake.extracted, std::vector<std::string>{"C:\\Mascots\\a.lzh"});
}

TEST(MascotCache, ScanDropsArchivesItDidNotMeet)
{
    FakeArchives fake;
    MascotCache cache;
    const auto file = join({record("\\gone.lzh", "Gone", 0), record("\\kept.lzh", "Kept", 0)});
    cache.load(file.data(), file.size());
    cache.begin_scan();
    LibraryEntry kept = entry_for("\\kept.lzh");
    LibraryEntry moved = entry_for("\\new\\gone.lzh");
    cache.lookup(kept, kRoot, fake);
    cache.lookup(moved, kRoot, fake);
    EXPECT_TRUE(cache.end_scan());
    EXPECT_EQ(listing(cache.entries()),
              (std::vector<std::string>{"\\kept.lzh=Kept/0", "\\new\\gone.lzh=new\\gone.lzh/0"}));
    cache.begin_scan();
    EXPECT_TRUE(cache.end_scan());
    EXPECT_TRUE(cache.entries().empty());
}

TEST(MascotCache, WithoutTheComponentNothingIsRemembered)
{
    FakeArchives fake;
    fake.component = false;
    fake.archives = {{"C:\\Mascots\\a.lzh", {0, "Tama", true}}};
    MascotCache cache;
    LibraryEntry entry = entry_for("\\a.lzh");
    EXPECT_FALSE(cache.lookup(entry, kRoot, fake));
    EXPECT_EQ(entry.name, "a.lzh");
    EXPECT_EQ(entry.hasIcon, 0);
    EXPECT_TRUE(fake.extracted.empty());
    EXPECT_TRUE(cache.entries().empty());
}
