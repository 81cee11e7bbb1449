// The tree page: the changes tree's context menu and what its items do,
// and the export of the tree as text.
#include "ui/main_window.h"

#include <shellapi.h>

#include "changes/text_export.h"
#include "platform/win32/date_time_win.h"
#include "translation/messages.h"
#include "ui/framework/common_dialogs.h"
#include "ui/framework/popup_menu.h"
#include "ui/main_captions.h"
#include "workflow/tree_menu.h"

namespace kelvora::ui {

namespace {

// The shell's verb on file in folder; failures are not reported (the menu
// offers the items only for what exists).
void ShellRun(HWND owner, const char* verb, const std::string& file, const std::string& parameters,
              const std::string& folder, ULONG mask = 0) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = mask | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

}  // namespace

void TfrmQorMain::TreeContextMenu(POINT pt) {
    TTreeMenuState state;
    {
        auto access = model_.Lock();
        state = TreeMenuFor(access, tvChanges.FocusedNode(), !shown_.InstallChosen, wizard_->TreeEditable(), os_.files);
    }
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
        RemoveBranch();
        break;
    case pmiOpen:
    case pmiView:
        OpenItem(id == pmiView);
        break;
    case pmiProperties:
        ShowProperties();
        break;
    case pmiAddToIgnore:
        if (node != kNoNode && wizard_->TreeEditable()) AddToIgnoreList(model_.Lock(), node, context_.Settings);
        break;
    default:
        break;
    }
}

void TfrmQorMain::RemoveBranch() {
    const NodeId node = tvChanges.FocusedNode();
    {
        auto access = model_.Lock();
        if (!TreeMenuFor(access, node, !shown_.InstallChosen, wizard_->TreeEditable(), os_.files).RemoveEnabled) return;
    }
    if (Message(TranslateString(RS_ASK_REMOVE_BRANCH), TMsgDlgType::mtConfirmation,
                {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) != mrYes)
        return;
    if (model_.Lock().RemoveBranch(node)) wizard_->BranchRemoved();
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
    if (view) ShellRun(Handle(), "open", context_.Settings.Viewer, name, folder);
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
    auto path = ChooseFileToSave(Handle(), Caption(idExportDialogFilter), "txt", identifier + ".txt");
    if (!path) return;
    const std::string now = platform::win32::LocalDateTimeText(os_.clock.Now(), false);
    bool written = false;
    {
        auto access = model_.Lock();
        written = ExportChanges(os_.files, os_.collation, *path, access, kNoNode, identifier, now,
                                context_.Settings.BinaryHexa);
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
}

}  // namespace kelvora::ui
