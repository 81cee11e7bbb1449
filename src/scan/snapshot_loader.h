// Reading a snapshot file back into an in-memory tree (the rescan's side of
// the snapshot store).
#pragma once

#include <atomic>
#include <cstddef>
#include <string_view>

#include "platform/platform.h"
#include "scan/snapshot_tree.h"
#include "settings/app_context.h"
#include "worker/worker_control.h"

namespace kelvora {

// Loads the snapshot folder\name.sns into a tree and deletes the file. A name beginning with "F" is a file-system snapshot (its
// top level is a chain of drive nodes), any other a registry snapshot (one
// root node with an empty name for the root key).
//
// A record of kind 2 (dbKindUnreadable) stands for a key or folder that
// could not be read; its node is marked Unreadable.
//
// Lists come out as the comparisons expect them: items in reverse order of
// their records, sub-nodes made from relative paths in reverse order,
// sub-nodes made by a full-path walk in file order.
//
// The load tests wizardState for wsStopped before every record and passes
// control.PausePoint() after each one. A stopped load returns the tree read
// so far; the file is deleted in both cases. A damaged or truncated file is
// read up to its first record that does not fit. Throws SnapshotFileError
// when the file cannot be read (and then leaves it alone).
//
// Loading costs time in proportion to the file's size, whatever its shape.
// work, when given, receives what the load cost beyond reading each record.
struct SnapshotLoadWork {
    // Sibling links followed to find or append nodes along chains.
    std::size_t LinksFollowed = 0;
};
SnapshotTree LoadSnapshot(platform::FileSystem& fs, std::string_view folder, std::string_view name,
                          const std::atomic<TWizardState>& wizardState, IWorkerControl& control,
                          SnapshotLoadWork* work = nullptr);

}  // namespace kelvora
