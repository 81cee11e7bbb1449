// Loading an archive back into the changes tree (the body of the archive
// loader thread TLoadCheckTree). Every record becomes a leaf placed through
// AddToTree, which rebuilds the branches from the stored paths and, in
// uninstall mode, pre-checks the leaf from the settings.
#pragma once

#include <functional>

#include "changes/changes_tree.h"
#include "platform/platform.h"
#include "settings/app_context.h"
#include "worker/worker_control.h"

namespace kelvora {

// Loads ProgramFolder\AppIdentifier.qor into the tree, which the caller has
// cleared and framed (StartFill). Answers how the load ended: Completed,
// Stopped (control asked to stop; checked before each record) or Refused
// (not an archive, a record cut short, of an unknown kind, with an activity
// mark of an unknown reason or not followed by a record, or with an empty
// name in its path: only the whole records before it are placed).
// LoadedCounts counts the records read of each kind the uninstaller acts on
// (1 to 7 and 9), also those the ignore lists drop. setProgress receives
// PercentDone after each record. Any other fault than a damaged archive
// propagates.
TWorkEnd LoadCheckTree(AppContext& context, platform::FileSystem& files, platform::Clock& clock, ChangesTree& tree,
                       IWorkerControl& control, const std::function<void(int)>& setProgress);

// The state a load leaves the wizard in, by how it ended: wsBadArchive when
// Refused, wsStopped when Stopped, wsIdle when Completed (the wizard and the
// command line both set it).
TWizardState LoadEndState(TWorkEnd end);

}  // namespace kelvora
