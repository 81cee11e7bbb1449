#include "translation/code_page.h"

#include <cstdint>

namespace kelvora {

namespace {

struct CodePageTable {
    int CodePage;
    std::uint16_t High[128];  // code points of 0x80 to 0xFF; 0: undefined
};

constexpr CodePageTable kTables[] = {
#include "translation/code_page_tables.inc"
};

const CodePageTable* TableOf(int codePage) {
    for (const CodePageTable& t : kTables)
        if (t.CodePage == codePage) return &t;
    return nullptr;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {  // the tables hold only the basic plane
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point starting at text[i] and its length in bytes; length 0 for
// bytes that are not well-formed UTF-8 (overlong forms, surrogates and
// values past U+10FFFF included).
char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t b = byte(i);
    length = 0;
    if (b < 0x80) {
        length = 1;
        return b;
    }
    std::size_t n;
    char32_t c, min;
    if ((b & 0xE0) == 0xC0) n = 2, c = b & 0x1F, min = 0x80;
    else if ((b & 0xF0) == 0xE0) n = 3, c = b & 0x0F, min = 0x800;
    else if ((b & 0xF8) == 0xF0) n = 4, c = b & 0x07, min = 0x10000;
    else return 0;
    if (text.size() - i < n) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    length = n;
    return c;
}

}  // namespace

int CodePageOfCharset(int charset) {
    switch (charset) {
    case 0:    // ANSI_CHARSET
    case 1:    // DEFAULT_CHARSET: the Western code page, as on most systems
        return 1252;
    case 161: return 1253;  // GREEK_CHARSET
    case 162: return 1254;  // TURKISH_CHARSET
    case 163: return 1258;  // VIETNAMESE_CHARSET
    case 177: return 1255;  // HEBREW_CHARSET
    case 178: return 1256;  // ARABIC_CHARSET
    case 186: return 1257;  // BALTIC_CHARSET
    case 204: return 1251;  // RUSSIAN_CHARSET
    case 222: return 874;   // THAI_CHARSET
    case 238: return 1250;  // EASTEUROPE_CHARSET
    case 255: return 437;   // OEM_CHARSET
    default: return 0;
    }
}

std::string SingleByteToUtf8(std::string_view text, int codePage) {
    const CodePageTable* table = TableOf(codePage);
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (b < 0x80) {
            out += ch;
            continue;
        }
        const char32_t c = table != nullptr ? table->High[b - 0x80] : 0;
        if (c == 0) out += '?';
        else AppendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> Utf8ToSingleByte(std::string_view text, int codePage, EncodeError* error) {
    const CodePageTable* table = TableOf(codePage);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        const char32_t c = DecodeUtf8(text, i, length);
        int byte = c < 0x80 && length != 0 ? static_cast<int>(c) : -1;
        for (int k = 0; byte < 0 && length != 0 && table != nullptr && k < 128; ++k)
            if (table->High[k] == c) byte = 0x80 + k;
        if (byte < 0) {
            if (error != nullptr) error->Offset = i;
            return std::nullopt;
        }
        out += static_cast<char>(byte);
        i += length;
    }
    return out;
}

}  // namespace kelvora
