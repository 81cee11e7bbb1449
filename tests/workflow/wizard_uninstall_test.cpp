// The wizard's uninstall path, driven through its handlers as the window
// does: Open (valid, invalid, damaged in its records), the load's stop,
// Back from the tree page, the questions before an uninstall, a real run
// with its log, and the Stop during a run.
#include <gtest/gtest.h>

#include "changes/activity.h"
#include "changes/chg_archive.h"
#include "uninstall/uninstall_log.h"
#include "wizard_test_support.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;

constexpr const char* kFolder = "C:\\Kelvora";

class WizardUninstallTest : public testing::WizardFixture {
protected:
    WizardUninstallTest() {
        memory.files.AddFolder("C:\\App");
        memory.files.AddFile("C:\\App\\a.txt", "x");
        memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Installed", "yes");
        WriteArchive("App", false);
    }

    // The archive of identifier: a created key and a created file; cut
    // inside the file's record when damaged.
    // With activity, the file is marked as created outside the setup's time.
    void WriteArchive(const std::string& identifier, bool damaged, bool activity = false) {
        TChgArchive archive(memory.files, memory.clock, std::string(kFolder) + "\\" + identifier);
        archive.CreateNew();
        archive.WriteInt(ckRegKeyCreated);
        archive.WriteInt(static_cast<std::int32_t>(kCurrentUser));
        archive.WriteStr("Software\\Vendor");
        if (activity) archive.WriteInt(static_cast<std::int32_t>(kActivityMark | arOutsideWindow));
        archive.WriteInt(ckFileCreated);
        archive.WriteStr("C:\\App\\a.txt");
        if (!damaged) archive.WriteStr("1 byte");
        else archive.WriteInt(400);
        archive.Save();
    }

    // The wizard with uninstall chosen.
    TWizard& Make(bool held = false) {
        WizardFixture::Make(held).rbUninstallClick();
        return *wizard;
    }
    // Selects the row of identifier and opens it; answers whether a worker
    // started.
    bool Open(const std::string& identifier) {
        for (std::size_t i = 0; i < host.rows.size(); ++i) {
            if (host.rows[i].Identifier == identifier) host.selected = static_cast<int>(i);
        }
        wizard->lvQorFilesSelectItem();
        wizard->btnNextClick();
        return wizard->WorkerRunning();
    }
    // Opens App and waits for the tree page.
    void Load() {
        ASSERT_TRUE(Open("App"));
        if (heldWorkers.last != nullptr) heldWorkers.last->release = true;
        WaitForWorker();
        ASSERT_EQ(host.screen.Page, TPage::pnlTree);
    }
    bool Installed() { return memory.registry.KeyExists(kCurrentUser, "Software\\Vendor"); }
};

TEST_F(WizardUninstallTest, TheStatusCountsTheSetupsChangesAndActivity) {
    WriteArchive("Busy", false, true);
    Make();
    ASSERT_TRUE(Open("Busy"));
    WaitForWorker();
    ASSERT_EQ(host.screen.Page, TPage::pnlTree);
    EXPECT_EQ(host.screen.Status, "1 change by the setup, 1 activity\n" + Text(RS_NEXT_UNINSTALL));
    // The counts follow a removed branch.
    {
        auto access = tree.Lock();
        std::vector<NodeId> pending{access.Root()};
        NodeId activity = kNoNode;
        while (!pending.empty() && activity == kNoNode) {
            const NodeId node = pending.back();
            pending.pop_back();
            if (access.Data(node).Activity != arSetup) activity = node;
            for (NodeId child = access.FirstChild(node); child != kNoNode; child = access.NextSibling(child))
                pending.push_back(child);
        }
        ASSERT_NE(activity, kNoNode);
        ASSERT_TRUE(access.RemoveBranch(activity));
    }
    wizard->BranchRemoved();
    EXPECT_EQ(host.screen.Status, "1 change by the setup, 0 activity\n" + Text(RS_NEXT_UNINSTALL));
}

