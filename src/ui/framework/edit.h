// One-line edits with an optional character filter, and the spin edit (an
// edit with an up-down buddy holding a number).
#pragma once

#include <functional>

#include "ui/framework/control.h"

namespace kelvora::ui {

class Edit : public Control {
public:
    bool Create(HWND parent, int id, std::string_view text, RECT bounds, DWORD style = ES_AUTOHSCROLL);
    // Characters for which the filter answers false are not typed nor
    // pasted; the filter sees each byte of a character's UTF-8 (control
    // characters such as Backspace always pass).
    void SetCharFilter(std::function<bool(char)> filter) { filter_ = std::move(filter); }
    void SetMaxLength(int chars) { SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(chars), 0); }
    void SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }
    // Called after the text changed (typing, pasting or SetText).
    std::function<void()> OnChange;

protected:
    void OnCommand(WORD code) override;
    LRESULT OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT TypeFiltered(wchar_t unit, LPARAM lp);
    void Paste();
    std::function<bool(char)> filter_;
    wchar_t pendingHigh_ = 0;  // the first half of a surrogate pair being typed
};

// Characters that Windows does not allow in a file name.
bool IsFileNameChar(char c);

class SpinEdit {
public:
    bool Create(HWND parent, int id, RECT bounds, int minValue, int maxValue, int value);
    int Value() const;
    void SetValue(int value);
    Edit& Editor() { return edit_; }
    HWND UpDown() const { return updown_; }

private:
    Edit edit_;
    HWND updown_ = nullptr;  // a child of the parent, destroyed with it
    int min_ = 0;
    int max_ = 0;
};

}  // namespace kelvora::ui
