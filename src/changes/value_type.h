// The registry type of a value change, as the changes tree and the archive
// keep it in a record's one ValueType field.
//
// A changed value (kind 4) has a type before and a type after the change.
// When they are equal the field holds that type, as archives always stored
// it. When the type changed too, the field holds kTypeChangeMark in its top
// byte, the type before in bits 16-23 and the type after in bits 0-15; every
// standard type (REG_NONE 0 to REG_QWORD 11) fits. A change between types
// that do not fit there keeps only the type before, under which the old data
// is restored. Other kinds hold their one type as it is.
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

inline constexpr std::uint32_t kTypeChangeMark = 0x4B000000u;

// The ValueType field of a changed value.
std::int32_t ChangedValueType(std::uint32_t before, std::uint32_t after);
// The value's type before and after the change, for a record of any kind.
std::uint32_t TypeBefore(std::int32_t kind, std::int32_t valueType);
std::uint32_t TypeAfter(std::int32_t kind, std::int32_t valueType);

// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ: data that is text.
bool IsTextType(std::uint32_t type);
// "REG_EXPAND_SZ", or "REG_0x<hex>" for a type without a name.
std::string TypeName(std::uint32_t type);

}  // namespace kelvora
