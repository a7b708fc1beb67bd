#include "display/process_walk.h"

#include <cctype>

namespace {

bool is_ntvdm(const std::string& path)
{
    static const char suffix[] = "NTVDM.EXE";
    const size_t length = sizeof suffix - 1;
    if (path.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(path[path.size() - length + i])) != suffix[i])
            return false;
    return true;
}

// The whole id list: the buffer doubles until the list no longer fills it.
bool read_process_ids(ProcessPlatform& platform, std::vector<uint32_t>& ids)
{
    for (uint32_t bytes = 1024; bytes <= kMaxProcessIdBytes; bytes *= 2) {
        ids.assign(bytes / 4, 0);
        uint32_t returned = 0;
        if (!platform.enum_process_ids(ids.data(), bytes, returned))
            return false;
        if (returned < bytes) {
            ids.resize(returned / 4);
            return true;
        }
    }
    return false;
}

bool walk_nt(ProcessPlatform& platform, const ProcessVisitor& visit)
{
    if (!platform.open_process_api()) {
        platform.close_apis();
        return false;
    }
    // Without the 16-bit task library the walk goes on without the tasks: those programs
    // are rare and everything else still needs its name.
    const bool has_tasks = platform.open_task_api();
    std::vector<uint32_t> ids;
    if (!read_process_ids(platform, ids)) {
        platform.close_apis();
        return false;
    }
    for (const uint32_t id : ids) {
        std::string path = platform.module_path(id);
        if (path.empty())
            path = platform.image_path(id);
        if (!visit(id, 0, path))
            break;
        if (has_tasks && is_ntvdm(path)) {
            bool stopped = false;
            platform.enum_tasks(id, [&](uint16_t task, const std::string& name) {
                stopped = !visit(id, task, name);
                return !stopped;
            });
            if (stopped)
                break;
        }
    }
    platform.close_apis();
    return true;
}

}  // namespace

bool enumerate_processes(ProcessPlatform& platform, const ProcessVisitor& visit)
{
    switch (platform.family()) {
    case ProcessPlatform::Family::WindowsNT:
        return walk_nt(platform, visit);
    case ProcessPlatform::Family::Windows9x:
        return platform.walk_snapshot([&](uint32_t id, const std::string& exe) { return visit(id, 0, exe); });
    default:
        return false;
    }
}

bool program_path_of_process(ProcessPlatform& platform, uint32_t process_id, std::string& path)
{
    // Where the system names a process's image directly, no walk is needed; an NTVDM process
    // still is walked, for the name of its 16-bit task.
    if (platform.family() == ProcessPlatform::Family::WindowsNT) {
        const std::string image = platform.image_path(process_id);
        if (!image.empty() && !is_ntvdm(image)) {
            path = image;
            return true;
        }
    }
    std::string found;
    const bool walked = enumerate_processes(platform, [&](uint32_t id, uint16_t, const std::string& p) {
        if (id == process_id)
            found = p;
        return true;
    });
    if (!walked)
        return false;
    path = found;
    return true;
}
