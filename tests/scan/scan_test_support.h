// Shared pieces of the scanning engine's tests: a worker that can be told to
// stop after some pause points, a thread with a small stack, a changes list
// that records what the comparisons report, a recorder of status texts and
// progress steps, and a flat listing of a snapshot tree.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "changes/changes_tree.h"
#include "platform/text.h"
#include "scan/base_scan_thread.h"
#include "scan/change_sink.h"
#include "scan/scan_env.h"
#include "scan/snapshot_tree.h"
#include "settings/app_context.h"
#include "support/small_stack.h"
#include "worker/worker_control.h"

namespace kelvora::testing {

// Stops like Cancel does (wizard state wsStopped, then the terminated flag)
// once stopAfter pause points have passed; never when stopAfter is negative.
// Events are the pause points together with the statuses and steps that a
// RecordingReporter reports to it: stopAtEvent stops at the one of that
// number, so a loop over the events of a run can stop it in every phase.
class StoppableWorker : public IWorkerControl {
public:
    explicit StoppableWorker(AppContext& context) : context_(context) {}
    bool Terminated() const override { return terminated_; }
    void PausePoint() override {
        ++pausePoints;
        if (stopAfter >= 0 && pausePoints >= stopAfter) Stop();
        Event();
    }
    void Event() {
        ++events;
        if (stopAtEvent >= 0 && events >= stopAtEvent) Stop();
    }
    void Stop() {
        context_.WizardState = TWizardState::wsStopped;
        terminated_ = true;
    }
    // Ready for another run: no stop, counts at zero.
    void Reset() {
        terminated_ = false;
        stopAfter = stopAtEvent = -1;
        pausePoints = events = 0;
    }
    long stopAfter = -1;
    long pausePoints = 0;
    long stopAtEvent = -1;
    long events = 0;

private:
    AppContext& context_;
    bool terminated_ = false;
};

// The folders of a run on the in-memory machine: the program in C:\Kelvora
// (excluded, as the program excludes its own folder), Windows in C:\Windows.
inline void UseFoldersOnDriveC(ScanConfig& config) {
    config.ProgramFolder = "C:\\Kelvora";
    config.WindowsFolder = "C:\\Windows";
    config.SystemDriveRoot = "C:\\";
    config.Settings.ExcludedFolders.Add("C:\\Kelvora");
}

// A worker that is never stopped nor paused, and may be polled from any
// thread.
class NeverStopped : public IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

// Runs work on a new thread whose stack has 1 MB (the main thread's may be
// far larger) and waits for it: a walk that recursed once per level of a
// deep tree would overflow it.
// (Under Wine an overflow may end only that thread: the work must finish.)
inline void RunOnSmallStack(const std::function<void()>& work) {
    bool finished = false;
    RunWithStack(kOneMegabyte, [&] {
        work();
        finished = true;
    });
    EXPECT_TRUE(finished);
}

// The changes as the tree receives them, in order.
class RecordingSink : public IChangeSink {
public:
    struct Entry {
        std::string placement;
        std::string name;
        TNodeData record;
    };
    std::vector<Entry> entries;

    void AddToTree(std::string_view placement, std::string_view name, TNodeData&& record) override {
        entries.push_back({std::string(placement), std::string(name), std::move(record)});
    }
    // "kind placement|name" per entry, for comparing whole sequences.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const Entry& entry : entries) {
            lines.push_back(std::to_string(entry.record.Kind) + " " + entry.placement + "|" + entry.name);
        }
        return lines;
    }
};

// "kind full path" of every change leaf of a changes tree, depth first.
inline void TreeLines(const ChangesTree::Access& access, NodeId node, std::vector<std::string>& out) {
    for (; node != kNoNode; node = access.NextSibling(node)) {
        if (IsStoredKind(access.Data(node).Kind)) {
            out.push_back(std::to_string(access.Data(node).Kind) + " " + access.FullPath(node));
        }
        TreeLines(access, access.FirstChild(node), out);
    }
}

inline std::vector<std::string> TreeLines(ChangesTree& tree) {
    std::vector<std::string> out;
    const ChangesTree::Access access = tree.Lock();
    TreeLines(access, access.Root(), out);
    return out;
}

class RecordingReporter : public IScanProgress {
public:
    std::vector<std::string> statuses;
    int steps = 0;
    // When set, each status and step is an event of this worker.
    StoppableWorker* worker = nullptr;
    void ShowStatus(const std::string& status) override {
        statuses.push_back(status);
        if (worker != nullptr) worker->Event();
    }
    void StepProgress() override {
        ++steps;
        if (worker != nullptr) worker->Event();
    }
};

inline std::vector<std::uint8_t> OldBytes(const TNodeData& record) {
    const std::uint8_t* data = record.OldData.Get();
    return data == nullptr ? std::vector<std::uint8_t>() : std::vector<std::uint8_t>(data, data + record.OldSize);
}
inline std::vector<std::uint8_t> NewBytes(const TNodeData& record) {
    const std::uint8_t* data = record.NewData.Get();
    return data == nullptr ? std::vector<std::uint8_t>() : std::vector<std::uint8_t>(data, data + record.NewSize);
}

// prefix followed by the number (built by appending: GCC 12 warns wrongly
// about "text" + std::to_string(n)).
inline std::string Numbered(std::string_view prefix, int number) {
    std::string text(prefix);
    text += std::to_string(number);
    return text;
}

inline std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

inline std::vector<std::uint8_t> Dword(std::uint32_t number) {
    return {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
            static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
}

// "path|name|kind|size" for every item and "path" for every node of a tree
// ("path (unreadable)" for an unreadable one), in tree order (the order the
// comparisons would meet them).
inline void Flatten(const TNode* node, const std::string& parent, std::vector<std::string>& out) {
    for (; node != nullptr; node = node->NextSibling) {
        const std::string path = parent.empty() ? std::string(node->Name()) : parent + "\\" + std::string(node->Name());
        out.push_back(node->Unreadable ? path + " (unreadable)" : path);
        for (const TValori* item = node->Values; item != nullptr; item = item->Next) {
            out.push_back(path + "|" + std::string(item->Name()) + "|" + std::to_string(item->DataType) + "|" +
                          std::to_string(item->Size));
        }
        Flatten(node->FirstChild, path, out);
    }
}

inline std::vector<std::string> Flatten(const SnapshotTree& tree) {
    std::vector<std::string> out;
    Flatten(tree.Root, {}, out);
    return out;
}

// The node at a key path below node (names matched ignoring case), or null.
inline const TNode* FindKey(const TNode* node, std::string_view path) {
    while (node != nullptr && !path.empty()) {
        const std::size_t cut = path.find('\\');
        const std::string_view name = path.substr(0, cut);
        path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
        node = node->FirstChild;
        while (node != nullptr && !EqualsNoCase(node->Name(), name)) node = node->NextSibling;
    }
    return node;
}

}  // namespace kelvora::testing
