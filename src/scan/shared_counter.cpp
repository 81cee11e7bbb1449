#include "scan/shared_counter.h"

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace kelvora {

namespace {

// The decimal text of a REG_SZ counter, up to its first zero byte: optional
// leading blanks, an optional sign and at least one digit, nothing else.
std::optional<std::int64_t> ParseCounterText(const TValori& value) {
    std::string_view text(reinterpret_cast<const char*>(value.Data()), static_cast<std::size_t>(value.Size));
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::int64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (negative) number = -number;
    if (number < INT32_MIN || number > INT32_MAX) return std::nullopt;
    return number;
}

std::uint32_t ReadDword(const TValori& value) {
    std::uint32_t number = 0;
    for (int i = 0; i < 4; ++i) number |= static_cast<std::uint32_t>(value.Data()[i]) << (8 * i);
    return number;
}

void SetAmount(TNodeData& record, std::uint32_t amount) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(amount), static_cast<std::uint8_t>(amount >> 8),
                                   static_cast<std::uint8_t>(amount >> 16), static_cast<std::uint8_t>(amount >> 24)};
    record.SetNew(bytes, 4);
}

bool IsDword(const TValori& value) { return value.DataType == platform::kRegDword && value.Size == 4; }

}  // namespace

bool MarkNewCounter(const TValori& value, TNodeData& record) {
    if (value.DataType != platform::kRegSz && !IsDword(value)) return false;
    record.Kind = ckSharedCounterIncremented;
    return true;
}

bool MarkChangedCounter(const TValori& newValue, const TValori& oldValue, TNodeData& record) {
    if (IsDword(oldValue) && IsDword(newValue)) {
        SetAmount(record, ReadDword(newValue) - ReadDword(oldValue));
    } else if (oldValue.DataType == platform::kRegSz && newValue.DataType == platform::kRegSz) {
        const auto oldNumber = ParseCounterText(oldValue);
        const auto newNumber = ParseCounterText(newValue);
        if (!oldNumber || !newNumber) return false;
        // A 32-bit amount, as the uninstaller reads it back.
        const auto amount = static_cast<std::uint32_t>(static_cast<std::uint64_t>(*newNumber - *oldNumber));
        SetAmount(record, amount);
        record.ValueType = platform::kRegDword;
    } else {
        return false;
    }
    record.Kind = ckSharedCounterIncremented;
    return true;
}

}  // namespace kelvora
