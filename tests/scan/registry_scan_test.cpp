#include "scan/registry_scan.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/memory/memory_platform.h"
#include "scan/compare_keys.h"
#include "scan/db_tree.h"
#include "scan/snapshot_loader.h"
#include "long_key_paths.h"
#include "scan_test_support.h"
#include "support/small_stack.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
using platform::kUsers;
using testing::Flatten;

const TNode* Child(const TNode* node, std::string_view name) {
    for (const TNode* child = node->FirstChild; child != nullptr; child = child->NextSibling) {
        if (child->Name() == name) return child;
    }
    return nullptr;
}

const TNode* At(const TNode* node, std::initializer_list<std::string_view> path) {
    for (std::string_view name : path) {
        if (node == nullptr) return nullptr;
        node = Child(node, name);
    }
    return node;
}

class RegistryScanTest : public ::testing::Test {
protected:
    platform::memory::MemoryPlatform memory;
    AppContext context;
    testing::StoppableWorker worker{context};
    ScanConfig config;
    ScanEnv env{memory.registry, memory.files, config, context.WizardState, worker};
};

TEST_F(RegistryScanTest, ReadKeyRecordsEveryValueWhateverItsSizeInReverseOrder) {
    auto& reg = memory.registry;
    reg.PutString(kCurrentUser, "Software\\T", "", "x");
    reg.Put(kCurrentUser, "Software\\T", "e", platform::kRegExpandSz, testing::Bytes(std::string("%a%\0", 4)));
    reg.Put(kCurrentUser, "Software\\T", "n", platform::kRegNone, {});
    std::vector<std::uint8_t> big(5000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    reg.Put(kCurrentUser, "Software\\T", "big", platform::kRegBinary, big);
    reg.PutDword(kCurrentUser, "Software\\T", "after", 7);
    reg.PutDword(kCurrentUser, "Software\\T\\A", "a", 1);
    reg.PutDword(kCurrentUser, "Software\\T\\B", "b", 2);

    const SnapshotTree tree = ReadKey(env, kCurrentUser, "T", "Software\\T");
    ASSERT_NE(tree.Root, nullptr);
    EXPECT_EQ(tree.Root->Name(), "T");
    EXPECT_EQ(Flatten(tree), (std::vector<std::string>{"T", "T|after|4|4", "T|big|3|5000", "T|n|0|0", "T|e|2|4",
                                                       "T||1|2", "T\\B", "T\\B|b|4|4", "T\\A", "T\\A|a|4|4"}));
    const TValori* item = tree.Root->Values->Next;
    ASSERT_EQ(item->Size, 5000);
    EXPECT_TRUE(std::equal(big.begin(), big.end(), item->Data()));
    EXPECT_EQ(memory.registry.OpenHandles(), 0u);
}

TEST_F(RegistryScanTest, SnapshotAndLiveTreeHoldTheSameContent) {
    auto& reg = memory.registry;
    reg.PutString(kLocalMachine, "", "RootValue", "r");
    reg.PutString(kLocalMachine, "Software\\Example", "Version", "1.0");
    reg.Put(kLocalMachine, "Software\\Example\\Deep\\Deeper", "blob", platform::kRegBinary,
            std::vector<std::uint8_t>(3000, 9));
    reg.PutDword(kLocalMachine, "Software\\Other", "n", 5);
    reg.PutDword(kLocalMachine, "System\\Setup", "", 1);
    // The types that are kept as raw bytes keep their own type too.
    reg.Put(kLocalMachine, "Software\\Types", "Path", platform::kRegExpandSz, testing::Bytes(std::string("%a%\0", 4)));
    reg.Put(kLocalMachine, "Software\\Types", "List", platform::kRegMultiSz,
            testing::Bytes(std::string("a\0b\0\0", 5)));
    reg.Put(kLocalMachine, "Software\\Types", "Big", platform::kRegQword, testing::Bytes(std::string(8, '\1')));
    reg.Put(kLocalMachine, "Software\\Types", "", platform::kRegNone, {});
    memory.files.AddFolder("C:\\Kelvora");

    TDBTree dbTree = TDBTree::CreateEmpty("C:\\Kelvora", "HKLM");
    ScanKey(env, kLocalMachine, {}, dbTree);
    // The root key's record comes first: kind 0, full path of length 0, no
    // name, no data.
    ASSERT_GE(dbTree.Bytes().size(), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(dbTree.Bytes().begin(), dbTree.Bytes().begin() + 4),
              (std::vector<std::uint8_t>{0x10, 0x11, 0x00, 0x00}));
    dbTree.Save(memory.files);

    const SnapshotTree loaded = LoadSnapshot(memory.files, "C:\\Kelvora", "HKLM", context.WizardState, worker);
    const SnapshotTree live = ReadKey(env, kLocalMachine, {}, {});
    std::vector<std::string> a = Flatten(loaded);
    std::vector<std::string> b = Flatten(live);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
    EXPECT_NE(std::find(a.begin(), a.end(), "Software\\Types|List|7|5"), a.end());

    testing::RecordingSink sink;
    CompareKeys(env, sink, live.Root, loaded.Root, {}, kLocalMachine, false);
    CompareKeys(env, sink, loaded.Root, live.Root, {}, kLocalMachine, true);
    EXPECT_TRUE(sink.entries.empty());
}

TEST_F(RegistryScanTest, SkippedAndUnreadableKeysAreRecordedWithoutContent) {
    auto& reg = memory.registry;
    reg.PutDword(kLocalMachine, "SOFTWARE\\Classes\\.txt", "x", 1);
    reg.PutDword(kCurrentUser, "Software\\Varnok\\Kelvora", "ScanHKCR", 1);
    reg.PutDword(kUsers, ".DEFAULT\\Software\\Varnok\\Kelvora", "ScanHKCR", 1);
    reg.PutDword(kUsers, "S-1-5-21\\Software\\Varnok\\Kelvora", "ScanHKCR", 1);
    reg.PutDword(kCurrentUser, "Software\\A", "a", 1);
    reg.PutDword(kCurrentUser, "Software\\B\\Inner", "b", 1);
    reg.PutDword(kCurrentUser, "Software\\C", "c", 1);
    ASSERT_TRUE(reg.SetDenied(kCurrentUser, "Software\\B", true));

    config.Settings.ScanHKCR = true;
    SnapshotTree machine = ReadKey(env, kLocalMachine, {}, {});
    const TNode* classes = At(machine.Root, {"SOFTWARE", "Classes"});
    ASSERT_NE(classes, nullptr);
    EXPECT_EQ(classes->FirstChild, nullptr);
    config.Settings.ScanHKCR = false;
    machine = ReadKey(env, kLocalMachine, {}, {});
    EXPECT_NE(At(machine.Root, {"SOFTWARE", "Classes", ".txt"}), nullptr);

    const SnapshotTree user = ReadKey(env, kCurrentUser, {}, {});
    const TNode* own = At(user.Root, {"Software", "Varnok", "Kelvora"});
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->Values, nullptr);
    const TNode* denied = At(user.Root, {"Software", "B"});
    ASSERT_NE(denied, nullptr);
    EXPECT_EQ(denied->FirstChild, nullptr);
    // Only the key that could not be opened counts as unreadable.
    EXPECT_TRUE(denied->Unreadable);
    EXPECT_FALSE(own->Unreadable);
    EXPECT_NE(At(user.Root, {"Software", "C"}), nullptr);  // the walk goes on after it

    const SnapshotTree users = ReadKey(env, kUsers, {}, {});
    EXPECT_EQ(At(users.Root, {".DEFAULT", "Software", "Varnok", "Kelvora"})->Values, nullptr);
    EXPECT_NE(At(users.Root, {"S-1-5-21", "Software", "Varnok", "Kelvora"})->Values, nullptr);
    EXPECT_EQ(memory.registry.OpenHandles(), 0u);
}

