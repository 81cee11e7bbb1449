// The shared registry and file-system behaviour, checked on the memory platform.
#include "platform/file_system_conformance.h"
#include "platform/memory/memory_platform.h"
#include "platform/registry_conformance.h"

namespace kelvora::platform::conformance {
namespace {

class MemoryEnv {
public:
    MemoryEnv() {
        RegKey key;
        mp_.registry.CreateKey(kCurrentUser, Base(), key);
        mp_.files.AddFolder(Folder());
    }
    Registry& Reg() { return mp_.registry; }
    RootKey Root() const { return kCurrentUser; }
    std::string Base() const { return "Software\\KelvoraTest\\Scratch"; }
    bool ValuesInCreationOrder() const { return true; }
    FileSystem& Files() { return mp_.files; }
    Shell& Shelf() { return mp_.shell; }
    std::string Folder() const { return "C:\\Scratch Folder"; }

private:
    memory::MemoryPlatform mp_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryConformance, ::testing::Types<MemoryEnv>);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, FileSystemConformance, ::testing::Types<MemoryEnv>);

}  // namespace
}  // namespace kelvora::platform::conformance
