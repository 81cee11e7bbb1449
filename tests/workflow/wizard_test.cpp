// The wizard's install path, driven through its handlers as the window does:
// every case of Next, Back and Exit, the scans' completion handlers, the run
// modes, the drops, the resumed start, the list and every row of the close.
#include "workflow/wizard.h"

#include <gtest/gtest.h>

#include "changes/chg_archive.h"
#include "monitoring/monitoring.h"
#include "monitoring/targets.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"
#include "translation/messages.h"
#include "wizard_test_support.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
using testing::HeldWorkers;
using testing::RecordingHost;

constexpr const char* kFolder = "C:\\Kelvora";
constexpr const char* kMarker = "C:\\Kelvora\\Continue.dat";

class WizardTest : public testing::WizardFixture {
protected:
    WizardTest() {
        memory.files.AddFolder("C:\\Setups");
        memory.registry.PutString(kLocalMachine, std::string(kRunKeyPath), "Other", "x.exe");
        memory.registry.PutString(kCurrentUser, "Software\\Before", "Value", "old");
        // Only HKEY_CURRENT_USER: one step, quick.
        TSettings& s = context.Settings;
        s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCC = false;
        s.ScanHKCU = true;
        s.ScanWin = s.ScanProg = s.ScanEntire = s.ScanOthers = false;
    }

    // Lets the held worker end and serves its completion handler.
    void Release() {
        heldWorkers.last->release = true;
        WaitForWorker();
    }
    // From the first page to the targets page.
    void Begin(std::string_view identifier = "App") {
        wizard->edIdentifChange(identifier);
        wizard->btnNextClick();
    }
    // From the first page to the run page, through a real or a held scan.
    void ToRunPage() {
        Begin();
        wizard->btnNextClick();
        if (wizard->WorkerRunning() && heldWorkers.last != nullptr) Release();
        WaitForWorker();
        ASSERT_EQ(host.screen.Page, TPage::pnlRun);
    }
    // The program started at the next logon: the Run value, and the logon
    // task that must always come and go with it.
    std::string RunValue() {
        platform::RegKey key;
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        std::string value;
        if (memory.registry.OpenKey(kLocalMachine, kRunKeyPath, platform::kKeyRead, key) == 0 &&
            memory.registry.QueryValue(key, kRunValueName, type, data) == 0) {
            value.assign(data.begin(), data.end() - 1);
        }
        EXPECT_EQ(memory.shell.LogonTask(kRunValueName), value);
        return value;
    }
    bool SnapshotExists() { return memory.files.Exists("C:\\Kelvora\\HKCU.SNS"); }
};

TEST_F(WizardTest, FirstPageNextFollowsTheChoiceTheIdentifierAndTheSelection) {
    TWizard& w = Make();
    EXPECT_EQ(host.screen.Status, Text(RS_ENTER_IDENTIFIER));
    EXPECT_EQ(host.screen.Title, "Kelvora");
    EXPECT_EQ(host.screen.ExitCaption, "E&xit");
    EXPECT_FALSE(host.screen.NextEnabled);
    w.edIdentifChange("A");
    EXPECT_TRUE(host.screen.NextEnabled);
    w.rbUninstallClick();
    EXPECT_EQ(host.screen.Status, Text(RS_CHOOSE_IDENTIFIER));
    EXPECT_FALSE(host.screen.IdentifierEnabled);
    EXPECT_TRUE(host.screen.ListEnabled);
    EXPECT_FALSE(host.screen.NextEnabled) << "the empty list has no selection";
    host.rows.push_back({"Old", "", "", "0"});
    host.selected = 0;
    w.lvQorFilesSelectItem();
    EXPECT_TRUE(host.screen.NextEnabled);
    w.rbInstallClick();
    w.edIdentifChange("");
    EXPECT_FALSE(host.screen.NextEnabled);
    EXPECT_TRUE(host.screen.IdentifierEnabled);
    EXPECT_FALSE(host.screen.ListEnabled);

    // A language chosen in the options reaches the page at once.
    w.rbUninstallClick();
    SetMessageLanguage("Ids", [](std::string_view id) -> std::optional<std::string> { return std::string(id); });
    w.LanguageChanged();
    EXPECT_EQ(host.screen.Status, "RS_CHOOSE_IDENTIFIER");
    EXPECT_EQ(host.screen.ExitCaption, "RS_EXIT");
    SetMessageLanguage("", {});
}

