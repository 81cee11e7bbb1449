// Bringing the rows up to date without reading them all: when the source
// lists the nodes that got new children (a worker appending to it), only the
// rows below those nodes, and below rows opened since the last build, are
// read; every other row is copied as it was.
//
// The rows below a node are its children in the source's order, each
// followed by its own rows. New children only ever join the order, so the
// old child rows are the new order with the new children left out: a merge
// of the two finds the new ones. When a child becomes or stops being the
// last of its siblings, the ancestor line of its level is flipped on every
// row below it; rows read anew are given the old lines of their ancestors so
// that the same flip puts them right.
#include <cstddef>

#include "ui/framework/virtual_tree.h"

namespace kelvora::ui {

class VirtualTree::Splicer {
public:
    explicit Splicer(VirtualTree& tree) : t_(tree), old_(tree.oldRows_), out_(tree.rows_) {}

    bool Run() {
        FindTouched();
        if (at_.empty()) return true;  // nothing in view changed shape
        t_.oldRows_.swap(t_.rows_);
        out_.clear();
        out_.reserve(old_.size());
        CopyRange(0, old_.size());
        return !failed_;
    }

private:
    static std::uint64_t Bit(int level) { return level < kMaxLineLevels ? std::uint64_t{1} << level : 0; }

    // The rows whose children changed: nodes the source lists as grown, and
    // open nodes that show no children yet (opened since the last build).
    void FindTouched() {
        std::vector<std::uint8_t>& mark = t_.touched_;
        if (mark.size() < t_.expanded_.size()) mark.resize(t_.expanded_.size(), 0);
        for (Node n : t_.grown_)
            if (n < mark.size()) mark[n] = 1;
        const std::vector<Row>& rows = t_.rows_;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            bool grown = r.node < mark.size() && mark[r.node] != 0;
            bool opened = (r.flags & kHasChildren) != 0 && t_.IsExpanded(r.node) &&
                          (i + 1 == rows.size() || rows[i + 1].level <= r.level);
            if (grown || opened) at_.push_back(i);
        }
        for (Node n : t_.grown_)
            if (n < mark.size()) mark[n] = 0;
    }

    // Old rows are visited in order, so one cursor serves every question.
    bool IsTouched(std::size_t i) {
        while (next_ < at_.size() && at_[next_] < i) ++next_;
        return next_ < at_.size() && at_[next_] == i;
    }

    std::size_t SubtreeEnd(std::size_t i) const {
        std::size_t j = i + 1;
        while (j < old_.size() && old_[j].level > old_[i].level) ++j;
        return j;
    }

    // Copies the old rows [i, end), splicing below the touched ones.
    void CopyRange(std::size_t i, std::size_t end) {
        while (i < end && !failed_) {
            IsTouched(i);
            std::size_t g = next_ < at_.size() ? at_[next_] : end;
            if (g >= end) g = end;
            out_.insert(out_.end(), old_.begin() + static_cast<std::ptrdiff_t>(i),
                        old_.begin() + static_cast<std::ptrdiff_t>(g));
            if (g == end) return;
            i = Subtree(g, old_[g].flags);
        }
    }

    // Writes old row i with the given flags and everything below it;
    // answers the old row after its subtree.
    std::size_t Subtree(std::size_t i, std::uint8_t flags) {
        const Row r = old_[i];
        bool touched = IsTouched(i);
        if (touched) {
            flags = static_cast<std::uint8_t>(flags & ~kHasChildren);
            if (t_.source_->HasChildren(r.node)) flags |= kHasChildren;
        }
        out_.push_back({r.node, r.level, flags, r.lines});
        std::size_t start = out_.size();
        std::size_t end;
        if (touched) {
            end = MergeChildren(i, r, flags);
        } else {
            end = SubtreeEnd(i);
            CopyRange(i + 1, end);
        }
        if (((r.flags ^ flags) & kLastSibling) != 0) {
            std::uint64_t bit = Bit(r.level);
            for (std::size_t k = start; k < out_.size(); ++k) out_[k].lines ^= bit;
        }
        return end;
    }

    // The children of old row i (now with flags), old ones kept with their
    // rows, new ones read with theirs.
    std::size_t MergeChildren(std::size_t i, const Row& r, std::uint8_t flags) {
        std::size_t j = i + 1;
        const int level = r.level + 1;
        if ((flags & kHasChildren) != 0 && t_.IsExpanded(r.node)) {
            // The deeper levels' lists stay in place while this one is used.
            if (t_.levelChildren_.size() <= static_cast<std::size_t>(level))
                t_.levelChildren_.resize(static_cast<std::size_t>(level) + 1);
            std::vector<Node>& children = t_.levelChildren_[static_cast<std::size_t>(level)];
            children.clear();
            t_.source_->Children(r.node, children);
            std::uint64_t below = r.lines | ((r.flags & kLastSibling) == 0 ? Bit(r.level) : 0);
            for (std::size_t k = 0; k < children.size() && !failed_; ++k) {
                Node node = children[k];
                bool last = k + 1 == children.size();
                std::uint8_t last_flag = last ? kLastSibling : 0;
                if (j < old_.size() && old_[j].level == level && old_[j].node == node) {
                    j = Subtree(j, static_cast<std::uint8_t>((old_[j].flags & kHasChildren) | last_flag));
                    continue;
                }
                bool has = t_.source_->HasChildren(node);
                out_.push_back({node, static_cast<std::uint16_t>(level),
                                static_cast<std::uint8_t>((has ? kHasChildren : 0) | last_flag), below});
                if (has && t_.IsExpanded(node)) t_.AppendSubtree(node, level + 1, below | (last ? 0 : Bit(level)));
            }
        }
        // Every old row below the node must have been met again.
        if (j < old_.size() && old_[j].level > r.level) failed_ = true;
        return j;
    }

    VirtualTree& t_;
    const std::vector<Row>& old_;
    std::vector<Row>& out_;
    std::vector<std::size_t> at_;  // the touched old rows, ascending
    std::size_t next_ = 0;
    bool failed_ = false;
};

bool VirtualTree::SpliceGrown() {
    Splicer splicer(*this);
    return splicer.Run();
}

}  // namespace kelvora::ui
