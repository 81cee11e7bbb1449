// The operating-system services the engine uses. The engine never includes
// <windows.h>; it reaches the registry, the file system, the shell, the clock
// and the user's locale only through these interfaces. Two implementations
// exist: win32/ (the real thing, built for Windows only) and memory/ (for the
// native tests).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// <windows.h> makes DeleteFile a macro (DeleteFileA or DeleteFileW). The
// FileSystem member of that name must keep its own name in every file, or
// files with and without <windows.h> would disagree about the class; so a
// file that includes <windows.h> after this header must #undef it as well.
#ifdef DeleteFile
#undef DeleteFile
#endif

namespace kelvora::platform {

// ---------------------------------------------------------------- registry

// Predefined root keys, by the numbers Windows gives them (archives store
// these numbers).
using RootKey = std::uint32_t;
inline constexpr RootKey kClassesRoot = 0x80000000u;
inline constexpr RootKey kCurrentUser = 0x80000001u;
inline constexpr RootKey kLocalMachine = 0x80000002u;
inline constexpr RootKey kUsers = 0x80000003u;
inline constexpr RootKey kCurrentConfig = 0x80000005u;

// Registry value types (REG_*).
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Access rights for OpenKey.
inline constexpr std::uint32_t kKeyRead = 0x20019u;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003Fu;

// Win32 error codes that callers test for.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
// An operation on an open key that has been deleted meanwhile.
inline constexpr long kErrorKeyDeleted = 1018;

class Registry;

// An open registry key. Move-only; closes itself.
class RegKey {
public:
    RegKey() = default;
    RegKey(Registry* owner, std::uintptr_t handle) : owner_(owner), handle_(handle) {}
    RegKey(RegKey&& other) noexcept : owner_(other.owner_), handle_(other.handle_) {
        other.owner_ = nullptr;
        other.handle_ = 0;
    }
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { Close(); }

    bool IsOpen() const { return owner_ != nullptr; }
    std::uintptr_t Handle() const { return handle_; }
    void Close();

private:
    Registry* owner_ = nullptr;
    std::uintptr_t handle_ = 0;
};

// The registry, with the semantics of the Win32 A functions: names are bytes
// in the process code page (UTF-8), compared without regard to ASCII case,
// and every call answers a Win32 error code (0 = success).
class Registry {
public:
    virtual ~Registry() = default;

    // A path names a key below a root key, or below an open key (parent);
    // several names may be joined by backslashes. The registry refuses a
    // path longer than 260 characters (UTF-16 units) with kErrorMoreData,
    // whatever the key it starts from: a deeper key is reached through its
    // parents' handles (see registry_path.h).

    // RegOpenKeyExA. An empty path opens the root key itself (or the parent
    // again).
    virtual long OpenKey(RootKey root, std::string_view path, std::uint32_t access, RegKey& out) = 0;
    virtual long OpenKey(const RegKey& parent, std::string_view path, std::uint32_t access, RegKey& out) = 0;
    // RegCreateKeyExA: opens the key, creating it and any missing parents.
    virtual long CreateKey(RootKey root, std::string_view path, RegKey& out) = 0;
    virtual long CreateKey(const RegKey& parent, std::string_view path, RegKey& out) = 0;
    // RegDeleteKeyA: fails with kErrorAccessDenied when the key has sub-keys,
    // and for an empty path (a root key, or the parent itself, is never
    // deleted this way).
    virtual long DeleteKey(RootKey root, std::string_view path) = 0;
    virtual long DeleteKey(const RegKey& parent, std::string_view path) = 0;

    // RegEnumValueA with caller buffers. nameLen is in characters: on entry
    // the buffer size including the terminating zero, on success the name's
    // length without it. dataLen is in bytes, in and out. On kErrorMoreData
    // dataLen holds the size needed (when the name fitted).
    virtual long EnumValue(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                           std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataLen) = 0;
    // RegEnumKeyExA with a caller buffer; nameLen as for EnumValue. When
    // lastWriteTime is given it receives the sub-key's last-write time, which
    // the enumeration answers at no extra cost (a FILETIME: 100-nanosecond
    // steps since 1601, UTC; 0 when unknown).
    virtual long EnumKey(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                         std::uint64_t* lastWriteTime = nullptr) = 0;
    // RegQueryInfoKeyA: the numbers of sub-keys and values.
    virtual long QueryInfo(const RegKey& key, std::uint32_t& subKeys, std::uint32_t& values) = 0;

