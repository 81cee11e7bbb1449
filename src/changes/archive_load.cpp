#include "changes/archive_load.h"

#include <exception>
#include <span>
#include <string>
#include <utility>

#include "changes/chg_archive.h"
#include "changes/identifier.h"

namespace kelvora {

namespace {

class BadArchive : public std::exception {};

// Cuts a stored path at its last backslash: the folder or parent key before
// it, the name after it (no backslash: no folder, the whole text).
std::pair<std::string, std::string> Split(const std::string& text) {
    const std::size_t slash = text.rfind('\\');
    if (slash == std::string::npos) return {std::string(), text};
    return {text.substr(0, slash), text.substr(slash + 1)};
}

// A stored key or folder path is empty or joins non-empty names with single
// backslashes, as the saver writes the tree's branches. An empty name (a
// leading, trailing or doubled backslash) would place the change on a branch
// that no save can write back, apart from the item it names.
bool WellFormedPath(std::string_view path) {
    if (path.empty()) return true;
    return path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string_view::npos;
}

bool Counted(std::int32_t kind) { return kind >= ckRegKeyCreated && kind <= ckFileCreated && kind != ckFolderDeleted; }

void ReadBlockInto(TChgArchive& archive, std::int32_t size, DataBlock& block) {
    std::span<const std::uint8_t> view;
    if (!archive.ReadBlock(size, view)) throw BadArchive();
    block.Assign(view.data(), view.size());
}

// Reads the rest of one record of a known kind into rec, the leaf's name and
// the placement path. Throws BadArchive when the record is cut short.
void ReadRecord(TChgArchive& archive, TNodeData& rec, std::string& name, std::string& placement) {
    const std::int32_t kind = rec.Kind;
    switch (kind) {
        case ckRegKeyCreated:
        case ckRegKeyDeleted: {
            auto [parent, key] = Split(archive.ReadStr());
            rec.Path = std::move(parent);
            name = std::move(key);
            placement += rec.Path;
            break;
        }
        case ckRegValueCreated:
        case ckRegValueChanged:
        case ckRegValueDeleted:
        case ckSharedCounterIncremented:
            rec.Path = archive.ReadStr();
            name = archive.ReadStr();
            rec.ValueType = archive.ReadInt();
            placement += rec.Path;
            if (kind == ckRegValueCreated || kind == ckRegValueChanged) {
                rec.NewSize = archive.ReadInt();
                ReadBlockInto(archive, rec.NewSize, rec.NewData);
            }
            if (kind == ckRegValueChanged || kind == ckRegValueDeleted) {
                rec.OldSize = archive.ReadInt();
                ReadBlockInto(archive, rec.OldSize, rec.OldData);
            }
            if (kind == ckSharedCounterIncremented) {
                if (rec.ValueType == platform::kRegSz) {
                    rec.SetNewText(archive.ReadStr());
                } else if (rec.ValueType == platform::kRegDword) {
                    const auto increment = static_cast<std::uint32_t>(archive.ReadInt());
                    const std::uint8_t bytes[4] = {
                        static_cast<std::uint8_t>(increment), static_cast<std::uint8_t>(increment >> 8),
                        static_cast<std::uint8_t>(increment >> 16), static_cast<std::uint8_t>(increment >> 24)};
                    rec.SetNew(bytes, 4);
                }
            }
            break;
        default: {  // file-system kinds 7 to 13
            auto [folder, item] = Split(archive.ReadStr());
            rec.Path = folder;
            name = std::move(item);
            placement = std::move(folder);
            if (kind == ckFileCreated || kind == ckFileMovedTo) rec.SetNewText(archive.ReadStr());
            if (kind == ckFileChanged || kind == ckFileDeleted || kind == ckFileMovedFrom) rec.SetOldText(archive.ReadStr());
            if (kind == ckFileChanged) rec.SetNewText(archive.ReadStr());
            break;
        }
    }
    if (archive.Damaged() || !WellFormedPath(rec.Path)) throw BadArchive();
}

}  // namespace

TWorkEnd LoadCheckTree(AppContext& context, platform::FileSystem& files, platform::Clock& clock, ChangesTree& tree,
                       IWorkerControl& control, const std::function<void(int)>& setProgress) {
    context.LoadedCounts.fill(0);
    try {
        // An identifier that cannot name a file in the program's folder
        // never reaches the file system.
        if (IdentifierError(context.AppIdentifier, context.ProgramFolder)) throw BadArchive();
        TChgArchive archive(files, clock, ArchiveFileBase(context.ProgramFolder, context.AppIdentifier));
        // The wizard validated the file just before, but it may have changed
        // since: a file that is no longer an archive is not read at all.
        if (!archive.Open()) throw BadArchive();
        TNodeData rec;
        std::string name;
        std::string placement;
        while (!control.Terminated() && archive.Position() < archive.Size()) {
            std::int32_t kind = archive.ReadInt();
            rec.Reset();
            if ((static_cast<std::uint32_t>(kind) & kActivityMarkMask) == kActivityMark) {
                const auto reason = static_cast<std::uint8_t>(kind);
                if (reason == arSetup || reason > kLastActivityReason) throw BadArchive();
                rec.Activity = static_cast<TActivityReason>(reason);
                kind = archive.ReadInt();
            }
            if (archive.Damaged() || !IsStoredKind(kind)) throw BadArchive();
            rec.Kind = static_cast<TChangeKind>(kind);
            placement.clear();
            if (IsRegistryKind(kind)) {
                rec.RootKey = static_cast<std::uint32_t>(archive.ReadInt());
                placement.assign(RootKeyName(rec.RootKey));
                placement += '\\';
            }
            ReadRecord(archive, rec, name, placement);
            if (Counted(kind)) ++context.LoadedCounts[static_cast<std::size_t>(kind)];
            tree.AddToTree(placement, name, std::move(rec));
            if (setProgress) setProgress(archive.PercentDone());
            control.PausePoint();
        }
        return control.Terminated() ? TWorkEnd::Stopped : TWorkEnd::Completed;
    } catch (const BadArchive&) {
        // Only damage ends the load as a bad archive; any other fault (a
        // programming error, memory running out while the tree grows) leaves
        // through the worker's fatal-exception path.
        return TWorkEnd::Refused;
    }
}

TWizardState LoadEndState(TWorkEnd end) {
    switch (end) {
    case TWorkEnd::Refused: return TWizardState::wsBadArchive;
    case TWorkEnd::Stopped: return TWizardState::wsStopped;
    case TWorkEnd::Completed: break;
    }
    return TWizardState::wsIdle;
}

}  // namespace kelvora
