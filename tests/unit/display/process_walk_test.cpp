#include <gtest/gtest.h>

#include <map>

#include "core/exclusion_list.h"
#include "display/process_walk.h"

namespace {

struct FakeProcess {
    uint32_t id;
    std::string path;
    std::vector<std::pair<uint16_t, std::string>> tasks;
    // A 64-bit process: its modules cannot be read, only its image name.
    bool image_only = false;
};

class FakePlatform : public ProcessPlatform {
public:
    Family family_value = Family::WindowsNT;
    bool process_api = true;
    bool task_api = true;
    std::vector<FakeProcess> processes;
    std::vector<uint32_t> capacities_asked;
    int closes = 0;

    Family family() override { return family_value; }
    bool open_process_api() override { return process_api; }
    bool open_task_api() override { return task_api; }
    void close_apis() override { ++closes; }
    bool enum_process_ids(uint32_t* ids, uint32_t capacity_bytes, uint32_t& returned_bytes) override
    {
        capacities_asked.push_back(capacity_bytes);
        const size_t fit = std::min<size_t>(processes.size(), capacity_bytes / 4);
        for (size_t i = 0; i < fit; ++i)
            ids[i] = processes[i].id;
        returned_bytes = static_cast<uint32_t>(fit * 4);
        return true;
    }
    std::string module_path(uint32_t id) override
    {
        for (const auto& p : processes)
            if (p.id == id && !p.image_only)
                return p.path;
        return std::string();
    }
    std::string image_path(uint32_t id) override
    {
        ++image_queries;
        for (const auto& p : processes)
            if (p.id == id && (p.image_only || image_names_for_all))
                return p.path;
        return std::string();
    }
    // Vista and later name every process's image they may open; older systems none.
    bool image_names_for_all = false;
    int image_queries = 0;
    void enum_tasks(uint32_t id, const std::function<bool(uint16_t, const std::string&)>& visit) override
    {
        for (const auto& p : processes)
            if (p.id == id)
                for (const auto& task : p.tasks)
                    if (!visit(task.first, task.second))
                        return;
    }
    bool walk_snapshot(const std::function<bool(uint32_t, const std::string&)>& visit) override
    {
        for (const auto& p : processes)
            if (!visit(p.id, p.path))
                break;
        return true;
    }
};

std::string lookup(FakePlatform& platform, uint32_t id)
{
    std::string path = "untouched";
    if (!program_path_of_process(platform, id, path))
        return "failed";
    return path;
}

}  // namespace

TEST(ProcessWalk, FindsThePathOfTheProcess)
{
    FakePlatform platform;
    platform.processes = {{4, "C:\\Windows\\System32\\smss.exe", {}}, {88, "C:\\Tools\\Editor.exe", {}}};
    EXPECT_EQ(lookup(platform, 88), "C:\\Tools\\Editor.exe");
    EXPECT_EQ(program_file_name(lookup(platform, 88)), "Editor.exe");
    EXPECT_EQ(lookup(platform, 99), "") << "a process not met gives an empty path";
    EXPECT_EQ(platform.closes, 3) << "every walk frees its libraries";
}

TEST(ProcessWalk, ImageNameStandsInWhenModulesCannotBeRead)
{
    FakePlatform platform;
    platform.processes = {{12, "C:\\Windows\\System32\\notepad.exe", {}, true}, {13, "C:\\x\\app.exe", {}}};
    std::vector<std::string> walked;
    EXPECT_TRUE(enumerate_processes(platform, [&](uint32_t, uint16_t, const std::string& path) {
        walked.push_back(path);
        return true;
    }));
    EXPECT_EQ(walked, (std::vector<std::string>{"C:\\Windows\\System32\\notepad.exe", "C:\\x\\app.exe"}));
    EXPECT_EQ(platform.image_queries, 1) << "asked only for the process whose modules could not be read";
}

