#include "platform/memory/memory_registry.h"

#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace kelvora::platform::memory {

namespace {

// Access rights of a key handle (KEY_*).
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyReadWrite = 0x2001F;  // KEY_READ | KEY_WRITE

// ERROR_NOACCESS: what RegSetValueExA answers for an unreadable data buffer.
constexpr long kErrorNoAccess = 998;

bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Calls each(component) for the backslash-separated parts of a key path;
// empty parts (doubled or trailing backslashes) are skipped as the registry
// skips them. Stops and answers false when each() does.
template <typename Each>
bool ForEachComponent(std::string_view path, Each&& each) {
    while (!path.empty()) {
        const std::size_t cut = path.find('\\');
        const std::string_view part = path.substr(0, cut);
        if (!part.empty() && !each(part)) return false;
        if (cut == std::string_view::npos) break;
        path.remove_prefix(cut + 1);
    }
    return true;
}

// Copies a name into a caller buffer of nameLen characters (zero included).
// Answers kErrorMoreData, leaving nameLen as it was and the buffer holding as
// much of the name as fits, when it does not fit.
long CopyName(std::string_view source, char* name, std::uint32_t& nameLen) {
    if (name == nullptr || source.size() >= nameLen) {
        if (name != nullptr && nameLen > 0) {
            std::memcpy(name, source.data(), nameLen - 1);
            name[nameLen - 1] = '\0';
        }
        return kErrorMoreData;
    }
    std::memcpy(name, source.data(), source.size());
    name[source.size()] = '\0';
    nameLen = static_cast<std::uint32_t>(source.size());
    return kErrorSuccess;
}

// The longest path argument the A functions take, in UTF-16 units.
constexpr std::size_t kLongestPathArgument = 260;

bool TooLong(std::string_view path) {
    if (path.size() <= kLongestPathArgument) return false;
    std::size_t units = 0;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // not a continuation byte
        if (byte >= 0xF0) ++units;           // beyond the BMP: a surrogate pair
    }
    return units > kLongestPathArgument;
}

}  // namespace

struct MemoryRegistry::Key {
    struct Value {
        std::string name;
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
    };

    explicit Key(std::string_view keyName) : name(keyName) {}

    std::string name;
    bool deleted = false;
    bool denied = false;
    bool writeDenied = false;
    std::uint64_t lastWrite = 0;  // FILETIME of the last change, 0 unknown
    // Keyed by a view of the child's own name, which lives as long as the child.
    std::unordered_map<std::string_view, std::shared_ptr<Key>, NoCaseHash, NoCaseEqual> children;
    // The children in enumeration order, rebuilt when a child came or went.
    std::vector<Key*> sorted;
    bool sortedValid = true;
    std::vector<Value> values;
    // Name -> position, kept only for keys with many values: most keys hold a
    // handful, which a scan finds faster and in less memory.
    std::unique_ptr<std::unordered_map<std::string, std::size_t, NoCaseHash, NoCaseEqual>> valueIndex;
    static constexpr std::size_t kIndexFrom = 8;

    const std::vector<Key*>& Sorted() {
        if (!sortedValid) {
            sorted.clear();
            sorted.reserve(children.size());
            for (const auto& [childName, child] : children) sorted.push_back(child.get());
            std::sort(sorted.begin(), sorted.end(),
                      [](const Key* a, const Key* b) { return CompareNoCase(a->name, b->name) < 0; });
            sortedValid = true;
        }
        return sorted;
    }

    // The position of a value, or values.size() when there is none.
    std::size_t FindValue(std::string_view valueName) const {
        if (valueIndex) {
            const auto it = valueIndex->find(valueName);
            return it == valueIndex->end() ? values.size() : it->second;
        }
        std::size_t i = 0;
        while (i < values.size() && !EqualsNoCase(values[i].name, valueName)) ++i;
        return i;
    }

    void AddValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data) {
        values.push_back({std::string(valueName), type, std::move(data)});
        if (valueIndex) {
            valueIndex->emplace(values.back().name, values.size() - 1);
        } else if (values.size() > kIndexFrom) {
            BuildIndex();
        }
    }

    void RemoveValue(std::size_t position) {
        if (valueIndex) valueIndex->erase(values[position].name);
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(position));
        if (valueIndex) {
            for (std::size_t i = position; i < values.size(); ++i) (*valueIndex)[values[i].name] = i;
        }
    }

    void BuildIndex() {
        valueIndex = std::make_unique<std::unordered_map<std::string, std::size_t, NoCaseHash, NoCaseEqual>>();
        valueIndex->reserve(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) valueIndex->emplace(values[i].name, i);
    }
};

