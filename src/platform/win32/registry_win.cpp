#include "platform/win32/registry_win.h"

#include "platform/win32/handles_win.h"

#include <sddl.h>

#include <string>
#include <vector>

namespace kelvora::platform::win32 {

namespace {

// The engine names the root keys by their 32-bit numbers (0x80000000 ...),
// as archives store them. Windows defines HKEY_CLASSES_ROOT and the others as
// (HKEY)(ULONG_PTR)((LONG)0x80000000): the number is sign-extended, so on
// 64-bit the handle is 0xFFFFFFFF80000000, not 0x0000000080000000 (which
// Windows would reject as an invalid handle).
HKEY RootHandle(RootKey root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY KeyOf(const RegKey& key) { return key.IsOpen() ? reinterpret_cast<HKEY>(key.Handle()) : nullptr; }

long Open(Registry* owner, HKEY from, std::string_view path, std::uint32_t access, RegKey& out) {
    HKEY key = nullptr;
    const long result = RegOpenKeyExA(from, std::string(path).c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) out = RegKey(owner, reinterpret_cast<std::uintptr_t>(key));
    return result;
}

long Create(Registry* owner, HKEY from, std::string_view path, RegKey& out) {
    HKEY key = nullptr;
    const long result = RegCreateKeyExA(from, std::string(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) out = RegKey(owner, reinterpret_cast<std::uintptr_t>(key));
    return result;
}

}  // namespace

long Win32Registry::OpenKey(RootKey root, std::string_view path, std::uint32_t access, RegKey& out) {
    return Open(this, RootHandle(root), path, access, out);
}

long Win32Registry::OpenKey(const RegKey& parent, std::string_view path, std::uint32_t access, RegKey& out) {
    return Open(this, KeyOf(parent), path, access, out);
}

long Win32Registry::CreateKey(RootKey root, std::string_view path, RegKey& out) {
    return Create(this, RootHandle(root), path, out);
}

long Win32Registry::CreateKey(const RegKey& parent, std::string_view path, RegKey& out) {
    return Create(this, KeyOf(parent), path, out);
}

long Win32Registry::DeleteKey(RootKey root, std::string_view path) {
    // RegDeleteKeyA with an empty name would delete the key the handle stands
    // for; a root key is never ours to delete.
    if (path.find_first_not_of('\\') == std::string_view::npos) return ERROR_ACCESS_DENIED;
    return RegDeleteKeyA(RootHandle(root), std::string(path).c_str());
}

long Win32Registry::DeleteKey(const RegKey& parent, std::string_view path) {
    // As above: an empty name would delete the parent itself.
    if (path.find_first_not_of('\\') == std::string_view::npos) return ERROR_ACCESS_DENIED;
    return RegDeleteKeyA(KeyOf(parent), std::string(path).c_str());
}

long Win32Registry::EnumValue(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                              std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataLen) {
    DWORD nameChars = nameLen;
    DWORD valueType = 0;
    DWORD dataBytes = dataLen;
    const long result = RegEnumValueA(KeyOf(key), index, name, &nameChars, nullptr, &valueType, data, &dataBytes);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        nameLen = nameChars;
        type = valueType;
        dataLen = dataBytes;
    }
    return result;
}

long Win32Registry::EnumKey(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                            std::uint64_t* lastWriteTime) {
    DWORD nameChars = nameLen;
    FILETIME written{};
    const long result = RegEnumKeyExA(KeyOf(key), index, name, &nameChars, nullptr, nullptr, nullptr,
                                      lastWriteTime != nullptr ? &written : nullptr);
    if (result == ERROR_SUCCESS) {
        nameLen = nameChars;
        if (lastWriteTime != nullptr) {
            *lastWriteTime = (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
        }
    }
    return result;
}

std::string Win32Registry::CurrentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint8_t> buffer(size);
    std::string sid;
    char* text = nullptr;
    if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

long Win32Registry::QueryInfo(const RegKey& key, std::uint32_t& subKeys, std::uint32_t& values) {
    DWORD keyCount = 0;
    DWORD valueCount = 0;
    const long result = RegQueryInfoKeyA(KeyOf(key), nullptr, nullptr, nullptr, &keyCount, nullptr, nullptr,
                                         &valueCount, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) {
        subKeys = keyCount;
        values = valueCount;
    }
    return result;
}

long Win32Registry::QueryValue(const RegKey& key, std::string_view name, std::uint32_t& type,
                               std::vector<std::uint8_t>& data) {
    const std::string valueName(name);
    // Ask for the size, then read; another writer may make the value grow in
    // between, so try again while it does.
    for (;;) {
        DWORD valueType = 0;
        DWORD size = 0;
        long result = RegQueryValueExA(KeyOf(key), valueName.c_str(), nullptr, &valueType, nullptr, &size);
        if (result != ERROR_SUCCESS) return result;
        std::vector<std::uint8_t> buffer(size);
        result = RegQueryValueExA(KeyOf(key), valueName.c_str(), nullptr, &valueType, buffer.data(), &size);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) return result;
        // The size asked for first may exceed what the conversion to the
        // code page finally produced.
        buffer.resize(size);
        type = valueType;
        data = std::move(buffer);
        return ERROR_SUCCESS;
    }
}

long Win32Registry::SetValue(const RegKey& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) {
    return RegSetValueExA(KeyOf(key), std::string(name).c_str(), 0, type, data, size);
}

long Win32Registry::DeleteValue(const RegKey& key, std::string_view name) {
    return RegDeleteValueA(KeyOf(key), std::string(name).c_str());
}

void Win32Registry::CloseKey(std::uintptr_t handle) {
    // A key opened with an empty path may be the predefined handle itself.
    KeyHandle(reinterpret_cast<HKEY>(handle)).Reset();
}

}  // namespace kelvora::platform::win32
