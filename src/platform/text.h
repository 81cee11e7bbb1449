// Name comparisons. Registry and file names are compared without regard to
// ASCII letter case everywhere in the program; these helpers are the one
// place that does it. Bytes outside A-Z/a-z (UTF-8 included) compare as is.
#pragma once

#include <string>
#include <string_view>

namespace kelvora {

constexpr char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// True when a and b are equal ignoring ASCII case.
bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, ignoring ASCII case (bytes compared unsigned).
int CompareNoCase(std::string_view a, std::string_view b);
// True when text begins with prefix, ignoring ASCII case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// The text with a-z turned into A-Z.
std::string UpperAscii(std::string_view text);

// The longest start of text that has at most maxBytes bytes and does not end
// inside a UTF-8 character.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes);

// Hash and equality for unordered containers keyed by names.
struct NoCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return EqualsNoCase(a, b); }
};
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return CompareNoCase(a, b) < 0; }
};

}  // namespace kelvora
