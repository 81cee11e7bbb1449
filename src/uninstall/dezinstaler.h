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
#include "settings/app_context.h"
#include "uninstall/shared_files.h"
#include "uninstall/uninstall_view.h"
#include "worker/safe_thread.h"

namespace kelvora {

// Changes that no undo reverses: a changed or deleted file and a deleted
// folder (only their time and size are recorded, not their contents).
bool CannotBeUndone(std::int32_t kind);
// How many such changes the tree holds; the changes of the ignore lists
// shown on request are not among them.
std::size_t CountCannotBeUndone(const ChangesTree::Access& tree);

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
    // The number of warning lines (not found, not restored); after the end.
    std::int32_t WarningCount() const { return WarningCount_; }

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
    void LogNotRestored(NodeId fileSystem);
    void ShowOutcome(const std::string& line, Outcome outcome);

    UninstallServices services_;
    // The settings as they were when the run was created: the options dialog
    // may edit the live ones meanwhile.
    const TSettings settings_;
    std::int32_t ErrorCount_ = 0;
    std::int32_t WarningCount_ = 0;
    std::optional<SharedFileSet> SharedFiles_;
    std::vector<std::string> UnusedShared_;
};

}  // namespace kelvora
