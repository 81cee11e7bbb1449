// Loading and saving the settings, the main window's placement and the
// changes tree's column widths in the registry under HKEY_CURRENT_USER.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "settings/app_context.h"
#include "settings/settings.h"

namespace kelvora {

// Where the settings live; every function takes the key as a parameter so
// that tests can work in a scratch key.
inline constexpr std::string_view kSettingsKeyPath = "Software\\Varnok\\Kelvora";
// The main window's placement: "Software\Varnok", the application title when
// it is not empty, and the window class name TfrmQorMain without "Tfrm".
inline constexpr std::string_view kWindowPlacementKeyPath = "Software\\Varnok\\Kelvora\\QorMain";
std::string WindowPlacementKeyPath(std::string_view applicationTitle);

// A stored value of the wrong type ("Invalid data type for '%s'") or a value
// that could not be written ("Failed to set data for '%s'"). what() is the
// translated message with the value's name filled in.
class SettingsError : public std::runtime_error {
public:
    SettingsError(std::string message, std::string valueName)
        : std::runtime_error(std::move(message)), valueName_(std::move(valueName)) {}
    const std::string& ValueName() const { return valueName_; }

private:
    std::string valueName_;
};

// Replaces each field of settings for which the key holds a value (the key is
// created when missing; a key that may only be read is read); a missing value
// leaves its field as it was. The
// excluded-folders list always ends up holding programFolder, also when the
// key cannot be opened or a value of the wrong type stops the load with a
// SettingsError (the values read before it keep their stored contents).
void LoadSettings(platform::Registry& registry, TSettings& settings, std::string_view programFolder,
                  std::string_view keyPath = kSettingsKeyPath);

// Writes every field with its type (the key is created when missing);
// ExcludedFolders is written without programFolder. Answers false, having
// written nothing, when the key cannot be opened; a value that cannot be
// written stops the save with a SettingsError (what was written stays).
bool SaveSettings(platform::Registry& registry, const TSettings& settings, std::string_view programFolder,
                  std::string_view keyPath = kSettingsKeyPath);
// SaveSettings for the windows and the command line: answers why the settings were not saved as
// the user reads it (the key that could not be opened or the value that
// could not be written), empty when they were.
std::string SaveSettingsFailure(platform::Registry& registry, const TSettings& settings,
                                std::string_view programFolder, std::string_view keyPath = kSettingsKeyPath);

// The main window's creation: every setting to its default, then the stored
// ones over them (app.ProgramFolder must be set).
void InitialiseSettings(AppContext& app, platform::Registry& registry,
                        std::string_view keyPath = kSettingsKeyPath);

// The main window's size and position (outer size, screen pixels).
struct TWindowPlacement {
    bool Maximized = false;
    // Loaded: only those stored (none when Maximized). Saved: those present,
    // and only when not maximised, so that a window closed maximised keeps the
    // normal size and position it had the last time it closed otherwise.
    std::optional<std::int32_t> Width;
    std::optional<std::int32_t> Height;
    std::optional<std::int32_t> Left;
    std::optional<std::int32_t> Top;
};

// Reads the placement without creating the key: when Maximized is stored
// and true nothing else is read; otherwise each stored one of Width, Height,
// Left and Top. A missing key answers an empty placement.
TWindowPlacement LoadWindowPlacement(platform::Registry& registry,
                                     std::string_view keyPath = kWindowPlacementKeyPath);
// Writes Maximized and, when not maximised, the present ones of Width, Height,
// Left and Top. Answers false when the key cannot be opened.
bool SaveWindowPlacement(platform::Registry& registry, const TWindowPlacement& placement,
                         std::string_view keyPath = kWindowPlacementKeyPath);

// Widths in pixels of the changes tree's "Detected changes" and "Before"
// columns, stored as ChangeColumn and BeforeColumn in the settings key.
struct TColumnWidths {
    std::optional<std::int32_t> ChangeColumn;
    std::optional<std::int32_t> BeforeColumn;
};

// Opens the key for reading only; each width is set when it is stored.
TColumnWidths LoadColumnWidths(platform::Registry& registry, std::string_view keyPath = kSettingsKeyPath);
// Writes the present widths. Answers false when the key cannot be opened.
bool SaveColumnWidths(platform::Registry& registry, const TColumnWidths& widths,
                      std::string_view keyPath = kSettingsKeyPath);

}  // namespace kelvora
