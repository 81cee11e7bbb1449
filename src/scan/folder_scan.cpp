#include "scan/folder_scan.h"

#include <vector>

namespace kelvora {

namespace {

class FolderRecordWriter {
public:
    explicit FolderRecordWriter(TDBTree& dbTree) : dbTree_(dbTree) {}
    // A drive's root is written as "C:", as its files are.
    void Folder(std::string_view path, bool readable) {
        if (IsDriveRoot(path)) path.remove_suffix(1);
        dbTree_.WriteRecord(path, {}, nullptr, readable ? dbKindKey : dbKindUnreadable, 0);
    }
    void File(std::string_view folderPath, std::string_view name, const std::uint8_t (&block)[8]) {
        dbTree_.WriteRecord(folderPath, name, block, dbKindRaw, 8);
    }

private:
    TDBTree& dbTree_;
};

// A target as the platform spells a folder's full path: relative parts
// resolved, no trailing backslash except for a drive's root.
std::string TargetPath(platform::FileSystem& files, std::string_view target) {
    std::string path = files.FullPathName(target);
    while (path.size() > 1 && path.back() == '\\' && !IsDriveRoot(path)) path.pop_back();
    return path;
}

// Records a target and everything below it. Its own record (kind 0 or 2)
// makes its node exist in the snapshot even while it is empty: without it a
// target that was empty before the installation and holds files after it
// would come out of the comparison as a created folder (and its drive as a
// created drive), and the uninstall would delete a folder that was there
// before. False when the target cannot be read (or is not there).
bool ScanTarget(ScanEnv& env, std::string_view target, TDBTree& dbTree) {
    if (target.empty()) return false;
    return ScanFolder(env, TargetPath(env.files, target), dbTree) == FolderState::kReadable;
}

}  // namespace

FolderState ScanFolder(ScanEnv& env, std::string_view path, TDBTree& dbTree) {
    FolderRecordWriter writer(dbTree);
    FolderWalk<FolderRecordWriter> walk(env.files, env.config.Settings.ExcludedFolders, env.worker, writer);
    return walk.Walk(path);
}

std::string GetProgramFilesDir(platform::Registry& registry) {
    platform::RegKey key;
    if (registry.OpenKey(platform::kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                         platform::kKeyRead, key) != platform::kErrorSuccess) {
        return {};
    }
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (registry.QueryValue(key, "ProgramFilesDir", type, data) != platform::kErrorSuccess ||
        (type != platform::kRegSz && type != platform::kRegExpandSz)) {
        return {};
    }
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

void ScanFileSystem(ScanEnv& env) {
    TDBTree dbTree = TDBTree::CreateEmpty(env.config.ProgramFolder, "FIS2");
    const TSettings& settings = env.config.Settings;
    if (settings.ScanEntire) {
        // The Windows and Program Files folders normally lie inside it.
        ScanTarget(env, env.config.SystemDriveRoot, dbTree);
    } else {
        if (settings.ScanWin) ScanTarget(env, env.config.WindowsFolder, dbTree);
        if (settings.ScanProg) ScanTarget(env, GetProgramFilesDir(env.registry), dbTree);
    }
    if (settings.ScanOthers) {
        // Items separated by ";"; the first empty item or the first one that
        // cannot be read ends the list.
        std::string_view rest = settings.ScanOtherPaths;
        while (true) {
            const std::size_t cut = rest.find(';');
            if (!ScanTarget(env, rest.substr(0, cut), dbTree) || cut == std::string_view::npos) break;
            rest.remove_prefix(cut + 1);
        }
    }
    dbTree.Save(env.files);
}

}  // namespace kelvora