TEST(ProcessWalk, TheImageNameAnswersWithoutAWalkWhereTheSystemGivesIt)
{
    struct Row {
        const char* what;
        ProcessPlatform::Family family;
        bool image_names;
        uint32_t id;
        std::string expected;
        bool walked;
    };
    const Row rows[] = {
        {"named directly", ProcessPlatform::Family::WindowsNT, true, 13, "C:\\x\\app.exe", false},
        {"no image names: the walk", ProcessPlatform::Family::WindowsNT, false, 13, "C:\\x\\app.exe", true},
        {"a process not named: the walk", ProcessPlatform::Family::WindowsNT, true, 99, "", true},
        {"an NTVDM process still gives its last task", ProcessPlatform::Family::WindowsNT, true, 7,
         "C:\\OLD\\CALC.EXE", true},
        {"Windows 9x never asks", ProcessPlatform::Family::Windows9x, true, 13, "C:\\x\\app.exe", false},
    };
    for (const auto& row : rows) {
        FakePlatform platform;
        platform.family_value = row.family;
        platform.image_names_for_all = row.image_names;
        platform.processes = {{7, "C:\\WINNT\\system32\\NTVDM.EXE", {{1, "C:\\OLD\\WRITE.EXE"}, {2, "C:\\OLD\\CALC.EXE"}}},
                              {13, "C:\\x\\app.exe", {}}};
        EXPECT_EQ(lookup(platform, row.id), row.expected) << row.what;
        if (row.family == ProcessPlatform::Family::WindowsNT) {
            EXPECT_EQ(!platform.capacities_asked.empty(), row.walked) << row.what;
        } else {
            EXPECT_EQ(platform.image_queries, 0) << row.what;
        }
    }
}

TEST(ProcessWalk, LastTaskOfAnNtvdmProcessWins)
{
    FakePlatform platform;
    platform.processes = {{7, "C:\\WINNT\\system32\\ntvdm.exe", {{1, "C:\\OLD\\WRITE.EXE"}, {2, "C:\\OLD\\CALC.EXE"}}},
                          {8, "C:\\x\\later.exe", {}}};
    EXPECT_EQ(lookup(platform, 7), "C:\\OLD\\CALC.EXE");
    platform.task_api = false;  // without the task library the process itself is named
    EXPECT_EQ(lookup(platform, 7), "C:\\WINNT\\system32\\ntvdm.exe");
    platform.processes[0].path = "VDM.EXE";  // shorter than NTVDM.EXE never counts
    platform.task_api = true;
    EXPECT_EQ(lookup(platform, 7), "VDM.EXE");
}

TEST(ProcessWalk, IdBufferDoublesPastTwoHundredFiftySixProcesses)
{
    FakePlatform platform;
    for (uint32_t id = 1; id <= 600; ++id)
        platform.processes.push_back({id * 4, "C:\\p" + std::to_string(id) + ".exe", {}});
    EXPECT_EQ(lookup(platform, 2400), "C:\\p600.exe");
    EXPECT_EQ(platform.capacities_asked, (std::vector<uint32_t>{1024, 2048, 4096}));

    platform.processes.resize(256);  // exactly fills 1024 bytes, so it asks once more
    platform.capacities_asked.clear();
    EXPECT_EQ(lookup(platform, 1024), "C:\\p256.exe");
    EXPECT_EQ(platform.capacities_asked, (std::vector<uint32_t>{1024, 2048}));
}

TEST(ProcessWalk, FailuresAndTheOtherFamily)
{
    FakePlatform platform;
    platform.processes = {{5, "C:\\WINDOWS\\EXPLORER.EXE", {}}};
    platform.process_api = false;
    EXPECT_EQ(lookup(platform, 5), "failed");
    platform.family_value = ProcessPlatform::Family::Unknown;
    EXPECT_EQ(lookup(platform, 5), "failed");
    platform.family_value = ProcessPlatform::Family::Windows9x;
    EXPECT_EQ(lookup(platform, 5), "C:\\WINDOWS\\EXPLORER.EXE");
}

TEST(ProcessWalk, AVisitorThatStopsEndsTheWalkSuccessfully)
{
    FakePlatform platform;
    platform.processes = {{1, "a.exe", {}}, {2, "C:\\ntvdm.exe", {{1, "x"}, {2, "y"}}}, {3, "c.exe", {}}};
    std::vector<std::string> seen;
    EXPECT_TRUE(enumerate_processes(platform, [&](uint32_t, uint16_t, const std::string& path) {
        seen.push_back(path);
        return path != "x";
    }));
    EXPECT_EQ(seen, (std::vector<std::string>{"a.exe", "C:\\ntvdm.exe", "x"}));
}
