// The options dialog's layout by measure: every text is measured in the
// dialog's font, so a longer translation widens the dialog (up to a limit,
// past which the long check boxes wrap onto a second line).
#include <algorithm>
#include <tuple>

#include "ui/framework/wide_text.h"
#include "ui/options_dlg.h"

namespace kelvora::ui {

namespace {

// The extent of a control's caption in its font; wrapped at wrapWidth when
// it is not 0.
SIZE Extent(HWND control, int wrapWidth = 0) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)), L'\0');
    if (!text.empty()) GetWindowTextW(control, text.data(), static_cast<int>(text.size() + 1));
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT rc{0, 0, wrapWidth, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()), &rc,
              DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace

void TdlgQorOptions::Layout() {
    const UINT dpi = Dpi();
    const int m = Scale(8), gap = Scale(6);
    const int line = Extent(lblTreeFont.Handle()).cy;
    const int editH = line + Scale(8);
    const int buttonH = line + Scale(10);
    const int checkH = line + Scale(4);
    const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + Scale(6);  // a check box's box and gap
    const int groupTop = line + Scale(4), groupPad = Scale(10), indent = Scale(18);
    auto buttonW = [&](const Control& b) { return std::max(Scale(75), static_cast<int>(Extent(b.Handle()).cx) + Scale(20)); };
    auto checkW = [&](const Control& c) { return static_cast<int>(Extent(c.Handle()).cx) + box; };
    auto widest = [](std::initializer_list<int> widths) { return std::max(widths); };

    // The width of a page's content.
    const int listButtonW = widest({buttonW(btnAddExclFolder), buttonW(btnRemExclFolder), buttonW(btnAddIgnFile),
                                    buttonW(btnRemIgnFile), buttonW(btnAddIgnKey), buttonW(btnRemIgnKey)});
    const int colA = widest({checkW(cbStergValori), checkW(cbCreezValori), checkW(cbRefacValori)});
    const int colB = widest({checkW(cbStergChei), checkW(cbCreezChei), checkW(cbDecrementez)});
    const int logChecks = widest({checkW(cbErrors), checkW(cbWarnings), checkW(cbOk)});
    const int logButtonW = std::max(buttonW(btnViewLog), buttonW(btnClearLog));
    const int sizeCol = std::max(Scale(56), static_cast<int>(Extent(lblFontSize.Handle()).cx));
    int width = widest({Scale(420), 2 * m + Scale(220) + gap + listButtonW,
                        2 * m + static_cast<int>(Extent(lblExFolders.Handle()).cx),
                        2 * m + static_cast<int>(Extent(lblIgnFiles.Handle()).cx),
                        2 * m + static_cast<int>(Extent(lblIgnKeys.Handle()).cx),
                        2 * m + 2 * groupPad + colA + 3 * gap + colB, 2 * m + 2 * groupPad + logChecks + 3 * gap + logButtonW,
                        2 * m + 2 * groupPad + checkW(cbStergFisiere), 2 * m + 2 * groupPad + checkW(cbAutoDelQor), 2 * m + checkW(cbHideActivity),
                        2 * m + 2 * groupPad + indent + checkW(cbUseRecycled)});
    width = std::min(width, Scale(620));
    const int inner = width - 2 * m;  // inside the page's margins
    const int groupInner = inner - 2 * groupPad;
    // A check box as tall as its caption wrapped in the width it has.
    auto place = [&](Control& c, int x, int y, int w, int h) { c.SetBounds(x, y, w, h); };
    auto placeCheck = [&](CheckBox& c, int x, int y, int w) {
        const int h = std::max(checkH, static_cast<int>(Extent(c.Handle(), w - box).cy) + Scale(4));
        place(c, x, y, w, h);
        return h;
    };

    // General.
    int y = m;
    const int fontW = inner - sizeCol - gap;
    place(lblTreeFont, m, y, fontW, line);
    place(lblFontSize, m + fontW + gap, y, sizeCol, line);
    y += line + Scale(3);
    place(cmbTreeFont, m, y, fontW, editH + Scale(240));  // the height includes the drop-down list
    // The up-down control takes its place at the right of the edit when it
    // is given the edit again.
    seFontSize.Editor().SetBounds(m + fontW + gap, y, sizeCol, editH);
    SendMessageA(seFontSize.UpDown(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(seFontSize.Editor().Handle()), 0);
    y += editH + 2 * gap;
    place(lblViewer, m, y, inner, line);
    y += line + Scale(3);
    place(edViewer, m, y, inner, editH);
    y += editH + 2 * gap;
    y += placeCheck(cbHideActivity, m, y, inner) + 2 * gap;
    const int groupY = y;
    y += groupTop;
    place(lblLanguage, m + groupPad, y, groupInner, line);
    y += line + Scale(3);
    place(cmbLanguages, m + groupPad, y, std::min(groupInner, Scale(280)), Scale(22) + Scale(8) + Scale(200));
    RECT combo;
    GetWindowRect(cmbLanguages.Handle(), &combo);
    y += combo.bottom - combo.top + gap;
    for (Label* credit : {&lblTranslatedBy1, &lblTranslatedBy2, &lblTranslatedBy3}) {
        place(*credit, m + groupPad, y, groupInner, line);
        y += line + Scale(2);
    }
    y += groupPad;
    place(gbTranslation, m, groupY, inner, y - groupY);
    int height = y + m;

    // Scanner.
    y = m;
    const int listW = inner - listButtonW - gap;
    const int listH = std::max(Scale(76), 2 * buttonH + gap + Scale(10));
    for (auto [label, list, add, remove] : {std::tie(lblExFolders, lvExFolders, btnAddExclFolder, btnRemExclFolder),
                                            std::tie(lblIgnFiles, lvIgnFiles, btnAddIgnFile, btnRemIgnFile),
                                            std::tie(lblIgnKeys, lvIgnKeys, btnAddIgnKey, btnRemIgnKey)}) {
        place(label, m, y, inner, line);
        y += line + Scale(3);
        place(list, m, y, listW, listH);
        RECT client;
        GetClientRect(list.Handle(), &client);
        list.SetColumnWidth(0, client.right);
        place(add, m + listW + gap, y, listButtonW, buttonH);
        place(remove, m + listW + gap, y + buttonH + gap, listButtonW, buttonH);
        y += listH + 2 * gap;
    }
    height = std::max(height, y - gap + m);

    // Uninstaller.
    y = m;
    const int colW = (groupInner - 3 * gap) / 2;
    int top = y + groupTop;
    for (auto [a, b] : {std::tie(cbStergValori, cbStergChei), std::tie(cbCreezValori, cbCreezChei),
                        std::tie(cbRefacValori, cbDecrementez)}) {
        const int h = std::max(placeCheck(a, m + groupPad, top, colW), placeCheck(b, m + groupPad + colW + 3 * gap, top, colW));
        top += std::max(h, checkH) + Scale(2);
    }
    place(gbRegistry, m, y, inner, top - y + groupPad - Scale(2));
    y = top + groupPad + gap;
    top = y + groupTop;
    top += placeCheck(cbStergFisiere, m + groupPad, top, groupInner) + Scale(2);
    top += placeCheck(cbUseRecycled, m + groupPad + indent, top, groupInner - indent) + Scale(2);
    top += placeCheck(cbStergDirectoare, m + groupPad, top, groupInner) + Scale(2);
    place(gbFileSystem, m, y, inner, top - y + groupPad - Scale(2));
    y = top + groupPad + gap;
    top = y + groupTop;
    const int logW = groupInner - logButtonW - 3 * gap;
    for (CheckBox* c : {&cbErrors, &cbWarnings, &cbOk}) top += placeCheck(*c, m + groupPad, top, logW) + Scale(2);
    place(btnViewLog, m + groupPad + groupInner - logButtonW, y + groupTop, logButtonW, buttonH);
    place(btnClearLog, m + groupPad + groupInner - logButtonW, y + groupTop + buttonH + gap, logButtonW, buttonH);
    top = std::max(top, y + groupTop + 2 * buttonH + gap + Scale(2));
    top += placeCheck(cbAutoDelQor, m + groupPad, top, groupInner) + Scale(2);
    place(gbLog, m, y, inner, top - y + groupPad - Scale(2));
    height = std::max(height, top + groupPad + m);

    // The pages, and OK and Cancel below them at the right.
    const SIZE tab = pcOptions.SizeForPage({width, height});
    pcOptions.Place({m, m, m + tab.cx, m + tab.cy});
    const int okW = std::max(buttonW(btnOk), buttonW(btnCancel));
    const int clientW = tab.cx + 2 * m, clientH = m + tab.cy + gap + buttonH + m;
    place(btnCancel, clientW - m - okW, m + tab.cy + gap, okW, buttonH);
    place(btnOk, clientW - m - 2 * okW - gap, m + tab.cy + gap, okW, buttonH);
    RECT frame{0, 0, clientW, clientH};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)), dpi);
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kelvora::ui