TEST_F(WizardTest, TypedCharactersAreFiltered) {
    for (char c : std::string("\\/:*?\"<>|")) EXPECT_FALSE(TWizard::IdentifierKeyAllowed("a", c)) << c;
    EXPECT_TRUE(TWizard::IdentifierKeyAllowed("a", '\''));
    EXPECT_FALSE(TWizard::IdentifierKeyAllowed("", ' '));
    EXPECT_TRUE(TWizard::IdentifierKeyAllowed("a", ' '));
    EXPECT_FALSE(TWizard::SetupPathKeyAllowed("C", '*'));
    EXPECT_FALSE(TWizard::SetupPathKeyAllowed("C", '?'));
    EXPECT_FALSE(TWizard::SetupPathKeyAllowed("", ' '));
    EXPECT_TRUE(TWizard::SetupPathKeyAllowed("C", ':'));
    // And a drive typed as D: is stored as D:\.
    EXPECT_EQ(StoredOtherPaths("D:;D:\\Tools"), "D:\\;D:\\Tools");
}

TEST_F(WizardTest, IdentifiersThatCannotNameAFileAreRefusedBeforeAnyScan) {
    TWizard& w = Make();
    for (const char* bad : {"CON", "lpt1.txt", "App.", "App ", "a\"b"}) {
        host.messages.clear();
        Begin(bad);
        EXPECT_EQ(host.screen.Page, TPage::pnlFirst) << bad;
        EXPECT_EQ(host.messages.size(), 1u) << bad;
        EXPECT_EQ(host.focus.back(), TFocus::edIdentif);
    }
    // A setup program in a drive's root names the drive.
    w.dndFirstDnDItem("C:\\setup.exe");
    EXPECT_EQ(host.screen.Identifier, "C:");
    w.btnNextClick();
    EXPECT_EQ(host.screen.Page, TPage::pnlFirst);
    EXPECT_FALSE(memory.registry.KeyExists(kCurrentUser, kSettingsKeyPath));
}

TEST_F(WizardTest, TargetsPageCountsStepsAndTheEntirePartitionHoldsTheStandardFolders) {
    TWizard& w = Make();
    Begin("My App");
    const TWizardScreen& s = host.screen;
    EXPECT_EQ(s.Page, TPage::pnlTargets);
    EXPECT_EQ(s.Title, "Kelvora [My App] - installing");
    EXPECT_EQ(s.Status, Text(RS_SELECT_TARGETS));
    EXPECT_TRUE(s.BackEnabled);
    EXPECT_EQ(s.ProgressMax, 5);
    w.TargetClick(tgSRest, true);
    EXPECT_TRUE(s.Targets[tgSWin].Checked && s.Targets[tgSProg].Checked);
    EXPECT_FALSE(s.Targets[tgSWin].Enabled || s.Targets[tgSProg].Enabled);
    EXPECT_EQ(s.ProgressMax, 10);
    w.TargetClick(tgSRest, false);
    EXPECT_TRUE(s.Targets[tgSWin].Enabled && s.Targets[tgSWin].Checked) << "keeps its state";
    w.TargetClick(tgSWin, false);
    w.TargetClick(tgSProg, false);
    w.TargetClick(tgHKCU, false);
    EXPECT_FALSE(s.NextEnabled);
    w.TargetClick(tgOthers, true);
    EXPECT_TRUE(s.OtherPathsEnabled);
    EXPECT_TRUE(s.NextEnabled);
}

TEST_F(WizardTest, InvalidOtherPathIsReportedAndNothingIsWritten) {
    TWizard& w = Make();
    Begin();
    w.TargetClick(tgOthers, true);
    w.edOthersChange("C:\\Setups;C:\\Missing;C:\\Kelvora");
    w.btnNextClick();
    EXPECT_EQ(host.LastMessage(), "Invalid path: C:\\Missing");
    EXPECT_EQ(host.focus.back(), TFocus::edOthers);
    EXPECT_EQ(host.screen.Page, TPage::pnlTargets);
    EXPECT_FALSE(w.WorkerRunning());
    EXPECT_FALSE(memory.registry.KeyExists(kCurrentUser, kSettingsKeyPath));
    // A relative piece names no folder of its own, whatever the current one.
    memory.files.SetCurrentDir("C:\\");
    w.edOthersChange("Setups");
    w.btnNextClick();
    EXPECT_EQ(host.LastMessage(), "Invalid path: Setups");
    EXPECT_FALSE(w.WorkerRunning());
    // The check stops at the first empty piece; the whole text is stored.
    w.edOthersChange("C:\\Setups;;C:\\Missing");
    w.btnNextClick();
    WaitForWorker();
    EXPECT_EQ(context.Settings.ScanOtherPaths, "C:\\Setups;;C:\\Missing");
    EXPECT_EQ(memory.files.GetCurrentDir(), kFolder);
}