TEST_F(WizardUninstallTest, OpenLoadsTheArchiveAndBackReturnsToTheList) {
    Make();
    ASSERT_TRUE(Open("App"));
    const TWizardScreen& s = host.screen;
    // While it loads.
    EXPECT_EQ(s.Title, "Kelvora [App] - uninstalling");
    EXPECT_EQ(s.Status, Text(RS_LOADING_CHG));
    EXPECT_EQ(s.ExitCaption, "&Stop");
    EXPECT_FALSE(s.NextEnabled || s.MainEnabled || s.SaveEnabled || s.PrintEnabled || s.ExportEnabled);
    EXPECT_EQ(s.ProgressMax, 100);
    EXPECT_EQ(host.focus.back(), TFocus::btnExit);
    WaitForWorker();
    EXPECT_EQ(s.Page, TPage::pnlTree);
    EXPECT_EQ(s.Status, "2 changes by the setup, 0 activity\n" + Text(RS_NEXT_UNINSTALL));
    EXPECT_EQ(s.ExitCaption, "E&xit");
    EXPECT_TRUE(s.NextEnabled && s.MainEnabled && s.BackEnabled && s.PrintEnabled && s.ExportEnabled);
    EXPECT_FALSE(s.SaveEnabled);
    EXPECT_EQ(s.ProgressPosition, 0);
    EXPECT_EQ(host.focus.back(), TFocus::btnNext);
    EXPECT_EQ(host.treeEvents, "reset root finish ");
    EXPECT_EQ(context.WizardState, TWizardState::wsIdle);
    EXPECT_EQ(context.LoadedCounts[ckRegKeyCreated], 1);
    EXPECT_EQ(context.LoadedCounts[ckFileCreated], 1);
    // Back: the first page, the tree kept.
    const std::size_t nodes = tree.Lock().NodeCount();
    wizard->btnBackClick();
    EXPECT_EQ(s.Page, TPage::pnlFirst);
    EXPECT_EQ(s.Title, "Kelvora");
    EXPECT_EQ(s.Status, Text(RS_CHOOSE_IDENTIFIER));
    EXPECT_FALSE(s.BackEnabled);
    EXPECT_TRUE(s.NextEnabled);
    EXPECT_EQ(tree.Lock().NodeCount(), nodes);
}

TEST_F(WizardUninstallTest, ArchivesThatAreNoneAndDamagedOnesAreToldAlike) {
    memory.files.AddFile("C:\\Kelvora\\Junk.qor", "not an archive");
    WriteArchive("Cut", true);
    Make();
    const TWizardScreen& s = host.screen;
    // Refused at opening (no archive), or by the loader (damaged inside a
    // record): a box, the first page, the product's title; row and file stay.
    EXPECT_FALSE(Open("Junk"));
    ASSERT_TRUE(Open("Cut"));
    WaitForWorker();
    EXPECT_EQ(context.WizardState, TWizardState::wsBadArchive);
    EXPECT_EQ(host.messages, (std::vector<std::string>(2, Text(RS_INV_FILE_FORMAT))));
    EXPECT_EQ(s.Page, TPage::pnlFirst);
    EXPECT_EQ(s.Status, Text(RS_CHOOSE_IDENTIFIER));
    EXPECT_EQ(s.Title, "Kelvora");
    EXPECT_EQ(host.rows.size(), 3u);
    EXPECT_TRUE(s.NextEnabled && s.MainEnabled);
    EXPECT_EQ(s.ExitCaption, "E&xit");
    EXPECT_EQ(tree.Lock().NodeCount(), 0u);
    EXPECT_TRUE(memory.files.FileExists("C:\\Kelvora\\Junk.qor"));
    EXPECT_TRUE(Installed());
}

