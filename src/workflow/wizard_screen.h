// What the main window shows of the wizard: the visible page, the texts and
// the states of the controls that the wizard's decisions set. The wizard
// (wizard.h) keeps one of these; the window shows it after every event and
// hands the user's input back through the wizard's handlers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelvora {

// The five pages, in the order ShowPage walks them.
enum class TPage : std::uint8_t { pnlFirst, pnlTargets, pnlRun, pnlTree, pnlLog };

// The run modes of the run page.
enum class TRunMode : std::uint8_t { rbUna, rbMulte, rbStarted };

// The nine target boxes of the targets page, in the order of their settings
// ScanHKCR, ScanHKLM, ScanHKUS, ScanHKCU, ScanHKCC, ScanWin, ScanProg,
// ScanEntire and ScanOthers.
enum TTarget : int { tgHKCR, tgHKLM, tgHKUS, tgHKCU, tgHKCC, tgSWin, tgSProg, tgSRest, tgOthers, kTargetCount };

struct TCheckBoxState {
    bool Checked = false;
    bool Enabled = true;
    bool operator==(const TCheckBoxState&) const = default;
};

struct TWizardScreen {
    TPage Page = TPage::pnlFirst;
    std::string Title = "Kelvora";
    std::string Status;
    // Below the pages.
    bool NextEnabled = false;
    bool BackEnabled = false;
    std::string ExitCaption;  // "E&xit", or "&Stop" while a worker runs
    bool MainEnabled = true;  // pnlMain: every page at once
    int ProgressMax = 100;
    int ProgressPosition = 0;

    // First page. A disabled edit or list shows in the button-face colour.
    bool InstallChosen = true;  // rbInstall, else rbUninstall
    std::string Identifier;     // edIdentif
    bool IdentifierEnabled = true;
    bool ListEnabled = false;   // lvQorFiles

    // Targets page.
    std::array<TCheckBoxState, kTargetCount> Targets{};
    std::string OtherPaths;  // edOthers
    bool OtherPathsEnabled = false;

    // Run page.
    TRunMode RunMode = TRunMode::rbUna;
    bool RunModesEnabled = true;
    std::string SetupPath;  // edSetupPath
    bool SetupPathEnabled = true;
    bool BrowseEnabled = true;

    // Tree page.
    bool SaveEnabled = false;
    bool PrintEnabled = false;
    bool ExportEnabled = false;
    // cbShowIgnored: shown while an archive's tree has changes that the
    // ignore lists hold; checked, they are in the tree, unchecked.
    bool ShowIgnoredVisible = false;
    bool ShowIgnored = false;

    // Log page: reLog is disabled, in the button-face colour, while an
    // uninstall runs.
    bool LogEnabled = true;

    bool operator==(const TWizardScreen&) const = default;
};

}  // namespace kelvora
