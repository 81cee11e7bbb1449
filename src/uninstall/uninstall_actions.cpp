#include "uninstall/uninstall_actions.h"

#include "platform/registry_path.h"

namespace kelvora {

using platform::CreateKeyPath;
using platform::DeleteKeyPath;
using platform::kErrorSuccess;
using platform::OpenKeyPath;
using platform::RegKey;

namespace {

bool ValueExists(platform::Registry& registry, const RegKey& key, std::string_view name) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    return registry.QueryValue(key, name, type, data) == kErrorSuccess;
}

long WriteValue(platform::Registry& registry, const RegKey& key, std::string_view name, std::uint32_t type,
                std::span<const std::uint8_t> data) {
    return registry.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

}  // namespace

Outcome DeleteRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName) {
    RegKey key;
    if (OpenKeyPath(registry, root, keyPath, platform::kKeyAllAccess, key) != kErrorSuccess) return kOutcomeNotFound;
    if (!ValueExists(registry, key, valueName)) return kOutcomeNotFound;
    if (registry.DeleteValue(key, valueName) != kErrorSuccess) {
        return valueName.empty() ? kOutcomeNotFound : kOutcomeError;
    }
    return kOutcomeOk;
}

Outcome DeleteRegistryKey(platform::Registry& registry, platform::RootKey root, std::string_view key) {
    {
        RegKey open;
        if (OpenKeyPath(registry, root, key, platform::kKeyAllAccess, open) != kErrorSuccess) return kOutcomeNotFound;
        std::uint32_t subKeys = 0;
        std::uint32_t values = 0;
        if (registry.QueryInfo(open, subKeys, values) != kErrorSuccess) return kOutcomeError;
        if (subKeys > 0) return kOutcomeHasSubKeys;
    }
    return DeleteKeyPath(registry, root, key) == kErrorSuccess ? kOutcomeOk : kOutcomeError;
}

Outcome RestoreRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                             std::string_view valueName, std::uint32_t valueType,
                             std::span<const std::uint8_t> oldData) {
    RegKey key;
    if (OpenKeyPath(registry, root, keyPath, platform::kKeyAllAccess, key) != kErrorSuccess) return kOutcomeNotFound;
    if (!ValueExists(registry, key, valueName)) return kOutcomeNotFound;
    return WriteValue(registry, key, valueName, valueType, oldData) == kErrorSuccess ? kOutcomeOk : kOutcomeError;
}

Outcome CreateRegistryKey(platform::Registry& registry, platform::RootKey root, std::string_view key) {
    RegKey created;
    return CreateKeyPath(registry, root, key, created) == kErrorSuccess ? kOutcomeOk : kOutcomeError;
}

Outcome CreateRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName, std::uint32_t valueType,
                            std::span<const std::uint8_t> oldData) {
    RegKey key;
    if (OpenKeyPath(registry, root, keyPath, platform::kKeyAllAccess, key) != kErrorSuccess) return kOutcomeNotFound;
    return WriteValue(registry, key, valueName, valueType, oldData) == kErrorSuccess ? kOutcomeOk : kOutcomeError;
}

bool MoveToRecycleBin(platform::FileSystem& files, platform::Shell& shell, std::string_view path) {
    const std::string full = files.FullPathName(path);
    if (!files.Exists(full)) return false;
    if (shell.DeleteToRecycleBin(full)) return true;
    return !files.Exists(full);
}

Outcome DeleteCreatedFile(platform::Platform& os, std::string_view file, const SharedFileSet& sharedFiles,
                          bool useRecycled) {
    if (!os.files.FileExists(file)) return kOutcomeNotFound;
    if (sharedFiles.contains(file)) return kOutcomeOk;
    // The archive attribute alone clears read-only, hidden and system, which
    // would otherwise make the deletion fail.
    os.files.SetAttributes(file, platform::kAttrArchive);
    const bool deleted = useRecycled ? MoveToRecycleBin(os.files, os.shell, file) : os.files.DeleteFile(file);
    return deleted ? kOutcomeOk : kOutcomeInUse;
}

Outcome DeleteCreatedFolder(platform::FileSystem& files, std::string_view folder) {
    if (!files.FolderExists(folder)) return kOutcomeNotFound;
    return files.RemoveFolder(folder) ? kOutcomeOk : kOutcomeNotEmpty;
}

}  // namespace kelvora
