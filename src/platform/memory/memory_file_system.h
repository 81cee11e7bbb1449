// A file system held in memory, for tests and benchmarks. It answers like the
// Win32 file system: drives C: and D: (more on request), a current directory,
// relative paths, names that keep their spelling and compare without regard to
// ASCII case, listings sorted that way with "." and ".." first in every folder
// but a drive's root (as NTFS lists them), full paths of any length. It
// refuses what Windows refuses: names of more than 255 characters, and
// reading back a current directory of MAX_PATH (260) characters or more,
// which can be entered. Every call takes one lock; List calls back without
// it, so the callback may use the file system.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvora::platform::memory {

class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    // A date and time packed the FAT way (date high, time low, seconds / 2).
    static constexpr std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
        const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
        const auto time = static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
        return (date << 16) | time;
    }

    std::string GetCurrentDir() override;
    bool SetCurrentDir(std::string_view path) override;
    bool List(std::string_view pattern, const std::function<bool(const FindEntry&)>& each) override;
    std::uint32_t GetAttributes(std::string_view path) override;
    bool SetAttributes(std::string_view path, std::uint32_t attributes) override;
    bool Rename(std::string_view from, std::string_view to) override;
    bool DeleteFile(std::string_view path) override;
    bool CreateFolder(std::string_view path) override;
    bool RemoveFolder(std::string_view path) override;
    std::string LongPathName(std::string_view path) override;
    std::string FullPathName(std::string_view path) override;
    std::string WindowsFolder() override;
    // Set by the failures of GetAttributes, DeleteFile and RemoveFolder (the
    // calls whose failures the engine tells apart); other calls leave it.
    long LastError() override;
    bool ReadFile(std::string_view path, std::vector<std::uint8_t>& out) override;
    bool WriteFile(std::string_view path, const std::uint8_t* data, std::size_t size) override;
    bool WriteFileAtomic(std::string_view path, const std::uint8_t* data, std::size_t size) override;
    // The file is in use (not to be deleted or renamed) while the writer is
    // open; while the disk is full, writes fail and add nothing.
    std::unique_ptr<FileWriter> CreateFileWriter(std::string_view path) override;

    // ---- for tests

    // Adds a drive (its root folder, empty). Letters are A to Z.
    void AddDrive(char letter);
    // Creates a folder and its missing parents. False when a file is in the way.
    bool AddFolder(std::string_view path);
    // Creates or replaces a file, creating missing parent folders. A
    // dosDateTime of 0 stands for the current write time (SetWriteTime).
    bool AddFile(std::string_view path, std::string_view contents = {}, std::uint32_t dosDateTime = 0);
    // The file's contents as text; empty when it cannot be read.
    std::string Text(std::string_view path);
    // The last-write time of an item, as listings report it.
    bool SetFileTime(std::string_view path, std::uint32_t dosDateTime);
    // The size listings report for a file, without changing its contents.
    bool SetFileSize(std::string_view path, std::uint64_t size);
    // Gives a folder the reparse-point attribute (a junction or mount point).
    bool MarkReparsePoint(std::string_view path);
    // An inaccessible folder cannot be listed or made the current directory;
    // an inaccessible file cannot be read; neither can be deleted (access
    // denied).
    bool SetAccessible(std::string_view path, bool accessible);
    // An item in use cannot be written, renamed, deleted or moved into the
    // Recycle Bin (nor can a folder holding one).
    bool SetInUse(std::string_view path, bool inUse);
    // Registers a short (8.3) name for an item: paths may use it, and
    // LongPathName turns it into the long name.
    bool AddShortName(std::string_view path, std::string_view shortName);
    // The answer of WindowsFolder(); C:\WINDOWS unless set.
    void SetWindowsFolder(std::string_view path);
    // The last-write time given to items created or written from now on.
    void SetWriteTime(std::uint32_t dosDateTime);
    // The FILETIME that listings report as the creation time of items created
    // from now on, and as the last-write time of items (and of the folders
    // whose entries change) written from now on; 0, the start, is unknown.
    void SetStampTime(std::uint64_t fileTime);
    // While the disk is full, WriteFile truncates its file and fails (as a
    // real write runs out of room) and WriteFileAtomic fails leaving the old
    // file as it was.
    void SetDiskFull(bool full);
    // Removes a file or a whole folder tree, as the Recycle Bin takes it.
    // Fails when the item is missing, a drive's root, or anything in it is in use.
    bool RemoveTree(std::string_view path);

private:
    struct Item;
    class Writer;
    // An absolute path: the drive letter and the folder names, as spelled.
    struct Path {
        char drive = 'C';
        std::vector<std::string> parts;
    };

    bool ParsePath(std::string_view text, Path& out) const;
    std::string Format(const Path& path) const;
    Item* Lookup(const Path& path) const;
    Item* LookupText(std::string_view text) const;
    // The folder that would hold path's last component, or null.
    Item* ParentFolder(const Path& path) const;
    Item& NewChild(Item& folder, std::string_view name, std::uint32_t attributes);
    std::unique_ptr<Item> Detach(Item& item);
    Item* MakeFolders(const Path& path, std::size_t count);
    bool IsCurrentDir(const Item& item) const;

    mutable std::mutex mutex_;
    std::unordered_map<char, std::unique_ptr<Item>> drives_;
    std::string currentDir_ = "C:\\";
    std::string windowsFolder_ = "C:\\WINDOWS";
    std::uint32_t writeTime_ = DosDateTime(2020, 1, 1, 12, 0, 0);
    std::uint64_t stamp_ = 0;
    bool diskFull_ = false;
};

}  // namespace kelvora::platform::memory