TEST_F(WizardTest, OnlyOthersCheckedAndEmptyScansNothingAndGoesOn) {
    context.Settings.ScanHKCU = false;
    context.Settings.ScanOthers = true;
    TWizard& w = Make();
    Begin();
    w.btnNextClick();
    EXPECT_FALSE(host.screen.Targets[tgOthers].Checked);
    WaitForWorker();
    EXPECT_EQ(host.screen.Page, TPage::pnlRun);
}

TEST_F(WizardTest, WholeMonitoringOfOneApplication) {
    TWizard& w = Make();
    ToRunPage();
    const TWizardScreen& s = host.screen;
    // Entering the run page.
    EXPECT_EQ(s.Status, Text(RS_SETUP_PATH));
    EXPECT_EQ(s.ExitCaption, "E&xit");
    EXPECT_FALSE(s.NextEnabled);
    EXPECT_EQ(host.focus.back(), TFocus::edSetupPath);
    EXPECT_EQ(memory.files.Text(kMarker), "App\r\n");
    EXPECT_EQ(RunValue(), "C:\\Kelvora\\Kelvora.exe");
    EXPECT_TRUE(SnapshotExists());
    EXPECT_EQ(s.ProgressPosition, 1);
    // The targets were stored when the scan started.
    TSettings stored;
    LoadSettings(memory.registry, stored, kFolder);
    EXPECT_TRUE(stored.ScanHKCU);
    EXPECT_FALSE(stored.ScanHKLM);
    // Starting the setup program.
    w.edSetupPathChange("%TEMP%\\setup.exe");
    EXPECT_TRUE(s.NextEnabled);
    w.btnNextClick();
    EXPECT_EQ(memory.shell.Executed().at(0).file, "%TEMP%\\setup.exe");
    EXPECT_EQ(context.WizardState, TWizardState::wsSetupRunning);
    EXPECT_EQ(context.Settings.LastAppRunPath, "%TEMP%\\");
    EXPECT_EQ(s.Status, Text(RS_NEXT_RESCAN_CONT));
    EXPECT_FALSE(s.RunModesEnabled || s.SetupPathEnabled || s.BrowseEnabled);
    // What the setup did.
    memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Installed", "yes");
    w.btnNextClick();
    EXPECT_EQ(s.Page, TPage::pnlTree);
    EXPECT_EQ(s.ExitCaption, "&Stop");
    EXPECT_FALSE(memory.files.Exists(kMarker));
    EXPECT_EQ(RunValue(), "");
    WaitForWorker();
    EXPECT_EQ(s.Status, "2 changes by the setup, 0 activity\n" + Text(RS_COMPLETE));
    EXPECT_EQ(context.WizardState, TWizardState::wsMonitored);
    EXPECT_TRUE(s.NextEnabled && s.PrintEnabled && s.ExportEnabled);
    EXPECT_FALSE(s.SaveEnabled);
    EXPECT_EQ(s.ProgressPosition, 0);
    EXPECT_EQ(host.treeEvents, "reset root finish ");
    EXPECT_TRUE(memory.files.FileExists("C:\\Kelvora\\App.qor"));
    EXPECT_FALSE(SnapshotExists());
    {
        auto a = tree.Lock();
        EXPECT_EQ(a.Data(a.FileSystem()).Name, "File System (no changes)");
        EXPECT_EQ(a.Data(a.Registry()).Name, "Registry");
    }
    // Start over: the list shows the new archive.
    w.btnNextClick();
    EXPECT_EQ(s.Page, TPage::pnlFirst);
    EXPECT_EQ(s.Title, "Kelvora");
    EXPECT_EQ(s.Identifier, "");
    EXPECT_EQ(s.SetupPath, "");
    ASSERT_EQ(host.rows.size(), 1u);
    EXPECT_EQ(host.rows[0].Identifier, "App");
    EXPECT_EQ(host.rows[0].Uses, "0");
    EXPECT_EQ(host.rows[0].LastUsed, "");
    // A new monitoring of App would replace its archive: asked first, and a
    // No ends Next before anything else.
    host.messages.clear();
    Begin("App");
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"An archive of 'App' exists. Replace it when the new monitoring is saved?"}));
    EXPECT_EQ(s.Page, TPage::pnlFirst);
    EXPECT_EQ(s.Title, "Kelvora");
    EXPECT_EQ(host.focus.back(), TFocus::edIdentif);
    host.answers = {mrYes};
    w.btnNextClick();
    EXPECT_EQ(s.Page, TPage::pnlTargets);
}

