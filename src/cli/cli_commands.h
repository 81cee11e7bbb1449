// The commands of kelvora-cli. Each one works as the window's wizard does at
// the same point (the first scan, the rescan, the close question answered
// Yes, the list of monitored applications, the export, the uninstall, the
// list's rename and delete), so a monitoring begun in one program can be
// finished or undone in the other.
#pragma once

#include "cli/cli_args.h"
#include "cli/cli_console.h"

namespace kelvora {

// Runs one parsed command; answers the exit status (kExit*). The current
// directory on entry is the user's: paths given on the command line are
// taken relative to it before the program's folder becomes current.
int RunCli(const CliCommand& command, CliEnv& env);

// Parses the arguments and runs them: help on standard output, a usage error
// as one line on standard error with kExitUsage.
int RunCliArguments(const std::vector<std::string>& args, CliEnv& env);

}  // namespace kelvora
