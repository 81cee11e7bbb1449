// The exports of a large changes tree: the JSON export of 100,000 and of
// 1,000,000 changes (its time, its size and the memory it takes beyond the
// tree's: the export is written a piece at a time, so that should not grow
// with the tree), and the HTML report of 100,000 changes, written to the
// file named on the command line for tools/html-report-bench.sh to open in
// a browser.
//   export_bench [REPORT.html]
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "changes/changes_tree.h"
#include "export/html_report.h"
#include "export/json_export.h"
#include "platform/memory/memory_collation.h"
#include "support/peak_memory.h"

namespace {

using namespace kelvora;

double Mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// keys keys of 20 values each, with real-world lengths (key paths of about
// 70 characters, names over 15, data of 40 bytes), below one CLSID branch.
void Fill(ChangesTree& tree, int keys) {
    tree.StartFill(false);
    const std::string text(39, 't');
    for (int key = 0; key < keys; ++key) {
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
    tree.FinishFill();
}

void Json(int keys) {
    TSettings settings;
    ChangesTree tree(settings);
    Fill(tree, keys);
    platform::memory::MemoryCollation names;
    std::FILE* out = std::fopen("/dev/null", "wb");
    std::size_t written = 0;
    const std::size_t resident = bench::ResetPeakMemory() ? bench::PeakMemoryBytes() : 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t processor = std::clock();
    {
        const auto access = tree.Lock();
        std::string buffer;
        auto flush = [&](std::string& piece) {
            if (piece.size() < (std::size_t{1} << 20)) return;
            written += std::fwrite(piece.data(), 1, piece.size(), out);
            piece.clear();
        };
        WriteJson(access, kNoNode, names, {"Bench", "2026-12-08T00:00:00", "Kelvora"}, buffer, flush);
        written += std::fwrite(buffer.data(), 1, buffer.size(), out);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fclose(out);
    const double cpu = static_cast<double>(std::clock() - processor) / CLOCKS_PER_SEC;
    std::printf("JSON export of %d changes: %.1f MB written in %.2f s (processor %.2f s), %.1f MB of memory beyond "
                "the %.1f MB held before (the tree)\n",
                keys * 20, Mb(written), seconds, cpu, Mb(bench::PeakMemoryBytes() - resident), Mb(resident));
}

}  // namespace

int main(int argc, char** argv) {
    Json(5000);
    Json(50000);
    if (argc > 1) {
        TSettings settings;
        ChangesTree tree(settings);
        Fill(tree, 5000);
        platform::memory::MemoryCollation names;
        std::FILE* out = std::fopen(argv[1], "wb");
        if (out == nullptr) return 1;
        const auto start = std::chrono::steady_clock::now();
        std::size_t written = 0;
        {
            const auto access = tree.Lock();
            std::string buffer;
            auto flush = [&](std::string& piece) {
                if (piece.size() < (std::size_t{1} << 20)) return;
                written += std::fwrite(piece.data(), 1, piece.size(), out);
                piece.clear();
            };
            ReportWords words;
            words.Title = "'Bench' changes";
            words.Changes = "Detected changes";
            words.Before = "Before";
            words.After = "After";
            words.Search = "Search";
            words.Recorded = "Recorded";
            words.Total = "All changes";
            words.Marks = {"(REG KEY)", "(REG VAL)", "(FILE)", "(FOLDER)", "(MOVED FROM)", "(MOVED TO)", "(INCREMENTED)"};
            WriteHtml(access, kNoNode, names, {"Bench", "08/12/2026 00:00:00", ""}, words,
                      {"(Default)", " bytes", "(incremented)", "(zero length data)"}, false, buffer, flush);
            written += std::fwrite(buffer.data(), 1, buffer.size(), out);
        }
        std::fclose(out);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("HTML report of 100,000 changes: %.1f MB written in %.2f s to %s\n", Mb(written), seconds, argv[1]);
    }
    return 0;
}
