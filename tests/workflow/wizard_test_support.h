// The wizard's tests: a window stand-in that records what the wizard shows
// and answers its questions from a script, and workers held at a pause point
// until the test lets them end.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "translation/messages.h"
#include "workflow/scan_workers.h"
#include "workflow/wizard.h"
#include "workflow/wizard_host.h"

namespace kelvora::testing {

class RecordingHost : public IWizardHost {
public:
    TWizard* wizard = nullptr;
    TWizardScreen screen;
    // Every message box's text, and the answers to give (mrNo when none is left).
    std::vector<std::string> messages;
    std::deque<TModalResult> answers;
    std::vector<TFocus> focus;
    std::vector<TArchiveRow> rows;
    int selected = -1;
    std::string treeEvents;  // "reset root finish " as they came
    std::optional<std::string> newName;
    std::optional<std::string> chosenFile;
    int closes = 0;          // closes that went ahead
    std::vector<std::string> log;  // reLog's lines as "level:line"
    std::vector<std::string> sharedAsked;
    std::deque<int> sharedAnswers;  // kAnswerNoToAll when none is left

    void ShowScreen(const TWizardScreen& s) override { screen = s; }
    TModalResult Message(std::string_view text, TMsgDlgType, TMsgDlgButtons) override {
        messages.emplace_back(text);
        if (answers.empty()) return mrNo;
        TModalResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Focus(TFocus control) override { focus.push_back(control); }
    void ListClear() override {
        rows.clear();
        selected = -1;
    }
    void ListAdd(const TArchiveRow& row) override { rows.push_back(row); }
    void ListSelectFirst() override { selected = rows.empty() ? -1 : 0; }
    std::optional<std::string> ListSelected() override {
        if (selected < 0) return std::nullopt;
        return rows[static_cast<std::size_t>(selected)].Identifier;
    }
    void ListRenameSelected(std::string_view identifier) override {
        rows[static_cast<std::size_t>(selected)].Identifier = std::string(identifier);
    }
    void ListRemoveSelected() override {
        rows.erase(rows.begin() + selected);
        selected = -1;
    }
    std::string DateTimeText(double when) override { return "day " + std::to_string(static_cast<int>(when)); }
    void TreeReset() override { treeEvents += "reset "; }
    void TreeExpandRoot() override { treeEvents += "root "; }
    void TreeFinishForViewing() override { treeEvents += "finish "; }
    void LogClear() override { log.clear(); }
    void LogAdd(const std::string& line, std::int32_t level) override {
        log.push_back(std::to_string(level) + ":" + line);
    }
    int AskRemoveShared(const std::string& fileName, const std::string& folder) override {
        sharedAsked.push_back(folder + fileName);
        if (sharedAnswers.empty()) return kAnswerNoToAll;
        const int answer = sharedAnswers.front();
        sharedAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> AskNewName(std::string_view) override { return newName; }
    std::optional<std::string> ChooseSetupFile(std::string_view) override { return chosenFile; }
    void CloseWindow() override {
        if (wizard->FormCloseQuery()) ++closes;
    }
    std::string LastMessage() const { return messages.empty() ? std::string() : messages.back(); }
};

// A worker that waits at pause points until it is let go or stopped, and
// then tells how it ended as every worker does.
class HeldWorker : public TSafeThread {
public:
    HeldWorker(platform::Dispatcher& dispatcher, bool fail) : TSafeThread(dispatcher), fail_(fail) {}
    std::atomic<bool> release{false};

protected:
    void Execute() override {
        // A fault of the machine (no memory, say).
        if (fail_) throw std::runtime_error("failed");
        while (!release.load() && !Terminated()) {
            PausePoint();
            std::this_thread::yield();
        }
    }

private:
    bool fail_;
};

class HeldWorkers : public IWorkerFactory {
public:
    explicit HeldWorkers(platform::Dispatcher& dispatcher) : dispatcher_(dispatcher) {}
    HeldWorker* last = nullptr;
    bool fail = false;  // the next workers fail at once
    std::unique_ptr<TSafeThread> NewScan(IScanProgress&) override { return Make(); }
    std::unique_ptr<TSafeThread> NewRescan(IScanProgress&, ChangesTree&) override { return Make(); }
    std::unique_ptr<TSafeThread> NewLoad(ILoadProgress&, ChangesTree&) override { return Make(); }
    std::unique_ptr<TSafeThread> NewUninstall(const UninstallServices&) override { return Make(); }

private:
    std::unique_ptr<TSafeThread> Make() {
        auto worker = std::make_unique<HeldWorker>(dispatcher_, fail);
        last = worker.get();
        return worker;
    }
    platform::Dispatcher& dispatcher_;
};

// The wizard in the program's folder C:\Kelvora of an in-memory platform,
// shown by a RecordingHost, over the real workers or held ones.
class WizardFixture : public ::testing::Test {
protected:
    WizardFixture() {
        memory.files.AddFolder("C:\\Kelvora");
        context.ProgramFolder = "C:\\Kelvora";
    }
    TWizard& Make(bool held = false) {
        wizard = std::make_unique<TWizard>(context, memory.platform, dispatcher, tree, host,
                                           held ? static_cast<IWorkerFactory&>(heldWorkers) : realWorkers,
                                           "C:\\Kelvora\\Kelvora.exe");
        host.wizard = wizard.get();
        wizard->FormCreate();
        return *wizard;
    }
    void WaitForWorker() {
        dispatcher.ServeUntil([&] { return !wizard->WorkerRunning(); });
    }
    std::string Text(const Message& m) { return TranslateString(m); }

    platform::Dispatcher dispatcher;
    platform::memory::MemoryPlatform memory;
    AppContext context;
    ChangesTree tree{context.Settings};
    RecordingHost host;
    TScanWorkers realWorkers{context, memory.platform, dispatcher};
    HeldWorkers heldWorkers{dispatcher};
    std::unique_ptr<TWizard> wizard;
};

}  // namespace kelvora::testing
