#include <atomic>
#include <string>
#include <vector>

#include "checks.h"
#include "fuzz_support.h"
#include "platform/memory/memory_file_system.h"
#include "scan/db_tree.h"
#include "scan/snapshot_loader.h"

namespace kelvora::fuzz {

namespace {


std::string SnapshotFile(std::string_view base) { return std::string(kProgramFolder) + "\\" + std::string(base) + ".sns"; }

void PutFile(platform::memory::MemoryFileSystem& fs, std::string_view base, Input bytes) {
    fs.WriteFile(SnapshotFile(base), bytes.data(), bytes.size());
}

// Every record read lies inside the file, and a record takes at least its
// four header bytes.
std::string ReadRecords(platform::memory::MemoryFileSystem& fs, Input bytes) {
    PutFile(fs, "HKLM", bytes);
    TDBTree db = TDBTree::CreateFromFile(fs, kProgramFolder, "HKLM");
    const std::uint8_t* begin = db.Bytes().data();
    const std::uint8_t* end = begin + db.Bytes().size();
    std::string path;
    std::string name;
    std::size_t records = 0;
    for (db.ReadHeader(path); !db.EndOfData(); db.ReadHeader(path)) {
        if (++records > bytes.size() / 4) return "more records than the file has room for";
        if (db.Kind() == dbKindKey) continue;
        db.ReadName(name);
        const auto data = db.ReadData();
        if ((db.Header() & dbNoData) != 0 ? !data.empty() : data.size() != static_cast<std::size_t>(db.DataSize())) {
            return "a record's data does not have its stated size";
        }
        if (!data.empty() && (data.data() < begin || data.data() + data.size() > end)) {
            return "a record's data lies outside the file";
        }
    }
    return {};
}

// The tree has no cycle, no more nodes than the file has bytes, and items
// whose data agrees with their size.
std::string CheckTree(const SnapshotTree& tree, bool fileSystem, std::size_t fileSize) {
    if (!fileSystem && tree.Root != nullptr && tree.Root->NextSibling != nullptr) {
        return "a registry tree with more than one root";
    }
    std::size_t nodes = 0;
    std::vector<const TNode*> stack;
    for (const TNode* n = tree.Root; n != nullptr; n = n->NextSibling) stack.push_back(n);
    while (!stack.empty()) {
        const TNode* node = stack.back();
        stack.pop_back();
        if (++nodes > fileSize + 1) return "more nodes than the file has bytes (a cycle?)";
        std::size_t items = 0;
        for (const TValori* v = node->Values; v != nullptr; v = v->Next) {
            if (++items > fileSize) return "more items than the file has bytes (a cycle?)";
            if (v->Size < 0 || (v->Size == 0) != (v->Data == nullptr)) return "an item's data disagrees with its size";
            // Touch every byte, so that the sanitizers see a block that is
            // shorter than its size.
            unsigned sum = 0;
            for (std::int32_t i = 0; i < v->Size; ++i) sum += v->Data[i];
            for (char c : v->Name) sum += static_cast<unsigned char>(c);
            (void)sum;
        }
        for (const TNode* c = node->FirstChild; c != nullptr; c = c->NextSibling) stack.push_back(c);
    }
    return {};
}

}  // namespace

std::string CheckSnapshot(Input bytes) {
    platform::memory::MemoryFileSystem fs;
    fs.AddFolder(kProgramFolder);
    if (std::string fault = ReadRecords(fs, bytes); !fault.empty()) return fault;

    std::atomic<TWizardState> state{TWizardState::wsRescanning};
    NeverStop control;
    for (const std::string_view base : {"HKLM", "FIS1"}) {
        PutFile(fs, base, bytes);
        const SnapshotTree tree = LoadSnapshot(fs, kProgramFolder, base, state, control);
        if (fs.Exists(SnapshotFile(base))) {
            return "the snapshot file is still there after loading";
        }
        if (std::string fault = CheckTree(tree, base.front() == 'F', bytes.size()); !fault.empty()) {
            return std::string(base) + ": " + fault;
        }
    }
    return {};
}

}  // namespace kelvora::fuzz
