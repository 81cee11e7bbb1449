// For the window benchmarks: the window's message loop, timing every message
// it hands on (wall clock, which a loaded machine stretches, and the window
// thread's own processor time).
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>

#include "ui/framework/window.h"

namespace kelvora::bench {

inline double MsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

// Processor time of the calling thread, in milliseconds.
inline double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return static_cast<double>((static_cast<std::uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// The longest one message kept the window thread busy, and the last one.
struct MessageCosts {
    double wall = 0;
    double cpu = 0;
    double lastWall = 0;
};

// Serves the window's messages until done(), tested after every message.
inline void ServeMeasured(const std::function<bool()>& done, MessageCosts& costs) {
    MSG msg;
    while (!done()) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        const double cpu = ThreadCpuMs();
        ui::HandleLoopMessage(msg);
        costs.lastWall = MsSince(start);
        costs.wall = std::max(costs.wall, costs.lastWall);
        costs.cpu = std::max(costs.cpu, ThreadCpuMs() - cpu);
    }
}

}  // namespace kelvora::bench
