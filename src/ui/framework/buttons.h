// Push buttons, check boxes, radio groups, labels and group boxes.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ui/framework/control.h"

namespace kelvora::ui {

class Button : public Control {
public:
    // A push button; the default one of its window when isDefault.
    bool Create(HWND parent, int id, std::string_view caption, RECT bounds, bool isDefault = false);
    void Click() { SendMessageA(Handle(), BM_CLICK, 0, 0); }
    std::function<void()> OnClick;

protected:
    void OnCommand(WORD code) override;
};

class CheckBox : public Control {
public:
    bool Create(HWND parent, int id, std::string_view caption, RECT bounds);
    bool Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Changing the state from code does not call OnClick.
    void SetChecked(bool checked) {
        SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    std::function<void()> OnClick;

protected:
    void OnCommand(WORD code) override;
};

// Radio buttons of which exactly one is selected. With pushLike they look
// like grouped toggle buttons (one of them down).
class RadioGroup {
public:
    RadioGroup();
    ~RadioGroup();
    // Adds one button; the first added starts the group (WS_GROUP).
    bool Add(HWND parent, int id, std::string_view caption, RECT bounds, bool pushLike = false);
    int Count() const { return static_cast<int>(buttons_.size()); }
    Control& Item(int index);
    // The selected button's index, -1 when none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Called once after the user selected another button.
    std::function<void(int index)> OnChange;

private:
    class Radio;
    void Clicked(int index);
    std::vector<std::unique_ptr<Radio>> buttons_;
    int reported_ = -1;  // the selection last set or reported
};

class Label : public Control {
public:
    // A static text; style SS_LEFT wraps at its width; add SS_NOPREFIX to
    // show "&" as is.
    bool Create(HWND parent, int id, std::string_view caption, RECT bounds, DWORD style = SS_LEFT);
};

class GroupBox : public Control {
public:
    bool Create(HWND parent, int id, std::string_view caption, RECT bounds);
};

}  // namespace kelvora::ui
