// The base of the control wrappers: one object per child control, found
// again from the control's handle so that the parent window can hand it its
// notifications. Every control is subclassed, so a wrapper sees the
// control's own messages (keys, mouse) and learns when it is destroyed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

namespace kelvora::ui {

class Window;

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Handle() const noexcept { return hwnd_; }
    int Id() const noexcept { return hwnd_ != nullptr ? GetDlgCtrlID(hwnd_) : 0; }
    static Control* FromHandle(HWND hwnd) noexcept;

    void SetText(std::string_view text);
    std::string Text() const;
    void SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
    bool Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
    bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void SetBounds(int x, int y, int width, int height) {
        SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetFont(HFONT font) { SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
    void Focus() { SetFocus(hwnd_); }

protected:
    struct CreateParams {
        HWND Parent = nullptr;
        const char* ClassName = nullptr;
        std::string_view Text;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        int Id = 0;
        RECT Bounds{};  // left, top, width, height
    };
    // Creates the control as a visible child of the parent; false on failure.
    bool CreateControl(const CreateParams& params);

    // Handlers called by the parent window (reflected notifications).
    virtual void OnCommand(WORD /*code*/) {}
    virtual LRESULT OnNotify(NMHDR* /*nm*/) { return 0; }
    virtual bool OnDrawItem(DRAWITEMSTRUCT* /*dis*/) { return false; }
    virtual void OnMeasureItem(MEASUREITEMSTRUCT* /*mis*/) {}
    // The control's own messages; call DefSubclassProc for the default.
    virtual LRESULT OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT CallDefault(UINT msg, WPARAM wp, LPARAM lp) { return DefSubclassProc(hwnd_, msg, wp, lp); }

private:
    friend class Window;
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR ref) noexcept;
    HWND hwnd_ = nullptr;
};

}  // namespace kelvora::ui
