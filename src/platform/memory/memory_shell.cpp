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

}  // namespace kelvora::platform::memory
