#include "settings/settings_store.h"

#include <utility>
#include <vector>

#include "platform/text.h"
#include "translation/messages.h"

namespace kelvora {

namespace {

using platform::RegKey;
using platform::Registry;

[[noreturn]] void Fail(const Message& message, std::string_view valueName) {
    throw SettingsError(FormatText(TranslateString(message), {valueName}), std::string(valueName));
}

// Typed access to the values of one open key. A read answers false when the
// value does not exist (nothing to take over) and throws when it exists with
// another type than the one expected.
class ValueAccess {
public:
    ValueAccess(Registry& registry, RegKey& key) : registry_(registry), key_(key) {}

    bool ReadNumber(std::string_view name, std::int32_t& out) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (registry_.QueryValue(key_, name, type, data) != platform::kErrorSuccess) return false;
        if (type != platform::kRegDword || data.size() != sizeof(std::uint32_t)) Fail(RS_REG_INVALID_TYPE, name);
        const std::uint32_t raw = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                                  static_cast<std::uint32_t>(data[2]) << 16 |
                                  static_cast<std::uint32_t>(data[3]) << 24;
        out = static_cast<std::int32_t>(raw);
        return true;
    }

    // Any stored number other than 0 is true.
    bool ReadFlag(std::string_view name, bool& out) {
        std::int32_t number = 0;
        if (!ReadNumber(name, number)) return false;
        out = number != 0;
        return true;
    }

    // REG_SZ, or REG_EXPAND_SZ taken as it is; the text ends at its first zero.
    bool ReadText(std::string_view name, std::string& out) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (registry_.QueryValue(key_, name, type, data) != platform::kErrorSuccess) return false;
        if (type != platform::kRegSz && type != platform::kRegExpandSz) Fail(RS_REG_INVALID_TYPE, name);
        const auto* bytes = reinterpret_cast<const char*>(data.data());
        std::size_t length = 0;
        while (length < data.size() && bytes[length] != '\0') ++length;
        out.assign(bytes, length);
        return true;
    }

    bool ReadList(std::string_view name, TSortedList& out) {
        std::string text;
        if (!ReadText(name, text)) return false;
        out.SetText(text);
        return true;
    }

    void WriteNumber(std::string_view name, std::int32_t value) {
        const auto raw = static_cast<std::uint32_t>(value);
        const std::uint8_t data[4] = {static_cast<std::uint8_t>(raw), static_cast<std::uint8_t>(raw >> 8),
                                      static_cast<std::uint8_t>(raw >> 16), static_cast<std::uint8_t>(raw >> 24)};
        Write(name, platform::kRegDword, data, sizeof data);
    }

    void WriteFlag(std::string_view name, bool value) { WriteNumber(name, value ? 1 : 0); }

    // Stored with its terminating zero, as RegSetValueEx expects for REG_SZ.
    void WriteText(std::string_view name, std::string_view value) {
        std::vector<std::uint8_t> data(value.begin(), value.end());
        data.push_back(0);
        Write(name, platform::kRegSz, data.data(), static_cast<std::uint32_t>(data.size()));
    }

private:
    void Write(std::string_view name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
        if (registry_.SetValue(key_, name, type, data, size) != platform::kErrorSuccess) Fail(RS_REG_SET_FAILED, name);
    }

    Registry& registry_;
    RegKey& key_;
};

