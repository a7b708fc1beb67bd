// Extraction speed against Debian's lhasa (its `lha` command) and p7zip (`7z`),
// all three run as programs on the same archives in the same run. The archives are
// written by our packer, which can force -lh5-, -lh6- and -lh7- coding even on
// random data (7-Zip reads these methods but does not write them).
//   lha_bench [megabytes] [repeats]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "lha/archive_writer.h"

extern char** environ;

namespace {

std::vector<uint8_t> compressible(size_t length) {
    static const char* const words[] = {"mascot", "window", "frame", "the", "of", "bitmap", "target", "palette",
                                        "and", "a", "to", "settings", "desktop", "icon", "is", "archive"};
    std::vector<uint8_t> out;
    out.reserve(length);
    uint32_t x = 2463534242u;
    while (out.size() < length) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const char* w = words[x % 16];
        while (*w && out.size() < length) out.push_back(static_cast<uint8_t>(*w++));
        if (out.size() < length) out.push_back((x >> 8) % 11 == 0 ? '\n' : ' ');
    }
    return out;
}

std::vector<uint8_t> random_bytes(size_t length) {
    std::vector<uint8_t> out(length);
    uint64_t x = 88172645463325252ull;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        b = static_cast<uint8_t>(x >> 24);
    }
    return out;
}

// Runs a program with its output discarded; seconds, or a negative value on failure.
double run_seconds(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

double best_of(int repeats, const std::string& clean, const std::vector<std::string>& args) {
    double best = -1;
    for (int i = 0; i < repeats; ++i) {
        std::system(clean.c_str());
        const double t = run_seconds(args);
        if (t < 0) return -1;
        if (best < 0 || t < best) best = t;
    }
    return best;
}

std::string self_dir(const char* argv0) {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string(argv0);
    return path.substr(0, path.find_last_of('/'));
}

} // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    const size_t length = megabytes << 20;
    const std::string unlha = self_dir(argv[0]) + "/unlha";
    char dir_template[] = "/tmp/lha_bench_XXXXXX";
    const std::string dir = mkdtemp(dir_template);
    const std::string out = dir + "/out";

    struct Data {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Data data[] = {{"compressible", compressible(length)}, {"random", random_bytes(length)}};
    const PackMethod methods[] = {PackMethod::lh5, PackMethod::lh6, PackMethod::lh7};

    std::printf("%zu MiB members, best of %d runs, MB/s of output (10^6 bytes per second)\n", megabytes, repeats);
    std::printf("| data | method | packed | ours | lhasa | 7z | ours/lhasa | ours/7z |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Data& d : data) {
        for (PackMethod method : methods) {
            ArchiveWriter writer(method, false);
            writer.add("member.bin", d.bytes.data(), d.bytes.size(), 0);
            const auto archive = writer.finish();
            const std::string path = dir + "/bench.lzh";
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(archive.data()),
                                                        static_cast<std::streamsize>(archive.size()));
            const std::string clean = "rm -rf '" + out + "' && mkdir -p '" + out + "'";
            const double ours = best_of(repeats, clean, {unlha, "E", path, out + "/", "*.*"});
            const double lhasa = best_of(repeats, clean, {"lha", "xqw=" + out, path});
            const double sevenzip = best_of(repeats, clean, {"7z", "x", "-y", "-o" + out, path});
            auto rate = [&](double seconds) { return seconds > 0 ? d.bytes.size() / seconds / 1e6 : 0.0; };
            auto ratio = [&](double other) { return ours > 0 && other > 0 ? other / ours : 0.0; };
            std::printf("| %s | %s | %zu | %.0f | %.0f | %.0f | %.1fx | %.1fx |\n", d.name, method_id(method), archive.size(),
                        rate(ours), rate(lhasa), rate(sevenzip), ratio(lhasa), ratio(sevenzip));
            std::fflush(stdout);
        }
    }
    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