TEST_F(WizardTest, RescanThatFindsNothingWritesNoArchive) {
    TWizard& w = Make();
    ToRunPage();
    w.RunModeClick(TRunMode::rbStarted);
    w.btnNextClick();
    WaitForWorker();
    EXPECT_FALSE(memory.files.Exists("C:\\Kelvora\\App.qor"));
    auto a = tree.Lock();
    EXPECT_EQ(a.NodeCount(), 3u);
    EXPECT_EQ(a.Data(a.Registry()).Name, "Registry (no changes)");
}

TEST_F(WizardTest, SetupThatCannotStartChangesNothing) {
    TWizard& w = Make();
    ToRunPage();
    memory.shell.SetExecuteResult(false, 193);
    w.edSetupPathChange("C:\\Setups\\missing.exe");
    w.btnNextClick();
    EXPECT_EQ(host.LastMessage(), "Can't start the program 'C:\\Setups\\missing.exe'!");
    EXPECT_EQ(host.screen.Status, "The setup program could not be started (error 193).");
    EXPECT_EQ(host.focus.back(), TFocus::edSetupPath);
    EXPECT_EQ(context.WizardState, TWizardState::wsScanned);
    EXPECT_TRUE(host.screen.RunModesEnabled && host.screen.SetupPathEnabled);
    EXPECT_EQ(context.Settings.LastAppRunPath, "");
}

TEST_F(WizardTest, SetupThatEndsWellIsNotSpokenOf) {
    TWizard& w = Make();
    ToRunPage();
    w.edSetupPathChange("C:\\Setups\\setup.exe");
    w.btnNextClick();
    memory.shell.EndStarted(0);
    dispatcher.ProcessPending();
    EXPECT_EQ(host.screen.Status, Text(RS_NEXT_RESCAN_CONT));
    EXPECT_FALSE(host.screen.RunModesEnabled);
}

TEST_F(WizardTest, SetupThatEndsWithAnErrorSaysSoWithItsCode) {
    TWizard& w = Make();
    ToRunPage();
    const TWizardScreen& s = host.screen;
    w.edSetupPathChange("C:\\Setups\\setup32.exe");
    w.btnNextClick();
    memory.shell.EndStarted(0xC0000135);
    dispatcher.ProcessPending();
    EXPECT_EQ(s.Status, "The setup program ended with exit code 0xC0000135. Press <Next> to re-scan the targets, or "
                        "choose to install one application to start a setup again.");
    // Next rescans, or another setup can be started.
    EXPECT_TRUE(s.RunModesEnabled && s.NextEnabled);
    EXPECT_EQ(s.RunMode, TRunMode::rbStarted);
    EXPECT_EQ(context.WizardState, TWizardState::wsSetupRunning);
    w.RunModeClick(TRunMode::rbUna);
    EXPECT_TRUE(s.SetupPathEnabled && s.NextEnabled);
    w.btnNextClick();
    EXPECT_EQ(memory.shell.Executed().size(), 2u);
    memory.shell.EndStarted(1);
    dispatcher.ProcessPending();
    EXPECT_EQ(s.Status, FormatText(Text(RS_SETUP_FAILED), {"1"}));
    // An end that comes after the rescan began changes nothing.
    w.RunModeClick(TRunMode::rbUna);
    w.btnNextClick();
    w.btnNextClick();
    EXPECT_EQ(s.Page, TPage::pnlTree);
    memory.shell.EndStarted(2);
    dispatcher.ProcessPending();
    EXPECT_EQ(s.Page, TPage::pnlTree);
    WaitForWorker();
    EXPECT_TRUE(s.Status.ends_with("\n" + Text(RS_COMPLETE))) << s.Status;
}

TEST_F(WizardTest, EndOfTheSetupAfterTheWindowClosedIsNotReported) {
    TWizard& w = Make();
    ToRunPage();
    w.edSetupPathChange("C:\\Setups\\setup.exe");
    w.btnNextClick();
    wizard.reset();
    memory.shell.EndStarted(1);
    EXPECT_EQ(dispatcher.ProcessPending(), 0u);
}

