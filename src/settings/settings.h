// The user's settings (registry key HKCU\Software\Varnok\Kelvora), their
// defaults, and the lists of excluded folders, ignored files and ignored keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

// A sorted list of strings, ordered and compared without regard to ASCII
// case; adding an entry equal to an existing one apart from case does
// nothing.
class TSortedList {
public:
    // Returns false when an equal entry (ignoring case) was already there,
    // and for an empty entry, which is never added.
    bool Add(std::string_view entry);
    bool Remove(std::string_view entry);  // the entry equal ignoring case
    bool Contains(std::string_view entry) const;
    void Clear() { items_.clear(); }
    std::size_t Count() const { return items_.size(); }
    const std::string& operator[](std::size_t i) const { return items_[i]; }
    const std::vector<std::string>& Items() const { return items_; }
    // Every entry followed by CR LF; empty for an empty list.
    std::string Text() const;
    // Replaces the contents with the lines of text (split at CR LF, lone CR
    // and lone LF; empty lines are skipped).
    void SetText(std::string_view text);

private:
    std::vector<std::string> items_;
};

// True when the upper-cased path followed by "\" begins with some
// upper-cased entry followed by "\".
bool IsPathInList(std::string_view path, const TSortedList& list);

struct TSettings {
    bool DeleteValues = true;
    bool DeleteKey = true;
    bool DeleteFiles = true;
    bool DeleteFolders = true;
    bool RestoreValues = true;
    bool DecSharedCounter = true;
    bool CreateKey = true;
    bool CreateValues = true;
    bool UseRecycled = true;
    bool ScanHKCR = true;
    bool ScanHKLM = true;
    bool ScanHKCU = false;
    bool ScanHKUS = true;
    bool ScanHKCC = false;
    bool ScanWin = true;
    bool ScanProg = true;
    bool ScanEntire = true;
    bool ScanOthers = false;
    std::string ScanOtherPaths;
    std::string LastAppRunPath;
    std::int32_t LogLevel = 1;
    bool BinaryHexa = false;
    // The changes tree leaves activity out of view (it stays in the tree
    // and the archive, checked or not as it was).
    bool HideActivity = false;
    std::string ChangesTreeFont = "Tahoma";
    std::int32_t ChangesTreeFontSize = 8;
    std::string Viewer = "notepad.exe";
    std::string Language;
    bool AutoDelQor = false;
    // A short rescan before each setup starts: what changes meanwhile is the
    // machine's own activity (known_activity.h).
    bool QuietCheck = false;
    // How many threads a scan may walk with at once (at most the processor's
    // cores); 1 walks one target after the other.
    std::int32_t ScanWorkers = 4;
    TSortedList ExcludedFolders;
    TSortedList IgnoredFiles;
    TSortedList IgnoredKeys;
};

}  // namespace kelvora
