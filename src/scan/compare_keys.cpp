#include "scan/compare_keys.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

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
           (a.Size == 0 || std::memcmp(a.Data(), b.Data(), static_cast<std::size_t>(a.Size)) == 0);
}

class KeyComparer {
public:
    KeyComparer(ScanEnv& env, IChangeSink& sink, platform::RootKey root, bool deleted)
        : env_(env), sink_(sink), root_(root), rootName_(RootKeyName(root)), deleted_(deleted) {}

    // path holds the key path of the chains' parent; it is extended and
    // restored while the chains are walked. The walk keeps its own stack of
    // levels (no recursion), so no depth of keys can exhaust the thread's
    // stack; changes come in the order of a depth-first walk.
    void Compare(const TNode* a, const TNode* b, std::string& path) {
        EnterLevel(a, b, path.size());
        while (!levels_.empty()) {
            const TNode* na = levels_.back().next;
            if (na == nullptr || env_.Stopped()) {
                levels_.pop_back();
                if (!levels_.empty()) NextSibling(path);
                continue;
            }
            const std::size_t depth = levels_.size() - 1;
            if (!path.empty()) path.push_back('\\');
            path.append(na->Name());
            const TNode* nb = nodeIndexes_[depth].Find(na->Name());
            if (nb == nullptr) ReportKey(*na, path);
            // Nothing is known of the content of a key that could not be read
            // in one of the scans, so none of it is reported: neither as
            // created nor as deleted, nor changed.
            const bool readable = !na->Unreadable && (nb == nullptr || !nb->Unreadable);
            if (readable && nb != nullptr) CompareValues(*na, *nb, path);
            if (readable && na->FirstChild != nullptr) {
                EnterLevel(na->FirstChild, nb != nullptr ? nb->FirstChild : nullptr, path.size());
            } else {
                NextSibling(path);
            }
        }
    }

private:
    // One sibling chain of side A being walked: its node to compare next and
    // the length of its parent's path. The chain of side B that it is
    // compared with is indexed in nodeIndexes_ at the level's depth.
    struct Level {
        const TNode* next = nullptr;
        std::size_t parentLength = 0;
    };

    void EnterLevel(const TNode* a, const TNode* b, std::size_t parentLength) {
        if (nodeIndexes_.size() <= levels_.size()) nodeIndexes_.emplace_back();
        nodeIndexes_[levels_.size()].Build(b);
        levels_.push_back(Level{a, parentLength});
    }

    // After a node and everything below it: back to its parent's path, on to
    // the next node of its chain.
    void NextSibling(std::string& path) {
        Level& level = levels_.back();
        path.resize(level.parentLength);
        env_.worker.PausePoint();
        level.next = level.next->NextSibling;
    }

    // A key found on side A only, with all its values (none when it could
    // not be read).
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
        sink_.AddToTree(placement, node.Name(), std::move(record));
        if (node.Unreadable) return;
        for (const TValori* value = node.Values; value != nullptr; value = value->Next) {
            ReportLoneValue(*value, fullPath, false);
            env_.worker.PausePoint();
        }
    }

    void ReportLoneValue(const TValori& value, std::string_view keyPath, bool countersApply) {
        TNodeData record = NewRecord(value, keyPath);
        if (deleted_) {
            record.Kind = ckRegValueDeleted;
            record.SetOld(value.Data(), static_cast<std::size_t>(value.Size));
        } else {
            record.Kind = ckRegValueCreated;
            record.SetNew(value.Data(), static_cast<std::size_t>(value.Size));
            if (countersApply && IsExistingFile(value.Name())) MarkNewCounter(value, record);
        }
        sink_.AddToTree(Placement(keyPath), value.Name(), std::move(record));
    }

    void CompareValues(const TNode& na, const TNode& nb, std::string_view keyPath) {
        // The counter rule needs the created pass, HKEY_LOCAL_MACHINE and
        // the shared-libraries key itself.
        const bool countersApply =
            !deleted_ && root_ == platform::kLocalMachine && EqualsNoCase(keyPath, kSharedDllsKey);
        valueIndex_.Build(nb.Values);
        for (const TValori* va = na.Values; va != nullptr; va = va->Next) {
            const TValori* vb = valueIndex_.Find(va->Name());
            if (vb == nullptr) {
                ReportLoneValue(*va, keyPath, countersApply);
            } else if (!deleted_ && !SameValue(*va, *vb)) {
                TNodeData record = NewRecord(*va, keyPath);
                record.Kind = ckRegValueChanged;
                record.ValueType = ChangedValueType(static_cast<std::uint32_t>(vb->DataType),
                                                    static_cast<std::uint32_t>(va->DataType));
                record.SetOld(vb->Data(), static_cast<std::size_t>(vb->Size));
                record.SetNew(va->Data(), static_cast<std::size_t>(va->Size));
                if (countersApply && IsExistingFile(va->Name())) MarkChangedCounter(*va, *vb, record);
                sink_.AddToTree(Placement(keyPath), va->Name(), std::move(record));
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
    std::vector<Level> levels_;                 // the chains being walked, outermost first
    std::deque<NameIndex<TNode>> nodeIndexes_;  // one per depth, reused
    NameIndex<TValori> valueIndex_;            // used by one key pair at a time
};

}  // namespace

void CompareKeys(ScanEnv& env, IChangeSink& sink, const TNode* a, const TNode* b, std::string_view pathA,
                 platform::RootKey root, bool deleted) {
    KeyComparer comparer(env, sink, root, deleted);
    std::string path(pathA);
    comparer.Compare(a, b, path);
}

}  // namespace kelvora
