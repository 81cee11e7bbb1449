// What the changes tree shows for a node: the text of each of its three
// columns and the index of its icon. The window, the printout, the text
// export and the command line all use these rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvora {

// The translated words that cell texts use.
struct CellWords {
    std::string Default;         // "(Default)"
    std::string Bytes;           // " bytes", with its leading space
    std::string Incremented;     // "(incremented)"
    std::string ZeroLengthData;  // "(zero length data)"

    // The words in the current language.
    static CellWords Translated();
};

// The fields of a change record that its cells show.
struct CellSource {
    std::int32_t Kind = 0;  // change kind code 1 to 18
    std::string_view Name;
    const std::uint8_t* OldData = nullptr;
    std::int32_t OldSize = 0;
    const std::uint8_t* NewData = nullptr;
    std::int32_t NewSize = 0;
    std::int32_t ValueType = 0;
};

// Column 0 "Detected changes", 1 "Before", 2 "After". A value whose type
// changed shows each side with its type's name after it: "'x' (REG_SZ)".
std::string CellText(const CellSource& node, int column, bool hexa, const CellWords& words);

// A registry value's data as text: REG_SZ and REG_EXPAND_SZ quoted (up to
// the first zero byte, inner quotes doubled), REG_MULTI_SZ as its strings
// quoted and separated by spaces, REG_DWORD and REG_QWORD as signed numbers,
// anything else as bytes.
std::string ValueText(std::int32_t valueType, const std::uint8_t* data, std::int32_t size, bool hexa,
                      const CellWords& words);
// Bytes as "01 AB " (hexa) or as printable characters with "." for others.
std::string ByteText(const std::uint8_t* data, std::int32_t count, bool hexa, const CellWords& words);

// The icon of a node (0 to 19), by kind and value type (the text icons for
// the text types, after the change).
int ImageIndexOf(std::int32_t kind, std::int32_t valueType);
inline constexpr int kChangeImageCount = 20;

}  // namespace kelvora
