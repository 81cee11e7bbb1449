#include "monitoring/targets.h"

#include <cctype>

#include "scan/db_tree.h"
#include "scan/scan_sequence.h"

namespace kelvora {

int TargetSteps(const TSettings& settings) {
    int steps = 0;
    for (const RegistryCategory& category : kRegistryCategories) steps += settings.*category.Setting ? 1 : 0;
    return steps + (ScansFileSystem(settings) ? 1 : 0);
}

std::string StoredOtherPaths(std::string_view typed) {
    std::string withRoots;
    for (char c : typed) {
        withRoots += c;
        if (c == ':') withRoots += '\\';
    }
    std::string stored;
    for (char c : withRoots) {
        if (c == '\\' && !stored.empty() && stored.back() == '\\') continue;
        stored += c;
    }
    return stored;
}

std::optional<std::string> InvalidOtherPath(platform::FileSystem& files, std::string_view paths) {
    while (!paths.empty()) {
        const std::size_t end = paths.find(';');
        const std::string_view piece = paths.substr(0, end);
        if (piece.empty()) break;
        // Tried as it is stored (D: as D:\). A relative piece would name a
        // different folder for every current directory: it is refused.
        const std::string stored = StoredOtherPaths(piece);
        const bool absolute = stored.starts_with("\\\\") ||
                              (stored.size() >= 3 && std::isalpha(static_cast<unsigned char>(stored[0])) &&
                               stored[1] == ':' && stored[2] == '\\');
        const auto any = [](const platform::FindEntry&) { return false; };
        if (!absolute || !files.List(FileInFolder(stored, "*.*"), any)) return std::string(piece);
        if (end == std::string_view::npos) break;
        paths.remove_prefix(end + 1);
    }
    return std::nullopt;
}

}  // namespace kelvora