TEST_F(WizardUninstallTest, TheIgnoreListsHiddenChangesAreCountedAndShownOnRequest) {
    context.Settings.IgnoredFiles.Add("C:\\App\\a.txt");
    Make();
    Load();
    const TWizardScreen& s = host.screen;
    const std::string counts = ChangeCountsText(CountChanges(tree.Lock()));
    EXPECT_EQ(s.Status, counts + ". 1 change hidden by the ignore lists\n" + Text(RS_NEXT_UNINSTALL));
    EXPECT_TRUE(s.ShowIgnoredVisible);
    EXPECT_FALSE(s.ShowIgnored);
    wizard->cbShowIgnoredClick(true);
    WaitForWorker();
    EXPECT_EQ(s.Page, TPage::pnlTree);
    EXPECT_EQ(s.Status, ChangeCountsText(CountChanges(tree.Lock())) + ". 1 change of the ignore lists shown, unchecked\n" +
                            Text(RS_NEXT_UNINSTALL));
    EXPECT_TRUE(s.ShowIgnored);
    auto a = tree.Lock();
    const NodeId file = a.FindChild(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "App"), "a.txt");
    ASSERT_NE(file, kNoNode);
    EXPECT_EQ(a.CheckState(file), TCheckState::Unchecked);
}

TEST_F(WizardUninstallTest, StopEndsTheLoadWithoutAQuestion) {
    Make(true);
    ASSERT_TRUE(Open("App"));
    dispatcher.ServeUntil([&] { return context.WizardState == TWizardState::wsLoading; });
    wizard->btnExitClick();
    WaitForWorker();
    const TWizardScreen& s = host.screen;
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(context.WizardState, TWizardState::wsStopped);
    EXPECT_EQ(s.Page, TPage::pnlFirst);
    EXPECT_EQ(s.Title, "Kelvora");
    EXPECT_EQ(s.Status, Text(RS_CHOOSE_IDENTIFIER));
    EXPECT_EQ(tree.Lock().NodeCount(), 0u);
    EXPECT_EQ(host.closes, 0);
    // The close during a load stops it and goes ahead without a question.
    ASSERT_TRUE(Open("App"));
    EXPECT_TRUE(wizard->FormCloseQuery());
    EXPECT_FALSE(wizard->WorkerRunning());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WizardUninstallTest, QuestionsBeforeTheRunCanEndIt) {
    Make();
    Load();
    // Unsaved edits: Cancel ends the click before anything else.
    wizard->BranchRemoved();
    host.answers = {mrCancel};
    wizard->btnNextClick();
    EXPECT_EQ(host.messages, std::vector<std::string>{Text(RS_ASK_SAVE)});
    // No to saving, then No to uninstalling: the tree page as it was.
    host.answers = {mrNo, mrNo};
    wizard->btnNextClick();
    EXPECT_EQ(host.LastMessage(), "Are you sure you want to uninstall 'App' ?");
    EXPECT_EQ(host.screen.Page, TPage::pnlTree);
    EXPECT_TRUE(host.screen.NextEnabled);
    EXPECT_FALSE(wizard->WorkerRunning());
    EXPECT_TRUE(Installed());
}

