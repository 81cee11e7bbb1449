#include "ui/framework/single_instance.h"

#include <cstdint>

#include "platform/text.h"

namespace kelvora::ui {

namespace {

// The window handle, as 64 bits, in a page of the system's paging file.
constexpr DWORD kSharedSize = sizeof(std::uint64_t);

std::string SharedName(const char* mutexName) { return std::string(mutexName) + ".Window"; }

}  // namespace

SingleInstance::SingleInstance(const char* mutexName) : mutex_(CreateMutexA(nullptr, FALSE, mutexName)) {
    second_ = mutex_.Get() != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    shared_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSharedSize,
                                     SharedName(mutexName).c_str()));
}

void SingleInstance::Publish(HWND window) {
    if (!shared_) return;
    if (void* view = MapViewOfFile(shared_.Get(), FILE_MAP_WRITE, 0, 0, kSharedSize)) {
        *static_cast<volatile std::uint64_t*>(view) = reinterpret_cast<std::uintptr_t>(window);
        UnmapViewOfFile(view);
    }
}

HWND SingleInstance::Published() const {
    if (!shared_) return nullptr;
    HWND window = nullptr;
    if (void* view = MapViewOfFile(shared_.Get(), FILE_MAP_READ, 0, 0, kSharedSize)) {
        window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*static_cast<volatile std::uint64_t*>(view)));
        UnmapViewOfFile(view);
    }
    return IsWindow(window) ? window : nullptr;
}

std::string GuardName(std::string_view prefix, std::string_view programFile) {
    const std::size_t slash = programFile.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? programFile : programFile.substr(slash + 1);
    return std::string(prefix) + UpperAscii(name);
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
