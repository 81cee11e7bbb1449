#include "cli/elevation.h"

#include "cli/cli_messages.h"

namespace kelvora {

bool NeedsElevation(CliVerb verb) {
    return verb == CliVerb::kScan || verb == CliVerb::kRescan || verb == CliVerb::kMonitor ||
           verb == CliVerb::kUninstall;
}

std::optional<std::string> ElevationRefusal(const CliCommand& command, bool elevated) {
    if (elevated || command.Partial || !NeedsElevation(command.Verb)) return std::nullopt;
    return TranslateString(RS_CLI_NOT_ELEVATED);
}

}  // namespace kelvora
