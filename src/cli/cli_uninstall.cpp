// uninstall: undoing the changes of a monitored application.
#include "changes/activity.h"
#include "cli/cli_internal.h"
#include "cli/cli_messages.h"
#include "uninstall/dezinstaler.h"
#include "uninstall/uninstall_log.h"

namespace kelvora::cli {

namespace {

// The log page and the progress bar, on the console; the lines that pass
// the LogLevel mask are printed as they come and kept for Log.txt.
class ConsoleUninstallView final : public IUninstallView {
public:
    ConsoleUninstallView(ICliConsole& console, std::int32_t logLevel) : console_(console), logLevel_(logLevel) {}

    void ShowStatus(const std::string& text) override { console_.Status(text); }
    void SetProgressMax(int maximum) override {
        maximum_ = maximum;
        position_ = 0;
    }
    void StepProgress() override { console_.Progress(++position_, maximum_); }
    void ShowLogLine(const std::string& line, std::int32_t level) override {
        if (!log_.Add(logLevel_, line, level)) return;
        console_.Write(line + "\n");
        summaryShown_ = summaryShown_ || level == kLineSummary;
    }
    const TUninstallLog& Log() const { return log_; }
    // The closing "Uninstall complete without errors" line was printed.
    bool SummaryShown() const { return summaryShown_; }

private:
    ICliConsole& console_;
    std::int32_t logLevel_;
    TUninstallLog log_;
    int maximum_ = 0;
    int position_ = 0;
    bool summaryShown_ = false;
};

// The shared-file question: the option's answer for every file, or asked.
class ConsoleSharedQuestion final : public IRemoveSharedQuestion {
public:
    ConsoleSharedQuestion(ICliConsole& console, std::optional<bool> answer) : console_(console), answer_(answer) {}

    int AskRemoveShared(const std::string& fileName, const std::string& folder) override {
        if (answer_) return *answer_ ? kAnswerYesToAll : kAnswerNoToAll;
        const auto reply = console_.Ask(FormatText(TranslateString(RS_CLI_ASK_SHARED), {folder + fileName}));
        // Without anyone to ask, the file stays, as the dialog advises.
        if (!reply) return kAnswerNoToAll;
        if (*reply == "y" || *reply == "Y") return kAnswerYes;
        if (*reply == "a" || *reply == "A") return kAnswerYesToAll;
        if (*reply == "x" || *reply == "X") return kAnswerNoToAll;
        return kAnswerNo;
    }

private:
    ICliConsole& console_;
    std::optional<bool> answer_;
};

}  // namespace

int Uninstall(const CliCommand& command, CliEnv& env) {
    const std::string& identifier = command.Arguments[0];
    AppContext& context = env.context;
    ChangesTree tree(context.Settings);
    if (int status = LoadArchive(env, identifier, tree, true); status != kExitOk) return status;
    {
        auto access = tree.Lock();
        if (command.IncludeActivity) CheckActivity(access);
        WriteHiddenCount(env, access);
        WriteCannotBeUndone(env, access);
    }
    if (std::optional<int> status = Confirm(env, command.Yes, FormatText(TranslateString(RS_ASK_UNINSTALL), {identifier}),
                                            TranslateString(RS_CLI_NOT_UNINSTALLED))) {
        return *status;
    }

    // --log-level holds for this run only; the setting stays as it is.
    const std::int32_t logLevel = command.LogLevel.value_or(context.Settings.LogLevel);
    ConsoleUninstallView view(env.console, logLevel);
    ConsoleSharedQuestion question(env.console, command.RemoveShared);
    UninstallServices services{env.os, env.dispatcher, context, tree, view, question};
    TDezinstaler uninstaller(services);
    context.WizardState = TWizardState::wsUninstalling;
    const std::exception_ptr fatal = RunWorker(env, uninstaller);

    // One closing line: the log's own summary when it was shown, else how
    // the run ended.
    const bool stopped = context.WizardState.load() == TWizardState::wsStopped;
    if (stopped) {
        env.console.Write(TranslateString(RS_UNINST_STOPPED) + "\n");
    } else if (uninstaller.ErrorCount() > 0) {
        env.console.Write(
            FormatText(TranslateString(RS_CLI_UNINST_ERRORS), {std::to_string(uninstaller.ErrorCount())}) + "\n");
    } else if (!view.SummaryShown() && !fatal) {
        env.console.Write(TranslateString(RS_UNINST_COMPLETE) + "\n");
    }
    context.WizardState = TWizardState::wsUninstalled;
    int status = stopped || uninstaller.ErrorCount() > 0 ? kExitFailed : kExitOk;
    if (fatal) status = Fail(env, kExitFailed, Describe(fatal));
    const LogWriteResult written =
        WriteUninstallLog(env.os.files, context.ProgramFolder, logLevel, identifier,
                          env.console.DateTimeText(env.os.clock.Now(), true), view.Log().Lines());
    if (written == LogWriteResult::kReadFailed || written == LogWriteResult::kWriteFailed) {
        status = Fail(env, kExitFailed, TranslateString(RS_CLI_LOG_FAILED));
    }
    return status;
}

}  // namespace kelvora::cli
