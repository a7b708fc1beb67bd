// lhapack: builds an .lzh archive from files, storing bare file names.
//   lhapack [-m lh5|lh6|lh7] out.lzh file1 file2 ...
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lha/archive_writer.h"
#include "lha/member_name.h"

namespace {

// The name after the folder; code page 932 aware, since under Windows a kanji such
// as 0x95 0x5C ends in a backslash byte.
std::string bare_name(const std::string& path) { return last_name_component(path); }

int usage() {
    std::fprintf(stderr, "usage: lhapack [-m lh5|lh6|lh7] archive.lzh file...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    PackMethod method = PackMethod::lh5;
    int arg = 1;
    if (arg + 1 < argc && std::strcmp(argv[arg], "-m") == 0) {
        const std::string m = argv[arg + 1];
        if (m == "lh5") method = PackMethod::lh5;
        else if (m == "lh6") method = PackMethod::lh6;
        else if (m == "lh7") method = PackMethod::lh7;
        else return usage();
        arg += 2;
    }
    if (argc - arg < 2) return usage();
    const std::string archive_path = argv[arg++];
    ArchiveWriter writer(method);
    for (; arg < argc; ++arg) {
        std::ifstream in(argv[arg], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "lhapack: cannot read %s\n", argv[arg]);
            return 1;
        }
        const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        struct stat st;
        const uint32_t mtime = stat(argv[arg], &st) == 0 ? static_cast<uint32_t>(st.st_mtime) : 0;
        if (!writer.add(bare_name(argv[arg]), data.data(), data.size(), mtime)) {
            std::fprintf(stderr, "lhapack: cannot store %s\n", argv[arg]);
            return 1;
        }
    }
    const std::vector<uint8_t> archive = writer.finish();
    std::ofstream out(archive_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "lhapack: cannot write %s\n", archive_path.c_str());
        return 1;
    }
    return 0;
}
