// The shared registry and file-system behaviour, checked on the real Win32
// platform (under Wine) in a scratch key under HKCU\Software\KelvoraTest and a
// scratch folder under %TEMP%, both removed afterwards.
#include "platform/file_system_conformance.h"
#include "platform/registry_conformance.h"
#include "platform/win32/win32_platform_win.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace kelvora::platform::conformance {

// Removes a folder and everything in it, read-only files included.
void RemoveFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveFolderTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// A name no other test (nor another run at the same time) uses.
std::string UniqueName() {
    static std::atomic<int> counter{0};
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

class Win32Env {
public:
    Win32Env() : base_("Software\\KelvoraTest\\" + UniqueName()) {
        RegKey key;
        wp_.registry.CreateKey(kCurrentUser, base_, key);
        char temp[MAX_PATH];
        const DWORD length = GetTempPathA(MAX_PATH, temp);
        folder_ = wp_.files.LongPathName(std::string(temp, length)) + "KelvoraTest-" + UniqueName();
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    ~Win32Env() {
        RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KelvoraTest");  // only when no other run uses it
        RemoveFolderTree(folder_);
    }
    Win32Env(const Win32Env&) = delete;
    Win32Env& operator=(const Win32Env&) = delete;

    Registry& Reg() { return wp_.registry; }
    RootKey Root() const { return kCurrentUser; }
    std::string Base() const { return base_; }
    // Wine keeps values sorted by name; Windows lists them as created.
    bool ValuesInCreationOrder() const {
        return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
    }
    FileSystem& Files() { return wp_.files; }
    Shell& Shelf() { return wp_.shell; }
    std::string Folder() const { return folder_; }

private:
    win32::Win32Platform wp_;
    std::string base_;
    std::string folder_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryConformance, ::testing::Types<Win32Env>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemConformance, ::testing::Types<Win32Env>);

}  // namespace kelvora::platform::conformance
