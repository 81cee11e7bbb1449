// Telling the setup's changes from the machine's own activity. The
// comparisons stay as they are: AttributingSink stands between them and the
// changes tree and gives each change its reason (changes/node_data.h) from
// the evidence the rescan has. Evidence is conservative: a change is
// activity only when the evidence says the setup could not have made it;
// missing or ambiguous evidence leaves it the setup's.
//
// The setup's time window [start, end], when it is known:
// - a registry value created, changed or deleted, or a key created, in a key
//   last written before the setup started (writing a value, creating or
//   deleting a sub-key all stamp the key);
// - a key or value deleted below a key last written before the start (the
//   nearest key still there: deleting a key stamps its parent);
// - a file or folder created before the start or after the end (its creation
//   time; the last-write time of a file proves nothing, setups set it to the
//   time stored in their archive);
// - a file or folder deleted from a folder last written before the start.
// A changed file has no such evidence, and a moved file keeps its times, so
// they say nothing about the move (ForgetMovedTimes).
//
// Then what is known of the machine (known_activity.h): a place in the
// catalogue of Windows' volatile places, a place learned in a quiet check,
// or one that changed in the monitoring of another application.
//
// The program's own footprint outside its folder is no change at all and is
// not passed on: its run-at-logon value and logon task, and what registering
// that task changed in the Task Scheduler service (its start type, and the
// service manager's count of started services). Its settings key and its
// folder are never walked.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "changes/changes_tree.h"
#include "platform/platform.h"
#include "scan/change_sink.h"
#include "scan/known_activity.h"
#include "scan/snapshot_tree.h"
#include "scan/scan_env.h"
#include "settings/app_context.h"

namespace kelvora {

class AttributingSink final : public IChangeSink {
public:
    // known may be null (nothing known).
    AttributingSink(IChangeSink& inner, platform::FileSystem& files, const ScanConfig& config,
                    const TKnownActivity* known = nullptr);

    // The live tree of the registry category being compared, its Root the
    // root key's node (nullptr: none, for the file system).
    void SetLiveKeys(const TNode* root);
    void AddToTree(std::string_view placement, std::string_view name, TNodeData&& record) override;

    // The reason the time window gives a change (arSetup when it gives none).
    TActivityReason WindowReason(std::string_view name, const TNodeData& record);

private:
    // The key's node in the live tree; nullptr when it is not there.
    const TNode* LiveKey(std::string_view keyPath);
    // The last-write time (seconds) of the key, or with nearest set of the
    // nearest key above it that is still there; 0 when unknown.
    std::uint32_t KeyTime(std::string_view keyPath, bool nearest);
    // The times of a file or folder; false when it cannot be listed.
    bool ItemTimes(const std::string& path, platform::FindEntry& entry);

    IChangeSink& inner_;
    platform::FileSystem& files_;
    TSetupWindow window_;
    const TKnownActivity* known_;
    std::string identifier_;
    std::vector<std::unique_ptr<TPlacePattern>> footprint_;
    const TNode* liveRoot_ = nullptr;
    // The key found last: the changes of one key come one after another.
    std::string lastKeyPath_;
    const TNode* lastKey_ = nullptr;
};

// After the moved files are detected: a moved file (kinds 12 and 13) is no
// longer activity for its times.
void ForgetMovedTimes(ChangesTree& tree);

}  // namespace kelvora
