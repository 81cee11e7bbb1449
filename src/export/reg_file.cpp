// The .reg file of the undo package, in the Registry Editor 5.00 format.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "changes/value_type.h"
#include "export/json_text.h"
#include "export/undo_package.h"
#include "platform/text.h"

namespace kelvora {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string KeyOf(const UndoItem& item) {
    std::string key(RootKeyName(item.RootKey));
    if (!item.Path.empty()) key.append("\\").append(item.Path);
    return key;
}

std::string KeyItself(const UndoItem& item) { return KeyOf(item) + "\\" + item.Name; }

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A value name as the format writes it: @ for the default value, else
// quoted with backslashes and quotes escaped.
std::string NameText(std::string_view name) {
    if (name.empty()) return "@";
    std::string out = "\"";
    for (char c : name) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// hex(N): bytes, two digits each, comma-separated, continued with ",\" and
// an indent once a line grows past 76 characters, as the Registry Editor
// writes them.
void AppendHexData(std::string& out, std::string_view prefix, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::size_t lineStart = out.rfind('\n');
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    out += prefix;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += kHex[b >> 4];
        out += kHex[b & 15];
        if (i + 1 < bytes.size()) {
            out += ',';
            if (out.size() - lineStart > 76) {
                out += "\\\r\n  ";
                lineStart = out.size() - 2;
            }
        }
    }
}

// The data of a value of type with these bytes, after "name=".
void AppendData(std::string& out, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
    if (type == 1 && !bytes.empty() && bytes.back() == '\0' && bytes.find('\0') == bytes.size() - 1 &&
        IsUtf8(bytes) && !HasLineBreak(bytes)) {
        out += '"';
        for (char c : bytes.substr(0, bytes.size() - 1)) {
            if (c == '\\' || c == '"') out += '\\';
            out += c;
        }
        out += '"';
        return;
    }
    if (type == 4 && data.size() == 4) {
        std::uint32_t number = 0;
        std::memcpy(&number, data.data(), 4);
        char text[20];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        out += text;
        return;
    }
    // The text types are kept as UTF-8 and stored by Windows as UTF-16.
    std::string stored;
    if (IsTextType(type)) {
        AppendUtf16(stored, bytes);
    } else {
        stored.assign(bytes);
    }
    char prefix[24];
    if (type == 3) {
        std::snprintf(prefix, sizeof prefix, "hex:");
    } else {
        std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    }
    AppendHexData(out, prefix, stored);
}

class RegWriter {
public:
    explicit RegWriter(std::string& out) : out_(out) {}

    void Comment(std::string_view text) {
        section_.clear();
        out_.append(kCrLf).append("; ").append(text).append(kCrLf);
    }
    // A [key] header, unless the last line was one for the same key.
    void Section(const std::string& key) {
        if (section_ == key) return;
        section_ = key;
        out_.append(kCrLf).append("[").append(key).append("]").append(kCrLf);
    }
    void DeleteKey(const std::string& key) {
        section_.clear();
        out_.append(kCrLf).append("[-").append(key).append("]").append(kCrLf);
    }
    void DeleteValue(std::string_view name) { out_.append(NameText(name)).append("=-").append(kCrLf); }
    void SetValue(std::string_view name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
        out_.append(NameText(name)).append("=");
        AppendData(out_, type, data);
        out_.append(kCrLf);
    }

private:
    std::string& out_;
    std::string section_;
};

std::size_t Depth(const std::string& key) { return static_cast<std::size_t>(std::count(key.begin(), key.end(), '\\')); }

}  // namespace

std::string RegFileText(const std::vector<UndoItem>& items, const UndoPackageInfo& info) {
    std::string out = "Windows Registry Editor Version 5.00\r\n";
    RegWriter reg(out);
    reg.Comment("Undoes the registry changes of the installation \"" + info.Identifier + "\", recorded by " +
                info.Program + " (" + info.Made + ").");

    std::vector<std::string> deletedKeys;
    for (const UndoItem& item : items) {
        if (item.Kind == ckRegKeyCreated) deletedKeys.push_back(UpperAscii(KeyItself(item)) + "\\");
    }
    auto insideDeletedKey = [&](const UndoItem& item) {
        const std::string key = UpperAscii(KeyOf(item)) + "\\";
        return std::any_of(deletedKeys.begin(), deletedKeys.end(),
                           [&](const std::string& deleted) { return key.starts_with(deleted); });
    };
    auto writable = [&](const UndoItem& item) {
        if (!HasLineBreak(item.Path) && !HasLineBreak(item.Name)) return true;
        reg.Comment("Left out: a name with a line break, which this format cannot hold.");
        return false;
    };

    // The uninstaller's order: created values, created keys (deepest
    // first), changed values, deleted keys, deleted values.
    bool any = false;
    for (const UndoItem& item : items) {
        if (item.Kind != ckRegValueCreated || insideDeletedKey(item) || !writable(item)) continue;
        if (!any) reg.Comment("Values the setup created.");
        any = true;
        reg.Section(KeyOf(item));
        reg.DeleteValue(item.Name);
    }
    std::vector<std::string> created;
    for (const UndoItem& item : items) {
        if (item.Kind == ckRegKeyCreated && writable(item)) created.push_back(KeyItself(item));
    }
    std::stable_sort(created.begin(), created.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    if (!created.empty()) reg.Comment("Keys the setup created, deepest first, with all they hold.");
    for (const std::string& key : created) reg.DeleteKey(key);

    any = false;
    for (const UndoItem& item : items) {
        if (item.Kind != ckRegValueChanged || !writable(item)) continue;
        if (!any) reg.Comment("Values the setup changed: their data before.");
        any = true;
        reg.Section(KeyOf(item));
        reg.SetValue(item.Name, TypeBefore(item.Kind, item.ValueType), item.OldData);
    }
    any = false;
    for (const UndoItem& item : items) {
        if (item.Kind != ckRegKeyDeleted || !writable(item)) continue;
        if (!any) reg.Comment("Keys the setup deleted.");
        any = true;
        reg.Section(KeyItself(item));
    }
    any = false;
    for (const UndoItem& item : items) {
        if (item.Kind != ckRegValueDeleted || !writable(item)) continue;
        if (!any) reg.Comment("Values the setup deleted.");
        any = true;
        reg.Section(KeyOf(item));
        reg.SetValue(item.Name, static_cast<std::uint32_t>(item.ValueType), item.OldData);
    }
    return out;
}

}  // namespace kelvora
