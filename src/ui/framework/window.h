// The base of every top-level window and dialog of the program: it keeps its
// object pointer in the window (stored at WM_NCCREATE), dispatches messages
// to OnMessage, hands WM_COMMAND, WM_NOTIFY and owner-draw messages back to
// the control wrapper that sent them, and stops exceptions at the window
// procedure.
//
// Teardown: once WM_DESTROY has been handled, the messages that the dying
// children send (notifications, focus changes) go to DefWindowProc only, so
// no handler runs on a window whose controls are going. A derived window
// whose destructor runs while its handle lives calls Destroy() first: the
// object is detached from the handle before any member dies.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::ui {

// Called with the message of an exception that reached a window procedure.
// The default writes it to the debugger output. Answers the reporter it
// replaces, so that a caller can put it back.
std::function<void(const char* what)> SetUnhandledExceptionReporter(std::function<void(const char* what)> reporter);
// Hands the message of a caught exception to the reporter.
void ReportUnhandledException(const char* what) noexcept;

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    struct CreateParams {
        const char* ClassName = nullptr;  // registered on first use
        std::string_view Title;
        DWORD Style = WS_OVERLAPPEDWINDOW;
        DWORD ExStyle = 0;
        RECT Bounds{CW_USEDEFAULT, CW_USEDEFAULT, 640, 480};  // left, top, width, height
        HWND Parent = nullptr;
        HICON Icon = nullptr;
        HBRUSH Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    };
    // Creates the window; false when Windows refuses.
    bool Create(const CreateParams& params);
    HWND Handle() const noexcept { return hwnd_; }
    // The object of a window made by this class; nullptr for any other.
    static Window* FromHandle(HWND hwnd) noexcept;
    // Detaches the object and destroys the window (see the teardown above).
    void Destroy() noexcept;

    // Dots per inch of the window's monitor (as WM_DPICHANGED last told),
    // and px (at 96 dpi) scaled to it.
    UINT Dpi() const noexcept { return dpi_; }
    int Scale(int px) const noexcept { return MulDiv(px, static_cast<int>(Dpi()), 96); }

    // The message loops ask the top-level window of every message first;
    // true when it handled the message (accelerators, F1). Default: false.
    virtual bool PreTranslate(MSG& msg);

    // Runs the window as a modal one over owner: the owner is disabled until
    // EndModal; answers the value given to EndModal.
    int RunModal(HWND owner);
    void EndModal(int result);

    // Files dragged from the shell and dropped on the window.
    void AcceptFiles(std::function<void(std::vector<std::string>)> onDrop);

    // Worker threads call Wake (from any thread); the window thread then
    // runs the handler. Used to drain a queue of calls handed to it.
    void SetWakeHandler(std::function<void()> handler) { wake_ = std::move(handler); }
    void Wake() const noexcept;

    // The default push button (Enter) of a dialog-like window, see
    // DM_GETDEFID; 0 for none.
    void SetDefaultId(int id) noexcept { defaultId_ = id; }

protected:
    // The window's own handling; call Window::OnMessage for the default.
    // May throw: the window procedure catches and reports.
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // WM_DESTROY has passed; the handle is going.
    virtual void OnDestroyed() {}
    // The window moved to a monitor of another dpi (Dpi() is the new one
    // already). The default takes the size Windows suggests.
    virtual void OnDpiChanged(const RECT& suggested);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept;

    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    bool destroying_ = false;  // WM_DESTROY handled: children are going
    std::function<void()> wake_;
    std::function<void(std::vector<std::string>)> drop_;
    bool modal_ = false;
    int modalResult_ = 0;
    int defaultId_ = 0;
    HFONT font_ = nullptr;  // WM_SETFONT/WM_GETFONT; not owned
};

// The program's message loop: the top-level window's PreTranslate first,
// then IsDialogMessage gives every window Tab and Enter/Escape handling.
// Answers the WM_QUIT code.
int RunMessageLoop();
// One message of a loop as RunMessageLoop handles it (modal loops too).
void HandleLoopMessage(MSG& msg);

// The descendant of parent with the control identifier id (nullptr for
// none), at any depth: the pages' controls are children of their panels.
HWND ChildById(HWND parent, int id);

// The message a window posts to itself to run its wake handler.
inline constexpr UINT kWakeMessage = WM_APP + 1;

}  // namespace kelvora::ui
