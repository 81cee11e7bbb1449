// Behaviour every Registry implementation shares with the Win32 A functions.
// Instantiated for the memory registry (natively and under Wine) and for the
// real registry (under Wine). An environment type Env provides:
//   Registry& Reg();  RootKey Root();  std::string Base();
//   bool ValuesInCreationOrder();
// Base() is an empty scratch key under Root() that the environment removes.
// Windows enumerates a key's values in the order they were created; Wine
// keeps them sorted by name, ignoring case; ValuesInCreationOrder() tells.
#pragma once

#include "platform/platform.h"
#include "platform/registry_path.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvora::platform::conformance {

struct EnumeratedValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const EnumeratedValue&) const = default;
};

inline std::vector<std::uint8_t> Bytes(std::string_view text, bool withZero = true) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (withZero) bytes.push_back(0);
    return bytes;
}

inline std::vector<EnumeratedValue> AllValues(Registry& reg, const RegKey& key) {
    std::vector<EnumeratedValue> values;
    for (std::uint32_t i = 0;; ++i) {
        char name[1024];
        std::uint32_t nameLen = sizeof(name);
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data(16384);
        auto dataLen = static_cast<std::uint32_t>(data.size());
        if (reg.EnumValue(key, i, name, nameLen, type, data.data(), dataLen) != kErrorSuccess) break;
        data.resize(dataLen);
        values.push_back({std::string(name, nameLen), type, std::move(data)});
    }
    return values;
}

inline std::vector<std::string> AllSubKeys(Registry& reg, const RegKey& key) {
    std::vector<std::string> names;
    for (std::uint32_t i = 0;; ++i) {
        char name[1024];
        std::uint32_t nameLen = sizeof(name);
        if (reg.EnumKey(key, i, name, nameLen) != kErrorSuccess) break;
        names.emplace_back(name, nameLen);
    }
    return names;
}

template <typename Env>
class RegistryConformance : public ::testing::Test {
protected:
    Env env;
    Registry& reg = env.Reg();
    const RootKey root = env.Root();
    const std::string base = env.Base();

    RegKey Create(const std::string& path) {
        RegKey key;
        EXPECT_EQ(reg.CreateKey(root, path, key), kErrorSuccess) << path;
        return key;
    }
    // The values as the platform lists them, given in creation order.
    std::vector<EnumeratedValue> InEnumerationOrder(std::vector<EnumeratedValue> values) {
        if (!env.ValuesInCreationOrder()) {
            std::stable_sort(values.begin(), values.end(), [](const auto& a, const auto& b) {
                return CompareNoCase(a.name, b.name) < 0;
            });
        }
        return values;
    }
    void Set(const RegKey& key, const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
        EXPECT_EQ(reg.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())), kErrorSuccess);
    }
};

TYPED_TEST_SUITE_P(RegistryConformance);

