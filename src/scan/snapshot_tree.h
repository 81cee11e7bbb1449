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

struct TValori {
    std::string_view Name;         // value name (empty: default value) or file name
    const std::uint8_t* Data = nullptr;  // nullptr when Size is 0
    std::int32_t DataType = 0;     // a value's registry type (REG_*); 3 for a file
    std::int32_t Size = 0;         // byte length of Data
    TValori* Next = nullptr;       // next item of the same node
};

struct TNode {
    std::string_view Name;         // one path component (or a whole relative path)
    TValori* Values = nullptr;     // first item
    TNode* FirstChild = nullptr;
    TNode* NextSibling = nullptr;
};

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
    std::string_view CopyText(std::string_view text);

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
