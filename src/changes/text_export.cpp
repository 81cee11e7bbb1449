#include "changes/text_export.h"

#include "translation/messages.h"

namespace kelvora {

namespace {

bool IsKeyOrFolderChange(std::int32_t kind) {
    return kind == ckRegKeyCreated || kind == ckRegKeyDeleted || kind == ckFolderCreated || kind == ckFolderDeleted;
}

std::string JoinPath(std::string_view path, std::string_view name) {
    std::string joined(path);
    if (!joined.empty()) joined += '\\';
    joined += name;
    return joined;
}

CellSource SourceOf(const TNodeData& d) {
    return {d.Kind, d.Name, d.OldData.Get(), d.OldSize, d.NewData.Get(), d.NewSize, d.ValueType};
}

// One job's walk; the remembered path is the last path a group, key or
// folder line was written for.
class DocumentWalk {
public:
    DocumentWalk(const ChangesTree::Access& tree, bool hexa, const CellWords& words)
        : tree_(tree), hexa_(hexa), words_(words) {}

    void Section(NodeId section) {
        const TNodeData& d = tree_.Data(section);
        lines_.push_back({DocLine::kSection, d.Kind, 0, d.Name, {}, {}, {}});
        for (NodeId child : tree_.SortedChildren(section)) Walk(child, {});
    }

    void Walk(NodeId node, const std::string& path) {
        OwnLines(node, path);
        const std::string inner = JoinPath(path, tree_.Data(node).Name);
        const std::vector<NodeId> children = tree_.SortedChildren(node);
        std::vector<NodeId> later;
        for (NodeId child : children) {
            if (tree_.FirstChild(child) == kNoNode && !IsKeyOrFolderChange(tree_.Data(child).Kind)) {
                Walk(child, inner);
            } else {
                later.push_back(child);
            }
        }
        for (NodeId child : later) Walk(child, inner);
    }

    std::vector<DocLine> Take() { return std::move(lines_); }

private:
    void OwnLines(NodeId node, const std::string& path) {
        const TNodeData& d = tree_.Data(node);
        if (IsKeyOrFolderChange(d.Kind)) {
            remembered_ = JoinPath(path, d.Name);
            lines_.push_back({DocLine::kKeyOrFolder, d.Kind, d.ValueType, remembered_, {}, {}, {}});
            return;
        }
        if (d.Kind == ckDrive || d.Kind == ckPathBranch || !IsStoredKind(d.Kind)) return;
        if (remembered_ != path) {
            remembered_ = path;
            lines_.push_back({DocLine::kGroup, d.Kind, d.ValueType, path, {}, {}, {}});
        }
        const CellSource cells = SourceOf(d);
        std::string name = CellText(cells, 0, hexa_, words_);
        switch (d.Kind) {
            case ckRegValueChanged:
            case ckFileChanged:
                lines_.push_back({DocLine::kChanged, d.Kind, d.ValueType, std::move(name),
                                  CellText(cells, 1, hexa_, words_), CellText(cells, 2, hexa_, words_), {}});
                break;
            case ckRegValueDeleted:
            case ckFileDeleted:
            case ckFileMovedFrom:
                lines_.push_back({DocLine::kItem, d.Kind, d.ValueType, std::move(name), {}, {},
                                  CellText(cells, 1, hexa_, words_)});
                break;
            default:
                lines_.push_back({DocLine::kItem, d.Kind, d.ValueType, std::move(name), {}, {},
                                  CellText(cells, 2, hexa_, words_)});
                break;
        }
    }

    const ChangesTree::Access& tree_;
    const bool hexa_;
    const CellWords& words_;
    std::string remembered_;
    std::vector<DocLine> lines_;
};

// The names of a node's ancestors below "File System" or "Registry", joined
// from the top.
std::string ContainingPath(const ChangesTree::Access& tree, NodeId node) {
    std::vector<NodeId> ancestors;
    for (NodeId up = tree.Parent(node); up != kNoNode && tree.Level(up) >= 2; up = tree.Parent(up)) {
        ancestors.push_back(up);
    }
    std::string path;
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) path = JoinPath(path, tree.Data(*it).Name);
    return path;
}

constexpr std::string_view kRule = "===============";
constexpr std::string_view kCrLf = "\r\n";

}  // namespace

