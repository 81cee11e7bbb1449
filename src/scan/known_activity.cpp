#include "scan/known_activity.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/text.h"

namespace kelvora {

namespace {

std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t cut = path.find('\\');
        parts.push_back(path.substr(0, cut));
        if (cut == std::string_view::npos) return parts;
        path.remove_prefix(cut + 1);
    }
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (ToUpperAscii(c) >= 'A' && ToUpperAscii(c) <= 'F'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The lengths that a wildcard token can take at the start of text.
std::vector<std::size_t> TokenLengths(std::string_view token, std::string_view text) {
    std::vector<std::size_t> lengths;
    if (token == "<N>") {
        std::size_t n = 0;
        while (n < text.size() && IsDigit(text[n])) lengths.push_back(++n);
    } else if (token == "<GUID>") {
        // 8-4-4-4-12 hexadecimal digits, in braces or without.
        const bool braced = !text.empty() && text[0] == '{';
        std::size_t i = braced ? 1 : 0;
        for (const int group : {8, 4, 4, 4, 12}) {
            if (group != 8) {
                if (i >= text.size() || text[i] != '-') return lengths;
                ++i;
            }
            for (int k = 0; k < group; ++k, ++i) {
                if (i >= text.size() || !IsHex(text[i])) return lengths;
            }
        }
        if (braced) {
            if (i >= text.size() || text[i] != '}') return lengths;
            ++i;
        }
        lengths.push_back(i);
    } else if (token == "<SID>") {
        // S-1-, then numbers separated by dashes.
        if (text.size() < 5 || ToUpperAscii(text[0]) != 'S' || text.substr(1, 3) != "-1-") return lengths;
        std::size_t i = 4;
        while (i < text.size() && IsDigit(text[i])) {
            while (i < text.size() && IsDigit(text[i])) ++i;
            lengths.push_back(i);
            if (i + 1 < text.size() && text[i] == '-' && IsDigit(text[i + 1])) ++i;
        }
    }
    return lengths;
}

// Whether one component matches a pattern component with its wildcards.
bool Matches(std::string_view pattern, std::string_view text) {
    if (pattern.empty()) return text.empty();
    if (pattern[0] == '*') {
        for (std::size_t skip = 0; skip <= text.size(); ++skip) {
            if (Matches(pattern.substr(1), text.substr(skip))) return true;
        }
        return false;
    }
    if (pattern[0] == '<') {
        const std::size_t close = pattern.find('>');
        if (close != std::string_view::npos) {
            const std::string_view token = pattern.substr(0, close + 1);
            for (std::size_t length : TokenLengths(token, text)) {
                if (Matches(pattern.substr(close + 1), text.substr(length))) return true;
            }
            if (token == "<N>" || token == "<GUID>" || token == "<SID>") return false;
        }
    }
    return !text.empty() && ToUpperAscii(pattern[0]) == ToUpperAscii(text[0]) &&
           Matches(pattern.substr(1), text.substr(1));
}

// The full name of a root key as a place starts with it.
std::string_view RootName(std::string_view name) {
    static constexpr std::pair<std::string_view, std::string_view> kShort[] = {
        {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"}, {"HKU", "HKEY_USERS"},
        {"HKUS", "HKEY_USERS"},         {"HKCR", "HKEY_CLASSES_ROOT"}, {"HKCC", "HKEY_CURRENT_CONFIG"},
    };
    for (const auto& [abbreviation, full] : kShort) {
        if (EqualsNoCase(name, abbreviation)) return full;
    }
    return name;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return std::string(text);
}

std::vector<std::string> Lines(platform::FileSystem& files, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> lines;
    if (!files.ReadFile(path, bytes)) return lines;
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string InFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path.append(name);
    return path;
}

// What changed while nothing was installed is all the machine's. From a
// monitoring only what changed in place is learned (a value or a file that
// was there before and after): that is what the machine keeps rewriting
// (counters, logs, caches), while what a setup creates or deletes is its own
// and would hide the next setup's work if it were learned.
bool Teaches(std::int32_t kind, std::string_view source) {
    if (source == kQuietCheckSource) return IsStoredKind(kind);
    return kind == ckRegValueChanged || kind == ckFileChanged;
}

}  // namespace

std::unique_ptr<TPlacePattern> TPlacePattern::Parse(std::string_view line, std::string_view windowsFolder) {
    // A comment starts with "#" at the start of the line or after a blank.
    std::size_t hash = line.find('#');
    while (hash != std::string_view::npos && hash > 0 && line[hash - 1] != ' ' && line[hash - 1] != '\t') {
        hash = line.find('#', hash + 1);
    }
    std::string text = Trimmed(line.substr(0, hash));
    if (text.empty()) return nullptr;
    if (StartsWithNoCase(text, "%WINDIR%")) text = std::string(windowsFolder) + text.substr(8);
    if (StartsWithNoCase(text, "%SYSTEMDRIVE%")) text = std::string(windowsFolder.substr(0, 2)) + text.substr(13);
    while (text.size() > 1 && text.back() == '\\') text.pop_back();
    auto pattern = std::make_unique<TPlacePattern>();
    for (std::string_view part : Components(text)) pattern->components_.emplace_back(part);
    pattern->components_[0] = std::string(RootName(pattern->components_[0]));
    if (pattern->components_[0].empty()) return nullptr;
    return pattern;
}

bool TPlacePattern::Covers(std::string_view place) const {
    const std::vector<std::string_view> parts = Components(place);
    if (parts.size() < components_.size()) return false;
    for (std::size_t i = 0; i < components_.size(); ++i) {
        if (!Matches(components_[i], parts[i])) return false;
    }
    return true;
}

std::string ChangePlace(std::string_view placement, std::string_view name) {
    std::string place(placement);
    if (!place.empty() && place.back() != '\\') place += '\\';
    place.append(name);
    return place;
}

void TKnownActivity::AddPattern(std::string_view line, std::string_view windowsFolder) {
    if (auto pattern = TPlacePattern::Parse(line, windowsFolder)) patterns_.push_back(std::move(pattern));
}

void TKnownActivity::AddLearned(std::string_view place, std::string_view source) {
    std::vector<std::string>& sources = learned_[UpperAscii(place)];
    for (const std::string& known : sources) {
        if (EqualsNoCase(known, source)) return;
    }
    sources.emplace_back(source);
}

void TKnownActivity::Load(platform::FileSystem& files, std::string_view programFolder,
                          std::string_view windowsFolder) {
    for (std::string_view name : {kCatalogueFile, kUserCatalogueFile}) {
        for (const std::string& line : Lines(files, InFolder(programFolder, name))) AddPattern(line, windowsFolder);
    }
    for (const std::string& line : Lines(files, InFolder(programFolder, kLearnedFile))) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::string place = Trimmed(std::string_view(line).substr(tab + 1));
        if (tab > 0 && !place.empty()) AddLearned(place, std::string_view(line).substr(0, tab));
    }
}

TActivityReason TKnownActivity::ReasonFor(std::string_view place, std::string_view identifier) const {
    for (const auto& pattern : patterns_) {
        if (pattern->Covers(place)) return arVolatileLocation;
    }
    if (learned_.empty()) return arSetup;
    const auto it = learned_.find(UpperAscii(place));
    if (it == learned_.end()) return arSetup;
    bool other = false;
    for (const std::string& source : it->second) {
        if (source == kQuietCheckSource) return arQuietCheck;
        other = other || !EqualsNoCase(source, identifier);
    }
    return other ? arLearned : arSetup;
}

bool LearnActivity(platform::FileSystem& files, std::string_view programFolder, std::string_view source,
                   const ChangesTree::Access& tree) {
    const std::string path = InFolder(programFolder, kLearnedFile);
    // The file's lines, sorted and without repeats, less those of source.
    std::set<std::string> lines;
    for (std::string& line : Lines(files, path)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t tab = line.find('\t');
        // A monitoring replaces what the last one of the same application
        // taught; quiet checks add up.
        if (tab == std::string::npos) continue;
        if (source != kQuietCheckSource && EqualsNoCase(std::string_view(line).substr(0, tab), source)) continue;
        lines.insert(std::move(line));
    }
    if (tree.Root() != kNoNode) {
        std::vector<NodeId> pending{tree.Root()};
        while (!pending.empty()) {
            const NodeId node = pending.back();
            pending.pop_back();
            if (Teaches(tree.Data(node).Kind, source)) lines.insert(std::string(source) + "\t" + tree.FullPath(node));
            for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child)) {
                pending.push_back(child);
            }
        }
    }
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return files.WriteFileAtomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

bool ForgetLearnedActivity(platform::FileSystem& files, std::string_view programFolder) {
    const std::string path = InFolder(programFolder, kLearnedFile);
    return files.DeleteFile(path) || !files.Exists(path);
}

}  // namespace kelvora