TEST_F(WizardUninstallTest, UninstallShowsTheLogWritesItAndStartsOver) {
    context.Settings.LogLevel = 7;
    Make();
    Load();
    host.answers = {mrYes};
    wizard->btnNextClick();
    const TWizardScreen& s = host.screen;
    EXPECT_EQ(s.Page, TPage::pnlLog);
    EXPECT_FALSE(s.LogEnabled || s.NextEnabled || s.BackEnabled);
    EXPECT_EQ(s.ExitCaption, "&Stop");
    WaitForWorker();
    EXPECT_FALSE(Installed());
    EXPECT_FALSE(memory.files.Exists("C:\\App\\a.txt"));
    EXPECT_TRUE(s.LogEnabled && s.NextEnabled);
    EXPECT_EQ(s.Status, Text(RS_UNINST_COMPLETE));
    EXPECT_EQ(s.ExitCaption, "E&xit");
    EXPECT_EQ(s.ProgressPosition, 0);
    EXPECT_EQ(context.WizardState, TWizardState::wsUninstalled);
    ASSERT_EQ(host.log.size(), 3u);
    EXPECT_EQ(host.log[0], "4:" + Text(RS_DEL_REG_KEY) + "HKEY_CURRENT_USER\\Software\\Vendor ... " + Text(RS_OK));
    EXPECT_EQ(host.log[2], "-1:" + Text(RS_UNINST_NO_ERR));
    const std::string logFile = memory.files.Text("C:\\Kelvora\\Log.txt");
    EXPECT_NE(logFile.find("App day "), std::string::npos);
    EXPECT_NE(logFile.find(Text(RS_UNINST_NO_ERR)), std::string::npos);
    // Next starts over; the list shows the archive used once.
    wizard->btnNextClick();
    EXPECT_EQ(s.Page, TPage::pnlFirst);
    ASSERT_EQ(host.rows.size(), 1u);
    EXPECT_EQ(host.rows[0].Uses, "1");
}

TEST_F(WizardUninstallTest, StopDuringTheRunAsksAndNoGoesOn) {
    context.Settings.LogLevel = 0;
    Make(true);
    Load();
    host.answers = {mrYes};
    wizard->btnNextClick();
    dispatcher.ServeUntil([&] { return context.WizardState == TWizardState::wsUninstalling; });
    // No: the run goes on.
    host.answers = {mrNo};
    wizard->btnExitClick();
    EXPECT_EQ(host.LastMessage(), Text(RS_STOP_UNINSTALL));
    EXPECT_EQ(context.WizardState, TWizardState::wsUninstalling);
    EXPECT_TRUE(wizard->WorkerRunning());
    // Yes: stopped.
    host.answers = {mrYes};
    wizard->btnExitClick();
    WaitForWorker();
    EXPECT_EQ(host.screen.Status, Text(RS_UNINST_STOPPED));
    EXPECT_EQ(context.WizardState, TWizardState::wsUninstalled);
    // LogLevel 0 leaves Log.txt alone.
    EXPECT_FALSE(memory.files.Exists("C:\\Kelvora\\Log.txt"));
}

TEST_F(WizardUninstallTest, WorkersThatFailAreReportedAndCountAsStopped) {
    Make(true);
    heldWorkers.fail = true;
    ASSERT_TRUE(Open("App"));
    WaitForWorker();
    EXPECT_EQ(host.LastMessage(), "failed");
    EXPECT_EQ(host.screen.Page, TPage::pnlFirst);
    EXPECT_EQ(host.screen.Title, "Kelvora");
    EXPECT_TRUE(host.screen.NextEnabled && host.screen.MainEnabled);
    heldWorkers.fail = false;
    Load();
    heldWorkers.fail = true;
    host.answers = {mrYes};
    wizard->btnNextClick();
    WaitForWorker();
    EXPECT_EQ(host.LastMessage(), "failed");
    EXPECT_EQ(host.screen.Status, Text(RS_UNINST_STOPPED));
    EXPECT_EQ(context.WizardState, TWizardState::wsUninstalled);
}

TEST_F(WizardUninstallTest, LogFileThatCannotBeWrittenIsReportedAndTheRunEnds) {
    context.Settings.LogLevel = 7;
    memory.files.AddFolder("C:\\Kelvora\\Log.txt");
    Make();
    Load();
    host.answers = {mrYes};
    wizard->btnNextClick();
    WaitForWorker();
    EXPECT_EQ(host.LastMessage(), TranslateString(RS_CLI_LOG_FAILED));
    EXPECT_TRUE(host.screen.NextEnabled);
    EXPECT_EQ(host.screen.ExitCaption, "E&xit");
    EXPECT_FALSE(host.log.empty());
}

}  // namespace
}  // namespace kelvora
