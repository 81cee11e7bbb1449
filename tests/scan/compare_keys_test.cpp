#include "scan/compare_keys.h"

#include <gtest/gtest.h>

#include <map>

#include "changes/value_type.h"
#include "platform/memory/memory_platform.h"
#include "scan/registry_scan.h"
#include "scan/shared_counter.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
using testing::Dword;

const std::string kShared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

class CompareKeysTest : public ::testing::Test {
protected:
    platform::memory::MemoryPlatform memory;
    AppContext context;
    testing::StoppableWorker worker{context};
    ScanEnv env{memory.registry, memory.files, context, worker};
    testing::RecordingSink sink;
    SnapshotTree before;

    void TakeFirst(platform::RootKey root = kLocalMachine) { before = ReadKey(env, root, {}, {}); }
    // Both passes against the live registry, as the rescan runs them.
    void Compare(platform::RootKey root = kLocalMachine) {
        const SnapshotTree after = ReadKey(env, root, {}, {});
        CompareKeys(env, sink, after.Root, before.Root, {}, root, false);
        CompareKeys(env, sink, before.Root, after.Root, {}, root, true);
    }
    const TNodeData& Only() {
        EXPECT_EQ(sink.entries.size(), 1u);
        return sink.entries.at(0).record;
    }
};

TEST_F(CompareKeysTest, CreatedKeyIsReportedBeforeItsValuesAndSubKeys) {
    memory.registry.PutDword(kLocalMachine, "Software\\Old", "x", 1);
    TakeFirst();
    memory.registry.PutString(kLocalMachine, "Software\\New", "v1", "a");
    memory.registry.PutDword(kLocalMachine, "Software\\New", "v2", 2);
    memory.registry.PutString(kLocalMachine, "Software\\New\\Sub", "s", "b");
    Compare();
    // The live tree lists values and sub-keys in reverse enumeration order.
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{
                                "1 HKEY_LOCAL_MACHINE\\Software|New",
                                "3 HKEY_LOCAL_MACHINE\\Software\\New|v2",
                                "3 HKEY_LOCAL_MACHINE\\Software\\New|v1",
                                "1 HKEY_LOCAL_MACHINE\\Software\\New|Sub",
                                "3 HKEY_LOCAL_MACHINE\\Software\\New\\Sub|s",
                            }));
    EXPECT_EQ(sink.entries[0].record.Path, "Software");
    EXPECT_EQ(sink.entries[0].record.RootKey, kLocalMachine);
    EXPECT_EQ(sink.entries[3].record.Path, "Software\\New");
    EXPECT_EQ(sink.entries[4].record.Path, "Software\\New\\Sub");
    EXPECT_EQ(std::string(sink.entries[4].record.NewText()), "b");
    EXPECT_EQ(sink.entries[4].record.ValueType, 1);
}

TEST_F(CompareKeysTest, DeletedKeyKeepsItsOldData) {
    memory.registry.PutString(kLocalMachine, "Gone", "v", "old");
    memory.registry.PutDword(kLocalMachine, "Gone\\Sub", "n", 3);
    TakeFirst();
    memory.registry.DeleteKey(kLocalMachine, "Gone\\Sub");
    memory.registry.DeleteKey(kLocalMachine, "Gone");
    Compare();
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"2 HKEY_LOCAL_MACHINE|Gone", "5 HKEY_LOCAL_MACHINE\\Gone|v",
                                                      "2 HKEY_LOCAL_MACHINE\\Gone|Sub",
                                                      "5 HKEY_LOCAL_MACHINE\\Gone\\Sub|n"}));
    EXPECT_EQ(sink.entries[0].record.Path, "");
    EXPECT_EQ(std::string(sink.entries[1].record.OldText()), "old");
    EXPECT_EQ(testing::OldBytes(sink.entries[3].record), Dword(3));
    EXPECT_FALSE(sink.entries[3].record.NewData.Present());
}

