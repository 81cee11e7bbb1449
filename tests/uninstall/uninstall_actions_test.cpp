#include "uninstall/uninstall_actions.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::memory::MemoryPlatform;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class UninstallActions : public ::testing::Test {
protected:
    bool HasValue(std::string_view key, std::string_view name, std::vector<std::uint8_t>* data = nullptr,
                  std::uint32_t* type = nullptr) {
        platform::RegKey open;
        if (os.registry.OpenKey(kCurrentUser, key, platform::kKeyRead, open) != 0) return false;
        std::uint32_t t = 0;
        std::vector<std::uint8_t> d;
        if (os.registry.QueryValue(open, name, t, d) != 0) return false;
        if (data != nullptr) *data = d;
        if (type != nullptr) *type = t;
        return true;
    }

    MemoryPlatform os;
};

TEST_F(UninstallActions, DeletingValuesAndKeys) {
    os.registry.PutString(kCurrentUser, "Software\\App", "Name", "x");
    os.registry.PutString(kCurrentUser, "Software\\App", "", "default");
    EXPECT_EQ(DeleteRegistryValue(os.registry, kCurrentUser, "Software\\App", "Name"), kOutcomeOk);
    EXPECT_FALSE(HasValue("Software\\App", "Name"));
    EXPECT_EQ(DeleteRegistryValue(os.registry, kCurrentUser, "Software\\App", "Name"), kOutcomeNotFound);
    EXPECT_EQ(DeleteRegistryValue(os.registry, kCurrentUser, "Software\\App", ""), kOutcomeOk);
    EXPECT_EQ(DeleteRegistryValue(os.registry, kCurrentUser, "Software\\Gone", "Name"), kOutcomeNotFound);

    os.registry.PutString(kCurrentUser, "Software\\App\\Sub", "V", "1");
    EXPECT_EQ(DeleteRegistryKey(os.registry, kCurrentUser, "Software\\App"), kOutcomeHasSubKeys);
    EXPECT_TRUE(os.registry.KeyExists(kCurrentUser, "Software\\App"));
    EXPECT_EQ(DeleteRegistryKey(os.registry, kCurrentUser, "Software\\App\\Sub"), kOutcomeOk);
    EXPECT_FALSE(os.registry.KeyExists(kCurrentUser, "Software\\App\\Sub"));
    EXPECT_EQ(DeleteRegistryKey(os.registry, kCurrentUser, "Software\\App\\Sub"), kOutcomeNotFound);
    EXPECT_EQ(os.registry.OpenHandles(), 0u);
}

TEST_F(UninstallActions, RestoringAndCreatingValuesAndKeys) {
    os.registry.PutString(kCurrentUser, "Software\\App", "Changed", "new");
    const std::vector<std::uint8_t> old = Bytes(std::string_view("old\0", 4));
    EXPECT_EQ(RestoreRegistryValue(os.registry, kCurrentUser, "Software\\App", "Changed", platform::kRegSz, old),
              kOutcomeOk);
    std::vector<std::uint8_t> data;
    std::uint32_t type = 0;
    ASSERT_TRUE(HasValue("Software\\App", "Changed", &data, &type));
    EXPECT_EQ(data, old);
    EXPECT_EQ(type, platform::kRegSz);
    // A value that no longer exists is not made again by a restore.
    EXPECT_EQ(RestoreRegistryValue(os.registry, kCurrentUser, "Software\\App", "Gone", platform::kRegSz, old),
              kOutcomeNotFound);
    EXPECT_FALSE(HasValue("Software\\App", "Gone"));

    EXPECT_EQ(CreateRegistryKey(os.registry, kCurrentUser, "Software\\Deleted\\Deeper"), kOutcomeOk);
    EXPECT_TRUE(os.registry.KeyExists(kCurrentUser, "Software\\Deleted\\Deeper"));
    EXPECT_EQ(CreateRegistryKey(os.registry, kCurrentUser, "Software\\Deleted"), kOutcomeOk);

    const std::vector<std::uint8_t> binary{1, 2, 3};
    EXPECT_EQ(CreateRegistryValue(os.registry, kCurrentUser, "Software\\Deleted", "Bin", platform::kRegBinary, binary),
              kOutcomeOk);
    ASSERT_TRUE(HasValue("Software\\Deleted", "Bin", &data, &type));
    EXPECT_EQ(data, binary);
    EXPECT_EQ(type, platform::kRegBinary);
    EXPECT_EQ(CreateRegistryValue(os.registry, kCurrentUser, "Software\\Missing", "Bin", platform::kRegBinary, binary),
              kOutcomeNotFound);
    EXPECT_FALSE(os.registry.KeyExists(kCurrentUser, "Software\\Missing"));
    EXPECT_EQ(os.registry.OpenHandles(), 0u);
}

