// One snapshot file written by several threads at once, byte for byte as one
// walk would write it. The walk of a target runs on the thread that owns the
// snapshot; while other workers of the pool are idle, it hands sub-trees off
// to them (a sub-key, a sub-folder), each walked into a part of its own,
// which may hand off further. The owner writes the parts to the file in the
// walk's order as they come, the part at the head as it is being walked;
// a part that is not at the head waits in memory; while those hold more than
// a budget, no sub-tree is handed off and the walks of parts not at the head
// wait. A part no worker has started when
// the owner needs it is walked by the owner itself, so the owner never waits
// for a worker that is busy elsewhere.
//
// Each run of records (a part's, or its parent's after it) starts as a
// snapshot's first record does; the owner encodes that record again against
// the record before it in the file (TDBTree::AppendRecords).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "scan/db_tree.h"
#include "worker/stoppable_control.h"
#include "worker/worker_control.h"
#include "worker/worker_pool.h"

namespace kelvora {

class RecordPart;
class TOrderedRecords;

// No sub-tree deeper than this below its target is handed off to another
// thread, here or in the rescan's live tree (tree_pieces.h): such a sub-tree
// is mostly small, and a hand-off costs the opening of its whole path.
inline constexpr std::size_t kDeepestHandOff = 4;

// Where a walk writes its records: a part's open run. The walk asks it
// whether to hand a sub-tree off.
class PartWriter {
public:
    PartWriter(TOrderedRecords& stream, RecordPart& part);
    TDBTree& Records() { return records_; }
    // After each record: a full run goes to the part.
    void Wrote();
    // True when the sub-tree at path (depth levels below the target) was
    // handed off: the walk leaves it out.
    bool HandOff(std::string_view path, std::size_t depth);
    // The end of the walk: the rest goes to the part.
    void Close();

private:
    void Flush();

    TOrderedRecords& stream_;
    RecordPart& part_;
    TDBTree records_;
    bool runStart_ = true;
};

class TOrderedRecords : public std::enable_shared_from_this<TOrderedRecords> {
public:
    // Walks the sub-tree at path into the writer, polling control; depth: of
    // path below the target. Called on any thread of the pool.
    using Walk = std::function<void(PartWriter& writer, const std::string& path, std::size_t depth,
                                    IWorkerControl& control)>;

    // While the runs not yet written hold more than heldBudget bytes, no
    // sub-tree is handed off, and a walk whose part is not at the head of
    // the file waits.
    static constexpr std::size_t kHeldBudget = 16 * 1024 * 1024;

    TOrderedRecords(TWorkerPool& pool, IWorkerControl& control, TDBTree& out, Walk walk,
                    std::size_t heldBudget = kHeldBudget);

    // Owner: walks the target at path and writes everything into out. A
    // part's failure is rethrown here, once no part is walked any more.
    void Run(const std::string& path);

private:
    friend class PartWriter;

    void WalkAll(const std::string& path);
    // After a failure: no part is started any more, and those being walked
    // stop; returns when none is walked.
    void Abandon();

    bool WantsHandOff(std::size_t depth) const;
    void HandOff(RecordPart& parent, std::string path, std::size_t depth);
    void Push(RecordPart& part, std::vector<std::uint8_t> records, bool runStart, std::string lastPath);
    void WalkPart(const std::shared_ptr<RecordPart>& part);
    // Under mutex_: the part's runs are the next to be written.
    bool IsHead(const RecordPart& part) const;
    // Owner: writes in order what can be written, until it would have to
    // wait, until own is at the head (or the runs held are within the
    // budget), or until the end.
    enum class Until { kBlocked, kTurnOf, kEnd };
    void Pump(Until until, const RecordPart* own = nullptr);

    TWorkerPool& pool_;
    TDBTree& out_;
    Walk walk_;
    const std::size_t heldBudget_;
    std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int walking_ = 0;  // parts being walked by the pool's threads or the owner, under mutex_
    // What the walks poll: given up after a failure.
    TStoppableControl walkControl_;
    std::atomic<std::size_t> held_{0};  // bytes in runs not yet written, changed under mutex_
    std::shared_ptr<RecordPart> root_;
    // The owner's place in the parts: the parts entered, outermost first.
    std::vector<std::shared_ptr<RecordPart>> entered_;
};

}  // namespace kelvora
