// What the uninstaller reports while it runs. The window, the command line
// and the tests implement these; every call arrives on the main thread.
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

class IUninstallView {
public:
    virtual ~IUninstallView() = default;
    // The title of the phase that begins.
    virtual void ShowStatus(const std::string& text) = 0;
    // The progress bar's maximum, set once at the start; each step is 1.
    virtual void SetProgressMax(int maximum) = 0;
    virtual void StepProgress() = 0;
    // One action's line with its level (kLine*); the view applies the
    // LogLevel mask (see TUninstallLog).
    virtual void ShowLogLine(const std::string& line, std::int32_t level) = 0;
};

}  // namespace kelvora
