#include "scan/scan_sequence.h"

#include <string>
#include <vector>

#include "scan/attribution.h"
#include "scan/compare_folders.h"
#include "scan/compare_keys.h"
#include "scan/db_tree.h"
#include "scan/folder_scan.h"
#include "scan/moved_files.h"
#include "scan/registry_scan.h"
#include "translation/messages.h"
#include "worker/worker_pool.h"

namespace kelvora {

namespace {

void Show(IScanProgress& reporter, const Message& message, std::string_view suffix = {}) {
    std::string status = TranslateString(message);
    status.append(suffix);
    reporter.ShowStatus(status);
}

// A step is never shown once a stop was requested.
void Step(ScanEnv& env, IScanProgress& reporter) {
    if (!env.worker.Terminated()) reporter.StepProgress();
}

// How a run that went through ends. A stop requested at any moment before,
// even after the last test of the work, keeps the run stopped.
TWorkEnd Ended(const ScanEnv& env) { return env.worker.Terminated() ? TWorkEnd::Stopped : TWorkEnd::Completed; }

// What a whole rescan found teaches the places the machine changes by itself
// (known_activity.h), unless no application is named. A place that cannot be
// learned is only a lost lesson.
void Learn(ScanEnv& env, ChangesTree& tree) {
    if (env.config.Identifier.empty()) return;
    const ChangesTree::Access access = tree.Lock();
    LearnActivity(env.files, env.config.ProgramFolder, env.config.Identifier, access);
}

}  // namespace

bool ScansFileSystem(const TSettings& settings) { return settings.ScanWin || settings.ScanProg || settings.ScanOthers; }

TWorkEnd ExecuteScan(ScanEnv& env, IScanProgress& reporter) {
    const TSettings& settings = env.config.Settings;
    // Each target is walked into a snapshot file of its own, so the targets
    // are walked at once; their statuses and steps are shown in order, as
    // each one's walk has ended.
    struct Shown {
        const Message* message;
        std::string_view suffix;
        std::size_t task;  // its number in the pool, which also runs the tasks' own tasks
    };
    std::vector<Shown> shown;
    TWorkerPool pool(env.worker, env.config.Workers);
    for (const RegistryCategory& category : kRegistryCategories) {
        if (!(settings.*category.Setting)) continue;
        const std::size_t number = pool.Add([&env, &category, &pool](IWorkerControl& control) {
            ScanEnv task = env.For(control);
            // A walk cut short by a stop request is saved with what it
            // holds. The records go to the file as the walk goes.
            TDBTree dbTree = TDBTree::CreateStreaming(task.files, task.config.ProgramFolder, category.BaseName);
            ScanKey(task, category.Root, {}, dbTree, &pool);
            dbTree.Save(task.files);
        });
        shown.push_back({&RS_SCAN_REG, category.StatusSuffix, number});
    }
    if (ScansFileSystem(settings)) {
        const std::size_t number = pool.Add([&env, &pool](IWorkerControl& control) {
            ScanEnv task = env.For(control);
            ScanFileSystem(task, &pool);
        });
        shown.push_back({&RS_SCAN_FS, {}, number});
    }
    for (std::size_t i = 0; i < shown.size() && !env.worker.Terminated(); ++i) {
        Show(reporter, *shown[i].message, shown[i].suffix);
        pool.Wait(shown[i].task);
        Step(env, reporter);
    }
    return Ended(env);
}

TWorkEnd ExecuteRescan(ScanEnv& env, IScanProgress& reporter, ChangesTree& tree, const SnapshotLoader& loadSnapshot) {
    ChangesTreeSink treeSink(tree);
    TKnownActivity known;
    known.Load(env.files, env.config.ProgramFolder, env.config.WindowsFolder);
    AttributingSink sink(treeSink, env.files, env.config, &known);
    const TSettings& settings = env.config.Settings;
    IWorkerControl& worker = env.worker;
    // The folders are walked into their snapshot file while the registry is
    // read and compared (with one worker: after it, when waited for).
    TWorkerPool pool(worker, env.config.Workers);
    std::size_t foldersTask = 0;
    if (ScansFileSystem(settings)) {
        foldersTask = pool.Add([&env, &pool](IWorkerControl& control) {
            // The first scan's snapshot keeps its content under the old
            // name; a failed move shows later as a missing file.
            const std::string& folder = env.config.ProgramFolder;
            env.files.Rename(FileInFolder(folder, "FIS2.SNS"), FileInFolder(folder, "FIS1.SNS"));
            ScanEnv task = env.For(control);
            ScanFileSystem(task, &pool);
        });
    }
    // Leaving early frees whatever trees exist (they own their memory) and
    // stops the folders' walk.
    for (const RegistryCategory& category : kRegistryCategories) {
        if (!(settings.*category.Setting)) continue;
        Show(reporter, RS_SCAN_REG, category.StatusSuffix);
        const SnapshotTree oldTree = loadSnapshot(category.BaseName);
        if (worker.Terminated()) return TWorkEnd::Stopped;
        Step(env, reporter);
        const SnapshotTree newTree = ReadKey(env, category.Root, {}, {}, &pool);
        if (worker.Terminated()) return TWorkEnd::Stopped;
        Step(env, reporter);
        Show(reporter, RS_SEARCH_REG, category.StatusSuffix);
        sink.SetLiveKeys(newTree.Root);
        CompareKeys(env, sink, newTree.Root, oldTree.Root, {}, category.Root, false);
        if (worker.Terminated()) return TWorkEnd::Stopped;
        Step(env, reporter);
        CompareKeys(env, sink, oldTree.Root, newTree.Root, {}, category.Root, true);
        sink.SetLiveKeys(nullptr);
        if (worker.Terminated()) return TWorkEnd::Stopped;
        Step(env, reporter);
    }
    if (worker.Terminated()) return TWorkEnd::Stopped;
    if (!ScansFileSystem(settings)) {
        Learn(env, tree);
        return Ended(env);
    }

    Show(reporter, RS_SCAN_FS);
    pool.Wait(foldersTask);
    if (worker.Terminated()) return TWorkEnd::Stopped;
    Step(env, reporter);

    Show(reporter, RS_SEARCH_FS);
    {
        const SnapshotTree oldTree = loadSnapshot("FIS1");
        if (worker.Terminated()) return TWorkEnd::Stopped;
        const SnapshotTree newTree = loadSnapshot("FIS2");
        if (worker.Terminated()) return TWorkEnd::Stopped;
        Step(env, reporter);
        CompareFolders(env, sink, newTree.Root, oldTree.Root, {}, false);
        if (worker.Terminated()) return TWorkEnd::Stopped;
        Step(env, reporter);
        CompareFolders(env, sink, oldTree.Root, newTree.Root, {}, true);
        if (worker.Terminated()) return TWorkEnd::Stopped;
    }

    Show(reporter, RS_DETECT_MOVED);
    DetectMoved(env, tree);
    ForgetMovedTimes(tree);
    if (worker.Terminated()) return TWorkEnd::Stopped;
    Learn(env, tree);
    Step(env, reporter);
    return Ended(env);
}

}  // namespace kelvora
