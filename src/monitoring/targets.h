// The scan targets as the targets page and the command line take them: the
// number of steps they make, the folders typed as "other folders" checked
// and stored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "settings/settings.h"

namespace kelvora {

// One step per chosen registry category, one for all the folders.
int TargetSteps(const TSettings& settings);

// The folders as they are stored: every ":" becomes ":\", then every "\\"
// becomes "\" (so D: is stored as D:\ and D:\Tools stays as it is).
std::string StoredOtherPaths(std::string_view typed);

// Each piece of paths (up to the next ";"), up to the first empty one, must
// be the full path of a folder that can be read, listed by its path as the scan lists it
// (the current directory is left alone); answers the first that cannot.
std::optional<std::string> InvalidOtherPath(platform::FileSystem& files, std::string_view paths);

}  // namespace kelvora
