// The texts of the command-line companion kelvora-cli: its help, its errors
// and its short reports. Like every message they are looked up through
// TranslateString, so a language file may translate them.
#pragma once

#include "translation/messages.h"

namespace kelvora {

inline constexpr Message RS_CLI_USAGE{"RS_CLI_USAGE",
    "Usage: kelvora-cli COMMAND [OPTIONS]\n"
    "Monitors the installation of an application and undoes it later; shares its\n"
    "folder and settings with Kelvora.exe.\n"
    "\n"
    "Commands:\n"
    "  scan ID [TARGETS]     take the snapshots before an installation\n"
    "  rescan                rescan after the installation and save the changes\n"
    "  monitor ID [TARGETS] -- SETUP [ARGUMENTS]\n"
    "                        scan, run the setup to its end, rescan and save\n"
    "  cancel                give up the monitoring in progress\n"
    "  forget-activity       forget the activity learned from earlier monitorings\n"
    "  list                  list the monitored applications\n"
    "  show ID               write the changes of ID to standard output\n"
    "  export ID FILE        write the changes of ID to a text, HTML or JSON file\n"
    "  undo-package ID DIR   write ID-undo.reg and ID-undo.cmd, which undo ID without Kelvora\n"
    "  uninstall ID          undo the changes of ID\n"
    "  rename OLD NEW        give a monitored application another identifier\n"
    "  delete ID             forget a monitored application\n"
    "\n"
    "kelvora-cli COMMAND --help shows the options of a command; kelvora-cli --version\n"
    "shows the version."};
inline constexpr Message RS_CLI_HELP_SCAN{"RS_CLI_HELP_SCAN",
    "Usage: kelvora-cli scan ID [TARGETS] [--workers N] [--replace] [--partial]\n"
    "Takes the snapshots of the chosen targets before ID is installed. Without\n"
    "targets the targets stored in the settings are scanned; with targets only\n"
    "those, and they are stored for the next scans.\n"
    "  --hkcr --hklm --hkus --hkcu --hkcc   registry categories\n"
    "  --windows           the Windows folder\n"
    "  --program-files     the Program Files folders (both on 64-bit Windows)\n"
    "  --entire            the entire system partition\n"
    "  --other PATHS       other folders, separated by semicolons\n"
    "  --workers N         walk with N threads at once (at most one per processor\n"
    "                      core; 1 walks one target after the other); stored for\n"
    "                      the next scans\n"
    "  --replace           let the rescan replace the archive ID already has\n"
    "  --partial           run without an administrator's rights"};
inline constexpr Message RS_CLI_HELP_RESCAN{"RS_CLI_HELP_RESCAN",
    "Usage: kelvora-cli rescan [--partial]\n"
    "Rescans the targets of the monitoring in progress, compares, saves the\n"
    "changes found as the archive of its identifier and prints their counts.\n"
    "  --partial    run without an administrator's rights"};
inline constexpr Message RS_CLI_HELP_MONITOR{"RS_CLI_HELP_MONITOR",
    "Usage: kelvora-cli monitor ID [TARGETS] [--workers N] [--quiet-check] [--partial] -- SETUP [ARGUMENTS...]\n"
    "Monitors the installation of ID in one go: takes the snapshots, starts SETUP\n"
    "with its arguments, waits until it and every process it started have ended,\n"
    "rescans and saves the changes. Changes that the setup did not make (made\n"
    "before it started or after it ended, in places Windows changes by itself,\n"
    "or learned from other monitorings) are kept as activity, left alone by an\n"
    "uninstall. Exits with 0 only when the setup's exit code was 0.\n"
    "  TARGETS         as for scan, and --workers N\n"
    "  --quiet-check   rescan once before the setup starts: what changes then is\n"
    "                  the machine's own activity, in this and later monitorings\n"
    "  --partial       run without an administrator's rights"};
inline constexpr Message RS_CLI_HELP_CANCEL{"RS_CLI_HELP_CANCEL",
    "Usage: kelvora-cli cancel\n"
    "Gives up the monitoring in progress: deletes its snapshots and its resume marker."};
inline constexpr Message RS_CLI_HELP_FORGET_ACTIVITY{"RS_CLI_HELP_FORGET_ACTIVITY",
    "Usage: kelvora-cli forget-activity\n"
    "Forgets the places learned as the machine's own activity from earlier\n"
    "monitorings and quiet checks (Learned.txt); the catalogue stays."};
inline constexpr Message RS_CLI_HELP_LIST{"RS_CLI_HELP_LIST",
    "Usage: kelvora-cli list\n"
    "Lists the monitored applications: name, creation, last use and number of uses."};
inline constexpr Message RS_CLI_HELP_SHOW{"RS_CLI_HELP_SHOW",
    "Usage: kelvora-cli show ID [--hex]\n"
    "Writes the changes of ID to standard output.\n"
    "  --hex    binary data in hexadecimal instead of text"};
inline constexpr Message RS_CLI_HELP_EXPORT{"RS_CLI_HELP_EXPORT",
    "Usage: kelvora-cli export ID FILE [--format=text|html|json] [--hex]\n"
    "Writes the changes of ID to FILE: as text (the default), as one HTML page that\n"
    "any browser opens offline, or as JSON for scripts (docs/json-export.md).\n"
    "  --hex    binary data in hexadecimal instead of text (text and HTML)"};
inline constexpr Message RS_CLI_HELP_UNDO_PACKAGE{"RS_CLI_HELP_UNDO_PACKAGE",
    "Usage: kelvora-cli undo-package ID FOLDER\n"
    "Writes ID-undo.reg and ID-undo.cmd into FOLDER. Run as an administrator on a\n"
    "machine where the same setup ran, ID-undo.cmd undoes the checked changes of ID\n"
    "as the uninstall would, without Kelvora: it imports ID-undo.reg, lowers the\n"
    "shared-file counters, deletes the created files and folders and logs to\n"
    "ID-undo.log. ID-undo.cmd /dry-run only lists; its exit code counts failures."};
inline constexpr Message RS_CLI_HELP_UNINSTALL{"RS_CLI_HELP_UNINSTALL",
    "Usage: kelvora-cli uninstall ID [--yes] [--remove-shared=yes|no] [--log-level=N]\n"
    "                              [--include-activity] [--partial]\n"
    "Undoes the changes of ID that the uninstall settings select, prints the\n"
    "log and appends it to Log.txt. Activity (changes the setup did not make)\n"
    "is left alone.\n"
    "  --include-activity      undo the activity as well\n"
    "  --yes                   do not ask for confirmation (needed without a console)\n"
    "  --remove-shared=yes|no  the answer for every shared file no program uses\n"
    "                          any more (asked otherwise; no without a console)\n"
    "  --log-level=N           the log lines to show and keep, for this run only:\n"
    "                          the sum of 1 errors, 2 warnings, 4 successful\n"
    "                          actions (0 to 7; the LogLevel setting otherwise)\n"
    "  --partial               run without an administrator's rights"};
inline constexpr Message RS_CLI_HELP_RENAME{"RS_CLI_HELP_RENAME",
    "Usage: kelvora-cli rename OLD NEW\n"
    "Gives the monitored application OLD the identifier NEW."};
inline constexpr Message RS_CLI_HELP_DELETE{"RS_CLI_HELP_DELETE",
    "Usage: kelvora-cli delete ID [--yes]\n"
    "Deletes the archive of ID; its changes can no longer be undone.\n"
    "  --yes    do not ask for confirmation (needed without a console)"};

inline constexpr Message RS_CLI_UNKNOWN_COMMAND{"RS_CLI_UNKNOWN_COMMAND", "Unknown command '%s'. See kelvora-cli --help."};
inline constexpr Message RS_CLI_UNKNOWN_OPTION{"RS_CLI_UNKNOWN_OPTION", "Unknown option '%s'. See kelvora-cli %s --help."};
inline constexpr Message RS_CLI_ARGUMENTS{"RS_CLI_ARGUMENTS", "Wrong number of arguments. See kelvora-cli %s --help."};
inline constexpr Message RS_CLI_REMOVE_SHARED{"RS_CLI_REMOVE_SHARED", "--remove-shared takes yes or no."};
inline constexpr Message RS_CLI_NO_ARCHIVE{"RS_CLI_NO_ARCHIVE", "There is no monitored application '%s'."};
inline constexpr Message RS_CLI_NO_MONITORING{"RS_CLI_NO_MONITORING", "No monitoring is in progress."};
inline constexpr Message RS_CLI_PENDING{"RS_CLI_PENDING", "The monitoring of '%s' is in progress; rescan or cancel it first."};
inline constexpr Message RS_CLI_NO_TARGETS{"RS_CLI_NO_TARGETS", "No target to scan."};
inline constexpr Message RS_CLI_SCANNED{"RS_CLI_SCANNED", "Snapshots taken. Install the application, then run: kelvora-cli rescan"};
inline constexpr Message RS_CLI_RUN_AT_LOGON{"RS_CLI_RUN_AT_LOGON",
    "Kelvora.exe is registered to start at the next logon, to resume the monitoring after a restart."};
inline constexpr Message RS_CLI_SETUP_FAILED_START{"RS_CLI_SETUP_FAILED_START", "The setup '%s' could not be started."};
inline constexpr Message RS_CLI_SETUP_EXIT{"RS_CLI_SETUP_EXIT", "The setup ended with exit code %s."};
inline constexpr Message RS_CLI_QUIET_CHECK{"RS_CLI_QUIET_CHECK", "Quiet check: %s places changed while nothing was installed."};
inline constexpr Message RS_CLI_ACTIVITY_CLEARED{"RS_CLI_ACTIVITY_CLEARED", "The learned activity was forgotten."};
inline constexpr Message RS_CLI_SCAN_STOPPED{"RS_CLI_SCAN_STOPPED", "Scanning canceled."};
inline constexpr Message RS_CLI_SCAN_FAILED{"RS_CLI_SCAN_FAILED", "Scanning failed: %s"};
inline constexpr Message RS_CLI_LOG_LEVEL{"RS_CLI_LOG_LEVEL",
    "--log-level takes a number from 0 to 7: the sum of 1 errors, 2 warnings, 4 successful actions."};
inline constexpr Message RS_CLI_WORKERS{"RS_CLI_WORKERS",
    "--workers takes a number from 1 to 64: the threads a scan walks with at once."};
inline constexpr Message RS_CLI_NEED_YES{"RS_CLI_NEED_YES",
    "There is no console to ask for confirmation; add --yes to go ahead without asking."};
inline constexpr Message RS_CLI_NO_CHANGES{"RS_CLI_NO_CHANGES", "No changes found; no archive was saved for '%s'."};
inline constexpr Message RS_CLI_SAVED{"RS_CLI_SAVED", "Changes saved as '%s':"};
inline constexpr Message RS_CLI_EXPORTED{"RS_CLI_EXPORTED", "Changes of '%s' written to %s"};
inline constexpr Message RS_CLI_UNDO_WRITTEN{"RS_CLI_UNDO_WRITTEN", "Undo package of '%s' written: %s, %s"};
inline constexpr Message RS_CLI_FORMAT{"RS_CLI_FORMAT", "--format takes text, html or json."};
inline constexpr Message RS_CLI_CANCELED{"RS_CLI_CANCELED", "The monitoring was given up."};
inline constexpr Message RS_CLI_ASK_DELETE{"RS_CLI_ASK_DELETE",
    "You will not be able to restore the changes made by '%s'.\nAre you sure you want to continue ?"};
inline constexpr Message RS_CLI_NOT_DELETED{"RS_CLI_NOT_DELETED", "'%s' was not deleted."};
inline constexpr Message RS_CLI_NOT_UNINSTALLED{"RS_CLI_NOT_UNINSTALLED", "Nothing was uninstalled."};
inline constexpr Message RS_CLI_UNINST_ERRORS{"RS_CLI_UNINST_ERRORS", "Uninstall complete; failed actions: %s."};
inline constexpr Message RS_CLI_ASK_SHARED{"RS_CLI_ASK_SHARED",
    "No program uses the shared file '%s' any more. Remove it? (y = yes, n = no, a = yes to all, x = no to all)"};
inline constexpr Message RS_CLI_NOT_ELEVATED{"RS_CLI_NOT_ELEVATED",
    "Not elevated: without an administrator's rights this command reaches only part of what setups write. "
    "Run kelvora-cli as administrator, or add --partial to accept a partial run."};
inline constexpr Message RS_CLI_VERSION{"RS_CLI_VERSION", "kelvora-cli %s"};
inline constexpr Message RS_CLI_YES_NO{"RS_CLI_YES_NO", " (y/n)"};

}  // namespace kelvora
