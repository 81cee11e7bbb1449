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

// Opens the first name of path below root with the rights its place asks
// for (access for the last, reading for a key on the way), then calls
// step(key, name, rights, next) for every further name.
template <typename First, typename Step>
long Walk(std::string_view path, std::uint32_t access, RegKey& out, First&& first, Step&& step) {
    std::string_view rest = path;
    std::string_view name = TakeName(rest);
    RegKey key;
    long result = first(name, rest.empty() ? access : kKeyRead, key);
    while (result == kErrorSuccess && !rest.empty()) {
        name = TakeName(rest);
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
    std::string_view trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.remove_suffix(1);
    const std::size_t cut = trimmed.rfind('\\');
    if (cut == std::string_view::npos) return registry.DeleteKey(root, trimmed);
    RegKey parent;
    const long result = OpenKeyPath(registry, root, trimmed.substr(0, cut), kKeyRead, parent);
    return result == kErrorSuccess ? registry.DeleteKey(parent, trimmed.substr(cut + 1)) : result;
}

}  // namespace kelvora::platform
