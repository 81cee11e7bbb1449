// The shared registry and file-system behaviour, checked on the real Win32
// platform (under Wine) in a scratch key under HKCU\Software\KelvoraTest and a
// scratch folder under %TEMP%, both removed afterwards.
#include "platform/file_system_conformance.h"
#include "platform/registry_conformance.h"
#include "platform/win32/win32_platform_win.h"

#include <windows.h>

#include <string>

#include "support/temp_folder_win.h"

namespace kelvora::platform::conformance {

using test::UniqueName;

class Win32Env {
public:
    Win32Env() : base_("Software\\KelvoraTest\\" + UniqueName()) {
        RegKey key;
        wp_.registry.CreateKey(kCurrentUser, base_, key);
    }
    ~Win32Env() {
        RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KelvoraTest");  // only when no other run uses it
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
    std::string Folder() const { return folder_.Path(); }

private:
    win32::Win32Platform wp_;
    std::string base_;
    test::TempFolder folder_{"KelvoraTest-"};
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryConformance, ::testing::Types<Win32Env>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemConformance, ::testing::Types<Win32Env>);

}  // namespace kelvora::platform::conformance
