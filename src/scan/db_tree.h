// TDBTree: a snapshot file of packed records, written and read in memory and
// saved or loaded whole through the platform's file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

// Header bits of a record.
inline constexpr std::uint32_t dbKindMask = 0x0F;
inline constexpr std::uint32_t dbFullPath = 0x10;
inline constexpr std::uint32_t dbRelPath = 0x40;
inline constexpr std::uint32_t dbNoName = 0x100;
inline constexpr std::uint32_t dbNoData = 0x1000;

class TDBTree {
public:
    // An empty stream for writing; FileName := name (base name, no extension).
    static TDBTree CreateEmpty(std::string_view name);
    // Loads the whole file name + ".sns" (relative to the current directory).
    // Throws SnapshotFileError when the file cannot be read.
    static TDBTree CreateFromFile(platform::FileSystem& fs, std::string_view name);

    // Appends one record. An empty name means no name; size 0 means no data.
    void WriteRecord(std::string_view path, std::string_view name, const std::uint8_t* data, std::int32_t kind,
                     std::int32_t size);
    // Writes the stream to FileName + ".sns" in the current directory,
    // replacing an existing file. Throws SnapshotFileError on failure.
    void Save(platform::FileSystem& fs) const;

    // Reading, record by record. ReadHeader sets EndOfData at the end of the
    // data, and also at a record that does not fit in what is left (a
    // truncated or damaged file is never read past its end).
    void ReadHeader(std::string& path);
    void ReadName(std::string& name);
    // Returns the data of the record read last (empty when it has none); the
    // bytes stay valid while the stream lives.
    std::basic_string_view<std::uint8_t> ReadData();

    const std::string& FileName() const { return fileName_; }
    std::uint32_t Header() const { return header_; }
    std::int32_t Kind() const { return kind_; }
    std::int32_t DataSize() const { return dataSize_; }
    bool EndOfData() const { return endOfData_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::string prevPath_;
    std::string fileName_;
    std::uint32_t header_ = 0;
    std::int32_t kind_ = 0;
    std::int32_t dataSize_ = 0;
    bool endOfData_ = false;
};

}  // namespace kelvora
