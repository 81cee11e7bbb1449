#include "ui/framework/form_table.h"

#include "ui/framework/window.h"

namespace kelvora::ui {

std::string_view FormRow::Component() const { return Name.substr(0, Name.find('.')); }

std::string_view FormRow::Property() const {
    const std::size_t dot = Name.find('.');
    return dot == std::string_view::npos ? std::string_view("Caption") : Name.substr(dot + 1);
}

std::string FormRow::ValueName() const {
    return Name.empty() ? std::string("Caption") : std::string(Component()) + "." + std::string(Property());
}

const FormRow* RowOf(std::span<const FormRow> rows, int id) {
    for (const FormRow& row : rows)
        if (row.Id == id) return &row;
    return nullptr;
}

TFormTexts::Setter WindowTextSetter(HWND form, const FormRow& row) {
    HWND window = row.Name.empty() ? form : row.Id != 0 ? ChildById(form, row.Id) : nullptr;
    if (window == nullptr) return {};
    return [window](std::string_view text) { SetWindowTextA(window, std::string(text).c_str()); };
}

void AddFormTexts(TFormTexts& texts, HWND form, std::span<const FormRow> rows,
                  const std::function<TFormTexts::Setter(const FormRow&)>& setterFor) {
    for (const FormRow& row : rows) {
        if (row.English == nullptr) continue;
        TFormTexts::Setter set = setterFor ? setterFor(row) : nullptr;
        if (!set) set = WindowTextSetter(form, row);
        if (!set) continue;
        set(row.English);
        if (row.Name.empty()) texts.SetTitle = set;
        texts.Add(std::string(row.Component()), std::string(row.Property()), row.English, std::move(set));
    }
}

void SetHelpContexts(HWND form, std::span<const FormRow> rows) {
    for (const FormRow& row : rows)
        if (row.Help != 0 && row.Id != 0)
            if (HWND control = ChildById(form, row.Id)) SetWindowContextHelpId(control, row.Help);
}

}  // namespace kelvora::ui
