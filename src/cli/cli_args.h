// The command line of kelvora-cli: a command, its arguments and its options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelvora {

enum class CliVerb {
    kHelp, kVersion, kScan, kRescan, kMonitor, kCancel, kForgetActivity, kList, kShow, kExport, kUndoPackage,
    kUninstall, kRename, kDelete
};

// The scan targets given on the command line; none given keeps the stored ones.
struct CliTargets {
    bool Given = false;
    bool HKCR = false, HKLM = false, HKUS = false, HKCU = false, HKCC = false;
    bool Windows = false, ProgramFiles = false, Entire = false;
    std::optional<std::string> Others;  // --other PATHS
};

struct CliCommand {
    CliVerb Verb = CliVerb::kHelp;
    // The command whose help is asked for (kHelp); empty for the general help.
    std::string HelpOf;
    std::vector<std::string> Arguments;
    CliTargets Targets;
    bool Hexa = false;                   // --hex
    std::string Format = "text";         // --format=text|html|json
    bool Yes = false;                    // --yes
    bool Replace = false;                // --replace: a scan may replace ID's archive
    std::optional<bool> RemoveShared;    // --remove-shared=yes|no
    bool Partial = false;                // --partial: runs without elevation
    std::optional<std::int32_t> LogLevel;  // --log-level=N, 0 to 7
    bool IncludeActivity = false;        // --include-activity
    bool QuietCheck = false;             // --quiet-check
    std::optional<std::int32_t> Workers;  // --workers=N, 1 to 64: stored as the ScanWorkers setting
    // monitor: the setup and its arguments, everything after "--".
    std::vector<std::string> Setup;
};

// The one-line message of a command line that cannot be run.
struct CliUsageError {
    std::string Message;
};

// Parses the arguments after the program's name.
std::variant<CliCommand, CliUsageError> ParseCommandLine(const std::vector<std::string>& args);

// The help text of a command ("" for the general help); empty when there is
// no such command.
std::string HelpText(std::string_view command);

}  // namespace kelvora
