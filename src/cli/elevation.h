// kelvora-cli and elevation. Under User Account Control a console runs with
// an administrator's rights only when started "as administrator"; without
// them a scan cannot read, and an uninstall cannot undo, all that setups
// write under HKEY_LOCAL_MACHINE and Program Files. The commands that read or
// undo a setup's work refuse to start then, unless the user accepts a
// partial run with --partial.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_args.h"

namespace kelvora {

// scan, rescan and uninstall: the commands that take --partial.
bool NeedsElevation(CliVerb verb);

// The one line that refuses command in a process that is not elevated;
// nothing when command may run.
std::optional<std::string> ElevationRefusal(const CliCommand& command, bool elevated);

// Whether this process has an administrator's full rights (Windows only:
// cli/elevation_win.cpp).
bool ProcessIsElevated();

}  // namespace kelvora
