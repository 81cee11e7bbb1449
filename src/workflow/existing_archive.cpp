#include "workflow/existing_archive.h"

#include "changes/chg_archive.h"

namespace kelvora {

std::optional<std::string> ExistingArchive(platform::FileSystem& files, std::string_view programFolder,
                                           std::string_view identifier) {
    std::string path = ArchiveFileBase(programFolder, identifier) + std::string(kArchiveExtension);
    if (!files.FileExists(path)) return std::nullopt;
    return path;
}

}  // namespace kelvora
