// scan, rescan and cancel: the monitoring of an installation.
#include <array>
#include <chrono>
#include <optional>
#include <thread>

#include "changes/activity.h"
#include "changes/archive_save.h"
#include "changes/chg_archive.h"
#include "changes/text_export.h"
#include "cli/cli_internal.h"
#include "cli/cli_messages.h"
#include "monitoring/monitoring.h"
#include "monitoring/targets.h"
#include "scan/db_tree.h"
#include "scan/known_activity.h"
#include "scan/scan_sequence.h"
#include "scan/scan_thread.h"
#include "settings/settings_store.h"
#include "workflow/existing_archive.h"

namespace kelvora::cli {

namespace {

// The scan's status line and progress bar on the console.
class ConsoleScanProgress final : public IScanProgress {
public:
    ConsoleScanProgress(ICliConsole& console, int maximum) : console_(console), maximum_(maximum) {}
    void ShowStatus(const std::string& status) override { console_.Status(status); }
    void StepProgress() override { console_.Progress(++position_, maximum_); }

private:
    ICliConsole& console_;
    int maximum_;
    int position_ = 0;
};

void ApplyTargets(const CliTargets& t, TSettings& s) {
    s.ScanHKCR = t.HKCR;
    s.ScanHKLM = t.HKLM;
    s.ScanHKUS = t.HKUS;
    s.ScanHKCU = t.HKCU;
    s.ScanHKCC = t.HKCC;
    s.ScanEntire = t.Entire;
    // The entire partition holds the Windows and Program Files folders.
    s.ScanWin = t.Windows || t.Entire;
    s.ScanProg = t.ProgramFiles || t.Entire;
    s.ScanOthers = t.Others.has_value() && !t.Others->empty();
    s.ScanOtherPaths = StoredOtherPaths(t.Others.value_or(std::string()));
}

// The per-kind counts of the changes in the tree, as "  count  mark" lines.
std::string Summary(ChangesTree& tree) {
    std::array<int, ckFileMovedTo + 1> counts{};
    auto access = tree.Lock();
    std::vector<NodeId> pending{access.Root()};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        const std::int32_t kind = access.Data(node).Kind;
        if (IsStoredKind(kind)) ++counts[static_cast<std::size_t>(kind)];
        for (NodeId child = access.FirstChild(node); child != kNoNode; child = access.NextSibling(child)) {
            pending.push_back(child);
        }
    }
    const MarkWords marks = MarkWords::Translated();
    std::string text;
    for (std::int32_t kind = ckRegKeyCreated; kind <= ckFileMovedTo; ++kind) {
        if (counts[static_cast<std::size_t>(kind)] == 0) continue;
        std::string mark = MarkOf(kind, marks);
        mark.erase(0, mark.find_first_not_of(' '));
        mark.erase(mark.find_last_not_of(' ') + 1);
        std::string count = std::to_string(counts[static_cast<std::size_t>(kind)]);
        text += std::string(count.size() < 8 ? 8 - count.size() : 0, ' ') + count + "  " + mark + "\n";
    }
    return text + ChangeCountsText(CountChanges(access)) + "\n";
}

// Applies and stores the targets given on the command line; the status the
// command ends with when they cannot be scanned.
// A new monitoring saves its archive under the identifier: an archive of
// that name is replaced only when the user said so (--replace).
std::optional<int> RefuseExistingArchive(const CliCommand& command, CliEnv& env, const std::string& identifier) {
    if (auto archive = ExistingArchive(env.os.files, env.context.ProgramFolder, identifier); archive && !command.Replace) {
        return Fail(env, kExitUsage, FormatText(TranslateString(RS_ARCHIVE_EXISTS), {identifier, *archive}));
    }
    return std::nullopt;
}

std::optional<int> TakeTargets(const CliCommand& command, CliEnv& env) {
    AppContext& context = env.context;
    if (command.Targets.Given) {
        if (command.Targets.Others) {
            if (auto invalid = InvalidOtherPath(env.os.files, *command.Targets.Others)) {
                return Fail(env, kExitUsage, TranslateString(RS_INV_PATH) + *invalid);
            }
        }
        ApplyTargets(command.Targets, context.Settings);
    }
    if (command.Workers) context.Settings.ScanWorkers = *command.Workers;
    if (TargetSteps(context.Settings) == 0) return Fail(env, kExitUsage, TranslateString(RS_CLI_NO_TARGETS));
    // As in the wizard, targets that could not be stored start no scan: the
    // rescan, also one after a restart, reads them back.
    const std::string failure = SaveSettingsFailure(env.os.registry, context.Settings, context.ProgramFolder);
    if (!failure.empty()) return Fail(env, kExitFailed, failure);
    return std::nullopt;
}

// Runs a scan or a rescan to its end, in the state running, and leaves the
// state done. A stopped or failed run leaves no snapshots behind and ends the
// command with its message; nullopt means the run completed.
std::optional<int> RunScanIn(CliEnv& env, TSafeThread& scan, TWizardState running, TWizardState done) {
    AppContext& context = env.context;
    context.WizardState = running;
    const std::exception_ptr fatal = RunWorker(env, scan);
    if (scan.Terminated()) context.WizardState = TWizardState::wsStopped;
    if (context.WizardState.load() == TWizardState::wsStopped) {
        DeleteSnapshots(env.os.files, context.ProgramFolder);
        return Fail(env, kExitFailed, TranslateString(RS_CLI_SCAN_STOPPED));
    }
    if (fatal) {
        DeleteSnapshots(env.os.files, context.ProgramFolder);
        context.WizardState = TWizardState::wsIdle;
        return Fail(env, kExitFailed, FormatText(TranslateString(RS_CLI_SCAN_FAILED), {Describe(fatal)}));
    }
    context.WizardState = done;
    return std::nullopt;
}

std::optional<int> RunScan(CliEnv& env, ScanThread& scan) {
    return RunScanIn(env, scan, TWizardState::wsScanning, TWizardState::wsScanned);
}

std::optional<int> RunScan(CliEnv& env, ReScanThread& rescan) {
    return RunScanIn(env, rescan, TWizardState::wsRescanning, TWizardState::wsIdle);
}

// The quiet check before a setup starts: a scan, a short wait (QuietTime), a
// rescan that
// saves nothing. What changed meanwhile is learned as the machine's own
// activity (known_activity.h).
std::optional<int> QuietCheck(CliEnv& env, int steps) {
    AppContext& context = env.context;
    context.AppIdentifier = std::string(kQuietCheckSource);
    {
        ConsoleScanProgress progress(env.console, steps);
        ScanThread scan(context, env.os, env.dispatcher, progress);
        if (std::optional<int> failed = RunScan(env, scan)) return failed;
    }
    std::this_thread::sleep_for(env.QuietTime);
    ChangesTree tree(context.Settings);
    tree.StartFill(false);
    ConsoleScanProgress progress(env.console, 4 * steps);
    ReScanThread rescan(context, env.os, env.dispatcher, progress, tree);
    if (std::optional<int> failed = RunScan(env, rescan)) return failed;
    context.WizardState = TWizardState::wsIdle;
    const TChangeCounts counts = CountChanges(tree.Lock());
    env.console.Write(
        FormatText(TranslateString(RS_CLI_QUIET_CHECK), {std::to_string(counts.Setup + counts.Activity)}) + "\n");
    return std::nullopt;
}

// Rescans, saves the changes as identifier's archive and prints their counts.
int RescanAndSave(CliEnv& env, const std::string& identifier) {
    AppContext& context = env.context;
    ChangesTree tree(context.Settings);
    tree.StartFill(false);
    ConsoleScanProgress progress(env.console, 4 * TargetSteps(context.Settings));
    ReScanThread rescan(context, env.os, env.dispatcher, progress, tree);
    if (std::optional<int> failed = RunScan(env, rescan)) return *failed;
    context.WizardState = TWizardState::wsMonitored;
    if (tree.Lock().NodeCount() <= 3) {
        env.console.Write(FormatText(TranslateString(RS_CLI_NO_CHANGES), {identifier}) + "\n");
        return kExitOk;
    }
    TChgArchive archive(env.os.files, env.os.clock, ArchiveFileBase(context.ProgramFolder, identifier));
    try {
        SaveChangesTree(tree, archive);
    } catch (const ArchiveError&) {
        return Fail(env, kExitFailed, TranslateString(RS_ERR_SAVING));
    }
    env.console.Write(FormatText(TranslateString(RS_CLI_SAVED), {identifier}) + "\n" + Summary(tree));
    return kExitOk;
}

// What scan and monitor check before a first scan: the identifier, no
// monitoring in progress, no archive of that name unless replaced, and the
// targets taken from the command.
std::optional<int> CheckNewMonitoring(const CliCommand& command, CliEnv& env, const std::string& identifier) {
    if (int status = CheckIdentifier(env, identifier); status != kExitOk) return status;
    if (auto pending = ReadResumeMarker(env.os.files, env.context.ProgramFolder)) {
        return Fail(env, kExitUsage, FormatText(TranslateString(RS_CLI_PENDING), {*pending}));
    }
    if (std::optional<int> refused = RefuseExistingArchive(command, env, identifier)) return refused;
    return TakeTargets(command, env);
}

}  // namespace

