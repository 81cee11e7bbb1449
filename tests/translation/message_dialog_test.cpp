#include "translation/message_dialog.h"

#include <gtest/gtest.h>

#include "translation/messages.h"

namespace kelvora {
namespace {

using B = TMsgDlgBtn;

std::vector<B> Kinds(const TMessageDialogContent& c) {
    std::vector<B> kinds;
    for (const auto& b : c.Buttons) kinds.push_back(b.Kind);
    return kinds;
}

const TMsgDlgButton* Default(const TMessageDialogContent& c) {
    for (const auto& b : c.Buttons)
        if (b.IsDefault) return &b;
    return nullptr;
}

const TMsgDlgButton* Escape(const TMessageDialogContent& c) {
    for (const auto& b : c.Buttons)
        if (b.IsCancel) return &b;
    return nullptr;
}

TEST(MessageDialog, AQuestionWithYesNoAndCancel) {
    const auto box = MessageDialogContent(TMsgDlgType::mtConfirmation, {B::mbCancel, B::mbNo, B::mbYes});
    EXPECT_EQ(box.Title, "Confirm");
    EXPECT_EQ(box.Icon, TMsgDlgIcon::Question);
    EXPECT_EQ(Kinds(box), (std::vector<B>{B::mbYes, B::mbNo, B::mbCancel}));
    EXPECT_EQ(Default(box)->Kind, B::mbYes);
    EXPECT_EQ(Escape(box)->Kind, B::mbCancel);
    EXPECT_EQ(box.Buttons[0].Result, mrYes);
    EXPECT_EQ(box.Buttons[1].Result, mrNo);
    EXPECT_EQ(box.Buttons[2].Result, mrCancel);
    EXPECT_EQ(box.Buttons[2].Caption, "Cancel");

    const auto yesNo = MessageDialogContent(TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo});
    EXPECT_EQ(Default(yesNo)->Kind, B::mbYes);
    EXPECT_EQ(Escape(yesNo)->Kind, B::mbNo);
}

TEST(MessageDialog, TitlesIconsAndTheOtherButtonRules) {
    const auto error = MessageDialogContent(TMsgDlgType::mtError, {B::mbOK});
    EXPECT_EQ(error.Title, "Error");
    EXPECT_EQ(error.Icon, TMsgDlgIcon::Stop);
    EXPECT_TRUE(error.Buttons[0].IsDefault && error.Buttons[0].IsCancel);  // OK answers Enter and Escape
    EXPECT_EQ(MessageDialogContent(TMsgDlgType::mtWarning, {}).Icon, TMsgDlgIcon::Exclamation);
    EXPECT_EQ(MessageDialogContent(TMsgDlgType::mtInformation, {}).Title, "Information");
    const auto custom = MessageDialogContent(TMsgDlgType::mtCustom, {B::mbAbort, B::mbRetry, B::mbIgnore});
    EXPECT_EQ(custom.Title, "Kelvora");
    EXPECT_EQ(custom.Icon, TMsgDlgIcon::None);
    EXPECT_EQ(Default(custom)->Kind, B::mbRetry);
    EXPECT_EQ(Escape(custom), nullptr);
    const auto all = MessageDialogContent(TMsgDlgType::mtCustom, {B::mbYesToAll, B::mbNoToAll, B::mbAll});
    EXPECT_EQ(all.Buttons[0].Result, mrAll);
    EXPECT_EQ(all.Buttons[2].Caption, "YesToAll");
    EXPECT_EQ(all.Buttons[2].Result, mrYesToAll);
    EXPECT_EQ(Default(all), nullptr);
}

TEST(MessageDialog, CaptionsAndTitlesAreTranslated) {
    SetMessageLanguage("Deutsch", [](std::string_view id) -> std::optional<std::string> {
        if (id == "RS_DLG_NO") return "Nein";
        if (id == "RS_DLG_CNF") return "Bestätigen";
        return std::nullopt;
    });
    const auto box = MessageDialogContent(TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo});
    SetMessageLanguage("", {});
    EXPECT_EQ(box.Title, "Bestätigen");
    EXPECT_EQ(box.Buttons[0].Caption, "Yes");
    EXPECT_EQ(box.Buttons[1].Caption, "Nein");
}

TEST(MessageDialogLayout, PlacesIconTextAndACentredRowOfEqualButtons) {
    // w = 6, h = 13: margins 12 and 13, icon gap 15, text gap 16, buttons
    // 75 x 23, 6 apart.
    TMessageDialogMeasures m;
    m.AverageCharWidth = 6;
    m.TextHeight = 13;
    m.MessageWidth = 200;
    m.MessageHeight = 26;
    m.CaptionWidths = {20, 15, 40};
    m.HasIcon = true;
    const TMessageDialogLayout l = LayOutMessageDialog(m);
    EXPECT_EQ(l.Icon, (TDlgRect{12, 13, 32, 32}));
    EXPECT_EQ(l.Message, (TDlgRect{12 + 32 + 15, 13, 200, 26}));
    EXPECT_EQ(l.ClientWidth, 32 + 15 + 200 + 2 * 12);
    EXPECT_EQ(l.ClientHeight, 32 + 23 + 16 + 2 * 13);  // the icon is taller than the text
    ASSERT_EQ(l.Buttons.size(), 3u);
    const int group = 3 * 75 + 2 * 6;
    EXPECT_EQ(l.Buttons[0], (TDlgRect{(l.ClientWidth - group) / 2, 32 + 13 + 16, 75, 23}));
    EXPECT_EQ(l.Buttons[2].Left, l.Buttons[0].Left + 2 * (75 + 6));

    // A short text without icon: the buttons set the width.
    m.HasIcon = false;
    m.MessageWidth = 50;
    const TMessageDialogLayout narrow = LayOutMessageDialog(m);
    EXPECT_EQ(narrow.ClientWidth, group + 24);
    EXPECT_EQ(narrow.Buttons[0].Left, 12);
    EXPECT_EQ(narrow.Message.Left, 12);
    EXPECT_EQ(narrow.Icon, TDlgRect{});
    EXPECT_EQ(MessageWrapWidth(1024), 512);
}

TEST(MessageDialogLayout, AWiderTranslatedCaptionWidensEveryButton) {
    TMessageDialogMeasures m;
    m.AverageCharWidth = 7;
    m.TextHeight = 16;
    m.CaptionWidths = {20, 90, 30};
    const TMessageDialogLayout l = LayOutMessageDialog(m);
    for (const TDlgRect& r : l.Buttons) EXPECT_EQ(r.Width, 98);
    EXPECT_EQ(l.Buttons[1].Left - l.Buttons[0].Left, 98 + 7);
    m.CaptionWidths = {20, 30};
    EXPECT_EQ(LayOutMessageDialog(m).Buttons[0].Width, 88);  // 12.5 * 7, rounded
}

}  // namespace
}  // namespace kelvora
