// The main window's controls: created with their captions from the caption
// table, and laid out by measuring those captions in the window's font, so
// that longer (translated) texts still fit.
#include <algorithm>

#include "ui/framework/layout_box.h"
#include "ui/main_captions.h"
#include "ui/main_window.h"

namespace kelvora::ui {

namespace {

constexpr TTarget kTargetOrder[kTargetCount] = {tgHKCR, tgHKLM, tgHKUS, tgHKCU, tgHKCC,
                                                tgSWin, tgSProg, tgSRest, tgOthers};
constexpr int kTargetIds[kTargetCount] = {idHKCR, idHKLM, idHKUS, idHKCU, idHKCC, idSWin, idSProg, idSRest, idCbOthers};

}  // namespace

void TfrmQorMain::CreateControls() {
    // pnlMain: the framed area that holds the pages.
    pnlMain.Create(Handle(), {0, 0, 0, 0});
    SetWindowLongA(pnlMain.Handle(), GWL_EXSTYLE, GetWindowLongA(pnlMain.Handle(), GWL_EXSTYLE) | WS_EX_STATICEDGE);
    SetWindowLongA(pnlMain.Handle(), GWL_ID, idPnlMain);
    SetWindowPos(pnlMain.Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    const int pageIds[] = {idPnlFirst, idPnlTargets, idPnlRun, idPnlTree, idPnlLog};
    for (int id : pageIds) SetWindowLongA(pages_.AddPage(pnlMain.Handle(), {0, 0, 0, 0}).Handle(), GWL_ID, id);
    CreateFirstPage(pages_.Page(0).Handle());
    CreateTargetsPage(pages_.Page(1).Handle());
    CreateRunPage(pages_.Page(2).Handle());
    CreateTreePage(pages_.Page(3).Handle());
    CreateLogPage(pages_.Page(4).Handle());
    CreateBottom();
    ApplyFonts();
}

void TfrmQorMain::CreateFirstPage(HWND page) {
    rgChoice.Add(page, idRbInstall, Caption(idRbInstall), {});
    edIdentif.Create(page, idEdIdentif, "", {});
    edIdentif.SetMaxLength(30);
    lblInstall.Create(page, idLblInstall, Caption(idLblInstall), {});
    rgChoice.Add(page, idRbUninstall, Caption(idRbUninstall), {});
    lblChoose.Create(page, idLblChoose, Caption(idLblChoose), {});
    lvQorFiles.Create(page, idLvQorFiles, {});
    lvQorFiles.AddColumn(TranslateString(RS_NAME), Scale(150));
    lvQorFiles.AddColumn(TranslateString(RS_CREATED), Scale(150), LVCFMT_CENTER);
    lvQorFiles.AddColumn(TranslateString(RS_LAST_USED), Scale(150), LVCFMT_CENTER);
    lvQorFiles.AddColumn(TranslateString(RS_USES), Scale(50), LVCFMT_CENTER);
    btnOptions.Create(page, idBtnOptions, Caption(idBtnOptions), {});
    rgChoice.SetItemIndex(0);
}

void TfrmQorMain::CreateTargetsPage(HWND page) {
    lblRegistry.Create(page, idLblRegistry, Caption(idLblRegistry), {});
    for (int i = 0; i < kTargetCount; ++i) {
        if (kTargetOrder[i] == tgSWin) lblFiles.Create(page, idLblFiles, Caption(idLblFiles), {});
        targets_[static_cast<std::size_t>(kTargetOrder[i])].Create(page, kTargetIds[i], Caption(kTargetIds[i]), {});
    }
    edOthers.Create(page, idEdOthers, "", {});
    imgWarning.Create(page, idImgWarning, "", {}, SS_ICON);
    lblWarning.Create(page, idLblWarning, Caption(idLblWarning), {});
    lblWarningText.Create(page, idLblWarningText, Caption(idLblWarningText), {});
}

void TfrmQorMain::CreateRunPage(HWND page) {
    rgRunMode.Add(page, idRbUna, Caption(idRbUna), {});
    edSetupPath.Create(page, idEdSetupPath, "", {});
    btnBrowse.Create(page, idBtnBrowse, Caption(idBtnBrowse), {});
    lblUna.Create(page, idLblUna, Caption(idLblUna), {});
    rgRunMode.Add(page, idRbMulte, Caption(idRbMulte), {});
    lblMulte.Create(page, idLblMulte, Caption(idLblMulte), {});
    rgRunMode.Add(page, idRbStarted, Caption(idRbStarted), {});
    lblStarted.Create(page, idLblStarted, Caption(idLblStarted), {});
    lblReferences.Create(page, idLblReferences, Caption(idLblReferences), {});
    lblReferencesText.Create(page, idLblReferencesText, Caption(idLblReferencesText), {});
    rgRunMode.SetItemIndex(0);
}

void TfrmQorMain::CreateTreePage(HWND page) {
    tvChanges.Create(page, idTvChanges, {0, 0, Scale(400), Scale(200)});
    rgDisplay.Add(page, idSbString, Caption(idSbString), {}, true);
    rgDisplay.Add(page, idSbHexa, Caption(idSbHexa), {}, true);
    cbHideActivity.Create(page, idCbHideActivity, Caption(idCbHideActivity), {});
    btnSave.Create(page, idBtnSave, Caption(idBtnSave), {});
    btnPrint.Create(page, idBtnPrint, Caption(idBtnPrint), {});
    btnExport.Create(page, idBtnExport, Caption(idBtnExport), {});
    cbShowIgnored.Create(page, idCbShowIgnored, Caption(idCbShowIgnored), {});
    cbShowIgnored.SetVisible(false);
}

void TfrmQorMain::CreateLogPage(HWND page) {
    lblLog.Create(page, idLblLog, Caption(idLblLog), {});
    reLog.Create(page, idReLog, {});
}

void TfrmQorMain::CreateBottom() {
    lblStatus.Create(Handle(), idLblStatus, "", {}, SS_LEFT | SS_NOPREFIX);
    lblProgress.Create(Handle(), idLblProgress, Caption(idLblProgress), {});
    pbProgress.Create(Handle(), idPbProgress, {});
    btnAbout.Create(Handle(), idBtnAbout, Caption(idBtnAbout), {});
    btnBack.Create(Handle(), idBtnBack, Caption(idBtnBack), {});
    btnNext.Create(Handle(), idBtnNext, Caption(idBtnNext), {}, true);
    btnExit.Create(Handle(), idBtnExit, Caption(idBtnExit), {});
    SetDefaultId(idBtnNext);
}

void TfrmQorMain::ApplyFonts() {
    // The form's font, Tahoma 8 points, at the window's dpi, in the
    // character set of the language; headings bold.
    const BYTE charset = static_cast<BYTE>(translator_->Charset());
    font_ = CreatePointFont("Tahoma", 8, Dpi(), false, charset);
    boldFont_ = CreatePointFont("Tahoma", 8, Dpi(), true, charset);
    // The changes tree keeps the font of its own setting.
    SetFontOfAll(Handle(), font_.Get(), [](HWND child) {
        return GetDlgCtrlID(child) == idTvChanges || GetDlgCtrlID(GetParent(child)) == idTvChanges;
    });
    lblWarning.SetFont(boldFont_.Get());
    lblReferences.SetFont(boldFont_.Get());
    ApplyLogFont();
    tvChanges.ApplyFont(context_.Settings.ChangesTreeFont, context_.Settings.ChangesTreeFontSize, charset);
    const int icon = Scale(32);
    warningIcon_.Reset(static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(32515) /* IDI_WARNING */, IMAGE_ICON,
                                                     icon, icon, LR_SHARED)));
    // A shared icon is the system's: it must not be destroyed.
    SendMessageA(imgWarning.Handle(), STM_SETICON, reinterpret_cast<WPARAM>(warningIcon_.Release()), 0);
}