TEST_F(UninstallActions, DeletingFiles) {
    ASSERT_TRUE(os.files.AddFile("C:\\App\\plain.txt", "x"));
    ASSERT_TRUE(os.files.AddFile("C:\\App\\locked.txt", "x"));
    ASSERT_TRUE(os.files.AddFile("C:\\App\\shared.dll", "x"));
    ASSERT_TRUE(os.files.AddFile("C:\\App\\used.exe", "x"));
    ASSERT_TRUE(os.files.SetAttributes("C:\\App\\locked.txt",
                                       platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem));
    ASSERT_TRUE(os.files.SetInUse("C:\\App\\used.exe", true));
    const SharedFileSet shared{"c:\\app\\SHARED.dll"};

    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App\\plain.txt", shared, false), kOutcomeOk);
    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App\\locked.txt", shared, true), kOutcomeOk);
    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App\\shared.dll", shared, true), kOutcomeOk);
    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App\\used.exe", shared, true), kOutcomeInUse);
    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App\\plain.txt", shared, true), kOutcomeNotFound);
    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App", shared, true), kOutcomeNotFound);

    EXPECT_FALSE(os.files.Exists("C:\\App\\plain.txt"));
    EXPECT_FALSE(os.files.Exists("C:\\App\\locked.txt"));
    EXPECT_TRUE(os.files.Exists("C:\\App\\shared.dll"));
    EXPECT_TRUE(os.files.Exists("C:\\App\\used.exe"));
    EXPECT_EQ(os.shell.Recycled(), std::vector<std::string>{"C:\\App\\locked.txt"});
}

TEST_F(UninstallActions, RecycleBinTakesOnlyExistingFilesByTheirFullPath) {
    ASSERT_TRUE(os.files.AddFile("C:\\App\\a.txt", "x"));
    ASSERT_TRUE(os.files.SetCurrentDir("C:\\App"));
    EXPECT_TRUE(MoveToRecycleBin(os.files, os.shell, "a.txt"));
    EXPECT_FALSE(MoveToRecycleBin(os.files, os.shell, "a.txt"));
    EXPECT_EQ(os.shell.Recycled(), std::vector<std::string>{"C:\\App\\a.txt"});
}

TEST_F(UninstallActions, DeletingFolders) {
    ASSERT_TRUE(os.files.AddFile("C:\\App\\Full\\f.txt", "x"));
    ASSERT_TRUE(os.files.AddFolder("C:\\App\\Empty"));
    EXPECT_EQ(DeleteCreatedFolder(os.files, "C:\\App\\Empty"), kOutcomeOk);
    EXPECT_EQ(DeleteCreatedFolder(os.files, "C:\\App\\Empty"), kOutcomeNotFound);
    EXPECT_EQ(DeleteCreatedFolder(os.files, "C:\\App\\Full"), kOutcomeNotEmpty);
    EXPECT_EQ(DeleteCreatedFolder(os.files, "C:\\App\\Full\\f.txt"), kOutcomeNotFound);
    EXPECT_TRUE(os.files.FolderExists("C:\\App\\Full"));
}

TEST_F(UninstallActions, ARefusedAccessIsAnErrorOfItsOwnNeverNotFound) {
    os.registry.PutString(kCurrentUser, "Software\\Closed", "V", "x");
    os.registry.PutString(kCurrentUser, "Software\\ReadOnly\\Sub", "V", "x");
    ASSERT_TRUE(os.registry.SetDenied(kCurrentUser, "Software\\Closed", true));
    ASSERT_TRUE(os.registry.SetWriteDenied(kCurrentUser, "Software\\ReadOnly\\Sub", true));
    const std::vector<std::uint8_t> data = Bytes(std::string_view("y\0", 2));
    for (const char* key : {"Software\\Closed", "Software\\ReadOnly\\Sub"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(DeleteRegistryValue(os.registry, kCurrentUser, key, "V"), kOutcomeAccessDenied);
        EXPECT_EQ(DeleteRegistryKey(os.registry, kCurrentUser, key), kOutcomeAccessDenied);
        EXPECT_EQ(RestoreRegistryValue(os.registry, kCurrentUser, key, "V", platform::kRegSz, data),
                  kOutcomeAccessDenied);
        EXPECT_EQ(CreateRegistryKey(os.registry, kCurrentUser, key), kOutcomeAccessDenied);
        EXPECT_EQ(CreateRegistryValue(os.registry, kCurrentUser, key, "V", platform::kRegSz, data),
                  kOutcomeAccessDenied);
    }
    EXPECT_EQ(kOutcomeAccessDenied.level, kLineError);
    EXPECT_STREQ(kOutcomeAccessDenied.text->English, "ERROR (access denied)");

    ASSERT_TRUE(os.files.AddFile("C:\\App\\Locked\\f.txt", "x"));
    ASSERT_TRUE(os.files.SetAccessible("C:\\App\\Locked\\f.txt", false));
    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App\\Locked\\f.txt", {}, false), kOutcomeAccessDenied);
    ASSERT_TRUE(os.files.SetAccessible("C:\\App\\Locked\\f.txt", true));
    ASSERT_TRUE(os.files.SetAccessible("C:\\App\\Locked", false));
    EXPECT_EQ(DeleteCreatedFile(os.platform, "C:\\App\\Locked\\f.txt", {}, false), kOutcomeOk);
    EXPECT_EQ(DeleteCreatedFolder(os.files, "C:\\App\\Locked"), kOutcomeAccessDenied);
    EXPECT_EQ(os.registry.OpenHandles(), 0u);
}

}  // namespace
}  // namespace kelvora
