#include "cli/display_width.h"

#include <algorithm>
#include <iterator>

namespace kelvora {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth blocks, in order.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x2329, 0x232A},   {0x2E80, 0x303E},   {0x3040, 0xA4CF},   {0xA960, 0xA97F},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Combining marks, zero-width characters and variation selectors, in order.
constexpr Range kZero[] = {
    {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F},
    {0x20D0, 0x20FF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xE0100, 0xE01EF},
};

template <std::size_t N>
bool In(const Range (&ranges)[N], char32_t c) {
    const auto* it = std::lower_bound(std::begin(ranges), std::end(ranges), c,
                                      [](const Range& r, char32_t value) { return r.last < value; });
    return it != std::end(ranges) && it->first <= c;
}

// Decodes the character at text[i] and moves i past it; false (i moved by
// one byte) when the bytes there are not valid UTF-8.
bool Decode(std::string_view text, std::size_t& i, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        c = lead;
        ++i;
        return true;
    }
    // The sequence's length, the lead byte's bits and the smallest character
    // that needs that length (a longer form is not valid).
    const std::size_t length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (length == 0 || text.size() - i < length) {
        ++i;
        return false;
    }
    c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if ((byte & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    if (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += length;
    return true;
}

}  // namespace

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (!Decode(utf8, i, c)) {
            ++width;
        } else if (In(kWide, c)) {
            width += 2;
        } else if (!In(kZero, c)) {
            ++width;
        }
    }
    return width;
}

}  // namespace kelvora
