// The flag picture of a language: a bitmap file stored in the language file
// ("*SYSTEM*" value "FLAG"), decoded into pixels the window can draw.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kelvora {

// Pixels 0x00RRGGBB, rows from the top; an empty picture is 0 x 0.
struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    bool Empty() const { return Width == 0 || Height == 0; }
};

// The largest flag side accepted; a language list item is 22 pixels high.
inline constexpr int kMaxFlagSide = 256;

// Decodes a bitmap file: a BITMAPFILEHEADER, a BITMAPINFOHEADER (or a
// later, longer one), uncompressed 1, 4, 8, 24 or 32 bits a pixel, rows
// bottom-up or top-down. Nothing for anything else, for sizes that do not
// fit the bytes, and for sides over kMaxFlagSide.
std::optional<TPicture> DecodeBitmapFile(std::span<const std::uint8_t> file);

// A 24-bit bitmap file of the picture (the language compiler's flags).
std::vector<std::uint8_t> EncodeBitmapFile(const TPicture& picture);

}  // namespace kelvora
