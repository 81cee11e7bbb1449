#include "cli/cli_commands.h"

#include <stdexcept>
#include <variant>

#include "changes/archive_load.h"
#include "changes/chg_archive.h"
#include "changes/identifier.h"
#include "cli/cli_internal.h"
#include "cli/cli_messages.h"
#include "cli/elevation.h"
#include "kelvora_version.h"
#include "platform/text.h"
#include "uninstall/dezinstaler.h"

namespace kelvora {

namespace cli {

int Fail(CliEnv& env, int status, std::string_view line) {
    env.console.EndProgress();
    env.console.Error(line);
    return status;
}

std::string ArchivePath(const CliEnv& env, std::string_view identifier) {
    return ArchiveFileBase(env.context.ProgramFolder, identifier) + std::string(kArchiveExtension);
}

int CheckIdentifier(CliEnv& env, std::string_view identifier) {
    if (auto error = IdentifierError(identifier, env.context.ProgramFolder)) return Fail(env, kExitUsage, *error);
    return kExitOk;
}

int CheckArchive(CliEnv& env, std::string_view identifier) {
    if (int status = CheckIdentifier(env, identifier); status != kExitOk) return status;
    if (!env.os.files.FileExists(ArchivePath(env, identifier))) {
        return Fail(env, kExitUsage, FormatText(TranslateString(RS_CLI_NO_ARCHIVE), {identifier}));
    }
    return kExitOk;
}

namespace {

// The loader's stop request is a Ctrl+C.
class InterruptControl final : public IWorkerControl {
public:
    explicit InterruptControl(const std::atomic<bool>& interrupted) : interrupted_(interrupted) {}
    bool Terminated() const override { return interrupted_.load(); }
    void PausePoint() override {}

private:
    const std::atomic<bool>& interrupted_;
};

// A Ctrl+C: WizardState := wsStopped, then the terminate request; the worker
// stops at its next test.
void Stop(CliEnv& env, TSafeThread& worker) {
    env.context.WizardState = TWizardState::wsStopped;
    worker.Terminate();
}

}  // namespace

int LoadArchive(CliEnv& env, std::string_view identifier, ChangesTree& tree, bool uninstallMode) {
    if (int status = CheckArchive(env, identifier); status != kExitOk) return status;
    const std::string invalid = TranslateString(RS_INV_FILE_FORMAT);
    {
        // Only a check: its copy of the file goes before the load reads its own.
        TChgArchive archive(env.os.files, env.os.clock, ArchiveFileBase(env.context.ProgramFolder, identifier));
        if (!archive.Open()) return Fail(env, kExitUsage, invalid);
    }
    env.context.AppIdentifier = std::string(identifier);
    tree.StartFill(uninstallMode);
    InterruptControl control(env.interrupted);
    env.console.Status(TranslateString(RS_LOADING_CHG));
    env.context.WizardState = TWizardState::wsLoading;
    const TWorkEnd end = LoadCheckTree(env.context, env.os.files, env.os.clock, tree, control,
                                       [&env](int percent) { env.console.Progress(percent, 100); });
    env.console.EndProgress();
    env.context.WizardState = LoadEndState(end);
    if (end == TWorkEnd::Refused) return Fail(env, kExitUsage, invalid);
    if (end == TWorkEnd::Stopped) return kExitFailed;
    tree.FinishFill();
    return kExitOk;
}

void WriteHiddenCount(CliEnv& env, const ChangesTree::Access& tree) {
    const std::size_t hidden = tree.HiddenCount();
    if (hidden > 0) env.console.Write(CountText(RS_HIDDEN_ONE, RS_HIDDEN_MANY, hidden) + "\n");
}

void WriteCannotBeUndone(CliEnv& env, const ChangesTree::Access& tree) {
    const std::size_t lost = CountCannotBeUndone(tree);
    if (lost > 0) env.console.Write(FormatText(TranslateString(RS_CANNOT_UNDO), {std::to_string(lost)}) + "\n");
}

std::exception_ptr RunWorker(CliEnv& env, TSafeThread& worker) {
    bool ended = false;
    std::exception_ptr fatal;
    worker.SetOnTerminate([&](TSafeThread& done) {
        fatal = done.FatalException();
        ended = true;
    });
    // A Ctrl+C that came before the worker started stops it at its first
    // test; waiting for a pause point could let a short run finish first.
    bool stopSent = env.interrupted.load();
    if (stopSent) Stop(env, worker);
    worker.Start();
    while (!ended) {
        env.dispatcher.ServeUntil([&] { return ended || (!stopSent && env.interrupted.load()); });
        if (!ended && !stopSent) {
            stopSent = true;
            worker.Pause();
            // The worker may have ended meanwhile; a finished run keeps its state.
            if (!ended && !worker.Finished()) Stop(env, worker);
            worker.Resume();
        }
    }
    env.console.EndProgress();
    return fatal;
}

std::optional<int> Confirm(CliEnv& env, bool yes, const std::string& question, const std::string& declined) {
    if (yes) return std::nullopt;
    const std::optional<std::string> answer = env.console.Ask(question + TranslateString(RS_CLI_YES_NO));
    if (!answer) return Fail(env, kExitUsage, TranslateString(RS_CLI_NEED_YES));
    if (EqualsNoCase(*answer, "y") || EqualsNoCase(*answer, "yes") ||
        EqualsNoCase(*answer, TranslateString(RS_DLG_YES))) {
        return std::nullopt;
    }
    env.console.Write(declined + "\n");
    return kExitOk;
}

std::string Describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "?";
    }
}

}  // namespace cli

