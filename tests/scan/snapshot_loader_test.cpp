#include "scan/snapshot_loader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "scan/db_tree.h"
#include "platform/memory/memory_file_system.h"

namespace kelvora {
namespace {


class CountingControl : public IWorkerControl {
public:
    int pausePoints = 0;
    std::function<void(int)> atPausePoint;
    bool Terminated() const override { return false; }
    void PausePoint() override {
        ++pausePoints;
        if (atPausePoint) atPausePoint(pausePoints);
    }
};

const std::uint8_t* Text(const char* s) { return reinterpret_cast<const std::uint8_t*>(s); }

std::vector<std::string> ChildNames(const TNode* first) {
    std::vector<std::string> names;
    for (const TNode* n = first; n != nullptr; n = n->NextSibling) names.emplace_back(n->Name());
    return names;
}

std::vector<std::string> ValueNames(const TNode* node) {
    std::vector<std::string> names;
    for (const TValori* v = node->Values; v != nullptr; v = v->Next) names.emplace_back(v->Name());
    return names;
}

const TNode* Child(const TNode* parent, std::string_view name) {
    for (const TNode* n = parent->FirstChild; n != nullptr; n = n->NextSibling) {
        if (n->Name() == name) return n;
    }
    return nullptr;
}

class LoadSnapshotTest : public ::testing::Test {
protected:
    LoadSnapshotTest() {
        fs.AddFolder("C:\\Kelvora");
    }
    bool NoFileLeft() {
        bool none = true;
        fs.List("C:\\Kelvora\\*.*", [&](const platform::FindEntry& e) {
            none = none && e.IsFolder();
            return true;
        });
        return none;
    }

    SnapshotTree Load(TDBTree& db, SnapshotLoadWork* work = nullptr) {
        db.Save(fs);
        return LoadSnapshot(fs, "C:\\Kelvora", db.FileName(), state, control, work);
    }

    platform::memory::MemoryFileSystem fs;
    std::atomic<TWizardState> state{TWizardState::wsRescanning};
    CountingControl control;
};

TEST_F(LoadSnapshotTest, RebuildsARegistryTreeInTheOrdersTheComparisonsSee) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKCU");
    db.WriteRecord("", "", nullptr, 0, 0);
    db.WriteRecord("", "r1", Text("a"), 1, 2);
    db.WriteRecord("", "r2", Text("b"), 1, 2);
    db.WriteRecord("A", "", nullptr, 0, 0);           // full walk
    db.WriteRecord("A\\X", "", nullptr, 0, 0);        // relative
    db.WriteRecord("A\\X\\Deep", "", nullptr, 0, 0);  // relative
    db.WriteRecord("A\\Y", "", nullptr, 0, 0);        // full walk under A
    db.WriteRecord("A\\Z", "", nullptr, 0, 0);        // full walk under A
    db.WriteRecord("B", "", nullptr, 0, 0);           // full walk
    db.WriteRecord("B\\Q", "", nullptr, 0, 0);        // relative
    db.WriteRecord("B", "", nullptr, 0, 0);           // full walk back
    db.WriteRecord("B\\R", "", nullptr, 0, 0);        // relative: in front of Q
    db.WriteRecord("B\\R", "v1", nullptr, 3, 0);
    db.WriteRecord("B\\R", "v2", nullptr, 3, 0);
    SnapshotTree tree = Load(db);

    const TNode* root = tree.Root;
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name(), "");
    EXPECT_EQ(root->NextSibling, nullptr);
    EXPECT_EQ(ValueNames(root), (std::vector<std::string>{"r2", "r1"}));
    EXPECT_EQ(ChildNames(root->FirstChild), (std::vector<std::string>{"A", "B"}));
    const TNode* a = Child(root, "A");
    EXPECT_EQ(ChildNames(a->FirstChild), (std::vector<std::string>{"X", "Y", "Z"}));
    EXPECT_EQ(ChildNames(Child(a, "X")->FirstChild), (std::vector<std::string>{"Deep"}));
    const TNode* b = Child(root, "B");
    EXPECT_EQ(ChildNames(b->FirstChild), (std::vector<std::string>{"R", "Q"}));
    EXPECT_EQ(ValueNames(Child(b, "R")), (std::vector<std::string>{"v2", "v1"}));
    EXPECT_EQ(control.pausePoints, 14);
    EXPECT_TRUE(NoFileLeft());
}

