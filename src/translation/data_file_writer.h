// Writes the layout that TDataFile reads: sections with their body sizes,
// every header and data block scrambled from key position 0. The program
// itself never writes a language file; the language compiler and the tests
// do.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

class TDataFileWriter {
public:
    // Starts a new section; the values added next belong to it. A name longer
    // than 36 bytes, or empty, raises std::invalid_argument.
    void AddSection(std::string_view name);
    // Adds a value to the current section (one must have been started).
    void AddValue(std::string_view name, std::string_view data);
    void AddInteger(std::string_view name, std::int32_t value);
    // The whole file.
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    void AppendHeader(std::uint32_t mark, std::string_view name, std::int32_t size);
    std::vector<std::uint8_t> bytes_;
    std::size_t section_ = SIZE_MAX;  // offset of the current section's header
};

}  // namespace kelvora
