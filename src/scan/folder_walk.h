// The depth-first walk of a folder and everything below it, shared by the
// snapshot scan and the benchmarks. Each folder's path is made from its
// parent's path and its name, and each folder is listed as "<path>\*.*": the
// walk never uses the process's current directory (which the window's thread
// shares), so it works at any path length. It keeps its own stack of
// listings instead of recursing, so no depth of folders exhausts the thread's
// stack. What is done with each folder and file is the Visitor's:
//   void Folder(std::string_view path, bool readable);
//   void File(std::string_view folderPath, std::string_view name, const std::uint8_t (&block)[8]);
// and, optionally, bool HandOff(std::string_view path, std::size_t depth):
// true when the visitor takes the sub-folder at path (depth levels below
// the walk's folder) to be walked elsewhere (ordered_records.h); the walk
// then leaves it out.
// A folder's whole sub-tree follows its own record, entries in the order of
// the listing. A folder that exists but cannot be listed (access denied) is
// reported as not readable; one that vanished meanwhile is not reported.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "settings/settings.h"
#include "worker/worker_control.h"

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

// What became of a folder the walk came to.
enum class FolderState {
    kMissing,     // not there (or not a folder): not reported
    kUnreadable,  // there, but it cannot be listed: reported, nothing below it
    kReadable,    // reported and, unless excluded or a link, walked
};

template <class Visitor>
class FolderWalk {
public:
    FolderWalk(platform::FileSystem& files, const TSortedList& excludedFolders, IWorkerControl& worker,
               Visitor& visitor)
        : files_(files), excluded_(excludedFolders), worker_(worker), visitor_(visitor) {}

    // Reports the folder at path (a full path without a trailing backslash,
    // except for a drive's root) and walks everything below it.
    FolderState Walk(std::string_view path) {
        path_.assign(path);
        const FolderState state = Open(0, true);
        if (state != FolderState::kMissing) visitor_.Folder(path_, state == FolderState::kReadable);
        if (state != FolderState::kReadable || levels_[0].count == kNotListed) return state;

        std::size_t depth = 0;
        while (true) {
            Level& level = levels_[depth];
            if (level.next == level.count || worker_.Terminated()) {
                if (depth == 0) break;
                // Back in the parent, after the sub-folder's whole sub-tree.
                path_.resize(levels_[--depth].pathLength);
                worker_.PausePoint();
                continue;
            }
            const platform::FindEntry& entry = level.entries[level.next++];
            if (entry.IsFolder()) {
                if (path_.back() != '\\') path_.push_back('\\');
                path_.append(entry.name);
                // A junction or symbolic link is recorded but not followed:
                // one that points back up would make the walk endless.
                const bool follow = (entry.attributes & platform::kAttrReparsePoint) == 0;
                if constexpr (requires { visitor_.HandOff(std::string_view(), std::size_t{}); }) {
                    if (follow && visitor_.HandOff(path_, depth + 1)) {
                        path_.resize(level.pathLength);
                        worker_.PausePoint();
                        continue;
                    }
                }
                const FolderState state = Open(depth + 1, follow);
                if (state != FolderState::kMissing) visitor_.Folder(path_, state == FolderState::kReadable);
                if (state == FolderState::kReadable && levels_[depth + 1].count != kNotListed) {
                    ++depth;  // its pause point is passed when the walk comes back
                    continue;
                }
                path_.resize(level.pathLength);
            } else {
                // A drive's root folder gives its files the path C: (no backslash).
                const std::string_view filePath =
                    IsDriveRoot(path_) ? std::string_view(path_).substr(0, 2) : std::string_view(path_);
                FillFileBlock(entry, block_);
                visitor_.File(filePath, entry.name, block_);
            }
            worker_.PausePoint();
        }
        return FolderState::kReadable;
    }

private:
    static constexpr std::size_t kNotListed = static_cast<std::size_t>(-1);

    // One listing of the stack; its buffers are kept per depth so that their
    // strings are reused.
    struct Level {
        std::vector<platform::FindEntry> entries;
        std::size_t count = 0;
        std::size_t next = 0;
        std::size_t pathLength = 0;  // of the folder's path in path_
    };

    // Lists the folder at path_ into the level of that depth, whole, before
    // anything below it is entered. A folder that is excluded or not to be
    // followed is only tested for being readable (count kNotListed).
    FolderState Open(std::size_t depth, bool follow) {
        if (levels_.size() <= depth) levels_.emplace_back();
        Level& level = levels_[depth];
        level.count = 0;
        level.next = 0;
        level.pathLength = path_.size();
        pattern_.assign(path_);
        if (pattern_.back() != '\\') pattern_.push_back('\\');
        pattern_.append("*.*");
        bool listed;
        if (!follow || excluded_.Contains(path_)) {
            level.count = kNotListed;
            listed = files_.List(pattern_, [](const platform::FindEntry&) { return false; });
        } else {
            listed = files_.List(pattern_, [&level](const platform::FindEntry& entry) {
                if (entry.name == "." || entry.name == "..") return true;
                if (level.count < level.entries.size()) {
                    level.entries[level.count] = entry;
                } else {
                    level.entries.push_back(entry);
                }
                ++level.count;
                return true;
            });
        }
        if (listed) return FolderState::kReadable;
        level.count = 0;
        return files_.FolderExists(path_) ? FolderState::kUnreadable : FolderState::kMissing;
    }

    platform::FileSystem& files_;
    const TSortedList& excluded_;
    IWorkerControl& worker_;
    Visitor& visitor_;
    std::deque<Level> levels_;
    std::string path_;     // the folder being listed or walked
    std::string pattern_;  // path_ with "\*.*"
    std::uint8_t block_[8] = {};
};

}  // namespace kelvora
