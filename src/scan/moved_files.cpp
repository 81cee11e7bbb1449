#include "scan/moved_files.h"

#include <algorithm>

namespace kelvora {

namespace {

// A time-and-size text up to its terminating zero byte.
std::basic_string_view<std::uint8_t> TextOf(std::basic_string_view<std::uint8_t> data) {
    const std::size_t end = data.find(std::uint8_t{0});
    return end == std::basic_string_view<std::uint8_t>::npos ? data : data.substr(0, end);
}

struct DeletedFile {
    std::size_t ordinal;
    std::string name;
    std::basic_string<std::uint8_t> text;
};

}  // namespace

void MovedTwinIndex::MakeKey(std::string& key, std::string_view name, std::basic_string_view<std::uint8_t> text) {
    const auto plain = TextOf(text);
    key.assign(name);
    key.push_back('\0');  // no file name holds a zero byte
    key.append(reinterpret_cast<const char*>(plain.data()), plain.size());
}

void MovedTwinIndex::AddCreated(std::size_t ordinal, std::string_view name,
                                std::basic_string_view<std::uint8_t> newText) {
    MakeKey(key_, name, newText);
    twins_[key_].ordinals.push_back(ordinal);
}

std::size_t MovedTwinIndex::FindMovedTwin(std::string_view name, std::basic_string_view<std::uint8_t> oldText) {
    MakeKey(key_, name, oldText);
    const auto found = twins_.find(key_);
    if (found == twins_.end() || found->second.taken == found->second.ordinals.size()) return npos;
    return found->second.ordinals[found->second.taken++];
}

void DetectMoved(ScanEnv& env, IChangeSink& sink) {
    // First the branch is read once: the created files go into the index,
    // the deleted ones into a list, both in walk order.
    MovedTwinIndex index;
    std::vector<DeletedFile> deleted;
    std::size_t ordinal = 0;
    sink.VisitFileSystemBranch([&](IChangeSink::NodeView& node) {
        if (node.Kind == ckFileCreated) {
            index.AddCreated(ordinal, node.Name, node.NewData);
        } else if (node.Kind == ckFileDeleted) {
            const auto text = TextOf(node.OldData);
            deleted.push_back({ordinal, std::string(node.Name), std::basic_string<std::uint8_t>(text)});
        }
        ++ordinal;
        return !env.worker.Terminated();
    });

    // The leaves that change: their place in walk order, their new kind and
    // their name (both leaves of a pair have the same name).
    struct Mark {
        std::size_t ordinal;
        std::int32_t kind;
        const std::string* name;
        bool operator<(const Mark& other) const { return ordinal < other.ordinal; }
    };
    std::vector<Mark> marks;
    for (const DeletedFile& file : deleted) {
        if (env.worker.Terminated()) break;
        const std::size_t twin = index.FindMovedTwin(file.name, file.text);
        if (twin == MovedTwinIndex::npos) continue;
        marks.push_back({file.ordinal, ckFileMovedFrom, &file.name});
        marks.push_back({twin, ckFileMovedTo, &file.name});
        env.worker.PausePoint();
    }
    if (marks.empty()) return;
    std::sort(marks.begin(), marks.end());

    // Then the kinds are rewritten in a second pass. A leaf is changed only
    // if it still has the kind and the name it was paired with, so a branch
    // that the user removed in between cannot move a mark onto another leaf.
    std::size_t next = 0;
    ordinal = 0;
    sink.VisitFileSystemBranch([&](IChangeSink::NodeView& node) {
        if (ordinal == marks[next].ordinal) {
            const Mark& mark = marks[next];
            const std::int32_t expected = mark.kind == ckFileMovedFrom ? ckFileDeleted : ckFileCreated;
            if (node.Kind == expected && node.Name == *mark.name) node.Kind = mark.kind;
            ++next;
        }
        ++ordinal;
        return next < marks.size();
    });
}

}  // namespace kelvora
