// A process killed while it saves an archive leaves the earlier archive (or
// the complete new one) behind, never a damaged file. The test runs this test
// program a second time as the child that saves, and kills it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "changes/archive_load.h"
#include "changes/archive_save.h"
#include "changes/changes_tree.h"
#include "changes/chg_archive.h"
#include "platform/win32/win32_platform_win.h"
#include "support/temp_folder_win.h"

namespace kelvora {
namespace {

constexpr char kChildVariable[] = "KELVORA_ARCHIVE_KILL_CHILD";
constexpr int kChildFolders = 20;
constexpr int kChildFilesPerFolder = 10000;

class NoStop : public IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

std::string ChildFolder() {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(kChildVariable, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

// The child: saves a large archive, creates the file "started" beside it,
// then stores the same archive over and over.
TEST(ArchiveKillChild, SavesUntilKilled) {
    const std::string folder = ChildFolder();
    if (folder.empty()) GTEST_SKIP() << "runs only as the child of ArchiveKill";
    platform::win32::Win32Platform os;
    TSettings settings;
    ChangesTree tree(settings);
    tree.StartFill(false);
    for (int d = 0; d < kChildFolders; ++d) {
        for (int f = 0; f < kChildFilesPerFolder; ++f) {
            TNodeData rec;
            rec.Kind = ckFileCreated;
            rec.Path = "C:\\Program Files\\Folder" + std::to_string(d);
            rec.SetNewText("12:00 01/01/02 12345");
            const std::string path = rec.Path;
            tree.AddToTree(path, "file" + std::to_string(f) + ".dll", std::move(rec));
        }
    }
    // The tree is encoded once; from then on the child does nothing but
    // store the archive, so the kill lands inside a store.
    TChgArchive archive(os.files, os.clock, folder + "\\App");
    SaveChangesTree(tree, archive);
    const std::uint8_t none = 0;
    os.files.WriteFile(folder + "\\started", &none, 0);
    for (;;) archive.Save();
}

class ArchiveKill : public ::testing::Test {
protected:

    // Starts the child, waits for its first complete save, lets it run a
    // while into the next ones and kills it.
    void RunAndKillChild(DWORD runMilliseconds) {
        char exe[MAX_PATH];
        ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
        std::string command = std::string("\"") + exe + "\" --gtest_filter=ArchiveKillChild.SavesUntilKilled";
        DeleteFileA((folder + "\\started").c_str());
        SetEnvironmentVariableA(kChildVariable, folder.c_str());
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        const BOOL created = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                            nullptr, &startup, &child);
        SetEnvironmentVariableA(kChildVariable, nullptr);
        ASSERT_TRUE(created);
        CloseHandle(child.hThread);
        bool started = false;
        for (int i = 0; i < 600 && !started; ++i) {
            started = GetFileAttributesA((folder + "\\started").c_str()) != INVALID_FILE_ATTRIBUTES;
            if (!started && WaitForSingleObject(child.hProcess, 100) == WAIT_OBJECT_0) break;
        }
        if (started) Sleep(runMilliseconds);
        TerminateProcess(child.hProcess, 3);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
        ASSERT_TRUE(started) << "the child never completed a save";
    }

    // Loads the archive; answers the number of changes it held.
    std::size_t LoadedChanges(TWorkEnd& end) {
        platform::win32::Win32Platform os;
        AppContext context;
        context.ProgramFolder = folder;
        context.AppIdentifier = "App";
        ChangesTree tree(context.Settings);
        tree.StartFill(false);
        NoStop control;
        end = LoadCheckTree(context, os.files, os.clock, tree, control, nullptr);
        return static_cast<std::size_t>(context.LoadedCounts[ckFileCreated]);
    }

    // Holds the archive, the marker and any temporary file a killed save
    // left behind.
    test::TempFolder scratch{"kelvora-kill-"};
    const std::string& folder = scratch.Path();
};

TEST_F(ArchiveKill, KilledSaveLeavesAWholeArchive) {
    for (DWORD runFor : {0u, 15u, 40u, 75u, 130u}) {
        RunAndKillChild(runFor);
        TWorkEnd end = TWorkEnd::Stopped;
        const std::size_t changes = LoadedChanges(end);
        EXPECT_EQ(end, TWorkEnd::Completed) << "killed after " << runFor << " ms";
        EXPECT_EQ(changes, static_cast<std::size_t>(kChildFolders * kChildFilesPerFolder));
    }
}

}  // namespace
}  // namespace kelvora