TYPED_TEST_P(RegistryConformance, KeysOpenIgnoringCaseAndCreateTheirParents) {
    auto& reg = this->reg;
    this->Create(this->base + "\\One\\Two\\Three");
    RegKey key;
    EXPECT_EQ(reg.OpenKey(this->root, this->base + "\\ONE\\two\\tHREE", kKeyRead, key), kErrorSuccess);
    EXPECT_TRUE(key.IsOpen());
    RegKey missing;
    EXPECT_EQ(reg.OpenKey(this->root, this->base + "\\One\\Missing", kKeyRead, missing), kErrorFileNotFound);
    EXPECT_FALSE(missing.IsOpen());

    // The empty path opens the root itself.
    RegKey rootKey;
    ASSERT_EQ(reg.OpenKey(this->root, "", kKeyRead, rootKey), kErrorSuccess);
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    EXPECT_EQ(reg.QueryInfo(rootKey, subKeys, values), kErrorSuccess);
    EXPECT_GT(subKeys, 0u);
    rootKey.Close();
    // Closing it left the root usable.
    EXPECT_EQ(reg.OpenKey(this->root, this->base, kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(AllSubKeys(reg, key), std::vector<std::string>{"One"});

    // A key opened for reading cannot be written through.
    const std::vector<std::uint8_t> one = {1};
    EXPECT_EQ(reg.SetValue(key, "v", kRegBinary, one.data(), 1), kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteValue(key, "v"), kErrorAccessDenied);
    ASSERT_EQ(reg.OpenKey(this->root, this->base, kKeyAllAccess, key), kErrorSuccess);
    EXPECT_EQ(reg.SetValue(key, "v", kRegBinary, one.data(), 1), kErrorSuccess);
}

TYPED_TEST_P(RegistryConformance, ValuesEnumerateInCreationOrderAndRoundTrip) {
    auto& reg = this->reg;
    const RegKey key = this->Create(this->base + "\\Values");
    const std::vector<std::uint8_t> big = [] {
        std::vector<std::uint8_t> bytes(5000);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
        return bytes;
    }();
    const std::vector<EnumeratedValue> written = {
        {"Zeta", kRegSz, Bytes("text")},
        {"alpha", kRegDword, {1, 2, 3, 4}},
        {"", kRegSz, Bytes("default")},
        {"Big", kRegBinary, big},
        {"quad", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0x80}},
        {"multi", kRegMultiSz, {'a', 0, 'b', 0, 0}},
        {"expand", kRegExpandSz, Bytes("%TEMP%\\x")},
        {"empty", kRegBinary, {}},
    };
    for (const auto& v : written) this->Set(key, v.name, v.type, v.data);
    EXPECT_EQ(AllValues(reg, key), this->InEnumerationOrder(written));

    // Overwriting keeps the value's place; names match ignoring case.
    this->Set(key, "ALPHA", kRegDword, {9, 9, 9, 9});
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(reg.QueryValue(key, "zeta", type, data), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, Bytes("text"));
    ASSERT_EQ(reg.QueryValue(key, "big", type, data), kErrorSuccess);
    EXPECT_EQ(data, big);
    EXPECT_EQ(reg.QueryValue(key, "nothing", type, data), kErrorFileNotFound);

    // Deleting one closes the gap; the others keep their order.
    EXPECT_EQ(reg.DeleteValue(key, "BIG"), kErrorSuccess);
    EXPECT_EQ(reg.DeleteValue(key, "Big"), kErrorFileNotFound);
    std::vector<EnumeratedValue> left = written;
    left.erase(left.begin() + 3);
    left[1].data = {9, 9, 9, 9};
    EXPECT_EQ(AllValues(reg, key), this->InEnumerationOrder(left));
    ASSERT_EQ(reg.QueryValue(key, "Alpha", type, data), kErrorSuccess);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{9, 9, 9, 9}));
    std::uint32_t subKeys = 1;
    std::uint32_t values = 0;
    EXPECT_EQ(reg.QueryInfo(key, subKeys, values), kErrorSuccess);
    EXPECT_EQ(subKeys, 0u);
    EXPECT_EQ(values, 7u);
}

