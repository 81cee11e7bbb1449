// A small stand-in registry for the settings tests: keys by full path, values
// by name, both without regard to letter case; SetValue can be made to fail
// for one value name.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"

namespace kelvora::test {

class FakeRegistry : public platform::Registry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };

    std::string failSetValue;  // SetValue of this name fails

    long OpenKey(platform::RootKey root, std::string_view path, std::uint32_t, platform::RegKey& out) override {
        const std::string id = Id(root, path);
        if (keys_.count(id) == 0) return platform::kErrorFileNotFound;
        return NewHandle(id, out);
    }
    long CreateKey(platform::RootKey root, std::string_view path, platform::RegKey& out) override {
        const std::string id = Id(root, path);
        keys_[id];
        return NewHandle(id, out);
    }
    long DeleteKey(platform::RootKey, std::string_view) override { return platform::kErrorAccessDenied; }
    long EnumValue(const platform::RegKey&, std::uint32_t, char*, std::uint32_t&, std::uint32_t&, std::uint8_t*,
                   std::uint32_t&) override {
        return platform::kErrorNoMoreItems;
    }
    long EnumKey(const platform::RegKey&, std::uint32_t, char*, std::uint32_t&) override {
        return platform::kErrorNoMoreItems;
    }
    long QueryInfo(const platform::RegKey& key, std::uint32_t& subKeys, std::uint32_t& values) override {
        subKeys = 0;
        values = static_cast<std::uint32_t>(keys_[handles_.at(key.Handle())].size());
        return platform::kErrorSuccess;
    }
    long QueryValue(const platform::RegKey& key, std::string_view name, std::uint32_t& type,
                    std::vector<std::uint8_t>& data) override {
        auto& values = keys_[handles_.at(key.Handle())];
        const auto it = values.find(UpperAscii(name));
        if (it == values.end()) return platform::kErrorFileNotFound;
        type = it->second.type;
        data = it->second.data;
        return platform::kErrorSuccess;
    }
    long SetValue(const platform::RegKey& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        if (EqualsNoCase(name, failSetValue)) return platform::kErrorAccessDenied;
        keys_[handles_.at(key.Handle())][UpperAscii(name)] = Value{type, {data, data + size}};
        return platform::kErrorSuccess;
    }
    long DeleteValue(const platform::RegKey&, std::string_view) override { return platform::kErrorFileNotFound; }

    void Put(platform::RootKey root, std::string_view path, std::string_view name, std::uint32_t type,
             const std::vector<std::uint8_t>& data) {
        keys_[Id(root, path)][UpperAscii(name)] = Value{type, data};
    }
    void PutString(platform::RootKey root, std::string_view path, std::string_view name, std::string_view text) {
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        Put(root, path, name, platform::kRegSz, data);
    }
    void PutDword(platform::RootKey root, std::string_view path, std::string_view name, std::uint32_t number) {
        Put(root, path, name, platform::kRegDword,
            {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
             static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)});
    }
    bool KeyExists(platform::RootKey root, std::string_view path) { return keys_.count(Id(root, path)) != 0; }
    std::size_t OpenHandles() const { return handles_.size(); }

protected:
    void CloseKey(std::uintptr_t handle) override { handles_.erase(handle); }

private:
    static std::string Id(platform::RootKey root, std::string_view path) {
        return std::to_string(root) + "\\" + UpperAscii(path);
    }
    long NewHandle(const std::string& id, platform::RegKey& out) {
        handles_[next_] = id;
        out = platform::RegKey(this, next_++);
        return platform::kErrorSuccess;
    }

    std::map<std::string, std::map<std::string, Value>> keys_;
    std::map<std::uintptr_t, std::string> handles_;
    std::uintptr_t next_ = 1;
};

}  // namespace kelvora::test
