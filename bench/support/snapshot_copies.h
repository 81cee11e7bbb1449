// The snapshot files of one first scan, kept in memory so that every rescan
// of a benchmark starts from them (loading a snapshot deletes its file).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "scan/db_tree.h"

namespace kelvora::bench {

class SnapshotCopies {
public:
    // Keeps folder\name.SNS for each base name (those that exist).
    void Keep(platform::FileSystem& files, std::string_view folder, const std::vector<std::string>& baseNames) {
        copies_.clear();
        for (const std::string& name : baseNames) {
            std::pair<std::string, std::vector<std::uint8_t>> copy{FileInFolder(folder, name + ".SNS"), {}};
            if (files.ReadFile(copy.first, copy.second)) copies_.push_back(std::move(copy));
        }
    }
    // Writes them back.
    void Restore(platform::FileSystem& files) const {
        for (const auto& [path, bytes] : copies_) files.WriteFile(path, bytes.data(), bytes.size());
    }
    std::size_t Bytes() const {
        std::size_t total = 0;
        for (const auto& copy : copies_) total += copy.second.size();
        return total;
    }

private:
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> copies_;
};

}  // namespace kelvora::bench
