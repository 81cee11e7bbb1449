// Move-only owners of Win32 handles: each closes its handle exactly once.
//   FileHandle    CreateFile and friends (invalid: INVALID_HANDLE_VALUE), CloseHandle
//   KernelHandle  processes, threads, events, mutexes (invalid: null), CloseHandle
//   FindHandle    FindFirstFile(Ex) (invalid: INVALID_HANDLE_VALUE), FindClose
//   KeyHandle     registry keys (invalid: null), RegCloseKey; never closes a
//                 predefined root key (HKEY_CLASSES_ROOT ...), which is not ours
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace kelvora::platform::win32 {

// The predefined registry keys are small negative numbers sign-extended to
// pointer width (HKEY_CLASSES_ROOT is (HKEY)(LONG_PTR)(LONG)0x80000000, that
// is 0xFFFFFFFF80000000 on 64-bit); HKEY_CLASSES_ROOT .. HKEY_CURRENT_USER_LOCAL_SETTINGS
// (0x80000007) are reserved for them.
inline bool IsPredefinedKey(HKEY key) {
    const auto value = reinterpret_cast<LONG_PTR>(key);
    return value >= static_cast<LONG_PTR>(static_cast<LONG>(0x80000000u)) &&
           value <= static_cast<LONG_PTR>(static_cast<LONG>(0x80000007u));
}

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Type Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    // Gives the handle up without closing it.
    Type Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Type handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = handle;
    }
    // For functions that hand a new handle out through a pointer.
    Type* Put() {
        Reset();
        return &handle_;
    }

private:
    Type handle_ = Traits::Invalid();
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::CloseHandle(handle); }
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::FindClose(handle); }
};

struct KeyHandleTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type key) {
        if (!IsPredefinedKey(key)) ::RegCloseKey(key);
    }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using KeyHandle = UniqueHandle<KeyHandleTraits>;

}  // namespace kelvora::platform::win32
