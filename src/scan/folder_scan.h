// The file-system scan: every folder and file below the chosen targets, as
// records of the snapshot "FIS2".
#pragma once

#include <string>

#include "platform/platform.h"
#include "scan/db_tree.h"
#include "scan/scan_env.h"

namespace kelvora {

// Records everything inside the current directory, recursively.
void ScanFolder(ScanEnv& env, TDBTree& dbTree);

// Scans all targets of the settings into a new "FIS2" snapshot and saves it
// (also when a stop was requested, with what it holds). The current
// directory is the same afterwards.
void ScanFileSystem(ScanEnv& env);

// The Program Files folder as the registry names it; empty when not set.
std::string GetProgramFilesDir(platform::Registry& registry);

}  // namespace kelvora
