// Helpers shared by the commands of kelvora-cli.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "changes/changes_tree.h"
#include "cli/cli_args.h"
#include "cli/cli_console.h"
#include "translation/messages.h"
#include "worker/safe_thread.h"

namespace kelvora::cli {

int Scan(const CliCommand& command, CliEnv& env);
int Rescan(CliEnv& env);
// setup is the setup's path, found from where the user is.
int Monitor(const CliCommand& command, CliEnv& env, const std::string& setup);
int Cancel(CliEnv& env);
int ForgetActivity(CliEnv& env);
int List(CliEnv& env);
int ShowOrExport(const CliCommand& command, CliEnv& env, const std::string& exportPath);
int UndoPackage(const CliCommand& command, CliEnv& env, const std::string& folder);
int Uninstall(const CliCommand& command, CliEnv& env);
int Rename(const CliCommand& command, CliEnv& env);
int Delete(const CliCommand& command, CliEnv& env);

// One line on standard error; answers status.
int Fail(CliEnv& env, int status, std::string_view line);

// ProgramFolder + "\" + identifier + ".qor".
std::string ArchivePath(const CliEnv& env, std::string_view identifier);

// Kelvora's identifier check and the archive's presence: kExitOk, or the
// reported kExitUsage.
int CheckIdentifier(CliEnv& env, std::string_view identifier);
int CheckArchive(CliEnv& env, std::string_view identifier);

// Loads the archive of identifier into tree (pre-checked from the uninstall
// settings when uninstallMode); kExitOk, or the reported failure.
int LoadArchive(CliEnv& env, std::string_view identifier, ChangesTree& tree, bool uninstallMode);
// After a load: how many of the archive's changes the ignore lists hide, in
// one line, when there are any.
void WriteHiddenCount(CliEnv& env, const ChangesTree::Access& tree);
// Before an uninstall: how many changes no undo reverses, when there are any.
void WriteCannotBeUndone(CliEnv& env, const ChangesTree::Access& tree);

// Starts worker and serves the dispatcher until its end handler has run. A
// Ctrl+C meanwhile halts it at its next pause point and stops it as the
// Stop button does. Answers the exception that ended the worker, if any.
std::exception_ptr RunWorker(CliEnv& env, TSafeThread& worker);

// The confirmation of a command that cannot be undone, unless yes (--yes)
// was given. Nothing when the command may go ahead; otherwise the status it
// ends with: kExitUsage, reported, when there is no one to ask (no console,
// end of input), kExitOk after writing declined when the answer is not yes.
std::optional<int> Confirm(CliEnv& env, bool yes, const std::string& question, const std::string& declined);

// The what() of an exception, or a generic text.
std::string Describe(const std::exception_ptr& error);

}  // namespace kelvora::cli
