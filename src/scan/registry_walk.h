// The depth-first walk of one registry key and everything below it, shared by
// the snapshot scan (ScanKey), the rescan (ReadKey) and the benchmarks. What
// is done with each key and value is the Visitor's:
//   void BeginKey(std::string_view path, std::string_view nodeName);
//   void Value(std::string_view path, std::string_view name, std::uint32_t type,
//              const std::uint8_t* data, std::int32_t size);
// where type is the value's registry type (REG_*) as enumerated.
//   void EndKey();
// Every key is recorded (BeginKey/EndKey), also one that is skipped or cannot
// be opened; such a key gets no values and no sub-keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"
#include "scan/worker_control.h"
#include "settings/settings.h"

namespace kelvora {

// True for the keys that are recorded but not walked: the classes key under
// HKEY_LOCAL_MACHINE while HKEY_CLASSES_ROOT is scanned too, and the
// program's own settings key.
bool IsSkippedKey(platform::RootKey root, std::string_view keyPath, const TSettings& settings);

template <class Visitor>
class RegistryWalk {
public:
    RegistryWalk(platform::Registry& registry, platform::RootKey root, const TSettings& settings,
                 IWorkerControl& worker, Visitor& visitor)
        : registry_(registry), root_(root), settings_(settings), worker_(worker), visitor_(visitor) {}

    void Walk(std::string_view keyPath, std::string_view nodeName) {
        path_.assign(keyPath);
        WalkKey(nodeName);
    }

private:
    static constexpr std::uint32_t kFirstSize = 1024;
    // Value names have at most 16383 characters, up to three bytes each here.
    static constexpr std::uint32_t kLongestName = 65536;
    static constexpr int kMaxRetries = 8;

    void WalkKey(std::string_view nodeName) {
        platform::RegKey key;
        const bool open = !IsSkippedKey(root_, path_, settings_) &&
                          registry_.OpenKey(root_, path_, platform::kKeyRead, key) == platform::kErrorSuccess;
        visitor_.BeginKey(path_, nodeName);
        if (open) {
            WalkValues(key);
            WalkSubKeys(key);
        }
        visitor_.EndKey();
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

    void WalkSubKeys(const platform::RegKey& key) {
        std::uint32_t index = 0;
        while (!worker_.Terminated()) {
            std::uint32_t nameLen = static_cast<std::uint32_t>(keyName_.size());
            const long result = registry_.EnumKey(key, index, keyName_.data(), nameLen);
            if (result == platform::kErrorMoreData && keyName_.size() < kLongestName) {
                keyName_.resize(kLongestName);
                continue;
            }
            if (result != platform::kErrorSuccess) break;
            const std::size_t parentLength = path_.size();
            if (!path_.empty()) path_.push_back('\\');
            path_.append(keyName_.data(), nameLen);
            // The child's name is read from keyName_ before the child
            // enumerates anything into it.
            WalkKey(std::string_view(keyName_.data(), nameLen));
            path_.resize(parentLength);
            worker_.PausePoint();
            ++index;
        }
    }

    platform::Registry& registry_;
    platform::RootKey root_;
    const TSettings& settings_;
    IWorkerControl& worker_;
    Visitor& visitor_;
    // One set of buffers serves the whole walk: names and data are consumed
    // (written or copied) before the next enumeration call.
    std::string path_;
    std::vector<char> name_ = std::vector<char>(kFirstSize);
    std::vector<std::uint8_t> data_ = std::vector<std::uint8_t>(kFirstSize);
    std::vector<char> keyName_ = std::vector<char>(kFirstSize);
};

}  // namespace kelvora
