// TDBTree: a snapshot file of packed records, written and read in memory and
// saved or loaded whole through the platform's file system.
//
// One record: uint32 header; the path text when dbFullPath or dbRelPath is
// set (its length in header bits 16-31); int32 name length and the name
// unless dbNoName; the uint32 registry type when dbRealType is set; int32
// data size and the data unless dbNoData. Integers are little-endian, texts
// are not terminated, and the file has nothing but records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

// Header bits of a record.
inline constexpr std::uint32_t dbKindMask = 0x0F;
inline constexpr std::uint32_t dbFullPath = 0x10;
// A registry value whose type is not its kind's own (REG_SZ 1, REG_BINARY 3,
// REG_DWORD 4): its real type follows the name part. Records of those three
// types never carry it, so their bytes are as they always were.
inline constexpr std::uint32_t dbRealType = 0x20;
inline constexpr std::uint32_t dbRelPath = 0x40;
inline constexpr std::uint32_t dbNoName = 0x100;
inline constexpr std::uint32_t dbNoData = 0x1000;

// Record kinds.
inline constexpr std::int32_t dbKindKey = 0;     // registry key or folder
inline constexpr std::int32_t dbKindString = 1;  // REG_SZ value
// A key or folder that exists but could not be read, in place of its kind-0
// record: no name, no data. Nothing is known of what it holds.
inline constexpr std::int32_t dbKindUnreadable = 2;
inline constexpr std::int32_t dbKindRaw = 3;     // any other value type, or a file
inline constexpr std::int32_t dbKindDword = 4;   // REG_DWORD value

// The record kind of a registry value of a type: REG_SZ and REG_DWORD keep
// their type, every other type (REG_NONE included) is stored as raw bytes.
constexpr std::int32_t ValueKind(std::uint32_t type) {
    return (type == platform::kRegSz || type == platform::kRegDword) ? static_cast<std::int32_t>(type) : dbKindRaw;
}

// The longest path text a record can carry (the width of its length field).
inline constexpr std::size_t dbMaxPathLength = 0xFFFF;

// A snapshot file that cannot be read or saved, or a record that cannot be
// written. Not caught by the snapshot code: it ends the worker that called it.
class SnapshotFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The full path of a file in a folder (folder "C:\" or "C:\Kelvora").
std::string FileInFolder(std::string_view folder, std::string_view fileName);

// A snapshot file is named by its full path: the base name with ".sns" in the
// given folder (the program's folder), never relative to the current
// directory, which the window's thread may move meanwhile.
class TDBTree {
public:
    TDBTree(TDBTree&&) noexcept = default;
    TDBTree& operator=(TDBTree&&) = delete;
    // A snapshot being written that did not reach Save (an error ended the
    // walk) deletes its partial file.
    ~TDBTree();

    // An empty stream for writing to folder\name.sns; FileName := name (base
    // name, no extension). The records stay in memory until Save.
    static TDBTree CreateEmpty(std::string_view folder, std::string_view name);
    // The same, but the file is created now and the records go out to it as
    // they are written, in pieces of about a megabyte, so that memory holds
    // one piece at most. Throws SnapshotFileError when the file cannot be
    // created; WriteRecord throws it when a piece cannot be written (a full
    // disk). The file holds the same bytes as after CreateEmpty and Save.
    static TDBTree CreateStreaming(platform::FileSystem& fs, std::string_view folder, std::string_view name);
    // Loads the whole file folder\name.sns. Throws SnapshotFileError when the
    // file cannot be read.
    static TDBTree CreateFromFile(platform::FileSystem& fs, std::string_view folder, std::string_view name);

    // Appends one record. An empty name means no name; size 0 means no data.
    // Throws SnapshotFileError when the path text to write is longer than
    // dbMaxPathLength (its length would not fit the header).
    void WriteRecord(std::string_view path, std::string_view name, const std::uint8_t* data, std::int32_t kind,
                     std::int32_t size);
    // Appends the record of a registry value of that type (REG_*): its kind
    // is ValueKind(type), and the type itself goes with it when it is not
    // the kind's own.
    void WriteValueRecord(std::string_view path, std::string_view name, const std::uint8_t* data,
                          std::uint32_t type, std::int32_t size);
    // Records written by several threads at once (ordered_records.h) are
    // encoded in runs, each starting as a snapshot's first record does; a
    // run is then appended here as if its records had been written here.
    // The records held in memory, taken out (an in-memory snapshot).
    std::vector<std::uint8_t> TakeRecords() { return std::move(bytes_); }
    // The path of the last record that carried one.
    const std::string& LastPath() const { return prevPath_; }
    // The next record starts a run.
    void ForgetPath() { prevPath_.clear(); }
    // Appends a run of records taken from another snapshot; lastPath is that
    // snapshot's LastPath after them. When the run starts a run, its first
    // record is encoded again against this snapshot's last path.
    void AppendRecords(std::span<const std::uint8_t> records, bool runStart, std::string_view lastPath);

    // Writes the stream to FilePath, replacing an existing file (a streaming
    // one: writes what is left and closes the file). Throws SnapshotFileError
    // on failure.
    void Save(platform::FileSystem& fs);

    // Reading, record by record: ReadHeader, then (for records of kind other
    // than 0) ReadName and ReadData. ReadHeader sets EndOfData at the end of
    // the data, and also at a record that does not fit in what is left (a
    // truncated or damaged file is never read past its end). path is set only
    // when the record carries a path. The next ReadHeader starts at the next
    // record even when the name or data of this one was not read.
    void ReadHeader(std::string& path);
    // Also reads the record's real type, when it carries one.
    void ReadName(std::string& name);
    // Returns the data of the record read last (empty when it has none); the
    // bytes stay valid while the stream lives.
    std::span<const std::uint8_t> ReadData();

    const std::string& FileName() const { return fileName_; }
    // The full path of the snapshot file.
    const std::string& FilePath() const { return filePath_; }
    std::uint32_t Header() const { return header_; }
    std::int32_t Kind() const { return kind_; }
    std::int32_t DataSize() const { return dataSize_; }
    // The registry type of the value read last: its real type when the
    // record carries one, else its kind.
    std::uint32_t ValueType() const { return valueType_; }
    bool EndOfData() const { return endOfData_; }
    // The records held in memory (a streaming snapshot: those not written yet).
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    // Bytes of records written so far, in memory and in the file.
    std::size_t Size() const { return written_ + bytes_.size(); }

private:
    TDBTree() = default;
    void WritePiece();

    void Append(std::string_view path, std::string_view name, const std::uint8_t* data, std::int32_t kind,
                std::int32_t size, std::optional<std::uint32_t> realType);

    std::vector<std::uint8_t> bytes_;
    // A streaming snapshot: its open file and the bytes already in it.
    std::unique_ptr<platform::FileWriter> writer_;
    platform::FileSystem* files_ = nullptr;
    std::size_t written_ = 0;
    std::size_t position_ = 0;
    std::size_t recordEnd_ = 0;  // where the record read last ends
    std::string prevPath_;
    std::string fileName_;
    std::string filePath_;
    std::uint32_t header_ = 0;
    std::int32_t kind_ = 0;
    std::int32_t dataSize_ = 0;
    std::uint32_t valueType_ = 0;
    bool endOfData_ = false;
};

}  // namespace kelvora
