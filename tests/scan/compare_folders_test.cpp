#include "scan/compare_folders.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "scan/moved_files.h"
#include "scan/snapshot_loader.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using platform::memory::MemoryFileSystem;

constexpr std::uint32_t kNov2002 = MemoryFileSystem::DosDateTime(2002, 11, 23, 14, 5, 0);
constexpr std::uint32_t kDec2002 = MemoryFileSystem::DosDateTime(2002, 12, 1, 9, 30, 0);

// A file-system tree written by hand: Folder("C:\\A\\B") makes the nodes on
// the way, File() adds an item at the front of a folder's list.
class FileTree {
public:
    SnapshotTree tree;

    TNode* Folder(std::string_view path) {
        TNode** chain = &tree.Root;
        TNode* node = nullptr;
        while (!path.empty()) {
            const std::size_t cut = path.find('\\');
            const std::string_view name = path.substr(0, cut);
            path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
            node = *chain;
            while (node != nullptr && node->Name() != name) node = node->NextSibling;
            if (node == nullptr) {
                node = tree.NewNode(name);
                TNode** end = chain;
                while (*end != nullptr) end = &(*end)->NextSibling;
                *end = node;
            }
            chain = &node->FirstChild;
        }
        return node;
    }
    void File(std::string_view folder, std::string_view name, std::uint32_t time, std::uint32_t size) {
        std::uint8_t block[8];
        for (int i = 0; i < 4; ++i) {
            block[i] = static_cast<std::uint8_t>(time >> (8 * i));
            block[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        }
        TNode* node = Folder(folder);
        TValori* item = tree.NewValue(name, 3, block, 8);
        item->Next = node->Values;
        node->Values = item;
    }
};

class CompareFoldersTest : public ::testing::Test {
protected:
    platform::memory::MemoryPlatform memory;
    AppContext context;
    testing::StoppableWorker worker{context};
    ScanConfig config;
    ScanEnv env{memory.registry, memory.files, config, context.WizardState, worker};
    testing::RecordingSink sink;
    FileTree before;
    FileTree after;

    void Compare() {
        CompareFolders(env, sink, after.tree.Root, before.tree.Root, {}, false);
        CompareFolders(env, sink, before.tree.Root, after.tree.Root, {}, true);
    }
};

TEST_F(CompareFoldersTest, FileStateTextShowsTimeDateAndSignedSize) {
    FileTree t;
    t.File("C:", "a", kNov2002, 12345);
    t.File("C:", "b", 0, 0xC0000000u);
    const platform::DateTimeSeparators usual;
    EXPECT_EQ(FileStateText(*t.tree.Root->Values->Next, usual), "14:05 23/11/02 12345");
    // Outside the packed form's range the fields are shown as stored.
    EXPECT_EQ(FileStateText(*t.tree.Root->Values, usual), "00:00 00/00/80 -1073741824");
    // The user's separators, however long.
    EXPECT_EQ(FileStateText(*t.tree.Root->Values->Next, {".", "\xE2\x80\x90"}),
              "14.05 23\xE2\x80\x90" "11\xE2\x80\x90" "02 12345");
    // The date in the order of the user's short date; the time stays first.
    EXPECT_EQ(FileStateText(*t.tree.Root->Values->Next, {":", "/", "MDY"}), "14:05 11/23/02 12345");
    EXPECT_EQ(FileStateText(*t.tree.Root->Values->Next, {":", "-", "YMD"}), "14:05 02-11-23 12345");
}

TEST_F(CompareFoldersTest, NewFolderIsReportedBeforeItsFilesAndSubFolders) {
    before.Folder("C:\\Old");
    after.Folder("C:\\Old");
    after.File("C:\\New", "two.txt", kNov2002, 2);
    after.File("C:\\New", "one.txt", kNov2002, 1);
    after.File("C:\\New\\Sub", "three.txt", kNov2002, 3);
    Compare();
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"7 C:\\|New", "9 C:\\New|one.txt", "9 C:\\New|two.txt",
                                                      "7 C:\\New\\|Sub", "9 C:\\New\\Sub|three.txt"}));
    EXPECT_EQ(sink.entries[0].record.Path, "C:");
    EXPECT_EQ(sink.entries[1].record.Path, "C:\\New");
    EXPECT_EQ(sink.entries[3].record.Path, "C:\\New");
    EXPECT_EQ(std::string(sink.entries[4].record.NewText()), "14:05 23/11/02 3");
}

TEST_F(CompareFoldersTest, ChangedDeletedAndRootFilesAndNewDrives) {
    before.File("C:\\A", "same.txt", kNov2002, 10);
    before.File("C:\\A", "touched.txt", kNov2002, 10);
    before.File("C:", "root.txt", kNov2002, 5);
    after.File("C:\\A", "SAME.TXT", kNov2002, 10);
    after.File("C:\\A", "touched.txt", kDec2002, 10);
    after.Folder("C:");
    after.File("D:", "d.txt", kNov2002, 1);
    Compare();
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"10 C:\\A|touched.txt", "7 |D:", "9 D:|d.txt", "11 C:|root.txt"}));
    const TNodeData& touched = sink.entries[0].record;
    EXPECT_EQ(std::string(touched.OldText()), "14:05 23/11/02 10");
    EXPECT_EQ(std::string(touched.NewText()), "09:30 01/12/02 10");
    EXPECT_EQ(sink.entries[1].record.Path, "");
    EXPECT_EQ(sink.entries[3].record.Path, "C:");
    EXPECT_EQ(std::string(sink.entries[3].record.OldText()), "14:05 23/11/02 5");
}

