#include "translation/form_texts.h"

#include "platform/text.h"

namespace kelvora {

void TFormTexts::Add(std::string component, std::string property, std::string english, Setter set) {
    entries_.push_back({std::move(component), std::move(property), std::move(english), std::move(set)});
}

void TFormTexts::SplitName(std::string_view name, std::string_view& component, std::string_view& property) {
    component = name.substr(0, name.find('.'));
    const std::size_t last = name.rfind('.');
    property = last == std::string_view::npos ? name : name.substr(last + 1);
}

bool TFormTexts::Set(std::string_view component, std::string_view property, std::string_view text) const {
    for (const Entry& e : entries_) {
        if (EqualsNoCase(e.Component, component) && EqualsNoCase(e.Property, property)) {
            if (e.Set) e.Set(text);
            return true;
        }
    }
    return false;
}

}  // namespace kelvora
