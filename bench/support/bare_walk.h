// Walks that store nothing: the same platform calls as the scans (the
// platform's own limit, which the scans are measured against).
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "scan/scan_env.h"
#include "support/bench_data.h"

namespace kelvora::bench {

// The keys and values below keyPath, walked as ScanKey walks them.
Counts BareKeyWalk(ScanEnv& env, platform::RootKey root, std::string_view keyPath);

// The folders and files below path, walked as ScanFolder walks them
// (keys: folders, values: files).
Counts BareFolderWalk(ScanEnv& env, std::string_view path);

}  // namespace kelvora::bench
