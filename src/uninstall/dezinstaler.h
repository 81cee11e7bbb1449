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
#include "scan/safe_thread.h"
#include "settings/app_context.h"
#include "uninstall/shared_files.h"
#include "uninstall/uninstall_view.h"

namespace kelvora {

// What a run works on and reports to. The view and the question are called
// on the main thread through the dispatcher, while the worker waits.
struct UninstallServices {
    platform::Platform& os;
    platform::Dispatcher& dispatcher;
    AppContext& context;
    ChangesTree& tree;
    IUninstallView& view;
    IRemoveSharedQuestion& question;
};

class TDezinstaler final : public TSafeThread {
public:
    // Main thread: copies the settings; the run reads only that copy.
    explicit TDezinstaler(const UninstallServices& services);
    ~TDezinstaler() override { Abandon(); }

    // The number of actions that ended with an error; read after the end.
    std::int32_t ErrorCount() const { return ErrorCount_; }

protected:
    // The whole run, on the worker thread.
    void Execute() override;

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
    // The settings as they were when the run was created: the options dialog
    // may edit the live ones meanwhile.
    const TSettings settings_;
    std::int32_t ErrorCount_ = 0;
    SharedFileSet SharedFiles_;
    std::vector<std::string> UnusedShared_;
};

}  // namespace kelvora
