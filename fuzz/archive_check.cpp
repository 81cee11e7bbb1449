#include <cstring>
#include <string>
#include <vector>

#include "changes/archive_load.h"
#include "changes/archive_save.h"
#include "changes/chg_archive.h"
#include "changes/text_export.h"
#include "checks.h"
#include "fuzz_support.h"
#include "platform/memory/fixed_clock.h"
#include "platform/memory/memory_collation.h"
#include "platform/memory/memory_file_system.h"
#include "platform/text.h"

namespace kelvora::fuzz {

namespace {

using Bytes = std::vector<std::uint8_t>;


bool SameBlock(const DataBlock& a, std::int32_t aSize, const DataBlock& b, std::int32_t bSize) {
    if (aSize != bSize || a.Present() != b.Present()) return false;
    return !a.Present() || aSize <= 0 || std::memcmp(a.Get(), b.Get(), static_cast<std::size_t>(aSize)) == 0;
}

// What differs between two nodes, or nothing. The record's Path names the
// item for the uninstaller, so it may differ from the branch names only in
// letter case.
std::string NodeDifference(const ChangesTree::Access& a, NodeId x, const ChangesTree::Access& b, NodeId y) {
    const TNodeData& p = a.Data(x);
    const TNodeData& q = b.Data(y);
    if (p.Kind != q.Kind || p.Name != q.Name) {
        return "kind " + std::to_string(p.Kind) + " \"" + p.Name + "\" against " + std::to_string(q.Kind) + " \"" +
               q.Name + "\"";
    }
    if (a.CheckState(x) != b.CheckState(y)) return "check state";
    if (p.Activity != q.Activity) return "activity reason";
    if (a.ChildCount(x) != b.ChildCount(y)) return "number of children";
    if (!IsStoredKind(p.Kind)) return {};
    if (p.RootKey != q.RootKey || p.ValueType != q.ValueType) return "root key or value type";
    if (!EqualsNoCase(p.Path, q.Path)) return "path \"" + p.Path + "\" against \"" + q.Path + "\"";
    // A text ends at its first NUL for everything that reads it, and is
    // saved so.
    if (p.Kind >= ckFileCreated || (p.Kind == ckSharedCounterIncremented && p.ValueType == platform::kRegSz)) {
        if (p.OldText() != q.OldText() || p.NewText() != q.NewText()) return "text";
        return {};
    }
    if (!SameBlock(p.OldData, p.OldSize, q.OldData, q.OldSize)) return "old data";
    if (!SameBlock(p.NewData, p.NewSize, q.NewData, q.NewSize)) return "new data";
    return {};
}

// Both trees node by node in pre-order.
std::string TreeDifference(ChangesTree& first, ChangesTree& second) {
    const ChangesTree::Access a = first.Lock();
    const ChangesTree::Access b = second.Lock();
    std::vector<std::pair<NodeId, NodeId>> stack{{a.Root(), b.Root()}};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (std::string d = NodeDifference(a, x, b, y); !d.empty()) return d + " at " + a.FullPath(x);
        NodeId j = b.FirstChild(y);
        for (NodeId i = a.FirstChild(x); i != kNoNode; i = a.NextSibling(i), j = b.NextSibling(j)) {
            stack.emplace_back(i, j);
        }
    }
    return {};
}

// The number of leaves of each kind.
std::array<int, 19> LeafCounts(ChangesTree& tree) {
    std::array<int, 19> counts{};
    const ChangesTree::Access a = tree.Lock();
    std::vector<NodeId> stack{a.Root()};
    while (!stack.empty()) {
        const NodeId n = stack.back();
        stack.pop_back();
        if (IsStoredKind(a.Data(n).Kind)) ++counts[static_cast<std::size_t>(a.Data(n).Kind)];
        for (NodeId c = a.FirstChild(n); c != kNoNode; c = a.NextSibling(c)) stack.push_back(c);
    }
    return counts;
}

class Fixture {
public:
    Fixture() {
        files.AddFolder(kProgramFolder);
        context.ProgramFolder = kProgramFolder;
    }

    std::string Path(std::string_view identifier) const {
        return ArchiveFileBase(kProgramFolder, identifier) + std::string(kArchiveExtension);
    }

