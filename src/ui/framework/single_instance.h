// The single-instance guard: a named mutex held for the life of the
// program, and beside it a named block where the first program leaves its
// window's handle. A second start finds the mutex taken, hands the first
// window a message and ends.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/handles_win.h"

namespace kelvora::ui {

class SingleInstance {
public:
    explicit SingleInstance(const char* mutexName);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another instance held the mutex already.
    bool IsSecond() const { return second_; }
    // The first instance: its window, for the second to find.
    void Publish(HWND window);
    // The second instance: the first one's window (nullptr until published).
    HWND Published() const;

private:
    platform::win32::KernelHandle mutex_;
    platform::win32::KernelHandle shared_;
    bool second_ = false;
};

// The name of a program's guard: the same for every copy of a program file
// of that name, wherever it lies.
std::string GuardName(std::string_view prefix, std::string_view programFile);

// Shows (restores if minimised) and activates the top-level window of the
// class; false when there is none.
bool ActivateExistingWindow(const char* className);

}  // namespace kelvora::ui
