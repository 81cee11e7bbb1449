// A registry held in memory, for tests and benchmarks. It answers like the
// Win32 A functions: names keep their spelling and compare without regard to
// ASCII case, sub-keys enumerate sorted that way (as Windows and Wine list
// them), values in the order they were created. Open keys stay valid when
// their key is deleted meanwhile; operations on them answer kErrorKeyDeleted.
// A key remembers the rights it was opened with: reading needs KEY_QUERY_VALUE
// or KEY_ENUMERATE_SUB_KEYS, writing KEY_SET_VALUE (CreateKey grants
// KEY_READ | KEY_WRITE, as the Win32 registry does), else kErrorAccessDenied.
// A path argument longer than 260 UTF-16 units answers kErrorMoreData, as
// Wine's A functions do (measured: the text is converted into a buffer of
// 261 characters). Every call takes one lock, so a worker may walk it while
// another thread writes.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvora::platform::memory {

class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    long OpenKey(RootKey root, std::string_view path, std::uint32_t access, RegKey& out) override;
    long OpenKey(const RegKey& parent, std::string_view path, std::uint32_t access, RegKey& out) override;
    long CreateKey(RootKey root, std::string_view path, RegKey& out) override;
    long CreateKey(const RegKey& parent, std::string_view path, RegKey& out) override;
    long DeleteKey(RootKey root, std::string_view path) override;
    long DeleteKey(const RegKey& parent, std::string_view path) override;
    long EnumValue(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen, std::uint32_t& type,
                   std::uint8_t* data, std::uint32_t& dataLen) override;
    // A key's last-write time is the write time (SetWriteTime) of the last
    // change of its values or of the list of its sub-keys.
    long EnumKey(const RegKey& key, std::uint32_t index, char* name, std::uint32_t& nameLen,
                 std::uint64_t* lastWriteTime = nullptr) override;
    long QueryInfo(const RegKey& key, std::uint32_t& subKeys, std::uint32_t& values) override;
    long QueryValue(const RegKey& key, std::string_view name, std::uint32_t& type,
                    std::vector<std::uint8_t>& data) override;
    long SetValue(const RegKey& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long DeleteValue(const RegKey& key, std::string_view name) override;
    std::string CurrentUserSid() override;

    // ---- for tests

    // Writes a value, creating the key and its parents.
    void Put(RootKey root, std::string_view path, std::string_view name, std::uint32_t type,
             const std::vector<std::uint8_t>& data);
    // REG_SZ with its terminating zero byte, as RegSetValueExA callers store it.
    void PutString(RootKey root, std::string_view path, std::string_view name, std::string_view text);
    void PutDword(RootKey root, std::string_view path, std::string_view name, std::uint32_t number);
    bool KeyExists(RootKey root, std::string_view path);
    // Makes OpenKey and CreateKey of an existing key answer kErrorAccessDenied
    // (as a key whose security denies reading does), or lifts that. False when
    // the key does not exist.
    bool SetDenied(RootKey root, std::string_view path, bool denied);
    // Makes opening an existing key for writing (KEY_SET_VALUE or
    // KEY_CREATE_SUB_KEY, so CreateKey too) answer kErrorAccessDenied, as a
    // key whose security allows only reading does, or lifts that. False when
    // the key does not exist.
    bool SetWriteDenied(RootKey root, std::string_view path, bool denied);
    // The time that every later change stamps on the keys it changes (a
    // FILETIME; 0, the start, stands for unknown).
    void SetWriteTime(std::uint64_t fileTime);
    // The name CurrentUserSid answers; "S-1-5-21-0-0-0-1000" (Wine's user)
    // at the start. HKEY_USERS gets no key of that name by itself.
    void SetCurrentUserSid(std::string_view sid);
    // The number of keys opened and not yet closed.
    std::size_t OpenHandles();

protected:
    void CloseKey(std::uintptr_t handle) override;

private:
    struct Key;

    // Null when the root or a key on the path does not exist.
    std::shared_ptr<Key> Find(RootKey root, std::string_view path) const;
    std::shared_ptr<Key> FindBelow(std::shared_ptr<Key> key, std::string_view path) const;
    // Null only for an unknown root.
    std::shared_ptr<Key> Create(RootKey root, std::string_view path);
    std::shared_ptr<Key> CreateBelow(std::shared_ptr<Key> key, std::string_view path);
    struct OpenedKey {
        std::shared_ptr<Key> key;
        std::uint32_t access = 0;
    };

    // The key a path starts from: a root key, or the key behind an open
    // handle (which needs no particular rights to be a parent). Null with
    // the error to answer when there is none.
    std::shared_ptr<Key> Start(RootKey root, long& error) const;
    std::shared_ptr<Key> Start(const RegKey& parent, long& error) const;
    template <typename From>
    long Open(const From& from, std::string_view path, std::uint32_t access, RegKey& out);
    template <typename From>
    long CreateFrom(const From& from, std::string_view path, RegKey& out);
    template <typename From>
    long Delete(const From& from, std::string_view path);

    // The key behind an open handle, when it was opened with one of the
    // rights in need; else null with the error to answer.
    Key* Resolve(const RegKey& key, std::uint32_t need, long& error) const;
    RegKey NewHandle(const std::shared_ptr<Key>& key, std::uint32_t access);
    long SetValueLocked(Key& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size);

    mutable std::mutex mutex_;
    std::unordered_map<RootKey, std::shared_ptr<Key>> roots_;
    std::unordered_map<std::uintptr_t, OpenedKey> handles_;
    std::uintptr_t nextHandle_ = 1;
    std::uint64_t writeTime_ = 0;
    std::string currentUserSid_ = "S-1-5-21-0-0-0-1000";
};

}  // namespace kelvora::platform::memory