TYPED_TEST_P(RegistryConformance, SmallBuffersAnswerMoreData) {
    auto& reg = this->reg;
    const RegKey key = this->Create(this->base + "\\Buffers\\SubKeyName");
    RegKey parent = this->Create(this->base + "\\Buffers");
    this->Set(parent, "LongName", kRegBinary, std::vector<std::uint8_t>(5000, 0x5A));

    char name[1024];
    std::uint8_t data[1024];
    std::uint32_t type = 0;
    std::uint32_t nameLen = sizeof(name);
    std::uint32_t dataLen = sizeof(data);
    // Data too big: the size needed comes back.
    EXPECT_EQ(reg.EnumValue(parent, 0, name, nameLen, type, data, dataLen), kErrorMoreData);
    EXPECT_EQ(dataLen, 5000u);
    // Without a data buffer only the size is asked for.
    nameLen = sizeof(name);
    dataLen = 0;
    EXPECT_EQ(reg.EnumValue(parent, 0, name, nameLen, type, nullptr, dataLen), kErrorSuccess);
    EXPECT_EQ(dataLen, 5000u);
    EXPECT_EQ(std::string(name, nameLen), "LongName");
    EXPECT_EQ(type, kRegBinary);
    // The name needs room for its terminating zero.
    std::vector<std::uint8_t> bigData(5000);
    nameLen = 8;
    dataLen = 5000;
    EXPECT_EQ(reg.EnumValue(parent, 0, name, nameLen, type, bigData.data(), dataLen), kErrorMoreData);
    nameLen = 9;
    dataLen = 5000;
    EXPECT_EQ(reg.EnumValue(parent, 0, name, nameLen, type, bigData.data(), dataLen), kErrorSuccess);
    EXPECT_EQ(nameLen, 8u);
    nameLen = sizeof(name);
    dataLen = sizeof(data);
    EXPECT_EQ(reg.EnumValue(parent, 1, name, nameLen, type, data, dataLen), kErrorNoMoreItems);

    nameLen = 10;  // "SubKeyName" is 10 characters
    EXPECT_EQ(reg.EnumKey(parent, 0, name, nameLen), kErrorMoreData);
    nameLen = 11;
    EXPECT_EQ(reg.EnumKey(parent, 0, name, nameLen), kErrorSuccess);
    EXPECT_EQ(std::string(name, nameLen), "SubKeyName");
    nameLen = sizeof(name);
    EXPECT_EQ(reg.EnumKey(parent, 1, name, nameLen), kErrorNoMoreItems);
    EXPECT_EQ(reg.EnumKey(key, 0, name, nameLen), kErrorNoMoreItems);
}

TYPED_TEST_P(RegistryConformance, SubKeysEnumerateSortedIgnoringCase) {
    for (const char* name : {"gamma", "beta", "ALPHA2", "Delta", "Alpha", "b1"}) {
        this->Create(this->base + "\\Sorted\\" + name);
    }
    RegKey key = this->Create(this->base + "\\Sorted");
    EXPECT_EQ(AllSubKeys(this->reg, key),
              (std::vector<std::string>{"Alpha", "ALPHA2", "b1", "beta", "Delta", "gamma"}));
}

TYPED_TEST_P(RegistryConformance, DeleteKeyRefusesKeysWithSubKeys) {
    auto& reg = this->reg;
    this->Create(this->base + "\\Parent\\Child");
    EXPECT_EQ(reg.DeleteKey(this->root, this->base + "\\Parent"), kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteKey(this->root, this->base + "\\parent\\CHILD"), kErrorSuccess);
    EXPECT_EQ(reg.DeleteKey(this->root, this->base + "\\Parent\\Child"), kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteKey(this->root, this->base + "\\Parent"), kErrorSuccess);
    RegKey key;
    EXPECT_EQ(reg.OpenKey(this->root, this->base + "\\Parent", kKeyRead, key), kErrorFileNotFound);
}

TYPED_TEST_P(RegistryConformance, AnOpenKeyDeletedMeanwhileFailsCleanly) {
    auto& reg = this->reg;
    RegKey key = this->Create(this->base + "\\Doomed");
    this->Set(key, "v", kRegDword, {1, 0, 0, 0});
    ASSERT_EQ(reg.DeleteKey(this->root, this->base + "\\Doomed"), kErrorSuccess);
    const std::vector<std::uint8_t> one = {1};
    EXPECT_EQ(reg.SetValue(key, "w", kRegBinary, one.data(), 1), kErrorKeyDeleted);
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    EXPECT_EQ(reg.QueryInfo(key, subKeys, values), kErrorKeyDeleted);
    EXPECT_TRUE(AllValues(reg, key).empty());
    RegKey child;
    EXPECT_EQ(reg.CreateKey(key, "Child", child), kErrorKeyDeleted);
    key.Close();
    // A key of the same name starts empty.
    const RegKey again = this->Create(this->base + "\\Doomed");
    EXPECT_TRUE(AllValues(reg, again).empty());
}

