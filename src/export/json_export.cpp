#include "export/json_export.h"

#include "changes/value_type.h"
#include "export/change_walk.h"
#include "export/json_text.h"
#include "export/piece_writer.h"

namespace kelvora {

namespace {

void AppendField(std::string& out, std::string_view name) {
    out += ",\"";
    out += name;
    out += "\":";
}

// The data before (old) or after of a change, or null.
void AppendSide(std::string& out, const TNodeData& d, bool old) {
    const DataBlock& block = old ? d.OldData : d.NewData;
    const std::int32_t size = old ? d.OldSize : d.NewSize;
    switch (d.Kind) {
        case ckRegValueCreated:
        case ckRegValueChanged:
        case ckRegValueDeleted:
        case ckSharedCounterIncremented:
            // A counter's data before is known only right after the rescan.
            if (old ? !(d.Kind == ckRegValueChanged || d.Kind == ckRegValueDeleted || block.Present())
                    : d.Kind == ckRegValueDeleted) {
                out += "null";
                return;
            }
            AppendValueData(out, old ? TypeBefore(d.Kind, d.ValueType) : TypeAfter(d.Kind, d.ValueType), block.Get(),
                            size);
            return;
        case ckFileCreated:
        case ckFileChanged:
        case ckFileDeleted:
        case ckFileMovedFrom:
        case ckFileMovedTo:
            if (!block.Present()) {
                out += "null";
                return;
            }
            AppendFileState(out, BlockText(block, size));
            return;
        default:
            out += "null";
            return;
    }
}

void AppendChange(std::string& out, const ChangesTree::Access& tree, NodeId node, bool first) {
    const TNodeData& d = tree.Data(node);
    out += first ? "\n{" : ",\n{";
    out += "\"kind\":";
    AppendJsonString(out, JsonKindName(d.Kind));
    AppendField(out, "code");
    out += std::to_string(d.Kind);
    AppendField(out, "root");
    if (IsRegistryKind(d.Kind)) {
        AppendJsonString(out, RootKeyName(d.RootKey));
    } else {
        out += "null";
    }
    const std::string_view path = d.Path;
    AppendField(out, "path");
    AppendJsonString(out, path);
    AppendField(out, "name");
    AppendJsonString(out, d.Name);
    std::string full;
    if (IsRegistryKind(d.Kind)) full = RootKeyName(d.RootKey);
    for (std::string_view part : {path, std::string_view(d.Name)}) {
        if (part.empty()) continue;
        if (!full.empty()) full += '\\';
        full += part;
    }
    AppendField(out, "fullPath");
    AppendJsonString(out, full);
    AppendField(out, "before");
    AppendSide(out, d, true);
    AppendField(out, "after");
    AppendSide(out, d, false);
    AppendField(out, "checked");
    switch (tree.CheckState(node)) {
        case TCheckState::Checked: out += "true"; break;
        case TCheckState::Unchecked: out += "false"; break;
        case TCheckState::None: out += "null"; break;
    }
    AppendField(out, "reason");
    const std::string_view reason = JsonReasonName(d.Activity);
    if (reason.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, reason);
    }
    out += '}';
}

}  // namespace

std::string_view JsonReasonName(TActivityReason reason) {
    switch (reason) {
        case arOutsideWindow: return "outside-setup-window";
        case arVolatileLocation: return "volatile-location";
        case arLearned: return "learned";
        case arQuietCheck: return "quiet-check";
        default: return {};
    }
}

std::string_view JsonKindName(std::int32_t kind) {
    switch (kind) {
        case ckRegKeyCreated: return "key-created";
        case ckRegKeyDeleted: return "key-deleted";
        case ckRegValueCreated: return "value-created";
        case ckRegValueChanged: return "value-changed";
        case ckRegValueDeleted: return "value-deleted";
        case ckSharedCounterIncremented: return "shared-counter-raised";
        case ckFolderCreated: return "folder-created";
        case ckFolderDeleted: return "folder-deleted";
        case ckFileCreated: return "file-created";
        case ckFileChanged: return "file-changed";
        case ckFileDeleted: return "file-deleted";
        case ckFileMovedFrom: return "file-moved-from";
        case ckFileMovedTo: return "file-moved-to";
        default: return {};
    }
}

void WriteJson(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
               const ExportHeader& header, std::string& out, const std::function<void(std::string&)>& flush) {
    out += "{\"format\":\"kelvora-changes\",\"version\":";
    out += std::to_string(kJsonExportVersion);
    AppendField(out, "identifier");
    AppendJsonString(out, header.Identifier);
    AppendField(out, "exported");
    AppendJsonString(out, header.Exported);
    AppendField(out, "program");
    AppendJsonString(out, header.Program);
    out += ",\"changes\":[";
    bool first = true;
    ForEachChange(tree, start, names, [&](NodeId node) {
        AppendChange(out, tree, node, first);
        first = false;
        flush(out);
    });
    out += "\n]}\n";
}

bool ExportJson(platform::FileSystem& files, const platform::Collation& names, std::string_view path,
                const ChangesTree::Access& tree, NodeId start, const ExportHeader& header) {
    PieceWriter writer(files, path);
    if (!writer.Ok()) return false;
    WriteJson(tree, start, names, header, writer.Text(), [&](std::string&) { writer.Flush(); });
    return writer.Close();
}

}  // namespace kelvora
