#include "translation/flag_picture.h"

namespace kelvora {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::optional<TPicture> DecodeBitmapFile(std::span<const std::uint8_t> file) {
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const std::uint32_t pixelsAt = U32(file, 10);
    const std::uint32_t infoSize = U32(file, 14);
    if (infoSize < kInfoHeaderSize || infoSize > file.size() - kFileHeaderSize) return std::nullopt;
    const auto width = static_cast<std::int32_t>(U32(file, 18));
    const auto rawHeight = static_cast<std::int32_t>(U32(file, 22));
    const std::uint16_t bits = U16(file, 28);
    const std::uint32_t compression = U32(file, 30);
    std::uint32_t colours = U32(file, 46);
    const bool topDown = rawHeight < 0;
    // Compared before negating: -INT32_MIN would overflow.
    if (width < 1 || width > kMaxFlagSide || rawHeight < -kMaxFlagSide || rawHeight > kMaxFlagSide ||
        rawHeight == 0 || compression != 0)
        return std::nullopt;
    const int height = topDown ? -rawHeight : rawHeight;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;

    // The palette follows the info header: 4 bytes a colour.
    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        if (colours == 0 || colours > most) colours = most;
        const std::size_t paletteAt = kFileHeaderSize + infoSize;
        if (colours > (file.size() - paletteAt) / 4) return std::nullopt;
        for (std::uint32_t i = 0; i < colours; ++i) palette.push_back(U32(file, paletteAt + 4 * i) & 0xFFFFFF);
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    if (pixelsAt > file.size() || stride * static_cast<std::size_t>(height) > file.size() - pixelsAt)
        return std::nullopt;

    TPicture picture{width, height, {}};
    picture.Pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::size_t row = pixelsAt + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            if (bits >= 24) {
                const std::size_t at = row + static_cast<std::size_t>(x) * (bits / 8);
                pixel = static_cast<std::uint32_t>(file[at]) | static_cast<std::uint32_t>(file[at + 1]) << 8 |
                        static_cast<std::uint32_t>(file[at + 2]) << 16;
            } else {
                const std::size_t bit = static_cast<std::size_t>(x) * bits;
                const unsigned index = (file[row + bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                pixel = index < palette.size() ? palette[index] : 0;
            }
            picture.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                pixel;
        }
    }
    return picture;
}

std::vector<std::uint8_t> EncodeBitmapFile(const TPicture& picture) {
    const std::size_t stride = (static_cast<std::size_t>(picture.Width) * 3 + 3) / 4 * 4;
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(picture.Height);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put(out, static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + pixelBytes), 4);
    Put(out, 0, 4);
    Put(out, kFileHeaderSize + kInfoHeaderSize, 4);
    Put(out, kInfoHeaderSize, 4);
    Put(out, static_cast<std::uint32_t>(picture.Width), 4);
    Put(out, static_cast<std::uint32_t>(picture.Height), 4);  // bottom-up
    Put(out, 1, 2);   // planes
    Put(out, 24, 2);  // bits a pixel
    Put(out, 0, 4);   // BI_RGB
    Put(out, static_cast<std::uint32_t>(pixelBytes), 4);
    Put(out, 2835, 4);  // 72 dpi
    Put(out, 2835, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (int y = picture.Height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.Width; ++x)
            Put(out, picture.Pixels[static_cast<std::size_t>(y * picture.Width + x)], 3);
        for (std::size_t pad = static_cast<std::size_t>(picture.Width) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

}  // namespace kelvora
