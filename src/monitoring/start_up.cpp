#include "monitoring/start_up.h"

#include "settings/settings_store.h"

namespace kelvora {

std::string ProgramFolderOf(std::string_view programFile) {
    const std::size_t slash = programFile.find_last_of('\\');
    if (slash == std::string_view::npos) return std::string(programFile);
    const std::string folder(programFile.substr(0, slash));
    return folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
}

std::string StartUp(AppContext& context, platform::Platform& os, std::string_view programFile) {
    context.ProgramFolder = ProgramFolderOf(programFile);
    context.WindowsFolder = os.files.WindowsFolder();
    context.SystemDriveRoot = context.WindowsFolder.substr(0, 2) + "\\";
    context.CurrentUserSid = os.registry.CurrentUserSid();
    try {
        InitialiseSettings(context, os.registry);
    } catch (const SettingsError& e) {
        return e.what();
    }
    return {};
}

}  // namespace kelvora
