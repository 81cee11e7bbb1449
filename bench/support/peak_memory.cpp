#include "support/peak_memory.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <malloc.h>

#include <fstream>
#include <string>
#endif

namespace kelvora::bench {

std::size_t PeakMemoryBytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
#else
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
#endif
}

bool ResetPeakMemory() {
#ifdef _WIN32
    return false;
#else
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return true;
#endif
}

std::size_t HeapBytesInUse() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters)) {
        return 0;
    }
    return counters.PrivateUsage;
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

}  // namespace kelvora::bench