TEST_F(WizardTest, RunModesSetNextTheFieldTheStatusAndTheState) {
    TWizard& w = Make();
    ToRunPage();
    const TWizardScreen& s = host.screen;
    w.RunModeClick(TRunMode::rbMulte);
    EXPECT_FALSE(s.NextEnabled || s.SetupPathEnabled || s.BrowseEnabled);
    EXPECT_EQ(s.Status, Text(RS_EXIT_MANUAL_RUN));
    EXPECT_EQ(context.WizardState, TWizardState::wsScanned);
    // A drop enables Next whatever the mode; Next then starts the program.
    w.dndSetupItem("C:\\Setups\\tool.exe");
    EXPECT_TRUE(s.NextEnabled);
    w.RunModeClick(TRunMode::rbStarted);
    EXPECT_TRUE(s.NextEnabled);
    EXPECT_FALSE(s.SetupPathEnabled);
    EXPECT_EQ(s.Status, Text(RS_NEXT_RESCAN_CONT));
    EXPECT_EQ(context.WizardState, TWizardState::wsSetupRunning);
    w.RunModeClick(TRunMode::rbUna);
    EXPECT_TRUE(s.NextEnabled && s.SetupPathEnabled && s.BrowseEnabled);
    EXPECT_EQ(s.Status, Text(RS_SETUP_PATH));
    EXPECT_EQ(context.WizardState, TWizardState::wsScanned);
    // The mode chosen stays for the next monitoring, with its rules: Next
    // rescans at once in "during this screen".
    w.RunModeClick(TRunMode::rbStarted);
    w.btnNextClick();
    WaitForWorker();
    w.btnNextClick();
    ToRunPage();
    EXPECT_EQ(context.WizardState, TWizardState::wsSetupRunning);
    EXPECT_TRUE(s.NextEnabled);
    w.btnNextClick();
    EXPECT_EQ(s.Page, TPage::pnlTree);
    WaitForWorker();
}

TEST_F(WizardTest, DropsOnTheFirstPageNameTheIdentifier) {
    TWizard& w = Make();
    w.dndFirstDnDItem("C:\\Downloads\\Tool\\Setup.exe");
    EXPECT_EQ(host.screen.Identifier, "Tool");
    EXPECT_EQ(host.screen.SetupPath, "C:\\Downloads\\Tool\\Setup.exe");
    w.dndFirstDnDItem("C:\\Downloads\\INSTALL.EXE");
    EXPECT_EQ(host.screen.Identifier, "Downloads");
    w.rbUninstallClick();
    w.dndFirstDnDItem("C:\\Downloads\\tool.exe");
    EXPECT_EQ(host.screen.Identifier, "tool.exe");
    EXPECT_FALSE(host.screen.NextEnabled) << "the uninstall choice has no selection";
}

TEST_F(WizardTest, OfSeveralFilesDroppedTheLastCountsAndOnlyTheFirstAndRunPagesTakeThem) {
    TWizard& w = Make();
    w.FilesDropped({"C:\\Setups\\one.exe", "C:\\Setups\\two.exe"});
    EXPECT_EQ(host.screen.Identifier, "two.exe");
    EXPECT_EQ(host.screen.SetupPath, "C:\\Setups\\two.exe");
    Begin();
    ASSERT_EQ(host.screen.Page, TPage::pnlTargets);
    w.FilesDropped({"C:\\Setups\\three.exe"});
    EXPECT_EQ(host.screen.Identifier, "App");
    EXPECT_EQ(host.screen.SetupPath, "C:\\Setups\\two.exe");
    w.btnNextClick();
    WaitForWorker();
    ASSERT_EQ(host.screen.Page, TPage::pnlRun);
    w.FilesDropped({"C:\\Setups\\four.exe"});
    EXPECT_EQ(host.screen.SetupPath, "C:\\Setups\\four.exe");
    EXPECT_EQ(host.screen.Identifier, "App");
}

TEST_F(WizardTest, ListRowsSortByNameDatesAndUses) {
    TWizard& w = Make();
    const TArchiveRow a{"alpha", "", "", "", 2.0, 0.0, 7}, b{"Beta", "", "", "", 1.0, 3.0, 7};
    EXPECT_LT(w.CompareListRows(a, b, 0), 0);
    EXPECT_GT(w.CompareListRows(a, b, 1), 0);
    EXPECT_LT(w.CompareListRows(a, b, 2), 0);
    EXPECT_EQ(w.CompareListRows(a, b, 3), 0);
}

