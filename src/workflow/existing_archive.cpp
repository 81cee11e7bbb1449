#include "workflow/existing_archive.h"

#include "changes/chg_archive.h"
#include "platform/text.h"

namespace kelvora {

std::optional<std::string> ExistingArchive(platform::FileSystem& files, std::string_view programFolder,
                                           std::string_view identifier) {
    std::string path = ArchiveFileBase(programFolder, identifier) + std::string(kArchiveExtension);
    if (!files.FileExists(path)) return std::nullopt;
    return path;
}

bool RenameMeetsArchive(platform::FileSystem& files, std::string_view programFolder, std::string_view from,
                        std::string_view to) {
    return !EqualsNoCase(from, to) && ExistingArchive(files, programFolder, to).has_value();
}

}  // namespace kelvora
