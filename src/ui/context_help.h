// Context help: F1 opens the help file's contents, Shift+F1 shows the
// pop-up text of the focused control, a right click on a control of the main
// window offers "What's This?" for it, and a dialog's title-bar help button
// (WM_HELP) shows the pop-up of the control clicked. A control's help
// context is its window's context help id (SetWindowContextHelpId), or its
// parent's when it has none (the forms' tables give the numbers, see
// ui/framework/form_table.h).
//
// The help file is compiled HTML Help (Kelvora.chm beside the program),
// shown by hhctrl.ocx, which every Windows has; the program loads it when
// help is first asked for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kelvora::ui {

// The pop-up texts inside the help file.
inline constexpr std::string_view kHelpPopupFile = "cshelp.txt";

// What the program asks of the help viewer.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void ShowContents(HWND owner) = 0;
    // The pop-up text of context, near at (screen coordinates).
    virtual void ShowPopup(HWND owner, std::uint32_t context, POINT at) = 0;
};

// HTML Help with one help file: HH_DISPLAY_TOC for the contents,
// HH_DISPLAY_TEXT_POPUP with the file's cshelp.txt for a pop-up.
class HtmlHelpViewer : public HelpViewer {
public:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    // function: a stand-in for hhctrl's HtmlHelpW (tests); null loads hhctrl.
    explicit HtmlHelpViewer(std::string helpFile, HtmlHelpFunction function = nullptr);
    // Closes the help windows the program opened.
    ~HtmlHelpViewer() override;
    HtmlHelpViewer(const HtmlHelpViewer&) = delete;
    HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;

    void ShowContents(HWND owner) override;
    void ShowPopup(HWND owner, std::uint32_t context, POINT at) override;

private:
    HtmlHelpFunction Function();

    std::wstring file_;
    HtmlHelpFunction function_ = nullptr;
    HMODULE module_ = nullptr;  // hhctrl.ocx, when this loaded it
    bool used_ = false;
};

// The help file beside the running program: its path with ".chm".
std::string ProgramHelpFile();

// The help context of a window: its own, else its parent's, and so on; 0
// when none has one.
std::uint32_t ResolveHelpContext(HWND window);

class ContextHelp {
public:
    // main: the main window, whose controls offer "What's This?".
    ContextHelp(HelpViewer& viewer, HWND main) : viewer_(viewer), main_(main) {}

    // The item of the What's This menu ("&What's This?" in the current
    // language).
    void SetWhatsThisCaption(std::string caption) { caption_ = std::move(caption); }
    // Controls with a context menu of their own: an enabled one shows its
    // menu, not What's This.
    void SetHasOwnMenu(std::function<bool(HWND)> hasOwnMenu) { hasOwnMenu_ = std::move(hasOwnMenu); }

    // The program's message filter, asked before any window sees a key press
    // or a mouse message: true when it consumed msg (F1 always; a right
    // click when it showed the menu).
    bool FilterMessage(const MSG& msg);
    // A dialog's WM_HELP (its title-bar help button, then a click on a
    // control): the control's pop-up. False for other requests, which go to
    // the default handling.
    bool OnHelp(const HELPINFO& info);

private:
    void PopupFor(HWND window, POINT at);
    bool WhatsThis(POINT at);

    HelpViewer& viewer_;
    HWND main_;
    std::string caption_ = "&What's This?";
    std::function<bool(HWND)> hasOwnMenu_;
};

}  // namespace kelvora::ui
