// The tree page: the changes tree's context menu and what its items do,
// and the export of the tree as text.
#include "ui/main_window.h"

#include <shellapi.h>

#include "changes/text_export.h"
#include "export/export_format.h"
#include "export/html_report.h"
#include "export/json_export.h"
#include "export/json_text.h"
#include "export/undo_package.h"
#include "kelvora_version.h"
#include "platform/win32/date_time_win.h"
#include "translation/messages.h"
#include "ui/framework/common_dialogs.h"
#include "ui/framework/popup_menu.h"
#include "ui/main_captions.h"
#include "ui/shell_run.h"
#include "workflow/tree_menu.h"

namespace kelvora::ui {

void TfrmQorMain::TreeContextMenu(POINT pt) {
    const TTreeMenuState state = wizard_->TreeMenu(tvChanges.FocusedNode());
    PopupMenu menu;
    auto item = [&](UINT id, bool enabled) {
        menu.AddItem(id, Caption(static_cast<int>(id)));
        menu.SetEnabled(id, enabled);
    };
    if (state.CheckVisible) {
        item(pmiCheck, state.CheckEnabled);
        item(pmiUncheck, state.CheckEnabled);
        menu.AddSeparator();
    }
    item(pmiExpandAll, state.ExpandEnabled);
    item(pmiCollapseAll, state.ExpandEnabled);
    menu.AddSeparator();
    item(pmiRemoveBr, state.RemoveEnabled);
    menu.AddSeparator();
    item(pmiOpen, state.OpenEnabled);
    item(pmiView, state.ViewEnabled);
    item(pmiProperties, state.OpenEnabled);
    if (state.AddToIgnoreVisible) {
        menu.AddSeparator();
        item(pmiAddToIgnore, state.AddToIgnoreEnabled);
    }
    TreeCommand(menu.Track(Handle(), pt));
}

void TfrmQorMain::TreeCommand(UINT id) {
    VirtualTree& tree = tvChanges.Tree();
    const NodeId node = tvChanges.FocusedNode();
    switch (id) {
    case pmiCheck:
    case pmiUncheck:
        if (node != kNoNode) model_.Lock().SetBranchChecked(node, id == pmiCheck);
        break;
    case pmiExpandAll:
        tree.ExpandAll();
        break;
    case pmiCollapseAll:
        TreeFinishForViewing();
        break;
    case pmiRemoveBr:
        wizard_->RemoveBranch(node);
        break;
    case pmiOpen:
    case pmiView:
        OpenItem(id == pmiView);
        break;
    case pmiProperties:
        ShowProperties();
        break;
    case pmiAddToIgnore:
        wizard_->AddToIgnore(node);
        break;
    default:
        break;
    }
}

void TfrmQorMain::OpenItem(bool view) {
    std::string path, name, folder;
    {
        auto access = model_.Lock();
        const NodeId node = tvChanges.FocusedNode();
        if (node == kNoNode || !access.IsAlive(node)) return;
        const TNodeData& d = access.Data(node);
        path = ItemPath(d);
        name = d.Name;
        folder = d.Path;
    }
    if (view) ShellRun(Handle(), "open", context_.Settings.Viewer, name, folder, 0, context_.Settings.Viewer);
    else ShellRun(Handle(), "open", path, "", folder);
}

void TfrmQorMain::ShowProperties() {
    std::string path;
    {
        auto access = model_.Lock();
        const NodeId node = tvChanges.FocusedNode();
        if (node == kNoNode || !access.IsAlive(node)) return;
        path = ItemPath(access.Data(node));
    }
    ShellRun(Handle(), "properties", path, "", "", SEE_MASK_INVOKEIDLIST);
}

void TfrmQorMain::ExportTree() {
    const std::string identifier = context_.AppIdentifier;
    int filter = 1;
    auto chosen = ChooseFileToSave(Handle(), Caption(idExportDialogFilter), "txt", ExportFileName(identifier), &filter);
    if (!chosen) return;
    const ExportTarget target = ChooseExportTarget(filter, *chosen);
    const std::string now = platform::win32::LocalDateTimeText(os_.clock.Now(), false);
    const std::string program = std::string("Kelvora ") + KELVORA_VERSION;
    const bool hexa = context_.Settings.BinaryHexa;
    bool written = false;
    {
        auto access = model_.Lock();
        switch (target.Format) {
            case ExportFormat::kText:
                written = ExportChanges(os_.files, os_.collation, target.Path, access, kNoNode, identifier, now, hexa);
                break;
            case ExportFormat::kHtml:
                written = ExportHtml(os_.files, os_.collation, target.Path, access, kNoNode, {identifier, now, {}}, hexa);
                break;
            case ExportFormat::kJson:
                written = ExportJson(os_.files, os_.collation, target.Path, access, kNoNode,
                                     {identifier, IsoDateTime(os_.clock.Now()), program});
                break;
            case ExportFormat::kUndoPackage:
                // What an uninstall would undo: the checked changes, or
                // right after a monitoring all that its settings pre-check.
                written = WriteUndoPackage(os_.files, target.Path,
                                           CollectUndoItems(access, os_.collation, context_.Settings),
                                           {identifier, now, program});
                break;
        }
    }
    if (!written) Message(TranslateString(RS_EXPORT_ERROR), TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
}

// The tree's view, as the wizard asks.

void TfrmQorMain::TreeReset() { tvChanges.ModelReset(); }

void TfrmQorMain::ShowHideActivity() {
    cbHideActivity.SetChecked(context_.Settings.HideActivity);
    tvChanges.SetHideActivity(context_.Settings.HideActivity);
}

void TfrmQorMain::TreeExpandRoot() {
    NodeId root;
    {
        auto access = model_.Lock();
        root = access.Root();
    }
    if (root != kNoNode) tvChanges.Tree().SetExpanded(root, true);
}

void TfrmQorMain::TreeFinishForViewing() {
    NodeId frame[3];
    {
        auto access = model_.Lock();
        frame[0] = access.Root();
        frame[1] = access.FileSystem();
        frame[2] = access.Registry();
    }
    tvChanges.FillFinished();
    VirtualTree& tree = tvChanges.Tree();
    tree.CollapseAll();
    for (NodeId node : frame)
        if (node != kNoNode) tree.SetExpanded(node, true);
    // Measuring costs a few microseconds a node: the first nodes tell enough.
    constexpr std::size_t kMeasuredNodes = 20000;
    if (!columnsSetByUser_) tree.FitColumnsToContent(kMeasuredNodes);
}

}  // namespace kelvora::ui