TEST_F(WizardTest, StopDuringTheFirstScanAndBack) {
    TWizard& w = Make(true);
    Begin();
    w.btnNextClick();
    EXPECT_EQ(host.screen.ExitCaption, "&Stop");
    EXPECT_EQ(host.focus.back(), TFocus::btnExit);
    EXPECT_FALSE(host.screen.NextEnabled || host.screen.BackEnabled || host.screen.Targets[tgHKCU].Enabled);
    // No: the scan goes on.
    w.btnExitClick();
    EXPECT_EQ(host.LastMessage(), Text(RS_ABORT_SCANNING));
    EXPECT_TRUE(w.WorkerRunning());
    // Yes: stopped.
    memory.files.AddFile("C:\\Kelvora\\HKCU.SNS", "partial");
    host.answers = {mrYes};
    w.btnExitClick();
    WaitForWorker();
    const TWizardScreen& s = host.screen;
    EXPECT_EQ(s.Page, TPage::pnlTargets);
    EXPECT_EQ(s.Status, Text(RS_SCAN_ABORTED));
    EXPECT_EQ(s.ExitCaption, "E&xit");
    EXPECT_TRUE(s.BackEnabled);
    EXPECT_FALSE(s.NextEnabled);
    EXPECT_FALSE(SnapshotExists());
    EXPECT_FALSE(memory.files.Exists(kMarker));
    // Back gives the monitoring up and keeps the identifier.
    memory.files.AddFile(kMarker, "App\r\n");
    w.btnBackClick();
    EXPECT_EQ(s.Page, TPage::pnlFirst);
    EXPECT_EQ(s.Title, "Kelvora");
    EXPECT_EQ(s.Identifier, "App");
    EXPECT_TRUE(s.NextEnabled);
    EXPECT_EQ(context.WizardState, TWizardState::wsIdle);
    EXPECT_FALSE(memory.files.Exists(kMarker));
}

TEST_F(WizardTest, ScanThatFailsIsReportedAndTreatedAsStopped) {
    memory.files.SetDiskFull(true);
    TWizard& w = Make();
    Begin();
    w.btnNextClick();
    WaitForWorker();
    EXPECT_EQ(host.LastMessage().rfind("Scanning failed: ", 0), 0u) << host.LastMessage();
    EXPECT_EQ(host.screen.Page, TPage::pnlTargets);
    EXPECT_EQ(host.screen.Status, Text(RS_SCAN_ABORTED));
    EXPECT_FALSE(memory.files.Exists(kMarker));
}

TEST_F(WizardTest, WithoutTheRunKeyNeitherValueNorTaskIsMadeAndTheMarkerStillIs) {
    ASSERT_EQ(memory.registry.DeleteKey(kLocalMachine, kRunKeyPath), 0);
    Make();
    ToRunPage();
    EXPECT_EQ(RunValue(), "");
    EXPECT_EQ(memory.files.Text(kMarker), "App\r\n");
}

TEST_F(WizardTest, ResumedStartWaitsOnTheTreePageAndRescans) {
    memory.files.AddFile(kMarker, "Resumed\r\n");
    TWizard& w = Make();
    const TWizardScreen& s = host.screen;
    EXPECT_EQ(s.Page, TPage::pnlTree);
    EXPECT_EQ(s.Title, "Kelvora [Resumed] - installing");
    EXPECT_EQ(s.Status, Text(RS_NEXT_RESCAN));
    EXPECT_EQ(context.WizardState, TWizardState::wsResumed);
    EXPECT_TRUE(s.NextEnabled);
    EXPECT_EQ(s.ProgressMax, 5);
    EXPECT_EQ(s.ProgressPosition, 1);
    EXPECT_TRUE(host.rows.empty()) << "the list is not filled";
    // Its snapshot is missing: the rescan fails, and says so.
    w.btnNextClick();
    WaitForWorker();
    EXPECT_EQ(host.LastMessage().rfind("Scanning failed: ", 0), 0u) << host.LastMessage();
    EXPECT_EQ(s.Status, Text(RS_RESCAN_ABORTED));
    EXPECT_FALSE(memory.files.Exists(kMarker));
}

TEST_F(WizardTest, MarkerNamingNoFileIsNotResumed) {
    memory.files.AddFile(kMarker, "CON\r\n");
    Make();
    EXPECT_EQ(host.screen.Page, TPage::pnlFirst);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(memory.files.Exists(kMarker));
}

