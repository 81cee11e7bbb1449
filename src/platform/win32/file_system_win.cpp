#include "platform/win32/file_system_win.h"

#include "platform/win32/handles_win.h"
#include "platform/win32/wide_path_win.h"

#include <windows.h>
// See platform.h: the member keeps its name; the API is called as DeleteFileW.
#undef DeleteFile

#include <atomic>
#include <memory>
#include <string>
#include <utility>

namespace kelvora::platform::win32 {

namespace {

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

// CreateFile with CREATE_ALWAYS fails with access denied on an existing
// hidden or system file unless the call asks for those attributes too; asking
// for them also keeps them on the new contents.
DWORD AttributesForReplacing(const std::wstring& path) {
    const DWORD existing = GetFileAttributesW(path.c_str());
    if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY) != 0) return FILE_ATTRIBUTE_NORMAL;
    const DWORD kept = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

class Win32FileWriter final : public FileWriter {
public:
    explicit Win32FileWriter(FileHandle file) : file_(std::move(file)) {}
    bool Write(const std::uint8_t* data, std::size_t size) override {
        failed_ = failed_ || !file_ || !WriteAll(file_.Get(), data, size);
        return !failed_;
    }
    bool Close() override {
        // CloseHandle can report a write that the system cached and could
        // not store after all.
        const bool closed = file_ && CloseHandle(file_.Release());
        failed_ = failed_ || !closed;
        return !failed_;
    }

private:
    FileHandle file_;
    bool failed_ = false;
};

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
    return Narrow(QueryWideString([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); }));
}

bool Win32FileSystem::SetCurrentDir(std::string_view path) {
    // The current directory is limited to MAX_PATH whatever the spelling.
    return SetCurrentDirectoryW(Widen(path).c_str()) != FALSE;
}

bool Win32FileSystem::List(std::string_view pattern, const std::function<bool(const FindEntry&)>& each) {
    WIN32_FIND_DATAW data;
    // FindExInfoBasic: the 8.3 names are not needed, which saves their lookup.
    // FIND_FIRST_EX_LARGE_FETCH: the entries come from the file system in
    // larger batches, fewer calls for a large folder.
    const FindHandle find(FindFirstFileExW(ApiPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
    // A folder that holds nothing that matches (an empty drive's root) was read.
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
    FindEntry entry;
    do {
        entry.name = Narrow(data.cFileName);
        entry.attributes = data.dwFileAttributes;
        entry.dosDateTime = PackedLocalTime(data.ftLastWriteTime);
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.creationTime = (std::uint64_t{data.ftCreationTime.dwHighDateTime} << 32) | data.ftCreationTime.dwLowDateTime;
        entry.lastWriteTime =
            (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
        if (!each(entry)) break;
    } while (FindNextFileW(find.Get(), &data));
    return true;
}

std::uint32_t Win32FileSystem::GetAttributes(std::string_view path) {
    return GetFileAttributesW(ApiPath(path).c_str());
}

bool Win32FileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
    return SetFileAttributesW(ApiPath(path).c_str(), attributes) != FALSE;
}

bool Win32FileSystem::Rename(std::string_view from, std::string_view to) {
    return MoveFileW(ApiPath(from).c_str(), ApiPath(to).c_str()) != FALSE;
}

bool Win32FileSystem::DeleteFile(std::string_view path) { return DeleteFileW(ApiPath(path).c_str()) != FALSE; }

bool Win32FileSystem::CreateFolder(std::string_view path) {
    return CreateDirectoryW(ApiPath(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::RemoveFolder(std::string_view path) {
    return RemoveDirectoryW(ApiPath(path).c_str()) != FALSE;
}

std::string Win32FileSystem::LongPathName(std::string_view path) {
    const std::wstring text = ApiPath(path);
    const std::wstring result =
        QueryWideString([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(text.c_str(), buffer, size); });
    return result.empty() ? std::string(path) : ProgramPath(result);
}

std::string Win32FileSystem::FullPathName(std::string_view path) {
    const std::wstring text = Widen(path);
    const std::wstring result = QueryWideString(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(text.c_str(), size, buffer, nullptr); });
    return result.empty() ? std::string(path) : ProgramPath(result);
}

long Win32FileSystem::LastError() { return static_cast<long>(GetLastError()); }

std::string Win32FileSystem::WindowsFolder() {
    return Narrow(QueryWideString([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); }));
}

bool Win32FileSystem::ReadFile(std::string_view path, std::vector<std::uint8_t>& out) {
    const FileHandle file(CreateFileW(ApiPath(path).c_str(), GENERIC_READ,
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

bool Win32FileSystem::ReadFileHead(std::string_view path, std::size_t count, std::vector<std::uint8_t>& out) {
    const FileHandle file(CreateFileW(ApiPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || count >= 0x80000000u) return false;
    std::vector<std::uint8_t> bytes(count);
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return false;
    }
    bytes.resize(read);
    out = std::move(bytes);
    return true;
}

bool Win32FileSystem::WriteFile(std::string_view path, const std::uint8_t* data, std::size_t size) {
    const std::wstring target = ApiPath(path);
    const FileHandle file(
        CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, AttributesForReplacing(target), nullptr));
    return file && WriteAll(file.Get(), data, size);
}

std::unique_ptr<FileWriter> Win32FileSystem::CreateFileWriter(std::string_view path) {
    const std::wstring target = ApiPath(path);
    // Windows refuses to open a read-only file for writing; Wine run by root
    // would empty it. Refuse it here, so that it stays protected everywhere.
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) return nullptr;
    FileHandle file(
        CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, AttributesForReplacing(target), nullptr));
    if (!file) return nullptr;
    return std::make_unique<Win32FileWriter>(std::move(file));
}

bool Win32FileSystem::WriteFileAtomic(std::string_view path, const std::uint8_t* data, std::size_t size) {
    static std::atomic<unsigned> counter{0};
    const std::string full = FullPathName(path);
    const std::wstring target = ApiPath(full);
    // Windows refuses to replace a read-only file; Wine's MoveFileEx would
    // replace it. Refuse it here, so that it stays protected everywhere.
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) return false;
    const DWORD attributes = AttributesForReplacing(target);
    // The temporary file sits beside the target, so the final move stays on
    // one volume and replaces the target in one step.
    FileHandle file;
    std::wstring temp;
    for (int attempt = 0; attempt < 16 && !file; ++attempt) {
        temp = ApiPath(full + ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".tmp");
        file.Reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (!file) return false;
    bool written = WriteAll(file.Get(), data, size) && FlushFileBuffers(file.Get());
    file.Reset();  // closed before it is moved
    written = written && MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) DeleteFileW(temp.c_str());
    return written;
}

}  // namespace kelvora::platform::win32
