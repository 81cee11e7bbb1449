#include "scan/compare_folders.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "scan/moved_files.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using platform::memory::MemoryFileSystem;
using testing::Text;

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
            while (node != nullptr && node->Name != name) node = node->NextSibling;
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
    ScanEnv env{memory.registry, memory.files, context, worker};
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
    EXPECT_EQ(Text(FileStateText(*t.tree.Root->Values->Next)), "14:05 23/11/02 12345");
    EXPECT_EQ(FileStateText(*t.tree.Root->Values->Next).back(), 0);
    // Outside the packed form's range the fields are shown as stored.
    EXPECT_EQ(Text(FileStateText(*t.tree.Root->Values)), "00:00 00/00/80 -1073741824");
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
    EXPECT_EQ(Text(sink.entries[4].record.NewData), "14:05 23/11/02 3");
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
    const ChangeRecord& touched = sink.entries[0].record;
    EXPECT_EQ(Text(touched.OldData), "14:05 23/11/02 10");
    EXPECT_EQ(Text(touched.NewData), "09:30 01/12/02 10");
    EXPECT_EQ(sink.entries[1].record.Path, "");
    EXPECT_EQ(sink.entries[3].record.Path, "C:");
    EXPECT_EQ(Text(sink.entries[3].record.OldData), "14:05 23/11/02 5");
}

TEST_F(CompareFoldersTest, MovedFilesPairInWalkOrderByExactNameAndState) {
    // Deleted: x.dll twice (same state), readme.txt, keep.txt; created:
    // x.dll once, README.TXT (case differs), keep.txt with another size.
    before.File("C:\\A", "x.dll", kNov2002, 7);
    before.File("C:\\B", "x.dll", kNov2002, 7);
    before.File("C:\\A", "readme.txt", kNov2002, 1);
    before.File("C:\\A", "keep.txt", kNov2002, 1);
    after.Folder("C:\\A");
    after.Folder("C:\\B");
    after.File("C:\\C", "x.dll", kNov2002, 7);
    after.File("C:\\C", "README.TXT", kNov2002, 1);
    after.File("C:\\C", "keep.txt", kNov2002, 2);
    Compare();
    DetectMoved(env, sink);
    std::vector<std::string> kinds;
    for (const auto& entry : sink.entries) kinds.push_back(std::to_string(entry.record.Kind) + " " + entry.placement + "|" + entry.name);
    EXPECT_EQ(kinds, (std::vector<std::string>{"7 C:\\|C", "9 C:\\C|keep.txt", "9 C:\\C|README.TXT",
                                               "13 C:\\C|x.dll", "11 C:\\A|keep.txt", "11 C:\\A|readme.txt",
                                               "12 C:\\A|x.dll", "11 C:\\B|x.dll"}));
}

TEST_F(CompareFoldersTest, EachCreatedFilePairsOnceAndStopEndsTheDetection) {
    MovedTwinIndex index;
    const std::basic_string<std::uint8_t> text{'t', 0};
    index.AddCreated(4, "f", text);
    index.AddCreated(9, "f", text);
    EXPECT_EQ(index.FindMovedTwin("F", text), MovedTwinIndex::npos);
    EXPECT_EQ(index.FindMovedTwin("f", text), 4u);
    EXPECT_EQ(index.FindMovedTwin("f", text), 9u);
    EXPECT_EQ(index.FindMovedTwin("f", text), MovedTwinIndex::npos);

    before.File("C:\\A", "m.dll", kNov2002, 7);
    after.File("C:\\B", "m.dll", kNov2002, 7);
    Compare();
    worker.Stop();
    DetectMoved(env, sink);
    for (const auto& entry : sink.entries) EXPECT_NE(entry.record.Kind, ckFileMovedTo);
}

}  // namespace
}  // namespace kelvora
