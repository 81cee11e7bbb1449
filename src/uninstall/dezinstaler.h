// The uninstaller: undoes the checked changes of the changes tree phase by
// phase (registry values, keys, restored values, created keys, created
// values, files, shared counters and unused shared files, folders), shows
// one log line per action and never stops on a failed action.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "changes/changes_tree.h"
#include "platform/dispatcher.h"
#include "platform/platform.h"
#include "scan/worker_control.h"
#include "settings/app_context.h"
#include "uninstall/shared_files.h"
#include "uninstall/uninstall_view.h"

namespace kelvora {

// What a run works on and reports to. The view and the question are called
// on the main thread through the dispatcher.
struct UninstallServices {
    platform::Platform& os;
    platform::Dispatcher& dispatcher;
    AppContext& context;
    ChangesTree& tree;
    IUninstallView& view;
    IRemoveSharedQuestion& question;
    IArchiveUse& archive;
};

class TDezinstaler {
public:
    TDezinstaler(const UninstallServices& services, IWorkerControl& control);

    // The whole run, on the worker thread.
    void Execute();

    std::int32_t ErrorCount() const { return ErrorCount_; }

private:
    struct Change;

    void ProcessBranch(NodeId node, TChangeKind kind);
    Change ReadChange(NodeId node);
    Outcome DoAction(const Change& change, std::string& line);
    void ShowLogLine(const std::string& line, std::int32_t level);
    void ShowStatus(const Message& status);
    void StepProgress();
    void RemoveShared();

    UninstallServices services_;
    IWorkerControl& control_;
    const TSettings& settings_;
    std::int32_t ErrorCount_ = 0;
    SharedFileSet SharedFiles_;
    std::vector<std::string> UnusedShared_;
};

}  // namespace kelvora
