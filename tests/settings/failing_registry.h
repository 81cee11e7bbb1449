// The in-memory registry, with SetValue made to fail for one value name (as
// a value whose key denies writing would).
#pragma once

#include <string>

#include "platform/memory/memory_registry.h"
#include "platform/text.h"

namespace kelvora::test {

class FailingRegistry : public platform::Registry {
public:
    explicit FailingRegistry(platform::memory::MemoryRegistry& inner) : inner_(inner) {}

    std::string failSetValue;

    long OpenKey(platform::RootKey root, std::string_view path, std::uint32_t access, platform::RegKey& out) override {
        return inner_.OpenKey(root, path, access, out);
    }
    long CreateKey(platform::RootKey root, std::string_view path, platform::RegKey& out) override {
        return inner_.CreateKey(root, path, out);
    }
    long DeleteKey(platform::RootKey root, std::string_view path) override { return inner_.DeleteKey(root, path); }
    long OpenKey(const platform::RegKey& parent, std::string_view path, std::uint32_t access,
                 platform::RegKey& out) override {
        return inner_.OpenKey(parent, path, access, out);
    }
    long CreateKey(const platform::RegKey& parent, std::string_view path, platform::RegKey& out) override {
        return inner_.CreateKey(parent, path, out);
    }
    long DeleteKey(const platform::RegKey& parent, std::string_view path) override {
        return inner_.DeleteKey(parent, path);
    }
    long EnumValue(const platform::RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                   std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataLen) override {
        return inner_.EnumValue(key, index, name, nameLen, type, data, dataLen);
    }
    long EnumKey(const platform::RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                 std::uint64_t* lastWriteTime) override {
        return inner_.EnumKey(key, index, name, nameLen, lastWriteTime);
    }
    long QueryInfo(const platform::RegKey& key, std::uint32_t& subKeys, std::uint32_t& values) override {
        return inner_.QueryInfo(key, subKeys, values);
    }
    long QueryValue(const platform::RegKey& key, std::string_view name, std::uint32_t& type,
                    std::vector<std::uint8_t>& data) override {
        return inner_.QueryValue(key, name, type, data);
    }
    long SetValue(const platform::RegKey& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        if (EqualsNoCase(name, failSetValue)) return platform::kErrorAccessDenied;
        return inner_.SetValue(key, name, type, data, size);
    }
    long DeleteValue(const platform::RegKey& key, std::string_view name) override {
        return inner_.DeleteValue(key, name);
    }

protected:
    // Keys are opened by the inner registry, which closes them itself.
    void CloseKey(std::uintptr_t) override {}

private:
    platform::memory::MemoryRegistry& inner_;
};

}  // namespace kelvora::test
