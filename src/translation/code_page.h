// Texts of a language file are single-byte texts in the Windows code page of
// the language's font character set; the program works in UTF-8. These
// convert between the two. Tables: code_page_tables.inc, made by
// tools/gen_code_pages.sh.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora {

// The single-byte code page of a font character set (ANSI_CHARSET 0 and
// DEFAULT_CHARSET 1: 1252, EASTEUROPE_CHARSET 238: 1250, RUSSIAN_CHARSET
// 204: 1251, ...); 0 for a character set without one (symbols, the
// multi-byte East Asian sets, unknown numbers).
int CodePageOfCharset(int charset);

// Decodes text of the code page into UTF-8. Bytes the code page leaves
// undefined, and every byte from 0x80 up when codePage is 0 or unknown,
// become '?'.
std::string SingleByteToUtf8(std::string_view text, int codePage);

struct EncodeError {
    std::size_t Offset;  // byte offset in the UTF-8 text of the character
};

// Encodes UTF-8 text in the code page; on failure the offset of the first
// character that is not valid UTF-8 or has no byte in the code page.
std::optional<std::string> Utf8ToSingleByte(std::string_view text, int codePage, EncodeError* error = nullptr);

}  // namespace kelvora
