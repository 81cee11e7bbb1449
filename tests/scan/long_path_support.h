// A whole monitoring below folders whose full paths are far longer than
// MAX_PATH: first scan, installation, rescan, uninstall of what the
// installation created. Shared by the in-memory test and the one on the real
// file system.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scan/scan_sequence.h"
#include "scan/snapshot_loader.h"
#include "scan_test_support.h"
#include "uninstall/dezinstaler.h"

namespace kelvora::testing {

class UninstallLines final : public IUninstallView, public IRemoveSharedQuestion {
public:
    std::vector<std::string> lines;
    void ShowStatus(const std::string&) override {}
    void SetProgressMax(int) override {}
    void StepProgress() override {}
    void ShowLogLine(const std::string& line, std::int32_t level) override {
        lines.push_back(std::to_string(level) + " " + line);
    }
    int AskRemoveShared(const std::string&, const std::string&) override { return kAnswerNo; }
};

// Folders of names of 100 characters below base: the first whose path has
// 300 characters or more, and one below it with 1,000 or more. Created when
// create is set.
struct DeepFolders {
    std::string at300;
    std::string at1000;
};

inline DeepFolders MakeDeepFolders(platform::FileSystem& files, const std::string& base, bool create) {
    DeepFolders deep;
    std::string path = base;
    for (char tag = 'a'; path.size() < 1000; ++tag) {
        path += '\\';
        path += std::string(100, tag);
        if (create) {
            EXPECT_TRUE(files.CreateFolder(path)) << path.size();
        }
        if (deep.at300.empty() && path.size() >= 300) deep.at300 = path;
    }
    deep.at1000 = path;
    return deep;
}

// base: an empty folder; programFolder: another one, for the snapshots.
// Leaves base as it was before the installation. useRecycleBin: the
// uninstall setting (the shell's Recycle Bin takes no path of MAX_PATH
// characters or more).
inline void MonitorBeyondMaxPath(platform::Platform& os, platform::Dispatcher& dispatcher, const std::string& base,
                                 const std::string& programFolder, bool useRecycleBin) {
    platform::FileSystem& files = os.files;
    const auto [deep300, deep1000] = MakeDeepFolders(files, base, true);
    const auto write = [&files](const std::string& path) {
        EXPECT_TRUE(files.WriteFile(path, reinterpret_cast<const std::uint8_t*>("data"), 4)) << path.size();
    };
    write(deep1000 + "\\user.txt");
    write(base + "\\keep.txt");

    AppContext context;
    context.ProgramFolder = programFolder;
    TSettings& s = context.Settings;
    s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCU = s.ScanHKCC = false;
    s.ScanEntire = s.ScanWin = s.ScanProg = false;
    s.ScanOthers = true;
    s.ScanOtherPaths = base;
    s.ExcludedFolders.Add(programFolder);
    s.UseRecycled = useRecycleBin;
    const ScanConfig config = ScanConfig::Of(context);
    StoppableWorker worker{context};
    ScanEnv env{os.registry, files, config, context.WizardState, worker};
    RecordingReporter reporter;
    ASSERT_EQ(ExecuteScan(env, reporter), TWorkEnd::Completed);

    // The installation.
    ASSERT_TRUE(files.CreateFolder(deep300 + "\\New"));
    write(deep300 + "\\New\\made.txt");
    write(deep1000 + "\\made.dll");
    ASSERT_TRUE(files.CreateFolder(deep1000 + "\\Sub"));

    // The rescan records everything at its real path; the tree is pre-checked
    // as a loaded archive is.
    ChangesTree tree{context.Settings};
    tree.StartFill(true);
    ASSERT_EQ(ExecuteRescan(env, reporter, tree, [&](std::string_view name) {
                  return LoadSnapshot(files, programFolder, name, context.WizardState, worker);
              }),
              TWorkEnd::Completed);
    std::vector<std::string> lines = TreeLines(tree);
    std::vector<std::string> expected = {"7 " + deep300 + "\\New", "9 " + deep300 + "\\New\\made.txt",
                                         "9 " + deep1000 + "\\made.dll", "7 " + deep1000 + "\\Sub"};
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);

    context.WizardState = TWizardState::wsUninstalling;
    UninstallLines view;
    TDezinstaler uninstall(UninstallServices{os, dispatcher, context, tree, view, view});
    bool ended = false;
    uninstall.SetOnTerminate([&](TSafeThread&) { ended = true; });
    uninstall.Start();
    dispatcher.ServeUntil([&] { return ended; });
    EXPECT_EQ(uninstall.FatalException(), nullptr);
    EXPECT_EQ(uninstall.ErrorCount(), 0) << ::testing::PrintToString(view.lines);
    EXPECT_FALSE(files.Exists(deep300 + "\\New"));
    EXPECT_FALSE(files.Exists(deep1000 + "\\made.dll"));
    EXPECT_FALSE(files.Exists(deep1000 + "\\Sub"));
    EXPECT_TRUE(files.FileExists(deep1000 + "\\user.txt"));
    EXPECT_TRUE(files.FileExists(base + "\\keep.txt"));
}

// Removes what MonitorBeyondMaxPath left below base (not base itself).
inline void RemoveDeepFolders(platform::FileSystem& files, const std::string& base) {
    const std::string deep1000 = MakeDeepFolders(files, base, false).at1000;
    files.DeleteFile(deep1000 + "\\user.txt");
    files.DeleteFile(base + "\\keep.txt");
    for (std::string path = deep1000; path.size() > base.size(); path.resize(path.rfind('\\'))) {
        files.RemoveFolder(path);
    }
}

}  // namespace kelvora::testing
