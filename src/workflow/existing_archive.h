// A new monitoring saves its changes as the archive of its identifier, and
// that replaces an archive the identifier already has: the recorded changes
// of an earlier installation, which nothing else keeps. The window asks
// before the first scan; the command line refuses unless told to replace.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kelvora {

// The full path of the archive that identifier has in programFolder, when
// there is one (a new monitoring would replace it); nothing otherwise.
std::optional<std::string> ExistingArchive(platform::FileSystem& files, std::string_view programFolder,
                                           std::string_view identifier);

// Renaming the archive of from to the identifier to would meet the archive
// that to already has (a change of letter case alone meets none).
bool RenameMeetsArchive(platform::FileSystem& files, std::string_view programFolder, std::string_view from,
                        std::string_view to);

}  // namespace kelvora
