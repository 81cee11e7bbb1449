// Snapshot store: writes a registry snapshot of about a million records,
// loads it back into a tree and frees the tree. The shape is the hard case
// for the full-path walk: over a hundred thousand keys on one level, each
// revisited by a full path after its sub-tree.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/memory/memory_file_system.h"
#include "scan/db_tree.h"
#include "scan/snapshot_loader.h"

using namespace kelvora;
using Clock = std::chrono::steady_clock;

namespace {

class NoControl : public IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::size_t CountRecords(const TNode* node) {
    std::size_t count = 0;
    for (; node != nullptr; node = node->NextSibling) {
        ++count;
        for (const TValori* v = node->Values; v != nullptr; v = v->Next) ++count;
        count += CountRecords(node->FirstChild);
    }
    return count;
}

}  // namespace

int main() {
    constexpr int kKeys = 111'112;  // 9 records each
    const std::uint8_t dword[4] = {1, 0, 0, 0};
    const char text[] = "C:\\Program Files\\Example\\example.exe,0";

    auto start = Clock::now();
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKCR");
    db.WriteRecord("", "", nullptr, 0, 0);
    char key[32];
    for (int k = 0; k < kKeys; ++k) {
        std::snprintf(key, sizeof key, "Key%06d", k);
        const std::string path = key;
        db.WriteRecord(path, "", nullptr, 0, 0);
        db.WriteRecord(path, "", reinterpret_cast<const std::uint8_t*>(text), 1, sizeof text);
        db.WriteRecord(path, "EditFlags", dword, 4, 4);
        db.WriteRecord(path + "\\Shell", "", nullptr, 0, 0);
        db.WriteRecord(path + "\\Shell", "", reinterpret_cast<const std::uint8_t*>(text), 1, sizeof text);
        db.WriteRecord(path + "\\Shell\\Open", "", nullptr, 0, 0);
        db.WriteRecord(path + "\\Shell\\Open", "Command", reinterpret_cast<const std::uint8_t*>(text), 1,
                       sizeof text);
        db.WriteRecord(path + "\\DefaultIcon", "", nullptr, 0, 0);  // full path: back up a level
        db.WriteRecord(path + "\\DefaultIcon", "", reinterpret_cast<const std::uint8_t*>(text), 1, sizeof text);
    }
    const double writeMs = MsSince(start);

    platform::memory::MemoryFileSystem fs;
    fs.AddFolder("C:\\Kelvora");
    db.Save(fs);
    const std::size_t fileBytes = db.Bytes().size();

    std::atomic<TWizardState> state{TWizardState::wsRescanning};
    NoControl control;
    start = Clock::now();
    SnapshotLoadWork work;
    SnapshotTree tree = LoadSnapshot(fs, "C:\\Kelvora", "HKCR", state, control, &work);
    const double loadMs = MsSince(start);
    const std::size_t records = CountRecords(tree.Root);
    const std::size_t arenaBytes = tree.BytesReserved();

    start = Clock::now();
    tree = SnapshotTree{};
    const double freeMs = MsSince(start);

    std::printf("records: %zu (file %.1f MB, arena %.1f MB)\n", records, fileBytes / 1e6, arenaBytes / 1e6);
    std::printf("write records:        %8.1f ms\n", writeMs);
    std::printf("load (build) tree:    %8.1f ms (%.2f sibling links followed per record)\n", loadMs,
                static_cast<double>(work.LinksFollowed) / static_cast<double>(records));
    std::printf("free tree:            %8.1f ms\n", freeMs);
    return records == 1 + static_cast<std::size_t>(kKeys) * 9 ? 0 : 1;
}
