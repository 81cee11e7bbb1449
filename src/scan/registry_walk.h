// The depth-first walk of one registry key and everything below it, shared by
// the snapshot scan (ScanKey), the rescan (ReadKey) and the benchmarks. What
// is done with each key and value is the Visitor's:
//   void BeginKey(std::string_view path, std::string_view nodeName, bool unreadable,
//                 std::uint64_t lastWriteTime);
//   void Value(std::string_view path, std::string_view name, std::uint32_t type,
//              const std::uint8_t* data, std::int32_t size);
// where type is the value's registry type (REG_*) as enumerated.
//   void EndKey();
// and, optionally,
//   bool HandOff(std::string_view path, std::string_view nodeName, std::size_t depth,
//                std::uint64_t lastWriteTime);
// true when the visitor takes the sub-key at path (depth levels below the
// walk's key) to be walked elsewhere; the walk then leaves it out.
// Every key is recorded (BeginKey/EndKey), also one that is skipped or cannot
// be opened (unreadable); such a key gets no values and no sub-keys. A key's
// last-write time (a FILETIME) comes with the enumeration of its parent; the
// walk's first key has none (0).
//
// Each sub-key is opened through its parent's open handle, so a key is read
// however long its full path is. The walk keeps its own stack of open keys
// (no recursion), so no depth of keys can exhaust the thread's stack.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/registry_path.h"
#include "platform/text.h"
#include "scan/db_tree.h"
#include "scan/scan_env.h"
#include "worker/worker_control.h"

namespace kelvora {

// True for the keys that are recorded but not walked: the classes key under
// HKEY_LOCAL_MACHINE while HKEY_CLASSES_ROOT is scanned too, the current
// user's keys under HKEY_USERS while HKEY_CURRENT_USER is scanned too (so
// each change is listed, and undone, once), and the program's own settings
// key wherever it is reached.
bool IsSkippedKey(platform::RootKey root, std::string_view keyPath, const ScanConfig& config);

template <class Visitor>
class RegistryWalk {
public:
    RegistryWalk(platform::Registry& registry, platform::RootKey root, const ScanConfig& config,
                 IWorkerControl& worker, Visitor& visitor)
        : registry_(registry), root_(root), config_(config), worker_(worker), visitor_(visitor) {}

    void Walk(std::string_view keyPath, std::string_view nodeName) {
        path_.assign(keyPath);
        platform::RegKey key;
        const bool skipped = IsSkippedKey(root_, path_, config_);
        const bool unreadable = !skipped && platform::OpenKeyPath(registry_, root_, path_, platform::kKeyRead,
                                                                  key) != platform::kErrorSuccess;
        EnterKey(nodeName, std::move(key), unreadable, path_.size(), 0);
        WalkSubKeys();
    }

private:
    static constexpr std::uint32_t kFirstSize = 1024;
    // Value names have at most 16383 characters, up to three bytes each here.
    static constexpr std::uint32_t kLongestName = 65536;
    static constexpr int kMaxRetries = 8;

    // A key being walked: its open handle, the index of the sub-key to
    // enumerate next, and the length of its parent's path.
    struct Level {
        platform::RegKey key;
        std::uint32_t index = 0;
        std::size_t parentLength = 0;
    };

    // Records the key at path_ and its values. An open key is stacked so its
    // sub-keys are walked next (answers true); any other ends here.
    bool EnterKey(std::string_view nodeName, platform::RegKey key, bool unreadable, std::size_t parentLength,
                  std::uint64_t lastWriteTime) {
        visitor_.BeginKey(path_, nodeName, unreadable, lastWriteTime);
        if (!key.IsOpen()) {
            visitor_.EndKey();
            return false;
        }
        WalkValues(key);
        levels_.push_back(Level{std::move(key), 0, parentLength});
        return true;
    }

