#include "translation/data_file_writer.h"

#include <cstring>
#include <limits>

#include "translation/data_file.h"

namespace kelvora {

namespace {

void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void CheckName(std::string_view name) {
    if (name.empty() || name.size() > kDataFileNameSize || name.find('\0') != std::string_view::npos)
        throw std::invalid_argument("a name must have 1 to 36 bytes: " + std::string(name));
}

}  // namespace

void TDataFileWriter::AppendHeader(std::uint32_t mark, std::string_view name, std::int32_t size) {
    std::uint8_t block[kDataFileHeaderSize] = {};
    PutU32(block, mark);
    std::memcpy(block + 4, name.data(), name.size());
    PutU32(block + 40, static_cast<std::uint32_t>(size));
    ScrambleBlock(block, sizeof block);
    bytes_.insert(bytes_.end(), block, block + sizeof block);
}

void TDataFileWriter::AddSection(std::string_view name) {
    CheckName(name);
    section_ = bytes_.size();
    AppendHeader(kSectionMark, name, 0);
}

void TDataFileWriter::AddValue(std::string_view name, std::string_view data) {
    CheckName(name);
    if (section_ == SIZE_MAX) throw std::logic_error("a value outside a section");
    const std::size_t body = bytes_.size() + kDataFileHeaderSize + data.size() - (section_ + kDataFileHeaderSize);
    if (body > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("a section larger than 2 GB");
    AppendHeader(kValueMark, name, static_cast<std::int32_t>(data.size()));
    const std::size_t start = bytes_.size();
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    ScrambleBlock(bytes_.data() + start, data.size());
    // The section's size is the last 4 bytes of its header: unscramble,
    // store, scramble again.
    std::uint8_t* header = bytes_.data() + section_;
    ScrambleBlock(header, kDataFileHeaderSize);
    PutU32(header + 40, static_cast<std::uint32_t>(body));
    ScrambleBlock(header, kDataFileHeaderSize);
}

void TDataFileWriter::AddInteger(std::string_view name, std::int32_t value) {
    char data[4];
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
    AddValue(name, {data, 4});
}

}  // namespace kelvora