    // Loads identifier's archive into tree as the uninstall wizard does; the
    // progress must only grow, from 0 to 100.
    TWorkEnd Load(std::string_view identifier, ChangesTree& tree, std::string& fault) {
        context.AppIdentifier = identifier;
        tree.StartFill(true);
        int last = 0;
        const TWorkEnd end = LoadCheckTree(context, files, clock, tree, control, [&](int percent) {
            if (percent < last || percent > 100) fault = "progress went from " + std::to_string(last) + " to " +
                                                          std::to_string(percent);
            last = percent;
        });
        tree.FinishFill();
        return end;
    }

    // Saves tree as identifier's archive and answers its records.
    Bytes Save(ChangesTree& tree, std::string_view identifier) {
        TChgArchive archive(files, clock, ArchiveFileBase(kProgramFolder, identifier));
        SaveChangesTree(tree, archive);
        return Bytes(archive.Content().begin() + kArchiveHeaderSize, archive.Content().end());
    }

    platform::memory::MemoryFileSystem files;
    platform::memory::FixedClock clock;
    AppContext context;
    NeverStop control;
};

// MarkUsed changes the use count and the date, never the records.
std::string CheckMarkUsed(Fixture& f, const Bytes& input) {
    TChgArchive archive(f.files, f.clock, ArchiveFileBase(kProgramFolder, "App"));
    TChgHeader before;
    if (!archive.Open() || !archive.GetHeader(before)) return "an archive that opened once does not open again";
    f.clock.Advance(1.0);
    archive.MarkUsed();
    Bytes after;
    f.files.ReadFile(f.Path("App"), after);
    TChgHeader header;
    const auto counted = static_cast<std::int32_t>(static_cast<std::uint32_t>(before.UseCount) + 1u);
    if (!archive.GetHeader(header) || header.UseCount != counted || header.LastUsed != f.clock.Now()) {
        return "MarkUsed did not count the use";
    }
    if (!std::equal(input.begin() + kArchiveHeaderSize, input.end(), after.begin() + kArchiveHeaderSize,
                    after.end())) {
        return "MarkUsed changed the records";
    }
    return {};
}

}  // namespace

std::string CheckArchive(Input bytes) {
    Fixture f;
    const Bytes input(bytes.begin(), bytes.end());
    f.files.WriteFile(f.Path("App"), input.data(), input.size());
    TChgArchive opened(f.files, f.clock, ArchiveFileBase(kProgramFolder, "App"));
    const bool valid = opened.Open();

    std::string fault;
    ChangesTree first(f.context.Settings);
    const TWorkEnd end = f.Load("App", first, fault);
    if (!fault.empty()) return fault;
    if (end != TWorkEnd::Completed && end != TWorkEnd::Refused) return "the load ended in another state";
    if (!valid && (end != TWorkEnd::Refused || first.Lock().NodeCount() != 3)) {
        return "an archive that does not open was loaded";
    }
    // With no ignore lists every record read is placed.
    const std::array<int, 19> counts = f.context.LoadedCounts;
    const std::array<int, 19> leaves = LeafCounts(first);
    for (std::int32_t kind : {1, 2, 3, 4, 5, 6, 7, 9}) {
        if (counts[static_cast<std::size_t>(kind)] != leaves[static_cast<std::size_t>(kind)]) {
            return "the count of kind " + std::to_string(kind) + " is not the number of its leaves";
        }
    }
    {
        const ChangesTree::Access access = first.Lock();
        const CellWords words = CellWords::Translated();
        const platform::memory::MemoryCollation collation;
        BuildDocument(access, kNoNode, false, words, collation);
        BuildDocument(access, kNoNode, true, words, collation);
    }
    if (!valid) return {};
    if (fault = CheckMarkUsed(f, input); !fault.empty()) return fault;

    // What was loaded, saved and loaded again is the same tree, and saves as
    // the same records.
    const Bytes saved = f.Save(first, "Again");
    ChangesTree second(f.context.Settings);
    if (f.Load("Again", second, fault) != TWorkEnd::Completed) return "a saved tree does not load";
    if (!fault.empty()) return fault;
    if (f.context.LoadedCounts != counts) return "the saved tree loads other counts";
    if (fault = TreeDifference(first, second); !fault.empty()) return "the reloaded tree differs: " + fault;
    if (f.Save(second, "Third") != saved) return "the reloaded tree saves other records";
    return {};
}

}  // namespace kelvora::fuzz
