#include "platform/win32/file_system_win.h"

#include "platform/win32/handles_win.h"

#include <windows.h>
// See platform.h: the member keeps its name; the API is called as DeleteFileA.
#undef DeleteFile

#include <atomic>
#include <string>

namespace kelvora::platform::win32 {

namespace {

// Runs one of the "fill this buffer, or tell me the size needed" functions
// (GetCurrentDirectoryA, GetFullPathNameA, GetLongPathNameA, ...). They answer
// the length without the zero on success, the size needed with the zero when
// the buffer is too small, and 0 on failure. Empty on failure.
template <typename Fill>
std::string QueryString(Fill fill) {
    std::string text(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
    return {};
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written != chunk) return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

// CreateFileA with CREATE_ALWAYS fails with access denied on an existing
// hidden or system file unless the call asks for those attributes too; asking
// for them also keeps them on the new contents.
DWORD AttributesForReplacing(const std::string& path) {
    const DWORD existing = GetFileAttributesA(path.c_str());
    if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY) != 0) return FILE_ATTRIBUTE_NORMAL;
    const DWORD kept = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

std::uint32_t PackedLocalTime(const FILETIME& utc) {
    FILETIME local;
    WORD date = 0;
    WORD time = 0;
    // Times outside 1980-2107 have no packed form; they are reported as 0.
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return 0;
    return (static_cast<std::uint32_t>(date) << 16) | time;
}

}  // namespace

std::string Win32FileSystem::GetCurrentDir() {
    return QueryString([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
}

bool Win32FileSystem::SetCurrentDir(std::string_view path) {
    return SetCurrentDirectoryA(std::string(path).c_str()) != FALSE;
}

bool Win32FileSystem::List(std::string_view pattern, const std::function<bool(const FindEntry&)>& each) {
    WIN32_FIND_DATAA data;
    const FindHandle find(FindFirstFileA(std::string(pattern).c_str(), &data));
    if (!find) return false;
    do {
        FindEntry entry;
        entry.name = data.cFileName;
        entry.attributes = data.dwFileAttributes;
        entry.dosDateTime = PackedLocalTime(data.ftLastWriteTime);
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (!each(entry)) break;
    } while (FindNextFileA(find.Get(), &data));
    return true;
}

std::uint32_t Win32FileSystem::GetAttributes(std::string_view path) {
    return GetFileAttributesA(std::string(path).c_str());
}

bool Win32FileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
    return SetFileAttributesA(std::string(path).c_str(), attributes) != FALSE;
}

bool Win32FileSystem::Rename(std::string_view from, std::string_view to) {
    return MoveFileA(std::string(from).c_str(), std::string(to).c_str()) != FALSE;
}

bool Win32FileSystem::DeleteFile(std::string_view path) { return DeleteFileA(std::string(path).c_str()) != FALSE; }

bool Win32FileSystem::CreateFolder(std::string_view path) {
    return CreateDirectoryA(std::string(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::RemoveFolder(std::string_view path) {
    return RemoveDirectoryA(std::string(path).c_str()) != FALSE;
}

std::string Win32FileSystem::LongPathName(std::string_view path) {
    const std::string text(path);
    std::string result =
        QueryString([&](char* buffer, DWORD size) { return GetLongPathNameA(text.c_str(), buffer, size); });
    return result.empty() ? text : result;
}

std::string Win32FileSystem::FullPathName(std::string_view path) {
    const std::string text(path);
    std::string result =
        QueryString([&](char* buffer, DWORD size) { return GetFullPathNameA(text.c_str(), size, buffer, nullptr); });
    return result.empty() ? text : result;
}

long Win32FileSystem::LastError() { return static_cast<long>(GetLastError()); }

std::string Win32FileSystem::WindowsFolder() {
    return QueryString([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

bool Win32FileSystem::ReadFile(std::string_view path, std::vector<std::uint8_t>& out) {
    const FileHandle file(CreateFileA(std::string(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart >= 0x80000000LL) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return false;
    }
    out = std::move(bytes);
    return true;
}

bool Win32FileSystem::WriteFile(std::string_view path, const std::uint8_t* data, std::size_t size) {
    const std::string target(path);
    const FileHandle file(
        CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, AttributesForReplacing(target), nullptr));
    return file && WriteAll(file.Get(), data, size);
}

bool Win32FileSystem::WriteFileAtomic(std::string_view path, const std::uint8_t* data, std::size_t size) {
    static std::atomic<unsigned> counter{0};
    const std::string target = FullPathName(path);
    // Windows refuses to replace a read-only file; Wine's MoveFileExA would
    // replace it. Refuse it here, so that it stays protected everywhere.
    const DWORD existing = GetFileAttributesA(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) return false;
    const DWORD attributes = AttributesForReplacing(target);
    // The temporary file sits beside the target, so the final move stays on
    // one volume and replaces the target in one step.
    FileHandle file;
    std::string temp;
    for (int attempt = 0; attempt < 16 && !file; ++attempt) {
        temp = target + ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".tmp";
        file.Reset(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (!file) return false;
    bool written = WriteAll(file.Get(), data, size) && FlushFileBuffers(file.Get());
    file.Reset();  // closed before it is moved
    written = written && MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) DeleteFileA(temp.c_str());
    return written;
}

}  // namespace kelvora::platform::win32
