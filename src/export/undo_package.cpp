#include "export/undo_package.h"

#include "export/change_walk.h"

namespace kelvora {

namespace {

bool PhaseOn(TChangeKind kind, const TSettings& s) {
    switch (kind) {
        case ckRegValueCreated: return s.DeleteValues;
        case ckRegKeyCreated: return s.DeleteKey;
        case ckRegValueChanged: return s.RestoreValues;
        case ckRegKeyDeleted: return s.CreateKey;
        case ckRegValueDeleted: return s.CreateValues;
        case ckSharedCounterIncremented: return s.DecSharedCounter;
        case ckFileCreated: return s.DeleteFiles;
        case ckFolderCreated: return s.DeleteFolders;
        default: return false;
    }
}

std::vector<std::uint8_t> Bytes(const DataBlock& block, std::int32_t size) {
    if (!block.Present() || size <= 0) return {};
    return {block.Get(), block.Get() + size};
}

// The next code point of UTF-8 text at i, or U+FFFD for a byte that starts
// none (i moves past what was read).
std::uint32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) { ++i; return c; }
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
    if (n == 0 || i + n > s.size()) { ++i; return 0xFFFD; }
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += n;
    return cp;
}

}  // namespace

std::vector<UndoItem> CollectUndoItems(const ChangesTree::Access& tree, const platform::Collation& names,
                                       const TSettings& settings) {
    std::vector<UndoItem> items;
    ForEachChange(tree, kNoNode, names, [&](NodeId node) {
        const TNodeData& d = tree.Data(node);
        // Without check boxes (a tree just monitored) the package takes what
        // an uninstall would pre-check: activity stays out of it.
        const TCheckState check = tree.CheckState(node);
        const bool activity = d.Activity != arSetup && d.Kind != ckSharedCounterIncremented;
        if (check == TCheckState::Unchecked || (check == TCheckState::None && activity) || !PhaseOn(d.Kind, settings))
            return;
        UndoItem item;
        item.Kind = d.Kind;
        item.RootKey = d.RootKey;
        item.Path = std::string_view(d.Path);
        item.Name = d.Name;
        item.ValueType = d.ValueType;
        item.OldData = Bytes(d.OldData, d.OldSize);
        item.NewData = Bytes(d.NewData, d.NewSize);
        item.OldKnown = d.OldData.Present();
        items.push_back(std::move(item));
    });
    return items;
}

void AppendUtf16(std::string& out, std::string_view utf8) {
    auto unit = [&out](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const std::uint32_t cp = NextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
}

std::string ToUtf16File(std::string_view utf8) {
    std::string out("\xFF\xFE", 2);
    out.reserve(2 + utf8.size() * 2);
    AppendUtf16(out, utf8);
    return out;
}

bool WriteUndoPackage(platform::FileSystem& files, std::string_view folder, const std::vector<UndoItem>& items,
                      const UndoPackageInfo& info) {
    std::string base(folder);
    if (!base.empty() && base.back() != '\\') base += '\\';
    base += info.Identifier + "-undo";
    const std::string reg = ToUtf16File(RegFileText(items, info));
    const std::string cmd = UndoScriptText(items, info);
    return files.WriteFileAtomic(base + ".reg", reinterpret_cast<const std::uint8_t*>(reg.data()), reg.size()) &&
           files.WriteFileAtomic(base + ".cmd", reinterpret_cast<const std::uint8_t*>(cmd.data()), cmd.size());
}

}  // namespace kelvora
