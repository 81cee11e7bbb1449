// The main window under Wine while it loads a large archive: the time from
// Next on the first page (uninstall chosen) until the tree page shows the
// changes, and the longest time the window did not answer meanwhile. The
// archive holds created files in many folders and created values in many
// keys, half each; nothing of it exists on the system, nothing is undone.
//
// Usage: archive_load_bench_win [scale]   (default 1: 1,000,000 changes)
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "changes/chg_archive.h"
#include "platform/dispatcher.h"
#include "platform/win32/win32_platform_win.h"
#include "support/measured_loop_win.h"
#include "support/window_watchdog_win.h"
#include "ui/main_window.h"

using namespace kelvora;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point from) { return bench::MsSince(from); }

// Serves the window's messages until done(); answers what they cost.
bench::MessageCosts Serve(const std::function<bool()>& done) {
    bench::MessageCosts costs;
    bench::ServeMeasured(done, costs);
    return costs;
}

void WriteArchive(platform::Platform& os, const std::string& fileBase, int changes) {
    TChgArchive archive(os.files, os.clock, fileBase);
    archive.CreateNew();
    const std::uint8_t data[4] = {1, 0, 0, 0};
    for (int i = 0; i < changes; ++i) {
        const std::string n = std::to_string(i);
        const std::string group = std::to_string(i / 200);
        if (i % 2 == 0) {
            archive.WriteInt(ckFileCreated);
            archive.WriteStr("C:\\KelvoraLoadBench\\d" + group + "\\file" + n + ".dat");
            archive.WriteStr("01.01.2026 12:00:00, 4 bytes");
        } else {
            archive.WriteInt(ckRegValueCreated);
            archive.WriteInt(static_cast<std::int32_t>(platform::kCurrentUser));
            archive.WriteStr("Software\\KelvoraLoadBench\\k" + group);
            archive.WriteStr("value" + n);
            archive.WriteInt(4);  // REG_DWORD
            archive.WriteInt(4);
            archive.WriteBlock(data, sizeof(data));
        }
    }
    archive.Save();
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const int changes = static_cast<int>(1000000 * scale);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    platform::win32::Win32Platform win32;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "KelvoraLoadBench";
    auto cleanUp = [&] {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnok\\Kelvora");
        SetCurrentDirectoryA(temp);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    };
    cleanUp();
    CreateDirectoryA(folder.c_str(), nullptr);
    auto t = Clock::now();
    WriteArchive(win32.platform, folder + "\\Bench", changes);
    std::printf("archive: %d changes, %.1f MB, written in %.0f ms\n", changes,
                static_cast<double>(std::filesystem::file_size(folder + "\\Bench.qor")) / 1e6, Ms(t));
    {
        platform::Dispatcher dispatcher;
        AppContext context;
        ui::TfrmQorMain window({context, win32.platform, dispatcher, folder + "\\Kelvora.exe"});
        if (!window.Create()) return 1;
        window.Show(SW_SHOWNORMAL);
        TWizard& wizard = window.Wizard();
        Serve([] { return true; });
        wizard.rbUninstallClick();
        Serve([] { return true; });
        bench::WindowWatchdog watchdog(window.Handle());
        watchdog.Take();
        t = Clock::now();
        wizard.btnNextClick();
        std::printf("Next (the archive checked, the loader started): %.1f ms\n", Ms(t));
        const bench::MessageCosts costs = Serve([&] { return !wizard.WorkerRunning(); });
        const double ms = Ms(t);
        auto [unanswered, probes] = watchdog.Take();
        std::printf("load into the window: %.0f ms (%s); longest without an answer %.1f ms (%d probes); "
                    "longest message %.1f ms; the completion (tree made ready and shown) %.1f ms\n",
                    ms, wizard.Screen().Page == TPage::pnlTree ? "tree page shown" : "NOT on the tree page",
                    unanswered, probes, costs.wall, costs.lastWall);
        std::printf("changes tree: %zu nodes\n", window.Changes().Lock().NodeCount());
    }
    cleanUp();
    return 0;
}
