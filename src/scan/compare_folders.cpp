#include "scan/compare_folders.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "scan/name_index.h"

namespace kelvora {

std::string FileStateText(const TValori& file, const platform::DateTimeSeparators& separators) {
    std::uint8_t block[8] = {};
    if (file.Data() != nullptr) std::memcpy(block, file.Data(), std::min<std::size_t>(8, static_cast<std::size_t>(file.Size)));
    std::uint32_t packed = 0;
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i) {
        packed |= static_cast<std::uint32_t>(block[i]) << (8 * i);
        size |= static_cast<std::uint32_t>(block[4 + i]) << (8 * i);
    }
    const unsigned date = packed >> 16;
    const unsigned time = packed & 0xFFFF;
    // The date's fields in the order of the user's short date.
    unsigned fields[3] = {date & 0x1F, (date >> 5) & 0x0F, (1980 + (date >> 9)) % 100};
    if (separators.dateOrder == "MDY") std::swap(fields[0], fields[1]);
    if (separators.dateOrder == "YMD") std::swap(fields[0], fields[2]);
    const auto print = [&](char* out, std::size_t room) {
        return std::snprintf(out, room, "%02u%s%02u %02u%s%02u%s%02u %d", time >> 11, separators.time.c_str(),
                             (time >> 5) & 0x3F, fields[0], separators.date.c_str(), fields[1], separators.date.c_str(),
                             fields[2], static_cast<std::int32_t>(size));
    };
    std::string text(static_cast<std::size_t>(print(nullptr, 0)), '\0');
    print(text.data(), text.size() + 1);
    return text;
}

namespace {

bool SameBlock(const TValori& a, const TValori& b) {
    return a.Size == b.Size && (a.Size == 0 || std::memcmp(a.Data(), b.Data(), static_cast<std::size_t>(a.Size)) == 0);
}

class FolderComparer {
public:
    FolderComparer(ScanEnv& env, IChangeSink& sink, bool deleted) : env_(env), sink_(sink), deleted_(deleted) {}

    // Compares the chain at a with the chain at b, and so on down both trees
    // in the order a recursion would take: each folder of a, then its files,
    // then its sub-folders, before the next folder of a. The walk keeps its
    // own stack, so a tree of any depth (a damaged snapshot can make one
    // from a small file) compares on a small thread stack. path is PathA; it
    // is extended and restored as the walk goes down and up.
    void Compare(const TNode* a, const TNode* b, std::string& path) {
        frames_.clear();
        Descend(a, b, path);
        while (!frames_.empty()) {
            Frame& frame = frames_.back();
            if (frame.next == nullptr || env_.Stopped()) {
                frames_.pop_back();
                if (frames_.empty()) break;
                // Back at the parent folder, after its whole sub-tree.
                path.resize(frames_.back().pathLength);
                env_.worker.PausePoint();
                continue;
            }
            const TNode* na = frame.next;
            frame.next = na->NextSibling;
            const TNode* nb = nodeIndexes_[frames_.size() - 1].Find(na->Name());
            if (nb == nullptr) ReportFolder(*na, path);
            path.append(na->Name());  // the folder's own path: the files' Path
            if (nb == nullptr) {
                for (const TValori* file = na->Values; file != nullptr; file = file->Next) ReportLoneFile(*file, path);
            } else if (na->Unreadable || nb->Unreadable) {
                // What an unreadable folder held is not known: nothing in it
                // is reported as created or deleted.
                path.resize(frame.pathLength);
                env_.worker.PausePoint();
                continue;
            } else {
                CompareFiles(*na, *nb, path);
            }
            path.push_back('\\');
            Descend(na->FirstChild, nb != nullptr ? nb->FirstChild : nullptr, path);
        }
    }

private:
    void ReportFolder(const TNode& node, std::string_view parentPath) {
        TNodeData record;
        record.Kind = deleted_ ? ckFolderDeleted : ckFolderCreated;
        if (!parentPath.empty()) record.Path.assign(parentPath.substr(0, parentPath.size() - 1));
        sink_.AddToTree(parentPath, node.Name(), std::move(record));
    }

    void ReportLoneFile(const TValori& file, std::string_view folderPath) {
        TNodeData record;
        record.Path.assign(folderPath);
        if (deleted_) {
            record.Kind = ckFileDeleted;
            record.SetOldText(FileStateText(file, env_.separators));
        } else {
            record.Kind = ckFileCreated;
            record.SetNewText(FileStateText(file, env_.separators));
        }
        sink_.AddToTree(folderPath, file.Name(), std::move(record));
    }

    void CompareFiles(const TNode& na, const TNode& nb, std::string_view folderPath) {
        fileIndex_.Build(nb.Values);
        for (const TValori* fa = na.Values; fa != nullptr; fa = fa->Next) {
            const TValori* fb = fileIndex_.Find(fa->Name());
            if (fb == nullptr) {
                ReportLoneFile(*fa, folderPath);
            } else if (!deleted_ && !SameBlock(*fa, *fb)) {
                TNodeData record;
                record.Kind = ckFileChanged;
                record.Path.assign(folderPath);
                record.SetOldText(FileStateText(*fb, env_.separators));
                record.SetNewText(FileStateText(*fa, env_.separators));
                sink_.AddToTree(folderPath, fa->Name(), std::move(record));
            }
            env_.worker.PausePoint();
        }
    }

    // A chain being walked: its next node and the length of its PathA.
    struct Frame {
        const TNode* next;
        std::size_t pathLength;
    };

    // Starts the walk of the chain at a against the chain at b, one level
    // below the current one.
    void Descend(const TNode* a, const TNode* b, const std::string& path) {
        const std::size_t depth = frames_.size();
        if (nodeIndexes_.size() <= depth) nodeIndexes_.emplace_back();
        nodeIndexes_[depth].Build(b);
        frames_.push_back({a, path.size()});
    }

    ScanEnv& env_;
    IChangeSink& sink_;
    bool deleted_;
    std::vector<Frame> frames_;
    std::deque<NameIndex<TNode>> nodeIndexes_;  // one per depth, reused
    NameIndex<TValori> fileIndex_;             // used by one folder pair at a time
};

}  // namespace

void CompareFolders(ScanEnv& env, IChangeSink& sink, const TNode* a, const TNode* b, std::string_view pathA,
                    bool deleted) {
    FolderComparer comparer(env, sink, deleted);
    std::string path(pathA);
    comparer.Compare(a, b, path);
}

}  // namespace kelvora
