// The single-instance guard: a named mutex held for the life of the
// program. A second start finds it taken, brings the first program's window
// back and ends.
#pragma once

#include <windows.h>

#include "platform/win32/handles_win.h"

namespace kelvora::ui {

class SingleInstance {
public:
    explicit SingleInstance(const char* mutexName);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another instance held the mutex already.
    bool IsSecond() const { return second_; }

private:
    platform::win32::KernelHandle mutex_;
    bool second_ = false;
};

// Shows (restores if minimised) and activates the top-level window of the
// class; false when there is none.
bool ActivateExistingWindow(const char* className);

}  // namespace kelvora::ui
