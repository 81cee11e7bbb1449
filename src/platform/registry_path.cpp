#include "platform/registry_path.h"

namespace kelvora::platform {

namespace {

std::string_view SkipBackslashes(std::string_view path) {
    const std::size_t start = path.find_first_not_of('\\');
    return start == std::string_view::npos ? std::string_view() : path.substr(start);
}

// The first name of path; path keeps what follows it, empty after the last.
std::string_view TakeName(std::string_view& path) {
    path = SkipBackslashes(path);
    const std::size_t cut = path.find('\\');
    const std::string_view name = path.substr(0, cut);
    path = cut == std::string_view::npos ? std::string_view() : SkipBackslashes(path.substr(cut));
    return name;
}

// The longest start of path (no leading backslash) that ends at a name and
// that one registry call takes: the whole path when it fits. Counted in
// bytes, which are never fewer than the UTF-16 units the registry counts.
std::string_view DirectPart(std::string_view path) {
    if (path.size() <= kLongestPathOfOneCall) return path;
    std::string_view part = path.substr(0, kLongestPathOfOneCall + 1);
    const std::size_t cut = part.rfind('\\');
    return cut == std::string_view::npos ? std::string_view() : part.substr(0, cut);
}

// Opens as much of path as one call takes with first(part, rights, key), as
// a whole path does not ask anything of the keys on the way; then calls
// step(key, name, rights, next) for every further name, the keys on the way
// opened for reading and the last with access. A first name too long for
// one call is refused by first() as the registry refuses it.
template <typename First, typename Step>
long Walk(std::string_view path, std::uint32_t access, RegKey& out, First&& first, Step&& step) {
    path = SkipBackslashes(path);
    std::string_view direct = DirectPart(path);
    std::string_view rest = path.substr(direct.size());
    if (direct.empty()) direct = TakeName(rest);
    rest = SkipBackslashes(rest);
    RegKey key;
    long result = first(direct, rest.empty() ? access : kKeyRead, key);
    while (result == kErrorSuccess && !rest.empty()) {
        const std::string_view name = TakeName(rest);
        RegKey next;
        result = step(key, name, rest.empty() ? access : kKeyRead, next);
        key = std::move(next);
    }
    if (result == kErrorSuccess) out = std::move(key);
    return result;
}

}  // namespace

long OpenKeyPath(Registry& registry, RootKey root, std::string_view path, std::uint32_t access, RegKey& out) {
    return Walk(
        path, access, out,
        [&](std::string_view name, std::uint32_t rights, RegKey& key) {
            return registry.OpenKey(root, name, rights, key);
        },
        [&](const RegKey& parent, std::string_view name, std::uint32_t rights, RegKey& key) {
            return registry.OpenKey(parent, name, rights, key);
        });
}

long CreateKeyPath(Registry& registry, RootKey root, std::string_view path, RegKey& out) {
    // Every key on the way is created if missing, so each is opened as
    // CreateKey opens keys (for reading and writing).
    return Walk(
        path, 0, out,
        [&](std::string_view name, std::uint32_t, RegKey& key) { return registry.CreateKey(root, name, key); },
        [&](const RegKey& parent, std::string_view name, std::uint32_t, RegKey& key) {
            return registry.CreateKey(parent, name, key);
        });
}

long DeleteKeyPath(Registry& registry, RootKey root, std::string_view path) {
    std::string_view trimmed = SkipBackslashes(path);
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.remove_suffix(1);
    const std::size_t cut = trimmed.rfind('\\');
    if (cut == std::string_view::npos || trimmed.size() <= kLongestPathOfOneCall) {
        return registry.DeleteKey(root, trimmed);
    }
    RegKey parent;
    const long result = OpenKeyPath(registry, root, trimmed.substr(0, cut), kKeyRead, parent);
    return result == kErrorSuccess ? registry.DeleteKey(parent, trimmed.substr(cut + 1)) : result;
}

}  // namespace kelvora::platform
