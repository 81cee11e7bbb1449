#include "scan/ordered_records.h"

#include "worker/halted_wait.h"

namespace kelvora {

namespace {

// A run goes to its part once it holds this many bytes, so the part at the
// head reaches the file while it is walked.
constexpr std::size_t kRunSize = 256 * 1024;

}  // namespace

// A sub-tree's records: runs, and the parts handed off from it, in order.
class RecordPart {
public:
    struct Item {
        std::vector<std::uint8_t> records;
        bool runStart = false;
        std::string lastPath;
        std::shared_ptr<RecordPart> child;  // set: a part handed off here
    };

    RecordPart(std::string walkPath, std::size_t walkDepth) : path(std::move(walkPath)), depth(walkDepth) {}

    const std::string path;
    const std::size_t depth;
    // Under the stream's mutex:
    std::deque<Item> items;
    bool started = false;
    bool closed = false;
    std::exception_ptr error;
};

PartWriter::PartWriter(TOrderedRecords& stream, RecordPart& part)
    : stream_(stream), part_(part), records_(TDBTree::CreateEmpty({}, "part")) {}

void PartWriter::Wrote() {
    if (records_.Bytes().size() >= kRunSize) Flush();
}

void PartWriter::Flush() {
    if (records_.Bytes().empty()) return;
    std::vector<std::uint8_t> records = records_.TakeRecords();
    stream_.Push(part_, std::move(records), runStart_, records_.LastPath());
    runStart_ = false;
}

bool PartWriter::HandOff(std::string_view path, std::size_t depth) {
    if (!stream_.WantsHandOff(depth)) return false;
    Flush();
    stream_.HandOff(part_, std::string(path), depth);
    // What the walk writes next follows the handed-off part in the file.
    records_.ForgetPath();
    runStart_ = true;
    return true;
}

void PartWriter::Close() { Flush(); }

TOrderedRecords::TOrderedRecords(TWorkerPool& pool, IWorkerControl& control, TDBTree& out, Walk walk,
                                 std::size_t heldBudget)
    : pool_(pool), out_(out), walk_(std::move(walk)), heldBudget_(heldBudget), walkControl_(control) {}

bool TOrderedRecords::WantsHandOff(std::size_t depth) const {
    return depth <= kDeepestHandOff && held_.load() < heldBudget_ && pool_.WantsWork();
}

void TOrderedRecords::HandOff(RecordPart& parent, std::string path, std::size_t depth) {
    auto child = std::make_shared<RecordPart>(std::move(path), depth);
    {
        std::lock_guard lock(mutex_);
        parent.items.push_back(RecordPart::Item{{}, false, {}, child});
    }
    changed_.notify_all();
    pool_.Add([self = shared_from_this(), child](IWorkerControl&) { self->WalkPart(child); });
}

void TOrderedRecords::Push(RecordPart& part, std::vector<std::uint8_t> records, bool runStart,
                           std::string lastPath) {
    std::unique_lock lock(mutex_);
    held_.fetch_add(records.size());
    part.items.push_back(RecordPart::Item{std::move(records), runStart, std::move(lastPath), nullptr});
    changed_.notify_all();
    if (std::this_thread::get_id() == owner_) {
        lock.unlock();
        Pump(Until::kBlocked);
        // Over the budget the owner's own walk waits too, writing what comes
        // before its part meanwhile.
        if (held_.load() > heldBudget_) Pump(Until::kTurnOf, &part);
        return;
    }
    // The walk of a part that is not at the head waits over the budget: the
    // head is walked by a thread that does not wait, or by the owner.
    WaitHalted(walkControl_, lock, changed_, [&] {
        return held_.load() <= heldBudget_ || IsHead(part) || walkControl_.Terminated();
    });
}

void TOrderedRecords::WalkPart(const std::shared_ptr<RecordPart>& part) {
    {
        std::lock_guard lock(mutex_);
        if (part->started || walkControl_.GivenUp()) return;
        part->started = true;
        ++walking_;
    }
    std::exception_ptr error;
    try {
        PartWriter writer(*this, *part);
        walk_(writer, part->path, part->depth, walkControl_);
        writer.Close();
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard lock(mutex_);
        part->error = error;
        part->closed = true;
        --walking_;
    }
    changed_.notify_all();
}

void TOrderedRecords::Run(const std::string& path) {
    try {
        WalkAll(path);
    } catch (...) {
        Abandon();
        throw;
    }
}

void TOrderedRecords::WalkAll(const std::string& path) {
    owner_ = std::this_thread::get_id();
    root_ = std::make_shared<RecordPart>(path, 0);
    root_->started = true;
    entered_.push_back(root_);
    {
        PartWriter writer(*this, *root_);
        walk_(writer, path, 0, walkControl_);
        writer.Close();
    }
    {
        std::lock_guard lock(mutex_);
        root_->closed = true;
    }
    Pump(Until::kEnd);
}

void TOrderedRecords::Abandon() {
    walkControl_.GiveUp();
    changed_.notify_all();  // walks waiting over the budget stop
    std::unique_lock lock(mutex_);
    WaitHalted(walkControl_, lock, changed_, [this] { return walking_ == 0; });
}

bool TOrderedRecords::IsHead(const RecordPart& part) const {
    return !entered_.empty() && entered_.back().get() == &part;
}

// Also entered from within itself: a run that the owner's own walk of a
// part completes is written at once (Push). So nothing is kept across a
// call that may walk; each round looks at the entered parts again. Waiting
// threads are told of each run written and each part entered or left.
void TOrderedRecords::Pump(Until until, const RecordPart* own) {
    std::unique_lock lock(mutex_);
    while (!entered_.empty()) {
        if (until == Until::kTurnOf && (IsHead(*own) || held_.load() <= heldBudget_)) return;
        const std::shared_ptr<RecordPart> part = entered_.back();
        if (!part->items.empty()) {
            RecordPart::Item item = std::move(part->items.front());
            part->items.pop_front();
            if (item.child != nullptr) {
                entered_.push_back(std::move(item.child));
                changed_.notify_all();
                continue;
            }
            lock.unlock();
            out_.AppendRecords(item.records, item.runStart, item.lastPath);
            lock.lock();
            held_.fetch_sub(item.records.size());
            changed_.notify_all();
            continue;
        }
        if (part->closed) {
            entered_.pop_back();
            changed_.notify_all();
            if (part->error) std::rethrow_exception(part->error);
            continue;
        }
        if (until == Until::kBlocked) return;
        if (!part->started) {
            // No worker has come to it: the owner walks it itself.
            lock.unlock();
            WalkPart(part);
            lock.lock();
            continue;
        }
        WaitHalted(walkControl_, lock, changed_, [&] { return !part->items.empty() || part->closed; });
    }
}

}  // namespace kelvora