TYPED_TEST_P(RegistryConformance, NonAsciiNamesRoundTripExactly) {
    auto& reg = this->reg;
    const std::string name = "Ünïcødé 键";
    RegKey key = this->Create(this->base + "\\" + name);
    this->Set(key, name, kRegSz, Bytes("データ ✓"));
    key.Close();

    RegKey parent;
    ASSERT_EQ(reg.OpenKey(this->root, this->base, kKeyRead, parent), kErrorSuccess);
    EXPECT_EQ(AllSubKeys(reg, parent), std::vector<std::string>{name});
    ASSERT_EQ(reg.OpenKey(this->root, this->base + "\\" + name, kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(AllValues(reg, key), (std::vector<EnumeratedValue>{{name, kRegSz, Bytes("データ ✓")}}));
}

TYPED_TEST_P(RegistryConformance, DeepKeysAreReachedThroughTheirParents) {
    auto& reg = this->reg;
    const RootKey root = this->root;
    const std::string& base = this->base;
    // One call takes a path of at most 260 characters, counted in UTF-16
    // units ("é" is one), from a root key or from an open key alike.
    std::string wide;
    for (std::size_t length = base.size() + 1; length < 260; ++length) wide += "\xC3\xA9";
    RegKey key;
    EXPECT_EQ(reg.CreateKey(root, base + "\\" + wide, key), kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(root, base + "\\" + wide, kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(reg.CreateKey(root, base + "\\" + wide + "x", key), kErrorMoreData);
    RegKey top = this->Create(base);
    EXPECT_EQ(reg.CreateKey(top, "Two\\Names", key), kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(root, base + "\\two\\NAMES", kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(top, std::string(261, 'x'), kKeyRead, key), kErrorMoreData);
    EXPECT_EQ(reg.DeleteKey(top, std::string(261, 'x')), kErrorMoreData);

    // A key 1,000 characters deep is made, read and deleted one name at a time.
    std::string path = base;
    for (char letter = 'A'; path.size() < 1000; ++letter) path += "\\" + std::string(49, letter) + "_";
    ASSERT_EQ(CreateKeyPath(reg, root, path, key), kErrorSuccess);
    this->Set(key, "deep", kRegSz, Bytes("bottom"));
    RegKey deep;
    EXPECT_EQ(reg.OpenKey(root, path, kKeyRead, deep), kErrorMoreData);
    EXPECT_EQ(reg.DeleteKey(root, path), kErrorMoreData);
    ASSERT_EQ(OpenKeyPath(reg, root, path, kKeyRead, deep), kErrorSuccess);
    EXPECT_EQ(AllValues(reg, deep), (std::vector<EnumeratedValue>{{"deep", kRegSz, Bytes("bottom")}}));

    // Below an open key: never the key itself, nor a key with sub-keys.
    const std::size_t cut = path.rfind('\\');
    RegKey parent;
    ASSERT_EQ(OpenKeyPath(reg, root, path.substr(0, cut), kKeyRead, parent), kErrorSuccess);
    EXPECT_EQ(reg.DeleteKey(parent, ""), kErrorAccessDenied);
    EXPECT_EQ(DeleteKeyPath(reg, root, path.substr(0, cut)), kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteKey(parent, path.substr(cut + 1)), kErrorSuccess);
    RegKey gone;
    EXPECT_EQ(OpenKeyPath(reg, root, path, kKeyRead, gone), kErrorFileNotFound);
    EXPECT_EQ(DeleteKeyPath(reg, root, path.substr(0, cut)), kErrorSuccess);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryConformance, KeysOpenIgnoringCaseAndCreateTheirParents,
                            ValuesEnumerateInCreationOrderAndRoundTrip, SmallBuffersAnswerMoreData,
                            SubKeysEnumerateSortedIgnoringCase, DeleteKeyRefusesKeysWithSubKeys,
                            AnOpenKeyDeletedMeanwhileFailsCleanly, NonAsciiNamesRoundTripExactly,
                            DeepKeysAreReachedThroughTheirParents);

}  // namespace kelvora::platform::conformance
