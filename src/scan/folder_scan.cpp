#include "scan/folder_scan.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"
#include "scan/ordered_records.h"

namespace kelvora {

namespace {

// Writes the records to a snapshot, or to a part of one that several
// threads write (then it hands sub-folders off when the part wants it).
class FolderRecordWriter {
public:
    explicit FolderRecordWriter(TDBTree& dbTree, PartWriter* part = nullptr, std::size_t depth = 0)
        : dbTree_(dbTree), part_(part), depth_(depth) {}
    // A drive's root is written as "C:", as its files are.
    void Folder(std::string_view path, bool readable) {
        if (IsDriveRoot(path)) path.remove_suffix(1);
        dbTree_.WriteRecord(path, {}, nullptr, readable ? dbKindKey : dbKindUnreadable, 0);
        if (part_ != nullptr) part_->Wrote();
    }
    void File(std::string_view folderPath, std::string_view name, const std::uint8_t (&block)[8]) {
        dbTree_.WriteRecord(folderPath, name, block, dbKindRaw, 8);
        if (part_ != nullptr) part_->Wrote();
    }
    bool HandOff(std::string_view path, std::size_t depth) {
        return part_ != nullptr && part_->HandOff(path, depth_ + depth);
    }

private:
    TDBTree& dbTree_;
    PartWriter* part_;
    std::size_t depth_;  // of the walk's folder below the target
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
bool ScanTarget(ScanEnv& env, std::string_view target, TDBTree& dbTree, TWorkerPool* pool) {
    if (target.empty()) return false;
    return ScanFolder(env, TargetPath(env.files, target), dbTree, pool) == FolderState::kReadable;
}

}  // namespace

FolderState ScanFolder(ScanEnv& env, std::string_view path, TDBTree& dbTree, TWorkerPool* pool) {
    if (pool == nullptr || !pool->Parallel()) {
        FolderRecordWriter writer(dbTree);
        FolderWalk<FolderRecordWriter> walk(env.files, env.config.Settings.ExcludedFolders, env.worker, writer);
        return walk.Walk(path);
    }
    FolderState state = FolderState::kMissing;
    const auto stream = std::make_shared<TOrderedRecords>(
        *pool, env.worker, dbTree,
        [&env, &state](PartWriter& part, const std::string& at, std::size_t depth, IWorkerControl& control) {
            FolderRecordWriter writer(part.Records(), &part, depth);
            FolderWalk<FolderRecordWriter> walk(env.files, env.config.Settings.ExcludedFolders, control, writer);
            const FolderState walked = walk.Walk(at);
            if (depth == 0) state = walked;  // the target's own walk, on this thread
        });
    stream->Run(std::string(path));
    return state;
}

std::vector<std::string> GetProgramFilesDirs(platform::Registry& registry) {
    std::vector<std::string> folders;
    platform::RegKey key;
    if (registry.OpenKey(platform::kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                         platform::kKeyRead, key) != platform::kErrorSuccess) {
        return folders;
    }
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    // On 64-bit Windows most setups are 32-bit programs that install into
    // the second folder.
    for (const char* value : {"ProgramFilesDir", "ProgramFilesDir (x86)"}) {
        if (registry.QueryValue(key, value, type, data) != platform::kErrorSuccess ||
            (type != platform::kRegSz && type != platform::kRegExpandSz)) {
            continue;
        }
        std::string folder(data.begin(), data.end());
        folder.resize(std::min(folder.size(), folder.find('\0')));
        while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        const bool known = std::any_of(folders.begin(), folders.end(),
                                       [&](const std::string& f) { return EqualsNoCase(f, folder); });
        if (!folder.empty() && !known) folders.push_back(std::move(folder));
    }
    return folders;
}

void ScanFileSystem(ScanEnv& env, TWorkerPool* pool) {
    TDBTree dbTree = TDBTree::CreateStreaming(env.files, env.config.ProgramFolder, "FIS2");
    const TSettings& settings = env.config.Settings;
    if (settings.ScanEntire) {
        // The Windows and Program Files folders normally lie inside it.
        ScanTarget(env, env.config.SystemDriveRoot, dbTree, pool);
    } else {
        if (settings.ScanWin) ScanTarget(env, env.config.WindowsFolder, dbTree, pool);
        if (settings.ScanProg) {
            for (const std::string& folder : GetProgramFilesDirs(env.registry)) ScanTarget(env, folder, dbTree, pool);
        }
    }
    if (settings.ScanOthers) {
        // Items separated by ";"; the first empty item or the first one that
        // cannot be read ends the list.
        std::string_view rest = settings.ScanOtherPaths;
        while (true) {
            const std::size_t cut = rest.find(';');
            if (!ScanTarget(env, rest.substr(0, cut), dbTree, pool) || cut == std::string_view::npos) break;
            rest.remove_prefix(cut + 1);
        }
    }
    dbTree.Save(env.files);
}

}  // namespace kelvora