TEST_F(CompareFoldersTest, NothingInAnUnreadableFolderIsCreatedOrDeleted) {
    before.Folder("C:\\Locked")->Unreadable = true;  // readable after the installation
    after.File("C:\\Locked", "a.txt", kNov2002, 1);
    after.File("C:\\Locked\\S", "b.txt", kNov2002, 1);
    before.File("C:\\Closed", "x.txt", kNov2002, 1);  // unreadable after it
    before.File("C:\\Closed\\S", "y.txt", kNov2002, 1);
    after.Folder("C:\\Closed")->Unreadable = true;
    before.Folder("C:\\Was")->Unreadable = true;      // the folders themselves still count
    after.Folder("C:\\NewLocked")->Unreadable = true;
    Compare();
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"7 C:\\|NewLocked", "8 C:\\|Was"}));
}

// A damaged snapshot makes a tree 100,000 folders deep out of a small file
// (every record a relative path below the one before); the comparison keeps
// its own stack and goes through it on a thread with a small one.
TEST_F(CompareFoldersTest, ATreeOfAnyDepthComparesOnASmallStack) {
    memory.files.AddFolder("C:\\Kelvora");
    std::vector<std::uint8_t> bytes = {0x10, 0x11, 2, 0, 'C', ':'};  // folder C:
    for (int i = 0; i < 100000; ++i) bytes.insert(bytes.end(), {0x40, 0x11, 1, 0, 'd'});  // its folder d
    for (const char* name : {"C:\\Kelvora\\FIS1.sns", "C:\\Kelvora\\FIS2.sns"}) {
        memory.files.WriteFile(name, bytes.data(), bytes.size());
    }
    testing::RunOnSmallStack([&] {
        const SnapshotTree old = LoadSnapshot(memory.files, "C:\\Kelvora", "FIS1", context.WizardState, worker);
        const SnapshotTree now = LoadSnapshot(memory.files, "C:\\Kelvora", "FIS2", context.WizardState, worker);
        CompareFolders(env, sink, now.Root, old.Root, {}, false);
        CompareFolders(env, sink, old.Root, now.Root, {}, true);
    });
    EXPECT_TRUE(sink.entries.empty());
    EXPECT_EQ(worker.pausePoints, 4 * 100001);
}

TEST_F(CompareFoldersTest, MovedFilesPairInTheTreesWalkOrderByExactNameAndState) {
    // Deleted: x.dll in D1 and in D2 (same state), readme.txt, keep.txt;
    // created: x.dll in the new folder N, README.TXT (case differs), keep.txt
    // with another size. D2's branch is made first (by new.txt), so its
    // x.dll comes first in the tree's walk although it was reported later.
    before.File("C:\\D1", "x.dll", kNov2002, 7);
    before.File("C:\\D2", "x.dll", kNov2002, 7);
    before.File("C:\\D2", "readme.txt", kNov2002, 1);
    before.File("C:\\D2", "keep.txt", kNov2002, 1);
    after.Folder("C:\\D1");
    after.File("C:\\D2", "new.txt", kNov2002, 3);
    after.File("C:\\N", "x.dll", kNov2002, 7);
    after.File("C:\\N", "README.TXT", kNov2002, 1);
    after.File("C:\\N", "keep.txt", kNov2002, 2);
    ChangesTree tree(config.Settings);
    tree.StartFill(false);
    ChangesTreeSink treeSink(tree);
    CompareFolders(env, treeSink, after.tree.Root, before.tree.Root, {}, false);
    CompareFolders(env, treeSink, before.tree.Root, after.tree.Root, {}, true);
    DetectMoved(env, tree);
    EXPECT_EQ(testing::TreeLines(tree),
              (std::vector<std::string>{"9 C:\\D2\\new.txt", "11 C:\\D2\\keep.txt", "11 C:\\D2\\readme.txt",
                                        "12 C:\\D2\\x.dll", "7 C:\\N", "9 C:\\N\\keep.txt",
                                        "9 C:\\N\\README.TXT", "13 C:\\N\\x.dll", "11 C:\\D1\\x.dll"}));
}

TEST_F(CompareFoldersTest, EachCreatedFilePairsOnceAndAStopEndsTheDetection) {
    MovedTwinIndex index;
    index.AddCreated(4, "f", "t");
    index.AddCreated(9, "f", "t");
    EXPECT_EQ(index.FindMovedTwin("F", "t"), kNoNode);
    EXPECT_EQ(index.FindMovedTwin("f", "t"), 4u);
    EXPECT_EQ(index.FindMovedTwin("f", "t"), 9u);
    EXPECT_EQ(index.FindMovedTwin("f", "t"), kNoNode);

    before.File("C:\\A", "m.dll", kNov2002, 7);
    after.File("C:\\B", "m.dll", kNov2002, 7);
    ChangesTree tree(config.Settings);
    tree.StartFill(false);
    ChangesTreeSink treeSink(tree);
    CompareFolders(env, treeSink, after.tree.Root, before.tree.Root, {}, false);
    CompareFolders(env, treeSink, before.tree.Root, after.tree.Root, {}, true);
    worker.Stop();
    DetectMoved(env, tree);
    EXPECT_EQ(testing::TreeLines(tree), (std::vector<std::string>{"7 C:\\B", "9 C:\\B\\m.dll", "8 C:\\A", "11 C:\\A\\m.dll"}));
}

}  // namespace
}  // namespace kelvora
