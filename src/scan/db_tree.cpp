#include "scan/db_tree.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/text.h"
#include "translation/messages.h"

namespace kelvora {

namespace {

constexpr std::string_view kExtension = ".sns";
// A streaming snapshot writes its records once this many have gathered.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

void PutUint32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    out.insert(out.end(), bytes, bytes + 4);
}

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), reinterpret_cast<const std::uint8_t*>(text.data()),
               reinterpret_cast<const std::uint8_t*>(text.data()) + text.size());
}

std::uint32_t GetUint32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads a length field at pos and checks that the field and that many bytes
// after it lie inside size; returns false otherwise.
bool TakeSizedField(const std::vector<std::uint8_t>& bytes, std::size_t& pos) {
    if (bytes.size() - pos < 4) return false;
    const auto length = static_cast<std::int32_t>(GetUint32(bytes.data() + pos));
    pos += 4;
    if (length < 0 || bytes.size() - pos < static_cast<std::size_t>(length)) return false;
    pos += static_cast<std::size_t>(length);
    return true;
}

}  // namespace

std::string FileInFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += fileName;
    return path;
}

TDBTree TDBTree::CreateEmpty(std::string_view folder, std::string_view name) {
    TDBTree tree;
    tree.fileName_ = name;
    tree.filePath_ = FileInFolder(folder, name);
    tree.filePath_ += kExtension;
    return tree;
}

TDBTree TDBTree::CreateStreaming(platform::FileSystem& fs, std::string_view folder, std::string_view name) {
    TDBTree tree = CreateEmpty(folder, name);
    tree.writer_ = fs.CreateFileWriter(tree.filePath_);
    if (tree.writer_ == nullptr) {
        throw SnapshotFileError(FormatText(TranslateString(RS_SNAPSHOT_CREATE), {tree.filePath_}));
    }
    tree.files_ = &fs;
    tree.bytes_.reserve(kPieceSize + 4096);
    return tree;
}

TDBTree::~TDBTree() {
    if (writer_ == nullptr) return;
    writer_.reset();
    files_->DeleteFile(filePath_);
}

void TDBTree::WritePiece() {
    if (!writer_->Write(bytes_.data(), bytes_.size())) {
        throw SnapshotFileError(FormatText(TranslateString(RS_SNAPSHOT_CREATE), {filePath_}));
    }
    written_ += bytes_.size();
    bytes_.clear();
}

TDBTree TDBTree::CreateFromFile(platform::FileSystem& fs, std::string_view folder, std::string_view name) {
    TDBTree tree = CreateEmpty(folder, name);
    if (!fs.ReadFile(tree.filePath_, tree.bytes_)) {
        throw SnapshotFileError(FormatText(TranslateString(RS_SNAPSHOT_OPEN), {tree.filePath_}));
    }
    return tree;
}

void TDBTree::WriteRecord(std::string_view path, std::string_view name, const std::uint8_t* data, std::int32_t kind,
                          std::int32_t size) {
    Append(path, name, data, kind, size, std::nullopt);
}

void TDBTree::WriteValueRecord(std::string_view path, std::string_view name, const std::uint8_t* data,
                               std::uint32_t type, std::int32_t size) {
    const std::int32_t kind = ValueKind(type);
    Append(path, name, data, kind, size,
           type == static_cast<std::uint32_t>(kind) ? std::nullopt : std::optional<std::uint32_t>(type));
}

void TDBTree::Append(std::string_view path, std::string_view name, const std::uint8_t* data, std::int32_t kind,
                     std::int32_t size, std::optional<std::uint32_t> realType) {
    std::uint32_t header = static_cast<std::uint32_t>(kind) & dbKindMask;
    std::string_view pathText = path;
    if (path != prevPath_ || prevPath_.empty()) {
        if (path.size() > prevPath_.size() && path[prevPath_.size()] == '\\' && path.starts_with(prevPath_)) {
            header |= dbRelPath;
            pathText = path.substr(prevPath_.size() + 1);
        } else {
            header |= dbFullPath;
        }
    }
    const bool withPath = (header & (dbFullPath | dbRelPath)) != 0;
    if (withPath) {
        if (pathText.size() > dbMaxPathLength) {
            throw SnapshotFileError(FormatText(TranslateString(RS_SNAPSHOT_PATH_TOO_LONG), {Utf8Prefix(path, 260)}));
        }
        prevPath_ = path;
    }
    if (name.empty()) header |= dbNoName;
    if (realType) header |= dbRealType;
    if (size <= 0) header |= dbNoData;
    // Without a path bit the length is that of the unchanged path, which no
    // reader uses; only its low 16 bits fit.
    header |= static_cast<std::uint32_t>(pathText.size() & dbMaxPathLength) << 16;

    PutUint32(bytes_, header);
    if (withPath) PutText(bytes_, pathText);
    if ((header & dbNoName) == 0) {
        PutUint32(bytes_, static_cast<std::uint32_t>(name.size()));
        PutText(bytes_, name);
    }
    if (realType) PutUint32(bytes_, *realType);
    if ((header & dbNoData) == 0) {
        PutUint32(bytes_, static_cast<std::uint32_t>(size));
        bytes_.insert(bytes_.end(), data, data + size);
    }
    if (writer_ != nullptr && bytes_.size() >= kPieceSize) WritePiece();
}

