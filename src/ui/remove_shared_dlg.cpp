#include "ui/remove_shared_dlg.h"

#include "uninstall/shared_files.h"

namespace kelvora::ui {

namespace {

// Layout in pixels at 96 dpi: the client area is 397 by 235.
constexpr int kClientWidth = 397;
constexpr int kClientHeight = 235;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 82;
constexpr int kButtonHeight = 25;

// The caption and the controls' texts before translation, by the names
// the language files use.
struct Caption {
    std::string_view Name;
    std::string_view English;
};
constexpr Caption kCaptions[] = {
    {"TdlgRemoveShared", "Remove Shared File?"},
    {"lblOne",
     "The system indicates that the following shared file is no longer used by any programs. If any programs are "
     "still using this file and it is removed, those programs may not function. Are you sure you want to remove the "
     "shared file?"},
    {"lblTwo",
     "Leaving this file will not harm your system. If you are not sure what to do, it is suggested that you choose "
     "to not remove this shared component."},
    {"lblFileName", "File name:"},
    {"lblLocated", "Located in:"},
    {"btnYes", "Yes"},
    {"btnYesToAll", "Yes To All"},
    {"btnNo", "No"},
    {"btnNoToAll", "No To All"},
};

std::string_view English(std::string_view name) {
    for (const auto& c : kCaptions)
        if (c.Name == name) return c.English;
    return {};
}

}  // namespace

int TdlgRemoveShared::Execute(HWND owner) {
    // A fixed dialog frame without border icons.
    const DWORD style = WS_POPUP | WS_CAPTION;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    UINT dpi = owner != nullptr ? GetDpiForWindow(owner) : GetDpiForSystem();
    if (dpi == 0) dpi = 96;
    auto s = [dpi](int px) { return MulDiv(px, static_cast<int>(dpi), 96); };
    RECT frame{0, 0, s(kClientWidth), s(kClientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr) GetWindowRect(owner, &area);
    CreateParams p;
    p.ClassName = "TdlgRemoveShared";
    p.Title = English("TdlgRemoveShared");
    p.Style = style;
    p.ExStyle = exStyle;
    p.Bounds = {(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, width, height};
    p.Parent = owner;
    if (!Create(p)) return IDCANCEL;
    font_ = CreatePointFont("Tahoma", 8, dpi);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    const int left = s(kMargin), inner = s(kClientWidth) - 2 * s(kMargin);
    const int fieldLeft = left + s(64), fieldWidth = inner - s(64);
    lblOne.Create(Handle(), -1, English("lblOne"), {left, s(10), inner, s(56)});
    lblTwo.Create(Handle(), -1, English("lblTwo"), {left, s(70), inner, s(42)});
    lblFileName.Create(Handle(), -1, English("lblFileName"), {left, s(124), s(62), s(16)});
    edFileName.Create(Handle(), 100, FileName, {fieldLeft, s(121), fieldWidth, s(21)}, ES_AUTOHSCROLL | ES_READONLY);
    lblLocated.Create(Handle(), -1, English("lblLocated"), {left, s(154), s(62), s(16)});
    edLocated.Create(Handle(), 101, Folder, {fieldLeft, s(151), fieldWidth, s(21)}, ES_AUTOHSCROLL | ES_READONLY);
    // The four buttons in one row along the bottom, spread evenly.
    const int top = s(kClientHeight) - s(kMargin) - s(kButtonHeight);
    const int gap = (inner - 4 * s(kButtonWidth)) / 3;
    auto at = [&](int i) { return RECT{left + i * (s(kButtonWidth) + gap), top, s(kButtonWidth), s(kButtonHeight)}; };
    btnYes.Create(Handle(), kAnswerYes, English("btnYes"), at(0), true);
    btnYesToAll.Create(Handle(), kAnswerYesToAll, English("btnYesToAll"), at(1));
    btnNo.Create(Handle(), kAnswerNo, English("btnNo"), at(2));
    btnNoToAll.Create(Handle(), kAnswerNoToAll, English("btnNoToAll"), at(3));
    SetDefaultId(kAnswerYes);
    btnYes.OnClick = [this] { EndModal(kAnswerYes); };
    btnYesToAll.OnClick = [this] { EndModal(kAnswerYesToAll); };
    btnNo.OnClick = [this] { EndModal(kAnswerNo); };
    btnNoToAll.OnClick = [this] { EndModal(kAnswerNoToAll); };
    btnYes.Focus();
    return RunModal(owner);
}

LRESULT TdlgRemoveShared::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && lp == 0) {
        // Enter is the default button; Escape closes without a button.
        if (LOWORD(wp) == IDOK) EndModal(kAnswerYes);
        if (LOWORD(wp) == IDCANCEL) EndModal(IDCANCEL);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace kelvora::ui
