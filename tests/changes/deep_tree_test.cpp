// Archives whose changes lie thousands of levels deep: they load, and the
// export (and the command line's show, which is the same document) and the
// uninstaller walk them on a Windows thread's 1 MB stack, with memory that
// grows with the depth, not with its square.
#include <gtest/gtest.h>

#include <string>

#include "changes/archive_load.h"
#include "changes/chg_archive.h"
#include "changes/text_export.h"
#include "platform/memory/memory_platform.h"
#include "scan/scan_test_support.h"
#include "support/small_stack.h"
#include "support/uninstall_run.h"

namespace kelvora {
namespace {

using platform::memory::MemoryPlatform;

constexpr int kLevels = 6000;

class DeepTree : public ::testing::Test {
protected:
    DeepTree() {
        context.ProgramFolder = "C:\\Kelvora";
        context.AppIdentifier = "Deep";
        os.files.AddFolder(context.ProgramFolder);
        for (int i = 0; i < kLevels; ++i) path += i == 0 ? "a" : "\\a";
        // A created file and a created registry value at the bottom.
        TChgArchive archive(os.files, os.clock, ArchiveFileBase(context.ProgramFolder, context.AppIdentifier));
        archive.CreateNew();
        archive.WriteInt(ckFileCreated);
        archive.WriteStr("C:\\" + path + "\\f.txt");
        archive.WriteStr("12:00 01/01/02 5");
        archive.WriteInt(ckRegValueCreated);
        archive.WriteInt(static_cast<std::int32_t>(platform::kCurrentUser));
        archive.WriteStr(path);
        archive.WriteStr("v");
        archive.WriteInt(static_cast<std::int32_t>(platform::kRegSz));
        archive.WriteInt(2);
        archive.WriteBlock(reinterpret_cast<const std::uint8_t*>("x"), 2);
        archive.Save();
        tree.StartFill(true);
        EXPECT_EQ(LoadCheckTree(context, os.files, os.clock, tree, worker, nullptr), TWorkEnd::Completed);
    }

    // The deepest branch of a section: the node named "a" that holds a leaf.
    NodeId Deepest(const ChangesTree::Access& a, NodeId section) {
        NodeId node = section;
        while (a.FirstChild(node) != kNoNode) node = a.FirstChild(node);
        return a.Parent(node);
    }

    MemoryPlatform os;
    AppContext context;
    testing::StoppableWorker worker{context};
    ChangesTree tree{context.Settings};
    std::string path;
};

TEST_F(DeepTree, ExportAndTheUninstallersWalkTakeNoStackPerLevel) {
    std::string whole;
    std::string branch;
    std::size_t walked = 0;
    std::optional<std::size_t> growth;
    testing::RunWithStack(testing::kOneMegabyte, [&] {
        const ChangesTree::Access a = tree.Lock();
        growth = testing::PeakGrowthDuring([&] {
            whole = ExportText("Deep", "now", BuildDocument(a, kNoNode, false, CellWords::Translated(), os.collation),
                               MarkWords::Translated());
        });
        branch = ExportText("Deep", "now",
                            BuildDocument(a, Deepest(a, a.Registry()), false, CellWords::Translated(), os.collation),
                            MarkWords::Translated());
        walked = a.PostOrder(a.Root(), os.collation).size();
    });
    EXPECT_NE(whole.find("    (FOLDER) C:\\" + path + "\r\n      (+)(FILE) f.txt = 12:00 01/01/02 5 bytes\r\n"),
              std::string::npos);
    const std::string value = "    (REG KEY) HKEY_CURRENT_USER\\" + path + "\r\n      (+)(REG VAL) v = 'x'\r\n";
    EXPECT_NE(whole.find(value), std::string::npos);
    EXPECT_NE(branch.find(value), std::string::npos);
    // The frame, a drive, a root key, two chains of branches and two leaves.
    EXPECT_EQ(walked, 3u + 2u + 2u * kLevels + 2u);
    // The paths are 12 KB long; a copy of the path per level would be 70 MB.
    if (growth) {
        EXPECT_LT(*growth, 16u * testing::kOneMegabyte);
    }
}

TEST_F(DeepTree, TheUninstallerActsOnTheDeepestChanges) {
    EXPECT_EQ(testing::UninstallLines(os.platform, context, tree), (std::vector<std::string>{
                              "DELETING REGISTRY VALUE: HKEY_CURRENT_USER\\" + path + "\\v ... FAILS (not found)",
                              "DELETING FILE: C:\\" + path + "\\f.txt ... FAILS (not found)",
                              "Uninstall complete without errors, 2 warnings",
                          }));
}

}  // namespace
}  // namespace kelvora
