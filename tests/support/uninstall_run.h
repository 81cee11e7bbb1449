// An uninstall run to its end for tests: the calling thread serves the
// worker as the main thread would, the shared-file question keeps every
// file, and the log lines (every level) are answered in order.
#pragma once

#include <string>
#include <vector>

#include "platform/dispatcher.h"
#include "uninstall/dezinstaler.h"

namespace kelvora::testing {

inline std::vector<std::string> UninstallLines(platform::Platform& os, AppContext& context, ChangesTree& tree) {
    struct Lines : IUninstallView {
        std::vector<std::string> lines;
        void ShowStatus(const std::string&) override {}
        void SetProgressMax(int) override {}
        void StepProgress() override {}
        void ShowLogLine(const std::string& line, std::int32_t) override { lines.push_back(line); }
    } view;
    struct Keep : IRemoveSharedQuestion {
        int AskRemoveShared(const std::string&, const std::string&) override { return kAnswerNoToAll; }
    } question;
    platform::Dispatcher dispatcher;
    TDezinstaler uninstaller(UninstallServices{os, dispatcher, context, tree, view, question});
    bool ended = false;
    uninstaller.SetOnTerminate([&](TSafeThread&) { ended = true; });
    uninstaller.Start();
    dispatcher.ServeUntil([&] { return ended; });
    return view.lines;
}

}  // namespace kelvora::testing
