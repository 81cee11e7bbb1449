#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>
#include <vector>

#include "changes/activity.h"
#include "changes/archive_load.h"
#include "changes/archive_save.h"
#include "changes/chg_archive.h"
#include "platform/memory/memory_platform.h"
#include "support/change_records.h"

namespace kelvora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::kHkcu;
using test::kHklm;
using test::Rec;

constexpr char kFile[] = "C:\\Kelvora\\App.qor";

// The archive encoding, written out independently of TChgArchive.
void Int(Bytes& b, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}
void Str(Bytes& b, std::string_view s) {
    Int(b, static_cast<std::int32_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}
void Raw(Bytes& b, const Bytes& raw) { b.insert(b.end(), raw.begin(), raw.end()); }

Bytes Header(double created) {
    Bytes b = {10, 'Q', ' ', 'O', ' ', 'R', ' ', 'f', 'i', 'l', 'e', 0, 200, 0, 0, 0};
    const auto bits = std::bit_cast<std::uint64_t>(created);
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    b.resize(56, 0);
    return b;
}

class FakeControl : public IWorkerControl {
public:
    bool Terminated() const override { return stopAfter >= 0 && points >= stopAfter; }
    void PausePoint() override {
        if (++points == faultAt) throw std::logic_error("a fault of the worker");
    }
    int stopAfter = -1;
    int faultAt = -1;
    int points = 0;
};

class ArchiveSaveLoadTest : public ::testing::Test {
protected:
    ArchiveSaveLoadTest() {
        os.files.AddFolder("C:\\Kelvora");
        context.ProgramFolder = "C:\\Kelvora";
        context.AppIdentifier = "App";
    }

    // The changes of one rescan, as the comparisons place them, and the
    // records the archive must hold for them, in the saver's order.
    void FillSample() {
        tree.StartFill(false);
        const std::string hklm = "HKEY_LOCAL_MACHINE";
        tree.AddToTree(hklm, "Soft", Rec(ckRegKeyCreated, "", kHklm));
        TNodeData v = Rec(ckRegValueCreated, "Soft", kHklm, 1);
        v.SetNewText("x");
        tree.AddToTree(hklm + "\\Soft", "v", std::move(v));
        TNodeData root = Rec(ckRegValueCreated, "", kHklm, 4);
        const std::uint8_t four[4] = {4, 3, 2, 1};
        root.SetNew(four, 4);
        tree.AddToTree(hklm + "\\", "rootval", std::move(root));
        TNodeData changed = Rec(ckRegValueChanged, "Soft\\Sub", kHklm, 3);
        const std::uint8_t oldBytes[1] = {1};
        const std::uint8_t newBytes[2] = {2, 3};
        changed.SetOld(oldBytes, 1);
        changed.SetNew(newBytes, 2);
        tree.AddToTree(hklm + "\\Soft\\Sub", "", std::move(changed));
        TNodeData deleted = Rec(ckRegValueDeleted, "Other", kHklm, 3);
        deleted.SetOld(nullptr, 0);
        tree.AddToTree(hklm + "\\Other", "empty", std::move(deleted));
        const std::string shared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
        TNodeData counter = Rec(ckSharedCounterIncremented, shared, kHklm, 4);
        const std::uint8_t one[4] = {1, 0, 0, 0};
        const std::uint8_t before[4] = {2, 0, 0, 0};
        counter.SetNew(one, 4);
        counter.SetOld(before, 4);  // not stored
        tree.AddToTree(hklm + "\\" + shared, "C:\\Windows\\x.dll", std::move(counter));
        TNodeData text = Rec(ckSharedCounterIncremented, shared, kHklm, 1);
        text.SetNewText("3");
        tree.AddToTree(hklm + "\\" + shared, "C:\\Windows\\y.dll", std::move(text));
        tree.AddToTree("HKEY_CURRENT_USER\\Gone", "Deep", Rec(ckRegKeyDeleted, "Gone", kHkcu));

        AddFile(ckFileCreated, "C:", "a.txt", "", "12:00 01/01/02 5");
        tree.AddToTree("C:", "App", Rec(ckFolderCreated, "C:"));
        AddFile(ckFileCreated, "C:\\App", "k.exe", "", "12:01 01/01/02 77");
        AddFile(ckFileChanged, "D:\\Data", "c.ini", "11:00 01/01/02 1", "12:00 01/01/02 2");
        AddFile(ckFileDeleted, "D:\\Data", "d.txt", "", "");  // an empty old text
        AddFile(ckFileMovedFrom, "D:\\Data", "m.bin", "10:00 01/01/02 9", "");
        AddFile(ckFileMovedTo, "D:\\Data", "n.bin", "", "10:00 01/01/02 9");
        tree.AddToTree("D:\\Data", "Old", Rec(ckFolderDeleted, "D:\\Data"));

        // Registry records: HKLM's subtree in insertion order, then HKCU.
        Record(ckRegKeyCreated, kHklm, [](Bytes& b) { Str(b, "\\Soft"); });
        Record(ckRegValueCreated, kHklm, [](Bytes& b) { Str(b, "Soft"), Str(b, "v"), Int(b, 1), Int(b, 2), Raw(b, {'x', 0}); });
        Record(ckRegValueChanged, kHklm, [](Bytes& b) {
            Str(b, "Soft\\Sub"), Str(b, ""), Int(b, 3), Int(b, 2), Raw(b, {2, 3}), Int(b, 1), Raw(b, {1});
        });
        Record(ckRegValueCreated, kHklm, [](Bytes& b) { Str(b, ""), Str(b, "rootval"), Int(b, 4), Int(b, 4), Raw(b, {4, 3, 2, 1}); });
        Record(ckRegValueDeleted, kHklm, [](Bytes& b) { Str(b, "Other"), Str(b, "empty"), Int(b, 3), Int(b, 0); });
        const std::string sharedPath = shared;
        Record(ckSharedCounterIncremented, kHklm, [&](Bytes& b) { Str(b, sharedPath), Str(b, "C:\\Windows\\x.dll"), Int(b, 4), Int(b, 1); });
        Record(ckSharedCounterIncremented, kHklm, [&](Bytes& b) { Str(b, sharedPath), Str(b, "C:\\Windows\\y.dll"), Int(b, 1), Str(b, "3"); });
        Record(ckRegKeyDeleted, kHkcu, [](Bytes& b) { Str(b, "Gone\\Deep"); });
        // File-system records, drive by drive.
        Record(ckFileCreated, 0, [](Bytes& b) { Str(b, "C:\\a.txt"), Str(b, "12:00 01/01/02 5"); });
        Record(ckFolderCreated, 0, [](Bytes& b) { Str(b, "C:\\App"); });
        Record(ckFileCreated, 0, [](Bytes& b) { Str(b, "C:\\App\\k.exe"), Str(b, "12:01 01/01/02 77"); });
        Record(ckFileChanged, 0, [](Bytes& b) { Str(b, "D:\\Data\\c.ini"), Str(b, "11:00 01/01/02 1"), Str(b, "12:00 01/01/02 2"); });
        Record(ckFileDeleted, 0, [](Bytes& b) { Str(b, "D:\\Data\\d.txt"), Str(b, ""); });
        Record(ckFileMovedFrom, 0, [](Bytes& b) { Str(b, "D:\\Data\\m.bin"), Str(b, "10:00 01/01/02 9"); });
        Record(ckFileMovedTo, 0, [](Bytes& b) { Str(b, "D:\\Data\\n.bin"), Str(b, "10:00 01/01/02 9"); });
        Record(ckFolderDeleted, 0, [](Bytes& b) { Str(b, "D:\\Data\\Old"); });
    }

    void AddFile(TChangeKind kind, const std::string& path, const std::string& name, const std::string& oldText,
                 const std::string& newText) {
        TNodeData d = Rec(kind, path);
        if (kind == ckFileChanged || kind == ckFileDeleted || kind == ckFileMovedFrom) d.SetOldText(oldText);
        if (kind == ckFileCreated || kind == ckFileChanged || kind == ckFileMovedTo) d.SetNewText(newText);
        tree.AddToTree(path, name, std::move(d));
    }

    template <typename Body>
    void Record(TChangeKind kind, std::uint32_t rootKey, Body body) {
        Int(expected, kind);
        if (rootKey != 0) Int(expected, static_cast<std::int32_t>(rootKey));
        body(expected);
        boundaries.push_back(expected.size());
    }

    Bytes SaveTree() {
        TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\App");
        SaveChangesTree(tree, archive);
        Bytes out;
        os.files.ReadFile(kFile, out);
        return out;
    }

    TWorkEnd Load(const Bytes& bytes, bool uninstall = true) {
        os.files.WriteFile(kFile, bytes.data(), bytes.size());
        tree.StartFill(uninstall);
        return LoadCheckTree(context, os.files, os.clock, tree, control, [this](int p) { progress.push_back(p); });
    }

    // The number of change leaves in the tree.
    std::size_t Leaves() {
        auto a = tree.Lock();
        std::size_t n = 0;
        std::vector<NodeId> stack{a.Root()};
        while (!stack.empty()) {
            const NodeId id = stack.back();
            stack.pop_back();
            if (IsStoredKind(a.Data(id).Kind)) ++n;
            for (NodeId c = a.FirstChild(id); c != kNoNode; c = a.NextSibling(c)) stack.push_back(c);
        }
        return n;
    }

    platform::memory::MemoryPlatform os;
    AppContext context;
    ChangesTree tree{context.Settings};
    FakeControl control;
    std::vector<int> progress;
    Bytes expected = Header(44986.5);
    std::vector<std::size_t> boundaries;
};

TEST_F(ArchiveSaveLoadTest, SavedBytesAreExact) {
    FillSample();
    EXPECT_EQ(SaveTree(), expected);
}

TEST_F(ArchiveSaveLoadTest, EmptyTreeSavesBareHeaderAndLoadsAsNoChanges) {
    tree.StartFill(false);
    const Bytes saved = SaveTree();
    EXPECT_EQ(saved, Header(44986.5));
    EXPECT_EQ(Load(saved), TWorkEnd::Completed);
    tree.FinishFill();
    auto a = tree.Lock();
    EXPECT_EQ(a.Data(a.FileSystem()).Name, "File System (no changes)");
    EXPECT_EQ(a.Data(a.Registry()).Name, "Registry (no changes)");
}

TEST_F(ArchiveSaveLoadTest, LoadRebuildsTheSameTreeWithChecksAndCounts) {
    FillSample();
    const Bytes saved = SaveTree();
    os.clock.Set(45000.0);
    ASSERT_EQ(Load(saved), TWorkEnd::Completed);
    const std::array<int, 19> counts = {0, 1, 1, 2, 1, 1, 2, 1, 0, 2};
    EXPECT_EQ(context.LoadedCounts, counts);
    EXPECT_EQ(progress.size(), boundaries.size());
    EXPECT_EQ(progress.back(), 100);
    {
        auto a = tree.Lock();
        const NodeId c = a.FindChild(a.FileSystem(), "C:");
        EXPECT_TRUE(a.IsChecked(a.FindChild(c, "a.txt")));
        const NodeId data = a.FindChild(a.FindChild(a.FileSystem(), "D:"), "Data");
        EXPECT_FALSE(a.HasCheckBox(a.FindChild(data, "Old")));
        EXPECT_FALSE(a.HasCheckBox(a.FindChild(data, "c.ini")));
        const NodeId soft = a.FindChild(a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE"), "Soft");
        EXPECT_EQ(a.Data(soft).Kind, ckRegKeyCreated);
        EXPECT_EQ(a.Data(soft).Path, "");
        EXPECT_TRUE(a.IsChecked(soft));
    }
    // Saving the loaded tree gives the same records under a new header.
    Bytes again = Header(45000.0);
    again.insert(again.end(), expected.begin() + 56, expected.end());
    EXPECT_EQ(SaveTree(), again);
}

TEST_F(ArchiveSaveLoadTest, EveryTruncationPlacesOnlyWholeRecords) {
    FillSample();
    for (std::size_t length = 0; length < expected.size(); ++length) {
        const Bytes cut(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(length));
        const TWorkEnd state = Load(cut);
        std::size_t whole = 0;
        bool atBoundary = length == 56;
        for (std::size_t b : boundaries) {
            if (b <= length) ++whole;
            if (b == length) atBoundary = true;
        }
        SCOPED_TRACE(length);
        EXPECT_EQ(state, atBoundary ? TWorkEnd::Completed : TWorkEnd::Refused);
        EXPECT_EQ(Leaves(), length < 56 ? 0 : whole);
    }
}

TEST_F(ArchiveSaveLoadTest, UnknownKindEndsTheLoadAsBad) {
    for (std::int32_t bad : {0, 14, 18, -1, 1000}) {
        Bytes b = Header(1.0);
        Int(b, ckFolderCreated);
        Str(b, "C:\\A");
        Int(b, bad);
        Str(b, "C:\\B");
        EXPECT_EQ(Load(b), TWorkEnd::Refused) << bad;
        EXPECT_EQ(Leaves(), 1u);
    }
    // An identifier that would reach outside the program's folder.
    os.files.AddFolder("C:\\Other");
    TChgArchive outside(os.files, os.clock, "C:\\Other\\App");
    outside.CreateNew();
    outside.Save();
    context.AppIdentifier = "..\\Other\\App";
    EXPECT_EQ(Load(Header(1.0)), TWorkEnd::Refused);
    context.AppIdentifier = "App";
    // A file that is no longer an archive when the loader opens it.
    EXPECT_EQ(Load(Bytes{1, 2, 3}), TWorkEnd::Refused);
    EXPECT_EQ(Leaves(), 0u);
}

TEST_F(ArchiveSaveLoadTest, HugeLengthsAreDamageNotAllocations) {
    Bytes b = Header(1.0);
    Int(b, ckRegValueCreated);
    Int(b, static_cast<std::int32_t>(kHklm));
    Str(b, "K");
    Str(b, "v");
    Int(b, 3);
    Int(b, 0x7FFFFFFF);  // NewSize far past the end
    Raw(b, {1, 2});
    EXPECT_EQ(Load(b), TWorkEnd::Refused);
    EXPECT_EQ(Leaves(), 0u);
    EXPECT_EQ(context.LoadedCounts[ckRegValueCreated], 0);
}

TEST_F(ArchiveSaveLoadTest, EmptyValueAsLastRecordLoadsNormally) {
    Bytes b = Header(1.0);
    Int(b, ckRegValueCreated);
    Int(b, static_cast<std::int32_t>(kHklm));
    Str(b, "K");
    Str(b, "");
    Int(b, 1);
    Int(b, 0);
    EXPECT_EQ(Load(b), TWorkEnd::Completed);
    auto a = tree.Lock();
    const NodeId leaf = a.FirstChild(a.FindChild(a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE"), "K"));
    EXPECT_EQ(a.Data(leaf).NewSize, 0);
    EXPECT_TRUE(a.Data(leaf).NewData.Present());
}

TEST_F(ArchiveSaveLoadTest, IgnoredChangesAreCountedButNotPlaced) {
    FillSample();
    const Bytes saved = SaveTree();
    context.Settings.IgnoredFiles.Add("C:\\a.txt");
    context.Settings.IgnoredKeys.Add("HKEY_LOCAL_MACHINE\\Soft");  // a key directly below its root key
    context.Settings.DeleteFiles = false;
    ASSERT_EQ(Load(saved), TWorkEnd::Completed);
    EXPECT_EQ(context.LoadedCounts[ckFileCreated], 2);
    EXPECT_EQ(context.LoadedCounts[ckRegKeyCreated], 1);
    EXPECT_EQ(Leaves(), boundaries.size() - 4);  // a.txt, Soft, v and the changed value in Soft\Sub
    auto a = tree.Lock();
    const NodeId app = a.FindChild(a.FindChild(a.FileSystem(), "C:"), "App");
    EXPECT_FALSE(a.HasCheckBox(a.FirstChild(app)));
}

TEST_F(ArchiveSaveLoadTest, StopEndsAfterTheCurrentRecord) {
    FillSample();
    const Bytes saved = SaveTree();
    control.stopAfter = 3;
    EXPECT_EQ(Load(saved), TWorkEnd::Stopped);
    EXPECT_EQ(Leaves(), 3u);
}

// The wizard and the command line leave a load in the same state.
TEST(LoadEndState, ADamagedArchiveIsNotAStoppedLoad) {
    EXPECT_EQ(LoadEndState(TWorkEnd::Completed), TWizardState::wsIdle);
    EXPECT_EQ(LoadEndState(TWorkEnd::Stopped), TWizardState::wsStopped);
    EXPECT_EQ(LoadEndState(TWorkEnd::Refused), TWizardState::wsBadArchive);
}

TEST_F(ArchiveSaveLoadTest, AFaultThatIsNoDamageReachesTheWorker) {
    FillSample();
    const Bytes saved = SaveTree();
    control.faultAt = 2;
    EXPECT_THROW(Load(saved), std::logic_error);
}

TEST_F(ArchiveSaveLoadTest, RemovedBranchIsNotSaved) {
    FillSample();
    {
        auto a = tree.Lock();
        ASSERT_TRUE(a.RemoveBranch(a.FindChild(a.Registry(), "HKEY_CURRENT_USER")));
        ASSERT_TRUE(a.RemoveBranch(a.FindChild(a.FileSystem(), "D:")));
    }
    const Bytes saved = SaveTree();
    // HKEY_CURRENT_USER held the 8th record; D: the last six.
    Bytes want(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(boundaries[6]));
    want.insert(want.end(), expected.begin() + static_cast<std::ptrdiff_t>(boundaries[7]),
                expected.begin() + static_cast<std::ptrdiff_t>(boundaries[10]));
    EXPECT_EQ(saved, want);
}

TEST_F(ArchiveSaveLoadTest, DeepPathsLoadAndSaveWithoutRecursion) {
    std::string path = "C:";
    for (int i = 0; i < 50000; ++i) path += "\\a";
    Bytes b = Header(44986.5);
    Int(b, ckFolderCreated);
    Str(b, path + "\\z");
    ASSERT_EQ(Load(b), TWorkEnd::Completed);
    EXPECT_EQ(SaveTree(), b);
    auto a = tree.Lock();
    EXPECT_TRUE(a.RemoveBranch(a.FirstChild(a.FileSystem())));
    EXPECT_EQ(a.NodeCount(), 3u);
}

TEST_F(ArchiveSaveLoadTest, FailedSaveKeepsTheEarlierArchive) {
    FillSample();
    const Bytes first = SaveTree();
    {
        auto a = tree.Lock();
        a.RemoveBranch(a.FindChild(a.FileSystem(), "D:"));
    }
    os.files.SetDiskFull(true);
    TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\App");
    EXPECT_THROW(SaveChangesTree(tree, archive), ArchiveError);
    os.files.SetDiskFull(false);
    Bytes now;
    os.files.ReadFile(kFile, now);
    EXPECT_EQ(now, first);
}

}  // namespace
}  // namespace kelvora

namespace kelvora {
namespace {

class ActivityArchiveTest : public ArchiveSaveLoadTest {
protected:
    // Two changes of the setup and two of activity: a created file, and a
    // shared counter, which is lowered as before whoever raised it.
    void FillWithActivity() {
        tree.StartFill(false);
        tree.AddToTree("C:\\App", "setup.exe", Rec(ckFileCreated, "C:\\App"));
        TNodeData file = Rec(ckFileCreated, "C:\\App");
        file.Activity = arOutsideWindow;
        tree.AddToTree("C:\\App", "log.txt", std::move(file));
        const std::string shared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
        TNodeData counter = Rec(ckSharedCounterIncremented, shared, kHklm, 4, {}, test::Bytes({1, 0, 0, 0}));
        counter.Activity = arVolatileLocation;
        tree.AddToTree("HKEY_LOCAL_MACHINE\\" + shared, "C:\\x.dll", std::move(counter));
        tree.AddToTree("HKEY_LOCAL_MACHINE", "Soft", Rec(ckRegKeyCreated, "", kHklm));
    }

    // The leaf named name: its reason and its check state.
    std::pair<TActivityReason, TCheckState> Leaf(std::string_view name) {
        auto a = tree.Lock();
        std::vector<NodeId> stack{a.Root()};
        while (!stack.empty()) {
            const NodeId id = stack.back();
            stack.pop_back();
            if (a.Data(id).Name == name) return {a.Data(id).Activity, a.CheckState(id)};
            for (NodeId c = a.FirstChild(id); c != kNoNode; c = a.NextSibling(c)) stack.push_back(c);
        }
        ADD_FAILURE() << name << " not found";
        return {};
    }
};

TEST_F(ActivityArchiveTest, ReasonsRoundTripAndActivityStartsUnchecked) {
    FillWithActivity();
    const Bytes saved = SaveTree();
    // The mark stands right before the record it belongs to.
    Bytes file = Header(44986.5);
    Int(file, static_cast<std::int32_t>(kActivityMark | arVolatileLocation));
    Int(file, ckSharedCounterIncremented);
    ASSERT_GT(saved.size(), file.size());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), saved.begin()));

    ASSERT_EQ(Load(saved), TWorkEnd::Completed);
    EXPECT_EQ(Leaf("setup.exe"), std::pair(arSetup, TCheckState::Checked));
    EXPECT_EQ(Leaf("log.txt"), std::pair(arOutsideWindow, TCheckState::Unchecked));
    EXPECT_EQ(Leaf("C:\\x.dll"), std::pair(arVolatileLocation, TCheckState::Checked));
    EXPECT_EQ(Leaf("Soft"), std::pair(arSetup, TCheckState::Checked));
    EXPECT_EQ(SaveTree(), saved);
    {
        auto a = tree.Lock();
        const TChangeCounts counts = CountChanges(a);
        EXPECT_EQ(counts.Setup, 2u);
        EXPECT_EQ(counts.Activity, 2u);
        EXPECT_EQ(ChangeCountsText(counts), "2 changes by the setup, 2 activity");
    }
    // The user may still check activity for the undo.
    auto a = tree.Lock();
    a.SetChecked(a.FindChild(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "App"), "log.txt"), true);
    EXPECT_EQ(a.CheckState(a.FindChild(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "App"), "log.txt")),
              TCheckState::Checked);
}

