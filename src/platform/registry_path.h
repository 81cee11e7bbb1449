// Keys reached by their path however deep. The registry refuses a path
// longer than 260 characters in one call (see platform.h), while a key's own
// name has at most 255: as much of the path as one call takes is opened
// directly (so a path that fits is one call, which asks nothing of the keys
// on the way, as before), the rest one name at a time through each parent's
// handle, the keys on the way opened for reading. Empty names (doubled or
// trailing backslashes) are skipped as the registry skips them. Each answers
// the error of the first call that failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace kelvora::platform {

// The longest path one registry call takes, in UTF-16 units.
inline constexpr std::size_t kLongestPathOfOneCall = 260;

// Opens the key at path below root (the root itself for an empty path).
long OpenKeyPath(Registry& registry, RootKey root, std::string_view path, std::uint32_t access, RegKey& out);
// Opens the key at path below root, creating it and any missing parents.
long CreateKeyPath(Registry& registry, RootKey root, std::string_view path, RegKey& out);
// Deletes the key at path below root, which must have no sub-keys.
long DeleteKeyPath(Registry& registry, RootKey root, std::string_view path);

}  // namespace kelvora::platform
