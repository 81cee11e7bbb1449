// The file-system scan: every folder and file below the chosen targets, as
// records of the snapshot "FIS2".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "scan/db_tree.h"
#include "scan/folder_walk.h"
#include "scan/scan_env.h"
#include "worker/worker_pool.h"

namespace kelvora {

// Records the folder at path (a full path, no trailing backslash except for
// a drive's root) and everything inside it: kind 0 for each folder that
// could be listed, kind 2 for one that exists but could not, kind 3 for each
// file. Nothing is written for a folder that is not there.
// With a pool of several workers, sub-folders are walked on its idle
// threads (ordered_records.h); the records are the same.
FolderState ScanFolder(ScanEnv& env, std::string_view path, TDBTree& dbTree, TWorkerPool* pool = nullptr);

// Scans all targets of the run's settings into a new "FIS2" snapshot in the
// program's folder and saves it (also when a stop was requested, with what
// it holds). The current directory is not used.
void ScanFileSystem(ScanEnv& env, TWorkerPool* pool = nullptr);

// The Program Files folders as the registry names them: "ProgramFilesDir",
// then on 64-bit Windows "ProgramFilesDir (x86)" unless it names the same
// folder. Empty when neither is set.
std::vector<std::string> GetProgramFilesDirs(platform::Registry& registry);

}  // namespace kelvora
