#include "changes/text_export.h"

#include <algorithm>

#include "changes/activity.h"
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
// folder line was written for. The walk keeps its own stack (an archive may
// hold paths of thousands of levels) and one path text that grows and
// shrinks with it.
class DocumentWalk {
public:
    DocumentWalk(const ChangesTree::Access& tree, bool hexa, const CellWords& words, const platform::Collation& names,
                 const DocLineSink& emit)
        : tree_(tree), hexa_(hexa), words_(words), names_(names), emit_(emit) {}

    void Section(NodeId section) {
        const TNodeData& d = tree_.Data(section);
        emit_({DocLine::kSection, d.Kind, 0, d.Name, {}, {}, {}});
        for (NodeId child : tree_.SortedChildren(section, names_)) Walk(child, {});
    }

    // The lines of node and of everything below it; containing is the path
    // of the key or folder that holds node.
    void Walk(NodeId node, std::string_view containing) {
        std::string path(containing);
        Enter(node, path);
        while (!stack_.empty()) {
            Level& level = stack_.back();
            if (level.next == level.children.size()) {
                path.resize(level.pathLength);
                stack_.pop_back();
                continue;
            }
            Enter(level.children[level.next++], path);
        }
    }

private:
    // A node whose children are being walked: the children in walk order,
    // the next one to walk, and the length of the path text outside it.
    struct Level {
        std::vector<NodeId> children;
        std::size_t next = 0;
        std::size_t pathLength = 0;
    };

    // Writes node's own lines; a node with children becomes the innermost
    // level and adds its name to the path.
    void Enter(NodeId node, std::string& path) {
        OwnLines(node, path);
        if (tree_.FirstChild(node) == kNoNode) return;
        Level level;
        level.pathLength = path.size();
        level.children = tree_.SortedChildren(node, names_);
        // The plain values and files first, then keys, folders and branches.
        std::stable_partition(level.children.begin(), level.children.end(), [&](NodeId child) {
            return tree_.FirstChild(child) == kNoNode && !IsKeyOrFolderChange(tree_.Data(child).Kind);
        });
        if (!path.empty()) path += '\\';
        path += tree_.Data(node).Name;
        stack_.push_back(std::move(level));
    }

    void OwnLines(NodeId node, const std::string& path) {
        const TNodeData& d = tree_.Data(node);
        if (IsKeyOrFolderChange(d.Kind)) {
            remembered_ = JoinPath(path, d.Name);
            emit_({DocLine::kKeyOrFolder, d.Kind, d.ValueType, remembered_, {}, {}, {}, d.Activity});
            return;
        }
        if (d.Kind == ckDrive || d.Kind == ckPathBranch || !IsStoredKind(d.Kind)) return;
        if (remembered_ != path) {
            remembered_ = path;
            emit_({DocLine::kGroup, d.Kind, d.ValueType, path, {}, {}, {}});
        }
        const CellSource cells = SourceOf(d);
        std::string name = CellText(cells, 0, hexa_, words_);
        switch (d.Kind) {
            case ckRegValueChanged:
            case ckFileChanged:
                emit_({DocLine::kChanged, d.Kind, d.ValueType, std::move(name), CellText(cells, 1, hexa_, words_),
                       CellText(cells, 2, hexa_, words_), {}, d.Activity});
                break;
            case ckRegValueDeleted:
            case ckFileDeleted:
            case ckFileMovedFrom:
                emit_({DocLine::kItem, d.Kind, d.ValueType, std::move(name), {}, {}, CellText(cells, 1, hexa_, words_),
                       d.Activity});
                break;
            default:
                emit_({DocLine::kItem, d.Kind, d.ValueType, std::move(name), {}, {}, CellText(cells, 2, hexa_, words_),
                       d.Activity});
                break;
        }
    }

    const ChangesTree::Access& tree_;
    const bool hexa_;
    const CellWords& words_;
    const platform::Collation& names_;
    const DocLineSink& emit_;
    std::string remembered_;
    std::vector<Level> stack_;
};

