#include "support/small_stack.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <pthread.h>

#include <fstream>
#include <string>
#endif

namespace kelvora::testing {

namespace {

#ifdef _WIN32
DWORD WINAPI RunWork(LPVOID work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}

std::optional<std::size_t> PeakBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return std::nullopt;
    return counters.PeakWorkingSetSize;
}

// Windows cannot lower a process's recorded peak: growth is measured from
// the peak so far, which can only understate it.
void ResetPeak() {}
#else
void* RunWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return nullptr;
}

std::optional<std::size_t> PeakBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    }
    return std::nullopt;
}

// Writing 5 to clear_refs makes the peak the present size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
#endif

}  // namespace

void RunWithStack(std::size_t stackBytes, const std::function<void()>& work) {
#ifdef _WIN32
    // The size is the stack's reservation, its whole size, as the linker
    // gives a program's threads.
    HANDLE thread = CreateThread(nullptr, stackBytes, RunWork, const_cast<std::function<void()>*>(&work),
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        ADD_FAILURE() << "no thread with a stack of " << stackBytes << " bytes";
        return;
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
#else
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    if (pthread_create(&thread, &attributes, RunWork, const_cast<std::function<void()>*>(&work)) != 0) {
        pthread_attr_destroy(&attributes);
        ADD_FAILURE() << "no thread with a stack of " << stackBytes << " bytes";
        return;
    }
    pthread_attr_destroy(&attributes);
    pthread_join(thread, nullptr);
#endif
}

std::optional<std::size_t> PeakGrowthDuring(const std::function<void()>& work) {
    ResetPeak();
    const std::optional<std::size_t> before = PeakBytes();
    work();
    const std::optional<std::size_t> after = PeakBytes();
    if (!before || !after) return std::nullopt;
    return *after > *before ? *after - *before : 0;
}

}  // namespace kelvora::testing
