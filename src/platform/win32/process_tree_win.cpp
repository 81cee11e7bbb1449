#include "platform/win32/process_tree_win.h"

#include "platform/win32/handles_win.h"

#include <shellapi.h>

#include <string>
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

// Explorer, the shell: a setup may open a window of it at its end, and Wine
// starts it as the desktop of the first program that shows a window, as a
// child of that program. It never ends with the setup and is no part of its
// work.
bool IsShell(HANDLE process) {
    wchar_t image[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameW(process, 0, image, &size)) return false;
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    // Explorer lives in the Windows folder, and Wine's in its system folder too.
    const std::wstring path(image, size);
    const std::size_t slash = path.rfind(L'\\');
    const auto same = [](std::wstring_view a, std::wstring_view b) {
        return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_EQUAL;
    };
    return slash != std::wstring::npos && same(std::wstring_view(path).substr(slash + 1), L"explorer.exe") &&
           path.size() > length && same(std::wstring_view(path).substr(0, length), std::wstring_view(windows, length));
}

// Whether a process of the job other than the shell still runs.
bool AnyAlive(HANDLE job) {
    constexpr DWORD kMost = 1024;
    std::vector<std::uint8_t> buffer(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) + kMost * sizeof(ULONG_PTR));
    auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
    if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, list, static_cast<DWORD>(buffer.size()),
                                   nullptr)) {
        return true;  // not known: keep waiting for the job's message
    }
    for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i) {
        const KernelHandle member(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                              static_cast<DWORD>(list->ProcessIdList[i])));
        if (member && WaitForSingleObject(member.Get(), 0) == WAIT_TIMEOUT && !IsShell(member.Get())) return true;
    }
    return false;
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
    // job has ended. But the shell may have joined the job (IsShell), and
    // Wine does not always post the message, so once the setup itself has
    // ended the processes of the job are looked at every tenth of a second.
    DWORD message = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* overlapped = nullptr;
    for (;;) {
        if (GetQueuedCompletionStatus(port.Get(), &message, &key, &overlapped, 100)) {
            if (key == reinterpret_cast<ULONG_PTR>(job.Get()) && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) break;
            continue;
        }
        if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0 && !AnyAlive(job.Get())) break;
    }
    run.End = FileTimeNow();
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    run.ExitCode = exitCode;
    return run;
}

}  // namespace kelvora::platform::win32
