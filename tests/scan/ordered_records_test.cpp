// One snapshot written by several threads: whatever is handed off and
// however little the parts may hold, the bytes are those of one walk.
#include "scan/ordered_records.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

// A tree of three levels below its root, four then eight then three wide;
// each node writes a record before and after each of its children (as a
// folder's files come before and after its sub-folders).
template <class HandOff>
void WalkTree(TDBTree& out, const std::string& path, std::size_t depth, const std::function<void()>& wrote,
              const HandOff& handOff) {
    static constexpr std::size_t kWidth[] = {4, 8, 3, 0};
    const std::uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8};
    out.WriteRecord(path, {}, nullptr, dbKindKey, 0);
    wrote();
    for (std::size_t i = 0; i < kWidth[depth]; ++i) {
        out.WriteRecord(path, "before" + std::to_string(i), data, dbKindRaw, 8);
        wrote();
        const std::string child = path + "\\c" + std::to_string(i);
        if (!handOff(child, depth + 1)) WalkTree(out, child, depth + 1, wrote, handOff);
        out.WriteValueRecord(path, "after" + std::to_string(i), data, 7, 4);
        wrote();
    }
}

std::vector<std::uint8_t> Written(platform::memory::MemoryPlatform& memory, unsigned workers,
                                  std::size_t heldBudget) {
    testing::NeverStopped running;
    TDBTree out = TDBTree::CreateStreaming(memory.files, "C:\\", "out");
    if (workers == 1) {
        WalkTree(out, "Root", 0, [] {}, [](const std::string&, std::size_t) { return false; });
    } else {
        TWorkerPool pool(running, workers);
        const auto stream = std::make_shared<TOrderedRecords>(
            pool, running, out,
            [](PartWriter& part, const std::string& path, std::size_t depth, IWorkerControl&) {
                WalkTree(part.Records(), path, depth, [&part] { part.Wrote(); },
                         [&part](const std::string& child, std::size_t at) { return part.HandOff(child, at); });
            },
            heldBudget);
        stream->Run("Root");
    }
    out.Save(memory.files);
    std::vector<std::uint8_t> bytes;
    memory.files.ReadFile("C:\\out.sns", bytes);
    return bytes;
}

TEST(OrderedRecordsTest, PartsJoinInTheWalksOrderWhateverTheyMayHold) {
    platform::memory::MemoryPlatform memory;
    const std::vector<std::uint8_t> one = Written(memory, 1, 0);
    EXPECT_GT(one.size(), 5000u);
    for (const std::size_t budget : {std::size_t{1}, std::size_t{2000}, TOrderedRecords::kHeldBudget}) {
        for (int round = 0; round < 10; ++round) EXPECT_TRUE(Written(memory, 4, budget) == one) << budget;
    }
}

}  // namespace
}  // namespace kelvora
