#include "cli/cli_args.h"

#include "cli/cli_messages.h"
#include "cli/elevation.h"

namespace kelvora {

namespace {

struct VerbInfo {
    std::string_view Name;
    CliVerb Verb;
    std::size_t Arguments;  // exact number of arguments
    const Message* Help;
};

constexpr VerbInfo kVerbs[] = {
    {"scan", CliVerb::kScan, 1, &RS_CLI_HELP_SCAN},
    {"rescan", CliVerb::kRescan, 0, &RS_CLI_HELP_RESCAN},
    {"monitor", CliVerb::kMonitor, 1, &RS_CLI_HELP_MONITOR},
    {"cancel", CliVerb::kCancel, 0, &RS_CLI_HELP_CANCEL},
    {"forget-activity", CliVerb::kForgetActivity, 0, &RS_CLI_HELP_FORGET_ACTIVITY},
    {"list", CliVerb::kList, 0, &RS_CLI_HELP_LIST},
    {"show", CliVerb::kShow, 1, &RS_CLI_HELP_SHOW},
    {"export", CliVerb::kExport, 2, &RS_CLI_HELP_EXPORT},
    {"undo-package", CliVerb::kUndoPackage, 2, &RS_CLI_HELP_UNDO_PACKAGE},
    {"uninstall", CliVerb::kUninstall, 1, &RS_CLI_HELP_UNINSTALL},
    {"rename", CliVerb::kRename, 2, &RS_CLI_HELP_RENAME},
    {"delete", CliVerb::kDelete, 1, &RS_CLI_HELP_DELETE},
};

const VerbInfo* FindVerb(std::string_view name) {
    for (const VerbInfo& v : kVerbs) {
        if (v.Name == name) return &v;
    }
    return nullptr;
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h" || arg == "/?"; }

// The value of an option given as "--name=VALUE" or "--name VALUE"; nothing
// when arg is not that option. A missing value is empty.
std::optional<std::string_view> OptionValue(std::string_view arg, std::string_view name,
                                            const std::vector<std::string>& args, std::size_t& i) {
    if (arg == name) return i + 1 < args.size() ? std::string_view(args[++i]) : std::string_view();
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        return arg.substr(name.size() + 1);
    }
    return std::nullopt;
}

// A whole number from 1 to 64 (as many threads as any processor here has).
std::optional<std::int32_t> WorkerCount(std::string_view text) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    std::int32_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > 64) return std::nullopt;
    return number;
}

// Applies one option of the command; false when the command has no such option.
bool TakeOption(CliCommand& cmd, std::string_view arg, const std::vector<std::string>& args, std::size_t& i,
                std::optional<CliUsageError>& error) {
    if (arg == "--partial" && NeedsElevation(cmd.Verb)) return cmd.Partial = true;
    CliTargets& t = cmd.Targets;
    const auto flag = [&t](bool& target) {
        target = true;
        t.Given = true;
        return true;
    };
    switch (cmd.Verb) {
        case CliVerb::kMonitor:
            if (arg == "--quiet-check") return cmd.QuietCheck = true;
            [[fallthrough]];
        case CliVerb::kScan:
            if (arg == "--hkcr") return flag(t.HKCR);
            if (arg == "--hklm") return flag(t.HKLM);
            if (arg == "--hkus") return flag(t.HKUS);
            if (arg == "--hkcu") return flag(t.HKCU);
            if (arg == "--hkcc") return flag(t.HKCC);
            if (arg == "--windows") return flag(t.Windows);
            if (arg == "--program-files") return flag(t.ProgramFiles);
            if (arg == "--entire") return flag(t.Entire);
            if (arg == "--replace") return cmd.Replace = true;
            if (const auto value = OptionValue(arg, "--workers", args, i)) {
                cmd.Workers = WorkerCount(*value);
                if (!cmd.Workers) error = CliUsageError{TranslateString(RS_CLI_WORKERS)};
                return true;
            }
            if (arg == "--other" && i + 1 < args.size()) {
                t.Others = args[++i];
                t.Given = true;
                return true;
            }
            if (arg.starts_with("--other=")) {
                t.Others = std::string(arg.substr(8));
                t.Given = true;
                return true;
            }
            return false;
        case CliVerb::kShow:
            if (arg == "--hex") return cmd.Hexa = true;
            return false;
        case CliVerb::kExport:
            if (arg == "--hex") return cmd.Hexa = true;
            if (arg.starts_with("--format=")) {
                cmd.Format = std::string(arg.substr(9));
                if (cmd.Format != "text" && cmd.Format != "html" && cmd.Format != "json") {
                    error = CliUsageError{TranslateString(RS_CLI_FORMAT)};
                }
                return true;
            }
            return false;
        case CliVerb::kDelete:
            if (arg == "--yes" || arg == "-y") return cmd.Yes = true;
            return false;
        case CliVerb::kUninstall:
            if (arg == "--yes" || arg == "-y") return cmd.Yes = true;
            if (arg == "--include-activity") return cmd.IncludeActivity = true;
            if (const auto value = OptionValue(arg, "--log-level", args, i)) {
                // The LogLevel setting's values: a mask of 1, 2 and 4.
                if (value->size() == 1 && (*value)[0] >= '0' && (*value)[0] <= '7') {
                    cmd.LogLevel = (*value)[0] - '0';
                } else {
                    error = CliUsageError{TranslateString(RS_CLI_LOG_LEVEL)};
                }
                return true;
            }
            if (arg.starts_with("--remove-shared=")) {
                const std::string_view value = arg.substr(16);
                if (value == "yes") {
                    cmd.RemoveShared = true;
                } else if (value == "no") {
                    cmd.RemoveShared = false;
                } else {
                    error = CliUsageError{TranslateString(RS_CLI_REMOVE_SHARED)};
                }
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

std::variant<CliCommand, CliUsageError> ParseCommandLine(const std::vector<std::string>& args) {
    CliCommand cmd;
    if (args.empty() || IsHelp(args[0])) return cmd;
    if (args[0] == "--version") {
        cmd.Verb = CliVerb::kVersion;
        return cmd;
    }
    const VerbInfo* verb = FindVerb(args[0]);
    if (verb == nullptr) return CliUsageError{FormatText(TranslateString(RS_CLI_UNKNOWN_COMMAND), {args[0]})};
    cmd.Verb = verb->Verb;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!optionsEnded && IsHelp(arg)) {
            CliCommand help;
            help.HelpOf = std::string(verb->Name);
            return help;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            // The setup of a monitoring and its own arguments, as they are.
            if (cmd.Verb == CliVerb::kMonitor) {
                cmd.Setup.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
                break;
            }
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            std::optional<CliUsageError> error;
            if (!TakeOption(cmd, arg, args, i, error)) {
                return CliUsageError{FormatText(TranslateString(RS_CLI_UNKNOWN_OPTION), {arg, verb->Name})};
            }
            if (error) return *error;
            continue;
        }
        cmd.Arguments.emplace_back(arg);
    }
    if (cmd.Arguments.size() != verb->Arguments || (cmd.Verb == CliVerb::kMonitor && cmd.Setup.empty())) {
        return CliUsageError{FormatText(TranslateString(RS_CLI_ARGUMENTS), {verb->Name})};
    }
    return cmd;
}

std::string HelpText(std::string_view command) {
    if (command.empty()) return TranslateString(RS_CLI_USAGE);
    const VerbInfo* verb = FindVerb(command);
    return verb != nullptr ? TranslateString(*verb->Help) : std::string();
}

}  // namespace kelvora