void TfrmQorMain::Relayout() { Layout(); }

int TfrmQorMain::StatusHeight(int width) const {
    // Two lines at least, so the pages do not jump with every status; more
    // when a narrow window wraps the counts, so the instruction below them
    // stays in view.
    const int line = LineHeight(lblStatus.Handle());
    return std::clamp(LabelHeight(lblStatus.Handle(), width), 2 * line, 4 * line);
}

void TfrmQorMain::Layout() {
    RECT client;
    GetClientRect(Handle(), &client);
    const int cw = client.right, ch = client.bottom;
    if (cw == 0 || ch == 0) return;  // minimised

    // Below the pages, from the bottom up: the buttons, the progress, the status.
    const int bw = WidestButton({&btnAbout, &btnBack, &btnNext, &btnExit}, Scale(75));
    Column c(*this, Scale(8), cw - Scale(8));
    c.FromBottom(ch - Scale(8));
    Row buttons = c.NextRow(std::max(ControlHeight(btnNext.Handle()), Scale(23)), 0, 8);
    buttons.Place(btnAbout, bw, 24).Buttons({&btnBack, &btnNext, &btnExit}, bw);
    c.NextRow(std::max(LineHeight(lblProgress.Handle()), Scale(16)), 0, 4).Label(lblProgress, 8).Fill(pbProgress);
    statusHeight_ = StatusHeight(c.Width());
    c.Place(lblStatus, statusHeight_, 0, 6);
    c.Rest(pnlMain.Handle());
    RECT inner;
    GetClientRect(pnlMain.Handle(), &inner);
    pages_.SetBounds({0, 0, inner.right, inner.bottom});
    SIZE need{0, 0};
    for (SIZE page : {LayoutFirstPage(inner.right, inner.bottom), LayoutTargetsPage(inner.right, inner.bottom),
                      LayoutRunPage(inner.right, inner.bottom), LayoutTreePage(inner.right, inner.bottom),
                      LayoutLogPage(inner.right, inner.bottom)}) {
        need.cx = std::max(need.cx, page.cx);
        need.cy = std::max(need.cy, page.cy);
    }
    // Every control paints again where it now is: a moved control keeps the
    // pixels that were copied along with it (the edges of a button drawn as
    // the default one, a label wrapped for another width), and the window's
    // own invalidation does not reach its children (WS_CLIPCHILDREN).
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    // Texts longer than the window holds (a translation): the window grows,
    // and may no longer be made smaller than that.
    const int growX = std::max(static_cast<int>(need.cx - inner.right), 2 * Scale(8) + buttons.Need() - cw);
    const int growY = static_cast<int>(need.cy - inner.bottom);
    if ((growX > 0 || growY > 0) && !growing_ && !IsZoomed(Handle())) {
        RECT rc;
        GetWindowRect(Handle(), &rc);
        const int width = rc.right - rc.left + std::max(growX, 0), height = rc.bottom - rc.top + std::max(growY, 0);
        minWidth_ = std::max(minWidth_, width);
        minHeight_ = std::max(minHeight_, height);
        growing_ = true;
        SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        growing_ = false;
    }
}

