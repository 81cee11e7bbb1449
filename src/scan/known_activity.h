// What the program knows of the machine's own activity before a rescan
// compares: the catalogue of places that Windows changes by itself (a text
// file beside the program, "Volatile.txt", extended by the user's
// "Volatile.user.txt"), and the places learned from earlier monitorings and
// quiet checks ("Learned.txt", kept by the program in its folder).
//
// A place is written as a path: a registry key or value below its root key
// ("HKLM\System\...", a value as "key\name"), or a file or folder
// ("C:\Windows\Prefetch", "%WINDIR%\Prefetch"). A catalogue place covers
// itself and everything below it, and its components may hold wildcards:
// <SID> (a security identifier, S-1-...), <GUID> (with or without braces),
// <N> (digits) and * (any text within one component). Learned places are
// exact: a change counts only at the very place that changed before.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "changes/changes_tree.h"
#include "changes/node_data.h"
#include "platform/platform.h"

namespace kelvora {

inline constexpr std::string_view kCatalogueFile = "Volatile.txt";
inline constexpr std::string_view kUserCatalogueFile = "Volatile.user.txt";
inline constexpr std::string_view kLearnedFile = "Learned.txt";
// The source of places learned in a quiet check.
inline constexpr std::string_view kQuietCheckSource = "*";

// One catalogue line, cut into path components.
class TPlacePattern {
public:
    // Nothing when the line names no place; windowsFolder replaces %WINDIR%.
    static std::unique_ptr<TPlacePattern> Parse(std::string_view line, std::string_view windowsFolder);
    // Whether the place (a full path as ChangeLocation makes it) is this
    // place or below it.
    bool Covers(std::string_view place) const;

private:
    std::vector<std::string> components_;
};

// A change's place: "HKEY_LOCAL_MACHINE\key\name" for the registry (the
// root key's full name), "C:\folder\name" for files.
std::string ChangePlace(std::string_view placement, std::string_view name);

class TKnownActivity {
public:
    // Reads the catalogue, the user's catalogue and the learned places from
    // the program's folder; a file that is missing or unreadable adds nothing.
    void Load(platform::FileSystem& files, std::string_view programFolder, std::string_view windowsFolder);
    void AddPattern(std::string_view line, std::string_view windowsFolder);
    // A place learned from the monitoring of source (an identifier, or
    // kQuietCheckSource).
    void AddLearned(std::string_view place, std::string_view source);

    // The reason the knowledge gives a change of identifier's monitoring at
    // place: arVolatileLocation, arQuietCheck, arLearned (learned from
    // another application's monitoring), or arSetup.
    TActivityReason ReasonFor(std::string_view place, std::string_view identifier) const;
    std::size_t PatternCount() const { return patterns_.size(); }

private:
    std::vector<std::unique_ptr<TPlacePattern>> patterns_;
    // Upper-cased place -> the sources it was learned from.
    std::unordered_map<std::string, std::vector<std::string>> learned_;
};

// Adds the places of the tree's changes to "Learned.txt" under source: every
// change of a quiet check, and of a monitoring the values and files changed
// in place (not what a setup creates or deletes). The places an
// application's monitoring had there before are replaced, those of quiet
// checks kept. False when the file could not be written.
bool LearnActivity(platform::FileSystem& files, std::string_view programFolder, std::string_view source,
                   const ChangesTree::Access& tree);
// Forgets every learned place (deletes "Learned.txt"). True when none is left.
bool ForgetLearnedActivity(platform::FileSystem& files, std::string_view programFolder);

}  // namespace kelvora
