// The changes tree's node storage, shared by its two source files only.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "changes/changes_tree.h"
#include "platform/text.h"

namespace kelvora {

// The frame's nodes are the first three of every fill.
inline constexpr NodeId kRootId = 0;
inline constexpr NodeId kFileSystemId = 1;
inline constexpr NodeId kRegistryId = 2;

// Nodes live in fixed-size chunks so that a node never moves.
inline constexpr unsigned kChunkBits = 12;
inline constexpr NodeId kChunkSize = NodeId{1} << kChunkBits;

// The first child of each name (ignoring case), for levels with many
// children: an open-addressing table of node ids, hashed by the children's
// own names, which never change while the child is in the level. A removal
// from the level drops its index; the next search builds it anew.
struct ChangesTree::ChildIndex {
    std::vector<NodeId> slots;  // a power of two in size; kNoNode is free
    std::size_t used = 0;
};

struct ChangesTree::Node {
    TNodeData Data;
    NodeId Parent = kNoNode;
    NodeId FirstChild = kNoNode;
    NodeId LastChild = kNoNode;
    NodeId Next = kNoNode;
    std::uint32_t ChildCount = 0;
    TCheckState Check = TCheckState::None;
    bool Alive = false;
    bool Grown = false;  // listed in the tree's grown_
    // A change of an archive that the ignore lists hold, shown on request:
    // a spread from another node never reaches it.
    bool Ignored = false;
};

// Beyond this many parents with new children, a reader is told to read the
// whole tree anew (it would cost about that much anyway).
inline constexpr std::size_t kMaxGrownListed = std::size_t{1} << 16;

// What a fill reads from the settings, copied when the fill starts.
struct ChangesTree::FillRules {
    TSortedList ExcludedFolders;
    TSortedList IgnoredFiles;
    TSortedList IgnoredKeys;
    // Per kind 1 to 9: the leaf starts checked (uninstall mode only).
    std::array<bool, 10> PreChecked{};
    // Uninstall mode: the changes the lists hold are placed too, unchecked.
    bool ShowIgnored = false;
};

inline ChangesTree::Node& ChangesTree::At(NodeId id) { return chunks_[id >> kChunkBits][id & (kChunkSize - 1)]; }

inline const ChangesTree::Node& ChangesTree::At(NodeId id) const {
    return chunks_[id >> kChunkBits][id & (kChunkSize - 1)];
}

}  // namespace kelvora
