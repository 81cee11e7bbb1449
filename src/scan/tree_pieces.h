// A live registry tree read by several threads. While workers of the pool
// are idle, the reader hands sub-keys off: it places the sub-key's node
// where the walk would have put it, and a worker reads the sub-key into a
// tree of its own whose root's content then fills that node (and may hand
// off further). When the reader is done it reads the pieces no worker has
// started itself, waits for the rest, and takes their arenas over: the tree
// is the one a single walk would build.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "scan/snapshot_tree.h"
#include "worker/stoppable_control.h"
#include "worker/worker_pool.h"

namespace kelvora {

class TTreePieces : public std::enable_shared_from_this<TTreePieces> {
public:
    // Reads the sub-tree at path into tree (its root named nodeName), handing
    // off through pieces, polling control; depth: of path below the tree's
    // root. Called on any thread of the pool.
    using Read = std::function<void(TTreePieces& pieces, SnapshotTree& tree, const std::string& path,
                                    std::string_view nodeName, std::size_t depth, IWorkerControl& control)>;

    TTreePieces(TWorkerPool& pool, IWorkerControl& control, Read read);

    // The reader: reads the whole tree at path.
    SnapshotTree ReadAll(const std::string& path, std::string_view nodeName);

    // Whether a sub-key depth levels down is to be handed off now.
    bool Wants(std::size_t depth) const;
    // Hands the sub-key at path off; its content goes to into.
    void HandOff(TNode* into, std::string path, std::size_t depth);

private:
    struct Piece {
        TNode* into;
        std::string path;
        std::size_t depth;
    };

    // Reads one piece not started yet, if there is one.
    void ReadOne();
    void Finish(SnapshotTree& tree);
    // After a failure: no piece is started any more, and those being read
    // stop; returns when none is read.
    void Abandon();

    TWorkerPool& pool_;
    Read read_;
    TStoppableControl control_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // Under mutex_:
    std::deque<Piece> waiting_;
    int reading_ = 0;
    std::vector<SnapshotTree> read_trees_;
    std::exception_ptr error_;
};

}  // namespace kelvora
