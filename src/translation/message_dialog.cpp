#include "translation/message_dialog.h"

#include <algorithm>

#include "translation/messages.h"

namespace kelvora {

namespace {

struct ButtonInfo {
    TMsgDlgBtn kind;
    const Message* caption;
    TModalResult result;
};

constexpr ButtonInfo kButtons[] = {
    {TMsgDlgBtn::mbYes, &RS_DLG_YES, mrYes},
    {TMsgDlgBtn::mbNo, &RS_DLG_NO, mrNo},
    {TMsgDlgBtn::mbOK, &RS_DLG_OK, mrOk},
    {TMsgDlgBtn::mbCancel, &RS_DLG_CANCEL, mrCancel},
    {TMsgDlgBtn::mbAbort, &RS_DLG_ABORT, mrAbort},
    {TMsgDlgBtn::mbRetry, &RS_DLG_RETRY, mrRetry},
    {TMsgDlgBtn::mbIgnore, &RS_DLG_IGNORE, mrIgnore},
    {TMsgDlgBtn::mbAll, &RS_DLG_ALL, mrAll},
    {TMsgDlgBtn::mbNoToAll, &RS_DLG_NOTOALL, mrNoToAll},
    {TMsgDlgBtn::mbYesToAll, &RS_DLG_YESTOALL, mrYesToAll},
};

// Win32 MulDiv for the non-negative sizes used here: a * b / c rounded to the
// nearest whole pixel.
int MulDiv(int a, int b, int c) { return static_cast<int>((static_cast<long long>(a) * b + c / 2) / c); }

}  // namespace

TMessageDialogContent MessageDialogContent(TMsgDlgType type, TMsgDlgButtons buttons,
                                           std::string_view applicationTitle) {
    TMessageDialogContent content;
    switch (type) {
        case TMsgDlgType::mtWarning:
            content.Title = TranslateString(RS_DLG_WRN);
            content.Icon = TMsgDlgIcon::Exclamation;
            break;
        case TMsgDlgType::mtError:
            content.Title = TranslateString(RS_DLG_ERR);
            content.Icon = TMsgDlgIcon::Stop;
            break;
        case TMsgDlgType::mtInformation:
            content.Title = TranslateString(RS_DLG_INF);
            content.Icon = TMsgDlgIcon::Information;
            break;
        case TMsgDlgType::mtConfirmation:
            content.Title = TranslateString(RS_DLG_CNF);
            content.Icon = TMsgDlgIcon::Question;
            break;
        case TMsgDlgType::mtCustom:
            content.Title = std::string(applicationTitle);
            content.Icon = TMsgDlgIcon::None;
            break;
    }
    const TMsgDlgBtn defaultButton = buttons.Contains(TMsgDlgBtn::mbOK)    ? TMsgDlgBtn::mbOK
                                     : buttons.Contains(TMsgDlgBtn::mbYes) ? TMsgDlgBtn::mbYes
                                                                           : TMsgDlgBtn::mbRetry;
    const TMsgDlgBtn cancelButton = buttons.Contains(TMsgDlgBtn::mbCancel) ? TMsgDlgBtn::mbCancel
                                    : buttons.Contains(TMsgDlgBtn::mbNo)   ? TMsgDlgBtn::mbNo
                                                                           : TMsgDlgBtn::mbOK;
    for (const ButtonInfo& info : kButtons) {
        if (!buttons.Contains(info.kind)) continue;
        content.Buttons.push_back({info.kind, TranslateString(*info.caption), info.result,
                                   info.kind == defaultButton, info.kind == cancelButton});
    }
    return content;
}

int MessageWrapWidth(int screenWidth) { return screenWidth / 2; }

TMessageDialogLayout LayOutMessageDialog(const TMessageDialogMeasures& m) {
    const int w = std::max(m.AverageCharWidth, 0);
    const int h = std::max(m.TextHeight, 0);
    const int horzMargin = MulDiv(8, w, 4);
    const int vertMargin = MulDiv(8, h, 8);
    const int horzSpacing = MulDiv(10, w, 4);
    const int vertSpacing = MulDiv(10, h, 8);
    const int buttonHeight = MulDiv(14, h, 8);
    const int buttonSpacing = MulDiv(4, w, 4);
    int buttonWidth = MulDiv(50, w, 4);
    for (int caption : m.CaptionWidths) buttonWidth = std::max(buttonWidth, caption + 8);

    constexpr int kIconSize = 32;
    int iconTextWidth = m.MessageWidth;
    int iconTextHeight = m.MessageHeight;
    if (m.HasIcon) {
        iconTextWidth += kIconSize + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, kIconSize);
    }
    const int count = static_cast<int>(m.CaptionWidths.size());
    const int groupWidth = count == 0 ? 0 : buttonWidth * count + buttonSpacing * (count - 1);

    TMessageDialogLayout layout;
    layout.ClientWidth = std::max(iconTextWidth, groupWidth) + horzMargin * 2;
    layout.ClientHeight = iconTextHeight + buttonHeight + vertSpacing + vertMargin * 2;
    if (m.HasIcon) layout.Icon = {horzMargin, vertMargin, kIconSize, kIconSize};
    layout.Message = {iconTextWidth - m.MessageWidth + horzMargin, vertMargin, m.MessageWidth, m.MessageHeight};
    int x = (layout.ClientWidth - groupWidth) / 2;
    const int y = iconTextHeight + vertMargin + vertSpacing;
    for (int i = 0; i < count; ++i) {
        layout.Buttons.push_back({x, y, buttonWidth, buttonHeight});
        x += buttonWidth + buttonSpacing;
    }
    return layout;
}

}  // namespace kelvora
