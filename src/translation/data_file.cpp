#include "translation/data_file.h"

#include <cstring>

#include "platform/text.h"

namespace kelvora {

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

void ScrambleBlock(std::uint8_t* block, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        block[i] ^= static_cast<std::uint8_t>(kDataFileKey[i % kDataFileKey.size()]);
}

TDataFile TDataFile::Load(platform::FileSystem& files, std::string_view path) {
    std::vector<std::uint8_t> contents;
    if (!files.ReadFile(path, contents)) contents.clear();
    return TDataFile(std::move(contents));
}

bool TDataFile::ReadHeader(std::size_t end, Header& header) {
    if (end - pos_ < kDataFileHeaderSize) return false;
    std::uint8_t block[kDataFileHeaderSize];
    std::memcpy(block, data_.data() + pos_, kDataFileHeaderSize);
    ScrambleBlock(block, kDataFileHeaderSize);
    pos_ += kDataFileHeaderSize;
    header.mark = ReadU32(block);
    const char* name = reinterpret_cast<const char*>(block + 4);
    header.name.assign(name, strnlen(name, kDataFileNameSize));
    header.size = static_cast<std::int32_t>(ReadU32(block + 40));
    return true;
}

bool TDataFile::Skip(std::int32_t size, std::size_t end) {
    if (size < 0 || static_cast<std::uint64_t>(size) > end - pos_) return false;
    pos_ += static_cast<std::size_t>(size);
    return true;
}

bool TDataFile::FindSection(std::string_view section, std::int32_t& bodySize) {
    pos_ = 0;
    const std::string_view wanted = section.substr(0, kDataFileNameSize);
    Header header;
    while (ReadHeader(data_.size(), header)) {
        if (header.mark != kSectionMark) throw DataFileError();
        if (EqualsNoCase(header.name, wanted)) {
            // A body that runs past the end of the file is not there.
            if (header.size < 0 || static_cast<std::uint64_t>(header.size) > data_.size() - pos_) return false;
            bodySize = header.size;
            return true;
        }
        if (!Skip(header.size, data_.size())) return false;
    }
    return false;
}

bool TDataFile::FindValue(std::string_view section, std::string_view value, std::int32_t& length) {
    std::int32_t bodySize = 0;
    if (!FindSection(section, bodySize)) return false;
    const std::size_t end = pos_ + static_cast<std::size_t>(bodySize);
    const std::string_view wanted = value.substr(0, kDataFileNameSize);
    Header header;
    while (pos_ < end && ReadHeader(end, header)) {
        if (header.mark != kValueMark) throw DataFileError();
        if (EqualsNoCase(header.name, wanted)) {
            if (header.size < 0 || static_cast<std::uint64_t>(header.size) > end - pos_) return false;
            length = header.size;
            return true;
        }
        if (!Skip(header.size, end)) return false;
    }
    return false;
}

bool TDataFile::ValueExists(std::string_view section, std::string_view value) {
    std::int32_t length = 0;
    return FindValue(section, value, length);
}

bool TDataFile::ForEachValue(std::string_view section,
                             const std::function<void(std::string_view name, std::string_view data)>& each) {
    std::int32_t bodySize = 0;
    if (!FindSection(section, bodySize)) return false;
    const std::size_t end = pos_ + static_cast<std::size_t>(bodySize);
    Header header;
    while (pos_ < end) {
        if (!ReadHeader(end, header) || header.mark != kValueMark) throw DataFileError();
        if (header.size < 0 || static_cast<std::uint64_t>(header.size) > end - pos_) break;
        each(header.name, Unscrambled(header.size));
        pos_ += static_cast<std::size_t>(header.size);
    }
    return true;
}

void TDataFile::ReadSectionKeys(std::string_view section, std::vector<std::string>& names) {
    names.clear();
    ForEachValue(section, [&](std::string_view name, std::string_view) { names.emplace_back(name); });
}

std::string_view TDataFile::Unscrambled(std::int32_t length) {
    scratch_.assign(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                    data_.begin() + static_cast<std::ptrdiff_t>(pos_ + static_cast<std::size_t>(length)));
    ScrambleBlock(scratch_.data(), scratch_.size());
    return {reinterpret_cast<const char*>(scratch_.data()), scratch_.size()};
}

std::int32_t TDataFile::ReadBuffer(std::string_view section, std::string_view value,
                                   std::vector<std::uint8_t>& buffer) {
    std::int32_t length = 0;
    if (!FindValue(section, value, length)) return -1;
    const std::string_view data = Unscrambled(length);
    buffer.assign(data.begin(), data.end());
    return length;
}

std::string TDataFile::ReadString(std::string_view section, std::string_view value, std::string_view def) {
    std::int32_t length = 0;
    if (!FindValue(section, value, length)) return std::string(def);
    return std::string(Unscrambled(length));
}

std::int32_t TDataFile::ReadInteger(std::string_view section, std::string_view value, std::int32_t def) {
    std::int32_t length = 0;
    if (!FindValue(section, value, length) || length < 4) return def;
    const std::string_view data = Unscrambled(4);
    return static_cast<std::int32_t>(ReadU32(reinterpret_cast<const std::uint8_t*>(data.data())));
}

}  // namespace kelvora