    // Walks the sub-keys of the stacked keys, deepest first, until the stack
    // is empty. A key stays open while its sub-keys are walked.
    void WalkSubKeys() {
        while (!levels_.empty()) {
            std::uint32_t nameLen = 0;
            if (worker_.Terminated() || !NextSubKey(levels_.back(), nameLen)) {
                visitor_.EndKey();
                const std::size_t parentLength = levels_.back().parentLength;
                levels_.pop_back();
                if (!levels_.empty()) NextSibling(parentLength);
                continue;
            }
            const std::size_t parentLength = path_.size();
            // A snapshot record holds a path of at most dbMaxPathLength
            // bytes. A key deeper than that (only a hostile registry has
            // one) is left out of both forms of the walk alike, so it never
            // shows as a change.
            if ((parentLength == 0 ? 0 : parentLength + 1) + nameLen > dbMaxPathLength) {
                NextSibling(parentLength);
                continue;
            }
            if (!path_.empty()) path_.push_back('\\');
            // The child's name is read from keyName_ before the child
            // enumerates anything into it.
            const std::string_view name(keyName_.data(), nameLen);
            path_.append(name);
            // A visitor that walks on several threads may take the sub-key
            // away to be walked elsewhere (ordered_records.h).
            if constexpr (requires { visitor_.HandOff(path_, name, std::size_t{}, lastWrite_); }) {
                if (visitor_.HandOff(path_, name, levels_.size(), lastWrite_)) {
                    NextSibling(parentLength);
                    continue;
                }
            }
            platform::RegKey child;
            const bool skipped = IsSkippedKey(root_, path_, config_);
            const bool unreadable = !skipped && registry_.OpenKey(levels_.back().key, name, platform::kKeyRead,
                                                                  child) != platform::kErrorSuccess;
            if (!EnterKey(name, std::move(child), unreadable, parentLength, lastWrite_)) NextSibling(parentLength);
        }
    }

    // After a sub-key and everything below it: back to its parent's path,
    // on to the parent's next sub-key.
    void NextSibling(std::size_t parentLength) {
        path_.resize(parentLength);
        worker_.PausePoint();
        ++levels_.back().index;
    }

    // Enumerates the level's next sub-key name into keyName_; false at the end.
    bool NextSubKey(const Level& level, std::uint32_t& nameLen) {
        for (;;) {
            nameLen = static_cast<std::uint32_t>(keyName_.size());
            const long result = registry_.EnumKey(level.key, level.index, keyName_.data(), nameLen, &lastWrite_);
            if (result == platform::kErrorMoreData && keyName_.size() < kLongestName) {
                keyName_.resize(kLongestName);
                continue;
            }
            return result == platform::kErrorSuccess;
        }
    }

    void WalkValues(const platform::RegKey& key) {
        std::uint32_t index = 0;
        int retries = 0;
        while (!worker_.Terminated()) {
            std::uint32_t nameLen = static_cast<std::uint32_t>(name_.size());
            std::uint32_t dataLen = static_cast<std::uint32_t>(data_.size());
            std::uint32_t type = 0;
            const long result = registry_.EnumValue(key, index, name_.data(), nameLen, type, data_.data(), dataLen);
            if (result == platform::kErrorMoreData) {
                // The name or the data did not fit: make room and ask again for
                // the same value. A value that keeps growing while we ask is
                // given up after a few rounds, and the next one is read.
                if (++retries <= kMaxRetries) {
                    GrowValueBuffers(dataLen);
                } else {
                    retries = 0;
                    ++index;
                }
                continue;
            }
            if (result != platform::kErrorSuccess) break;
            retries = 0;
            visitor_.Value(path_, std::string_view(name_.data(), nameLen), type, data_.data(),
                           static_cast<std::int32_t>(dataLen));
            worker_.PausePoint();
            ++index;
        }
    }

    void GrowValueBuffers(std::uint32_t neededData) {
        if (neededData > data_.size()) {
            data_.resize(neededData);
        } else {
            // The data fitted (or its size is unknown): the name was too long,
            // which Windows reports without the length it needs.
            if (name_.size() < kLongestName) name_.resize(kLongestName);
            data_.resize(data_.size() * 2);
        }
    }

    platform::Registry& registry_;
    platform::RootKey root_;
    const ScanConfig& config_;
    IWorkerControl& worker_;
    Visitor& visitor_;
    // One set of buffers serves the whole walk: names and data are consumed
    // (written or copied) before the next enumeration call.
    std::string path_;
    std::vector<char> name_ = std::vector<char>(kFirstSize);
    std::vector<std::uint8_t> data_ = std::vector<std::uint8_t>(kFirstSize);
    std::vector<char> keyName_ = std::vector<char>(kFirstSize);
    std::uint64_t lastWrite_ = 0;  // of the sub-key last enumerated
    std::vector<Level> levels_;  // the keys being walked, outermost first
};

}  // namespace kelvora
