// The Windows registry through the A functions (names are UTF-8 under the
// program's manifest).
#pragma once

#include "platform/platform.h"

namespace kelvora::platform::win32 {

class Win32Registry final : public Registry {
public:
    long OpenKey(RootKey root, std::string_view path, std::uint32_t access, RegKey& out) override;
    long OpenKey(const RegKey& parent, std::string_view path, std::uint32_t access, RegKey& out) override;
    // Opens with KEY_READ | KEY_WRITE: enough to enumerate, write and delete
    // values, without asking for the rights to change security.
    long CreateKey(RootKey root, std::string_view path, RegKey& out) override;
    long CreateKey(const RegKey& parent, std::string_view path, RegKey& out) override;
    long DeleteKey(RootKey root, std::string_view path) override;
    long DeleteKey(const RegKey& parent, std::string_view path) override;
    long EnumValue(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen, std::uint32_t& type,
                   std::uint8_t* data, std::uint32_t& dataLen) override;
    long EnumKey(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                 std::uint64_t* lastWriteTime = nullptr) override;
    long QueryInfo(const RegKey& key, std::uint32_t& subKeys, std::uint32_t& values) override;
    long QueryValue(const RegKey& key, std::string_view name, std::uint32_t& type,
                    std::vector<std::uint8_t>& data) override;
    long SetValue(const RegKey& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long DeleteValue(const RegKey& key, std::string_view name) override;
    // The SID of the process token's user.
    std::string CurrentUserSid() override;

protected:
    void CloseKey(std::uintptr_t handle) override;
};

}  // namespace kelvora::platform::win32
