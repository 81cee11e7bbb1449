#include "ui/framework/single_instance.h"

namespace kelvora::ui {

SingleInstance::SingleInstance(const char* mutexName) : mutex_(CreateMutexA(nullptr, FALSE, mutexName)) {
    second_ = mutex_.Get() != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

bool ActivateExistingWindow(const char* className) {
    HWND hwnd = FindWindowA(className, nullptr);
    if (hwnd == nullptr) return false;
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    else ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    return true;
}

}  // namespace kelvora::ui