// The current user's keys are reached through HKEY_USERS too: the program's
// settings key never there, and the rest only once while HKEY_CURRENT_USER is
// scanned as well.
TEST_F(RegistryScanTest, CurrentUserKeysUnderUsersAreWalkedOnlyWhenNotScannedOtherwise) {
    auto& reg = memory.registry;
    const std::string sid = "S-1-5-21-1-2-3-1000";
    config.CurrentUserSid = sid;
    reg.PutDword(kUsers, sid + "\\Software\\Varnok\\Kelvora", "Width", 1);
    reg.PutDword(kUsers, sid + "\\Software\\App", "a", 1);
    reg.PutDword(kUsers, sid + "_Classes\\.app", "b", 1);
    reg.PutDword(kUsers, sid + "0\\Software\\Other", "c", 1);  // another user's, alike only in its start

    config.Settings.ScanHKCU = false;
    SnapshotTree users = ReadKey(env, kUsers, {}, {});
    EXPECT_EQ(At(users.Root, {sid, "Software", "Varnok", "Kelvora"})->Values, nullptr);
    EXPECT_NE(At(users.Root, {sid, "Software", "App"}), nullptr);
    EXPECT_NE(At(users.Root, {sid + "_Classes", ".app"}), nullptr);

    config.Settings.ScanHKCU = true;
    users = ReadKey(env, kUsers, {}, {});
    for (const std::string& own : {sid, sid + "_Classes"}) {
        const TNode* node = At(users.Root, {own});
        ASSERT_NE(node, nullptr) << own;
        EXPECT_EQ(node->FirstChild, nullptr) << own;
        EXPECT_FALSE(node->Unreadable) << own;
    }
    EXPECT_NE(At(users.Root, {sid + "0", "Software", "Other"}), nullptr);
}

