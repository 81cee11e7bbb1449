#include "settings/options.h"

#include <algorithm>

#include "platform/text.h"

namespace kelvora {

namespace {

// Upper-cased, followed by "\", every "\\" made "\".
std::string FolderKey(std::string_view folder) {
    std::string key = UpperAscii(folder);
    key += '\\';
    std::string out;
    for (char c : key)
        if (c != '\\' || out.empty() || out.back() != '\\') out += c;
    return out;
}

}  // namespace

TOptionValues OptionValuesFromSettings(const TSettings& settings, std::string_view programFolder,
                                       bool treeFontInstalled, std::string_view currentLanguage) {
    TOptionValues v;
    v.TreeFont = treeFontInstalled ? settings.ChangesTreeFont : std::string();
    v.FontSize = std::clamp(settings.ChangesTreeFontSize, kMinTreeFontSize, kMaxTreeFontSize);
    v.Viewer = settings.Viewer;
    v.Language = std::string(currentLanguage);
    v.HideActivity = settings.HideActivity;
    for (const std::string& folder : settings.ExcludedFolders.Items())
        if (UpperAscii(folder) != UpperAscii(programFolder)) v.ExcludedFolders.push_back(folder);
    v.IgnoredFiles = settings.IgnoredFiles.Items();
    v.IgnoredKeys = settings.IgnoredKeys.Items();
    v.DeleteValues = settings.DeleteValues;
    v.CreateValues = settings.CreateValues;
    v.RestoreValues = settings.RestoreValues;
    v.DeleteKey = settings.DeleteKey;
    v.CreateKey = settings.CreateKey;
    v.DecSharedCounter = settings.DecSharedCounter;
    v.DeleteFiles = settings.DeleteFiles;
    v.UseRecycled = settings.UseRecycled;
    v.DeleteFolders = settings.DeleteFolders;
    v.LogErrors = (settings.LogLevel & 1) != 0;
    v.LogWarnings = (settings.LogLevel & 2) != 0;
    v.LogSuccess = (settings.LogLevel & 4) != 0;
    v.AutoDelQor = settings.AutoDelQor;
    return v;
}

void StoreOptionValues(const TOptionValues& v, TSettings& settings, std::string_view programFolder) {
    settings.ExcludedFolders.Clear();
    for (const std::string& folder : v.ExcludedFolders) settings.ExcludedFolders.Add(folder);
    settings.ExcludedFolders.Add(UpperAscii(programFolder));
    settings.IgnoredFiles.Clear();
    for (const std::string& file : v.IgnoredFiles) settings.IgnoredFiles.Add(file);
    settings.IgnoredKeys.Clear();
    for (const std::string& key : v.IgnoredKeys) settings.IgnoredKeys.Add(key);
    settings.DeleteValues = v.DeleteValues;
    settings.CreateValues = v.CreateValues;
    settings.RestoreValues = v.RestoreValues;
    settings.DeleteKey = v.DeleteKey;
    settings.CreateKey = v.CreateKey;
    settings.DecSharedCounter = v.DecSharedCounter;
    settings.DeleteFiles = v.DeleteFiles;
    settings.UseRecycled = v.UseRecycled;
    settings.DeleteFolders = v.DeleteFolders;
    settings.LogLevel = (v.LogErrors ? 1 : 0) + (v.LogWarnings ? 2 : 0) + (v.LogSuccess ? 4 : 0);
    if (!v.TreeFont.empty()) settings.ChangesTreeFont = v.TreeFont;
    settings.ChangesTreeFontSize = std::clamp(v.FontSize, kMinTreeFontSize, kMaxTreeFontSize);
    settings.Viewer = v.Viewer;
    settings.AutoDelQor = v.AutoDelQor;
    settings.HideActivity = v.HideActivity;
    settings.Language = v.Language.empty() ? "English" : v.Language;
}

TExcludeAnswer CheckExcludedFolder(const std::vector<std::string>& excluded, std::string_view folder) {
    TExcludeAnswer answer;
    const std::string n = FolderKey(folder);
    // The warnings show the folder as compared, in its own letter case.
    answer.Shown = std::string(folder) + "\\";
    for (std::size_t i = answer.Shown.find("\\\\"); i != std::string::npos; i = answer.Shown.find("\\\\", i))
        answer.Shown.erase(i, 1);
    for (const std::string& entry : excluded) {
        const std::string e = FolderKey(entry);
        if (n.starts_with(e)) {
            answer.Check = TExcludeCheck::AlreadyExcluded;
            return answer;
        }
        // An excluded folder below the new one: its key begins with the new
        // one's (a substring anywhere else would be no folder of it).
        if (e.starts_with(n)) {
            answer.Check = TExcludeCheck::ContainsExcluded;
            return answer;
        }
    }
    return answer;
}

std::vector<std::string> EntriesToAdd(std::vector<std::string> list, const std::vector<std::string>& chosen) {
    std::vector<std::string> added;
    for (const std::string& entry : chosen) {
        if (std::any_of(list.begin(), list.end(), [&entry](const std::string& e) { return EqualsNoCase(e, entry); }))
            continue;
        list.push_back(entry);
        added.push_back(entry);
    }
    return added;
}

bool IgnoredKeyHasRoot(std::string_view keyPath) {
    for (std::string_view root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                  "HKEY_CURRENT_CONFIG"}) {
        if (StartsWithNoCase(keyPath, root) && (keyPath.size() == root.size() || keyPath[root.size()] == '\\')) {
            return true;
        }
    }
    return false;
}

}  // namespace kelvora
