#include "platform/win32/process_tree_win.h"

#include "platform/win32/handles_win.h"

#include <shellapi.h>

#include <vector>

namespace kelvora::platform::win32 {

namespace {

// ERROR_ELEVATION_REQUIRED; mingw-w64's headers lack it.
constexpr DWORD kErrorElevationRequired = 740;

std::uint64_t FileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

// A program whose manifest asks for elevation cannot be created by a process
// that is not elevated (ERROR_ELEVATION_REQUIRED); the shell starts it with
// the consent prompt. It then runs before it joins the job, so a child it
// starts at once may escape the wait.
KernelHandle StartThroughShell(const std::wstring& file, const std::wstring& arguments) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return KernelHandle();
    return KernelHandle(info.hProcess);
}

}  // namespace

ProcessRun RunProcessTree(const std::wstring& file, const std::wstring& commandLine, const std::wstring& arguments) {
    ProcessRun run;
    KernelHandle job(CreateJobObjectW(nullptr, nullptr));
    KernelHandle port(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    if (!job || !port) return run;
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{};
    association.CompletionKey = job.Get();
    association.CompletionPort = port.Get();
    if (!SetInformationJobObject(job.Get(), JobObjectAssociateCompletionPortInformation, &association,
                                 sizeof(association))) {
        return run;
    }

    // The process joins the job before it runs (it is created suspended), so
    // every process it starts belongs to the job from the start.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION created{};
    run.Start = FileTimeNow();
    KernelHandle process;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                       &startup, &created)) {
        process.Reset(created.hProcess);
        const KernelHandle thread(created.hThread);
        if (!AssignProcessToJobObject(job.Get(), process.Get())) {
            TerminateProcess(process.Get(), 1);
            return ProcessRun{};
        }
        ResumeThread(thread.Get());
    } else if (GetLastError() == kErrorElevationRequired) {
        process = StartThroughShell(file, arguments);
        if (!process) return ProcessRun{};
        AssignProcessToJobObject(job.Get(), process.Get());
    } else {
        return ProcessRun{};
    }
    run.Started = true;

    // JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO comes when the last process of the
    // job has ended. A process that was not in the job (the shell's start
    // failed to join it) is waited for by itself.
    DWORD message = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* overlapped = nullptr;
    for (;;) {
        if (!GetQueuedCompletionStatus(port.Get(), &message, &key, &overlapped, 1000)) {
            DWORD exitCode = 0;
            BOOL inJob = FALSE;
            IsProcessInJob(process.Get(), job.Get(), &inJob);
            if (!inJob && GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE) break;
            continue;
        }
        if (key == reinterpret_cast<ULONG_PTR>(job.Get()) && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) break;
    }
    run.End = FileTimeNow();
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    run.ExitCode = exitCode;
    return run;
}

}  // namespace kelvora::platform::win32
