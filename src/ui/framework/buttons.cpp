#include "ui/framework/buttons.h"

namespace kelvora::ui {

bool Button::Create(HWND parent, int id, std::string_view caption, RECT bounds, bool isDefault) {
    return CreateControl({parent, WC_BUTTONA, caption,
                          static_cast<DWORD>(WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)), 0, id,
                          bounds});
}

void Button::OnCommand(WORD code) {
    if (code == BN_CLICKED && OnClick) OnClick();
}

bool CheckBox::Create(HWND parent, int id, std::string_view caption, RECT bounds) {
    return CreateControl({parent, WC_BUTTONA, caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, id, bounds});
}

void CheckBox::OnCommand(WORD code) {
    if (code == BN_CLICKED && OnClick) OnClick();
}

class RadioGroup::Radio : public Control {
public:
    Radio(RadioGroup& group, int index) : group_(group), index_(index) {}
    bool Create(HWND parent, int id, std::string_view caption, RECT bounds, bool first, bool pushLike) {
        DWORD style = BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0) | (pushLike ? BS_PUSHLIKE : 0);
        return CreateControl({parent, WC_BUTTONA, caption, style, 0, id, bounds});
    }

protected:
    void OnCommand(WORD code) override {
        if (code == BN_CLICKED) group_.Clicked(index_);
    }

private:
    RadioGroup& group_;
    int index_;
};

RadioGroup::RadioGroup() = default;
RadioGroup::~RadioGroup() = default;

bool RadioGroup::Add(HWND parent, int id, std::string_view caption, RECT bounds, bool pushLike) {
    auto radio = std::make_unique<Radio>(*this, Count());
    if (!radio->Create(parent, id, caption, bounds, buttons_.empty(), pushLike)) return false;
    buttons_.push_back(std::move(radio));
    return true;
}

Control& RadioGroup::Item(int index) { return *buttons_[static_cast<std::size_t>(index)]; }

int RadioGroup::ItemIndex() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (SendMessageA(buttons_[i]->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
    return -1;
}

void RadioGroup::Clicked(int index) {
    // Windows reports a click on the button that is checked already too:
    // only a new choice is news.
    if (index == reported_ || ItemIndex() != index) return;
    reported_ = index;
    if (OnChange) OnChange(index);
}

void RadioGroup::SetItemIndex(int index) {
    reported_ = index;
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        SendMessageA(buttons_[i]->Handle(), BM_SETCHECK,
                     static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Label::Create(HWND parent, int id, std::string_view caption, RECT bounds, DWORD style) {
    return CreateControl({parent, WC_STATICA, caption, style, 0, id, bounds});
}

bool GroupBox::Create(HWND parent, int id, std::string_view caption, RECT bounds) {
    // A group box paints only its frame and caption; a parent that clips its
    // children would then never erase the inside, leaving what another page
    // showed there. WS_EX_TRANSPARENT leaves it out of the parent's clipping.
    return CreateControl({parent, WC_BUTTONA, caption, BS_GROUPBOX, WS_EX_TRANSPARENT, id, bounds});
}

}  // namespace kelvora::ui
