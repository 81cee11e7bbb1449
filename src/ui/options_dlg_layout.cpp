// The options dialog's layout by measure: every text is measured in the
// dialog's font, so a longer translation widens the dialog (up to a limit,
// past which the long check boxes wrap onto a second line).
#include <algorithm>
#include <tuple>

#include "ui/framework/layout.h"
#include "ui/framework/layout_box.h"
#include "ui/options_dlg.h"

namespace kelvora::ui {

SIZE TdlgQorOptions::Layout() {
    const int m = Scale(8), gap = Scale(6);
    const int line = LineHeight(lblTreeFont.Handle());
    const int editH = line + Scale(8), buttonH = line + Scale(10), checkH = line + Scale(4);
    const int groupTop = line + Scale(4), groupPad = Scale(10), indent = Scale(18);
    // Buttons have 10 px beside their captions, check boxes 6 px between box and caption.
    auto buttonsW = [&](std::initializer_list<const Control*> buttons) { return WidestButton(buttons, Scale(75), 20); };
    auto checkW = [&](std::initializer_list<const Control*> checks) { return WidestCheck(checks, 6); };
    auto textW = [](const Control& c) { return static_cast<int>(MeasureText(c.Handle(), c.Text()).cx); };

    // The width of a page's content.
    const int listButtonW = buttonsW({&btnAddExclFolder, &btnRemExclFolder, &btnAddIgnFile, &btnRemIgnFile,
                                      &btnAddIgnKey, &btnRemIgnKey});
    const int logButtonW = buttonsW({&btnViewLog, &btnClearLog});
    const int sizeCol = std::max(Scale(56), textW(lblFontSize));
    const int framed = 2 * m + 2 * groupPad;  // what a group box takes around its content
    const int width = std::min(
        Scale(620),
        std::max({Scale(420), 2 * m + Scale(220) + gap + listButtonW, 2 * m + textW(lblExFolders),
                  2 * m + textW(lblIgnFiles), 2 * m + textW(lblIgnKeys),
                  framed + checkW({&cbStergValori, &cbCreezValori, &cbRefacValori}) + 3 * gap +
                      checkW({&cbStergChei, &cbCreezChei, &cbDecrementez}),
                  framed + checkW({&cbErrors, &cbWarnings, &cbOk}) + 3 * gap + logButtonW,
                  framed + checkW({&cbStergFisiere}), framed + checkW({&cbAutoDelQor}), 2 * m + checkW({&cbHideActivity}),
                  framed + indent + checkW({&cbUseRecycled})}));
    const int inner = width - 2 * m;  // inside the page's margins
    const int groupInner = inner - 2 * groupPad;
    // A group box around what its column placed since top (bottom: the
    // column's y, less what the last control left below it).
    auto frame = [&](GroupBox& group, int top, int bottom) { group.SetBounds(m, top, inner, bottom + groupPad - top); };

    // General.
    Column general(*this, m, m + inner);
    const int fontW = inner - sizeCol - gap;
    lblFontSize.SetBounds(m + fontW + gap, general.Y(), sizeCol, line);
    general.Place(lblTreeFont, line, 0, 3, fontW);
    cmbTreeFont.SetBounds(m, general.Y(), fontW, editH + Scale(240));  // the height includes the drop-down list
    // The up-down control takes its place at the right of the edit when it
    // is given the edit again.
    seFontSize.Editor().SetBounds(m + fontW + gap, general.Y(), sizeCol, editH);
    SendMessageA(seFontSize.UpDown(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(seFontSize.Editor().Handle()), 0);
    general.Skip(editH + 2 * gap);
    general.Place(lblViewer, line, 0, 3);
    general.Place(edViewer, editH);
    general.Skip(2 * gap);
    general.WrappedCheck(cbHideActivity, 0, 0);
    general.Skip(2 * gap);
    const int translationTop = general.Y();
    Column translation(*this, m + groupPad, m + groupPad + groupInner);
    translation.SetY(translationTop + groupTop);
    translation.Place(lblLanguage, line, 0, 3);
    cmbLanguages.SetBounds(m + groupPad, translation.Y(), std::min(groupInner, Scale(280)), Scale(22) + Scale(8) + Scale(200));
    RECT combo;
    GetWindowRect(cmbLanguages.Handle(), &combo);
    translation.Skip(combo.bottom - combo.top + gap);
    for (Label* credit : {&lblTranslatedBy1, &lblTranslatedBy2, &lblTranslatedBy3}) translation.Place(*credit, line, 0, 2);
    frame(gbTranslation, translationTop, translation.Y());
    int height = translation.Y() + groupPad + m;

    // Scanner: each list with its Add and Remove at its right.
    Column scanner(*this, m, m + inner);
    const int listW = inner - listButtonW - gap;
    const int listH = std::max(Scale(76), 2 * buttonH + gap + Scale(10));
    for (auto [label, list, add, remove] : {std::tie(lblExFolders, lvExFolders, btnAddExclFolder, btnRemExclFolder),
                                            std::tie(lblIgnFiles, lvIgnFiles, btnAddIgnFile, btnRemIgnFile),
                                            std::tie(lblIgnKeys, lvIgnKeys, btnAddIgnKey, btnRemIgnKey)}) {
        scanner.Place(label, line, 0, 3);
        add.SetBounds(m + listW + gap, scanner.Y(), listButtonW, buttonH);
        remove.SetBounds(m + listW + gap, scanner.Y() + buttonH + gap, listButtonW, buttonH);
        scanner.Place(list, listH, 0, 0, listW);
        scanner.Skip(2 * gap);
        RECT client;
        GetClientRect(list.Handle(), &client);
        list.SetColumnWidth(0, client.right);
    }
    height = std::max(height, scanner.Y() - gap + m);

    // Uninstaller: three group boxes of check boxes.
    Column group(*this, m + groupPad, m + groupPad + groupInner);
    group.SetY(m + groupTop);
    const int colW = (groupInner - 3 * gap) / 2;
    for (auto [a, b] : {std::tie(cbStergValori, cbStergChei), std::tie(cbCreezValori, cbCreezChei),
                        std::tie(cbRefacValori, cbDecrementez)}) {
        const int h = std::max(PlaceWrappedCheck(a, group.Left(), group.Y(), colW),
                               PlaceWrappedCheck(b, group.Left() + colW + 3 * gap, group.Y(), colW));
        group.Skip(std::max(h, checkH) + Scale(2));
    }
    frame(gbRegistry, m, group.Y() - Scale(2));
    int top = group.Y() + groupPad + gap;
    group.SetY(top + groupTop);
    group.WrappedCheck(cbStergFisiere);
    group.WrappedCheck(cbUseRecycled, 18);
    group.WrappedCheck(cbStergDirectoare);
    frame(gbFileSystem, top, group.Y() - Scale(2));
    top = group.Y() + groupPad + gap;
    group.SetY(top + groupTop);
    btnViewLog.SetBounds(group.Right() - logButtonW, group.Y(), logButtonW, buttonH);
    btnClearLog.SetBounds(group.Right() - logButtonW, group.Y() + buttonH + gap, logButtonW, buttonH);
    const int logButtonsBottom = group.Y() + 2 * buttonH + gap + Scale(2);
    for (CheckBox* c : {&cbErrors, &cbWarnings, &cbOk})
        group.Skip(PlaceWrappedCheck(*c, group.Left(), group.Y(), groupInner - logButtonW - 3 * gap) + Scale(2));
    group.SetY(std::max(group.Y(), logButtonsBottom));
    group.WrappedCheck(cbAutoDelQor);
    frame(gbLog, top, group.Y() - Scale(2));
    height = std::max(height, group.Y() + groupPad + m);

    // The pages, and OK and Cancel below them at the right.
    const SIZE tab = pcOptions.SizeForPage({width, height});
    pcOptions.Place({m, m, m + tab.cx, m + tab.cy});
    const int okW = buttonsW({&btnOk, &btnCancel});
    const int clientW = tab.cx + 2 * m, buttonsY = m + tab.cy + gap;
    btnCancel.SetBounds(clientW - m - okW, buttonsY, okW, buttonH);
    btnOk.SetBounds(clientW - m - 2 * okW - gap, buttonsY, okW, buttonH);
    return {clientW, buttonsY + buttonH + m};
}

}  // namespace kelvora::ui