TEST_F(LoadSnapshotTest, FullPathWalkFindsTheFirstNodeOfTheNameIgnoringCase) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKLM");
    db.WriteRecord("", "", nullptr, 0, 0);
    db.WriteRecord("Soft", "", nullptr, 0, 0);
    db.WriteRecord("Soft\\old", "", nullptr, 0, 0);   // relative "old"
    db.WriteRecord("Soft\\M\\N", "", nullptr, 0, 0);  // full: creates M, N after "old"
    db.WriteRecord("Soft", "", nullptr, 0, 0);
    db.WriteRecord("Soft\\OLD", "", nullptr, 0, 0);   // relative: a second node, in front
    db.WriteRecord("Soft\\x\\y", "", nullptr, 0, 0);  // full
    db.WriteRecord("Soft\\x\\y\\z", "", nullptr, 0, 0);  // relative "z" under y
    db.WriteRecord("SOFT\\Old", "hit", nullptr, 3, 0);   // full walk: the front node
    db.WriteRecord("Soft", "", nullptr, 0, 0);
    db.WriteRecord("Soft\\P\\Q", "", nullptr, 0, 0);  // relative text with a backslash: one node
    db.WriteRecord("Soft\\P", "p", nullptr, 3, 0);    // full walk: no node named P yet
    SnapshotTree tree = Load(db);

    const TNode* soft = Child(tree.Root, "Soft");
    ASSERT_NE(soft, nullptr);
    EXPECT_EQ(ChildNames(soft->FirstChild), (std::vector<std::string>{"P\\Q", "OLD", "old", "M", "x", "P"}));
    EXPECT_EQ(ValueNames(Child(soft, "OLD")), (std::vector<std::string>{"hit"}));
    EXPECT_EQ(Child(soft, "old")->Values, nullptr);
    EXPECT_EQ(ValueNames(Child(soft, "P")), (std::vector<std::string>{"p"}));
    EXPECT_EQ(ChildNames(Child(Child(soft, "x"), "y")->FirstChild), (std::vector<std::string>{"z"}));
}

TEST_F(LoadSnapshotTest, LongLevelsKeepFirstMatchAndFileOrder) {
    // Long enough for a level to be searched through an index.
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKCR");
    db.WriteRecord("", "", nullptr, 0, 0);
    db.WriteRecord("A", "", nullptr, 0, 0);
    std::vector<std::string> expected = {"c07"};
    for (int i = 0; i < 40; ++i) {
        const std::string name = (i < 10 ? "C0" : "C") + std::to_string(i);
        db.WriteRecord("A\\" + name, "", nullptr, 0, 0);  // the first relative, the rest walked
        expected.push_back(name);
    }
    db.WriteRecord("A", "", nullptr, 0, 0);
    db.WriteRecord("A\\c07", "", nullptr, 0, 0);      // relative: in front of the indexed C07
    db.WriteRecord("a\\C07", "front", nullptr, 3, 0);  // found: the node in front
    db.WriteRecord("A\\c20", "indexed", nullptr, 3, 0);
    db.WriteRecord("A\\C40", "new", nullptr, 3, 0);    // appended at the end
    expected.push_back("C40");
    SnapshotTree tree = Load(db);

    const TNode* a = Child(tree.Root, "A");
    EXPECT_EQ(ChildNames(a->FirstChild), expected);
    EXPECT_EQ(ValueNames(a->FirstChild), (std::vector<std::string>{"front"}));
    EXPECT_EQ(Child(a, "C07")->Values, nullptr);
    EXPECT_EQ(ValueNames(Child(a, "C20")), (std::vector<std::string>{"indexed"}));
    EXPECT_EQ(ValueNames(Child(a, "C40")), (std::vector<std::string>{"new"}));
}

// Nodes put in front of an indexed level (by relative paths) are found
// through its index too: a file that puts thousands there before walking the
// level each time loads with work in proportion to its records.
TEST_F(LoadSnapshotTest, LoadingWorkStaysInProportionToTheRecords) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKLM");
    db.WriteRecord("", "", nullptr, 0, 0);
    for (int i = 0; i < 20; ++i) db.WriteRecord("P\\c" + std::to_string(i), "", nullptr, 0, 0);
    constexpr int kRounds = 5000;
    for (int i = 0; i < kRounds; ++i) {
        db.WriteRecord("P", "", nullptr, 0, 0);
        db.WriteRecord("P\\r" + std::to_string(i), "", nullptr, 0, 0);  // relative: in front of the level
        db.WriteRecord("P\\c0", "", nullptr, 0, 0);                     // walked through the level
    }
    SnapshotLoadWork work;
    SnapshotTree tree = Load(db, &work);
    EXPECT_EQ(ChildNames(Child(tree.Root, "P")->FirstChild).size(), 20u + kRounds);
    EXPECT_LE(work.LinksFollowed, 4u * (21 + 3 * kRounds));
}