int Scan(const CliCommand& command, CliEnv& env) {
    const std::string& identifier = command.Arguments[0];
    if (std::optional<int> refused = CheckNewMonitoring(command, env, identifier)) return *refused;
    AppContext& context = env.context;
    const int steps = TargetSteps(context.Settings);

    context.AppIdentifier = identifier;
    ConsoleScanProgress progress(env.console, steps);
    ScanThread scan(context, env.os, env.dispatcher, progress);
    if (std::optional<int> failed = RunScan(env, scan)) return *failed;
    WriteRunAtLogon(env.os, env.WindowProgram);
    WriteResumeMarker(env.os.files, context.ProgramFolder, identifier);
    env.console.Write(TranslateString(RS_CLI_SCANNED) + "\n" + TranslateString(RS_CLI_RUN_AT_LOGON) + "\n");
    return kExitOk;
}

int Rescan(CliEnv& env) {
    AppContext& context = env.context;
    const std::optional<std::string> identifier = ReadResumeMarker(env.os.files, context.ProgramFolder);
    if (!identifier) return Fail(env, kExitUsage, TranslateString(RS_CLI_NO_MONITORING));
    if (int status = CheckIdentifier(env, *identifier); status != kExitOk) return status;
    context.AppIdentifier = *identifier;
    DeleteResumeMarker(env.os.files, context.ProgramFolder);
    DeleteRunAtLogon(env.os);
    // The setup ran while this program did not watch: when is not known. The
    // scan registered the logon task.
    context.SetupWindow = {};
    context.LogonTaskRegistered = true;
    return RescanAndSave(env, *identifier);
}

