#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Called for every process (task 0) and every 16-bit task of an NTVDM process; answering
// false ends the walk, which still counts as successful.
using ProcessVisitor = std::function<bool(uint32_t process_id, uint16_t task, const std::string& path)>;

// What the walk needs of the system. The Win32 implementation loads the libraries by name
// for each walk; tests give a list of their own.
class ProcessPlatform {
public:
    virtual ~ProcessPlatform() = default;
    enum class Family { Unknown, Windows9x, WindowsNT };
    virtual Family family() = 0;

    // Windows NT: process ids and paths, and the 16-bit tasks inside NTVDM processes.
    virtual bool open_process_api() = 0;
    virtual bool open_task_api() = 0;
    virtual void close_apis() = 0;
    // Fills at most capacity ids; returned_bytes says how many bytes were filled.
    virtual bool enum_process_ids(uint32_t* ids, uint32_t capacity_bytes, uint32_t& returned_bytes) = 0;
    // The path of the process's first module; empty when it cannot be read, as for a 64-bit
    // process seen from this 32-bit program.
    virtual std::string module_path(uint32_t process_id) = 0;
    // The process's image name, asked before any walk and, during one, when the module path is
    // empty; empty when the system cannot say. It needs none of the walk's libraries.
    virtual std::string image_path(uint32_t process_id) = 0;
    virtual void enum_tasks(uint32_t process_id,
                            const std::function<bool(uint16_t task, const std::string& name)>& visit) = 0;

    // Windows 95/98/Me: one snapshot of (id, executable) pairs.
    virtual bool walk_snapshot(const std::function<bool(uint32_t process_id, const std::string& exe)>& visit) = 0;
};

bool enumerate_processes(ProcessPlatform& platform, const ProcessVisitor& visit);

// The path of the program whose process has the id: its image name where the system gives it,
// otherwise from the walk, the last one met winning; empty when no process had it. False when
// the walk itself failed.
bool program_path_of_process(ProcessPlatform& platform, uint32_t process_id, std::string& path);

// Largest buffer of process ids tried before the walk gives up growing it.
constexpr uint32_t kMaxProcessIdBytes = 1u << 22;