TEST_F(ActivityArchiveTest, OlderArchivesLoadWithEveryChangeTheSetups) {
    FillSample();
    ASSERT_EQ(Load(expected), TWorkEnd::Completed);
    const std::size_t leaves = Leaves();
    auto a = tree.Lock();
    const TChangeCounts counts = CountChanges(a);
    EXPECT_EQ(counts.Setup, leaves);
    EXPECT_EQ(counts.Activity, 0u);
}

TEST_F(ActivityArchiveTest, DamagedMarksEndTheLoadAsBad) {
    const auto mark = [](std::uint32_t reason) { return static_cast<std::int32_t>(kActivityMark | reason); };
    const std::vector<std::vector<std::int32_t>> damaged = {
        {mark(0), ckFolderCreated},             // a mark without a reason
        {mark(kLastActivityReason + 1), ckFolderCreated},  // a reason this program does not know
        {mark(0xFF), ckFolderCreated},
        {mark(arLearned), mark(arLearned)},      // a mark on a mark
        {mark(arLearned), 14},                   // a mark on no stored kind
        {mark(arLearned)},                       // a mark that ends the file
    };
    for (const auto& ints : damaged) {
        Bytes b = Header(1.0);
        Int(b, ckFolderCreated);
        Str(b, "C:\\A");
        for (std::int32_t v : ints) Int(b, v);
        if (ints.size() > 1) Str(b, "C:\\B");
        EXPECT_EQ(Load(b), TWorkEnd::Refused) << ints[0];
        EXPECT_EQ(Leaves(), 1u);
    }
}

TEST(ActivityReasonText, EveryReasonHasItsOwnText) {
    std::vector<std::string> texts;
    for (int r = arSetup; r <= kLastActivityReason; ++r) texts.push_back(ActivityReasonText(static_cast<TActivityReason>(r)));
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(std::unique(texts.begin(), texts.end()), texts.end());
    EXPECT_EQ(ActivityReasonText(static_cast<TActivityReason>(200)), "Made by the setup");
}

}  // namespace
}  // namespace kelvora