MarkWords MarkWords::Translated() {
    return {TranslateString(RS_REG_KEY),      TranslateString(RS_REG_VAL),    TranslateString(RS_FILE),
            TranslateString(RS_FOLDER),       TranslateString(RS_MOVED_SOURCE), TranslateString(RS_MOVED_DEST),
            TranslateString(RS_SH_INC)};
}

std::vector<DocLine> BuildDocument(const ChangesTree::Access& tree, NodeId start, bool hexa, const CellWords& words) {
    DocumentWalk walk(tree, hexa, words);
    const NodeId root = tree.Root();
    if (root == kNoNode) return {};
    if (start == kNoNode || start == root) {
        std::vector<DocLine> lines;
        const TNodeData& d = tree.Data(root);
        walk.Section(tree.FileSystem());
        walk.Section(tree.Registry());
        lines.push_back({DocLine::kRoot, d.Kind, 0, d.Name, {}, {}, {}});
        for (DocLine& line : walk.Take()) lines.push_back(std::move(line));
        return lines;
    }
    if (start == tree.FileSystem() || start == tree.Registry()) {
        walk.Section(start);
    } else {
        walk.Walk(start, ContainingPath(tree, start));
    }
    return walk.Take();
}

std::string MarkOf(std::int32_t kind, const MarkWords& m) {
    switch (kind) {
        case ckRegKeyCreated: return "(+)" + m.RegKey + " ";
        case ckRegKeyDeleted: return "(-)" + m.RegKey + " ";
        case ckRegValueCreated: return "  (+)" + m.RegVal + " ";
        case ckRegValueChanged: return "  (*)" + m.RegVal + " ";
        case ckRegValueDeleted: return "  (-)" + m.RegVal + " ";
        case ckSharedCounterIncremented: return "  " + m.SharedInc + " " + m.RegVal + " ";
        case ckFolderCreated: return "(+)" + m.Folder + " ";
        case ckFolderDeleted: return "(-)" + m.Folder + " ";
        case ckFileCreated: return "  (+)" + m.File + " ";
        case ckFileChanged: return "  (*)" + m.File + " ";
        case ckFileDeleted: return "  (-)" + m.File + " ";
        case ckFileMovedFrom: return "  " + m.MovedFrom + m.File + " ";
        case ckFileMovedTo: return "  " + m.MovedTo + m.File + " ";
        default: return {};
    }
}

std::string ExportText(std::string_view identifier, std::string_view dateTime, const std::vector<DocLine>& lines,
                       const MarkWords& marks) {
    std::string out;
    auto line = [&out](std::string_view a, std::string_view b = {}, std::string_view c = {},
                       std::string_view d = {}, std::string_view e = {}) {
        out.append(a).append(b).append(c).append(d).append(e).append(kCrLf);
    };
    line(FormatText(TranslateString(RS_CHANGES), {identifier}));
    line("Kelvora,    ", dateTime);
    line({});
    for (const DocLine& l : lines) {
        switch (l.LineForm) {
            case DocLine::kRoot:
                line(l.Text);
                line(kRule);
                break;
            case DocLine::kSection:
                line({});
                line("  ", l.Text);
                line("  ", kRule);
                break;
            case DocLine::kKeyOrFolder:
                line("    ", MarkOf(l.Kind, marks), l.Text);
                break;
            case DocLine::kGroup:
                line("    ", IsRegistryKind(l.Kind) ? marks.RegKey : marks.Folder, " ", l.Text);
                break;
            case DocLine::kItem:
                line("    ", MarkOf(l.Kind, marks), l.Text, " = ", l.Value);
                break;
            case DocLine::kChanged:
                line("    ", MarkOf(l.Kind, marks), l.Text);
                line("        ", l.Before, " ==> ", l.After);
                break;
        }
    }
    return out;
}

bool ExportChanges(platform::FileSystem& files, std::string_view path, const ChangesTree::Access& tree,
                   NodeId start, std::string_view identifier, std::string_view dateTime, bool hexa) {
    const std::string text =
        ExportText(identifier, dateTime, BuildDocument(tree, start, hexa, CellWords::Translated()),
                   MarkWords::Translated());
    return files.WriteFileAtomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace kelvora
