// What the window, the printout and kelvora-cli say about who made a change:
// the text of an activity reason, and the counts of the setup's changes and
// of activity in a tree.
#pragma once

#include <cstddef>
#include <string>

#include "changes/changes_tree.h"
#include "changes/node_data.h"

namespace kelvora {

// The reason's text in the current language ("Activity: a place that Windows
// changes by itself"); "Made by the setup" for arSetup and for any code that
// is not a reason.
std::string ActivityReasonText(TActivityReason reason);

struct TChangeCounts {
    std::size_t Setup = 0;     // changes the setup made
    std::size_t Activity = 0;  // changes marked as activity
};

// Counts the leaves that are changes (kinds 1 to 13) below the frame.
TChangeCounts CountChanges(const ChangesTree::Access& tree);
// "12 changes by the setup, 9 activity", in the current language.
std::string ChangeCountsText(const TChangeCounts& counts);

// Checks every activity leaf that has an unchecked check box, as the user
// would by hand: the undo then takes activity in as well.
void CheckActivity(ChangesTree::Access& tree);

}  // namespace kelvora
