// A form's one table: a row per control (or per text of the form that has
// no control of its own: the title, a tab, a file dialog's filter) with
// what the translator, the context help and the layout need to know of it.
// The form creates its controls with the rows' identifiers; the helpers
// below then give them their English texts, hand the texts to the
// translator and set the help contexts, all from the table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "translation/form_texts.h"

namespace kelvora::ui {

struct FormRow {
    int Id;                 // the control's identifier; 0 for a text without a control
    std::string_view Name;  // in the language files: "component" (its Caption) or "component.Property";
                            // empty for the form's title
    const char* English;    // nullptr for a control without a text of its own
    std::uint32_t Help = 0;      // the help context: a ".topic" of the help file's pop-ups; 0 for none
    std::string_view Topic = {};  // the help page that tells more, with an anchor

    std::string_view Component() const;
    std::string_view Property() const;  // "Caption" when the name has none
    // The value's name in the form's section ("btnOk.Caption", "Caption").
    std::string ValueName() const;
};

// The row of id; nullptr when the table has none.
const FormRow* RowOf(std::span<const FormRow> rows, int id);

// Sets the window text of a form's control (of the form itself for the
// title row). Dialogs give their own setter for the rows whose text is no
// window text (setterFor answers an empty one for the others).
TFormTexts::Setter WindowTextSetter(HWND form, const FormRow& row);
// Applies every text row's English text and adds it to texts with its setter;
// the title's setter becomes texts.SetTitle.
void AddFormTexts(TFormTexts& texts, HWND form, std::span<const FormRow> rows,
                  const std::function<TFormTexts::Setter(const FormRow&)>& setterFor = {});

// Gives every control of the table that has a help context its number.
void SetHelpContexts(HWND form, std::span<const FormRow> rows);

}  // namespace kelvora::ui
