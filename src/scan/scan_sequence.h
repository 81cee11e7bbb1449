// The fixed order of work of the two scan threads: the first scan before an
// installation (one snapshot per chosen registry category, one for all chosen
// folders) and the rescan after it (reread, compare, detect moved files).
// Status texts and progress steps go to the reporter; each target owns five
// progress steps, one in the first scan and four in the rescan.
#pragma once

#include <functional>
#include <string_view>

#include "platform/platform.h"
#include "scan/base_scan_thread.h"
#include "scan/change_sink.h"
#include "scan/scan_env.h"
#include "scan/snapshot_tree.h"
#include "settings/settings.h"

namespace kelvora {

struct RegistryCategory {
    std::string_view BaseName;  // of the snapshot file
    platform::RootKey Root;
    std::string_view StatusSuffix;
    bool TSettings::*Setting;
};

// The registry categories, in the order in which they are always processed.
inline constexpr RegistryCategory kRegistryCategories[] = {
    {"HKCR", platform::kClassesRoot, " HKEY_CLASSES_ROOT ...", &TSettings::ScanHKCR},
    {"HKLM", platform::kLocalMachine, " HKEY_LOCAL_MACHINE ...", &TSettings::ScanHKLM},
    {"HKUS", platform::kUsers, " HKEY_USERS ...", &TSettings::ScanHKUS},
    {"HKCU", platform::kCurrentUser, " HKEY_CURRENT_USER ...", &TSettings::ScanHKCU},
    {"HKCC", platform::kCurrentConfig, " HKEY_CURRENT_CONFIG ...", &TSettings::ScanHKCC},
};

// True when any file-system target is chosen.
bool ScansFileSystem(const TSettings& settings);

// The body of ScanThread: leaves the snapshot files and answers Completed,
// or Stopped when a stop request cut it short. Errors (a snapshot that
// cannot be saved) are thrown.
TWorkEnd ExecuteScan(ScanEnv& env, IScanProgress& reporter);

// Rebuilds the tree of a snapshot file (base name, in the program's folder)
// and deletes the file.
using SnapshotLoader = std::function<SnapshotTree(std::string_view baseName)>;

// The body of ReScanThread: fills the changes tree (which holds only its
// frame) and answers Completed, or Stopped when a stop request cut it
// short. Errors (a missing snapshot file) are thrown.
TWorkEnd ExecuteRescan(ScanEnv& env, IScanProgress& reporter, ChangesTree& tree, const SnapshotLoader& loadSnapshot);

}  // namespace kelvora
