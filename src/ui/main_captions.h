// The main window's controls and menu items: their identifiers, the design
// names that language files address them by, their captions before
// translation and their help contexts. The window creates its controls with
// these captions, hands them to the translator and sets the help from here.
#pragma once

#include <span>
#include <string_view>

#include "ui/framework/form_table.h"

namespace kelvora::ui {

enum TMainControl : int {
    // Pages and the frame that holds them.
    idPnlMain = 100,
    idPnlFirst,
    idPnlTargets,
    idPnlRun,
    idPnlTree,
    idPnlLog,
    // First page.
    idRbInstall = 200,
    idEdIdentif,
    idLblInstall,
    idRbUninstall,
    idLblChoose,
    idLvQorFiles,
    idBtnOptions,
    // Targets page.
    idLblRegistry = 300,
    idHKCR,
    idHKLM,
    idHKUS,
    idHKCU,
    idHKCC,
    idLblFiles,
    idSWin,
    idSProg,
    idSRest,
    idCbOthers,
    idEdOthers,
    idImgWarning,
    idLblWarning,
    idLblWarningText,
    // Run page.
    idRbUna = 400,
    idEdSetupPath,
    idBtnBrowse,
    idLblUna,
    idRbMulte,
    idLblMulte,
    idRbStarted,
    idLblStarted,
    idLblReferences,
    idLblReferencesText,
    // Tree page.
    idTvChanges = 500,
    idSbString,
    idSbHexa,
    idBtnSave,
    idBtnPrint,
    idBtnExport,
    idCbShowIgnored,
    idCbHideActivity,
    // Log page.
    idLblLog = 600,
    idReLog,
    // Below the pages.
    idLblStatus = 700,
    idLblProgress,
    idPbProgress,
    idBtnAbout,
    idBtnBack,
    idBtnNext,
    idBtnExit,
    // Menu items: the list's, the tree's and the notification icon's.
    pmiDelete = 800,
    pmiRename,
    pmiCheck,
    pmiUncheck,
    pmiExpandAll,
    pmiCollapseAll,
    pmiRemoveBr,
    pmiOpen,
    pmiView,
    pmiProperties,
    pmiAddToIgnore,
    pmiRestore,
    pmiExit,
    // The file dialogs' texts.
    idSetupDialogTitle = 900,
    idSetupDialogFilter,
    idExportDialogFilter,
};

// The main window's one table: a row per control or menu item that shows a
// caption or has a help context, in the order of the language files.
std::span<const FormRow> MainCaptions();
// The caption of a control or menu item (empty when it has none).
std::string_view CaptionOf(int id);

// The main window's section in the language files.
inline constexpr const char* kMainSection = "frmQorMain";

// The main window's class (placement key, single instance).
inline constexpr const char* kMainWindowClass = "TfrmQorMain";

}  // namespace kelvora::ui
