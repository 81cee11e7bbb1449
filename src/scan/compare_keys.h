// The registry comparison: two passes over a snapshot tree and a tree read
// after the installation. The created pass (A = new, B = old) reports keys
// and values found only in the new tree and values whose data changed; the
// deleted pass (A = old, B = new) reports keys and values found only in the
// old one. Changes go to the sink in walk order: a key, then its values, then
// its sub-keys.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "scan/change_sink.h"
#include "scan/scan_env.h"
#include "scan/snapshot_tree.h"

namespace kelvora {

// Compares the sibling chain starting at a with the chain starting at b,
// which lie below the key pathA (empty for the root key's level). The walk
// ends early when the wizard state becomes wsStopped. Nothing below a key
// that one of the scans could not read (TNode::Unreadable) is reported; such
// a key is reported itself only when it exists on one side alone.
void CompareKeys(ScanEnv& env, IChangeSink& sink, const TNode* a, const TNode* b, std::string_view pathA,
                 platform::RootKey root, bool deleted);

}  // namespace kelvora
