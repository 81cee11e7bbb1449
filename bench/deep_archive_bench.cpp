// An archive whose records lie very deep: one created file and one created
// registry value at the end of a path of many levels ("a\a\...\a"). Loads it,
// then exports and undoes it, and reports the time and the peak memory of
// each step. Usage: deep_archive_bench [levels] [export|uninstall]; each step
// is best run in a process of its own so that its peak is its own.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "changes/archive_load.h"
#include "changes/chg_archive.h"
#include "changes/text_export.h"
#include "platform/memory/memory_platform.h"
#include "support/peak_memory.h"
#include "uninstall/dezinstaler.h"

namespace {

using namespace kelvora;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }
double Megabytes(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

class NoStop : public IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

struct QuietView : IUninstallView {
    int lines = 0;
    void ShowStatus(const std::string&) override {}
    void SetProgressMax(int) override {}
    void StepProgress() override {}
    void ShowLogLine(const std::string&, std::int32_t) override { ++lines; }
};

struct KeepShared : IRemoveSharedQuestion {
    int AskRemoveShared(const std::string&, const std::string&) override { return kAnswerNoToAll; }
};

std::string DeepPath(int levels) {
    std::string path;
    path.reserve(static_cast<std::size_t>(levels) * 2);
    for (int i = 0; i < levels; ++i) path += i == 0 ? "a" : "\\a";
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const int levels = argc > 1 ? std::atoi(argv[1]) : 20000;
    const std::string step = argc > 2 ? argv[2] : "all";
    platform::memory::MemoryPlatform os;
    os.files.AddFolder("C:\\Kelvora");
    AppContext context;
    context.ProgramFolder = "C:\\Kelvora";
    context.AppIdentifier = "Deep";
    {
        TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\Deep");
        archive.CreateNew();
        const std::string path = DeepPath(levels);
        archive.WriteInt(ckFileCreated);
        archive.WriteStr("C:\\" + path + "\\f.txt");
        archive.WriteStr("12:00 01/01/02 5");
        archive.WriteInt(ckRegValueCreated);
        archive.WriteInt(static_cast<std::int32_t>(platform::kCurrentUser));
        archive.WriteStr(path);
        archive.WriteStr("v");
        archive.WriteInt(static_cast<std::int32_t>(platform::kRegSz));
        archive.WriteInt(2);
        archive.WriteBlock(reinterpret_cast<const std::uint8_t*>("x"), 2);
        archive.Save();
        std::printf("archive of %d levels: %zu bytes\n", levels, archive.Size());
    }

    ChangesTree tree(context.Settings);
    auto start = Clock::now();
    tree.StartFill(true);
    NoStop control;
    const TWorkEnd state = LoadCheckTree(context, os.files, os.clock, tree, control, nullptr);
    std::printf("load: %.3f s, state %d, peak %.1f MB\n", Seconds(start), static_cast<int>(state),
                Megabytes(bench::PeakMemoryBytes()));

    if (step == "all" || step == "export") {
        start = Clock::now();
        std::size_t size = 0;
        {
            const ChangesTree::Access access = tree.Lock();
            const std::vector<DocLine> lines =
                BuildDocument(access, kNoNode, false, CellWords::Translated(), os.collation);
            size = ExportText("Deep", "now", lines, MarkWords::Translated())
                       .size();
        }
        std::printf("export (%zu bytes of text): %.3f s, peak %.1f MB\n", size, Seconds(start),
                    Megabytes(bench::PeakMemoryBytes()));
    }
    if (step == "all" || step == "uninstall") {
        start = Clock::now();
        platform::Dispatcher dispatcher;
        QuietView view;
        KeepShared question;
        TDezinstaler worker(UninstallServices{os.platform, dispatcher, context, tree, view, question});
        bool ended = false;
        worker.SetOnTerminate([&](TSafeThread&) { ended = true; });
        worker.Start();
        dispatcher.ServeUntil([&] { return ended; });
        std::printf("uninstall (%d lines): %.3f s, peak %.1f MB\n", view.lines, Seconds(start),
                    Megabytes(bench::PeakMemoryBytes()));
    }
    return 0;
}
