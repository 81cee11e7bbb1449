// Lets worker threads hand calls to a window's thread: the dispatcher's
// wake-up hook posts the window a message, and the window runs the queued
// calls from its message loop. Unhooks on destruction, so declare it after
// the window it links.
#pragma once

#include "platform/dispatcher.h"
#include "ui/framework/window.h"

namespace kelvora::ui {

class DispatcherLink {
public:
    DispatcherLink(Window& window, platform::Dispatcher& dispatcher) : dispatcher_(dispatcher) {
        window.SetWakeHandler([&window, &dispatcher] {
            try {
                dispatcher.ProcessPending();
            } catch (...) {
                // The calls behind the failed one stay queued: come back for them.
                window.Wake();
                throw;
            }
        });
        dispatcher.SetWakeUpHook([&window] { window.Wake(); });
        window.Wake();  // calls queued before the link
    }
    ~DispatcherLink() { dispatcher_.SetWakeUpHook(nullptr); }
    DispatcherLink(const DispatcherLink&) = delete;
    DispatcherLink& operator=(const DispatcherLink&) = delete;

private:
    platform::Dispatcher& dispatcher_;
};

}  // namespace kelvora::ui
