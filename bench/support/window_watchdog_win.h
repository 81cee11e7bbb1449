// For the window benchmarks: a thread that sends WM_NULL to a window every
// few milliseconds and keeps the longest wait for an answer, the time the
// window did not answer.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

namespace kelvora::bench {

class WindowWatchdog {
public:
    explicit WindowWatchdog(HWND hwnd)
        : thread_([this, hwnd] {
              while (!stop_) {
                  const auto start = std::chrono::steady_clock::now();
                  DWORD_PTR result = 0;
                  SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
                  const double waited =
                      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                  double seen = max_.load();
                  while (waited > seen && !max_.compare_exchange_weak(seen, waited)) {
                  }
                  ++probes_;
                  Sleep(5);
              }
          }) {}
    ~WindowWatchdog() { Stop(); }
    WindowWatchdog(const WindowWatchdog&) = delete;
    WindowWatchdog& operator=(const WindowWatchdog&) = delete;

    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    double Max() const { return max_; }
    int Probes() const { return probes_; }
    // The longest wait and the number of probes since the last call.
    std::pair<double, int> Take() { return {max_.exchange(0), probes_.exchange(0)}; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<double> max_{0};
    std::atomic<int> probes_{0};
    std::thread thread_;
};

}  // namespace kelvora::bench
