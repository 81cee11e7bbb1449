#include "changes/identifier.h"

#include "platform/text.h"
#include "translation/messages.h"

namespace kelvora {

namespace {

// Longest file name component, and longest path the ANSI functions take
// (MAX_PATH less its terminating zero). Counted in bytes, which is never less
// than the UTF-16 units Windows counts.
constexpr std::size_t kMaxComponent = 255;
constexpr std::size_t kMaxPath = 259;
constexpr std::string_view kArchiveExtension = ".qor";

bool IsForbiddenByte(unsigned char c) {
    if (c < 0x20 || c == 0x7F) return true;
    switch (c) {
        case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            return true;
        default:
            return false;
    }
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF. The ANSI functions would turn anything
// else into replacement characters, so the file would not bear the name.
bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// Windows opens a device instead of a file for these names, whatever the
// letter case and whatever extension follows (blanks before the extension
// are dropped too). COM and LPT take a digit 0-9 or a superscript 1, 2, 3.
bool IsDeviceName(std::string_view identifier) {
    std::string_view base = identifier.substr(0, identifier.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (EqualsNoCase(base, device)) return true;
    }
    if (base.size() < 4 || !(StartsWithNoCase(base, "COM") || StartsWithNoCase(base, "LPT"))) return false;
    const std::string_view number = base.substr(3);
    if (number.size() == 1) return number[0] >= '0' && number[0] <= '9';
    return number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

std::string Reason(const Message& message, std::string_view identifier) {
    return FormatText(TranslateString(message), {identifier});
}

}  // namespace

std::optional<std::string> IdentifierError(std::string_view identifier, std::string_view programFolder) {
    if (identifier.empty()) return Reason(RS_IDENT_EMPTY, identifier);
    for (char c : identifier) {
        if (IsForbiddenByte(static_cast<unsigned char>(c))) return Reason(RS_IDENT_BAD_CHAR, identifier);
    }
    if (!IsValidUtf8(identifier)) return Reason(RS_IDENT_BAD_TEXT, identifier);
    if (identifier.back() == '.' || identifier.back() == ' ') return Reason(RS_IDENT_TRAILING, identifier);
    if (IsDeviceName(identifier)) return Reason(RS_IDENT_RESERVED, identifier);
    const std::size_t fileName = identifier.size() + kArchiveExtension.size();
    if (fileName > kMaxComponent || programFolder.size() + 1 + fileName > kMaxPath) {
        return Reason(RS_IDENT_TOO_LONG, identifier);
    }
    return std::nullopt;
}

}  // namespace kelvora