TEST_F(WizardTest, ListShowsArchivesAndRenamesAndDeletesThem) {
    TChgArchive archive(memory.files, memory.clock, "C:\\Kelvora\\Alpha");
    archive.CreateNew();
    archive.Save();
    memory.files.AddFile("C:\\Kelvora\\Beta.qor");
    memory.files.AddFile("C:\\Kelvora\\Hidden.qor");
    memory.files.SetAttributes("C:\\Kelvora\\Hidden.qor", platform::kAttrHidden);
    TWizard& w = Make();
    ASSERT_EQ(host.rows.size(), 2u);
    auto cells = [&](int row) {
        const TArchiveRow& r = host.rows[static_cast<std::size_t>(row)];
        return std::vector<std::string>{r.Identifier, r.Created, r.LastUsed, r.Uses};
    };
    EXPECT_EQ(cells(0), (std::vector<std::string>{"Alpha", "day " + std::to_string(static_cast<int>(memory.clock.Now())), "", "0"}));
    EXPECT_EQ(cells(1), (std::vector<std::string>{"Beta", "", "", ""}));
    EXPECT_EQ(host.selected, 0);
    w.rbUninstallClick();
    EXPECT_TRUE(host.screen.NextEnabled);
    // Rename: onto an existing archive, to a name that is no file name, then right.
    host.newName = "Beta";
    w.btnRenameClick();
    EXPECT_EQ(host.LastMessage(), "Rename failed ! An archive of 'Beta' exists already.");
    host.newName = "a|b";
    w.btnRenameClick();
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.rows[0].Identifier, "Alpha");
    host.newName = "Gamma";
    w.btnRenameClick();
    EXPECT_EQ(host.rows[0].Identifier, "Gamma");
    EXPECT_TRUE(memory.files.FileExists("C:\\Kelvora\\Gamma.qor"));
    // Delete: No keeps it; Yes deletes it and leaves no selection.
    w.btnRemoveClick();
    EXPECT_EQ(host.LastMessage(), Text(RS_REMOVE_ITEM));
    EXPECT_EQ(host.rows.size(), 2u);
    host.answers = {mrYes};
    w.btnRemoveClick();
    EXPECT_EQ(host.rows.size(), 1u);
    EXPECT_FALSE(memory.files.Exists("C:\\Kelvora\\Gamma.qor"));
    EXPECT_FALSE(host.screen.NextEnabled);
}

// ------------------------------------------------------------- the close

TEST_F(WizardTest, CloseDuringTheScansAsksToStop) {
    TWizard& w = Make(true);
    Begin();
    w.btnNextClick();
    EXPECT_FALSE(w.FormCloseQuery());
    EXPECT_EQ(host.LastMessage(), Text(RS_ABORT_SCANNING));
    EXPECT_TRUE(w.WorkerRunning()) << "No: the scan goes on";
    host.answers = {mrYes};
    EXPECT_TRUE(w.FormCloseQuery());
    EXPECT_FALSE(w.WorkerRunning());

    // The rescan: Yes stops it and the close goes ahead.
    memory.files.AddFile(kMarker, "App\r\n");
    TWizard& resumed = Make(true);
    resumed.btnNextClick();
    EXPECT_FALSE(resumed.FormCloseQuery());
    EXPECT_EQ(host.LastMessage(), Text(RS_ASK_CANCEL_ALL));
    host.answers = {mrYes};
    EXPECT_TRUE(resumed.FormCloseQuery());
    EXPECT_EQ(context.WizardState, TWizardState::wsStopped);
    EXPECT_FALSE(resumed.WorkerRunning());
}

TEST_F(WizardTest, CloseWithAMonitoringInProgressAsksToGiveItUp) {
    TWizard& w = Make();
    ToRunPage();
    // rbUna: Cancel refuses, No keeps the monitoring, Yes gives it up.
    host.answers = {mrCancel};
    EXPECT_FALSE(w.FormCloseQuery());
    EXPECT_EQ(host.LastMessage(), Text(RS_ASK_CANCEL_MONIT));
    host.answers = {mrNo};
    EXPECT_TRUE(w.FormCloseQuery());
    EXPECT_TRUE(memory.files.Exists(kMarker));
    // rbMulte: no question, everything stays.
    host.messages.clear();
    w.RunModeClick(TRunMode::rbMulte);
    EXPECT_TRUE(w.FormCloseQuery());
    EXPECT_TRUE(host.messages.empty());
    // rbStarted (wsSetupRunning): Yes gives it up.
    w.RunModeClick(TRunMode::rbStarted);
    host.answers = {mrYes};
    EXPECT_TRUE(w.FormCloseQuery());
    EXPECT_FALSE(memory.files.Exists(kMarker));
    EXPECT_FALSE(SnapshotExists());
    EXPECT_EQ(RunValue(), "");
}