int Monitor(const CliCommand& command, CliEnv& env, const std::string& setup) {
    const std::string& identifier = command.Arguments[0];
    if (std::optional<int> refused = CheckNewMonitoring(command, env, identifier)) return *refused;
    AppContext& context = env.context;
    const int steps = TargetSteps(context.Settings);
    context.SetupWindow = {};
    context.LogonTaskRegistered = false;
    if (command.QuietCheck || context.Settings.QuietCheck) {
        if (std::optional<int> failed = QuietCheck(env, steps)) return *failed;
    }
    context.AppIdentifier = identifier;
    const std::uint64_t scanned = env.os.clock.FileTimeNow();
    {
        ConsoleScanProgress progress(env.console, steps);
        ScanThread scan(context, env.os, env.dispatcher, progress);
        if (std::optional<int> failed = RunScan(env, scan)) return *failed;
    }

    std::string arguments;
    for (std::size_t i = 1; i < command.Setup.size(); ++i) {
        if (!arguments.empty()) arguments += ' ';
        arguments += QuoteArgument(command.Setup[i]);
    }
    const platform::ProcessRun run = env.os.shell.RunToEnd(setup, arguments);
    if (!run.Started) {
        DeleteSnapshots(env.os.files, context.ProgramFolder);
        context.WizardState = TWizardState::wsIdle;
        return Fail(env, kExitFailed, FormatText(TranslateString(RS_CLI_SETUP_FAILED_START), {setup}));
    }
    context.SetupWindow = {run.Start, run.End, scanned};
    env.console.Write(FormatText(TranslateString(RS_CLI_SETUP_EXIT), {std::to_string(run.ExitCode)}) + "\n");
    const int saved = RescanAndSave(env, identifier);
    if (saved != kExitOk) return saved;
    return run.ExitCode == 0 ? kExitOk : kExitFailed;
}

int ForgetActivity(CliEnv& env) {
    if (!ForgetLearnedActivity(env.os.files, env.context.ProgramFolder)) {
        return Fail(env, kExitFailed, TranslateString(RS_DELETE_FAILED));
    }
    env.console.Write(TranslateString(RS_CLI_ACTIVITY_CLEARED) + "\n");
    return kExitOk;
}

int Cancel(CliEnv& env) {
    // As for the rescan, only a monitoring that is in progress can end.
    if (!ReadResumeMarker(env.os.files, env.context.ProgramFolder)) {
        return Fail(env, kExitUsage, TranslateString(RS_CLI_NO_MONITORING));
    }
    GiveUpMonitoring(env.os, env.context.ProgramFolder);
    env.context.WizardState = TWizardState::wsIdle;
    env.console.Write(TranslateString(RS_CLI_CANCELED) + "\n");
    return kExitOk;
}

}  // namespace kelvora::cli