void ReadAll(ValueAccess& values, TSettings& s, std::string_view programFolder) {
    values.ReadFlag("DeleteValues", s.DeleteValues);
    values.ReadFlag("DeleteKey", s.DeleteKey);
    values.ReadFlag("DeleteFiles", s.DeleteFiles);
    values.ReadFlag("DeleteFolders", s.DeleteFolders);
    values.ReadFlag("RestoreValues", s.RestoreValues);
    values.ReadFlag("DecSharedCounter", s.DecSharedCounter);
    values.ReadFlag("CreateKey", s.CreateKey);
    values.ReadFlag("CreateValues", s.CreateValues);
    values.ReadFlag("UseRecycled", s.UseRecycled);
    values.ReadFlag("ScanHKCR", s.ScanHKCR);
    values.ReadFlag("ScanHKLM", s.ScanHKLM);
    values.ReadFlag("ScanHKCU", s.ScanHKCU);
    values.ReadFlag("ScanHKUS", s.ScanHKUS);
    values.ReadFlag("ScanHKCC", s.ScanHKCC);
    values.ReadFlag("ScanWin", s.ScanWin);
    values.ReadFlag("ScanProg", s.ScanProg);
    values.ReadFlag("ScanEntire", s.ScanEntire);
    values.ReadFlag("ScanOthers", s.ScanOthers);
    values.ReadText("ScanOtherPaths", s.ScanOtherPaths);
    values.ReadText("LastAppRunPath", s.LastAppRunPath);
    values.ReadNumber("LogLevel", s.LogLevel);
    values.ReadFlag("BinaryHexa", s.BinaryHexa);
    values.ReadFlag("HideActivity", s.HideActivity);
    values.ReadText("ChangesTreeFont", s.ChangesTreeFont);
    values.ReadNumber("ChangesTreeFontSize", s.ChangesTreeFontSize);
    values.ReadText("Viewer", s.Viewer);
    values.ReadList("ExcludedFolders", s.ExcludedFolders);
    s.ExcludedFolders.Add(programFolder);
    values.ReadList("IgnoredFiles", s.IgnoredFiles);
    values.ReadList("IgnoredKeys", s.IgnoredKeys);
    values.ReadText("Language", s.Language);
    values.ReadFlag("AutoDelQor", s.AutoDelQor);
    values.ReadFlag("QuietCheck", s.QuietCheck);
    values.ReadNumber("ScanWorkers", s.ScanWorkers);
}

void WriteAll(ValueAccess& values, const TSettings& s, std::string_view programFolder) {
    values.WriteFlag("DeleteValues", s.DeleteValues);
    values.WriteFlag("DeleteKey", s.DeleteKey);
    values.WriteFlag("DeleteFolders", s.DeleteFolders);
    values.WriteFlag("DeleteFiles", s.DeleteFiles);
    values.WriteFlag("RestoreValues", s.RestoreValues);
    values.WriteFlag("DecSharedCounter", s.DecSharedCounter);
    values.WriteFlag("CreateKey", s.CreateKey);
    values.WriteFlag("CreateValues", s.CreateValues);
    values.WriteFlag("UseRecycled", s.UseRecycled);
    values.WriteFlag("ScanHKCR", s.ScanHKCR);
    values.WriteFlag("ScanHKLM", s.ScanHKLM);
    values.WriteFlag("ScanHKCU", s.ScanHKCU);
    values.WriteFlag("ScanHKUS", s.ScanHKUS);
    values.WriteFlag("ScanHKCC", s.ScanHKCC);
    values.WriteFlag("ScanWin", s.ScanWin);
    values.WriteFlag("ScanProg", s.ScanProg);
    values.WriteFlag("ScanEntire", s.ScanEntire);
    values.WriteFlag("ScanOthers", s.ScanOthers);
    values.WriteText("ScanOtherPaths", s.ScanOtherPaths);
    values.WriteText("LastAppRunPath", s.LastAppRunPath);
    values.WriteNumber("LogLevel", s.LogLevel);
    values.WriteFlag("BinaryHexa", s.BinaryHexa);
    values.WriteFlag("HideActivity", s.HideActivity);
    values.WriteText("ChangesTreeFont", s.ChangesTreeFont);
    values.WriteNumber("ChangesTreeFontSize", s.ChangesTreeFontSize);
    values.WriteText("Viewer", s.Viewer);
    values.WriteText("Language", s.Language);
    values.WriteFlag("AutoDelQor", s.AutoDelQor);
    values.WriteFlag("QuietCheck", s.QuietCheck);
    values.WriteNumber("ScanWorkers", s.ScanWorkers);
    // The program's own folder is only ever excluded in memory. The text is
    // built without it rather than by taking it out of the list and putting
    // it back, so the list stays whole whatever happens to the write.
    std::string excluded;
    for (const std::string& folder : s.ExcludedFolders.Items()) {
        if (EqualsNoCase(folder, programFolder)) continue;
        excluded += folder;
        excluded += "\r\n";
    }
    values.WriteText("ExcludedFolders", excluded);
    values.WriteText("IgnoredFiles", s.IgnoredFiles.Text());
    values.WriteText("IgnoredKeys", s.IgnoredKeys.Text());
}

}  // namespace

std::string WindowPlacementKeyPath(std::string_view applicationTitle) {
    std::string path = "Software\\Varnok";
    if (!applicationTitle.empty()) {
        path += '\\';
        path += applicationTitle;
    }
    path += "\\QorMain";
    return path;
}

