#include "changes/archive_save.h"

#include <string>
#include <vector>

namespace kelvora {

namespace {

// The text ParentPath + "\" + Name; for an empty ParentPath a backslash and
// the name (a key directly below its root key).
std::string FullName(std::string_view parentPath, const std::string& name) {
    std::string full;
    full.reserve(parentPath.size() + 1 + name.size());
    full.append(parentPath).append(1, '\\').append(name);
    return full;
}

// A value's data block with its count; a missing block is written as empty.
void WriteSizedBlock(TChgArchive& archive, const DataBlock& block, std::int32_t size) {
    if (!block.Present() || size < 0) size = 0;
    archive.WriteInt(size);
    archive.WriteBlock(block.Get(), static_cast<std::size_t>(size));
}

std::int32_t BlockInt(const DataBlock& block, std::int32_t size) {
    if (!block.Present() || size < 4) return 0;
    const std::uint8_t* p = block.Get();
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                     std::uint32_t{p[3]} << 24);
}

}  // namespace

void WriteNodeRecord(TChgArchive& archive, const TNodeData& data, std::string_view parentPath) {
    const std::int32_t kind = data.Kind;
    if (!IsStoredKind(kind)) return;
    if (data.Activity != arSetup) archive.WriteInt(static_cast<std::int32_t>(kActivityMark | data.Activity));
    archive.WriteInt(kind);
    if (IsRegistryKind(kind)) archive.WriteInt(static_cast<std::int32_t>(data.RootKey));
    switch (kind) {
        case ckRegKeyCreated:
        case ckRegKeyDeleted:
        case ckFolderCreated:
        case ckFolderDeleted:
            archive.WriteStr(FullName(parentPath, data.Name));
            break;
        case ckRegValueCreated:
        case ckRegValueChanged:
            archive.WriteStr(parentPath);
            archive.WriteStr(data.Name);
            archive.WriteInt(data.ValueType);
            WriteSizedBlock(archive, data.NewData, data.NewSize);
            if (kind == ckRegValueChanged) WriteSizedBlock(archive, data.OldData, data.OldSize);
            break;
        case ckRegValueDeleted:
            archive.WriteStr(parentPath);
            archive.WriteStr(data.Name);
            archive.WriteInt(data.ValueType);
            WriteSizedBlock(archive, data.OldData, data.OldSize);
            break;
        case ckSharedCounterIncremented:
            archive.WriteStr(parentPath);
            archive.WriteStr(data.Name);
            archive.WriteInt(data.ValueType);
            if (data.ValueType == platform::kRegDword) {
                archive.WriteInt(BlockInt(data.NewData, data.NewSize));
            } else if (data.ValueType == platform::kRegSz) {
                archive.WriteStr(data.NewText());
            }
            break;
        case ckFileCreated:
        case ckFileMovedTo:
            archive.WriteStr(FullName(parentPath, data.Name));
            archive.WriteStr(data.NewText());
            break;
        case ckFileChanged:
            archive.WriteStr(FullName(parentPath, data.Name));
            archive.WriteStr(data.OldText());
            archive.WriteStr(data.NewText());
            break;
        case ckFileDeleted:
        case ckFileMovedFrom:
            archive.WriteStr(FullName(parentPath, data.Name));
            archive.WriteStr(data.OldText());
            break;
        default:
            break;
    }
}

// Pre-order by the links, without recursion (an archive may hold paths deep
// enough to exhaust the stack). path holds the ParentPath of the node being
// written; starts[k] is where the k-th ancestor below node appended its name.
void WriteSubtree(TChgArchive& archive, const ChangesTree::Access& tree, NodeId node, std::string_view parentPath) {
    std::string path(parentPath);
    std::vector<std::size_t> starts;
    NodeId current = node;
    for (;;) {
        WriteNodeRecord(archive, tree.Data(current), path);
        const NodeId child = tree.FirstChild(current);
        if (child != kNoNode) {
            starts.push_back(path.size());
            if (!path.empty()) path += '\\';
            path += tree.Data(current).Name;
            current = child;
            continue;
        }
        while (current != node && tree.NextSibling(current) == kNoNode) {
            current = tree.Parent(current);
            path.resize(starts.back());
            starts.pop_back();
        }
        if (current == node) return;
        current = tree.NextSibling(current);
    }
}

void BuildArchive(ChangesTree& tree, TChgArchive& archive) {
    archive.CreateNew();
    {
        const ChangesTree::Access access = tree.Lock();
        if (access.Root() != kNoNode) {
            // Below "Registry" the root key branches are not written and
            // their names are not part of any path.
            for (NodeId rootKey = access.FirstChild(access.Registry()); rootKey != kNoNode;
                 rootKey = access.NextSibling(rootKey)) {
                for (NodeId child = access.FirstChild(rootKey); child != kNoNode; child = access.NextSibling(child)) {
                    WriteSubtree(archive, access, child, {});
                }
            }
            for (NodeId drive = access.FirstChild(access.FileSystem()); drive != kNoNode;
                 drive = access.NextSibling(drive)) {
                WriteSubtree(archive, access, drive, {});
            }
        }
    }
}

void SaveChangesTree(ChangesTree& tree, TChgArchive& archive) {
    BuildArchive(tree, archive);
    archive.Save();
}

}  // namespace kelvora
