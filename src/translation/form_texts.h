// What the translator may change in a window: its title, the font character
// set of its texts, and the text properties of its components, each found by
// the component's design name (btnNext) and the property's name (Caption),
// without regard to letter case. A window fills one at creation with
// setters for its own controls; the translator only calls them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

class TFormTexts {
public:
    using Setter = std::function<void(std::string_view text)>;

    // section: the window's name in the language files (frmQorMain).
    explicit TFormTexts(std::string section) : section_(std::move(section)) {}

    const std::string& Section() const { return section_; }
    // The window's title; the value "Caption" of its section.
    Setter SetTitle;
    // The font character set of the window and its components.
    std::function<void(int charset)> SetCharset;

    // A text property of a component and its English text (what the window
    // shows until a language says otherwise).
    void Add(std::string component, std::string property, std::string english, Setter set);
    // Splits a language file's value name: the component is the text before
    // the first ".", the property the text after the last one.
    static void SplitName(std::string_view name, std::string_view& component, std::string_view& property);

    // Sets the property; false when the component has no text property of
    // that name.
    bool Set(std::string_view component, std::string_view property, std::string_view text) const;

    struct Entry {
        std::string Component;
        std::string Property;
        std::string English;
        Setter Set;
    };
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::string section_;
    std::vector<Entry> entries_;
};

}  // namespace kelvora
