// What the options dialog (TdlgQorOptions) decides, apart from the window:
// the values its controls show for the settings, what OK stores, and the
// checks of its lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace kelvora {

// The controls' contents.
struct TOptionValues {
    // General page. TreeFont empty: no font selected (the stored one is not
    // installed); Language empty: no language selected.
    std::string TreeFont;
    int FontSize = 8;
    std::string Viewer;
    std::string Language;
    bool HideActivity = false;
    // Scanner page, in the lists' order; the program's folder is not shown.
    std::vector<std::string> ExcludedFolders;
    std::vector<std::string> IgnoredFiles;
    std::vector<std::string> IgnoredKeys;
    // Uninstaller page.
    bool DeleteValues = false;
    bool CreateValues = false;
    bool RestoreValues = false;
    bool DeleteKey = false;
    bool CreateKey = false;
    bool DecSharedCounter = false;
    bool DeleteFiles = false;
    bool UseRecycled = false;
    bool DeleteFolders = false;
    bool LogErrors = false;
    bool LogWarnings = false;
    bool LogSuccess = false;
    bool AutoDelQor = false;
};

inline constexpr int kMinTreeFontSize = 8;
inline constexpr int kMaxTreeFontSize = 16;

// The values the dialog shows for the settings. installedFont answers
// whether a font face is installed; currentLanguage is selected.
TOptionValues OptionValuesFromSettings(const TSettings& settings, std::string_view programFolder,
                                       bool treeFontInstalled, std::string_view currentLanguage);

// OK: the lists (the program's folder upper-cased added to the excluded
// ones), the uninstall flags, LogLevel, the font (unchanged when none is
// selected), its size (kept within 8 to 16), the viewer as typed, the archive
// deletion, and the language ("English" when none is selected).
void StoreOptionValues(const TOptionValues& values, TSettings& settings, std::string_view programFolder);

enum class TExcludeCheck { Ok, AlreadyExcluded, ContainsExcluded };

struct TExcludeAnswer {
    TExcludeCheck Check = TExcludeCheck::Ok;
    // The folder as the warnings name it: with a trailing backslash.
    std::string Shown;
};

// May the folder join the excluded ones? Not when it lies in one of them
// (or is one), nor when one of them lies in it. Compared upper-cased, each
// with a trailing backslash and "\\" made "\".
TExcludeAnswer CheckExcludedFolder(const std::vector<std::string>& excluded, std::string_view folder);

// What Add joins to a list of ignored files or keys: the chosen entries
// that the list does not hold yet apart from letter case, each once, in the
// order chosen.
std::vector<std::string> EntriesToAdd(std::vector<std::string> list, const std::vector<std::string>& chosen);

// "Use Recycle Bin" applies to the created files an uninstall deletes: it
// can be changed only while they are deleted.
inline bool UseRecycledEnabled(const TOptionValues& values) { return values.DeleteFiles; }

// May the key path join the ignored keys? The list matches the paths of the
// changes tree, which begin with the root key's full name (HKEY_USERS\...):
// a path without one would never match. True when it begins with one, alone
// or followed by a backslash, in any letter case.
bool IgnoredKeyHasRoot(std::string_view keyPath);

}  // namespace kelvora
