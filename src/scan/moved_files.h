// Moved files: after both folder passes, a deleted file (kind 11) and a
// created file (kind 9) with exactly the same name (letter case counts) and
// the same time-and-size text are one file that moved. The deleted one
// becomes the old place (kind 12), the created one the new place (kind 13).
// Deleted files are taken in walk order, each paired with the first created
// file not yet paired, in walk order; both leaves stay where they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "scan/change_sink.h"
#include "scan/scan_env.h"

namespace kelvora {

// The created files of the "File System" branch, indexed by name and text.
class MovedTwinIndex {
public:
    // Adds a created file; ordinal is its place in walk order.
    void AddCreated(std::size_t ordinal, std::string_view name, std::basic_string_view<std::uint8_t> newText);
    // Takes the first created file of that name and text not taken yet:
    // its ordinal, or npos when there is none.
    std::size_t FindMovedTwin(std::string_view name, std::basic_string_view<std::uint8_t> oldText);

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    struct Twins {
        std::vector<std::size_t> ordinals;  // in walk order
        std::size_t taken = 0;
    };
    static void MakeKey(std::string& key, std::string_view name, std::basic_string_view<std::uint8_t> text);

    std::unordered_map<std::string, Twins> twins_;
    std::string key_;
};

// Pairs the deleted and created files of the changes tree's "File System"
// branch. Ends early when a stop is requested; pairs made so far stay.
void DetectMoved(ScanEnv& env, IChangeSink& sink);

}  // namespace kelvora
