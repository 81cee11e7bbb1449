// The depth-first walk of the current directory and everything below it,
// shared by the snapshot scan (ScanFolder) and the benchmarks. It works
// through the process's current directory: each folder is entered by its
// name, listed with "*.*", and left again. What is done with each folder and
// file is the Visitor's:
//   void Folder(std::string_view path);
//   void File(std::string_view folderPath, std::string_view name, const std::uint8_t (&block)[8]);
// A folder's whole sub-tree follows its own record.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "scan/worker_control.h"
#include "settings/settings.h"

namespace kelvora {

// The 8 bytes recorded for a file: packed local last-write time, then the low
// 32 bits of the size, both little-endian.
inline void FillFileBlock(const platform::FindEntry& entry, std::uint8_t (&block)[8]) {
    const std::uint32_t time = entry.dosDateTime;
    const auto size = static_cast<std::uint32_t>(entry.size);
    for (int i = 0; i < 4; ++i) {
        block[i] = static_cast<std::uint8_t>(time >> (8 * i));
        block[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
}

// True for a drive's root folder such as C:\ .
inline bool IsDriveRoot(std::string_view dir) { return dir.size() == 3 && dir[1] == ':' && dir[2] == '\\'; }

template <class Visitor>
class FolderWalk {
public:
    FolderWalk(platform::FileSystem& files, const TSortedList& excludedFolders, IWorkerControl& worker,
               Visitor& visitor)
        : files_(files), excluded_(excludedFolders), worker_(worker), visitor_(visitor) {}

    // Records everything inside the current directory.
    void ScanCurrent() { ScanLevel(0); }

private:
    struct Level {
        std::vector<platform::FindEntry> entries;
        std::size_t count = 0;
    };

    void ScanLevel(std::size_t depth) {
        const std::string curDir = files_.GetCurrentDir();
        if (excluded_.Contains(curDir)) return;
        // A drive's root folder gives its files the path C: (no backslash).
        const std::string_view filePath =
            IsDriveRoot(curDir) ? std::string_view(curDir).substr(0, 2) : std::string_view(curDir);

        // The listing is read whole before anything below is entered, into a
        // buffer kept per depth so that its strings are reused.
        if (levels_.size() <= depth) levels_.emplace_back();
        Level& level = levels_[depth];
        level.count = 0;
        files_.List("*.*", [&level](const platform::FindEntry& entry) {
            if (entry.name == "." || entry.name == "..") return true;
            if (level.count < level.entries.size()) {
                level.entries[level.count] = entry;
            } else {
                level.entries.push_back(entry);
            }
            ++level.count;
            return true;
        });

        for (std::size_t i = 0; i < level.count && !worker_.Terminated(); ++i) {
            const platform::FindEntry& entry = level.entries[i];
            if (entry.IsFolder()) {
                if (files_.SetCurrentDir(entry.name)) {
                    folderPath_.assign(curDir);
                    if (folderPath_.empty() || folderPath_.back() != '\\') folderPath_.push_back('\\');
                    folderPath_.append(entry.name);
                    visitor_.Folder(folderPath_);
                    // A junction or symbolic link is recorded but not followed:
                    // one that points back up would make the walk endless.
                    if ((entry.attributes & platform::kAttrReparsePoint) == 0) ScanLevel(depth + 1);
                    // Without a way back the rest of this listing cannot be
                    // entered by name any more.
                    if (!files_.SetCurrentDir(curDir)) return;
                }
            } else {
                FillFileBlock(entry, block_);
                visitor_.File(filePath, entry.name, block_);
            }
            worker_.PausePoint();
        }
    }

    platform::FileSystem& files_;
    const TSortedList& excluded_;
    IWorkerControl& worker_;
    Visitor& visitor_;
    std::deque<Level> levels_;
    std::string folderPath_;
    std::uint8_t block_[8] = {};
};

}  // namespace kelvora