int RunCli(const CliCommand& command, CliEnv& env) {
    if (auto refusal = ElevationRefusal(command, env.Elevated)) return cli::Fail(env, kExitUsage, *refusal);
    // A file named on the command line is the user's, relative to where the
    // user is; every other path is the program folder's.
    std::string exportPath;
    if (command.Verb == CliVerb::kExport || command.Verb == CliVerb::kUndoPackage)
        exportPath = env.os.files.FullPathName(command.Arguments[1]);
    // A setup named without a folder that is not there is looked for as
    // Windows looks for a command.
    std::string setup;
    if (command.Verb == CliVerb::kMonitor) {
        setup = env.os.files.FullPathName(command.Setup[0]);
        if (!env.os.files.FileExists(setup)) setup = command.Setup[0];
    }
    env.os.files.SetCurrentDir(env.context.ProgramFolder);

    switch (command.Verb) {
        case CliVerb::kHelp:
            env.console.Write(HelpText(command.HelpOf) + "\n");
            return kExitOk;
        case CliVerb::kVersion:
            env.console.Write(FormatText(TranslateString(RS_CLI_VERSION), {KELVORA_VERSION}) + "\n");
            return kExitOk;
        case CliVerb::kScan: return cli::Scan(command, env);
        case CliVerb::kRescan: return cli::Rescan(env);
        case CliVerb::kMonitor: return cli::Monitor(command, env, setup);
        case CliVerb::kCancel: return cli::Cancel(env);
        case CliVerb::kForgetActivity: return cli::ForgetActivity(env);
        case CliVerb::kList: return cli::List(env);
        case CliVerb::kShow:
        case CliVerb::kExport: return cli::ShowOrExport(command, env, exportPath);
        case CliVerb::kUndoPackage: return cli::UndoPackage(command, env, exportPath);
        case CliVerb::kUninstall: return cli::Uninstall(command, env);
        case CliVerb::kRename: return cli::Rename(command, env);
        case CliVerb::kDelete: return cli::Delete(command, env);
    }
    return kExitUsage;
}

int RunCliArguments(const std::vector<std::string>& args, CliEnv& env) {
    auto parsed = ParseCommandLine(args);
    if (auto* error = std::get_if<CliUsageError>(&parsed)) return cli::Fail(env, kExitUsage, error->Message);
    return RunCli(std::get<CliCommand>(parsed), env);
}

}  // namespace kelvora
