#include "changes/activity.h"

#include <vector>

#include "translation/messages.h"

namespace kelvora {

std::string ActivityReasonText(TActivityReason reason) {
    switch (reason) {
        case arOutsideWindow: return TranslateString(RS_ACT_OUTSIDE_WINDOW);
        case arVolatileLocation: return TranslateString(RS_ACT_VOLATILE);
        case arLearned: return TranslateString(RS_ACT_LEARNED);
        case arQuietCheck: return TranslateString(RS_ACT_QUIET_CHECK);
        default: return TranslateString(RS_ACT_SETUP);
    }
}

TChangeCounts CountChanges(const ChangesTree::Access& tree) {
    TChangeCounts counts;
    if (tree.Root() == kNoNode) return counts;
    // Changes may hang below changes (a value below a created key), so every
    // node is visited; a work list keeps deep trees off the call stack.
    std::vector<NodeId> pending{tree.Root()};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        const TNodeData& data = tree.Data(node);
        if (IsStoredKind(data.Kind)) ++(data.Activity == arSetup ? counts.Setup : counts.Activity);
        for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child)) {
            pending.push_back(child);
        }
    }
    return counts;
}

void CheckActivity(ChangesTree::Access& tree) {
    if (tree.Root() == kNoNode) return;
    std::vector<NodeId> pending{tree.Root()};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        if (tree.Data(node).Activity != arSetup && tree.CheckState(node) == TCheckState::Unchecked) {
            tree.SetChecked(node, true);
        }
        for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child)) {
            pending.push_back(child);
        }
    }
}

std::string ChangeCountsText(const TChangeCounts& counts) {
    if (counts.Setup == 1) return FormatText(TranslateString(RS_CHANGE_COUNT_ONE), {std::to_string(counts.Activity)});
    return FormatText(TranslateString(RS_CHANGE_COUNTS),
                      {std::to_string(counts.Setup), std::to_string(counts.Activity)});
}

}  // namespace kelvora
