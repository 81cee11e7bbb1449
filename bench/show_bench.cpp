// kelvora-cli show on an archive of 1,000,000 changes with real-world
// lengths (key paths of about 70 characters, names over 15 characters, data
// of 40 bytes; archive records of about 180 bytes): the time and the memory
// the command takes beyond what the process held before.
#include <chrono>
#include <cstdio>
#include <string>

#include "changes/archive_save.h"
#include "changes/changes_tree.h"
#include "changes/chg_archive.h"
#include "cli/cli_commands.h"
#include "platform/memory/memory_platform.h"
#include "support/peak_memory.h"

namespace {

using namespace kelvora;

// Counts what the command writes and keeps none of it.
class CountingConsole final : public ICliConsole {
public:
    std::size_t written = 0;
    void Write(std::string_view text) override { written += text.size(); }
    void Error(std::string_view line) override { std::printf("error: %.*s\n", static_cast<int>(line.size()), line.data()); }
    void Status(std::string_view) override {}
    void Progress(int, int) override {}
    void EndProgress() override {}
    std::optional<std::string> Ask(std::string_view) override { return std::nullopt; }
    std::string DateTimeText(double, bool) override { return "01/01/2026 12:00:00"; }
};

double Mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main() {
    platform::memory::MemoryPlatform os;
    os.files.AddFolder("C:\\Kelvora");
    AppContext context;
    context.ProgramFolder = "C:\\Kelvora";
    std::size_t archiveSize = 0;
    {
        ChangesTree tree(context.Settings);
        tree.StartFill(false);
        const std::string text(39, 't');
        for (int key = 0; key < 50000; ++key) {
            char guid[64];
            std::snprintf(guid, sizeof guid, "{%08X-1234-4E5F-9ABC-0123456789AB}", static_cast<unsigned>(key));
            const std::string path = std::string("CLSID\\").append(guid).append("\\InprocServer32\\Settings");
            for (int v = 0; v < 20; ++v) {
                TNodeData rec;
                rec.Kind = ckRegValueCreated;
                rec.RootKey = platform::kClassesRoot;
                rec.ValueType = platform::kRegSz;
                rec.Path = path;
                rec.SetNewText(text);
                tree.AddToTree("HKEY_CLASSES_ROOT\\" + path, "ThreadingModelValue" + std::to_string(v), std::move(rec));
            }
        }
        TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\Bench");
        SaveChangesTree(tree, archive);
        archiveSize = archive.Size();
    }
    CountingConsole console;
    std::atomic<bool> interrupted{false};
    platform::Dispatcher dispatcher;
    CliEnv env{os.platform, dispatcher, context, console, {}, interrupted};
    const std::size_t resident = bench::ResetPeakMemory() ? bench::PeakMemoryBytes() : 0;
    const auto start = std::chrono::steady_clock::now();
    const int status = RunCliArguments({"show", "Bench"}, env);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("show, 1,000,000 changes (archive %.1f MB): status %d, %.1f MB written, %.2f s, "
                "%.1f MB of memory beyond the %.1f MB held before\n",
                Mb(archiveSize), status, Mb(console.written), seconds, Mb(bench::PeakMemoryBytes() - resident),
                Mb(resident));
    return 0;
}
