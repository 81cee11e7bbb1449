// The main window under Wine while its workers run: how long the window
// keeps a message waiting (the longest time it does not answer) during the
// first scan and the rescan of a large registry, the rescan filling the
// changes tree with about 100,000 changes, and the completion that saves
// and shows them. Runs in the build's Wine prefix: it uses and then deletes
// HKEY_CURRENT_USER\Software\KelvoraBench and Kelvora's settings key.
//
// Usage: main_window_bench_win [scale]   (default 0.1: 20,000 keys and
// 100,000 values scanned, 100,000 values created between the scans)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/dispatcher.h"
#include "platform/win32/win32_platform_win.h"
#include "support/bench_data.h"
#include "support/measured_loop_win.h"
#include "support/window_watchdog_win.h"
#include "ui/main_window.h"

using namespace kelvora;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point from) { return bench::MsSince(from); }

// The longest one message kept the window thread busy since the last report.
bench::MessageCosts gBusy;

void Serve(const std::function<bool()>& done) { bench::ServeMeasured(done, gBusy); }

void SetDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void Report(const char* phase, double ms, bench::WindowWatchdog& watchdog) {
    auto [longest, probes] = watchdog.Take();
    std::printf("%-42s %7.0f ms; longest without an answer %6.1f ms (%d probes); longest message %6.1f ms, "
                "%5.1f ms processor\n",
                phase, ms, longest, probes, gBusy.wall, gBusy.cpu);
    gBusy = {};
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 0.1;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    platform::win32::Win32Platform win32;
    const char* const benchKey = "Software\\KelvoraBench";
    const char* const settingsKey = "Software\\Varnok\\Kelvora";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "KelvoraWindowBench";
    auto cleanUp = [&] {
        RegDeleteTreeA(HKEY_CURRENT_USER, benchKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, settingsKey);
        SetCurrentDirectoryA(temp);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    };
    cleanUp();
    CreateDirectoryA(folder.c_str(), nullptr);

    // The registry to scan, and settings that scan HKEY_CURRENT_USER only.
    bench::RegistryShape shape;
    shape.keys = static_cast<std::size_t>(200000 * scale);
    shape.values = static_cast<std::size_t>(1000000 * scale);
    shape.wideLevel = static_cast<std::size_t>(20000 * scale);
    auto t = Clock::now();
    bench::Counts counts = bench::FillRegistry(win32.registry, platform::kCurrentUser, std::string(benchKey) + "\\Base", shape);
    std::printf("registry: %zu keys, %zu values, made in %.0f ms\n", counts.keys, counts.values, Ms(t));
    HKEY settings = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &settings, nullptr);
    for (const char* name : {"ScanHKCR", "ScanHKLM", "ScanHKUS", "ScanHKCC", "ScanWin", "ScanProg", "ScanEntire",
                             "ScanOthers"})
        SetDword(settings, name, 0);
    SetDword(settings, "ScanHKCU", 1);
    RegCloseKey(settings);

    {
        platform::Dispatcher dispatcher;
        AppContext context;
        ui::TfrmQorMain window({context, win32.platform, dispatcher, folder + "\\Kelvora.exe"});
        if (!window.Create()) return 1;
        window.Show(SW_SHOWNORMAL);
        TWizard& wizard = window.Wizard();
        Serve([] { return true; });
        auto watchdog = std::make_unique<bench::WindowWatchdog>(window.Handle());

        wizard.edIdentifChange("Bench");
        wizard.btnNextClick();
        watchdog->Take();
        gBusy = {};
        t = Clock::now();
        wizard.btnNextClick();
        Serve([&] { return !wizard.WorkerRunning(); });
        Report("first scan", Ms(t), *watchdog);

        // What the "installation" does, on a thread of its own while the
        // window waits: values in many new keys.
        const int created = static_cast<int>(1000000 * scale);
        t = Clock::now();
        std::atomic<bool> installed{false};
        std::thread installation([&] {
            HKEY key = nullptr;
            for (int i = 0; i < created; ++i) {
                if (i % 100 == 0) {
                    if (key != nullptr) RegCloseKey(key);
                    const std::string path = std::string(benchKey) + "\\Fresh\\k" + std::to_string(i / 100);
                    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                    nullptr);
                }
                const std::string name = "v" + std::to_string(i);
                SetDword(key, name.c_str(), static_cast<DWORD>(i));
            }
            if (key != nullptr) RegCloseKey(key);
            installed = true;
        });
        Serve([&] { return installed.load(); });
        installation.join();
        Report("installation (the window waits)", Ms(t), *watchdog);

        wizard.RunModeClick(TRunMode::rbStarted);
        t = Clock::now();
        wizard.btnNextClick();
        std::printf("Next that starts the rescan: %.1f ms\n", Ms(t));
        Serve([&] { return !wizard.WorkerRunning(); });
        Report("rescan: tree filled, then saved and shown", Ms(t), *watchdog);
        watchdog.reset();
        std::printf("changes tree: %zu nodes\n", window.Changes().Lock().NodeCount());
    }
    cleanUp();
    return 0;
}
