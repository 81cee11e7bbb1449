#include "ui/main_captions.h"

namespace kelvora::ui {

namespace {

// The text-mode toggle sbString has 45: the hexadecimal toggle has 44 and
// Export 43, and each control's pop-up explains that control alone.
constexpr FormRow kRows[] = {
    {idRbInstall, "rbInstall", "&Install a new application", 30, "first_page.htm#install"},
    {idLblInstall, "lblInstall",
     "Monitor the installation of this application. Afterwards it is possible to restore any changes detected if "
     "needed."},
    {idRbUninstall, "rbUninstall", "&Uninstall or view changes of a monitored application", 32, "first_page.htm#uninstall"},
    {idLblChoose, "lblChoose", "Choose the name of the application"},
    {idBtnOptions, "btnOptions", "&Options", 33, "options.htm"},
    {idLblRegistry, "lblRegistry",
     "To detect the registry changes it is necessary to scan the system registry before the application is "
     "installed. The following registry categories will be scanned:"},
    {idHKCR, "HKCR", "HKEY_CLASSES_ROOT category", 1160, "targets.htm#registry"},
    {idHKLM, "HKLM", "HKEY_LOCAL_MACHINE category", 47, "targets.htm#registry"},
    {idHKUS, "HKUS", "HKEY_USERS category", 48, "targets.htm#registry"},
    {idHKCU, "HKCU", "HKEY_CURRENT_USER category", 49, "targets.htm#registry"},
    {idHKCC, "HKCC", "HKEY_CURRENT_CONFIG category", 50, "targets.htm#registry"},
    {idLblFiles, "lblFiles",
     "To detect the file system changes it is necessary to scan the content of the hard disk before the setup "
     "program is run. Targets to scan:"},
    {idSWin, "SWin", "Scan '&Windows' folder", 51, "targets.htm#folders"},
    {idSProg, "SProg", "Scan '&Program Files' folder", 52, "targets.htm#folders"},
    {idSRest, "SRest", "Scan the &entire system partition", 1230, "targets.htm#folders"},
    {idCbOthers, "cbOthers", "&Other folders (separated by semicolon)", 54, "targets.htm#others"},
    {idLblWarning, "lblWarning", "Warning !"},
    {idLblWarningText, "lblWarningText",
     "Don't copy, rename, move or run other applications before this program is finished. All these changes can be "
     "restored when the monitored application is uninstalled with this program."},
    {idRbUna, "rbUna", "Install &one application", 56, "run_page.htm#one"},
    {idBtnBrowse, "btnBrowse", "Bro&wse", 59, "run_page.htm#one"},
    {idLblUna, "lblUna",
     "If the setup program requires to restart the computer you should accept. This program is automatically "
     "started to complete the monitoring process."},
    {idRbMulte, "rbMulte", "Install &several applications (Exit)", 1290, "run_page.htm#several"},
    {idLblMulte, "lblMulte",
     "After you finish the installations you must run this program manually  to complete the monitoring process. "
     "All these applications will be uninstalled in one step."},
    {idRbStarted, "rbStarted", "&Install one or more applications during this screen", 60, "run_page.htm#during"},
    {idLblStarted, "lblStarted",
     "After you finish the installations press <Next>  to complete the monitoring process. All these applications "
     "will be uninstalled in one step."},
    {idLblReferences, "lblReferences", "References:"},
    {idLblReferencesText, "lblReferencesText",
     "After installing you should  run the application(s). Most of them make registry changes at first run. In this "
     "case these changes will be detected as well."},
    {idSbString, "sbString", "&Text", 45, "tree_page.htm#binary"},
    {idSbHexa, "sbHexa", "&Hexadecimal", 44, "tree_page.htm#binary"},
    {idCbHideActivity, "cbHideActivity", "Hide acti&vity"},
    {idBtnSave, "btnSave", "&Save", 41, "tree_page.htm#save"},
    {idBtnPrint, "btnPrint", "&Print", 42, "print_export.htm#print"},
    {idBtnExport, "btnExport", "&Export", 43, "print_export.htm#export"},
    {idCbShowIgnored, "cbShowIgnored", "Show ignored changes", 1310, "tree_page.htm#ignored"},
    {idLblLog, "lblLog", "Uninstallation log"},
    {idLblProgress, "lblProgress", "Overall progress:"},
    {idBtnAbout, "btnAbout", "&About", 39, "buttons.htm#about"},
    {idBtnBack, "btnBack", "<<  B&ack", 36, "buttons.htm"},
    {idBtnNext, "btnNext", "&Next  >>", 37, "buttons.htm"},
    {idBtnExit, "btnExit", "E&xit", 38, "buttons.htm#exit"},
    {pmiDelete, "pmiDelete", "&Delete\tDel"},
    {pmiRename, "pmiRename", "Rena&me"},
    {pmiCheck, "pmiCheck", "Check branch"},
    {pmiUncheck, "pmiUncheck", "Uncheck branch"},
    {pmiExpandAll, "pmiExpandAll", "Expand all"},
    {pmiCollapseAll, "pmiCollapseAll", "Collapse all"},
    {pmiRemoveBr, "pmiRemoveBr", "Remove branch\tDel"},
    {pmiOpen, "pmiOpen", "Open"},
    {pmiView, "pmiView", "View"},
    {pmiProperties, "pmiProperties", "P&roperties"},
    {pmiAddToIgnore, "pmiAddToIgnore", "Add to ignore list"},
    {pmiRestore, "pmiRestore", "&Restore"},
    {pmiExit, "pmiExit", "E&xit"},
    {idSetupDialogTitle, "odSetup.Title", "Choose the setup program"},
    {idSetupDialogFilter, "odSetup.Filter", "Applications (*.exe)|*.exe|All files (*.*)|*.*"},
    {idExportDialogFilter, "sdExport.Filter",
     "Text files (*.txt)|*.txt|HTML report (*.html)|*.html;*.htm|JSON for scripts (*.json)|*.json|"
     "Undo package (*.cmd, *.reg)|*.cmd|All files (*.*)|*.*"},
    // Controls without a caption: the help only.
    {idPnlFirst, "pnlFirst", nullptr, 46, "first_page.htm"},
    {idEdIdentif, "edIdentif", nullptr, 31, "first_page.htm#install"},
    {idLvQorFiles, "lvQorFiles", nullptr, 34, "first_page.htm#list"},
    {idEdOthers, "edOthers", nullptr, 55, "targets.htm#others"},
    {idEdSetupPath, "edSetupPath", nullptr, 57, "run_page.htm#one"},
    {idTvChanges, "tvChanges", nullptr, 40, "tree_page.htm"},
    {idReLog, "reLog", nullptr, 1300, "undo.htm#log"},
    {idPbProgress, "pbProgress", nullptr, 35, "buttons.htm#progress"},
};

}  // namespace

std::span<const FormRow> MainCaptions() { return kRows; }

std::string_view CaptionOf(int id) {
    const FormRow* row = RowOf(kRows, id);
    return row != nullptr && row->English != nullptr ? row->English : std::string_view();
}

}  // namespace kelvora::ui
