#include "scan/folder_scan.h"

#include <cstring>
#include <vector>

#include "scan/folder_walk.h"

namespace kelvora {

namespace {

class FolderRecordWriter {
public:
    explicit FolderRecordWriter(TDBTree& dbTree) : dbTree_(dbTree) {}
    void Folder(std::string_view path) { dbTree_.WriteRecord(path, {}, nullptr, 0, 0); }
    void File(std::string_view folderPath, std::string_view name, const std::uint8_t (&block)[8]) {
        dbTree_.WriteRecord(folderPath, name, block, 3, 8);
    }

private:
    TDBTree& dbTree_;
};

// Sets the current directory back to where it was, however the scan ends.
class CurrentDirGuard {
public:
    explicit CurrentDirGuard(platform::FileSystem& files) : files_(files), saved_(files.GetCurrentDir()) {}
    ~CurrentDirGuard() { files_.SetCurrentDir(saved_); }
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

private:
    platform::FileSystem& files_;
    std::string saved_;
};

// A record for the target folder itself, so that its node exists in the
// snapshot even while the folder is empty. Without it a target that was
// empty before the installation and holds files after it would come out of
// the comparison as a created folder (and its drive as a created drive), and
// the uninstall would delete a folder that was there before. A drive's root
// is written as "C:", as its files are.
void WriteTargetRecord(platform::FileSystem& files, TDBTree& dbTree) {
    std::string path = files.GetCurrentDir();
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\') path.resize(2);
    dbTree.WriteRecord(path, {}, nullptr, 0, 0);
}

}  // namespace

void ScanFolder(ScanEnv& env, TDBTree& dbTree) {
    FolderRecordWriter writer(dbTree);
    FolderWalk<FolderRecordWriter> walk(env.files, env.config.Settings.ExcludedFolders, env.worker, writer);
    walk.ScanCurrent();
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

namespace {

void ScanTarget(ScanEnv& env, TDBTree& dbTree) {
    WriteTargetRecord(env.files, dbTree);
    ScanFolder(env, dbTree);
}

}  // namespace

void ScanFileSystem(ScanEnv& env) {
    TDBTree dbTree = TDBTree::CreateEmpty(env.config.ProgramFolder, "FIS2");
    {
        const CurrentDirGuard guard(env.files);
        const TSettings& settings = env.config.Settings;
        platform::FileSystem& files = env.files;

        if (settings.ScanEntire) {
            // The Windows and Program Files folders normally lie inside it.
            if (files.SetCurrentDir(env.config.SystemDriveRoot)) ScanTarget(env, dbTree);
        } else {
            if (settings.ScanWin && files.SetCurrentDir(env.config.WindowsFolder)) ScanTarget(env, dbTree);
            if (settings.ScanProg) {
                const std::string programFiles = GetProgramFilesDir(env.registry);
                if (!programFiles.empty() && files.SetCurrentDir(programFiles)) ScanTarget(env, dbTree);
            }
        }
        if (settings.ScanOthers) {
            // Items separated by ";"; the first empty item or the first one
            // that cannot be entered ends the list.
            std::string_view rest = settings.ScanOtherPaths;
            while (true) {
                const std::size_t cut = rest.find(';');
                const std::string item(rest.substr(0, cut));
                if (item.empty() || !files.SetCurrentDir(item)) break;
                ScanTarget(env, dbTree);
                if (cut == std::string_view::npos) break;
                rest.remove_prefix(cut + 1);
            }
        }
    }
    dbTree.Save(env.files);
}

}  // namespace kelvora
