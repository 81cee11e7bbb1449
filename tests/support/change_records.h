// Change records as the comparisons make them, for the tests of what takes
// them in: the changes tree, the archive, the export, the uninstaller.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "changes/node_data.h"

namespace kelvora::test {

inline constexpr std::uint32_t kHkcu = 0x80000001u;
inline constexpr std::uint32_t kHklm = 0x80000002u;

// A change: its kind; the folder holding the item, or the key path below the
// root key; for a value, its type; and the data before and after as raw
// bytes (empty: none).
inline TNodeData Rec(TChangeKind kind, std::string path = {}, std::uint32_t rootKey = 0, std::int32_t valueType = 0,
                     std::string_view before = {}, std::string_view after = {}) {
    TNodeData d;
    d.Kind = kind;
    d.Path = std::move(path);
    d.RootKey = rootKey;
    d.ValueType = valueType;
    if (!before.empty()) d.SetOld(reinterpret_cast<const std::uint8_t*>(before.data()), before.size());
    if (!after.empty()) d.SetNew(reinterpret_cast<const std::uint8_t*>(after.data()), after.size());
    return d;
}

// Raw bytes written as numbers, zeros and all.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes.push_back(static_cast<char>(v));
    return bytes;
}

}  // namespace kelvora::test
