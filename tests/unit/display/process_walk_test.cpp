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
            if (p.id == id && p.image_only)
                return p.path;
        return std::string();
    }
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
    EXPECT_EQ(lookup(platform, 12), "C:\\Windows\\System32\\notepad.exe");
    EXPECT_EQ(platform.image_queries, 1) << "asked only for the process whose modules could not be read";
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
