#include "platform/memory/memory_shell.h"

namespace kelvora::platform::memory {

bool MemoryShell::Execute(std::string_view file, std::string_view parameters) {
    std::lock_guard lock(mutex_);
    executed_.push_back({std::string(file), std::string(parameters)});
    return executeSucceeds_;
}

bool MemoryShell::DeleteToRecycleBin(std::string_view fullPath) {
    if (!files_.RemoveTree(fullPath)) return false;
    std::lock_guard lock(mutex_);
    recycled_.emplace_back(fullPath);
    return true;
}

void MemoryShell::SetExecuteResult(bool succeeds) {
    std::lock_guard lock(mutex_);
    executeSucceeds_ = succeeds;
}

std::vector<MemoryShell::Execution> MemoryShell::Executed() {
    std::lock_guard lock(mutex_);
    return executed_;
}

std::vector<std::string> MemoryShell::Recycled() {
    std::lock_guard lock(mutex_);
    return recycled_;
}

bool MemoryShell::ScheduleAtLogon(std::string_view name, std::string_view program) {
    std::lock_guard lock(mutex_);
    logonTasks_[std::string(name)] = std::string(program);
    return true;
}

bool MemoryShell::UnscheduleAtLogon(std::string_view name) {
    std::lock_guard lock(mutex_);
    if (auto it = logonTasks_.find(name); it != logonTasks_.end()) logonTasks_.erase(it);
    return true;
}

std::string MemoryShell::LogonTask(std::string_view name) {
    std::lock_guard lock(mutex_);
    auto it = logonTasks_.find(name);
    return it == logonTasks_.end() ? std::string() : it->second;
}

ProcessRun MemoryShell::RunToEnd(std::string_view file, std::string_view arguments) {
    std::function<std::uint32_t(std::string_view, std::string_view)> setup;
    Clock* clock = nullptr;
    {
        std::lock_guard lock(mutex_);
        executed_.push_back({std::string(file), std::string(arguments)});
        setup = setup_;
        clock = clock_;
    }
    ProcessRun run;
    if (!setup) return run;
    run.Started = true;
    run.Start = clock != nullptr ? clock->FileTimeNow() : 0;
    run.ExitCode = setup(file, arguments);
    run.End = clock != nullptr ? clock->FileTimeNow() : 0;
    return run;
}

void MemoryShell::SetSetup(Clock* clock, std::function<std::uint32_t(std::string_view, std::string_view)> setup) {
    std::lock_guard lock(mutex_);
    clock_ = clock;
    setup_ = std::move(setup);
}

}  // namespace kelvora::platform::memory
