#include "ui/framework/window.h"

#include <shellapi.h>

#include <exception>
#include <set>
#include <string>
#include <utility>

#include "ui/framework/control.h"

namespace kelvora::ui {

namespace {

// The object of a window of ours is also a window property: a foreign
// window (a menu, a common dialog) may keep anything in GWLP_USERDATA.
constexpr const char* kWindowProp = "KelvoraWindow";

std::function<void(const char*)>& Reporter() {
    static std::function<void(const char*)> reporter = [](const char* what) {
        OutputDebugStringA(what);
    };
    return reporter;
}

bool RegisterOnce(const char* class_name, HICON icon, HBRUSH background, WNDPROC proc) {
    static std::set<std::string> registered;
    if (registered.count(class_name) != 0) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = class_name;
    if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    registered.insert(class_name);
    return true;
}

}  // namespace

std::function<void(const char*)> SetUnhandledExceptionReporter(std::function<void(const char*)> reporter) {
    return std::exchange(Reporter(), std::move(reporter));
}

void ReportUnhandledException(const char* what) noexcept {
    try {
        Reporter()(what);
    } catch (...) {
        OutputDebugStringA(what);
    }
}

Window::~Window() { Destroy(); }

void Window::Destroy() noexcept {
    if (hwnd_ == nullptr) return;
    // Detach first: the destroy messages must not reach a half-destroyed
    // object.
    HWND hwnd = std::exchange(hwnd_, nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    RemovePropA(hwnd, kWindowProp);
    DestroyWindow(hwnd);
}

bool Window::Create(const CreateParams& p) {
    if (!RegisterOnce(p.ClassName, p.Icon, p.Background, &Window::WndProc)) return false;
    std::string title(p.Title);
    HWND hwnd = CreateWindowExA(p.ExStyle, p.ClassName, title.c_str(), p.Style, p.Bounds.left, p.Bounds.top,
                                p.Bounds.right, p.Bounds.bottom, p.Parent, nullptr, GetModuleHandleA(nullptr),
                                this);
    return hwnd != nullptr;
}

Window* Window::FromHandle(HWND hwnd) noexcept {
    return hwnd != nullptr ? static_cast<Window*>(GetPropA(hwnd, kWindowProp)) : nullptr;
}

bool Window::PreTranslate(MSG&) { return false; }

void Window::OnDpiChanged(const RECT& r) {
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int Window::RunModal(HWND owner) {
    modal_ = true;
    modalResult_ = 0;
    bool owner_enabled = owner != nullptr && IsWindowEnabled(owner);
    if (owner_enabled) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    MSG msg;
    while (modal_ && hwnd_ != nullptr) {
        int got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        HandleLoopMessage(msg);
    }
    modal_ = false;
    // Enable the owner before hiding, so that Windows activates it again.
    if (owner_enabled) EnableWindow(owner, TRUE);
    if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
    return modalResult_;
}

void Window::EndModal(int result) {
    modalResult_ = result;
    modal_ = false;
    PostMessageA(hwnd_, WM_NULL, 0, 0);  // lets the modal loop see the end
}

void Window::AcceptFiles(std::function<void(std::vector<std::string>)> onDrop) {
    drop_ = std::move(onDrop);
    DragAcceptFiles(hwnd_, drop_ ? TRUE : FALSE);
}

void Window::Wake() const noexcept {
    if (hwnd_ != nullptr) PostMessageA(hwnd_, kWakeMessage, 0, 0);
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (lp != 0) {
            if (Control* c = Control::FromHandle(reinterpret_cast<HWND>(lp))) {
                c->OnCommand(HIWORD(wp));
                return 0;
            }
        }
        break;
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (Control* c = Control::FromHandle(nm->hwndFrom)) return c->OnNotify(nm);
        break;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (wp != 0) {
            if (Control* c = Control::FromHandle(dis->hwndItem)) return c->OnDrawItem(dis) ? TRUE : FALSE;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (wp != 0) {
            if (Control* c = Control::FromHandle(GetDlgItem(hwnd_, static_cast<int>(mis->CtlID)))) {
                c->OnMeasureItem(mis);
                return TRUE;
            }
        }
        break;
    }
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wp);
        std::vector<std::string> files;
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::string name(DragQueryFileA(drop, i, nullptr, 0), '\0');
            DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
            files.push_back(std::move(name));
        }
        DragFinish(drop);
        if (drop_) drop_(std::move(files));
        return 0;
    }
    case kWakeMessage:
        if (wake_) wake_();
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wp);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case DM_GETDEFID:
        return defaultId_ != 0 ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
    case WM_DPICHANGED:
        dpi_ = LOWORD(wp);
        OnDpiChanged(*reinterpret_cast<RECT*>(lp));
        return 0;
    case WM_CLOSE:
        if (modal_) {
            EndModal(IDCANCEL);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        UINT dpi = GetDpiForWindow(hwnd);
        self->dpi_ = dpi != 0 ? dpi : 96;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        SetPropA(hwnd, kWindowProp, self);
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, msg, wp, lp);
    // While the children are destroyed, their messages must not reach
    // handlers that would use them.
    if (self->destroying_ && msg != WM_NCDESTROY) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = self->Dispatch(msg, wp, lp);
    if (msg == WM_DESTROY) self->destroying_ = true;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        RemovePropA(hwnd, kWindowProp);
        self->hwnd_ = nullptr;
        self->destroying_ = false;
    }
    return result;
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        LRESULT r = OnMessage(msg, wp, lp);
        if (msg == WM_DESTROY) OnDestroyed();
        return r;
    } catch (const std::exception& e) {
        ReportUnhandledException(e.what());
    } catch (...) {
        ReportUnhandledException("unknown exception");
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void HandleLoopMessage(MSG& msg) {
    HWND top = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (Window* window = Window::FromHandle(top)) {
        bool handled = false;
        try {
            handled = window->PreTranslate(msg);
        } catch (const std::exception& e) {
            ReportUnhandledException(e.what());
            handled = true;
        } catch (...) {
            ReportUnhandledException("unknown exception");
            handled = true;
        }
        if (handled) return;
    }
    if (top != nullptr && IsDialogMessageA(top, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

HWND ChildById(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) HandleLoopMessage(msg);
    return static_cast<int>(msg.wParam);
}

}  // namespace kelvora::ui
