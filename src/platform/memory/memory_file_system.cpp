#include "platform/memory/memory_file_system.h"

#include "platform/text.h"

#include <algorithm>

namespace kelvora::platform::memory {

namespace {

// The attributes SetFileAttributesA can change; directory and reparse point
// belong to the item itself.
constexpr std::uint32_t kSettableAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive |
                                              0x100u /* temporary */ | 0x1000u /* offline */ |
                                              0x2000u /* not content indexed */;

// Win32 error codes of the failures LastError tells apart.
constexpr long kErrorSharingViolation = 32;
constexpr long kErrorDirNotEmpty = 145;

// The error of this thread's last failed call, as GetLastError keeps it.
thread_local long lastError = kErrorSuccess;

bool Fail(long error) {
    lastError = error;
    return false;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Windows refuses a name longer than 255 characters, and the A function that
// reads the current directory answers nothing for one of MAX_PATH (260)
// characters or more, although the directory could be entered.
constexpr std::size_t kMaxName = 255;
constexpr std::size_t kMaxPath = 260;

// Wildcard match as FindFirstFileA does it for long names: '*' any run, '?'
// one character, letters without regard to case; "*.*" matches every name.
bool MatchesMask(std::string_view name, std::string_view mask) {
    if (mask == "*" || mask == "*.*") return true;
    std::size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || ToUpperAscii(mask[m]) == ToUpperAscii(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace

struct MemoryFileSystem::Item {
    std::string name;
    Item* parent = nullptr;
    std::uint32_t attributes = 0;
    std::uint32_t time = 0;
    std::uint64_t created = 0;  // FILETIMEs, as listings report them
    std::uint64_t written = 0;
    std::uint64_t size = 0;
    std::vector<std::uint8_t> contents;
    bool inaccessible = false;
    bool inUse = false;
    std::string shortName;
    // Keyed by a view of the child's own name, which lives as long as the child.
    std::unordered_map<std::string_view, std::unique_ptr<Item>, NoCaseHash, NoCaseEqual> children;
    std::unordered_map<std::string, Item*, NoCaseHash, NoCaseEqual> shortNames;

    bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
    bool IsReadOnly() const { return (attributes & kAttrReadOnly) != 0; }
    std::uint32_t Reported() const { return attributes == 0 ? kAttrNormal : attributes; }

    Item* Child(std::string_view childName) const {
        if (const auto it = children.find(childName); it != children.end()) return it->second.get();
        if (const auto it = shortNames.find(childName); it != shortNames.end()) return it->second;
        return nullptr;
    }
    bool AnyInUse() const {
        if (inUse) return true;
        return std::any_of(children.begin(), children.end(), [](const auto& c) { return c.second->AnyInUse(); });
    }
    void SetContents(const std::uint8_t* data, std::size_t count) {
        contents.assign(data, data + count);
        size = count;
    }
};

class MemoryFileSystem::Writer final : public FileWriter {
public:
    Writer(MemoryFileSystem& files, Item& item) : files_(files), item_(&item) {}
    ~Writer() override { Close(); }
    bool Write(const std::uint8_t* data, std::size_t size) override {
        std::lock_guard lock(files_.mutex_);
        failed_ = failed_ || item_ == nullptr || files_.diskFull_;
        if (failed_) return false;
        item_->contents.insert(item_->contents.end(), data, data + size);
        item_->size = item_->contents.size();
        return true;
    }
    bool Close() override {
        std::lock_guard lock(files_.mutex_);
        if (item_ != nullptr) item_->inUse = false;
        item_ = nullptr;
        return !failed_;
    }

private:
    MemoryFileSystem& files_;
    Item* item_;  // nullptr once closed
    bool failed_ = false;
};

MemoryFileSystem::MemoryFileSystem() {
    AddDrive('C');
    AddDrive('D');
}

MemoryFileSystem::~MemoryFileSystem() = default;

// ------------------------------------------------------------------- paths

bool MemoryFileSystem::ParsePath(std::string_view text, Path& out) const {
    std::string path(text);
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.empty() || path.starts_with("\\\\")) return false;  // no UNC paths here
    std::string_view rest = path;
    Path current;
    current.drive = currentDir_[0];
    for (std::string_view cwd = std::string_view(currentDir_).substr(3); !cwd.empty();) {
        const std::size_t cut = cwd.find('\\');
        current.parts.emplace_back(cwd.substr(0, cut));
        cwd = cut == std::string_view::npos ? std::string_view() : cwd.substr(cut + 1);
    }
    if (rest.size() >= 2 && IsLetter(rest[0]) && rest[1] == ':') {
        out.drive = rest[0];
        rest.remove_prefix(2);
        // "D:name" is relative to the drive's current directory: the process's
        // one on its own drive, the root elsewhere.
        out.parts.clear();
        if ((rest.empty() || rest[0] != '\\') && ToUpperAscii(out.drive) == ToUpperAscii(current.drive)) {
            out.parts = current.parts;
        }
    } else if (rest[0] == '\\') {
        out.drive = current.drive;
        out.parts.clear();
    } else {
        out = current;
    }
    while (!rest.empty()) {
        const std::size_t cut = rest.find('\\');
        const std::string_view part = rest.substr(0, cut);
        if (part.size() > kMaxName) return false;
        if (part == "..") {
            if (!out.parts.empty()) out.parts.pop_back();
        } else if (!part.empty() && part != ".") {
            out.parts.emplace_back(part);
        }
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
    return true;
}

std::string MemoryFileSystem::Format(const Path& path) const {
    std::string text{path.drive, ':', '\\'};
    for (std::size_t i = 0; i < path.parts.size(); ++i) {
        if (i > 0) text += '\\';
        text += path.parts[i];
    }
    return text;
}

MemoryFileSystem::Item* MemoryFileSystem::Lookup(const Path& path) const {
    const auto drive = drives_.find(ToUpperAscii(path.drive));
    if (drive == drives_.end()) return nullptr;
    Item* item = drive->second.get();
    for (const std::string& part : path.parts) {
        if (!item->IsFolder() || (item = item->Child(part)) == nullptr) return nullptr;
    }
    return item;
}

MemoryFileSystem::Item* MemoryFileSystem::LookupText(std::string_view text) const {
    Path path;
    return ParsePath(text, path) ? Lookup(path) : nullptr;
}

MemoryFileSystem::Item* MemoryFileSystem::ParentFolder(const Path& path) const {
    if (path.parts.empty()) return nullptr;
    Path parent = path;
    parent.parts.pop_back();
    Item* folder = Lookup(parent);
    return folder != nullptr && folder->IsFolder() ? folder : nullptr;
}

MemoryFileSystem::Item& MemoryFileSystem::NewChild(Item& folder, std::string_view name, std::uint32_t attributes) {
    auto item = std::make_unique<Item>();
    item->name = std::string(name);
    item->parent = &folder;
    item->attributes = attributes;
    item->created = stamp_;
    item->time = writeTime_;
    item->written = stamp_;
    Item& added = *item;
    folder.children.emplace(std::string_view(added.name), std::move(item));
    folder.time = writeTime_;
    folder.written = stamp_;
    return added;
}

std::unique_ptr<MemoryFileSystem::Item> MemoryFileSystem::Detach(Item& item) {
    Item& folder = *item.parent;
    if (!item.shortName.empty()) folder.shortNames.erase(item.shortName);
    const auto it = folder.children.find(item.name);
    std::unique_ptr<Item> owned = std::move(it->second);
    folder.children.erase(it);
    folder.time = writeTime_;
    folder.written = stamp_;
    owned->parent = nullptr;
    return owned;
}

MemoryFileSystem::Item* MemoryFileSystem::MakeFolders(const Path& path, std::size_t count) {
    const auto drive = drives_.find(ToUpperAscii(path.drive));
    if (drive == drives_.end()) return nullptr;
    Item* item = drive->second.get();
    for (std::size_t i = 0; i < count; ++i) {
        Item* child = item->Child(path.parts[i]);
        if (child == nullptr) child = &NewChild(*item, path.parts[i], kAttrDirectory);
        if (!child->IsFolder()) return nullptr;
        item = child;
    }
    return item;
}

bool MemoryFileSystem::IsCurrentDir(const Item& item) const { return LookupText(currentDir_) == &item; }

// ------------------------------------------------------ FileSystem methods

std::string MemoryFileSystem::GetCurrentDir() {
    std::lock_guard lock(mutex_);
    return currentDir_.size() < kMaxPath ? currentDir_ : std::string();
}

bool MemoryFileSystem::SetCurrentDir(std::string_view text) {
    std::lock_guard lock(mutex_);
    Path path;
    if (!ParsePath(text, path)) return false;
    const Item* item = Lookup(path);
    if (item == nullptr || !item->IsFolder() || item->inaccessible) return false;
    // Windows keeps the spelling it was given, not the one on disk.
    currentDir_ = Format(path);
    return true;
}

bool MemoryFileSystem::List(std::string_view pattern, const std::function<bool(const FindEntry&)>& each) {
    std::vector<FindEntry> entries;
    {
        std::lock_guard lock(mutex_);
        Path path;
        if (!ParsePath(pattern, path) || path.parts.empty()) return false;
        const std::string mask = std::move(path.parts.back());
        path.parts.pop_back();
        const Item* folder = Lookup(path);
        if (folder == nullptr || !folder->IsFolder() || folder->inaccessible) return false;
        if (folder->parent != nullptr) {
            if (MatchesMask(".", mask)) entries.push_back({".", folder->Reported(), folder->time, 0, folder->created, folder->written});
            if (MatchesMask("..", mask)) {
                entries.push_back({"..", folder->parent->Reported(), folder->parent->time, 0, folder->parent->created,
                                   folder->parent->written});
            }
        }
        std::vector<const Item*> children;
        children.reserve(folder->children.size());
        for (const auto& [name, child] : folder->children) {
            if (MatchesMask(name, mask)) children.push_back(child.get());
        }
        std::sort(children.begin(), children.end(),
                  [](const Item* a, const Item* b) { return CompareNoCase(a->name, b->name) < 0; });
        for (const Item* child : children) {
            entries.push_back({child->name, child->Reported(), child->time, child->IsFolder() ? 0 : child->size,
                               child->created, child->written});
        }
    }
    // A folder that could be read but holds nothing that matches (an empty
    // drive's root) is listed without entries.
    for (const FindEntry& entry : entries) {
        if (!each(entry)) break;
    }
    return true;
}

std::uint32_t MemoryFileSystem::GetAttributes(std::string_view path) {
    std::lock_guard lock(mutex_);
    const Item* item = LookupText(path);
    if (item == nullptr) {
        Fail(kErrorFileNotFound);
        return kInvalidAttributes;
    }
    return item->Reported();
}

bool MemoryFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr) return false;
    item->attributes = (item->attributes & (kAttrDirectory | kAttrReparsePoint)) | (attributes & kSettableAttributes);
    return true;
}

bool MemoryFileSystem::Rename(std::string_view from, std::string_view to) {
    std::lock_guard lock(mutex_);
    Path source;
    Path target;
    if (!ParsePath(from, source) || !ParsePath(to, target)) return false;
    Item* item = Lookup(source);
    Item* folder = ParentFolder(target);
    if (item == nullptr || item->parent == nullptr || folder == nullptr || item->AnyInUse()) return false;
    const std::string& newName = target.parts.back();
    const Item* existing = folder->Child(newName);
    // Renaming an item to its own name in another letter case is allowed.
    if (existing != nullptr && existing != item) return false;
    if (item->IsFolder()) {
        // A folder moves neither into itself nor to another drive.
        if (ToUpperAscii(source.drive) != ToUpperAscii(target.drive)) return false;
        for (const Item* up = folder; up != nullptr; up = up->parent) {
            if (up == item) return false;
        }
    }
    std::unique_ptr<Item> owned = Detach(*item);
    owned->name = newName;
    owned->shortName.clear();
    owned->parent = folder;
    folder->children.emplace(std::string_view(owned->name), std::move(owned));
    folder->time = writeTime_;
    folder->written = stamp_;
    return true;
}

bool MemoryFileSystem::DeleteFile(std::string_view path) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    // DeleteFileA refuses folders, read-only files and files in use.
    if (item == nullptr) return Fail(kErrorFileNotFound);
    if (item->IsFolder() || item->IsReadOnly() || item->inaccessible) return Fail(kErrorAccessDenied);
    if (item->inUse) return Fail(kErrorSharingViolation);
    Detach(*item);
    return true;
}

bool MemoryFileSystem::CreateFolder(std::string_view text) {
    std::lock_guard lock(mutex_);
    Path path;
    if (!ParsePath(text, path)) return false;
    Item* folder = ParentFolder(path);
    if (folder == nullptr || folder->Child(path.parts.back()) != nullptr) return false;
    NewChild(*folder, path.parts.back(), kAttrDirectory);
    return true;
}

bool MemoryFileSystem::RemoveFolder(std::string_view path) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    // RemoveDirectoryA: an empty folder that is not read-only, not in use and
    // not the current directory (which the process holds open).
    if (item == nullptr || !item->IsFolder()) return Fail(kErrorFileNotFound);
    if (item->parent == nullptr || item->IsReadOnly() || item->inaccessible) return Fail(kErrorAccessDenied);
    if (!item->children.empty()) return Fail(kErrorDirNotEmpty);
    if (item->inUse || IsCurrentDir(*item)) return Fail(kErrorSharingViolation);
    Detach(*item);
    return true;
}

std::string MemoryFileSystem::LongPathName(std::string_view text) {
    std::lock_guard lock(mutex_);
    Path path;
    if (!ParsePath(text, path)) return std::string(text);
    const auto drive = drives_.find(ToUpperAscii(path.drive));
    if (drive == drives_.end()) return std::string(text);
    const Item* item = drive->second.get();
    bool expanded = false;
    for (std::string& part : path.parts) {
        if (!item->IsFolder()) return std::string(text);
        if (const auto it = item->children.find(part); it != item->children.end()) {
            item = it->second.get();
        } else if (const auto alias = item->shortNames.find(part); alias != item->shortNames.end()) {
            item = alias->second;
            part = item->name;
            expanded = true;
        } else {
            return std::string(text);  // GetLongPathNameA fails on a missing item
        }
    }
    return expanded ? Format(path) : std::string(text);
}

std::string MemoryFileSystem::FullPathName(std::string_view text) {
    std::lock_guard lock(mutex_);
    Path path;
    return ParsePath(text, path) ? Format(path) : std::string(text);
}

long MemoryFileSystem::LastError() { return lastError; }

std::string MemoryFileSystem::WindowsFolder() {
    std::lock_guard lock(mutex_);
    return windowsFolder_;
}

bool MemoryFileSystem::ReadFile(std::string_view path, std::vector<std::uint8_t>& out) {
    std::lock_guard lock(mutex_);
    const Item* item = LookupText(path);
    if (item == nullptr || item->IsFolder() || item->inaccessible || item->inUse) return false;
    out = item->contents;
    return true;
}

bool MemoryFileSystem::WriteFile(std::string_view text, const std::uint8_t* data, std::size_t size) {
    std::lock_guard lock(mutex_);
    Path path;
    if (!ParsePath(text, path)) return false;
    Item* folder = ParentFolder(path);
    if (folder == nullptr) return false;
    Item* item = folder->Child(path.parts.back());
    if (item != nullptr && (item->IsFolder() || item->IsReadOnly() || item->inUse)) return false;
    if (item == nullptr) item = &NewChild(*folder, path.parts.back(), kAttrArchive);
    item->attributes |= kAttrArchive;
    item->time = writeTime_;
    item->written = stamp_;
    // The file is opened (and truncated) before the first byte is written.
    item->SetContents(data, diskFull_ ? 0 : size);
    return !diskFull_;
}

std::unique_ptr<FileWriter> MemoryFileSystem::CreateFileWriter(std::string_view text) {
    std::lock_guard lock(mutex_);
    Path path;
    if (!ParsePath(text, path)) return nullptr;
    Item* folder = ParentFolder(path);
    if (folder == nullptr) return nullptr;
    Item* item = folder->Child(path.parts.back());
    if (item != nullptr && (item->IsFolder() || item->IsReadOnly() || item->inUse)) return nullptr;
    if (item == nullptr) item = &NewChild(*folder, path.parts.back(), kAttrArchive);
    item->attributes |= kAttrArchive;
    item->time = writeTime_;
    item->written = stamp_;
    item->SetContents(nullptr, 0);
    item->inUse = true;
    return std::make_unique<Writer>(*this, *item);
}

bool MemoryFileSystem::WriteFileAtomic(std::string_view text, const std::uint8_t* data, std::size_t size) {
    std::lock_guard lock(mutex_);
    Path path;
    if (!ParsePath(text, path)) return false;
    Item* folder = ParentFolder(path);
    if (folder == nullptr || diskFull_) return false;
    Item* item = folder->Child(path.parts.back());
    if (item != nullptr && (item->IsFolder() || item->IsReadOnly() || item->inUse)) return false;
    if (item == nullptr) item = &NewChild(*folder, path.parts.back(), kAttrArchive);
    // The replacement is a new file; it stays hidden or system when the old one was.
    item->attributes = kAttrArchive | (item->attributes & (kAttrHidden | kAttrSystem));
    item->time = writeTime_;
    item->written = stamp_;
    item->SetContents(data, size);
    return true;
}

// ------------------------------------------------------------ test helpers

void MemoryFileSystem::AddDrive(char letter) {
    std::lock_guard lock(mutex_);
    const char upper = ToUpperAscii(letter);
    if (!IsLetter(upper) || drives_.contains(upper)) return;
    auto root = std::make_unique<Item>();
    root->name = std::string{upper, ':'};
    root->attributes = kAttrDirectory;
    root->time = writeTime_;
    root->written = stamp_;
    drives_.emplace(upper, std::move(root));
}

bool MemoryFileSystem::AddFolder(std::string_view text) {
    std::lock_guard lock(mutex_);
    Path path;
    return ParsePath(text, path) && MakeFolders(path, path.parts.size()) != nullptr;
}

bool MemoryFileSystem::AddFile(std::string_view text, std::string_view contents, std::uint32_t dosDateTime) {
    std::lock_guard lock(mutex_);
    Path path;
    if (!ParsePath(text, path) || path.parts.empty()) return false;
    Item* folder = MakeFolders(path, path.parts.size() - 1);
    if (folder == nullptr) return false;
    Item* item = folder->Child(path.parts.back());
    if (item != nullptr && item->IsFolder()) return false;
    if (item == nullptr) item = &NewChild(*folder, path.parts.back(), kAttrArchive);
    item->SetContents(reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size());
    item->time = dosDateTime != 0 ? dosDateTime : writeTime_;
    return true;
}

std::string MemoryFileSystem::Text(std::string_view path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes)) return {};
    return std::string(bytes.begin(), bytes.end());
}

