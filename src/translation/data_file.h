// TDataFile: the reader of language files (*.lng), small scrambled
// containers of named sections, each holding named values of bytes.
//
// Layout (little-endian, no file header): sections one after another, each a
// 44-byte header (mark "SSSS", a 36-byte name padded with zeros, a signed
// 32-bit body size) and its body; a body is values one after another, each a
// 44-byte header (mark "VVVV", name, signed 32-bit data length) and its data.
// Every header and every data block is scrambled on its own by XOR with the
// key, which starts afresh at each block. Names are compared without regard
// to ASCII case, up to the first zero or the 36th character.
//
// The file may be damaged or hostile: nothing is ever read or allocated past
// the bytes loaded. A header or data block that runs past the end of the file
// or of its section, or a negative size, ends the scan as "not found"; a
// wrong mark raises DataFileError.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

inline constexpr std::size_t kDataFileHeaderSize = 44;
inline constexpr std::size_t kDataFileNameSize = 36;
inline constexpr std::uint32_t kSectionMark = 0x53535353;  // "SSSS"
inline constexpr std::uint32_t kValueMark = 0x56565656;    // "VVVV"
inline constexpr std::string_view kDataFileKey = "Hq3#Lw8Zp!Tk5vRm2&Yc9%Nb6Xf4Gs";

// XORs byte i of the block with key character i mod 30; the same call
// scrambles and unscrambles.
void ScrambleBlock(std::uint8_t* block, std::size_t size);

// A header whose mark is wrong: "Invalid file format.".
class DataFileError : public std::runtime_error {
public:
    DataFileError() : std::runtime_error("Invalid file format.") {}
};

class TDataFile {
public:
    // The contents of a whole file.
    explicit TDataFile(std::vector<std::uint8_t> contents) : data_(std::move(contents)) {}
    // Reads the whole file; a missing or unreadable file reads as empty, so
    // every lookup answers "not found". (Nothing is created: a language that
    // has vanished must not leave an empty file behind.)
    static TDataFile Load(platform::FileSystem& files, std::string_view path);

    // Finds the section; on success the read position is at its body.
    bool FindSection(std::string_view section, std::int32_t& bodySize);
    // Finds the value; on success the read position is at its data.
    bool FindValue(std::string_view section, std::string_view value, std::int32_t& length);
    bool ValueExists(std::string_view section, std::string_view value);
    // The names of all values of the section in file order (empty for an
    // unknown section). A body that ends inside a header raises.
    void ReadSectionKeys(std::string_view section, std::vector<std::string>& names);
    // Calls each(name, unscrambled data) for the values of the section in file
    // order, reading the section once; stops at a value whose data runs past
    // the section. Answers false for an unknown section.
    bool ForEachValue(std::string_view section,
                      const std::function<void(std::string_view name, std::string_view data)>& each);

    // The value's unscrambled data; -1 (buffer untouched) when it does not
    // exist, else its length.
    std::int32_t ReadBuffer(std::string_view section, std::string_view value, std::vector<std::uint8_t>& buffer);
    // The data as text of exactly its length, or def.
    std::string ReadString(std::string_view section, std::string_view value, std::string_view def);
    // The first 4 data bytes as a signed number, or def when the value does
    // not exist or is shorter.
    std::int32_t ReadInteger(std::string_view section, std::string_view value, std::int32_t def);

private:
    struct Header {
        std::uint32_t mark;
        std::string name;
        std::int32_t size;
    };
    // The unscrambled header at pos_ (advanced past it); false when fewer than
    // 44 bytes remain before end.
    bool ReadHeader(std::size_t end, Header& header);
    // Skips size bytes after a header; false when they run past end.
    bool Skip(std::int32_t size, std::size_t end);
    std::string_view Unscrambled(std::int32_t length);

    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
    std::vector<std::uint8_t> scratch_;
};

}  // namespace kelvora