void TDBTree::AppendRecords(std::span<const std::uint8_t> records, bool runStart, std::string_view lastPath) {
    if (records.empty()) return;
    std::size_t rest = 0;
    if (runStart) {
        // The run's first record carries its full path; read it whole and
        // write it again as it would have been written here.
        TDBTree run;
        constexpr std::size_t kMostRecords = 64 * 1024;  // a record longer than that is copied whole
        run.bytes_.assign(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(
                                                                 std::min(records.size(), kMostRecords)));
        std::string path;
        std::string name;
        run.ReadHeader(path);
        if (run.EndOfData() && records.size() > kMostRecords) {
            run.bytes_.assign(records.begin(), records.end());
            run.endOfData_ = false;
            run.recordEnd_ = 0;
            run.ReadHeader(path);
        }
        if (run.EndOfData()) throw SnapshotFileError(FormatText(TranslateString(RS_SNAPSHOT_CREATE), {filePath_}));
        run.ReadName(name);
        const std::span<const std::uint8_t> data = run.ReadData();
        const bool realType = (run.Header() & dbRealType) != 0;
        Append(path, name, data.data(), run.Kind(), static_cast<std::int32_t>(data.size()),
               realType ? std::optional<std::uint32_t>(run.ValueType()) : std::nullopt);
        rest = run.recordEnd_;
    }
    if (rest < records.size()) {
        bytes_.insert(bytes_.end(), records.begin() + static_cast<std::ptrdiff_t>(rest), records.end());
        prevPath_ = lastPath;
    }
    if (writer_ != nullptr && bytes_.size() >= kPieceSize) WritePiece();
}

void TDBTree::Save(platform::FileSystem& fs) {
    if (writer_ != nullptr) {
        if (!bytes_.empty()) WritePiece();
        const bool closed = writer_->Close();
        writer_.reset();
        if (closed) return;
        files_->DeleteFile(filePath_);
        throw SnapshotFileError(FormatText(TranslateString(RS_SNAPSHOT_CREATE), {filePath_}));
    }
    if (!fs.WriteFile(filePath_, bytes_.data(), bytes_.size())) {
        throw SnapshotFileError(FormatText(TranslateString(RS_SNAPSHOT_CREATE), {filePath_}));
    }
}

void TDBTree::ReadHeader(std::string& path) {
    const std::size_t start = recordEnd_;
    // Check that the whole record lies inside the data before taking any of it.
    std::size_t pos = start;
    bool fits = bytes_.size() - pos >= 4;
    std::uint32_t header = 0;
    std::size_t pathLength = 0;
    if (fits) {
        header = GetUint32(bytes_.data() + pos);
        pos += 4;
        if ((header & (dbFullPath | dbRelPath)) != 0) {
            pathLength = header >> 16;
            fits = bytes_.size() - pos >= pathLength;
            pos += pathLength;
        }
    }
    if (fits && (header & dbNoName) == 0) fits = TakeSizedField(bytes_, pos);
    if (fits && (header & dbRealType) != 0) {
        fits = bytes_.size() - pos >= 4;
        pos += 4;
    }
    if (fits && (header & dbNoData) == 0) fits = TakeSizedField(bytes_, pos);
    if (!fits) {
        endOfData_ = true;
        position_ = recordEnd_ = bytes_.size();
        return;
    }
    header_ = header;
    kind_ = static_cast<std::int32_t>(header & dbKindMask);
    valueType_ = static_cast<std::uint32_t>(kind_);
    dataSize_ = 0;
    position_ = start + 4;
    if ((header & (dbFullPath | dbRelPath)) != 0) {
        path.assign(reinterpret_cast<const char*>(bytes_.data() + position_), pathLength);
        position_ += pathLength;
    }
    recordEnd_ = pos;
}

void TDBTree::ReadName(std::string& name) {
    name.clear();
    dataSize_ = 0;
    if (endOfData_) return;
    // ReadHeader has checked that every field of the record is there.
    if ((header_ & dbNoName) == 0) {
        const std::uint32_t length = GetUint32(bytes_.data() + position_);
        name.assign(reinterpret_cast<const char*>(bytes_.data() + position_ + 4), length);
        position_ += 4 + length;
    }
    if ((header_ & dbRealType) != 0) {
        valueType_ = GetUint32(bytes_.data() + position_);
        position_ += 4;
    }
    if ((header_ & dbNoData) == 0) {
        dataSize_ = static_cast<std::int32_t>(GetUint32(bytes_.data() + position_));
        position_ += 4;
    }
}

std::span<const std::uint8_t> TDBTree::ReadData() {
    if (endOfData_ || (header_ & dbNoData) != 0 || position_ + dataSize_ > recordEnd_) return {};
    std::span<const std::uint8_t> data(bytes_.data() + position_, static_cast<std::size_t>(dataSize_));
    position_ += data.size();
    return data;
}

}  // namespace kelvora
