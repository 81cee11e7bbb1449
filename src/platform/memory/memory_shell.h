// The shell for tests: Execute records what would have been started, and
// DeleteToRecycleBin takes the item out of a MemoryFileSystem and records it.
#pragma once

#include "platform/memory/memory_file_system.h"
#include "platform/platform.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::platform::memory {

class MemoryShell final : public Shell {
public:
    struct Execution {
        std::string file;
        std::string parameters;
        bool operator==(const Execution&) const = default;
    };

    explicit MemoryShell(MemoryFileSystem& files) : files_(files) {}

    // Records the call; answers what SetExecuteResult set (true at first).
    bool Execute(std::string_view file, std::string_view parameters) override;
    // Fails when the item does not exist or something in it is in use.
    bool DeleteToRecycleBin(std::string_view fullPath) override;
    // Keeps the logon tasks by name.
    bool ScheduleAtLogon(std::string_view name, std::string_view program) override;
    bool UnscheduleAtLogon(std::string_view name) override;
    // Runs the setup set by SetSetup (a program that cannot be started
    // without one), stamping the clock's FILETIME before and after it.
    ProcessRun RunToEnd(std::string_view file, std::string_view arguments) override;

    // ---- for tests
    void SetExecuteResult(bool succeeds);
    // What RunToEnd runs: it gets the file and the arguments, and answers
    // the exit code.
    void SetSetup(Clock* clock, std::function<std::uint32_t(std::string_view, std::string_view)> setup);
    std::vector<Execution> Executed();
    // The paths moved into the Recycle Bin, as they were given, oldest first.
    std::vector<std::string> Recycled();
    // The program the logon task name starts ("" when there is none).
    std::string LogonTask(std::string_view name);

private:
    MemoryFileSystem& files_;
    std::mutex mutex_;
    bool executeSucceeds_ = true;
    std::vector<Execution> executed_;
    std::vector<std::string> recycled_;
    std::map<std::string, std::string, std::less<>> logonTasks_;
    Clock* clock_ = nullptr;
    std::function<std::uint32_t(std::string_view, std::string_view)> setup_;
};

}  // namespace kelvora::platform::memory
