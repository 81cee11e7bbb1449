// The actions that undo one change each, on the registry and the file
// system. Each answers the outcome of its log line; none raises.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/platform.h"
#include "platform/text.h"
#include "uninstall/uninstall_outcome.h"

namespace kelvora {

// Paths registered as shared libraries (long forms), looked up ignoring case.
using SharedFileSet = std::unordered_set<std::string, NoCaseHash, NoCaseEqual>;

// A created value (kind 3): deleted.
Outcome DeleteRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName);
// A created key (kind 1): deleted with its values, unless it has sub-keys.
Outcome DeleteRegistryKey(platform::Registry& registry, platform::RootKey root, std::string_view key);
// A changed value (kind 4): its old data written back, if it still exists.
Outcome RestoreRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                             std::string_view valueName, std::uint32_t valueType,
                             std::span<const std::uint8_t> oldData);
// A deleted key (kind 2): created again with any missing parents.
Outcome CreateRegistryKey(platform::Registry& registry, platform::RootKey root, std::string_view key);
// A deleted value (kind 5): written again with its old data, in a key that
// must exist.
Outcome CreateRegistryValue(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName, std::uint32_t valueType,
                            std::span<const std::uint8_t> oldData);
// A created file (kind 9): deleted, into the Recycle Bin when useRecycled;
// a registered shared file is left to the shared-file phase. sharedFiles is
// null when the registered shared files could not be read: no file is
// deleted then (an access error).
Outcome DeleteCreatedFile(platform::Platform& os, std::string_view file, const SharedFileSet* sharedFiles,
                          bool useRecycled);
// A created folder (kind 7): removed when empty.
Outcome DeleteCreatedFolder(platform::FileSystem& files, std::string_view folder);

// Moves one existing file into the Recycle Bin. Succeeds when the shell says
// so or when the file is gone afterwards; a missing file is a failure.
bool MoveToRecycleBin(platform::FileSystem& files, platform::Shell& shell, std::string_view path);

}  // namespace kelvora
