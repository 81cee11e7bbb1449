#include "scan/tree_pieces.h"

#include "scan/ordered_records.h"
#include "worker/halted_wait.h"

namespace kelvora {

TTreePieces::TTreePieces(TWorkerPool& pool, IWorkerControl& control, Read read)
    : pool_(pool), read_(std::move(read)), control_(control) {}

SnapshotTree TTreePieces::ReadAll(const std::string& path, std::string_view nodeName) {
    SnapshotTree tree;
    try {
        read_(*this, tree, path, nodeName, 0, control_);
        Finish(tree);
    } catch (...) {
        Abandon();
        throw;
    }
    return tree;
}

bool TTreePieces::Wants(std::size_t depth) const { return depth <= kDeepestHandOff && pool_.WantsWork(); }

void TTreePieces::HandOff(TNode* into, std::string path, std::size_t depth) {
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(Piece{into, std::move(path), depth});
    }
    pool_.Add([self = shared_from_this()](IWorkerControl&) { self->ReadOne(); });
}

void TTreePieces::ReadOne() {
    Piece piece;
    {
        std::lock_guard lock(mutex_);
        if (waiting_.empty() || control_.GivenUp()) return;
        piece = std::move(waiting_.front());
        waiting_.pop_front();
        ++reading_;
    }
    SnapshotTree tree;
    std::exception_ptr error;
    try {
        read_(*this, tree, piece.path, piece.into->Name(), piece.depth, control_);
        // Nobody else touches these fields of the node the reader placed.
        if (tree.Root != nullptr) {
            piece.into->Values = tree.Root->Values;
            piece.into->FirstChild = tree.Root->FirstChild;
            piece.into->Unreadable = tree.Root->Unreadable;
        }
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard lock(mutex_);
        if (error && !error_) error_ = error;
        read_trees_.push_back(std::move(tree));
        --reading_;
    }
    changed_.notify_all();
}

void TTreePieces::Finish(SnapshotTree& tree) {
    std::unique_lock lock(mutex_);
    while (!waiting_.empty() || reading_ > 0) {
        if (!waiting_.empty()) {
            lock.unlock();
            ReadOne();
            lock.lock();
            continue;
        }
        WaitHalted(control_, lock, changed_, [this] { return !waiting_.empty() || reading_ == 0; });
    }
    for (SnapshotTree& piece : read_trees_) tree.Adopt(std::move(piece));
    read_trees_.clear();
    if (error_) std::rethrow_exception(error_);
}

void TTreePieces::Abandon() {
    control_.GiveUp();
    std::unique_lock lock(mutex_);
    WaitHalted(control_, lock, changed_, [this] { return reading_ == 0; });
}

}  // namespace kelvora