SIZE TfrmQorMain::LayoutFirstPage(int width, int height) {
    const int m = Scale(8);
    Row options(*this, m, width - m, m, std::max(ControlHeight(btnOptions.Handle()), Scale(23)));
    Column c = options.Buttons({&btnOptions}, ButtonWidth(btnOptions.Handle(), Scale(75)), 8).RestColumn();
    c.Check(rgChoice.Item(0));
    c.Place(edIdentif, ControlHeight(edIdentif.Handle()), 18, 4, std::min(Scale(250), c.Width(18)));
    Column below(*this, m, width - m);
    below.SetY(c.Y());
    below.Text(lblInstall, 18, 8);
    below.Check(rgChoice.Item(1));
    below.Text(lblChoose, 18, 2);
    const int top = below.Y();
    below.Place(lvQorFiles, std::max(Scale(40), height - m - top), 18);
    // The name column takes the width the others leave.
    lvQorFiles.FillColumn(0, Scale(100));
    return {0, top + Scale(80)};
}

SIZE TfrmQorMain::LayoutTargetsPage(int width, int /*height*/) {
    const int m = Scale(8);
    Column c(*this, m, width - m);
    c.Text(lblRegistry, 0, 2);
    std::vector<Control*> registry, folders;
    for (TTarget t : {tgHKCR, tgHKLM, tgHKUS, tgHKCU, tgHKCC}) registry.push_back(&targets_[static_cast<std::size_t>(t)]);
    for (TTarget t : {tgSWin, tgSProg, tgSRest}) folders.push_back(&targets_[static_cast<std::size_t>(t)]);
    c.Grid(registry, 12);
    c.Text(lblFiles, 0, 2);
    c.Grid(folders, 12, 0);
    // "Other folders" with its field to the right, or below when too narrow
    // (the field and the box have one font, so one height).
    CheckBox& others = targets_[tgOthers];
    if (c.Width(12) - CheckWidth(others.Handle()) - Scale(6) >= Scale(150)) {
        c.NextRow(ControlHeight(others.Handle()), 12, 8).Check(others, 6).Fill(edOthers);
    } else {
        c.Check(others, 12);
        c.Place(edOthers, ControlHeight(edOthers.Handle()), 30, 8);
    }
    // The warning icon with its texts beside it.
    Row warning = c.NextRow(Scale(32));
    Column w = warning.Place(imgWarning, Scale(32), 8).RestColumn();
    w.Text(lblWarning, 0, 2);
    w.Text(lblWarningText, 0, 0);
    return {0, std::max(w.Y(), c.Y()) + m};
}

