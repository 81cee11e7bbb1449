// The options dialog's layout by measure: every text is measured in the
// dialog's font, so a longer translation widens the dialog (up to a limit,
// past which the long check boxes wrap onto a second line).
#include <algorithm>
#include <tuple>

#include "ui/framework/layout.h"
#include "ui/framework/layout_box.h"
#include "ui/options_dlg.h"

namespace kelvora::ui {

namespace {

// The pages' measures in pixels: the margins, the controls' heights for the
// dialog's font, and the group boxes' room around their content.
struct Measures {
    explicit Measures(const TdlgQorOptions& d)
        : m(d.Scale(8)), gap(d.Scale(6)), line(LineHeight(d.lblTreeFont.Handle())), editH(line + d.Scale(8)),
          buttonH(line + d.Scale(10)), checkH(line + d.Scale(4)), groupTop(line + d.Scale(4)), groupPad(d.Scale(10)) {}
    int m, gap, line, editH, buttonH, checkH, groupTop, groupPad;
};

// Buttons have 10 px beside their captions, check boxes 6 px between box and caption.
int ButtonsWidth(const TdlgQorOptions& d, std::initializer_list<const Control*> buttons) {
    return WidestButton(buttons, d.Scale(75), 20);
}
int ChecksWidth(std::initializer_list<const Control*> checks) { return WidestCheck(checks, 6); }
int TextWidth(const Control& c) { return MeasureText(c.Handle(), c.Text()).cx; }

// The width of a page: what its widest row needs, within limits.
int PageWidth(const TdlgQorOptions& d, const Measures& k) {
    const int framed = 2 * k.m + 2 * k.groupPad;  // what a group box takes around its content
    return std::min(
        d.Scale(620),
        std::max({d.Scale(420),
                  2 * k.m + d.Scale(220) + k.gap +
                      ButtonsWidth(d, {&d.btnAddExclFolder, &d.btnRemExclFolder, &d.btnAddIgnFile, &d.btnRemIgnFile,
                                       &d.btnAddIgnKey, &d.btnRemIgnKey}),
                  2 * k.m + TextWidth(d.lblExFolders), 2 * k.m + TextWidth(d.lblIgnFiles),
                  2 * k.m + TextWidth(d.lblIgnKeys),
                  framed + ChecksWidth({&d.cbStergValori, &d.cbCreezValori, &d.cbRefacValori}) + 3 * k.gap +
                      ChecksWidth({&d.cbStergChei, &d.cbCreezChei, &d.cbDecrementez}),
                  framed + ChecksWidth({&d.cbErrors, &d.cbWarnings, &d.cbOk}) + 3 * k.gap +
                      ButtonsWidth(d, {&d.btnViewLog, &d.btnClearLog}),
                  framed + ChecksWidth({&d.cbStergFisiere}), framed + ChecksWidth({&d.cbAutoDelQor}),
                  2 * k.m + ChecksWidth({&d.cbHideActivity}), framed + d.Scale(18) + ChecksWidth({&d.cbUseRecycled})}));
}

// A group box from top to the bottom of what its column placed (less the
// gap the last control left below it), the page's width.
void Frame(GroupBox& group, const Measures& k, int width, int top, int bottom) {
    group.SetBounds(k.m, top, width - 2 * k.m, bottom + k.groupPad - top);
}

// Each page answers the height it needs.
int LayOutGeneral(TdlgQorOptions& d, const Measures& k, int width) {
    Column page(d, k.m, width - k.m);
    const int sizeCol = std::max(d.Scale(56), TextWidth(d.lblFontSize));
    const int fontW = page.Width() - sizeCol - k.gap;
    d.lblFontSize.SetBounds(k.m + fontW + k.gap, page.Y(), sizeCol, k.line);
    page.Place(d.lblTreeFont, k.line, 0, 3, fontW);
    d.cmbTreeFont.SetBounds(k.m, page.Y(), fontW, k.editH + d.Scale(240));  // the height includes the drop-down list
    // The up-down control takes its place at the right of the edit when it
    // is given the edit again.
    d.seFontSize.Editor().SetBounds(k.m + fontW + k.gap, page.Y(), sizeCol, k.editH);
    SendMessageA(d.seFontSize.UpDown(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(d.seFontSize.Editor().Handle()), 0);
    page.Skip(k.editH + 2 * k.gap);
    page.Place(d.lblViewer, k.line, 0, 3);
    page.Place(d.edViewer, k.editH);
    page.Skip(2 * k.gap);
    page.WrappedCheck(d.cbHideActivity, 0, 0);
    page.Skip(2 * k.gap);
    const int top = page.Y();
    Column group(d, k.m + k.groupPad, width - k.m - k.groupPad);
    group.SetY(top + k.groupTop);
    group.Place(d.lblLanguage, k.line, 0, 3);
    d.cmbLanguages.SetBounds(group.Left(), group.Y(), std::min(group.Width(), d.Scale(280)),
                             d.Scale(22) + d.Scale(8) + d.Scale(200));
    RECT combo;
    GetWindowRect(d.cmbLanguages.Handle(), &combo);
    group.Skip(combo.bottom - combo.top + k.gap);
    for (Label* credit : {&d.lblTranslatedBy1, &d.lblTranslatedBy2, &d.lblTranslatedBy3})
        group.Place(*credit, k.line, 0, 2);
    Frame(d.gbTranslation, k, width, top, group.Y());
    return group.Y() + k.groupPad + k.m;
}

// Each list with its Add and Remove at its right.
int LayOutScanner(TdlgQorOptions& d, const Measures& k, int width) {
    Column page(d, k.m, width - k.m);
    const int buttonW = ButtonsWidth(d, {&d.btnAddExclFolder, &d.btnRemExclFolder, &d.btnAddIgnFile, &d.btnRemIgnFile,
                                         &d.btnAddIgnKey, &d.btnRemIgnKey});
    const int listW = page.Width() - buttonW - k.gap;
    const int listH = std::max(d.Scale(76), 2 * k.buttonH + k.gap + d.Scale(10));
    for (auto [label, list, add, remove] :
         {std::tie(d.lblExFolders, d.lvExFolders, d.btnAddExclFolder, d.btnRemExclFolder),
          std::tie(d.lblIgnFiles, d.lvIgnFiles, d.btnAddIgnFile, d.btnRemIgnFile),
          std::tie(d.lblIgnKeys, d.lvIgnKeys, d.btnAddIgnKey, d.btnRemIgnKey)}) {
        page.Place(label, k.line, 0, 3);
        add.SetBounds(k.m + listW + k.gap, page.Y(), buttonW, k.buttonH);
        remove.SetBounds(k.m + listW + k.gap, page.Y() + k.buttonH + k.gap, buttonW, k.buttonH);
        page.Place(list, listH, 0, 0, listW);
        page.Skip(2 * k.gap);
        RECT client;
        GetClientRect(list.Handle(), &client);
        list.SetColumnWidth(0, client.right);
    }
    return page.Y() - k.gap + k.m;
}

// Three group boxes of check boxes.
int LayOutUninstaller(TdlgQorOptions& d, const Measures& k, int width) {
    Column group(d, k.m + k.groupPad, width - k.m - k.groupPad);
    group.SetY(k.m + k.groupTop);
    const int colW = (group.Width() - 3 * k.gap) / 2;
    for (auto [a, b] : {std::tie(d.cbStergValori, d.cbStergChei), std::tie(d.cbCreezValori, d.cbCreezChei),
                        std::tie(d.cbRefacValori, d.cbDecrementez)}) {
        const int h = std::max(PlaceWrappedCheck(a, group.Left(), group.Y(), colW),
                               PlaceWrappedCheck(b, group.Left() + colW + 3 * k.gap, group.Y(), colW));
        group.Skip(std::max(h, k.checkH) + d.Scale(2));
    }
    Frame(d.gbRegistry, k, width, k.m, group.Y() - d.Scale(2));
    int top = group.Y() + k.groupPad + k.gap;
    group.SetY(top + k.groupTop);
    group.WrappedCheck(d.cbStergFisiere);
    group.WrappedCheck(d.cbUseRecycled, 18);
    group.WrappedCheck(d.cbStergDirectoare);
    Frame(d.gbFileSystem, k, width, top, group.Y() - d.Scale(2));
    top = group.Y() + k.groupPad + k.gap;
    group.SetY(top + k.groupTop);
    const int buttonW = ButtonsWidth(d, {&d.btnViewLog, &d.btnClearLog});
    d.btnViewLog.SetBounds(group.Right() - buttonW, group.Y(), buttonW, k.buttonH);
    d.btnClearLog.SetBounds(group.Right() - buttonW, group.Y() + k.buttonH + k.gap, buttonW, k.buttonH);
    const int buttonsBottom = group.Y() + 2 * k.buttonH + k.gap + d.Scale(2);
    for (CheckBox* c : {&d.cbErrors, &d.cbWarnings, &d.cbOk})
        group.Skip(PlaceWrappedCheck(*c, group.Left(), group.Y(), group.Width() - buttonW - 3 * k.gap) + d.Scale(2));
    group.SetY(std::max(group.Y(), buttonsBottom));
    group.WrappedCheck(d.cbAutoDelQor);
    Frame(d.gbLog, k, width, top, group.Y() - d.Scale(2));
    return group.Y() + k.groupPad + k.m;
}

}  // namespace

SIZE TdlgQorOptions::Layout() {
    const Measures k(*this);
    const int width = PageWidth(*this, k);
    const int height =
        std::max({LayOutGeneral(*this, k, width), LayOutScanner(*this, k, width), LayOutUninstaller(*this, k, width)});
    // The pages, and OK and Cancel below them at the right.
    const SIZE tab = pcOptions.SizeForPage({width, height});
    pcOptions.Place({k.m, k.m, k.m + tab.cx, k.m + tab.cy});
    const int okW = ButtonsWidth(*this, {&btnOk, &btnCancel});
    const int clientW = tab.cx + 2 * k.m, buttonsY = k.m + tab.cy + k.gap;
    Row(*this, k.m, clientW - k.m, buttonsY, k.buttonH).Buttons({&btnOk, &btnCancel}, okW);
    return {clientW, buttonsY + k.buttonH + k.m};
}

}  // namespace kelvora::ui
