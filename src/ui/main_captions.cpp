#include "ui/main_captions.h"

namespace kelvora::ui {

namespace {

constexpr TCaption kCaptions[] = {
    {idRbInstall, "rbInstall", "&Install a new application"},
    {idLblInstall, "lblInstall",
     "Monitor the installation of this application. Afterwards it is possible to restore any changes detected if "
     "needed."},
    {idRbUninstall, "rbUninstall", "&Uninstall or view changes of a monitored application"},
    {idLblChoose, "lblChoose", "Choose the name of the application"},
    {idBtnOptions, "btnOptions", "&Options"},
    {idLblRegistry, "lblRegistry",
     "To detect the registry changes it is necessary to scan the system registry before the application is "
     "installed. The following registry categories will be scanned:"},
    {idHKCR, "HKCR", "HKEY_CLASSES_ROOT category"},
    {idHKLM, "HKLM", "HKEY_LOCAL_MACHINE category"},
    {idHKUS, "HKUS", "HKEY_USERS category"},
    {idHKCU, "HKCU", "HKEY_CURRENT_USER category"},
    {idHKCC, "HKCC", "HKEY_CURRENT_CONFIG category"},
    {idLblFiles, "lblFiles",
     "To detect the file system changes it is necessary to scan the content of the hard disk before the setup "
     "program is run. Targets to scan:"},
    {idSWin, "SWin", "Scan '&Windows' folder"},
    {idSProg, "SProg", "Scan '&Program Files' folder"},
    {idSRest, "SRest", "Scan the &entire system partition"},
    {idCbOthers, "cbOthers", "&Other folders (separated by semicolon)"},
    {idLblWarning, "lblWarning", "Warning !"},
    {idLblWarningText, "lblWarningText",
     "Don't copy, rename, move or run other applications before this program is finished. All these changes can be "
     "restored when the monitored application is uninstalled with this program."},
    {idRbUna, "rbUna", "Install &one application"},
    {idBtnBrowse, "btnBrowse", "Bro&wse"},
    {idLblUna, "lblUna",
     "If the setup program requires to restart the computer you should accept. This program is automatically "
     "started to complete the monitoring process."},
    {idRbMulte, "rbMulte", "Install &several applications (Exit)"},
    {idLblMulte, "lblMulte",
     "After you finish the installations you must run this program manually  to complete the monitoring process. "
     "All these applications will be uninstalled in one step."},
    {idRbStarted, "rbStarted", "&Install one or more applications during this screen"},
    {idLblStarted, "lblStarted",
     "After you finish the installations press <Next>  to complete the monitoring process. All these applications "
     "will be uninstalled in one step."},
    {idLblReferences, "lblReferences", "References:"},
    {idLblReferencesText, "lblReferencesText",
     "After installing you should  run the application(s). Most of them make registry changes at first run. In this "
     "case these changes will be detected as well."},
    {idSbString, "sbString", "&Text"},
    {idSbHexa, "sbHexa", "&Hexadecimal"},
    {idCbHideActivity, "cbHideActivity", "Hide acti&vity"},
    {idBtnSave, "btnSave", "&Save"},
    {idBtnPrint, "btnPrint", "&Print"},
    {idBtnExport, "btnExport", "&Export"},
    {idCbShowIgnored, "cbShowIgnored", "Show ignored changes"},
    {idLblLog, "lblLog", "Uninstallation log"},
    {idLblProgress, "lblProgress", "Overall progress:"},
    {idBtnAbout, "btnAbout", "&About"},
    {idBtnBack, "btnBack", "<<  B&ack"},
    {idBtnNext, "btnNext", "&Next  >>"},
    {idBtnExit, "btnExit", "E&xit"},
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
};

}  // namespace

std::span<const TCaption> MainCaptions() { return kCaptions; }

std::string_view CaptionOf(int id) {
    for (const TCaption& c : kCaptions)
        if (c.Id == id) return c.English;
    return {};
}

}  // namespace kelvora::ui