void LoadSettings(Registry& registry, TSettings& settings, std::string_view programFolder,
                  std::string_view keyPath) {
    // The key is created for the first save; one that may be read but not
    // written (locked down by an administrator) is still read.
    RegKey key;
    if (registry.CreateKey(platform::kCurrentUser, keyPath, key) != platform::kErrorSuccess &&
        registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyRead, key) != platform::kErrorSuccess) {
        settings.ExcludedFolders.Add(programFolder);
        return;
    }
    ValueAccess values(registry, key);
    try {
        ReadAll(values, settings, programFolder);
    } catch (...) {
        // A bad value stops the load, but the program must still never scan
        // its own folder.
        settings.ExcludedFolders.Add(programFolder);
        throw;
    }
}

bool SaveSettings(Registry& registry, const TSettings& settings, std::string_view programFolder,
                  std::string_view keyPath) {
    RegKey key;
    if (registry.CreateKey(platform::kCurrentUser, keyPath, key) != platform::kErrorSuccess) return false;
    ValueAccess values(registry, key);
    WriteAll(values, settings, programFolder);
    return true;
}

std::string SaveSettingsFailure(Registry& registry, const TSettings& settings, std::string_view programFolder,
                                std::string_view keyPath) {
    try {
        if (!SaveSettings(registry, settings, programFolder, keyPath))
            return FormatText(TranslateString(RS_REG_SET_FAILED), {keyPath});
    } catch (const SettingsError& e) {
        return e.what();
    }
    return {};
}

void InitialiseSettings(AppContext& app, Registry& registry, std::string_view keyPath) {
    app.Settings = TSettings{};
    LoadSettings(registry, app.Settings, app.ProgramFolder, keyPath);
}

TWindowPlacement LoadWindowPlacement(Registry& registry, std::string_view keyPath) {
    TWindowPlacement placement;
    RegKey key;
    if (registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyRead, key) != platform::kErrorSuccess) {
        return placement;
    }
    ValueAccess values(registry, key);
    if (values.ReadFlag("Maximized", placement.Maximized) && placement.Maximized) return placement;
    std::int32_t number = 0;
    if (values.ReadNumber("Width", number)) placement.Width = number;
    if (values.ReadNumber("Height", number)) placement.Height = number;
    if (values.ReadNumber("Left", number)) placement.Left = number;
    if (values.ReadNumber("Top", number)) placement.Top = number;
    return placement;
}

bool SaveWindowPlacement(Registry& registry, const TWindowPlacement& placement, std::string_view keyPath) {
    RegKey key;
    if (registry.CreateKey(platform::kCurrentUser, keyPath, key) != platform::kErrorSuccess) return false;
    ValueAccess values(registry, key);
    values.WriteFlag("Maximized", placement.Maximized);
    if (placement.Maximized) return true;
    if (placement.Width) values.WriteNumber("Width", *placement.Width);
    if (placement.Height) values.WriteNumber("Height", *placement.Height);
    if (placement.Left) values.WriteNumber("Left", *placement.Left);
    if (placement.Top) values.WriteNumber("Top", *placement.Top);
    return true;
}

TColumnWidths LoadColumnWidths(Registry& registry, std::string_view keyPath) {
    TColumnWidths widths;
    RegKey key;
    if (registry.OpenKey(platform::kCurrentUser, keyPath, platform::kKeyRead, key) != platform::kErrorSuccess) {
        return widths;
    }
    ValueAccess values(registry, key);
    std::int32_t number = 0;
    if (values.ReadNumber("ChangeColumn", number)) widths.ChangeColumn = number;
    if (values.ReadNumber("BeforeColumn", number)) widths.BeforeColumn = number;
    return widths;
}

bool SaveColumnWidths(Registry& registry, const TColumnWidths& widths, std::string_view keyPath) {
    RegKey key;
    if (registry.CreateKey(platform::kCurrentUser, keyPath, key) != platform::kErrorSuccess) return false;
    ValueAccess values(registry, key);
    if (widths.ChangeColumn) values.WriteNumber("ChangeColumn", *widths.ChangeColumn);
    if (widths.BeforeColumn) values.WriteNumber("BeforeColumn", *widths.BeforeColumn);
    return true;
}

}  // namespace kelvora
