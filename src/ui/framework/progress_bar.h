// A progress bar with a 32-bit range.
#pragma once

#include "ui/framework/control.h"

namespace kelvora::ui {

class ProgressBar : public Control {
public:
    bool Create(HWND parent, int id, RECT bounds) {
        return CreateControl({parent, PROGRESS_CLASSA, "", PBS_SMOOTH, 0, id, bounds});
    }
    void SetMax(int max) { SendMessageA(Handle(), PBM_SETRANGE32, 0, max); }
    void SetPosition(int position) { SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }
    void Step(int by = 1) { SendMessageA(Handle(), PBM_DELTAPOS, static_cast<WPARAM>(by), 0); }
    int Position() const { return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0)); }
};

}  // namespace kelvora::ui
