#include "platform/win32/wide_path_win.h"

#include <windows.h>

namespace kelvora::platform::win32 {

namespace {

// CreateDirectoryW refuses a plain path of MAX_PATH - 12 characters or more
// (room is kept for an 8.3 name inside); the other functions stop at
// MAX_PATH. From here on every path gets the prefix.
constexpr std::size_t kPrefixFrom = MAX_PATH - 12;

constexpr std::wstring_view kPrefix = L"\\\\?\\";
constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";

bool IsDrivePath(std::wstring_view path) {
    return path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && path[2] == L'\\';
}

// A full drive path that the prefix takes as it is: backslashes only, no
// empty, "." or ".." component.
bool IsNormalDrivePath(std::wstring_view path) {
    if (!IsDrivePath(path) || path.find(L'/') != std::wstring_view::npos) return false;
    for (std::size_t start = 3; start < path.size();) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        const std::wstring_view part = path.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..") return false;
        start = end + 1;
    }
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full = QueryWideString(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
    return full.empty() ? path : full;
}

}  // namespace

std::wstring ApiPath(std::string_view path) {
    std::wstring wide = Widen(path);
    if (wide.starts_with(kPrefix) || wide.starts_with(L"\\\\.\\")) return wide;
    const bool drivePath = IsDrivePath(wide);
    if (drivePath && wide.size() < kPrefixFrom) return wide;
    // A relative path is resolved as the function would resolve it, to see
    // how long it is in full.
    if (!IsNormalDrivePath(wide)) wide = FullPath(wide);
    if (wide.size() < kPrefixFrom) return wide;
    if (IsDrivePath(wide)) return std::wstring(kPrefix) + wide;
    if (wide.starts_with(L"\\\\")) return std::wstring(kUncPrefix) + wide.substr(2);
    return wide;
}

std::string ProgramPath(std::wstring_view path) {
    if (path.starts_with(kUncPrefix)) return "\\\\" + Narrow(path.substr(kUncPrefix.size()));
    if (path.starts_with(kPrefix)) return Narrow(path.substr(kPrefix.size()));
    return Narrow(path);
}

std::string ProgramFile() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return Narrow(path);
}

}  // namespace kelvora::platform::win32
