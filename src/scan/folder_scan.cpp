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

}  // namespace

void ScanFolder(ScanEnv& env, TDBTree& dbTree) {
    FolderRecordWriter writer(dbTree);
    FolderWalk<FolderRecordWriter> walk(env.files, env.context.Settings.ExcludedFolders, env.worker, writer);
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

void ScanFileSystem(ScanEnv& env) {
    TDBTree dbTree = TDBTree::CreateEmpty("FIS2");
    {
        const CurrentDirGuard guard(env.files);
        const TSettings& settings = env.context.Settings;
        platform::FileSystem& files = env.files;

        if (settings.ScanEntire) {
            // The Windows and Program Files folders normally lie inside it.
            if (files.SetCurrentDir(env.context.SystemDriveRoot)) ScanFolder(env, dbTree);
        } else {
            if (settings.ScanWin && files.SetCurrentDir(env.context.WindowsFolder)) ScanFolder(env, dbTree);
            if (settings.ScanProg) {
                const std::string programFiles = GetProgramFilesDir(env.registry);
                if (!programFiles.empty() && files.SetCurrentDir(programFiles)) ScanFolder(env, dbTree);
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
                ScanFolder(env, dbTree);
                if (cut == std::string_view::npos) break;
                rest.remove_prefix(cut + 1);
            }
        }
    }
    dbTree.Save(env.files);
}

}  // namespace kelvora
