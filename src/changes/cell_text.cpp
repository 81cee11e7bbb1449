#include "changes/cell_text.h"

#include <cstring>

#include "changes/value_type.h"
#include "platform/platform.h"

namespace kelvora {

namespace {

// Change kind codes (stored in archives).
enum Kind : std::int32_t {
    kRegKeyCreated = 1,
    kRegKeyDeleted,
    kRegValueCreated,
    kRegValueChanged,
    kRegValueDeleted,
    kSharedCounterIncremented,
    kFolderCreated,
    kFolderDeleted,
    kFileCreated,
    kFileChanged,
    kFileDeleted,
    kFileMovedFrom,
    kFileMovedTo,
    kMyComputer,
    kFileSystem,
    kRegistry,
    kDrive,
    kPathBranch,
};

// A file state block holds "hh:nn dd/mm/yy size" (the date's fields in the
// order of the short date of the user who scanned) and a terminating zero; a
// damaged block may lack the zero, so the text never runs past the size.
std::string FileStateText(const std::uint8_t* data, std::int32_t size, const CellWords& words) {
    std::string text;
    if (data != nullptr && size > 0) {
        const auto* begin = reinterpret_cast<const char*>(data);
        text.assign(begin, strnlen(begin, static_cast<std::size_t>(size)));
    }
    return text + words.Bytes;
}

// The text up to its first zero byte, quoted, inner quotes doubled.
std::string QuotedText(std::string_view raw) {
    std::string text = "'";
    for (char c : raw.substr(0, raw.find('\0'))) {
        text += c;
        if (c == '\'') text += '\'';
    }
    return text + "'";
}

// A REG_MULTI_SZ: each string quoted, separated by a space. Every string
// ends with a zero and the list with one more; empty strings inside the list
// (PendingFileRenameOperations has them) are entries too.
std::string MultiText(std::string_view raw) {
    if (raw.ends_with(std::string_view("\0\0", 2))) raw.remove_suffix(1);
    if (raw.ends_with('\0')) raw.remove_suffix(1);
    if (raw.empty()) return "''";
    std::string text;
    for (;;) {
        const std::size_t end = raw.find('\0');
        text += QuotedText(raw.substr(0, end));
        if (end == std::string_view::npos) break;
        text += ' ';
        raw.remove_prefix(end + 1);
    }
    return text;
}

std::uint64_t LittleEndian(const std::uint8_t* data, int count) {
    std::uint64_t v = 0;
    for (int i = count - 1; i >= 0; --i) v = v << 8 | data[i];
    return v;
}

// The value text of one side of a change, with the type's name after it
// when the value's type changed.
std::string SideText(const CellSource& n, bool before, bool hexa, const CellWords& words) {
    const std::uint32_t type = before ? TypeBefore(n.Kind, n.ValueType) : TypeAfter(n.Kind, n.ValueType);
    std::string text = before ? ValueText(static_cast<std::int32_t>(type), n.OldData, n.OldSize, hexa, words)
                              : ValueText(static_cast<std::int32_t>(type), n.NewData, n.NewSize, hexa, words);
    if (TypeBefore(n.Kind, n.ValueType) != TypeAfter(n.Kind, n.ValueType)) text += " (" + TypeName(type) + ")";
    return text;
}

}  // namespace

std::string ByteText(const std::uint8_t* data, std::int32_t count, bool hexa, const CellWords& words) {
    if (count <= 0 || data == nullptr) return words.ZeroLengthData;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * (hexa ? 3 : 1));
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t b = data[i];
        if (hexa) {
            text += kDigits[b >> 4];
            text += kDigits[b & 15];
            text += ' ';
        } else {
            text += (b >= 32 && b <= 126) ? static_cast<char>(b) : '.';
        }
    }
    return text;
}

std::string ValueText(std::int32_t valueType, const std::uint8_t* data, std::int32_t size, bool hexa,
                      const CellWords& words) {
    const auto type = static_cast<std::uint32_t>(valueType);
    std::string_view raw;
    if (data != nullptr && size > 0) raw = {reinterpret_cast<const char*>(data), static_cast<std::size_t>(size)};
    if (type == platform::kRegSz || type == platform::kRegExpandSz) return QuotedText(raw);
    if (type == platform::kRegMultiSz) return MultiText(raw);
    // A number whose block is too short (a damaged record) shows as bytes.
    if (type == platform::kRegDword && size >= 4) {
        return std::to_string(static_cast<std::int32_t>(LittleEndian(data, 4)));
    }
    if (type == platform::kRegQword && size >= 8) {
        return std::to_string(static_cast<std::int64_t>(LittleEndian(data, 8)));
    }
    return ByteText(data, size, hexa, words);
}

std::string CellText(const CellSource& n, int column, bool hexa, const CellWords& words) {
    if (column == 0) {
        bool value = n.Kind == kRegValueCreated || n.Kind == kRegValueChanged || n.Kind == kRegValueDeleted;
        return value && n.Name.empty() ? words.Default : std::string(n.Name);
    }
    bool before = column == 1;
    switch (n.Kind) {
    case kRegValueCreated:
        return before ? std::string() : ValueText(n.ValueType, n.NewData, n.NewSize, hexa, words);
    case kRegValueChanged:
        return SideText(n, before, hexa, words);
    case kRegValueDeleted:
        return before ? ValueText(n.ValueType, n.OldData, n.OldSize, hexa, words) : std::string();
    case kSharedCounterIncremented:
        return before ? std::string()
                      : ValueText(n.ValueType, n.NewData, n.NewSize, hexa, words) + " " + words.Incremented;
    case kFileCreated:
    case kFileMovedTo:
        return before ? std::string() : FileStateText(n.NewData, n.NewSize, words);
    case kFileChanged:
        return before ? FileStateText(n.OldData, n.OldSize, words) : FileStateText(n.NewData, n.NewSize, words);
    case kFileDeleted:
    case kFileMovedFrom:
        return before ? FileStateText(n.OldData, n.OldSize, words) : std::string();
    default:
        return {};
    }
}

int ImageIndexOf(std::int32_t kind, std::int32_t valueType) {
    const bool text = IsTextType(TypeAfter(kind, valueType));
    switch (kind) {
    case kMyComputer: return 0;
    case kFileSystem: return 1;
    case kRegistry: return 2;
    case kDrive: return 3;
    case kPathBranch: return 4;
    case kRegKeyCreated:
    case kFolderCreated: return 5;
    case kRegKeyDeleted:
    case kFolderDeleted: return 6;
    case kRegValueCreated: return text ? 11 : 7;
    case kRegValueDeleted: return text ? 12 : 8;
    case kRegValueChanged: return text ? 13 : 9;
    case kSharedCounterIncremented: return text ? 14 : 10;
    case kFileCreated: return 15;
    case kFileDeleted: return 16;
    case kFileChanged: return 17;
    case kFileMovedFrom: return 18;
    case kFileMovedTo: return 19;
    default: return -1;  // an unknown kind (damaged record) shows no icon
    }
}

}  // namespace kelvora
