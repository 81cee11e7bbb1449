// Keys reached by their path one name at a time, each opened through its
// parent's handle. The registry refuses a path longer than 260 characters in
// one call (see platform.h), while a key's own name has at most 255: a key
// however deep is reached this way. The keys on the way are opened for
// reading; empty names (doubled or trailing backslashes) are skipped as the
// registry skips them. Each answers the error of the first call that failed.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace kelvora::platform {

// Opens the key at path below root (the root itself for an empty path).
long OpenKeyPath(Registry& registry, RootKey root, std::string_view path, std::uint32_t access, RegKey& out);
// Opens the key at path below root, creating it and any missing parents.
long CreateKeyPath(Registry& registry, RootKey root, std::string_view path, RegKey& out);
// Deletes the key at path below root, which must have no sub-keys.
long DeleteKeyPath(Registry& registry, RootKey root, std::string_view path);

}  // namespace kelvora::platform
