// Changes tree and archive at scale: a million changes placed (wide levels,
// cache misses on every record), saved, loaded back, walked and freed.
#include <chrono>
#include <cstdio>
#include <string>

#include "changes/archive_load.h"
#include "changes/archive_save.h"
#include "changes/changes_tree.h"
#include "changes/chg_archive.h"
#include "platform/memory/memory_platform.h"
#include "support/peak_memory.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

class NoStop : public kelvora::IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

}  // namespace

int main() {
    using namespace kelvora;
    constexpr int kFolders = 50;
    constexpr int kFilesPerFolder = 20000;
    platform::memory::MemoryPlatform os;
    os.files.AddFolder("C:\\Kelvora");
    AppContext context;
    context.ProgramFolder = "C:\\Kelvora";
    context.AppIdentifier = "Bench";
    ChangesTree tree(context.Settings);

    // Records alternate between folders, so every placement misses the
    // one-entry cache and searches a level of up to 20,000 children.
    const std::size_t heapBefore = bench::HeapBytesInUse();
    auto start = Clock::now();
    tree.StartFill(false);
    for (int f = 0; f < kFilesPerFolder; ++f) {
        for (int d = 0; d < kFolders; ++d) {
            TNodeData rec;
            rec.Kind = ckFileCreated;
            rec.Path = "C:\\Program Files\\Folder" + std::to_string(d);
            rec.SetNewText("12:00 01/01/02 12345");
            const std::string path = rec.Path;
            tree.AddToTree(path, "file" + std::to_string(f) + ".dll", std::move(rec));
        }
    }
    std::printf("place %d changes (cache missing): %.3f s\n", kFolders * kFilesPerFolder, Seconds(start));
    std::printf("memory of the tree: %.1f bytes a change\n",
                static_cast<double>(bench::HeapBytesInUse() - heapBefore) / (kFolders * kFilesPerFolder));

    start = Clock::now();
    TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\Bench");
    SaveChangesTree(tree, archive);
    std::printf("save archive (%zu bytes): %.3f s\n", archive.Size(), Seconds(start));

    start = Clock::now();
    tree.StartFill(true);
    NoStop control;
    const TWorkEnd state = LoadCheckTree(context, os.files, os.clock, tree, control, nullptr);
    std::printf("load archive (cache hitting): %.3f s, state %d, nodes %zu\n", Seconds(start),
                static_cast<int>(state), tree.Lock().NodeCount());
    std::printf("peak memory: %.1f MB\n", static_cast<double>(bench::PeakMemoryBytes()) / (1024.0 * 1024.0));

    start = Clock::now();
    {
        auto a = tree.Lock();
        a.SetBranchChecked(a.Root(), false);
        a.SetBranchChecked(a.Root(), true);
    }
    std::printf("uncheck and check everything: %.3f s\n", Seconds(start));

    // A level of 20,000 folders searched for every record.
    start = Clock::now();
    tree.StartFill(false);
    constexpr int kWide = 20000;
    for (int round = 0; round < 25; ++round) {
        for (int d = 0; d < kWide; ++d) {
            TNodeData rec;
            rec.Kind = ckFileDeleted;
            rec.Path = "C:\\Wide\\Folder" + std::to_string(d);
            const std::string path = rec.Path;
            tree.AddToTree(path, std::string("f").append(std::to_string(round)), std::move(rec));
        }
    }
    std::printf("place %d changes below a level of %d folders: %.3f s\n", 25 * kWide, kWide, Seconds(start));

    // Registry changes as a setup leaves them: key paths of about 70
    // characters, value names over 15 characters, 40 bytes of data, the
    // values of one key one after another.
    tree.StartFill(false);
    std::size_t heap = bench::HeapBytesInUse();
    const std::string text(39, 't');
    for (int key = 0; key < 50000; ++key) {
        char guid[64];
        std::snprintf(guid, sizeof guid, "{%08X-1234-4E5F-9ABC-0123456789AB}", static_cast<unsigned>(key));
        for (int v = 0; v < 20; ++v) {
            TNodeData rec;
            rec.Kind = ckRegValueCreated;
            rec.RootKey = platform::kClassesRoot;
            rec.ValueType = platform::kRegSz;
            rec.Path = std::string("CLSID\\").append(guid).append("\\InprocServer32\\Settings");
            rec.SetNewText(text);
            const std::string placement = "HKEY_CLASSES_ROOT\\" + rec.Path.str();
            tree.AddToTree(placement, "ThreadingModelValue" + std::to_string(v), std::move(rec));
        }
    }
    std::printf("memory of the tree, 1,000,000 registry values with real-world lengths: %.1f bytes a change\n",
                static_cast<double>(bench::HeapBytesInUse() - heap) / 1000000.0);

    start = Clock::now();
    tree.Clear();
    std::printf("clear: %.3f s\n", Seconds(start));
    return 0;
}
