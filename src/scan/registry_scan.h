// The registry scan in its two forms: ScanKey writes a key and everything
// below it as snapshot records, ReadKey builds the same content as an
// in-memory tree (values and sub-keys in reverse enumeration order, as they
// are inserted at the front of their lists). A key that cannot be opened is
// written as a record of kind dbKindUnreadable, or marked Unreadable in the
// tree; a key that is skipped on purpose is an ordinary empty key.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "scan/db_tree.h"
#include "scan/scan_env.h"
#include "scan/snapshot_tree.h"
#include "worker/worker_pool.h"

namespace kelvora {

// With a pool of several workers, sub-keys are walked on its idle threads
// (ordered_records.h); the records are the same.
void ScanKey(ScanEnv& env, platform::RootKey root, std::string_view keyPath, TDBTree& dbTree,
             TWorkerPool* pool = nullptr);

// The tree's Root is the node of the key at keyPath, named nodeName. With a
// pool of several workers, sub-keys are read on its idle threads
// (tree_pieces.h); the tree is the same.
SnapshotTree ReadKey(ScanEnv& env, platform::RootKey root, std::string_view nodeName, std::string_view keyPath,
                     TWorkerPool* pool = nullptr);

}  // namespace kelvora