// Remove branch and Add to ignore list wait for the worker that fills the
// tree; a branch goes only when the user confirms, and leaves it unsaved.
TEST_F(WizardTest, TreeEditsWaitForTheWorkerAndRemovingABranchAsksFirst) {
    TWizard& w = Make(true);
    ToRunPage();
    w.RunModeClick(TRunMode::rbStarted);
    w.btnNextClick();
    ASSERT_TRUE(w.WorkerRunning());
    TNodeData d;
    d.Kind = ckRegKeyCreated;
    d.RootKey = kCurrentUser;
    d.Path = "Software\\Vendor";
    tree.AddToTree("HKEY_CURRENT_USER\\Software\\Vendor", "App", std::move(d));
    NodeId key = kNoNode, root = kNoNode;
    {
        auto a = tree.Lock();
        root = a.Root();
        key = a.Registry();
        for (const char* name : {"HKEY_CURRENT_USER", "Software", "Vendor", "App"}) key = a.FindChild(key, name);
    }
    ASSERT_NE(key, kNoNode);
    host.messages.clear();
    w.AddToIgnore(key);
    w.RemoveBranch(key);
    EXPECT_EQ(context.Settings.IgnoredKeys.Count(), 0u);
    EXPECT_TRUE(host.messages.empty());
    Release();
    w.AddToIgnore(key);
    EXPECT_TRUE(context.Settings.IgnoredKeys.Contains("HKEY_CURRENT_USER\\Software\\Vendor\\App"));
    w.RemoveBranch(root);
    EXPECT_TRUE(host.messages.empty()) << "the frame stays";
    host.answers = {mrNo};
    w.RemoveBranch(key);
    EXPECT_EQ(host.messages, std::vector<std::string>{Text(RS_ASK_REMOVE_BRANCH)});
    EXPECT_TRUE(tree.Lock().IsAlive(key));
    EXPECT_FALSE(host.screen.SaveEnabled);
    host.answers = {mrYes};
    w.RemoveBranch(key);
    EXPECT_FALSE(tree.Lock().IsAlive(key));
    EXPECT_TRUE(host.screen.SaveEnabled);
}

TEST_F(WizardTest, UnsavedTreeAsksToSaveOnceAndAFailedSaveKeepsTheWindow) {
    TWizard& w = Make();
    ToRunPage();
    w.RunModeClick(TRunMode::rbStarted);
    memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Installed", "yes");
    w.btnNextClick();
    WaitForWorker();
    w.BranchRemoved();
    // Exit asks, No: the close does not ask again.
    host.messages.clear();
    host.answers = {mrNo};
    w.btnExitClick();
    EXPECT_EQ(host.messages, std::vector<std::string>{Text(RS_ASK_SAVE)});
    EXPECT_EQ(host.closes, 1);
    // A save that fails refuses the close: the changes stay.
    memory.files.SetDiskFull(true);
    host.answers = {mrYes};
    EXPECT_FALSE(w.FormCloseQuery());
    EXPECT_EQ(host.LastMessage(), Text(RS_ERR_SAVING));
    EXPECT_TRUE(host.screen.SaveEnabled);
    memory.files.SetDiskFull(false);
    host.answers = {mrYes};
    EXPECT_TRUE(w.FormCloseQuery());
    EXPECT_FALSE(host.screen.SaveEnabled);
    // Nothing else to ask.
    host.messages.clear();
    EXPECT_TRUE(w.FormCloseQuery());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WizardTest, AutomaticSaveThatFailsLeavesSaveAvailable) {
    TWizard& w = Make();
    ToRunPage();
    w.RunModeClick(TRunMode::rbStarted);
    memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Installed", "yes");
    memory.files.SetDiskFull(true);
    w.btnNextClick();
    WaitForWorker();
    EXPECT_EQ(host.LastMessage(), Text(RS_ERR_SAVING));
    EXPECT_TRUE(host.screen.SaveEnabled);
    memory.files.SetDiskFull(false);
    w.btnSaveClick();
    EXPECT_FALSE(host.screen.SaveEnabled);
    EXPECT_TRUE(memory.files.FileExists("C:\\Kelvora\\App.qor"));
}

}  // namespace
}  // namespace kelvora
