// The changes tree control with about a million nodes, under Wine: opening,
// "Expand all", scrolling a page, and how long the window keeps a message
// waiting while a worker fills the model at full speed.
//
// Usage: tree_control_bench_win [scale]   (1.0 = about 1,000,000 nodes)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "changes/changes_tree.h"
#include "support/window_watchdog_win.h"
#include "ui/changes_tree_control.h"
#include "ui/framework/window.h"

using namespace kelvora;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

class Host : public ui::Window {
public:
    bool Create() {
        CreateParams p;
        p.ClassName = "KelvoraBenchHost";
        p.Title = "Kelvora tree benchmark";
        p.Bounds = {10, 10, 1000, 720};
        p.Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN;
        return Window::Create(p);
    }
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// prefix followed by n (appending: GCC 12 warns falsely on "a" + to_string()).
std::string Numbered(std::string prefix, int n) {
    prefix += std::to_string(n);
    return prefix;
}

struct Shape {
    int dirs, subdirs, files, keys, values;
};

// Places the benchmark's changes: files in C:\Bench\dNNNN\sNN and values
// below HKLM\Software\Bench\kNNNN, one folder or key after another as the
// comparisons deliver them.
std::size_t Fill(ChangesTree& model, const Shape& shape) {
    std::size_t records = 0;
    for (int d = 0; d < shape.dirs; ++d) {
        for (int s = 0; s < shape.subdirs; ++s) {
            std::string path = Numbered(Numbered("C:\\Bench\\d", d) + "\\s", s);
            for (int f = 0; f < shape.files; ++f) {
                TNodeData rec;
                rec.Kind = (f % 3 == 0) ? ckFileChanged : ckFileCreated;
                rec.Path = path;
                if (rec.Kind == ckFileChanged) rec.SetOldText("10:00 01/02/26 100");
                rec.SetNewText("10:01 01/02/26 4096");
                model.AddToTree(path, Numbered("file", f) + ".dat", std::move(rec));
                ++records;
            }
        }
    }
    const std::uint8_t bytes[] = {0x48, 0x69, 0x00, 0xFF, 0x10, 0x20};
    for (int k = 0; k < shape.keys; ++k) {
        std::string key = Numbered("Software\\Bench\\k", k);
        for (int v = 0; v < shape.values; ++v) {
            TNodeData rec;
            rec.Kind = ckRegValueCreated;
            rec.RootKey = 0x80000002u;
            rec.Path = key;
            rec.ValueType = v % 2 == 0 ? 3 : 4;
            rec.SetNew(bytes, rec.ValueType == 3 ? 6 : 4);
            model.AddToTree("HKEY_LOCAL_MACHINE\\" + key, Numbered("v", v), std::move(rec));
            ++records;
        }
    }
    return records;
}

}  // namespace

int main(int argc, char** argv) {
    double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    Shape shape{std::max(1, static_cast<int>(1000 * scale)), 10, 95, std::max(1, static_cast<int>(1000 * scale)), 40};

    TSettings settings;
    ChangesTree model(settings);
    auto t = Clock::now();
    model.StartFill(false);
    std::size_t records = Fill(model, shape);
    model.FinishFill();
    std::size_t nodes = model.Lock().NodeCount();
    std::printf("model: %zu records, %zu nodes, filled in %.0f ms\n", records, nodes, Ms(t));

    Host host;
    host.Create();
    Pump();
    RECT rc;
    GetClientRect(host.Handle(), &rc);

    // Opening: the control is created over the full model and shows the
    // frame expanded, as the tree page does.
    t = Clock::now();
    ui::ChangesTreeControl control(model);
    control.Create(host.Handle(), 1, {0, 0, rc.right, rc.bottom});
    control.Tree().SetExpanded(0, true);
    control.Tree().SetExpanded(1, true);
    control.Tree().SetExpanded(2, true);
    UpdateWindow(control.Tree().Handle());
    std::printf("open with %zu nodes: %.0f ms (%d rows)\n", nodes, Ms(t), control.Tree().RowCount());

    t = Clock::now();
    control.Tree().ExpandAll();
    UpdateWindow(control.Tree().Handle());
    std::printf("expand all: %.0f ms (%d rows)\n", Ms(t), control.Tree().RowCount());

    std::vector<double> pages;
    HWND list = control.Tree().Handle();
    for (int i = 0; i < 40; ++i) {
        t = Clock::now();
        SendMessageA(list, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(list);
        pages.push_back(Ms(t));
    }
    // Far jumps: the middle and the end of a million rows.
    for (int row : {control.Tree().RowCount() / 2, control.Tree().RowCount() - 1}) {
        t = Clock::now();
        ListView_EnsureVisible(list, row, FALSE);
        UpdateWindow(list);
        pages.push_back(Ms(t));
        for (int i = 0; i < 5; ++i) {
            t = Clock::now();
            SendMessageA(list, WM_VSCROLL, SB_PAGEUP, 0);
            UpdateWindow(list);
            pages.push_back(Ms(t));
        }
    }
    std::sort(pages.begin(), pages.end());
    std::printf("scroll a page: median %.1f ms, max %.1f ms (%zu pages)\n", pages[pages.size() / 2], pages.back(),
                pages.size());
    // The same page painted again without scrolling: the cost of the cells.
    std::vector<double> paints;
    for (int i = 0; i < 20; ++i) {
        t = Clock::now();
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
        paints.push_back(Ms(t));
    }
    std::sort(paints.begin(), paints.end());
    std::printf("repaint a full page: median %.1f ms, max %.1f ms\n", paints[paints.size() / 2], paints.back());

    t = Clock::now();
    control.Tree().CollapseAll();
    UpdateWindow(list);
    std::printf("collapse all: %.0f ms\n", Ms(t));

    // A worker fills the model anew at full speed while the window shows it
    // with the frame and the drive and folder on the way open.
    for (int round = 0; round < 2; ++round) {
        model.StartFill(false);
        control.ModelReset();
        control.Tree().SetExpanded(0, true);
        control.Tree().SetExpanded(1, true);
        control.Tree().SetExpanded(2, true);
        Pump();
        bench::WindowWatchdog watchdog(host.Handle());
        std::atomic<bool> done{false};
        t = Clock::now();
        std::thread worker([&] {
            Fill(model, shape);
            done = true;
        });
        // The user presses "Expand all" every half second in the second round.
        auto next_expand = Clock::now();
        while (!done) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
            if (round == 1 && Clock::now() >= next_expand) {
                control.Tree().ExpandAll();
                next_expand = Clock::now() + std::chrono::milliseconds(500);
            }
        }
        worker.join();
        double fill = Ms(t);
        auto settle = Clock::now() + std::chrono::milliseconds(300);
        while (Clock::now() < settle) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
        watchdog.Stop();
        model.FinishFill();
        std::printf("worker fill%s: %.0f ms for %zu records; longest wait for the window %.1f ms (%d probes), %d rows\n",
                    round == 1 ? " with Expand all every 0.5 s" : "", fill, records, watchdog.Max(),
                    watchdog.Probes(), control.Tree().RowCount());
    }
    return 0;
}
