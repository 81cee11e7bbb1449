// Where the comparisons put what they find: the changes tree. The engine
// knows the tree only through this interface, which the tree implements.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "changes/node_data.h"
#include "platform/platform.h"

namespace kelvora {

// The change kinds (ckRegKeyCreated ... ckFileMovedTo) are those of the
// changes tree, stored in archives.

// One difference found by a comparison. The data blocks move into the tree.
struct ChangeRecord {
    std::int32_t Kind = 0;
    platform::RootKey RootKey = 0;
    std::int32_t ValueType = 0;
    std::string Path;
    std::vector<std::uint8_t> OldData;
    std::vector<std::uint8_t> NewData;
};

class IChangeSink {
public:
    virtual ~IChangeSink() = default;

    // Places one record below the branch nodes named by placementPath.
    virtual void AddToTree(std::string_view placementPath, std::string_view name, ChangeRecord&& record) = 0;

    // One node of the "File System" branch as the moved-file detection sees
    // it: its kind may be rewritten, everything else is read only.
    struct NodeView {
        std::int32_t& Kind;
        std::string_view Name;
        std::basic_string_view<std::uint8_t> OldData;
        std::basic_string_view<std::uint8_t> NewData;
    };
    // Visits the "File System" branch node and everything below it, depth
    // first (a node before its children, children in order), until visit
    // answers false.
    virtual void VisitFileSystemBranch(const std::function<bool(NodeView&)>& visit) = 0;
};

}  // namespace kelvora
