#include "uninstall/uninstall_actions.h"

#include <optional>

namespace kelvora {

using platform::kErrorSuccess;
using platform::RegKey;

namespace {

// kErrorSuccess when the value exists, else why it cannot be read.
long QueryExisting(platform::Registry& registry, const RegKey& key, std::string_view name) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    return registry.QueryValue(key, name, type, data);
}

// Nothing when the file (or folder) is there; else "not found", or "access
// denied" when the file system refused to look.
std::optional<Outcome> Absent(platform::FileSystem& files, std::string_view path, bool folder) {
    const std::uint32_t attributes = files.GetAttributes(path);
    if (attributes == platform::kInvalidAttributes) return RefusedOr(files.LastError(), kOutcomeNotFound);
    if (((attributes & platform::kAttrDirectory) != 0) != folder) return kOutcomeNotFound;
    return std::nullopt;
}

long WriteValue(platform::Registry& registry, const RegKey& key, std::string_view name, std::uint32_t type,
                std::span<const std::uint8_t> data) {
    return registry.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

}  // namespace

Outcome DeleteRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName) {
    RegKey key;
    if (const long opened = registry.OpenKey(root, keyPath, platform::kKeyAllAccess, key); opened != kErrorSuccess) {
        return RefusedOr(opened, kOutcomeNotFound);
    }
    if (const long found = QueryExisting(registry, key, valueName); found != kErrorSuccess) {
        return RefusedOr(found, kOutcomeNotFound);
    }
    if (const long deleted = registry.DeleteValue(key, valueName); deleted != kErrorSuccess) {
        return RefusedOr(deleted, valueName.empty() ? kOutcomeNotFound : kOutcomeError);
    }
    return kOutcomeOk;
}

Outcome DeleteRegistryKey(platform::Registry& registry, platform::RootKey root, std::string_view key) {
    {
        RegKey open;
        if (const long opened = registry.OpenKey(root, key, platform::kKeyAllAccess, open); opened != kErrorSuccess) {
            return RefusedOr(opened, kOutcomeNotFound);
        }
        std::uint32_t subKeys = 0;
        std::uint32_t values = 0;
        if (const long queried = registry.QueryInfo(open, subKeys, values); queried != kErrorSuccess) {
            return RefusedOr(queried, kOutcomeError);
        }
        if (subKeys > 0) return kOutcomeHasSubKeys;
    }
    // The sub-keys were counted first, so a refusal here is the key's own
    // security (RegDeleteKey answers the same error for a key with sub-keys).
    const long deleted = registry.DeleteKey(root, key);
    return deleted == kErrorSuccess ? kOutcomeOk : RefusedOr(deleted, kOutcomeError);
}

Outcome RestoreRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                             std::string_view valueName, std::uint32_t valueType,
                             std::span<const std::uint8_t> oldData) {
    RegKey key;
    if (const long opened = registry.OpenKey(root, keyPath, platform::kKeyAllAccess, key); opened != kErrorSuccess) {
        return RefusedOr(opened, kOutcomeNotFound);
    }
    if (const long found = QueryExisting(registry, key, valueName); found != kErrorSuccess) {
        return RefusedOr(found, kOutcomeNotFound);
    }
    const long written = WriteValue(registry, key, valueName, valueType, oldData);
    return written == kErrorSuccess ? kOutcomeOk : RefusedOr(written, kOutcomeError);
}

Outcome CreateRegistryKey(platform::Registry& registry, platform::RootKey root, std::string_view key) {
    RegKey created;
    const long result = registry.CreateKey(root, key, created);
    return result == kErrorSuccess ? kOutcomeOk : RefusedOr(result, kOutcomeError);
}

Outcome CreateRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName, std::uint32_t valueType,
                            std::span<const std::uint8_t> oldData) {
    RegKey key;
    if (const long opened = registry.OpenKey(root, keyPath, platform::kKeyAllAccess, key); opened != kErrorSuccess) {
        return RefusedOr(opened, kOutcomeNotFound);
    }
    const long written = WriteValue(registry, key, valueName, valueType, oldData);
    return written == kErrorSuccess ? kOutcomeOk : RefusedOr(written, kOutcomeError);
}

bool MoveToRecycleBin(platform::FileSystem& files, platform::Shell& shell, std::string_view path) {
    const std::string full = files.FullPathName(path);
    if (!files.Exists(full)) return false;
    if (shell.DeleteToRecycleBin(full)) return true;
    return !files.Exists(full);
}

Outcome DeleteCreatedFile(platform::Platform& os, std::string_view file, const SharedFileSet& sharedFiles,
                          bool useRecycled) {
    if (const auto absent = Absent(os.files, file, false)) return *absent;
    if (sharedFiles.contains(file)) return kOutcomeOk;
    // The archive attribute alone clears read-only, hidden and system, which
    // would otherwise make the deletion fail.
    os.files.SetAttributes(file, platform::kAttrArchive);
    if (useRecycled) return MoveToRecycleBin(os.files, os.shell, file) ? kOutcomeOk : kOutcomeInUse;
    return os.files.DeleteFile(file) ? kOutcomeOk : RefusedOr(os.files.LastError(), kOutcomeInUse);
}

Outcome DeleteCreatedFolder(platform::FileSystem& files, std::string_view folder) {
    if (const auto absent = Absent(files, folder, true)) return *absent;
    return files.RemoveFolder(folder) ? kOutcomeOk : RefusedOr(files.LastError(), kOutcomeNotEmpty);
}

}  // namespace kelvora
