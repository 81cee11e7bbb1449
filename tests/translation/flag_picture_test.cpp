#include "translation/flag_picture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvora {
namespace {

// A bitmap file with the given header fields and pixel bytes after a palette.
std::vector<std::uint8_t> Bitmap(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                 std::vector<std::uint32_t> palette, std::vector<std::uint8_t> pixels) {
    std::vector<std::uint8_t> f(54 + 4 * palette.size());
    f[0] = 'B';
    f[1] = 'M';
    const std::uint32_t pixelsAt = static_cast<std::uint32_t>(f.size()), info = 40;
    const auto colours = static_cast<std::uint32_t>(palette.size());
    std::memcpy(&f[10], &pixelsAt, 4);
    std::memcpy(&f[14], &info, 4);
    std::memcpy(&f[18], &width, 4);
    std::memcpy(&f[22], &height, 4);
    f[26] = 1;
    std::memcpy(&f[28], &bits, 2);
    std::memcpy(&f[46], &colours, 4);
    if (!palette.empty()) std::memcpy(&f[54], palette.data(), 4 * palette.size());
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

TEST(FlagPicture, DecodesWhatItEncodesAndPaletteBitmaps) {
    TPicture p{3, 2, {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x010203}};
    std::optional<TPicture> back = DecodeBitmapFile(EncodeBitmapFile(p));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Width, 3);
    EXPECT_EQ(back->Pixels, p.Pixels);

    // 4 bits, top-down, 3 x 2: rows "0 1 2" and "2 1 0"; rows padded to 4 bytes.
    back = DecodeBitmapFile(Bitmap(3, -2, 4, {0xFF0000, 0x00FF00, 0x0000FF}, {0x01, 0x20, 0, 0, 0x21, 0x00, 0, 0}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Pixels, (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x0000FF, 0x00FF00, 0xFF0000}));
    // 1 bit, bottom-up, 2 x 2: the bottom row first.
    back = DecodeBitmapFile(Bitmap(2, 2, 1, {0x000000, 0xFFFFFF}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Pixels, (std::vector<std::uint32_t>{0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000}));
}

TEST(FlagPicture, RefusesDamagedAndHostileFiles) {
    const std::vector<std::uint8_t> good = EncodeBitmapFile({4, 4, std::vector<std::uint32_t>(16, 0x123456)});
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodeBitmapFile(std::span(good).first(n))) << n;
    EXPECT_FALSE(DecodeBitmapFile(Bitmap(0, 1, 24, {}, {0, 0, 0, 0})));
    EXPECT_FALSE(DecodeBitmapFile(Bitmap(1, INT32_MIN, 24, {}, {0, 0, 0, 0})));
    EXPECT_FALSE(DecodeBitmapFile(Bitmap(kMaxFlagSide + 1, 1, 24, {}, std::vector<std::uint8_t>(1024))));
    EXPECT_FALSE(DecodeBitmapFile(Bitmap(1, 1, 16, {}, {0, 0, 0, 0})));
    std::vector<std::uint8_t> compressed = Bitmap(1, 1, 8, {0}, {0, 0, 0, 0});
    compressed[30] = 1;  // BI_RLE8
    EXPECT_FALSE(DecodeBitmapFile(compressed));
    std::vector<std::uint8_t> hugeInfo = good;
    hugeInfo[17] = 0x7F;  // an info header longer than the file
    EXPECT_FALSE(DecodeBitmapFile(hugeInfo));
    // An index past a short palette reads as black.
    std::optional<TPicture> p = DecodeBitmapFile(Bitmap(1, 1, 8, {0xFFFFFF}, {5, 0, 0, 0}));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Pixels[0], 0u);
}

}  // namespace
}  // namespace kelvora
