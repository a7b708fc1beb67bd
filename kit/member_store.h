#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lha/extract.h"
#include "lha/file_system.h"

// The files of a mascot folder, named in code page 932 and found by name the way Windows finds
// them: without regard to the case of letters, so "Idle.BMP" names the member "idle.bmp" and
// "Α.bmp" the member "α.bmp".
class MemberStore {
public:
    // Replaces a file of the same name, keeping the new spelling.
    void put(const std::string& name, std::vector<uint8_t> bytes);
    const std::vector<uint8_t>* find(const std::string& name) const;
    // The stored spelling of a name, or the name itself when no file has it.
    std::string spelling(const std::string& name) const;
    bool remove(const std::string& name);
    // Names in the order their files were first stored.
    std::vector<std::string> names() const;

private:
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    File* lookup(const std::string& name);
    const File* lookup(const std::string& name) const;
    std::vector<File> files_;
};

// What extracting a whole archive, as a started mascot is extracted, leaves behind.
struct ArchiveContents {
    ExtractReport report;                 // every member with its outcome
    MemberStore files;                    // the members written whole, by flat name
    ExtractReport lookup;                 // the library scan's extraction of VLD.INI and *.ico
    std::vector<std::string> methods;     // one per member header, in archive order
};

// Runs the program's own extraction over an archive held in memory, with the program's
// command lines, so that a member the program would refuse is refused here too.
ArchiveContents extract_in_memory(const uint8_t* archive, size_t size, const ExtractLimits& limits);
