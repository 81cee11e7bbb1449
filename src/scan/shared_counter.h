// Usage counters of shared files: the values of HKEY_LOCAL_MACHINE's
// SharedDLLs key are named by a shared file's path and hold its counter.
// When such a counter appears or changes for a file that exists, the created
// pass records by how much it went up, so that it can be lowered again.
#pragma once

#include <string_view>

#include "scan/change_sink.h"
#include "scan/snapshot_tree.h"

namespace kelvora {

inline constexpr std::string_view kSharedDllsKey = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS";

// A counter that exists only after the installation: its whole value is the
// amount (kind 6) for REG_SZ and REG_DWORD counters; any other type stays an
// ordinary created value. Returns true when the record was made a counter.
bool MarkNewCounter(const TValori& value, TNodeData& record);

// A counter whose data changed; record holds the ordinary kind-4 change.
// The amount, new minus old, replaces the new data (kind 6) when both sides
// are REG_DWORD numbers or both are decimal texts; anything else stays an
// ordinary changed value.
bool MarkChangedCounter(const TValori& newValue, const TValori& oldValue, TNodeData& record);

}  // namespace kelvora
