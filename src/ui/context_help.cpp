#include "ui/context_help.h"

#include <htmlhelp.h>

#include <vector>

#include "ui/framework/popup_menu.h"
#include "ui/framework/wide_text.h"

namespace kelvora::ui {

namespace {

constexpr UINT kWhatsThisItem = 1;

HWND RootOf(HWND window) {
    HWND root = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
    return root != nullptr ? root : window;
}

}  // namespace

HtmlHelpViewer::HtmlHelpViewer(std::string helpFile, HtmlHelpFunction function)
    : file_(WideText(helpFile)), function_(function) {}

HtmlHelpViewer::~HtmlHelpViewer() {
    if (used_ && function_ != nullptr) function_(nullptr, nullptr, HH_CLOSE_ALL, 0);
    // hhctrl.ocx is not unloaded: its viewer keeps threads of its own after
    // HH_CLOSE_ALL, and unloading the library under them crashes the
    // process; it goes with the process.
}

HtmlHelpViewer::HtmlHelpFunction HtmlHelpViewer::Function() {
    if (function_ == nullptr && module_ == nullptr) {
        // From the system folder only: never a hhctrl.ocx planted beside
        // the program or in the current folder.
        module_ = LoadLibraryExW(L"hhctrl.ocx", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module_ != nullptr) {
            function_ = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void*>(GetProcAddress(module_, "HtmlHelpW")));
        }
    }
    if (function_ != nullptr) used_ = true;
    return function_;
}

void HtmlHelpViewer::ShowContents(HWND owner) {
    // A missing help file is reported by the viewer itself.
    if (HtmlHelpFunction help = Function()) help(owner, file_.c_str(), HH_DISPLAY_TOC, 0);
}

void HtmlHelpViewer::ShowPopup(HWND owner, std::uint32_t context, POINT at) {
    HtmlHelpFunction help = Function();
    if (help == nullptr) return;
    const std::wstring texts = file_ + L"::/" + WideText(kHelpPopupFile);
    HH_POPUP popup{};
    popup.cbStruct = sizeof(popup);
    popup.idString = context;
    popup.pt = at;
    popup.clrForeground = static_cast<COLORREF>(-1);
    popup.clrBackground = static_cast<COLORREF>(-1);
    popup.rcMargins = {-1, -1, -1, -1};
    help(owner, texts.c_str(), HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup));
}

std::string ProgramHelpFile() {
    std::vector<wchar_t> path(32768);
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring file(path.data(), n);
    const std::size_t dot = file.rfind(L'.');
    if (dot != std::wstring::npos && file.find(L'\\', dot) == std::wstring::npos) file.resize(dot);
    file += L".chm";
    return platform::win32::Narrow(file);
}

std::uint32_t ResolveHelpContext(HWND window) {
    for (HWND w = window; w != nullptr;) {
        if (const DWORD context = GetWindowContextHelpId(w)) return context;
        if ((GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) == 0) break;
        w = GetParent(w);
    }
    return 0;
}

bool ContextHelp::FilterMessage(const MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        if (GetKeyState(VK_SHIFT) < 0) {
            HWND focus = GetFocus();
            POINT at = msg.pt;
            RECT rc;
            if (focus != nullptr && GetWindowRect(focus, &rc)) at = {(rc.left + rc.right) / 2, rc.bottom};
            PopupFor(focus != nullptr ? focus : msg.hwnd, at);
        } else {
            viewer_.ShowContents(RootOf(msg.hwnd));
        }
        return true;
    }
    if (msg.message == WM_RBUTTONUP) return WhatsThis(msg.pt);
    return false;
}

bool ContextHelp::OnHelp(const HELPINFO& info) {
    if (info.iContextType != HELPINFO_WINDOW) return false;
    PopupFor(static_cast<HWND>(info.hItemHandle), info.MousePos);
    return true;
}

void ContextHelp::PopupFor(HWND window, POINT at) {
    // A control without a context (nor a parent with one) has no pop-up to
    // show: the contents are the help there is.
    const std::uint32_t context = ResolveHelpContext(window);
    if (context == 0) viewer_.ShowContents(RootOf(window));
    else viewer_.ShowPopup(RootOf(window), context, at);
}

bool ContextHelp::WhatsThis(POINT at) {
    // WindowFromPoint passes over disabled controls and labels (they answer
    // HTTRANSPARENT); the visible child at the point inside the window it
    // found is the control under the mouse, disabled or not.
    HWND under = WindowFromPoint(at);
    if (under == nullptr) return false;
    POINT client = at;
    ScreenToClient(under, &client);
    HWND target = ChildWindowFromPointEx(under, client, CWP_SKIPINVISIBLE);
    if (target == nullptr || (target != main_ && !IsChild(main_, target))) return false;
    const std::uint32_t context = ResolveHelpContext(target);
    if (context == 0) return false;
    if (IsWindowEnabled(target) && hasOwnMenu_ && hasOwnMenu_(target)) return false;
    PopupMenu menu;
    menu.AddItem(kWhatsThisItem, caption_);
    if (menu.Track(main_, at) == kWhatsThisItem) viewer_.ShowPopup(main_, context, at);
    return true;
}

}  // namespace kelvora::ui
