#include "ui/message_dlg.h"

#include <memory>
#include <vector>

#include "ui/framework/buttons.h"
#include "ui/framework/dialog.h"
#include "ui/framework/wide_text.h"

namespace kelvora::ui {

namespace {

HWND g_main_window = nullptr;

LPCSTR SystemIcon(TMsgDlgIcon icon) {
    switch (icon) {
    case TMsgDlgIcon::Exclamation: return IDI_WARNING;
    case TMsgDlgIcon::Stop: return IDI_ERROR;
    case TMsgDlgIcon::Information: return IDI_INFORMATION;
    case TMsgDlgIcon::Question: return IDI_QUESTION;
    default: return nullptr;
    }
}

// The font of the active window (of the main window when none is active);
// the system's message font when neither has one.
HFONT ActiveFont(Font& fallback) {
    HWND active = GetActiveWindow();
    if (active == nullptr) active = g_main_window;
    auto font = active != nullptr ? reinterpret_cast<HFONT>(SendMessageA(active, WM_GETFONT, 0, 0)) : nullptr;
    if (font != nullptr) return font;
    // The box shows centred on the primary screen: the font of its dpi.
    fallback = CreateMessageFont(GetDpiForSystem());
    return fallback.Get();
}

class MessageForm : public Dialog {
public:
    MessageForm(std::string_view text, TMessageDialogContent content)
        : text_(text), content_(std::move(content)) {}

    TModalResult Run() {
        Font fallback;
        LOGFONTA lf{};
        GetObjectA(ActiveFont(fallback), sizeof(lf), &lf);
        Font font(CreateFontIndirectA(&lf));  // a copy: the box owns what it uses
        const TMessageDialogLayout layout = LayOutMessageDialog(Measure(font.Get()));

        HWND owner = GetActiveWindow();
        Frame frame;
        frame.ClassName = "TMessageForm";
        frame.Title = content_.Title;
        frame.Style |= WS_CLIPCHILDREN;
        if (!Open(owner, frame)) return mrCancel;
        SetDialogFont(std::move(font));
        // Centred on the screen, not on the owner.
        Fit(nullptr, layout.ClientWidth, layout.ClientHeight);

        if (LPCSTR icon = SystemIcon(content_.Icon)) {
            icon_.Create(Handle(), -1, "", {layout.Icon.Left, layout.Icon.Top, layout.Icon.Width, layout.Icon.Height},
                         SS_ICON);
            SendMessageA(icon_.Handle(), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)), 0);
        }
        message_.Create(Handle(), -1, text_,
                        {layout.Message.Left, layout.Message.Top, layout.Message.Width, layout.Message.Height},
                        SS_LEFT | SS_NOPREFIX);
        for (std::size_t i = 0; i < content_.Buttons.size(); ++i) {
            const TMsgDlgButton& b = content_.Buttons[i];
            const TDlgRect& r = layout.Buttons[i];
            auto button = std::make_unique<Button>();
            button->Create(Handle(), b.Result, b.Caption, {r.Left, r.Top, r.Width, r.Height}, b.IsDefault);
            TModalResult result = b.Result;
            button->OnClick = [this, result] { EndModal(result); };
            if (b.IsDefault) SetDefaultId(b.Result);
            if (b.IsCancel) escape_ = result;
            buttons_.push_back(std::move(button));
        }
        // The focus starts on the default button (else the first).
        std::size_t focus = 0;
        for (std::size_t i = 0; i < buttons_.size(); ++i)
            if (content_.Buttons[i].IsDefault) focus = i;
        if (!buttons_.empty()) SetFocus(buttons_[focus]->Handle());
        return static_cast<TModalResult>(RunModal(owner));
    }

protected:
    // Escape and the close box answer the Escape button; a box without one
    // answers mrCancel on close.
    void OnEscape() override {
        if (escape_ != mrNone) EndModal(escape_);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_CLOSE && escape_ == mrNone) {
            EndModal(mrCancel);
            return 0;
        }
        return Dialog::OnMessage(msg, wp, lp);
    }

private:
    TMessageDialogMeasures Measure(HFONT font) const {
        TMessageDialogMeasures m;
        const ScreenDc screen;
        const HDC dc = screen.Get();
        SelectGuard select(dc, font);  // put back before the context is released
        static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE letters{};
        GetTextExtentPoint32A(dc, kLetters, 52, &letters);
        m.AverageCharWidth = letters.cx / 52;
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        m.TextHeight = tm.tmHeight;
        RECT text{0, 0, MessageWrapWidth(GetSystemMetrics(SM_CXSCREEN)), 0};
        const std::wstring wide = WideText(text_);
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        m.MessageWidth = text.right;
        m.MessageHeight = text.bottom;
        for (const auto& b : content_.Buttons) {
            RECT caption{0, 0, 0, 0};
            const std::wstring caption_text = WideText(b.Caption);
            DrawTextW(dc, caption_text.c_str(), static_cast<int>(caption_text.size()), &caption,
                      DT_CALCRECT | DT_SINGLELINE);
            m.CaptionWidths.push_back(caption.right);
        }
        m.HasIcon = SystemIcon(content_.Icon) != nullptr;
        return m;
    }

    std::string text_;
    TMessageDialogContent content_;
    Label icon_;
    Label message_;
    std::vector<std::unique_ptr<Button>> buttons_;
    TModalResult escape_ = mrNone;
};

}  // namespace

void SetMainWindowForMessages(HWND hwnd) { g_main_window = hwnd; }

TModalResult ShowMessageDlg(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons) {
    MessageForm form(text, MessageDialogContent(type, buttons));
    return form.Run();
}

}  // namespace kelvora::ui