bool MemoryFileSystem::SetFileTime(std::string_view path, std::uint32_t dosDateTime) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr) return false;
    item->time = dosDateTime;
    return true;
}

bool MemoryFileSystem::SetFileSize(std::string_view path, std::uint64_t size) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr || item->IsFolder()) return false;
    item->size = size;
    return true;
}

bool MemoryFileSystem::MarkReparsePoint(std::string_view path) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr) return false;
    item->attributes |= kAttrReparsePoint;
    return true;
}

bool MemoryFileSystem::SetAccessible(std::string_view path, bool accessible) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr) return false;
    item->inaccessible = !accessible;
    return true;
}

bool MemoryFileSystem::SetInUse(std::string_view path, bool inUse) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr) return false;
    item->inUse = inUse;
    return true;
}

bool MemoryFileSystem::AddShortName(std::string_view path, std::string_view shortName) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr || item->parent == nullptr || item->parent->Child(shortName) != nullptr) return false;
    if (!item->shortName.empty()) item->parent->shortNames.erase(item->shortName);
    item->shortName = std::string(shortName);
    item->parent->shortNames.emplace(item->shortName, item);
    return true;
}

void MemoryFileSystem::SetWindowsFolder(std::string_view path) {
    std::lock_guard lock(mutex_);
    windowsFolder_ = std::string(path);
}

void MemoryFileSystem::SetWriteTime(std::uint32_t dosDateTime) {
    std::lock_guard lock(mutex_);
    writeTime_ = dosDateTime;
}

void MemoryFileSystem::SetStampTime(std::uint64_t fileTime) {
    std::lock_guard lock(mutex_);
    stamp_ = fileTime;
}

void MemoryFileSystem::SetDiskFull(bool full) {
    std::lock_guard lock(mutex_);
    diskFull_ = full;
}

bool MemoryFileSystem::RemoveTree(std::string_view path) {
    std::lock_guard lock(mutex_);
    Item* item = LookupText(path);
    if (item == nullptr || item->parent == nullptr || item->AnyInUse()) return false;
    Detach(*item);
    return true;
}

}  // namespace kelvora::platform::memory
