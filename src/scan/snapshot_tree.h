// The in-memory form of a snapshot: a tree of TNode (keys, folders) holding
// lists of TValori (registry values, files). Built either from a snapshot
// file or from a live walk, so both sides of a comparison have one shape.
//
// A tree of a million records must build and free fast, so every node, item,
// name and data block of one tree lives in one arena (SnapshotTree) and the
// whole tree is released at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kelvora {

// An item's name and data bytes follow it in the arena, so an item costs 24
// bytes besides them.
struct TValori {
    TValori* Next = nullptr;       // next item of the same node
    std::uint32_t NameLength = 0;
    std::int32_t DataType = 0;     // a value's registry type (REG_*); 3 for a file
    std::int32_t Size = 0;         // byte length of Data

    // The value name (empty: default value) or file name.
    std::string_view Name() const { return {reinterpret_cast<const char*>(this + 1), NameLength}; }
    // nullptr when Size is 0.
    const std::uint8_t* Data() const {
        return Size == 0 ? nullptr : reinterpret_cast<const std::uint8_t*>(this + 1) + NameLength;
    }
};

// A node's name follows it in the arena, so a node costs 32 bytes besides it
// (on 64-bit platforms).
struct TNode {
    TValori* Values = nullptr;     // first item
    TNode* FirstChild = nullptr;
    TNode* NextSibling = nullptr;
    std::uint32_t NameLength : 31 = 0;
    // The key or folder could not be read (a kind-2 record): nothing is
    // known of what it holds.
    std::uint32_t Unreadable : 1 = 0;
    // A registry key's last-write time in the rescan's live tree, in whole
    // seconds (FileTimeSeconds); 0 when unknown, and in trees read from a
    // snapshot file. It fills what would be padding.
    std::uint32_t LastWrite = 0;

    // One path component (or a whole relative path).
    std::string_view Name() const { return {reinterpret_cast<const char*>(this + 1), NameLength}; }
};

// A FILETIME in whole seconds since 1970, truncated; 0 for times before
// 1970 and for 0 (unknown); the largest value after 2106.
constexpr std::uint32_t FileTimeSeconds(std::uint64_t fileTime) {
    constexpr std::uint64_t k1970 = 116444736000000000ull;  // 1 January 1970 as a FILETIME
    if (fileTime <= k1970) return 0;
    const std::uint64_t seconds = (fileTime - k1970) / 10000000u;
    return seconds > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(seconds);
}

static_assert(sizeof(void*) != 8 || sizeof(TNode) == 32, "a node's last-write time must fit its padding");

// Owns every node, item, name and data block of one tree. Move-only.
class SnapshotTree {
public:
    SnapshotTree() = default;
    SnapshotTree(SnapshotTree&&) noexcept = default;
    SnapshotTree& operator=(SnapshotTree&&) noexcept = default;
    SnapshotTree(const SnapshotTree&) = delete;
    SnapshotTree& operator=(const SnapshotTree&) = delete;

    // The root: for a registry tree the node of the root key (empty name);
    // for a file-system tree the first drive node (its siblings are the other
    // drives). nullptr for an empty tree.
    TNode* Root = nullptr;

    // Allocation in the arena; names and data are copied.
    TNode* NewNode(std::string_view name);
    TValori* NewValue(std::string_view name, std::int32_t type, const std::uint8_t* data, std::int32_t size);

    // Takes over the arena of another tree (whose nodes this one's nodes
    // point to); other is left empty.
    void Adopt(SnapshotTree&& other);

    // Bytes held by the arena (for the benchmarks).
    std::size_t BytesReserved() const { return reserved_; }

private:
    void* Allocate(std::size_t size, std::size_t align);

    std::vector<std::unique_ptr<std::byte[]>> blocks_;
    std::byte* cursor_ = nullptr;
    std::size_t left_ = 0;
    std::size_t reserved_ = 0;
};

}  // namespace kelvora