MemoryRegistry::MemoryRegistry() {
    for (const RootKey root : {kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig}) {
        roots_.emplace(root, std::make_shared<Key>(""));
    }
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::Find(RootKey root, std::string_view path) const {
    const auto it = roots_.find(root);
    return it == roots_.end() ? nullptr : FindBelow(it->second, path);
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::FindBelow(std::shared_ptr<Key> key, std::string_view path) const {
    const bool found = ForEachComponent(path, [&](std::string_view part) {
        const auto child = key->children.find(part);
        if (child == key->children.end()) return false;
        key = child->second;
        return true;
    });
    return found ? key : nullptr;
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::Create(RootKey root, std::string_view path) {
    const auto it = roots_.find(root);
    return it == roots_.end() ? nullptr : CreateBelow(it->second, path);
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::CreateBelow(std::shared_ptr<Key> key, std::string_view path) {
    ForEachComponent(path, [&](std::string_view part) {
        const auto child = key->children.find(part);
        if (child != key->children.end()) {
            key = child->second;
        } else {
            auto created = std::make_shared<Key>(part);
            created->lastWrite = writeTime_;
            key->children.emplace(std::string_view(created->name), created);
            key->sortedValid = false;
            key->lastWrite = writeTime_;
            key = std::move(created);
        }
        return true;
    });
    return key;
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::Start(RootKey root, long& error) const {
    const auto it = roots_.find(root);
    error = it == roots_.end() ? kErrorInvalidHandle : kErrorSuccess;
    return it == roots_.end() ? nullptr : it->second;
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::Start(const RegKey& parent, long& error) const {
    const auto it = parent.IsOpen() ? handles_.find(parent.Handle()) : handles_.end();
    if (it == handles_.end()) {
        error = kErrorInvalidHandle;
        return nullptr;
    }
    if (it->second.key->deleted) {
        error = kErrorKeyDeleted;
        return nullptr;
    }
    error = kErrorSuccess;
    return it->second.key;
}

MemoryRegistry::Key* MemoryRegistry::Resolve(const RegKey& key, std::uint32_t need, long& error) const {
    const auto it = key.IsOpen() ? handles_.find(key.Handle()) : handles_.end();
    if (it == handles_.end()) {
        error = kErrorInvalidHandle;
        return nullptr;
    }
    if ((it->second.access & need) == 0) {
        error = kErrorAccessDenied;
        return nullptr;
    }
    if (it->second.key->deleted) {
        error = kErrorKeyDeleted;
        return nullptr;
    }
    error = kErrorSuccess;
    return it->second.key.get();
}

RegKey MemoryRegistry::NewHandle(const std::shared_ptr<Key>& key, std::uint32_t access) {
    const std::uintptr_t handle = nextHandle_++;
    handles_.emplace(handle, OpenedKey{key, access});
    return RegKey(this, handle);
}

void MemoryRegistry::CloseKey(std::uintptr_t handle) {
    std::lock_guard lock(mutex_);
    handles_.erase(handle);
}

template <typename From>
long MemoryRegistry::Open(const From& from, std::string_view path, std::uint32_t access, RegKey& out) {
    if (TooLong(path)) return kErrorMoreData;
    RegKey opened;
    {
        std::lock_guard lock(mutex_);
        long error = kErrorSuccess;
        const std::shared_ptr<Key> start = Start(from, error);
        if (!start) return error;
        const std::shared_ptr<Key> key = FindBelow(start, path);
        if (!key) return kErrorFileNotFound;
        if (key->denied || (key->writeDenied && (access & (kKeySetValue | kKeyCreateSubKey)) != 0)) {
            return kErrorAccessDenied;
        }
        opened = NewHandle(key, access);
    }
    // Assigned outside the lock: replacing an open key closes it, which locks.
    out = std::move(opened);
    return kErrorSuccess;
}

template <typename From>
long MemoryRegistry::CreateFrom(const From& from, std::string_view path, RegKey& out) {
    if (TooLong(path)) return kErrorMoreData;
    RegKey opened;
    {
        std::lock_guard lock(mutex_);
        long error = kErrorSuccess;
        const std::shared_ptr<Key> start = Start(from, error);
        if (!start) return error;
        const std::shared_ptr<Key> existing = FindBelow(start, path);
        if (existing && (existing->denied || existing->writeDenied)) return kErrorAccessDenied;
        opened = NewHandle(existing ? existing : CreateBelow(start, path), kKeyReadWrite);
    }
    out = std::move(opened);
    return kErrorSuccess;
}

template <typename From>
long MemoryRegistry::Delete(const From& from, std::string_view path) {
    if (TooLong(path)) return kErrorMoreData;
    std::lock_guard lock(mutex_);
    // Split off the last component; the rest names the parent.
    std::string_view trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.remove_suffix(1);
    const std::size_t cut = trimmed.rfind('\\');
    const std::string_view last = cut == std::string_view::npos ? trimmed : trimmed.substr(cut + 1);
    const std::string_view parentPath = cut == std::string_view::npos ? std::string_view() : trimmed.substr(0, cut);
    long error = kErrorSuccess;
    const std::shared_ptr<Key> start = Start(from, error);
    if (!start) return error;
    if (last.empty()) return kErrorAccessDenied;  // a root key or the parent itself is never deleted
    const std::shared_ptr<Key> parent = FindBelow(start, parentPath);
    if (!parent) return kErrorFileNotFound;
    const auto it = parent->children.find(last);
    if (it == parent->children.end()) return kErrorFileNotFound;
    Key& key = *it->second;
    if (key.denied || key.writeDenied || !key.children.empty()) return kErrorAccessDenied;
    key.deleted = true;
    parent->children.erase(it);
    parent->sortedValid = false;
    parent->lastWrite = writeTime_;
    return kErrorSuccess;
}

long MemoryRegistry::OpenKey(RootKey root, std::string_view path, std::uint32_t access, RegKey& out) {
    return Open(root, path, access, out);
}

long MemoryRegistry::OpenKey(const RegKey& parent, std::string_view path, std::uint32_t access, RegKey& out) {
    return Open(parent, path, access, out);
}

long MemoryRegistry::CreateKey(RootKey root, std::string_view path, RegKey& out) {
    return CreateFrom(root, path, out);
}

long MemoryRegistry::CreateKey(const RegKey& parent, std::string_view path, RegKey& out) {
    return CreateFrom(parent, path, out);
}

long MemoryRegistry::DeleteKey(RootKey root, std::string_view path) { return Delete(root, path); }

long MemoryRegistry::DeleteKey(const RegKey& parent, std::string_view path) { return Delete(parent, path); }

long MemoryRegistry::EnumValue(const RegKey& handle, std::uint32_t index, char* name, std::uint32_t& nameLen,
                               std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataLen) {
    std::lock_guard lock(mutex_);
    long result = kErrorSuccess;
    Key* key = Resolve(handle, kKeyQueryValue, result);
    if (key == nullptr) return result;
    if (index >= key->values.size()) return kErrorNoMoreItems;
    const Key::Value& value = key->values[index];
    const auto size = static_cast<std::uint32_t>(value.data.size());
    // The data is checked first; the name is only copied when the data fitted
    // (that is the order Windows and Wine follow).
    if (data != nullptr) {
        if (size > dataLen) {
            result = kErrorMoreData;
        } else {
            if (size > 0) std::memcpy(data, value.data.data(), size);
            // A string stored without its terminating zero gets one when there
            // is room, as the A functions do.
            if (IsStringType(value.type) && size > 0 && size < dataLen && data[size - 1] != 0) data[size] = 0;
        }
    }
    if (result == kErrorSuccess) result = CopyName(value.name, name, nameLen);
    type = value.type;
    dataLen = size;
    return result;
}

long MemoryRegistry::EnumKey(const RegKey& handle, std::uint32_t index, char* name, std::uint32_t& nameLen,
                             std::uint64_t* lastWriteTime) {
    std::lock_guard lock(mutex_);
    long result = kErrorSuccess;
    Key* key = Resolve(handle, kKeyEnumerateSubKeys, result);
    if (key == nullptr) return result;
    const std::vector<Key*>& sorted = key->Sorted();
    if (index >= sorted.size()) return kErrorNoMoreItems;
    result = CopyName(sorted[index]->name, name, nameLen);
    if (result == kErrorSuccess && lastWriteTime != nullptr) *lastWriteTime = sorted[index]->lastWrite;
    return result;
}

std::string MemoryRegistry::CurrentUserSid() {
    std::lock_guard lock(mutex_);
    return currentUserSid_;
}

void MemoryRegistry::SetCurrentUserSid(std::string_view sid) {
    std::lock_guard lock(mutex_);
    currentUserSid_ = sid;
}

void MemoryRegistry::SetWriteTime(std::uint64_t fileTime) {
    std::lock_guard lock(mutex_);
    writeTime_ = fileTime;
}

long MemoryRegistry::QueryInfo(const RegKey& handle, std::uint32_t& subKeys, std::uint32_t& values) {
    std::lock_guard lock(mutex_);
    long result = kErrorSuccess;
    Key* key = Resolve(handle, kKeyQueryValue, result);
    if (key == nullptr) return result;
    subKeys = static_cast<std::uint32_t>(key->children.size());
    values = static_cast<std::uint32_t>(key->values.size());
    return kErrorSuccess;
}

long MemoryRegistry::QueryValue(const RegKey& handle, std::string_view name, std::uint32_t& type,
                                std::vector<std::uint8_t>& data) {
    std::lock_guard lock(mutex_);
    long result = kErrorSuccess;
    Key* key = Resolve(handle, kKeyQueryValue, result);
    if (key == nullptr) return result;
    const std::size_t position = key->FindValue(name);
    if (position == key->values.size()) return kErrorFileNotFound;
    type = key->values[position].type;
    data = key->values[position].data;
    return kErrorSuccess;
}

long MemoryRegistry::SetValueLocked(Key& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                                    std::uint32_t size) {
    if (data == nullptr && size > 0) return kErrorNoAccess;
    std::vector<std::uint8_t> bytes(data, data + size);
    const std::size_t position = key.FindValue(name);
    if (position < key.values.size()) {
        // An overwritten value keeps its place in the enumeration.
        key.values[position].type = type;
        key.values[position].data = std::move(bytes);
    } else {
        key.AddValue(name, type, std::move(bytes));
    }
    key.lastWrite = writeTime_;
    return kErrorSuccess;
}

long MemoryRegistry::SetValue(const RegKey& handle, std::string_view name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
    std::lock_guard lock(mutex_);
    long result = kErrorSuccess;
    Key* key = Resolve(handle, kKeySetValue, result);
    if (key == nullptr) return result;
    return SetValueLocked(*key, name, type, data, size);
}

long MemoryRegistry::DeleteValue(const RegKey& handle, std::string_view name) {
    std::lock_guard lock(mutex_);
    long result = kErrorSuccess;
    Key* key = Resolve(handle, kKeySetValue, result);
    if (key == nullptr) return result;
    const std::size_t position = key->FindValue(name);
    if (position == key->values.size()) return kErrorFileNotFound;
    key->RemoveValue(position);
    key->lastWrite = writeTime_;
    return kErrorSuccess;
}

void MemoryRegistry::Put(RootKey root, std::string_view path, std::string_view name, std::uint32_t type,
                         const std::vector<std::uint8_t>& data) {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<Key> key = Create(root, path);
    if (key) SetValueLocked(*key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

void MemoryRegistry::PutString(RootKey root, std::string_view path, std::string_view name, std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    Put(root, path, name, kRegSz, bytes);
}

void MemoryRegistry::PutDword(RootKey root, std::string_view path, std::string_view name, std::uint32_t number) {
    std::vector<std::uint8_t> bytes(4);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(number >> (8 * i));
    Put(root, path, name, kRegDword, bytes);
}

bool MemoryRegistry::KeyExists(RootKey root, std::string_view path) {
    std::lock_guard lock(mutex_);
    return Find(root, path) != nullptr;
}

bool MemoryRegistry::SetDenied(RootKey root, std::string_view path, bool denied) {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<Key> key = Find(root, path);
    if (!key) return false;
    key->denied = denied;
    return true;
}

bool MemoryRegistry::SetWriteDenied(RootKey root, std::string_view path, bool denied) {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<Key> key = Find(root, path);
    if (!key) return false;
    key->writeDenied = denied;
    return true;
}

std::size_t MemoryRegistry::OpenHandles() {
    std::lock_guard lock(mutex_);
    return handles_.size();
}

}  // namespace kelvora::platform::memory
