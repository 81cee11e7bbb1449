// What only the memory registry offers: the test controls, and safety when a
// worker walks it while another thread writes.
#include "platform/memory/memory_registry.h"
#include "platform/registry_conformance.h"
#include "platform/registry_path.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace kelvora::platform::memory {
namespace {

using conformance::AllSubKeys;
using conformance::AllValues;

TEST(MemoryRegistry, DeniedKeysRefuseOpeningUntilAllowedAgain) {
    MemoryRegistry reg;
    reg.PutDword(kLocalMachine, "Software\\Secret\\Inner", "n", 1);
    ASSERT_TRUE(reg.SetDenied(kLocalMachine, "SOFTWARE\\secret", true));
    EXPECT_FALSE(reg.SetDenied(kLocalMachine, "Software\\Nothing", true));
    RegKey key;
    EXPECT_EQ(reg.OpenKey(kLocalMachine, "Software\\Secret", kKeyRead, key), kErrorAccessDenied);
    EXPECT_EQ(reg.CreateKey(kLocalMachine, "Software\\Secret", key), kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteKey(kLocalMachine, "Software\\Secret\\Inner"), kErrorSuccess);
    EXPECT_EQ(reg.DeleteKey(kLocalMachine, "Software\\Secret"), kErrorAccessDenied);
    // The parent still lists it.
    ASSERT_EQ(reg.OpenKey(kLocalMachine, "Software", kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(AllSubKeys(reg, key), std::vector<std::string>{"Secret"});
    ASSERT_TRUE(reg.SetDenied(kLocalMachine, "Software\\Secret", false));
    EXPECT_EQ(reg.OpenKey(kLocalMachine, "Software\\Secret", kKeyRead, key), kErrorSuccess);
}

// A whole path asks nothing of the keys on the way: a key below one that
// refuses reading is still reached, created and deleted by a path that one
// call takes, as before deep keys were reached through their parents.
TEST(MemoryRegistry, KeysBelowADeniedKeyAreReachedByTheirWholePath) {
    MemoryRegistry reg;
    reg.PutDword(kCurrentUser, "Software\\Closed\\Open", "n", 1);
    ASSERT_TRUE(reg.SetDenied(kCurrentUser, "Software\\Closed", true));
    RegKey key;
    EXPECT_EQ(OpenKeyPath(reg, kCurrentUser, "Software\\Closed\\Open", kKeyRead, key), kErrorSuccess);
    key.Close();
    EXPECT_EQ(CreateKeyPath(reg, kCurrentUser, "Software\\Closed\\Open\\New", key), kErrorSuccess);
    key.Close();
    EXPECT_EQ(DeleteKeyPath(reg, kCurrentUser, "Software\\Closed\\Open\\New"), kErrorSuccess);
    EXPECT_FALSE(reg.KeyExists(kCurrentUser, "Software\\Closed\\Open\\New"));
}

TEST(MemoryRegistry, WriteDeniedKeysOpenOnlyForReading) {
    MemoryRegistry reg;
    reg.PutDword(kCurrentUser, "Software\\Locked", "n", 1);
    ASSERT_TRUE(reg.SetWriteDenied(kCurrentUser, "Software\\Locked", true));
    RegKey key;
    EXPECT_EQ(reg.OpenKey(kCurrentUser, "Software\\Locked", kKeyAllAccess, key), kErrorAccessDenied);
    EXPECT_EQ(reg.CreateKey(kCurrentUser, "Software\\Locked", key), kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteKey(kCurrentUser, "Software\\Locked"), kErrorAccessDenied);
    ASSERT_EQ(reg.OpenKey(kCurrentUser, "Software\\Locked", kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(AllValues(reg, key).size(), 1u);
    // A key opened with the right to read values only cannot list sub-keys.
    ASSERT_EQ(reg.OpenKey(kCurrentUser, "Software", 0x0001, key), kErrorSuccess);
    char name[16];
    std::uint32_t nameLen = sizeof(name);
    EXPECT_EQ(reg.EnumKey(key, 0, name, nameLen), kErrorAccessDenied);
}

TEST(MemoryRegistry, HandlesAndRootsBehaveAsWindowsAnswers) {
    MemoryRegistry reg;
    RegKey key;
    EXPECT_EQ(reg.OpenKey(0x80000004u, "", kKeyRead, key), kErrorInvalidHandle);
    EXPECT_EQ(reg.DeleteKey(kUsers, ""), kErrorAccessDenied);
    for (RootKey root : {kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig}) {
        EXPECT_EQ(reg.OpenKey(root, "", kKeyRead, key), kErrorSuccess) << root;
    }
    // Doubled and trailing backslashes are ignored.
    reg.PutString(kUsers, "A\\\\B\\", "s", "x");
    EXPECT_TRUE(reg.KeyExists(kUsers, "a\\b"));
    {
        RegKey a;
        RegKey b;
        reg.OpenKey(kUsers, "A", kKeyRead, a);
        reg.OpenKey(kUsers, "A\\B", kKeyRead, b);
        EXPECT_EQ(reg.OpenHandles(), 3u);
        b = std::move(a);
        EXPECT_EQ(reg.OpenHandles(), 2u);
    }
    key.Close();
    EXPECT_EQ(reg.OpenHandles(), 0u);
    const RegKey closed;
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    EXPECT_EQ(reg.QueryInfo(closed, subKeys, values), kErrorInvalidHandle);
}

TEST(MemoryRegistry, TooSmallNameBufferKeepsItsLengthAndGetsATruncatedName) {
    MemoryRegistry reg;
    reg.PutString(kCurrentUser, "K", "ValueName", "v");
    RegKey key;
    ASSERT_EQ(reg.OpenKey(kCurrentUser, "K", kKeyRead, key), kErrorSuccess);
    char name[16];
    std::uint8_t data[16];
    std::uint32_t nameLen = 6;
    std::uint32_t dataLen = sizeof(data);
    std::uint32_t type = 0;
    EXPECT_EQ(reg.EnumValue(key, 0, name, nameLen, type, data, dataLen), kErrorMoreData);
    EXPECT_EQ(nameLen, 6u);
    EXPECT_STREQ(name, "Value");
    EXPECT_EQ(dataLen, 2u);
}

TEST(MemoryRegistry, StringsStoredWithoutTheirZeroGetOneWhenThereIsRoom) {
    MemoryRegistry reg;
    reg.Put(kCurrentUser, "K", "s", kRegSz, {'a', 'b'});
    RegKey key;
    ASSERT_EQ(reg.OpenKey(kCurrentUser, "K", kKeyRead, key), kErrorSuccess);
    char name[16];
    std::uint8_t data[16] = {0xFF, 0xFF, 0xFF, 0xFF};
    std::uint32_t nameLen = sizeof(name);
    std::uint32_t dataLen = sizeof(data);
    std::uint32_t type = 0;
    ASSERT_EQ(reg.EnumValue(key, 0, name, nameLen, type, data, dataLen), kErrorSuccess);
    EXPECT_EQ(dataLen, 2u);
    EXPECT_EQ(data[2], 0);
}

TEST(MemoryRegistry, LargeKeysEnumerateInOrderAfterChanges) {
    MemoryRegistry reg;
    for (int i = 999; i >= 0; --i) reg.PutDword(kLocalMachine, "Big\\k" + std::to_string(i), "v", i);
    RegKey key;
    ASSERT_EQ(reg.OpenKey(kLocalMachine, "Big", kKeyRead, key), kErrorSuccess);
    auto names = AllSubKeys(reg, key);
    ASSERT_EQ(names.size(), 1000u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), kelvora::NoCaseLess()));
    ASSERT_EQ(reg.DeleteKey(kLocalMachine, "Big\\k0"), kErrorSuccess);
    reg.PutDword(kLocalMachine, "Big\\K00", "v", 1);
    names = AllSubKeys(reg, key);
    EXPECT_EQ(names[0], "K00");
    EXPECT_EQ(names[1], "k1");
}

TEST(MemoryRegistry, KeysWithManyValuesFindThemByNameAfterChanges) {
    MemoryRegistry reg;
    for (int i = 0; i < 20; ++i) reg.PutDword(kCurrentUser, "Many", "Value" + std::to_string(i), i);
    RegKey key;
    ASSERT_EQ(reg.OpenKey(kCurrentUser, "Many", kKeyAllAccess, key), kErrorSuccess);
    EXPECT_EQ(reg.DeleteValue(key, "VALUE3"), kErrorSuccess);
    EXPECT_EQ(reg.DeleteValue(key, "value3"), kErrorFileNotFound);
    reg.PutDword(kCurrentUser, "Many", "value10", 99);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(reg.QueryValue(key, "VALUE19", type, data), kErrorSuccess);
    EXPECT_EQ(data[0], 19);
    const auto values = AllValues(reg, key);
    ASSERT_EQ(values.size(), 19u);
    EXPECT_EQ(values[3].name, "Value4");
    EXPECT_EQ(values[9].name, "Value10");
    EXPECT_EQ(values[9].data[0], 99);
}

// A worker walks the tree the way the scan does while the test's thread
// keeps changing it; every call must answer cleanly.
TEST(MemoryRegistryConcurrency, WalkWhileAnotherThreadWrites) {
    MemoryRegistry reg;
    for (int i = 0; i < 50; ++i) reg.PutDword(kLocalMachine, "Tree\\A" + std::to_string(i % 5) + "\\B" + std::to_string(i), "v", i);
    std::atomic<bool> stop{false};
    std::atomic<int> walks{0};
    std::thread worker([&] {
        std::function<void(const std::string&)> walk = [&](const std::string& path) {
            RegKey key;
            if (reg.OpenKey(kLocalMachine, path, kKeyRead, key) != kErrorSuccess) return;
            AllValues(reg, key);
            for (const std::string& name : AllSubKeys(reg, key)) walk(path + "\\" + name);
        };
        while (!stop.load()) {
            walk("Tree");
            walks.fetch_add(1);
        }
    });
    for (int round = 0; round < 200 || walks.load() < 3; ++round) {
        const std::string path = "Tree\\A" + std::to_string(round % 5) + "\\New" + std::to_string(round % 7);
        reg.PutString(kLocalMachine, path, "s", "text");
        RegKey key;
        if (reg.OpenKey(kLocalMachine, path, kKeyAllAccess, key) == kErrorSuccess) reg.DeleteValue(key, "s");
        reg.DeleteKey(kLocalMachine, path);
    }
    stop.store(true);
    worker.join();
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

}  // namespace
}  // namespace kelvora::platform::memory
