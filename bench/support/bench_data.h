// Realistic registry and folder data for the scan benchmarks, made through
// the platform layer so that the same shapes can be built in the in-memory
// platform and in Wine's real registry and file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace kelvora::bench {

struct RegistryShape {
    std::size_t keys = 200000;      // all keys, the wide level included
    std::size_t values = 1000000;   // all values
    std::size_t wideLevel = 20000;  // sub-keys of one key, as HKEY_CLASSES_ROOT has
};

struct FolderShape {
    std::size_t folders = 10000;
    std::size_t files = 100000;
};

struct Counts {
    std::size_t keys = 0;
    std::size_t values = 0;
};

// A small deterministic generator (xorshift), so every run builds the same data.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed | 1) {}
    std::uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
    std::string Word(std::size_t minLength, std::size_t maxLength);

private:
    std::uint64_t state_;
};

// Fills the key at basePath (created) with the registry shape.
Counts FillRegistry(platform::Registry& registry, platform::RootKey root, const std::string& basePath,
                    const RegistryShape& shape);
// Changes about percent % of the values (created, changed, deleted in equal
// parts) and adds and removes about percent % of the keys.
void ChangeRegistry(platform::Registry& registry, platform::RootKey root, const std::string& basePath,
                    const RegistryShape& shape, double percent);

// Fills the folder basePath (created) with the folder shape.
Counts FillFolders(platform::FileSystem& files, const std::string& basePath, const FolderShape& shape);
// Creates, rewrites, deletes and moves about percent % of the files.
void ChangeFolders(platform::FileSystem& files, const std::string& basePath, const FolderShape& shape,
                   double percent);
// Removes the folder basePath and everything inside it (quicker under Wine
// than std::filesystem::remove_all, which asks each entry's status first).
void RemoveFolders(platform::FileSystem& files, const std::string& basePath);

}  // namespace kelvora::bench
