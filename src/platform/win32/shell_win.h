// The Windows shell: starting programs and documents, the Recycle Bin.
#pragma once

#include "platform/platform.h"

namespace kelvora::platform::win32 {

class Win32Shell final : public Shell {
public:
    // ShellExecuteExA, default verb, environment variables expanded, no error
    // boxes. The calling thread should have initialised COM, as for any shell call.
    bool Execute(std::string_view file, std::string_view parameters) override;
    // SHFileOperationA FO_DELETE with undo allowed, without questions, progress
    // or error boxes. Succeeds exactly when the item existed and is gone.
    bool DeleteToRecycleBin(std::string_view fullPath) override;
    // The Task Scheduler's logon task (logon_task_win.h).
    bool ScheduleAtLogon(std::string_view name, std::string_view program) override;
    bool UnscheduleAtLogon(std::string_view name) override;
    // A job object holds the process tree (process_tree_win.h).
    ProcessRun RunToEnd(std::string_view file, std::string_view arguments) override;
};

}  // namespace kelvora::platform::win32
