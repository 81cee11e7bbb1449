#include "ui/changes_tree_control.h"

#include <algorithm>

#include "changes/activity.h"
#include "changes/sibling_order.h"
#include "translation/messages.h"
#include "ui/change_icons.h"

namespace kelvora::ui {

namespace {

// The names need the room most (deep paths): in the window's smallest size
// "Made by" lies beyond the tree's right edge, and widens with the window.
constexpr int kInitialWidths[] = {257, 152, 120, 200};
constexpr int kMinimumWidths[] = {100, 50, 50, 90};
// The columns' captions: the change, the data before and after, and who
// made it (empty for the setup's changes).
constexpr const Message* kCaptions[] = {&RS_DET_CHANGES, &RS_BEFORE, &RS_AFTER, &RS_MADE_BY};
constexpr int kColumnCount = 4;
constexpr int kMadeByColumn = 3;

CheckMark ToMark(TCheckState state) {
    switch (state) {
    case TCheckState::Checked: return CheckMark::Checked;
    case TCheckState::Unchecked: return CheckMark::Unchecked;
    default: return CheckMark::None;
    }
}

}  // namespace

ChangesTreeControl::ChangesTreeControl(ChangesTree& model, const platform::Collation& names)
    : model_(model), names_(names), words_(CellWords::Translated()) {}

ChangesTreeControl::~ChangesTreeControl() {
    model_.SetObserver(nullptr);
    tree_.SetSource(nullptr);
}

bool ChangesTreeControl::Create(HWND parent, int id, RECT bounds) {
    if (!tree_.Create(parent, id, bounds)) return false;
    ApplyFont(TSettings{}.ChangesTreeFont, TSettings{}.ChangesTreeFontSize, DEFAULT_CHARSET);
    UINT dpi = GetDpiForWindow(tree_.Handle());
    tree_.SetImages(CreateChangeImages(MulDiv(16, dpi != 0 ? static_cast<int>(dpi) : 96, 96)));
    for (int c = 0; c < kColumnCount; ++c)
        tree_.AddColumn(TranslateString(*kCaptions[c]), MulDiv(kInitialWidths[c], static_cast<int>(dpi ? dpi : 96), 96),
                        MulDiv(kMinimumWidths[c], static_cast<int>(dpi ? dpi : 96), 96));
    tree_.SetSource(this);
    model_.SetObserver(this);
    model_.AcknowledgeChanges();
    tree_.Rebuild();
    return true;
}

void ChangesTreeControl::Translate() {
    words_ = CellWords::Translated();
    for (int c = 0; c < kColumnCount; ++c) tree_.SetColumnCaption(c, TranslateString(*kCaptions[c]));
    tree_.Repaint();
}

void ChangesTreeControl::SetDpi(UINT dpi, const std::string& face, int points, BYTE charset) {
    dpi_ = dpi;
    tree_.SetImages(CreateChangeImages(MulDiv(16, static_cast<int>(dpi), 96)));
    ApplyFont(face, points, charset);
}

void ChangesTreeControl::ApplyFont(const std::string& face, int points, BYTE charset) {
    UINT dpi = dpi_ != 0 ? dpi_ : GetDpiForWindow(tree_.Handle());
    Font font = CreatePointFont(face.c_str(), points, dpi != 0 ? dpi : 96, false, charset);
    if (!font) return;
    tree_.SetTreeFont(font.Get());
    font_ = std::move(font);  // the old font goes after the control has let go of it
}

void ChangesTreeControl::SetBinaryHexa(bool hexa) {
    hexa_ = hexa;
    tree_.Repaint();
}

void ChangesTreeControl::SetHideActivity(bool hide) {
    if (hide == hideActivity_) return;
    hideActivity_ = hide;
    shown_.clear();
    tree_.Rebuild();
}

void ChangesTreeControl::ModelReset() {
    orders_.clear();
    shown_.clear();
    tree_.Reset();
}

void ChangesTreeControl::FillFinished() {
    orders_.clear();
    shown_.clear();
    tree_.Rebuild();
}

NodeId ChangesTreeControl::FocusedNode() const { return tree_.FocusedNode(); }

void ChangesTreeControl::BeginRead() {
    if (batchDepth_++ == 0) batch_.emplace(model_.Lock());
}

void ChangesTreeControl::EndRead() {
    if (--batchDepth_ == 0) batch_.reset();
}

void ChangesTreeControl::Acknowledge() { model_.AcknowledgeChanges(); }

void ChangesTreeControl::TreeChanged() { tree_.PostSourceChanged(); }

std::size_t ChangesTreeControl::NodeCapacity() {
    return Read([](ChangesTree::Access& a) { return static_cast<std::size_t>(a.IdLimit()); });
}

const std::vector<NodeId>& ChangesTreeControl::SortedChildren(ChangesTree::Access& a, NodeId parent) {
    // Children only ever join at the end and ids are not reused until the
    // tree is cleared, so the count and the last child tell whether the
    // sorted list is still right, and when only children were appended
    // since, they follow the old last one. A kind change (moved files) is
    // caught by FillFinished.
    const std::uint32_t count = a.ChildCount(parent);
    const NodeId last = a.LastChild(parent);
    Order& order = orders_[parent];
    if (order.count == count && order.last == last && order.sorted.size() == count) return order.sorted;
    auto before = [&](NodeId x, NodeId y) { return CompareNodes(a.Data(x), a.Data(y), names_) < 0; };
    std::vector<NodeId> added;
    bool appended = order.count != 0 && order.count < count && order.sorted.size() == order.count &&
                    a.IsAlive(order.last) && a.Parent(order.last) == parent;
    if (appended) {
        for (NodeId c = a.NextSibling(order.last); c != kNoNode && added.size() <= count; c = a.NextSibling(c))
            added.push_back(c);
        appended = order.count + added.size() == count;
    }
    if (appended) {
        // A stable sort of all the children is the stable merge of the
        // sorted old ones with the sorted new ones, old first among equals.
        a.SortSiblings(added, names_);
        std::size_t middle = order.sorted.size();
        order.sorted.insert(order.sorted.end(), added.begin(), added.end());
        std::inplace_merge(order.sorted.begin(), order.sorted.begin() + static_cast<std::ptrdiff_t>(middle),
                           order.sorted.end(), before);
    } else {
        order.sorted.clear();
        order.sorted.reserve(count);
        for (NodeId c = a.FirstChild(parent); c != kNoNode; c = a.NextSibling(c)) order.sorted.push_back(c);
        a.SortSiblings(order.sorted, names_);
    }
    order.count = count;
    order.last = last;
    return order.sorted;
}

void ChangesTreeControl::ForgetStaleOrders(ChangesTree::Access& a) {
    std::erase_if(orders_, [&a](const auto& entry) {
        const auto& [parent, order] = entry;
        return !a.IsAlive(parent) || a.ChildCount(parent) != order.count || a.LastChild(parent) != order.last;
    });
}

bool ChangesTreeControl::TakeGrown(std::vector<Node>& parents) {
    return Read([&](ChangesTree::Access& a) {
        TShapeChanges changes = a.TakeShapeChanges();
        if (changes.Reshaped) ForgetStaleOrders(a);
        // With activity hidden, a new change may bring its branches into
        // view: the rows are built anew (hiding is not the common case).
        if (hideActivity_) shown_.clear();
        if (changes.Reshaped || hideActivity_) return false;
        // Ordering the new children now, a few at a time as they come, keeps
        // "Expand all" from having to sort a whole fill's worth at once.
        for (NodeId parent : changes.Grown)
            if (a.IsAlive(parent)) SortedChildren(a, parent);
        parents = std::move(changes.Grown);
        return true;
    });
}

void ChangesTreeControl::Children(Node parent, std::vector<Node>& out) {
    Read([&](ChangesTree::Access& a) {
        if (parent == kNone) {
            if (a.Root() != kNoNode) out.push_back(a.Root());
            return;
        }
        if (!a.IsAlive(parent)) return;
        const auto& sorted = SortedChildren(a, parent);
        if (!hideActivity_) {
            out.insert(out.end(), sorted.begin(), sorted.end());
            return;
        }
        for (NodeId child : sorted)
            if (Shown(a, child)) out.push_back(child);
    });
}

bool ChangesTreeControl::HasChildren(Node node) {
    return Read([&](ChangesTree::Access& a) {
        if (!a.IsAlive(node)) return false;
        for (NodeId child = a.FirstChild(node); child != kNoNode; child = a.NextSibling(child))
            if (Shown(a, child)) return true;
        return false;
    });
}

bool ChangesTreeControl::Shown(ChangesTree::Access& a, NodeId node) {
    if (!hideActivity_ || node == a.Root() || node == a.FileSystem() || node == a.Registry()) return true;
    if (shown_.size() < a.IdLimit()) shown_.resize(a.IdLimit(), 0);
    if (shown_[node] != 0) return shown_[node] == 1;
    // After the children, their parent: a node is shown when it is one of
    // the setup's changes or when a child is. A work list keeps deep trees
    // off the call stack.
    std::vector<std::pair<NodeId, bool>> pending{{node, false}};
    while (!pending.empty()) {
        const auto [n, childrenDone] = pending.back();
        pending.pop_back();
        if (shown_[n] != 0) continue;
        if (!childrenDone) {
            const TNodeData& d = a.Data(n);
            if (IsStoredKind(d.Kind) && d.Activity == arSetup) {
                shown_[n] = 1;
                continue;
            }
            pending.emplace_back(n, true);
            for (NodeId c = a.FirstChild(n); c != kNoNode; c = a.NextSibling(c))
                if (shown_[c] == 0) pending.emplace_back(c, false);
            continue;
        }
        std::uint8_t state = 2;
        for (NodeId c = a.FirstChild(n); c != kNoNode; c = a.NextSibling(c))
            if (shown_[c] == 1) state = 1;
        shown_[n] = state;
    }
    return shown_[node] == 1;
}

std::string ChangesTreeControl::Text(Node node, int column) {
    return Read([&](ChangesTree::Access& a) -> std::string {
        if (!a.IsAlive(node)) return {};
        const TNodeData& d = a.Data(node);
        CellSource s;
        s.Kind = d.Kind;
        s.Name = d.Name;
        s.OldData = d.OldData.Get();
        s.OldSize = d.OldData.Present() ? d.OldSize : 0;
        s.NewData = d.NewData.Get();
        s.NewSize = d.NewData.Present() ? d.NewSize : 0;
        s.ValueType = d.ValueType;
        if (column == kMadeByColumn) return d.Activity != arSetup ? ActivityReasonText(d.Activity) : std::string();
        return CellText(s, column, hexa_, words_);
    });
}

int ChangesTreeControl::Image(Node node) {
    return Read([&](ChangesTree::Access& a) {
        if (!a.IsAlive(node)) return -1;
        const TNodeData& d = a.Data(node);
        return ImageIndexOf(d.Kind, d.ValueType);
    });
}

CheckMark ChangesTreeControl::Check(Node node) {
    return Read([&](ChangesTree::Access& a) { return a.IsAlive(node) ? ToMark(a.CheckState(node)) : CheckMark::None; });
}

bool ChangesTreeControl::Dimmed(Node node) {
    return Read([&](ChangesTree::Access& a) { return a.IsAlive(node) && a.Data(node).Activity != arSetup; });
}

std::string ChangesTreeControl::Remark(Node node) {
    return Read([&](ChangesTree::Access& a) {
        return a.IsAlive(node) && a.Data(node).Activity != arSetup ? ActivityReasonText(a.Data(node).Activity)
                                                                   : std::string();
    });
}

void ChangesTreeControl::ToggleCheck(Node node) {
    Read([&](ChangesTree::Access& a) {
        if (a.IsAlive(node)) a.ToggleByUser(node);
    });
}

}  // namespace kelvora::ui