// The names of a node's ancestors below "File System" or "Registry", joined
// from the top.
std::string ContainingPath(const ChangesTree::Access& tree, NodeId node) {
    std::vector<NodeId> ancestors;
    for (NodeId up = tree.Parent(node); up != kNoNode; up = tree.Parent(up)) ancestors.push_back(up);
    // The last two are "My Computer" and the section.
    std::string path;
    for (std::size_t i = ancestors.size(); i-- > 0;) {
        if (i + 2 >= ancestors.size()) continue;
        if (!path.empty()) path += '\\';
        path += tree.Data(ancestors[i]).Name;
    }
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

void ForEachDocLine(const ChangesTree::Access& tree, NodeId start, bool hexa, const CellWords& words,
                    const platform::Collation& names, const DocLineSink& each) {
    DocumentWalk walk(tree, hexa, words, names, each);
    const NodeId root = tree.Root();
    if (root == kNoNode) return;
    if (start == kNoNode || start == root) {
        const TNodeData& d = tree.Data(root);
        each({DocLine::kRoot, d.Kind, 0, d.Name, {}, {}, {}});
        walk.Section(tree.FileSystem());
        walk.Section(tree.Registry());
    } else if (start == tree.FileSystem() || start == tree.Registry()) {
        walk.Section(start);
    } else {
        walk.Walk(start, ContainingPath(tree, start));
    }
}

std::vector<DocLine> BuildDocument(const ChangesTree::Access& tree, NodeId start, bool hexa, const CellWords& words,
                                   const platform::Collation& names) {
    std::vector<DocLine> lines;
    ForEachDocLine(tree, start, hexa, words, names, [&lines](DocLine&& line) { lines.push_back(std::move(line)); });
    return lines;
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

std::string ExportHeading(std::string_view identifier, std::string_view dateTime) {
    std::string out = FormatText(TranslateString(RS_CHANGES), {identifier});
    out.append(kCrLf).append("Kelvora,    ").append(dateTime).append(kCrLf).append(kCrLf);
    return out;
}

void AppendExportLine(std::string& out, const DocLine& l, const MarkWords& marks) {
    auto line = [&out](std::string_view a, std::string_view b = {}, std::string_view c = {},
                       std::string_view d = {}, std::string_view e = {}) {
        out.append(a).append(b).append(c).append(d).append(e).append(kCrLf);
    };
    // Activity says why on the change's own line: "   [Activity: ...]".
    const std::string reason = l.Activity == arSetup ? std::string() : "   [" + ActivityReasonText(l.Activity) + "]";
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
            line("    ", MarkOf(l.Kind, marks), l.Text, reason);
            break;
        case DocLine::kGroup:
            line("    ", IsRegistryKind(l.Kind) ? marks.RegKey : marks.Folder, " ", l.Text);
            break;
        case DocLine::kItem:
            line("    ", MarkOf(l.Kind, marks), l.Text, " = ", l.Value + reason);
            break;
        case DocLine::kChanged:
            line("    ", MarkOf(l.Kind, marks), l.Text, reason);
            line("        ", l.Before, " ==> ", l.After);
            break;
    }
}

std::string ExportText(std::string_view identifier, std::string_view dateTime, const std::vector<DocLine>& lines,
                       const MarkWords& marks) {
    std::string out = ExportHeading(identifier, dateTime);
    for (const DocLine& l : lines) AppendExportLine(out, l, marks);
    return out;
}

bool ExportChanges(platform::FileSystem& files, const platform::Collation& names, std::string_view path,
                   const ChangesTree::Access& tree, NodeId start, std::string_view identifier,
                   std::string_view dateTime, bool hexa) {
    const std::string text =
        ExportText(identifier, dateTime, BuildDocument(tree, start, hexa, CellWords::Translated(), names),
                   MarkWords::Translated());
    return files.WriteFileAtomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace kelvora
