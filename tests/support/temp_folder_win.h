// Scratch folders for the tests that need the real file system: a fresh
// folder under %TEMP%, removed with everything in it at the end.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

namespace kelvora::test {

// A name no other test, nor another test program running at the same time,
// uses.
inline std::string UniqueName() {
    static std::atomic<int> counter{0};
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

// Removes a folder and everything in it, read-only files included.
inline void RemoveFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) RemoveFolderTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// %TEMP%\<prefix><unique name>, created at once; its path in long names (as
// the current directory and the file functions report them).
class TempFolder {
public:
    explicit TempFolder(std::string_view prefix) {
        char temp[MAX_PATH] = {};
        const DWORD length = GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp, length) + std::string(prefix) + UniqueName();
        CreateDirectoryA(path_.c_str(), nullptr);
        char full[MAX_PATH] = {};
        const DWORD long_length = GetLongPathNameA(path_.c_str(), full, MAX_PATH);
        if (long_length > 0 && long_length < MAX_PATH) path_.assign(full, long_length);
    }
    ~TempFolder() { RemoveFolderTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    bool Exists() const { return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    std::string path_;
};

}  // namespace kelvora::test