    // RegQueryValueExA, whole value. An empty name is the default value.
    virtual long QueryValue(const RegKey& key, std::string_view name, std::uint32_t& type,
                            std::vector<std::uint8_t>& data) = 0;
    // RegSetValueExA.
    virtual long SetValue(const RegKey& key, std::string_view name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
    // RegDeleteValueA.
    virtual long DeleteValue(const RegKey& key, std::string_view name) = 0;

    // The name under HKEY_USERS of the key that HKEY_CURRENT_USER is: the
    // user's SID ("S-1-5-21-..."); empty when it cannot be told.
    virtual std::string CurrentUserSid() { return {}; }

protected:
    friend class RegKey;
    virtual void CloseKey(std::uintptr_t handle) = 0;
};

inline RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        owner_ = other.owner_;
        handle_ = other.handle_;
        other.owner_ = nullptr;
        other.handle_ = 0;
    }
    return *this;
}

inline void RegKey::Close() {
    if (owner_ != nullptr) {
        owner_->CloseKey(handle_);
        owner_ = nullptr;
        handle_ = 0;
    }
}

// ------------------------------------------------------------- file system

// File attributes (FILE_ATTRIBUTE_*).
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// One entry of a folder listing (FindFirstFileA / FindNextFileA).
struct FindEntry {
    std::string name;
    std::uint32_t attributes = 0;
    // Last-write time, converted to local time and packed the FAT way: date in
    // the high 16 bits, time in the low 16 bits (FileTimeToLocalFileTime and
    // FileTimeToDosDateTime).
    std::uint32_t dosDateTime = 0;
    std::uint64_t size = 0;
    // Creation and last-write times as FILETIMEs (100-nanosecond steps since
    // 1601, UTC); 0 when unknown.
    std::uint64_t creationTime = 0;
    std::uint64_t lastWriteTime = 0;

    bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
};

// A file being written piece by piece (see FileSystem::CreateFileWriter).
// The file stays open, and cannot be deleted or renamed, until Close or the
// writer's end.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Appends the bytes. False when they could not all be written (a full
    // disk); every later call then fails too.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    // Closes the file: false when anything written since it was created
    // failed, or the close itself did.
    virtual bool Close() = 0;
};

// Paths are Windows paths (drive letter, colon, backslashes) in UTF-8,
// compared without regard to ASCII case, of any length up to Windows' limit
// of about 32,767 characters; only the current directory stays below
// MAX_PATH. A relative path is taken relative to the current directory.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // GetCurrentDirectoryA: no trailing backslash except for a drive's root;
    // empty on failure (a current directory of MAX_PATH characters or more).
    virtual std::string GetCurrentDir() = 0;
    // SetCurrentDirectoryA.
    virtual bool SetCurrentDir(std::string_view path) = 0;

    // FindFirstFile / FindNextFile over a pattern such as "*.*" or
    // "C:\Folder\*.*". Entries come in the platform's order, "." and ".."
    // included when the platform lists them. Calls each() for every entry
    // until it answers false. Returns false when the folder could not be
    // read (no such folder, access denied); a folder that holds nothing
    // that matches is listed without entries.
    virtual bool List(std::string_view pattern, const std::function<bool(const FindEntry&)>& each) = 0;

    // GetFileAttributesA; kInvalidAttributes when the item does not exist.
    virtual std::uint32_t GetAttributes(std::string_view path) = 0;
    // SetFileAttributesA.
    virtual bool SetAttributes(std::string_view path, std::uint32_t attributes) = 0;
    // MoveFileA: fails when the target exists.
    virtual bool Rename(std::string_view from, std::string_view to) = 0;
    // DeleteFileA.
    virtual bool DeleteFile(std::string_view path) = 0;
    // CreateDirectoryA (one level).
    virtual bool CreateFolder(std::string_view path) = 0;
    // RemoveDirectoryA: only an empty folder.
    virtual bool RemoveFolder(std::string_view path) = 0;
    // GetLongPathNameA; the path unchanged when it cannot be expanded.
    virtual std::string LongPathName(std::string_view path) = 0;
    // GetFullPathNameA.
    virtual std::string FullPathName(std::string_view path) = 0;
    // GetWindowsDirectoryA.
    virtual std::string WindowsFolder() = 0;
    // GetLastError: the Win32 error code of this thread's last call that
    // failed (kErrorAccessDenied when access was refused). Read it right
    // after the failed call.
    virtual long LastError() = 0;

    // Whole-file reads and writes. ReadFile fails on a missing or unreadable
    // file. WriteFile creates or replaces the file in place.
    virtual bool ReadFile(std::string_view path, std::vector<std::uint8_t>& out) = 0;
    virtual bool WriteFile(std::string_view path, const std::uint8_t* data, std::size_t size) = 0;
    // The first count bytes of a file (all of a shorter one); fails as
    // ReadFile does. This default reads the whole file.
    virtual bool ReadFileHead(std::string_view path, std::size_t count, std::vector<std::uint8_t>& out) {
        if (!ReadFile(path, out)) return false;
        if (out.size() > count) out.resize(count);
        return true;
    }
    // Writes a temporary file beside path, then replaces path with it in one
    // step (MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH),
    // so an interrupted write never leaves a damaged file behind.
    virtual bool WriteFileAtomic(std::string_view path, const std::uint8_t* data, std::size_t size) = 0;
    // Creates or empties the file, as WriteFile does, and answers a writer
    // that appends to it; nullptr when the file cannot be created.
    virtual std::unique_ptr<FileWriter> CreateFileWriter(std::string_view path) = 0;

    bool Exists(std::string_view path) { return GetAttributes(path) != kInvalidAttributes; }
    bool FileExists(std::string_view path) {
        const std::uint32_t a = GetAttributes(path);
        return a != kInvalidAttributes && (a & kAttrDirectory) == 0;
    }
    bool FolderExists(std::string_view path) {
        const std::uint32_t a = GetAttributes(path);
        return a != kInvalidAttributes && (a & kAttrDirectory) != 0;
    }
};

