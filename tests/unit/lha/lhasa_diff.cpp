// Differential checks against Debian's lhasa: its library decodes our encoder's
// streams, and its command-line tool extracts our packer's archives, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

extern "C" {
#include <lhasa.h>
}

#include "lha/archive_writer.h"
#include "lha/lh_encoder.h"
#include "lha/member_decoder.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> generated(int kind, size_t length, uint32_t seed) {
    std::vector<uint8_t> data(length);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < length; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        switch (kind) {
        case 0: data[i] = static_cast<uint8_t>(x); break;                              // random
        case 1: data[i] = static_cast<uint8_t>("abcde fghij\n"[x % 12]); break;       // small alphabet
        case 2: data[i] = i > 5000 && x % 7 ? data[i - 1 - (x >> 8) % 5000] : static_cast<uint8_t>(x); break;
        default: data[i] = static_cast<uint8_t>(i / 1000); break;                     // long runs
        }
    }
    return data;
}

struct StreamReader {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};

size_t feed(void* buf, size_t buf_len, void* user) {
    auto* r = static_cast<StreamReader*>(user);
    const size_t n = std::min(buf_len, r->bytes->size() - r->at);
    std::memcpy(buf, r->bytes->data() + r->at, n);
    r->at += n;
    return n;
}

std::vector<uint8_t> lhasa_decode(const char* method, const std::vector<uint8_t>& packed, size_t length) {
    LHADecoderType* type = lha_decoder_for_name(const_cast<char*>(method));
    if (!type) return {};
    StreamReader reader{&packed};
    LHADecoder* decoder = lha_decoder_new(type, feed, &reader, length);
    std::vector<uint8_t> out(length);
    size_t got = 0;
    while (got < length) {
        const size_t n = lha_decoder_read(decoder, out.data() + got, length - got);
        if (n == 0) break;
        got += n;
    }
    lha_decoder_free(decoder);
    out.resize(got);
    return out;
}

} // namespace

TEST(Lhasa, DecodesOurStreamsAsWeDo) {
    const PackMethod methods[] = {PackMethod::lh5, PackMethod::lh6, PackMethod::lh7};
    int compared = 0;
    for (int kind = 0; kind < 4; ++kind) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            const auto data = generated(kind, 30000 + seed * 77777, seed);
            for (PackMethod method : methods) {
                SCOPED_TRACE(std::to_string(kind) + "/" + std::to_string(seed) + " " + method_id(method));
                const auto packed = encode_lh(data.data(), data.size(), method);
                EXPECT_TRUE(lhasa_decode(method_id(method), packed, data.size()) == data);
                MemorySink ours;
                EXPECT_EQ(decode_member(method_id(method), packed.data(), packed.size(), data.size(), ours).status, LhaStatus::ok);
                EXPECT_TRUE(ours.bytes == data);
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 36);
}

// Debian's lha command (from lhasa) extracts what lhapack's writer builds.
TEST(Lhasa, ToolExtractsOurArchives) {
    if (std::system("command -v lha >/dev/null 2>&1") != 0) GTEST_SKIP() << "lha not installed";
    TempFolder folder;
    ArchiveWriter writer(PackMethod::lh5);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> members;
    for (int kind = 0; kind < 4; ++kind) members.push_back({"member" + std::to_string(kind) + ".bin", generated(kind, 200000, 9)});
    members.push_back({"empty.txt", {}});
    members.push_back({"VLD.INI", std::vector<uint8_t>{'[', 'M', ']', '\r', '\n'}});
    for (const auto& m : members) ASSERT_TRUE(writer.add(m.first, m.second.data(), m.second.size(), 1700000000));
    EXPECT_EQ(writer.methods()[0], "-lh0-");   // random data is stored
    EXPECT_EQ(writer.methods()[1], "-lh5-");
    const auto archive = writer.finish();
    const std::string path = folder.path() + "/ours.lzh";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(archive.data(), 1, archive.size(), f);
    std::fclose(f);
    const std::string out = folder.path() + "/out";
    ASSERT_EQ(std::system(("mkdir -p '" + out + "' && cd '" + out + "' && lha xq '" + path + "'").c_str()), 0);
    for (const auto& m : members) EXPECT_TRUE(read_file_bytes(out + "/" + m.first) == m.second) << m.first;
}
