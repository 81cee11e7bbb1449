#include "changes/value_type.h"

#include <cstdio>
#include <iterator>

#include "changes/node_data.h"
#include "platform/platform.h"

namespace kelvora {

namespace {

constexpr std::uint32_t kMarkMask = 0xFF000000u;

bool IsChangeOfType(std::int32_t kind, std::int32_t valueType) {
    return kind == ckRegValueChanged && (static_cast<std::uint32_t>(valueType) & kMarkMask) == kTypeChangeMark;
}

}  // namespace

std::int32_t ChangedValueType(std::uint32_t before, std::uint32_t after) {
    if (before == after || before > 0xFFu || after > 0xFFFFu) return static_cast<std::int32_t>(before);
    return static_cast<std::int32_t>(kTypeChangeMark | before << 16 | after);
}

std::uint32_t TypeBefore(std::int32_t kind, std::int32_t valueType) {
    const auto field = static_cast<std::uint32_t>(valueType);
    return IsChangeOfType(kind, valueType) ? (field >> 16) & 0xFFu : field;
}

std::uint32_t TypeAfter(std::int32_t kind, std::int32_t valueType) {
    const auto field = static_cast<std::uint32_t>(valueType);
    return IsChangeOfType(kind, valueType) ? field & 0xFFFFu : field;
}

bool IsTextType(std::uint32_t type) {
    return type == platform::kRegSz || type == platform::kRegExpandSz || type == platform::kRegMultiSz;
}

std::string TypeName(std::uint32_t type) {
    static constexpr const char* kNames[] = {"REG_NONE",
                                             "REG_SZ",
                                             "REG_EXPAND_SZ",
                                             "REG_BINARY",
                                             "REG_DWORD",
                                             "REG_DWORD_BIG_ENDIAN",
                                             "REG_LINK",
                                             "REG_MULTI_SZ",
                                             "REG_RESOURCE_LIST",
                                             "REG_FULL_RESOURCE_DESCRIPTOR",
                                             "REG_RESOURCE_REQUIREMENTS_LIST",
                                             "REG_QWORD"};
    if (type < std::size(kNames)) return kNames[type];
    char text[24];
    std::snprintf(text, sizeof text, "REG_0x%X", static_cast<unsigned>(type));
    return text;
}

}  // namespace kelvora