// ------------------------------------------------------------------- shell

// A program run to the end of its whole process tree (Shell::RunToEnd).
struct ProcessRun {
    bool Started = false;        // false: it could not be started
    std::uint32_t ExitCode = 0;  // the exit code of the program itself
    // FILETIMEs (100-nanosecond steps since 1601, UTC): just before the
    // program was started, and once the last process of its tree had ended.
    std::uint64_t Start = 0;
    std::uint64_t End = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecuteExA with the default verb: starts a program or opens a
    // document. Environment variables in file are expanded.
    virtual bool Execute(std::string_view file, std::string_view parameters) = 0;
    // SHFileOperationA FO_DELETE with FOF_ALLOWUNDO, no confirmation, no
    // progress, no owner: moves one file or folder into the Recycle Bin.
    virtual bool DeleteToRecycleBin(std::string_view fullPath) = 0;
    // A task of the system's scheduler, named name, that starts program with
    // an administrator's full rights at the next logon (it replaces a task of
    // that name); and its removal, true when no such task is left.
    virtual bool ScheduleAtLogon(std::string_view name, std::string_view program) = 0;
    virtual bool UnscheduleAtLogon(std::string_view name) = 0;
    // Starts the program file with the command-line arguments (one text,
    // quoted as the program expects) and waits until it and every process
    // it started, and they started, have ended.
    virtual ProcessRun RunToEnd(std::string_view file, std::string_view arguments) = 0;
};

// ------------------------------------------------------------------- clock

class Clock {
public:
    virtual ~Clock() = default;
    // Local time as days since 30 December 1899 (the archives' date-time).
    virtual double Now() = 0;
    // The time as a FILETIME (100-nanosecond steps since 1601, UTC), the
    // clock of registry and file times; 0 when the clock cannot tell.
    virtual std::uint64_t FileTimeNow() { return 0; }
};

// ------------------------------------------------------------------ locale

// The separators of the user's time and date formats.
struct DateTimeSeparators {
    std::string time = ":";
    std::string date = "/";
};

class Locale {
public:
    virtual ~Locale() = default;
    // The separators of the user's default locale as they are now
    // (GetLocaleInfo LOCALE_STIME and LOCALE_SDATE); ":" and "/" when the
    // locale has none. Callers read them once per run of work.
    virtual DateTimeSeparators Separators() = 0;
};

// --------------------------------------------------------------- collation

// The order in which the user reads names: the user's locale, ignoring case
// (CompareString with LOCALE_USER_DEFAULT and NORM_IGNORECASE). Every
// implementation orders names made only of ASCII letters, digits, spaces and
// dots as CompareNoCase does, so such names may be sorted by their
// upper-cased bytes instead.
class Collation {
public:
    virtual ~Collation() = default;
    // <0 when a comes before b, 0 when they are equal, >0 after.
    virtual int Compare(std::string_view a, std::string_view b) const = 0;
};

// All services together, as the engine receives them.
struct Platform {
    Registry& registry;
    FileSystem& files;
    Shell& shell;
    Clock& clock;
    Locale& locale;
    const Collation& collation;
};

}  // namespace kelvora::platform