TEST_F(RegistryScanTest, KeysBeyondTheLengthOfOneRegistryCallAreScannedAndUndone) {
    memory.files.AddFolder("C:\\Kelvora");
    config.ProgramFolder = "C:\\Kelvora";
    testing::ScanAndUndoDeepKeys(env, kCurrentUser, "Software\\Deep");
    EXPECT_EQ(memory.registry.OpenHandles(), 0u);
}

// No registry nests keys 10,000 deep, but a damaged snapshot (50 KB of
// one-letter relative paths) does: nothing may use stack per level.
TEST_F(RegistryScanTest, TenThousandNestedKeysAreWalkedAndComparedOnAOneMegabyteStack) {
    constexpr int kDepth = 10000;
    std::string path = "k";
    for (int i = 1; i < kDepth; ++i) path += "\\k";
    memory.registry.PutDword(kCurrentUser, path, "bottom", 1);
    memory.files.AddFolder("C:\\Kelvora");
    memory.files.SetCurrentDir("C:\\Kelvora");

    struct CountingSink : IChangeSink {
        std::map<std::int32_t, int> counts;
        void AddToTree(std::string_view, std::string_view, TNodeData&& record) override { ++counts[record.Kind]; }
    } same, gone;
    std::size_t snapshotBytes = 0;
    bool finished = false;
    testing::RunWithStack(testing::kOneMegabyte, [&] {
        TDBTree dbTree = TDBTree::CreateEmpty("C:\\Kelvora", "HKCU");
        ScanKey(env, kCurrentUser, {}, dbTree);
        snapshotBytes = dbTree.Bytes().size();
        dbTree.Save(memory.files);
        const SnapshotTree loaded = LoadSnapshot(memory.files, "C:\\Kelvora", "HKCU", context.WizardState, worker);
        const SnapshotTree live = ReadKey(env, kCurrentUser, {}, {});
        CompareKeys(env, same, live.Root, loaded.Root, {}, kCurrentUser, false);
        CompareKeys(env, same, loaded.Root, live.Root, {}, kCurrentUser, true);
        SnapshotTree empty;
        empty.Root = empty.NewNode({});
        CompareKeys(env, gone, loaded.Root, empty.Root, {}, kCurrentUser, true);
        finished = true;
    });
    EXPECT_TRUE(finished);
    EXPECT_LT(snapshotBytes, 51u * 1024u);
    EXPECT_TRUE(same.counts.empty());
    EXPECT_EQ(gone.counts, (std::map<std::int32_t, int>{{ckRegKeyDeleted, kDepth}, {ckRegValueDeleted, 1}}));
    EXPECT_EQ(memory.registry.OpenHandles(), 0u);
}

TEST_F(RegistryScanTest, KeysDeeperThanASnapshotRecordCanNameAreLeftOutOfBothScans) {
    std::string path;
    for (char letter = 'a'; path.size() < 70000; letter = letter == 'z' ? 'a' : letter + 1) {
        path += (path.empty() ? "" : "\\") + std::string(250, letter);
    }
    memory.registry.PutDword(kCurrentUser, path, "v", 1);
    memory.files.AddFolder("C:\\Kelvora");
    memory.files.SetCurrentDir("C:\\Kelvora");
    TDBTree dbTree = TDBTree::CreateEmpty("C:\\Kelvora", "HKCU");
    ASSERT_NO_THROW(ScanKey(env, kCurrentUser, {}, dbTree));
    dbTree.Save(memory.files);
    const SnapshotTree loaded = LoadSnapshot(memory.files, "C:\\Kelvora", "HKCU", context.WizardState, worker);
    const SnapshotTree live = ReadKey(env, kCurrentUser, {}, {});
    testing::RecordingSink sink;
    CompareKeys(env, sink, live.Root, loaded.Root, {}, kCurrentUser, false);
    CompareKeys(env, sink, loaded.Root, live.Root, {}, kCurrentUser, true);
    EXPECT_TRUE(sink.entries.empty());
    const std::size_t kept = dbMaxPathLength / 251 * 251 - 1;  // whole names of 250 and their backslashes
    EXPECT_NE(testing::FindKey(live.Root, path.substr(0, kept)), nullptr);
    EXPECT_EQ(testing::FindKey(live.Root, path.substr(0, kept + 251)), nullptr);
}

TEST_F(RegistryScanTest, StopRequestEndsTheWalkAtItsNextTest) {
    for (int k = 0; k < 20; ++k) {
        for (int v = 0; v < 20; ++v) memory.registry.PutDword(kLocalMachine, testing::Numbered("K", k), testing::Numbered("v", v), 1);
    }
    worker.stopAfter = 5;
    const SnapshotTree tree = ReadKey(env, kLocalMachine, {}, {});
    const std::size_t items = Flatten(tree).size();
    EXPECT_LE(items, 8u);
    EXPECT_EQ(memory.registry.OpenHandles(), 0u);
}

}  // namespace
}  // namespace kelvora