SIZE TfrmQorMain::LayoutRunPage(int width, int /*height*/) {
    const int m = Scale(8);
    Column c(*this, m, width - m);
    c.Check(rgRunMode.Item(0));
    c.EditWithButton(edSetupPath, btnBrowse, 18);
    c.Text(lblUna, 18);
    c.Check(rgRunMode.Item(1));
    c.Text(lblMulte, 18);
    c.Check(rgRunMode.Item(2));
    c.Text(lblStarted, 18, 10);
    c.Text(lblReferences, 0, 2);
    c.Text(lblReferencesText, 0, 0);
    return {0, c.Y() + m};
}

SIZE TfrmQorMain::LayoutTreePage(int width, int height) {
    const int bw = WidestButton({&btnSave, &btnPrint, &btnExport}, Scale(75));
    const int bh = std::max(ControlHeight(btnSave.Handle()), Scale(23));
    Column c(*this, Scale(8), width - Scale(8));
    c.FromBottom(height - Scale(8));
    Row row = c.NextRow(bh, 0, 6);
    row.Buttons({&btnSave, &btnPrint, &btnExport}, bw, 12);
    row.Button(rgDisplay.Item(0), 60).Button(rgDisplay.Item(1), 60, 12).Check(cbHideActivity, 12);
    const int need = 2 * Scale(8) + row.Need();
    // In the room left before Save; where that is too narrow, on a row of
    // its own above, so that it never widens the window nor gets cut.
    const int iw = CheckWidth(cbShowIgnored.Handle());
    const bool shown = (GetWindowLongA(cbShowIgnored.Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
    if (iw <= row.Room() || !shown) row.Place(cbShowIgnored, std::max(0, std::min(iw, row.Room())));
    else c.NextRow(bh, 0, 4).Place(cbShowIgnored, std::min(iw, c.Width()));
    c.Rest(tvChanges.Tree().Handle());
    return {need, 0};
}

SIZE TfrmQorMain::LayoutLogPage(int width, int height) {
    const int m = Scale(8);
    Column c(*this, m, width - m);
    c.Text(lblLog, 0, 4);
    reLog.SetBounds(m, c.Y(), width - 2 * m, std::max(Scale(40), height - m - c.Y()));
    return {0, c.Y() + Scale(40) + m};
}

}  // namespace kelvora::ui