TEST_F(LoadSnapshotTest, FileSystemTreeHasOneTopNodePerDrive) {
    const std::uint8_t stamp[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "FIS2");
    db.WriteRecord("C:", "", nullptr, 0, 0);
    db.WriteRecord("C:", "boot.ini", stamp, 3, 8);
    db.WriteRecord("C:\\Apps", "", nullptr, 0, 0);
    db.WriteRecord("D:\\Data", "", nullptr, 0, 0);
    db.WriteRecord("c:\\Apps\\Tool", "", nullptr, 0, 0);
    SnapshotTree tree = Load(db);

    ASSERT_NE(tree.Root, nullptr);
    EXPECT_EQ(ChildNames(tree.Root), (std::vector<std::string>{"C:", "D:"}));
    EXPECT_EQ(ChildNames(tree.Root->NextSibling->FirstChild), (std::vector<std::string>{"Data"}));
    EXPECT_EQ(ChildNames(Child(tree.Root, "Apps")->FirstChild), (std::vector<std::string>{"Tool"}));
    const TValori* file = tree.Root->Values;
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->DataType, 3);
    ASSERT_EQ(file->Size, 8);
    EXPECT_EQ(std::vector<std::uint8_t>(file->Data(), file->Data() + 8), std::vector<std::uint8_t>(stamp, stamp + 8));
}

TEST_F(LoadSnapshotTest, ValuesKeepEmptyNamesAndMissingData) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKCR");
    db.WriteRecord("", "", nullptr, 0, 0);
    db.WriteRecord("", "", Text("x"), 1, 2);     // default value
    db.WriteRecord("", "none", nullptr, 3, 0);  // no data
    db.WriteRecord("", "empty", Text(""), 1, 1);
    SnapshotTree tree = Load(db);

    const TValori* empty = tree.Root->Values;
    EXPECT_EQ(empty->Name(), "empty");
    EXPECT_EQ(empty->Size, 1);
    const TValori* none = empty->Next;
    EXPECT_EQ(none->Data(), nullptr);
    EXPECT_EQ(none->Size, 0);
    const TValori* def = none->Next;
    EXPECT_EQ(def->Name(), "");
    EXPECT_EQ(def->DataType, 1);
    EXPECT_EQ(def->Size, 2);
}

TEST_F(LoadSnapshotTest, StopReturnsThePartialTreeAndStillDeletesTheFile) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKUS");
    db.WriteRecord("", "", nullptr, 0, 0);
    for (const char* key : {"One", "Two", "Three", "Four"}) db.WriteRecord(key, "", nullptr, 0, 0);
    control.atPausePoint = [this](int n) {
        if (n == 3) state = TWizardState::wsStopped;
    };
    SnapshotTree tree = Load(db);
    EXPECT_EQ(ChildNames(tree.Root->FirstChild), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(control.pausePoints, 3);
    EXPECT_TRUE(NoFileLeft());
}

TEST_F(LoadSnapshotTest, MissingFileIsAnError) {
    EXPECT_THROW(LoadSnapshot(fs, "C:\\Kelvora", "HKCC", state, control), SnapshotFileError);
}

// Every prefix of a snapshot loads: the records that fit, nothing read past
// the end (the sanitizers watch), no crash, and the file is gone.
TEST_F(LoadSnapshotTest, SnapshotCutAtEveryByteLoadsWhatFits) {
    const std::uint8_t stamp[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "FIS2");
    db.WriteRecord("C:", "", nullptr, 0, 0);
    db.WriteRecord("C:", "a.txt", stamp, 3, 8);
    db.WriteRecord("C:\\Dir", "", nullptr, 0, 0);
    db.WriteRecord("C:\\Dir", "b.dll", stamp, 3, 8);
    db.WriteRecord("D:\\Other\\Deeper", "", nullptr, 0, 0);
    db.WriteRecord("D:\\Other\\Deeper", "", nullptr, 3, 0);
    const std::vector<std::uint8_t> whole = db.Bytes();

    int previousRecords = 0;
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        fs.WriteFile("C:\\Kelvora\\FIS2.sns", whole.data(), cut);
        control.pausePoints = 0;
        SnapshotTree tree = LoadSnapshot(fs, "C:\\Kelvora", "FIS2", state, control);
        EXPECT_GE(control.pausePoints, previousRecords) << "cut at " << cut;
        previousRecords = control.pausePoints;
        EXPECT_TRUE(NoFileLeft());
    }
    EXPECT_EQ(previousRecords, 6);
}

}  // namespace
}  // namespace kelvora
