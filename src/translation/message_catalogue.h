// The message catalogue: identifier and exact English text of every
// message. Included by translation/messages.h.
#pragma once

namespace kelvora {

inline constexpr Message RS_SCAN_REG{"RS_SCAN_REG", "Scanning registry category:"};
inline constexpr Message RS_SCAN_FS{"RS_SCAN_FS", "Scanning file system ..."};
inline constexpr Message RS_SEARCH_REG{"RS_SEARCH_REG", "Searching changes from category:"};
inline constexpr Message RS_SEARCH_FS{"RS_SEARCH_FS", "Searching changes from file system ..."};
inline constexpr Message RS_DETECT_MOVED{"RS_DETECT_MOVED", "Detecting moved files ..."};
inline constexpr Message RS_ERR_SAVING{"RS_ERR_SAVING", "Error saving changes tree !"};
// Archive files that cannot be stored or updated (the file's path fills %s).
inline constexpr Message RS_ARCHIVE_CANT_READ{"RS_ARCHIVE_CANT_READ", "Can't read the archive '%s'."};
inline constexpr Message RS_ARCHIVE_CANT_WRITE{"RS_ARCHIVE_CANT_WRITE", "Can't write the archive '%s'."};
inline constexpr Message RS_ARCHIVE_INVALID{"RS_ARCHIVE_INVALID", "'%s' is not an archive."};
inline constexpr Message RS_DEL_REG_KEYS{"RS_DEL_REG_KEYS", "Deleting registry keys ..."};
inline constexpr Message RS_DEL_REG_KEY{"RS_DEL_REG_KEY", "DELETING REGISTRY KEY: "};
inline constexpr Message RS_CREATE_REG_KEYS{"RS_CREATE_REG_KEYS", "Creating registry keys ..."};
inline constexpr Message RS_CREATE_REG_KEY{"RS_CREATE_REG_KEY", "CREATING REGISTRY KEY: "};
inline constexpr Message RS_DEL_REG_VALS{"RS_DEL_REG_VALS", "Deleting registry values ..."};
inline constexpr Message RS_DEL_REG_VAL{"RS_DEL_REG_VAL", "DELETING REGISTRY VALUE: "};
inline constexpr Message RS_CREATE_REG_VALS{"RS_CREATE_REG_VALS", "Creating registry values ..."};
inline constexpr Message RS_CREATE_REG_VAL{"RS_CREATE_REG_VAL", "CREATING REGISTRY VALUE: "};
inline constexpr Message RS_RESTORE_REG_VALS{"RS_RESTORE_REG_VALS", "Restoring registry values ..."};
inline constexpr Message RS_RESTORE_REG_VAL{"RS_RESTORE_REG_VAL", "RESTORING REGISTRY VALUE: "};
inline constexpr Message RS_UPD_SHAREDS{"RS_UPD_SHAREDS", "Updating shared files counters ..."};
inline constexpr Message RS_UPD_SHARED{"RS_UPD_SHARED", "UPDATING SHARED FILE COUNTER: "};
inline constexpr Message RS_DEL_FILES{"RS_DEL_FILES", "Deleting files ..."};
inline constexpr Message RS_DEL_FILE{"RS_DEL_FILE", "DELETING FILE: "};
inline constexpr Message RS_DEL_FOLDERS{"RS_DEL_FOLDERS", "Deleting folders ..."};
inline constexpr Message RS_DEL_FOLDER{"RS_DEL_FOLDER", "DELETING FOLDER: "};
inline constexpr Message RS_REM_SHAREDS{"RS_REM_SHAREDS", "Deleting unused shared files ..."};
inline constexpr Message RS_REM_SHARED{"RS_REM_SHARED", "DELETE SHARED FILE: "};
inline constexpr Message RS_OK{"RS_OK", "Ok"};
inline constexpr Message RS_OK_SKIPPED{"RS_OK_SKIPPED", "Ok (Skipped)"};
inline constexpr Message RS_ERR{"RS_ERR", "ERROR"};
inline constexpr Message RS_ERR_FILE_USED{"RS_ERR_FILE_USED", "ERROR (in use)"};
inline constexpr Message RS_ERR_HAS_SUBKEY{"RS_ERR_HAS_SUBKEY", "ERROR (has sub-keys)"};
inline constexpr Message RS_ERR_NOT_EMPTY{"RS_ERR_NOT_EMPTY", "ERROR (not empty)"};
inline constexpr Message RS_ERR_COUNTER_DEL{"RS_ERR_COUNTER_DEL", "ERROR (counter already deleted -> application is already uninstalled?)"};
inline constexpr Message RS_ERR_SHARED_DEL{"RS_ERR_SHARED_DEL", "ERROR (shared file already deleted -> application is already uninstalled?)"};
inline constexpr Message RS_ERR_ACCESS_DENIED{"RS_ERR_ACCESS_DENIED", "ERROR (access denied)"};
inline constexpr Message RS_FAIL_NOT_FND{"RS_FAIL_NOT_FND", "FAILS (not found)"};
inline constexpr Message RS_UNINST_NO_ERR{"RS_UNINST_NO_ERR", "Uninstall complete without errors"};
inline constexpr Message RS_DEFAULT{"RS_DEFAULT", "(Default)"};
inline constexpr Message RS_ENTER_IDENTIFIER{"RS_ENTER_IDENTIFIER", "Enter an identifier for the monitored application."};
inline constexpr Message RS_CHOOSE_IDENTIFIER{"RS_CHOOSE_IDENTIFIER", "Choose the application identifier to uninstall or view."};
inline constexpr Message RS_SELECT_TARGETS{"RS_SELECT_TARGETS", "Select the targets. Press <Next> to continue."};
inline constexpr Message RS_SETUP_PATH{"RS_SETUP_PATH", "Enter the setup path."};
inline constexpr Message RS_INV_PATH{"RS_INV_PATH", "Invalid path: "};
inline constexpr Message RS_CANT_EXECUTE{"RS_CANT_EXECUTE", "Can't start the program '%s'!"};
inline constexpr Message RS_SETUP_NOT_STARTED{"RS_SETUP_NOT_STARTED", "The setup program could not be started (error %s)."};
inline constexpr Message RS_SETUP_FAILED{"RS_SETUP_FAILED", "The setup program ended with exit code %s. Press <Next> to re-scan the targets, or choose to install one application to start a setup again."};
inline constexpr Message RS_NEXT_RESCAN{"RS_NEXT_RESCAN", "Press <Next> to re-scan the targets."};
inline constexpr Message RS_NEXT_RESCAN_CONT{"RS_NEXT_RESCAN_CONT", "If the installing process is finished press <Next> to continue."};
inline constexpr Message RS_EXIT_MANUAL_RUN{"RS_EXIT_MANUAL_RUN", "Press <Exit>. Do not forget to re-run this program after you finish."};
inline constexpr Message RS_INSTALLING{"RS_INSTALLING", "installing"};
inline constexpr Message RS_UNINSTALLING{"RS_UNINSTALLING", "uninstalling"};
inline constexpr Message RS_STOP{"RS_STOP", "&Stop"};
inline constexpr Message RS_EXIT{"RS_EXIT", "E&xit"};
inline constexpr Message RS_MY_COMPUTER{"RS_MY_COMPUTER", "My Computer"};
inline constexpr Message RS_FILE_SYSTEM{"RS_FILE_SYSTEM", "File System"};
inline constexpr Message RS_REGISTRY{"RS_REGISTRY", "Registry"};
inline constexpr Message RS_FS_NO_CHG{"RS_FS_NO_CHG", "File System (no changes)"};
inline constexpr Message RS_REG_NO_CHG{"RS_REG_NO_CHG", "Registry (no changes)"};
inline constexpr Message RS_LOADING_CHG{"RS_LOADING_CHG", "Loading changes..."};
inline constexpr Message RS_INV_FILE_FORMAT{"RS_INV_FILE_FORMAT", "Invalid file format !"};
inline constexpr Message RS_NEXT_UNINSTALL{"RS_NEXT_UNINSTALL", "Checked changes will be restored. Press <Next> to uninstall."};
inline constexpr Message RS_ASK_UNINSTALL{"RS_ASK_UNINSTALL", "Are you sure you want to uninstall '%s' ?"};
inline constexpr Message RS_ASK_SAVE{"RS_ASK_SAVE", "Save the changes ?"};
inline constexpr Message RS_ABORT_SCANNING{"RS_ABORT_SCANNING", "Cancel scanning ?"};
inline constexpr Message RS_ASK_CANCEL_ALL{"RS_ASK_CANCEL_ALL", "Cancel all operations and exit ?"};
inline constexpr Message RS_ASK_CANCEL_MONIT{"RS_ASK_CANCEL_MONIT", "Cancel monitoring process before exit ?"};
inline constexpr Message RS_STOP_UNINSTALL{"RS_STOP_UNINSTALL", "It's not recommended to make an incomplete uninstall !\nAre you sure you want to stop the uninstalling process ?"};
inline constexpr Message RS_SCAN_ABORTED{"RS_SCAN_ABORTED", "Scanning canceled. Press <Back> or <Exit>."};
inline constexpr Message RS_RESCAN_ABORTED{"RS_RESCAN_ABORTED", "Scanning canceled. Press <Next> to monitor another application or <Exit>."};
inline constexpr Message RS_COMPLETE{"RS_COMPLETE", "Operations completed. Press <Next> to monitor another application or <Exit>."};
inline constexpr Message RS_UNINST_COMPLETE{"RS_UNINST_COMPLETE", "Uninstall complete."};
inline constexpr Message RS_UNINST_STOPPED{"RS_UNINST_STOPPED", "Uninstall stopped."};
inline constexpr Message RS_REMOVE_ITEM{"RS_REMOVE_ITEM", "You will not be able to restore the changes made by selected application.\nAre you sure you want to continue ?"};
inline constexpr Message RS_DELETE_FAILED{"RS_DELETE_FAILED", "Delete failed !"};
inline constexpr Message RS_RENAME{"RS_RENAME", "Rename"};
inline constexpr Message RS_NEW_NAME{"RS_NEW_NAME", "New name"};
inline constexpr Message RS_RENAME_FAILED{"RS_RENAME_FAILED", "Rename failed !"};
inline constexpr Message RS_CANCEL{"RS_CANCEL", "Cancel"};
inline constexpr Message RS_DET_CHANGES{"RS_DET_CHANGES", "Detected changes"};
inline constexpr Message RS_BEFORE{"RS_BEFORE", "Before"};
inline constexpr Message RS_AFTER{"RS_AFTER", "After"};
inline constexpr Message RS_NAME{"RS_NAME", "Name"};
inline constexpr Message RS_CREATED{"RS_CREATED", "Created"};
inline constexpr Message RS_LAST_USED{"RS_LAST_USED", "Last used"};
inline constexpr Message RS_USES{"RS_USES", "Uses"};
inline constexpr Message RS_ASK_REMOVE_BRANCH{"RS_ASK_REMOVE_BRANCH", "Remove the selected branch ?"};
inline constexpr Message RS_BYTES{"RS_BYTES", " bytes"};
inline constexpr Message RS_INCREMENTED{"RS_INCREMENTED", "(incremented)"};
inline constexpr Message RS_ZERO_LENGTH_DATA{"RS_ZERO_LENGTH_DATA", "(zero length data)"};
inline constexpr Message RS_CHANGES{"RS_CHANGES", "'%s' changes"};
inline constexpr Message RS_PAGE{"RS_PAGE", "Page: "};
inline constexpr Message RS_PRINT_ERROR{"RS_PRINT_ERROR", "Printing error !"};
inline constexpr Message RS_EXPORT_ERROR{"RS_EXPORT_ERROR", "Exporting error !"};
inline constexpr Message RS_REPORT_SEARCH{"RS_REPORT_SEARCH", "Search"};
inline constexpr Message RS_REPORT_RECORDED{"RS_REPORT_RECORDED", "Recorded"};
inline constexpr Message RS_REPORT_TOTAL{"RS_REPORT_TOTAL", "All changes"};
inline constexpr Message RS_REG_KEY{"RS_REG_KEY", "(REG KEY)"};
inline constexpr Message RS_REG_VAL{"RS_REG_VAL", "(REG VAL)"};
inline constexpr Message RS_FILE{"RS_FILE", "(FILE)"};
inline constexpr Message RS_FOLDER{"RS_FOLDER", "(FOLDER)"};
inline constexpr Message RS_MOVED_SOURCE{"RS_MOVED_SOURCE", "(MOVED FROM)"};
inline constexpr Message RS_MOVED_DEST{"RS_MOVED_DEST", "(MOVED TO)"};
inline constexpr Message RS_SH_INC{"RS_SH_INC", "(INCREMENTED)"};
inline constexpr Message RS_FLD_EXCLUDED{"RS_FLD_EXCLUDED", "The folder '%s' is already excluded !"};
inline constexpr Message RS_FLD_CONT_EXCLUDED{"RS_FLD_CONT_EXCLUDED", "The folder '%s' contains excluded folders.\nRemove these first."};
inline constexpr Message RS_CLEAR_LOG{"RS_CLEAR_LOG", "Clear log ?"};
inline constexpr Message RS_IGN_REG_KEY{"RS_IGN_REG_KEY", "Ignore registry key"};
inline constexpr Message RS_KEY_PATH{"RS_KEY_PATH", "Key path"};
inline constexpr Message RS_DLG_WRN{"RS_DLG_WRN", "Warning"};
inline constexpr Message RS_DLG_ERR{"RS_DLG_ERR", "Error"};
inline constexpr Message RS_DLG_INF{"RS_DLG_INF", "Information"};
inline constexpr Message RS_DLG_CNF{"RS_DLG_CNF", "Confirm"};
inline constexpr Message RS_DLG_YES{"RS_DLG_YES", "Yes"};
inline constexpr Message RS_DLG_NO{"RS_DLG_NO", "No"};
inline constexpr Message RS_DLG_OK{"RS_DLG_OK", "OK"};
inline constexpr Message RS_DLG_CANCEL{"RS_DLG_CANCEL", "Cancel"};
inline constexpr Message RS_DLG_ABORT{"RS_DLG_ABORT", "Abort"};
inline constexpr Message RS_DLG_RETRY{"RS_DLG_RETRY", "Retry"};
inline constexpr Message RS_DLG_IGNORE{"RS_DLG_IGNORE", "Ignore"};
inline constexpr Message RS_DLG_ALL{"RS_DLG_ALL", "All"};
inline constexpr Message RS_DLG_NOTOALL{"RS_DLG_NOTOALL", "NoToAll"};
inline constexpr Message RS_DLG_YESTOALL{"RS_DLG_YESTOALL", "YesToAll"};

// Settings store: a settings value of the wrong type, a value that cannot be
// written (the value's name fills %s).
inline constexpr Message RS_REG_INVALID_TYPE{"RS_REG_INVALID_TYPE", "Invalid data type for '%s'"};
inline constexpr Message RS_REG_SET_FAILED{"RS_REG_SET_FAILED", "Failed to set data for '%s'"};

// Identifiers that cannot name an archive file (the identifier fills %s).
inline constexpr Message RS_IDENT_EMPTY{"RS_IDENT_EMPTY", "The identifier is empty."};
inline constexpr Message RS_IDENT_BAD_CHAR{"RS_IDENT_BAD_CHAR", "An identifier can't contain control characters or any of the characters \\ / : * ? \" < > |"};
inline constexpr Message RS_IDENT_BAD_TEXT{"RS_IDENT_BAD_TEXT", "The identifier is not valid text."};
inline constexpr Message RS_IDENT_TRAILING{"RS_IDENT_TRAILING", "An identifier can't end with a dot or a blank."};
inline constexpr Message RS_IDENT_RESERVED{"RS_IDENT_RESERVED", "'%s' is a device name reserved by Windows and can't be used as an identifier."};
inline constexpr Message RS_IDENT_TOO_LONG{"RS_IDENT_TOO_LONG", "The identifier is too long."};

// Snapshot files that cannot be read or written (the file's path fills %s),
// and a record whose path does not fit its length field (the path's start
// fills %s).
inline constexpr Message RS_SNAPSHOT_OPEN{"RS_SNAPSHOT_OPEN", "Cannot open the snapshot file \"%s\"."};
inline constexpr Message RS_SNAPSHOT_CREATE{"RS_SNAPSHOT_CREATE", "Cannot create the snapshot file \"%s\"."};
inline constexpr Message RS_SNAPSHOT_PATH_TOO_LONG{"RS_SNAPSHOT_PATH_TOO_LONG",
                                                   "A path is too long for a snapshot record: %s..."};
// A scan of the main window that ended by an error (its reason fills %s).
inline constexpr Message RS_SCAN_FAILED{"RS_SCAN_FAILED", "Scanning failed: %s"};
// Who made a change (changes/activity.h), and the counts of both.
inline constexpr Message RS_ACT_SETUP{"RS_ACT_SETUP", "Made by the setup"};
inline constexpr Message RS_ACT_OUTSIDE_WINDOW{"RS_ACT_OUTSIDE_WINDOW", "Activity: changed before the setup started or after it ended"};
inline constexpr Message RS_ACT_VOLATILE{"RS_ACT_VOLATILE", "Activity: a place that Windows changes by itself"};
inline constexpr Message RS_ACT_LEARNED{"RS_ACT_LEARNED", "Activity: changed in monitorings of other applications too"};
inline constexpr Message RS_ACT_QUIET_CHECK{"RS_ACT_QUIET_CHECK", "Activity: changed while nothing was being installed"};
inline constexpr Message RS_CHANGE_COUNTS{"RS_CHANGE_COUNTS", "%s changes by the setup, %s activity"};
inline constexpr Message RS_CHANGE_COUNT_ONE{"RS_CHANGE_COUNT_ONE", "1 change by the setup, %s activity"};
// The changes tree's column that shows who made a change.
inline constexpr Message RS_MADE_BY{"RS_MADE_BY", "Made by"};

// A new monitoring under the identifier of an existing archive (the
// identifier fills the first %s, the archive's path the second).
inline constexpr Message RS_ASK_REPLACE_ARCHIVE{"RS_ASK_REPLACE_ARCHIVE", "An archive of '%s' exists. Replace it when the new monitoring is saved?"};
inline constexpr Message RS_ARCHIVE_EXISTS{"RS_ARCHIVE_EXISTS", "An archive of '%s' exists: %s. Add --replace to replace it when the new monitoring is saved."};

// The changes of an archive that the ignore lists hold (the count fills %s).
inline constexpr Message RS_HIDDEN_ONE{"RS_HIDDEN_ONE", "1 change hidden by the ignore lists"};
inline constexpr Message RS_HIDDEN_MANY{"RS_HIDDEN_MANY", "%s changes hidden by the ignore lists"};
inline constexpr Message RS_IGNORED_SHOWN_ONE{"RS_IGNORED_SHOWN_ONE", "1 change of the ignore lists shown, unchecked"};
inline constexpr Message RS_IGNORED_SHOWN_MANY{"RS_IGNORED_SHOWN_MANY", "%s changes of the ignore lists shown, unchecked"};

// The warnings of an uninstall that had no errors, after RS_UNINST_NO_ERR (the
// count fills %s); a change no undo reverses, before its path; their number
// before an uninstall (it fills %s).
inline constexpr Message RS_UNINST_WARNING_ONE{"RS_UNINST_WARNING_ONE", ", 1 warning"};
inline constexpr Message RS_UNINST_WARNING_MANY{"RS_UNINST_WARNING_MANY", ", %s warnings"};
inline constexpr Message RS_NOT_RESTORED{"RS_NOT_RESTORED", "NOT RESTORED (contents not recorded): "};
inline constexpr Message RS_CANNOT_UNDO{"RS_CANNOT_UNDO", "Changes that cannot be undone (contents not recorded): %s"};

// A file that the shell cannot open (its path fills %s).
inline constexpr Message RS_NO_PROGRAM{"RS_NO_PROGRAM", "Windows has no program to open '%s'."};
inline constexpr Message RS_CANT_OPEN{"RS_CANT_OPEN", "Can't open '%s'."};

// A rename onto the identifier of another archive (the identifier fills %s);
// an ignored key typed without its root key's name (the text typed fills %s).
inline constexpr Message RS_RENAME_EXISTS{"RS_RENAME_EXISTS", "Rename failed ! An archive of '%s' exists already."};
inline constexpr Message RS_KEY_NO_ROOT{"RS_KEY_NO_ROOT", "'%s' does not begin with the name of a root key, such as HKEY_LOCAL_MACHINE\\Software."};

// Every message above, in catalogue order.
inline constexpr const Message* kMessageCatalogue[] = {
    &RS_SCAN_REG,
    &RS_SCAN_FS,
    &RS_SEARCH_REG,
    &RS_SEARCH_FS,
    &RS_DETECT_MOVED,
    &RS_ERR_SAVING,
    &RS_ARCHIVE_CANT_READ,
    &RS_ARCHIVE_CANT_WRITE,
    &RS_ARCHIVE_INVALID,
    &RS_DEL_REG_KEYS,
    &RS_DEL_REG_KEY,
    &RS_CREATE_REG_KEYS,
    &RS_CREATE_REG_KEY,
    &RS_DEL_REG_VALS,
    &RS_DEL_REG_VAL,
    &RS_CREATE_REG_VALS,
    &RS_CREATE_REG_VAL,
    &RS_RESTORE_REG_VALS,
    &RS_RESTORE_REG_VAL,
    &RS_UPD_SHAREDS,
    &RS_UPD_SHARED,
    &RS_DEL_FILES,
    &RS_DEL_FILE,
    &RS_DEL_FOLDERS,
    &RS_DEL_FOLDER,
    &RS_REM_SHAREDS,
    &RS_REM_SHARED,
    &RS_OK,
    &RS_OK_SKIPPED,
    &RS_ERR,
    &RS_ERR_FILE_USED,
    &RS_ERR_HAS_SUBKEY,
    &RS_ERR_NOT_EMPTY,
    &RS_ERR_COUNTER_DEL,
    &RS_ERR_SHARED_DEL,
    &RS_ERR_ACCESS_DENIED,
    &RS_FAIL_NOT_FND,
    &RS_UNINST_NO_ERR,
    &RS_DEFAULT,
    &RS_ENTER_IDENTIFIER,
    &RS_CHOOSE_IDENTIFIER,
    &RS_SELECT_TARGETS,
    &RS_SETUP_PATH,
    &RS_INV_PATH,
    &RS_CANT_EXECUTE,
    &RS_SETUP_NOT_STARTED,
    &RS_SETUP_FAILED,
    &RS_NEXT_RESCAN,
    &RS_NEXT_RESCAN_CONT,
    &RS_EXIT_MANUAL_RUN,
    &RS_INSTALLING,
    &RS_UNINSTALLING,
    &RS_STOP,
    &RS_EXIT,
    &RS_MY_COMPUTER,
    &RS_FILE_SYSTEM,
    &RS_REGISTRY,
    &RS_FS_NO_CHG,
    &RS_REG_NO_CHG,
    &RS_LOADING_CHG,
    &RS_INV_FILE_FORMAT,
    &RS_NEXT_UNINSTALL,
    &RS_ASK_UNINSTALL,
    &RS_ASK_SAVE,
    &RS_ABORT_SCANNING,
    &RS_ASK_CANCEL_ALL,
    &RS_ASK_CANCEL_MONIT,
    &RS_STOP_UNINSTALL,
    &RS_SCAN_ABORTED,
    &RS_RESCAN_ABORTED,
    &RS_COMPLETE,
    &RS_UNINST_COMPLETE,
    &RS_UNINST_STOPPED,
    &RS_REMOVE_ITEM,
    &RS_DELETE_FAILED,
    &RS_RENAME,
    &RS_NEW_NAME,
    &RS_RENAME_FAILED,
    &RS_CANCEL,
    &RS_DET_CHANGES,
    &RS_BEFORE,
    &RS_AFTER,
    &RS_NAME,
    &RS_CREATED,
    &RS_LAST_USED,
    &RS_USES,
    &RS_ASK_REMOVE_BRANCH,
    &RS_BYTES,
    &RS_INCREMENTED,
    &RS_ZERO_LENGTH_DATA,
    &RS_CHANGES,
    &RS_PAGE,
    &RS_PRINT_ERROR,
    &RS_EXPORT_ERROR,
    &RS_REPORT_SEARCH,
    &RS_REPORT_RECORDED,
    &RS_REPORT_TOTAL,
    &RS_REG_KEY,
    &RS_REG_VAL,
    &RS_FILE,
    &RS_FOLDER,
    &RS_MOVED_SOURCE,
    &RS_MOVED_DEST,
    &RS_SH_INC,
    &RS_FLD_EXCLUDED,
    &RS_FLD_CONT_EXCLUDED,
    &RS_CLEAR_LOG,
    &RS_IGN_REG_KEY,
    &RS_KEY_PATH,
    &RS_DLG_WRN,
    &RS_DLG_ERR,
    &RS_DLG_INF,
    &RS_DLG_CNF,
    &RS_DLG_YES,
    &RS_DLG_NO,
    &RS_DLG_OK,
    &RS_DLG_CANCEL,
    &RS_DLG_ABORT,
    &RS_DLG_RETRY,
    &RS_DLG_IGNORE,
    &RS_DLG_ALL,
    &RS_DLG_NOTOALL,
    &RS_DLG_YESTOALL,
    &RS_REG_INVALID_TYPE,
    &RS_REG_SET_FAILED,
    &RS_IDENT_EMPTY,
    &RS_IDENT_BAD_CHAR,
    &RS_IDENT_BAD_TEXT,
    &RS_IDENT_TRAILING,
    &RS_IDENT_RESERVED,
    &RS_IDENT_TOO_LONG,
    &RS_SNAPSHOT_OPEN,
    &RS_SNAPSHOT_CREATE,
    &RS_SNAPSHOT_PATH_TOO_LONG,
    &RS_SCAN_FAILED,
    &RS_ACT_SETUP,
    &RS_ACT_OUTSIDE_WINDOW,
    &RS_ACT_VOLATILE,
    &RS_ACT_LEARNED,
    &RS_ACT_QUIET_CHECK,
    &RS_CHANGE_COUNTS,
    &RS_CHANGE_COUNT_ONE,
    &RS_MADE_BY,
    &RS_ASK_REPLACE_ARCHIVE,
    &RS_ARCHIVE_EXISTS,
    &RS_HIDDEN_ONE,
    &RS_HIDDEN_MANY,
    &RS_IGNORED_SHOWN_ONE,
    &RS_IGNORED_SHOWN_MANY,
    &RS_UNINST_WARNING_ONE,
    &RS_UNINST_WARNING_MANY,
    &RS_NOT_RESTORED,
    &RS_CANNOT_UNDO,
    &RS_NO_PROGRAM,
    &RS_CANT_OPEN,
    &RS_RENAME_EXISTS,
    &RS_KEY_NO_ROOT,
};

}  // namespace kelvora
