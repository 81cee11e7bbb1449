#include "scan/attribution.h"

#include <vector>

#include "platform/text.h"

namespace kelvora {

namespace {

std::string Joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty()) path += '\\';
    path.append(name);
    return path;
}

// The path without its last component; empty when it has only one.
std::string_view ParentOf(std::string_view path) {
    const std::size_t cut = path.rfind('\\');
    return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
}

const TNode* ChildNamed(const TNode* node, std::string_view name) {
    for (const TNode* child = node->FirstChild; child != nullptr; child = child->NextSibling) {
        if (EqualsNoCase(child->Name(), name)) return child;
    }
    return nullptr;
}

}  // namespace

AttributingSink::AttributingSink(IChangeSink& inner, platform::FileSystem& files, const ScanConfig& config,
                                 const TKnownActivity* known)
    : inner_(inner), files_(files), window_(config.SetupWindow), known_(known), identifier_(config.Identifier) {
    std::vector<std::string> own = {
        "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Kelvora",
        "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Schedule\\TaskCache\\Tree\\Kelvora",
        "%WINDIR%\\System32\\Tasks\\Kelvora",
    };
    if (config.LogonTaskRegistered) {
        own.push_back("HKLM\\System\\*ControlSet*\\Services\\Schedule\\Start");
        own.push_back("HKLM\\System\\*ControlSet*\\Control\\ServiceCurrent");
    }
    for (const std::string& place : own) {
        if (auto pattern = TPlacePattern::Parse(place, config.WindowsFolder)) footprint_.push_back(std::move(pattern));
    }
}

void AttributingSink::SetLiveKeys(const TNode* root) {
    liveRoot_ = root;
    lastKeyPath_.clear();
    lastKey_ = nullptr;
}

void AttributingSink::AddToTree(std::string_view placement, std::string_view name, TNodeData&& record) {
    const std::string place = ChangePlace(placement, name);
    for (const auto& own : footprint_) {
        if (own->Covers(place)) return;
    }
    if (record.Activity == arSetup) record.Activity = WindowReason(name, record);
    if (record.Activity == arSetup && known_ != nullptr) record.Activity = known_->ReasonFor(place, identifier_);
    inner_.AddToTree(placement, name, std::move(record));
}

const TNode* AttributingSink::LiveKey(std::string_view keyPath) {
    if (liveRoot_ == nullptr) return nullptr;
    if (lastKey_ != nullptr && EqualsNoCase(keyPath, lastKeyPath_)) return lastKey_;
    const TNode* node = liveRoot_;
    std::string_view rest = keyPath;
    while (node != nullptr && !rest.empty()) {
        const std::size_t cut = rest.find('\\');
        node = ChildNamed(node, rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
    if (node != nullptr) {
        lastKeyPath_.assign(keyPath);
        lastKey_ = node;
    }
    return node;
}

std::uint32_t AttributingSink::KeyTime(std::string_view keyPath, bool nearest) {
    for (;;) {
        if (const TNode* key = LiveKey(keyPath)) return key->LastWrite;
        if (!nearest || keyPath.empty()) return 0;
        keyPath = ParentOf(keyPath);
    }
}

bool AttributingSink::ItemTimes(const std::string& path, platform::FindEntry& entry) {
    bool found = false;
    // A path without wildcards lists the item itself.
    files_.List(path, [&](const platform::FindEntry& item) {
        entry = item;
        found = true;
        return false;
    });
    return found;
}

TActivityReason AttributingSink::WindowReason(std::string_view name, const TNodeData& record) {
    if (!window_.Known()) return arSetup;
    const std::uint32_t startSeconds = FileTimeSeconds(window_.Start);
    // Key times are whole seconds, cut down: a key stamped in the second the
    // setup started may have been written by it.
    const auto keyBefore = [&](std::uint32_t seconds) { return seconds != 0 && seconds < startSeconds; };
    // A file time before the setup's start is evidence only when it lies
    // after the first scan began: an earlier one was stamped.
    const auto fileBefore = [&](std::uint64_t time) {
        return time != 0 && time < window_.Start && window_.Scanned != 0 && time >= window_.Scanned;
    };
    platform::FindEntry entry;
    switch (record.Kind) {
        case ckRegKeyCreated:
            return keyBefore(KeyTime(Joined(record.Path, name), false)) ? arOutsideWindow : arSetup;
        case ckRegValueCreated:
        case ckRegValueChanged:
        case ckSharedCounterIncremented:
            return keyBefore(KeyTime(record.Path, false)) ? arOutsideWindow : arSetup;
        case ckRegKeyDeleted:
        case ckRegValueDeleted:
            return keyBefore(KeyTime(record.Path, true)) ? arOutsideWindow : arSetup;
        case ckFileCreated:
        case ckFolderCreated:
            if (!ItemTimes(Joined(record.Path, name), entry) || entry.creationTime == 0) return arSetup;
            return fileBefore(entry.creationTime) || entry.creationTime > window_.End ? arOutsideWindow : arSetup;
        case ckFileDeleted:
        case ckFolderDeleted: {
            // The nearest folder still there; a drive's root ("C:") has no
            // entry of its own and tells nothing.
            std::string folder = record.Path;
            bool found = false;
            while (!found && folder.find('\\') != std::string::npos) {
                found = ItemTimes(folder, entry);
                if (!found) folder = std::string(ParentOf(folder));
            }
            return found && fileBefore(entry.lastWriteTime) ? arOutsideWindow : arSetup;
        }
        default:
            return arSetup;
    }
}

void ForgetMovedTimes(ChangesTree& tree) {
    auto access = tree.Lock();
    if (access.Root() == kNoNode) return;
    std::vector<NodeId> pending{access.FileSystem()};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        const TNodeData& data = access.Data(node);
        if ((data.Kind == ckFileMovedFrom || data.Kind == ckFileMovedTo) && data.Activity == arOutsideWindow) {
            access.SetActivity(node, arSetup);
        }
        for (NodeId child = access.FirstChild(node); child != kNoNode; child = access.NextSibling(child)) {
            pending.push_back(child);
        }
    }
}

}  // namespace kelvora
