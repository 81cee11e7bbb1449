#include "scan/attribution.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/memory/memory_platform.h"
#include "scan/scan_sequence.h"
#include "scan/snapshot_loader.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;

// Seconds after 1970 as a FILETIME.
constexpr std::uint64_t At(std::uint64_t seconds) { return 116444736000000000ull + seconds * 10000000ull; }

// A machine monitored between the times 300 (the setup's start) and 500 (the
// end of its last process), with writes before, during and after that.
class AttributionTest : public ::testing::Test {
protected:
    AttributionTest() {
        memory.files.AddFolder("C:\\Kelvora");
        Stamp(100);
        memory.files.AddFile("C:\\Windows\\a.dll", "aaaa");
        memory.files.AddFile("C:\\Windows\\Logs\\old.log", "x");
        memory.registry.PutDword(kCurrentUser, "Software\\Old", "v", 1);
        memory.registry.PutDword(kCurrentUser, "Software\\Mixed", "keep", 1);
        memory.registry.PutDword(kCurrentUser, "Software\\Parent\\Gone\\Sub", "s", 1);
        testing::UseFoldersOnDriveC(config);
        TSettings& s = config.Settings;
        s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCC = false;
        s.ScanHKCU = true;
        s.ScanWin = true;
        s.ScanProg = s.ScanEntire = false;
        ExecuteScan(env, reporter);
    }

    void Stamp(std::uint64_t seconds) {
        memory.registry.SetWriteTime(At(seconds));
        memory.files.SetStampTime(At(seconds));
    }

    // The changes as "kind path reason" lines.
    std::vector<std::string> Rescan() {
        tree.StartFill(false);
        ExecuteRescan(env, reporter, tree, [this](std::string_view name) {
            return LoadSnapshot(memory.files, config.ProgramFolder, name, context.WizardState, worker);
        });
        std::vector<std::string> lines;
        const ChangesTree::Access access = tree.Lock();
        std::vector<NodeId> pending{access.Root()};
        while (!pending.empty()) {
            const NodeId node = pending.back();
            pending.pop_back();
            const TNodeData& data = access.Data(node);
            if (IsStoredKind(data.Kind)) {
                lines.push_back(std::to_string(data.Kind) + " " + access.FullPath(node) + " " +
                                std::to_string(data.Activity));
            }
            for (NodeId c = access.FirstChild(node); c != kNoNode; c = access.NextSibling(c)) pending.push_back(c);
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    // Background writes before the setup, the setup's own, and more after it.
    void Install() {
        Stamp(200);
        memory.registry.PutDword(kCurrentUser, "Software\\Background", "v", 1);
        memory.registry.PutDword(kCurrentUser, "Software\\Mixed", "early", 1);
        platform::RegKey key;
        memory.registry.OpenKey(kCurrentUser, "Software\\Old", platform::kKeyAllAccess, key);
        memory.registry.DeleteValue(key, "v");
        memory.registry.DeleteKey(kCurrentUser, "Software\\Parent\\Gone\\Sub");
        memory.registry.DeleteKey(kCurrentUser, "Software\\Parent\\Gone");
        memory.files.AddFile("C:\\Windows\\early.tmp", "e");
        memory.files.DeleteFile("C:\\Windows\\Logs\\old.log");
        Stamp(400);
        memory.registry.PutDword(kCurrentUser, "Software\\Setup", "v", 1);
        memory.registry.PutDword(kCurrentUser, "Software\\Mixed", "setup", 1);
        // A file that a setup unpacks with the time stored in its archive.
        memory.files.AddFile("C:\\Windows\\setup.dll", "s", platform::memory::MemoryFileSystem::DosDateTime(2001, 1, 1, 0, 0, 0));
        // One whose creation time too is stamped: before the first scan, so
        // it tells nothing.
        Stamp(50);
        memory.files.AddFile("C:\\Windows\\stamped.dll", "s");
        Stamp(400);
        ASSERT_TRUE(memory.files.AddFolder("C:\\Windows\\App"));
        ASSERT_TRUE(memory.files.Rename("C:\\Windows\\a.dll", "C:\\Windows\\App\\a.dll"));
        Stamp(600);
        memory.registry.PutDword(kCurrentUser, "Software\\Late", "v", 1);
        memory.files.AddFile("C:\\Windows\\late.tmp", "l");
    }

    platform::memory::MemoryPlatform memory;
    AppContext context;
    testing::StoppableWorker worker{context};
    ScanConfig config;
    ScanEnv env{memory.registry, memory.files, config, context.WizardState, worker};
    testing::RecordingReporter reporter;
    ChangesTree tree{config.Settings};
};

TEST_F(AttributionTest, OnlyEvidenceOutsideTheSetupsWindowMakesActivity) {
    Install();
    config.SetupWindow = {At(300), At(500), At(100)};
    std::vector<std::string> expected{
                            "1 HKEY_CURRENT_USER\\Software\\Background 1",
                            // A key written after the end may have been written by the setup before.
                            "1 HKEY_CURRENT_USER\\Software\\Late 0",
                            "1 HKEY_CURRENT_USER\\Software\\Setup 0",
                            "12 C:\\Windows\\a.dll 0",  // moved: its times tell nothing
                            "13 C:\\Windows\\App\\a.dll 0",
                            "2 HKEY_CURRENT_USER\\Software\\Parent\\Gone 1",
                            "2 HKEY_CURRENT_USER\\Software\\Parent\\Gone\\Sub 1",  // below a key deleted early
                            "3 HKEY_CURRENT_USER\\Software\\Background\\v 1",
                            "3 HKEY_CURRENT_USER\\Software\\Late\\v 0",
                            // One key written before and during the setup: ambiguous.
                            "3 HKEY_CURRENT_USER\\Software\\Mixed\\early 0",
                            "3 HKEY_CURRENT_USER\\Software\\Mixed\\setup 0",
                            "3 HKEY_CURRENT_USER\\Software\\Setup\\v 0",
                            "5 HKEY_CURRENT_USER\\Software\\Parent\\Gone\\Sub\\s 1",
                            "5 HKEY_CURRENT_USER\\Software\\Old\\v 1",
                            "7 C:\\Windows\\App 0",
                            "9 C:\\Windows\\early.tmp 1",
                            "9 C:\\Windows\\late.tmp 1",
                            "9 C:\\Windows\\setup.dll 0",  // created in the window, whatever its write time
                            "9 C:\\Windows\\stamped.dll 0",
                            "11 C:\\Windows\\Logs\\old.log 1",
                        };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Rescan(), expected);
}

TEST_F(AttributionTest, WithoutAWholeWindowEverythingIsTheSetups) {
    Install();
    config.SetupWindow = {At(300), 0};  // a setup whose end was not seen
    const std::vector<std::string> lines = Rescan();
    EXPECT_EQ(lines.size(), 20u);
    for (const std::string& line : lines) EXPECT_EQ(line.back(), '0') << line;
}

}  // namespace
}  // namespace kelvora