TEST_F(CompareKeysTest, ChangedValueCarriesBothCopiesAndBothTypesButCaseAloneIsNoChange) {
    memory.registry.Put(kLocalMachine, "K", "grow", platform::kRegBinary, {1, 2, 3, 4});
    memory.registry.PutString(kLocalMachine, "K", "Same", "s");
    memory.registry.PutString(kLocalMachine, "K", "typed", "t");
    memory.registry.PutString(kLocalMachine, "", "atRoot", "1");
    TakeFirst();
    memory.registry.Put(kLocalMachine, "K", "grow", platform::kRegBinary, {1, 2, 3, 4, 5});
    // The same bytes under another type: a change, restored under REG_SZ.
    memory.registry.Put(kLocalMachine, "K", "typed", platform::kRegExpandSz, testing::Bytes(std::string("t\0", 2)));
    memory.registry.PutString(kLocalMachine, "", "atRoot", "2");
    // A value renamed only in letter case is the same value.
    platform::RegKey key;
    ASSERT_EQ(memory.registry.OpenKey(kLocalMachine, "K", platform::kKeyAllAccess, key), 0);
    memory.registry.DeleteValue(key, "Same");
    memory.registry.PutString(kLocalMachine, "K", "SAME", "s");
    Compare();
    ASSERT_EQ(sink.Lines(), (std::vector<std::string>{"4 HKEY_LOCAL_MACHINE\\|atRoot", "4 HKEY_LOCAL_MACHINE\\K|typed",
                                                      "4 HKEY_LOCAL_MACHINE\\K|grow"}));
    EXPECT_EQ(sink.entries[0].record.Path, "");
    EXPECT_EQ(sink.entries[0].record.ValueType, 1);
    const TNodeData& typed = sink.entries[1].record;
    EXPECT_EQ(TypeBefore(typed.Kind, typed.ValueType), platform::kRegSz);
    EXPECT_EQ(TypeAfter(typed.Kind, typed.ValueType), platform::kRegExpandSz);
    const TNodeData& grow = sink.entries[2].record;
    EXPECT_EQ(testing::OldBytes(grow), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(testing::NewBytes(grow), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(grow.ValueType, 3);
}

TEST_F(CompareKeysTest, FirstMatchInListOrderWinsAlsoOnWideLevels) {
    // Built by hand: a snapshot may hold names that differ only in case.
    for (int width : {3, 40}) {
        SnapshotTree oldTree;
        SnapshotTree newTree;
        oldTree.Root = oldTree.NewNode("");
        newTree.Root = newTree.NewNode("");
        TNode** oldLink = &oldTree.Root->FirstChild;
        for (int i = 0; i < width; ++i) {
            *oldLink = oldTree.NewNode(testing::Numbered("k", i));
            oldLink = &(*oldLink)->NextSibling;
        }
        TNode* first = oldTree.NewNode("Dup");
        TNode* second = oldTree.NewNode("DUP");
        second->Values = oldTree.NewValue("v", 1, reinterpret_cast<const std::uint8_t*>("b"), 1);
        first->Values = oldTree.NewValue("v", 1, reinterpret_cast<const std::uint8_t*>("a"), 1);
        *oldLink = first;
        first->NextSibling = second;
        newTree.Root->FirstChild = newTree.NewNode("dup");
        newTree.Root->FirstChild->Values = newTree.NewValue("V", 1, reinterpret_cast<const std::uint8_t*>("b"), 1);

        sink.entries.clear();
        CompareKeys(env, sink, newTree.Root, oldTree.Root, {}, kCurrentUser, false);
        ASSERT_EQ(sink.Lines(), (std::vector<std::string>{"4 HKEY_CURRENT_USER\\dup|V"})) << width;
        EXPECT_EQ(std::string(sink.entries[0].record.OldText()), "a");
    }
}

TEST_F(CompareKeysTest, SharedCountersOfExistingFilesRecordTheirIncrement) {
    memory.files.AddFile("C:\\Windows\\a.dll");
    memory.files.AddFile("C:\\Windows\\b.dll");
    memory.files.AddFile("C:\\Windows\\c.dll");
    memory.files.AddFile("C:\\Windows\\t.dll");
    memory.files.AddFile("C:\\Windows\\odd.dll");
    memory.registry.PutDword(kLocalMachine, kShared, "C:\\Windows\\a.dll", 1);
    memory.registry.PutString(kLocalMachine, kShared, "C:\\Windows\\b.dll", "2");
    memory.registry.PutString(kLocalMachine, kShared, "C:\\Windows\\t.dll", "3");
    memory.registry.PutString(kLocalMachine, kShared, "C:\\Windows\\odd.dll", "x1");
    memory.registry.PutDword(kLocalMachine, kShared, "C:\\Windows\\removed.dll", 4);
    TakeFirst();
    memory.registry.PutDword(kLocalMachine, kShared, "C:\\Windows\\a.dll", 2);
    memory.registry.PutString(kLocalMachine, kShared, "C:\\Windows\\b.dll", "5");
    memory.registry.PutString(kLocalMachine, kShared, "C:\\Windows\\t.dll", "03");
    memory.registry.PutString(kLocalMachine, kShared, "C:\\Windows\\odd.dll", "x2");
    memory.registry.PutDword(kLocalMachine, kShared, "C:\\Windows\\c.dll", 1);
    memory.registry.PutDword(kLocalMachine, kShared, "C:\\Windows\\missing.dll", 1);
    platform::RegKey key;
    ASSERT_EQ(memory.registry.OpenKey(kLocalMachine, kShared, platform::kKeyAllAccess, key), 0);
    memory.registry.DeleteValue(key, "C:\\Windows\\removed.dll");
    Compare();

    std::map<std::string, const TNodeData*> byName;
    for (const auto& entry : sink.entries) byName[entry.name] = &entry.record;
    ASSERT_EQ(byName.size(), 7u);
    const TNodeData& a = *byName["C:\\Windows\\a.dll"];
    EXPECT_EQ(a.Kind, ckSharedCounterIncremented);
    EXPECT_EQ(testing::OldBytes(a), Dword(1));
    EXPECT_EQ(testing::NewBytes(a), Dword(1));
    EXPECT_EQ(a.ValueType, 4);
    const TNodeData& b = *byName["C:\\Windows\\b.dll"];
    EXPECT_EQ(b.Kind, ckSharedCounterIncremented);
    EXPECT_EQ(b.ValueType, 4);
    EXPECT_EQ(testing::NewBytes(b), Dword(3));
    EXPECT_EQ(std::string(b.OldText()), "2");
    EXPECT_EQ(byName["C:\\Windows\\t.dll"]->Kind, ckSharedCounterIncremented);
    EXPECT_EQ(testing::NewBytes(*byName["C:\\Windows\\t.dll"]), Dword(0));
    // Not a number: an ordinary change.
    EXPECT_EQ(byName["C:\\Windows\\odd.dll"]->Kind, ckRegValueChanged);
    EXPECT_EQ(std::string(byName["C:\\Windows\\odd.dll"]->NewText()), "x2");
    EXPECT_EQ(byName["C:\\Windows\\c.dll"]->Kind, ckSharedCounterIncremented);
    EXPECT_EQ(testing::NewBytes(*byName["C:\\Windows\\c.dll"]), Dword(1));
    EXPECT_EQ(byName["C:\\Windows\\missing.dll"]->Kind, ckRegValueCreated);
    EXPECT_EQ(byName["C:\\Windows\\removed.dll"]->Kind, ckRegValueDeleted);
}

TEST_F(CompareKeysTest, SharedCounterRuleBelongsToTheMachineKeyOnly) {
    memory.files.AddFile("C:\\Windows\\a.dll");
    memory.registry.PutDword(kCurrentUser, kShared, "C:\\Windows\\a.dll", 1);
    TakeFirst(kCurrentUser);
    memory.registry.PutDword(kCurrentUser, kShared, "C:\\Windows\\a.dll", 2);
    Compare(kCurrentUser);
    EXPECT_EQ(Only().Kind, ckRegValueChanged);
    EXPECT_EQ(testing::NewBytes(Only()), Dword(2));
}

TEST_F(CompareKeysTest, StopRequestEndsTheComparison) {
    TakeFirst();
    for (int k = 0; k < 30; ++k) memory.registry.PutDword(kLocalMachine, testing::Numbered("K", k), "v", 1);
    const SnapshotTree after = ReadKey(env, kLocalMachine, {}, {});
    worker.stopAfter = worker.pausePoints + 4;
    CompareKeys(env, sink, after.Root, before.Root, {}, kLocalMachine, false);
    // Each new key is one record and one value; the walk stops after the
    // fourth pause point, at the next test.
    EXPECT_EQ(sink.entries.size(), 4u);
    EXPECT_EQ(context.WizardState.load(), TWizardState::wsStopped);
}

}  // namespace
}  // namespace kelvora
