#include "settings/settings.h"

#include <algorithm>

#include "platform/text.h"

namespace kelvora {

namespace {

// First position whose entry is not less than entry (ignoring case).
std::vector<std::string>::const_iterator LowerBound(const std::vector<std::string>& items,
                                                    std::string_view entry) {
    return std::lower_bound(items.begin(), items.end(), entry, NoCaseLess{});
}

}  // namespace

bool TSortedList::Add(std::string_view entry) {
    if (entry.empty()) return false;
    const auto at = LowerBound(items_, entry);
    if (at != items_.end() && EqualsNoCase(*at, entry)) return false;
    items_.emplace(at, entry);
    return true;
}

bool TSortedList::Remove(std::string_view entry) {
    const auto at = LowerBound(items_, entry);
    if (at == items_.end() || !EqualsNoCase(*at, entry)) return false;
    items_.erase(at);
    return true;
}

bool TSortedList::Contains(std::string_view entry) const {
    const auto at = LowerBound(items_, entry);
    return at != items_.end() && EqualsNoCase(*at, entry);
}

std::string TSortedList::Text() const {
    std::string text;
    for (const std::string& item : items_) {
        text += item;
        text += "\r\n";
    }
    return text;
}

void TSortedList::SetText(std::string_view text) {
    items_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        Add(text.substr(start, end - start));
        // A line ends at CR LF, at a lone CR or at a lone LF.
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

// The path (with "\" appended) begins with entry + "\" exactly when the path's
// prefix up to one of its backslashes, or the whole path, equals the entry.
// So instead of testing every entry, look up each such prefix in the sorted
// list: a handful of binary searches whatever the list's length.
bool IsPathInList(std::string_view path, const TSortedList& list) {
    if (list.Count() == 0) return false;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if ((i == path.size() || path[i] == '\\') && list.Contains(path.substr(0, i))) return true;
    }
    return false;
}

}  // namespace kelvora
