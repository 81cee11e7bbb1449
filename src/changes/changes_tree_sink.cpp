#include "changes/changes_tree_sink.h"

namespace kelvora {

namespace {

std::basic_string_view<std::uint8_t> BlockView(const DataBlock& block, std::int32_t size) {
    if (!block.Present() || size <= 0) return {};
    return {block.Get(), static_cast<std::size_t>(size)};
}

// Pre-order from node; false once visit has asked to stop.
bool VisitFrom(ChangesTree::Access& tree, NodeId node, const std::function<bool(IChangeSink::NodeView&)>& visit) {
    const TNodeData& data = tree.Data(node);
    std::int32_t kind = data.Kind;
    IChangeSink::NodeView view{kind, data.Name, BlockView(data.OldData, data.OldSize),
                               BlockView(data.NewData, data.NewSize)};
    const bool goOn = visit(view);
    if (kind != data.Kind) tree.SetKind(node, static_cast<TChangeKind>(kind));
    if (!goOn) return false;
    for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child)) {
        if (!VisitFrom(tree, child, visit)) return false;
    }
    return true;
}

}  // namespace

void ChangesTreeSink::AddToTree(std::string_view placementPath, std::string_view name, ChangeRecord&& record) {
    TNodeData data;
    data.Kind = static_cast<TChangeKind>(record.Kind);
    data.RootKey = record.RootKey;
    data.ValueType = record.ValueType;
    data.Path = std::move(record.Path);
    data.SetOld(record.OldData.data(), record.OldData.size());
    data.SetNew(record.NewData.data(), record.NewData.size());
    tree_.AddToTree(placementPath, name, std::move(data));
}

void ChangesTreeSink::VisitFileSystemBranch(const std::function<bool(NodeView&)>& visit) {
    ChangesTree::Access tree = tree_.Lock();
    const NodeId fileSystem = tree.FileSystem();
    if (fileSystem != kNoNode) VisitFrom(tree, fileSystem, visit);
}

}  // namespace kelvora
