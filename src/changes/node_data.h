// The data of every node of the changes tree: the kind of change, the item's
// name and place, and the data before and after the installation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "changes/shared_text.h"

namespace kelvora {

// Change kinds. The codes 1 to 13 are written into archives; 14 to 18 are
// the frame and branch nodes of the tree.
enum TChangeKind : std::int32_t {
    ckRegKeyCreated = 1,
    ckRegKeyDeleted = 2,
    ckRegValueCreated = 3,
    ckRegValueChanged = 4,
    ckRegValueDeleted = 5,
    ckSharedCounterIncremented = 6,
    ckFolderCreated = 7,
    ckFolderDeleted = 8,
    ckFileCreated = 9,
    ckFileChanged = 10,
    ckFileDeleted = 11,
    ckFileMovedFrom = 12,
    ckFileMovedTo = 13,
    ckMyComputer = 14,
    ckFileSystem = 15,
    ckRegistry = 16,
    ckDrive = 17,
    ckPathBranch = 18,
};

// Registry kinds (1 to 6) live below "Registry", every other change below
// "File System".
constexpr bool IsRegistryKind(std::int32_t kind) { return kind <= ckSharedCounterIncremented; }
// The kinds an archive may hold.
constexpr bool IsStoredKind(std::int32_t kind) { return kind >= ckRegKeyCreated && kind <= ckFileMovedTo; }

// Who made a change. The setup's changes are the default; every other value
// marks activity: a change that the evidence says the setup did not make,
// with the evidence that says so. Activity is kept, shown and saved like any
// change, but an uninstall leaves it alone unless the user checks it. The
// codes are written into archives.
enum TActivityReason : std::uint8_t {
    arSetup = 0,             // the setup's own change
    arOutsideWindow = 1,     // its times lie wholly before the setup started or after it ended
    arVolatileLocation = 2,  // a location that the catalogue lists as changed by Windows itself
    arLearned = 3,           // changed in monitorings of other applications on this machine
    arQuietCheck = 4,        // changed while nothing was being installed (the quiet check)
};
inline constexpr std::uint8_t kLastActivityReason = arQuietCheck;

// The full name of a predefined root key ("HKEY_LOCAL_MACHINE"), or "(error)"
// for any other value.
std::string_view RootKeyName(std::uint32_t rootKey);

// An owned data block: a byte count and the bytes (none when empty).
class DataBlock {
public:
    DataBlock() = default;
    DataBlock(const std::uint8_t* data, std::size_t size) { Assign(data, size); }
    DataBlock(DataBlock&&) noexcept = default;
    DataBlock& operator=(DataBlock&&) noexcept = default;
    DataBlock(const DataBlock&) = delete;
    DataBlock& operator=(const DataBlock&) = delete;

    // A copy of size bytes (an empty block for size 0).
    void Assign(const std::uint8_t* data, std::size_t size);
    // The text followed by its terminating NUL, as file and counter texts are kept.
    void AssignText(std::string_view text);
    // Takes over bytes allocated by the caller.
    void Adopt(std::unique_ptr<std::uint8_t[]> bytes) { bytes_ = std::move(bytes); }
    void Reset() { bytes_.reset(); }

    const std::uint8_t* Get() const { return bytes_.get(); }
    bool Present() const { return bytes_ != nullptr; }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
};

struct TNodeData {
    std::string Name;         // key, value, folder, file, drive or branch name
    DataBlock OldData;        // the data before the installation
    DataBlock NewData;        // the data after the installation
    std::int32_t OldSize = 0; // byte count of OldData
    std::int32_t NewSize = 0; // byte count of NewData
    std::int32_t ValueType = 0;  // REG_* type of a value change, else 0
    std::uint32_t RootKey = 0;   // root key of a registry change, else 0
    TChangeKind Kind = ckPathBranch;
    TActivityReason Activity = arSetup;  // arSetup for branches and the setup's changes
    // Key path below RootKey, or the folder holding the item. The tree's
    // leaves of one key or folder share it.
    SharedText Path;

    void SetOld(const std::uint8_t* data, std::size_t size);
    void SetNew(const std::uint8_t* data, std::size_t size);
    // A NUL-terminated text block; the size counts the NUL.
    void SetOldText(std::string_view text);
    void SetNewText(std::string_view text);

    // The text kept in a block, up to its first NUL and never past its size.
    std::string_view OldText() const;
    std::string_view NewText() const;

    // Back to an empty record (no blocks, sizes and types 0, names empty).
    void Reset();
};

// The text of a block up to its first NUL, never reading past size bytes.
std::string_view BlockText(const DataBlock& block, std::int32_t size);

}  // namespace kelvora
