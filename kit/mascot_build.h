#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kit/findings.h"
#include "kit/frame_canvas.h"

// Reads a file of the author's folder by the name the definition gives (UTF-8); false when
// there is no such file.
using FolderReader = std::function<bool(const std::string& name, std::vector<uint8_t>& bytes)>;

struct BuildOptions {
    bool has_matte = false;     // blend partly transparent edge pixels over `matte`
    // Cut every picture at half alpha into the program's 8- or 24-bit frames even when it has
    // soft edges, which are otherwise kept in 32-bit frames with alpha.
    bool hard_edges = false;
    Rgb matte;
    uint32_t unix_time = 0;     // modification time stored for every member
};

struct BuiltMember {
    std::string name;           // code page 932
    std::vector<uint8_t> bytes;
};

struct BuildResult {
    std::vector<Finding> findings;   // notes on what was changed, warnings, errors
    std::vector<BuiltMember> members;
    std::vector<uint8_t> archive;    // empty whenever an error was found
    bool ok() const { return exit_status(findings) < 2 && !archive.empty(); }
};

// Builds an archive mascot from an author's folder: VLD.INI in UTF-8 or code page 932 whose
// File%u entries name PNG or bitmap frames, the optional Comment.txt, and the keys Icon16,
// Icon32 and WebPage of [VelmoraData]. What the program would show other than meant is
// mended where it can be (and said), or refused as an error.
BuildResult build_archive_mascot(const FolderReader& folder, const BuildOptions& options);

// Builds a still mascot, one bitmap, from one picture.
BuildResult build_still_mascot(const std::vector<uint8_t>& picture, const BuildOptions& options);
