#include "scan/compare_keys.h"

#include <cstring>
#include <deque>
#include <string>

#include "changes/value_type.h"
#include "platform/text.h"
#include "scan/name_index.h"
#include "scan/shared_counter.h"

namespace kelvora {

namespace {

// Equal bytes under another type are a change too: restoring them must
// bring the old type back.
bool SameValue(const TValori& a, const TValori& b) {
    return a.DataType == b.DataType && a.Size == b.Size &&
           (a.Size == 0 || std::memcmp(a.Data, b.Data, static_cast<std::size_t>(a.Size)) == 0);
}

class KeyComparer {
public:
    KeyComparer(ScanEnv& env, IChangeSink& sink, platform::RootKey root, bool deleted)
        : env_(env), sink_(sink), root_(root), rootName_(RootKeyName(root)), deleted_(deleted) {}

    // path holds the key path of the chains' parent; it is extended and
    // restored while the chains are walked.
    void Compare(const TNode* a, const TNode* b, std::string& path, std::size_t depth) {
        if (nodeIndexes_.size() <= depth) nodeIndexes_.emplace_back();
        NameIndex<TNode>& index = nodeIndexes_[depth];
        index.Build(b);
        for (const TNode* na = a; na != nullptr && !env_.Stopped(); na = na->NextSibling) {
            const std::size_t parentLength = path.size();
            if (!path.empty()) path.push_back('\\');
            path.append(na->Name);
            if (const TNode* nb = index.Find(na->Name)) {
                CompareValues(*na, *nb, path);
                Compare(na->FirstChild, nb->FirstChild, path, depth + 1);
            } else {
                ReportKey(*na, path);
                Compare(na->FirstChild, nullptr, path, depth + 1);
            }
            path.resize(parentLength);
            env_.worker.PausePoint();
        }
    }

private:
    // A key found on side A only, with all its values.
    void ReportKey(const TNode& node, std::string_view fullPath) {
        const std::size_t cut = fullPath.rfind('\\');
        TNodeData record;
        record.Kind = deleted_ ? ckRegKeyDeleted : ckRegKeyCreated;
        record.RootKey = root_;
        std::string placement(rootName_);
        if (cut != std::string_view::npos) {
            record.Path.assign(fullPath.substr(0, cut));
            placement.push_back('\\');
            placement.append(record.Path);
        }
        sink_.AddToTree(placement, node.Name, std::move(record));
        for (const TValori* value = node.Values; value != nullptr; value = value->Next) {
            ReportLoneValue(*value, fullPath, false);
            env_.worker.PausePoint();
        }
    }

    void ReportLoneValue(const TValori& value, std::string_view keyPath, bool countersApply) {
        TNodeData record = NewRecord(value, keyPath);
        if (deleted_) {
            record.Kind = ckRegValueDeleted;
            record.SetOld(value.Data, static_cast<std::size_t>(value.Size));
        } else {
            record.Kind = ckRegValueCreated;
            record.SetNew(value.Data, static_cast<std::size_t>(value.Size));
            if (countersApply && IsExistingFile(value.Name)) MarkNewCounter(value, record);
        }
        sink_.AddToTree(Placement(keyPath), value.Name, std::move(record));
    }

    void CompareValues(const TNode& na, const TNode& nb, std::string_view keyPath) {
        // The counter rule needs the created pass, HKEY_LOCAL_MACHINE and
        // the shared-libraries key itself.
        const bool countersApply =
            !deleted_ && root_ == platform::kLocalMachine && EqualsNoCase(keyPath, kSharedDllsKey);
        valueIndex_.Build(nb.Values);
        for (const TValori* va = na.Values; va != nullptr; va = va->Next) {
            const TValori* vb = valueIndex_.Find(va->Name);
            if (vb == nullptr) {
                ReportLoneValue(*va, keyPath, countersApply);
            } else if (!deleted_ && !SameValue(*va, *vb)) {
                TNodeData record = NewRecord(*va, keyPath);
                record.Kind = ckRegValueChanged;
                record.ValueType = ChangedValueType(static_cast<std::uint32_t>(vb->DataType),
                                                    static_cast<std::uint32_t>(va->DataType));
                record.SetOld(vb->Data, static_cast<std::size_t>(vb->Size));
                record.SetNew(va->Data, static_cast<std::size_t>(va->Size));
                if (countersApply && IsExistingFile(va->Name)) MarkChangedCounter(*va, *vb, record);
                sink_.AddToTree(Placement(keyPath), va->Name, std::move(record));
            }
            env_.worker.PausePoint();
        }
    }

    TNodeData NewRecord(const TValori& value, std::string_view keyPath) const {
        TNodeData record;
        record.RootKey = root_;
        record.Path.assign(keyPath);
        record.ValueType = value.DataType;
        return record;
    }

    std::string Placement(std::string_view keyPath) const {
        std::string placement(rootName_);
        placement.push_back('\\');
        placement.append(keyPath);
        return placement;
    }

    bool IsExistingFile(std::string_view name) const { return !name.empty() && env_.files.FileExists(name); }

    ScanEnv& env_;
    IChangeSink& sink_;
    platform::RootKey root_;
    std::string_view rootName_;
    bool deleted_;
    std::deque<NameIndex<TNode>> nodeIndexes_;  // one per depth, reused
    NameIndex<TValori> valueIndex_;            // used by one key pair at a time
};

}  // namespace

void CompareKeys(ScanEnv& env, IChangeSink& sink, const TNode* a, const TNode* b, std::string_view pathA,
                 platform::RootKey root, bool deleted) {
    KeyComparer comparer(env, sink, root, deleted);
    std::string path(pathA);
    comparer.Compare(a, b, path, 0);
}

}  // namespace kelvora
