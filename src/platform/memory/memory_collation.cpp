#include "platform/memory/memory_collation.h"

#include "platform/text.h"

namespace kelvora::platform::memory {

namespace {

// The base letters of U+00C0 to U+00DF (and, lower case, U+00E0 to U+00FF);
// a blank where a character has none (Æ, ×, Þ, ß).
constexpr char kLatin1Base[] = "AAAAAA CEEEEIIIIDNOOOOO OUUUUY  ";

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The weight of the character at text[i], and how many bytes it takes;
// weight 0 for the characters passed over at first.
unsigned Weight(std::string_view text, std::size_t i, std::size_t& length) {
    const auto c = static_cast<unsigned char>(text[i]);
    length = 1;
    if (c == '\'' || c == '-') return 0;
    if (c < 0x80) {
        if (c >= '0' && c <= '9') return 0x100 + c;
        const char letter = ToUpperAscii(static_cast<char>(c));
        if (IsLetter(letter)) return 0x200 + 4u * static_cast<unsigned char>(letter);
        return 1 + c;
    }
    if (c == 0xC3 && i + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (next >= 0x80 && next <= 0xBF) {
            length = 2;
            const char base = next == 0xBF ? 'Y' : kLatin1Base[next & 0x1F];
            if (base != ' ') return 0x200 + 4u * static_cast<unsigned char>(base) + 1;
            return 0x400 + next;
        }
    }
    return 0x500 + c;
}

}  // namespace

int MemoryCollation::Compare(std::string_view a, std::string_view b) const {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        std::size_t lengthA = 0;
        std::size_t lengthB = 0;
        unsigned wa = 0;
        unsigned wb = 0;
        while (i < a.size() && (wa = Weight(a, i, lengthA)) == 0) i += lengthA;
        while (j < b.size() && (wb = Weight(b, j, lengthB)) == 0) j += lengthB;
        if (i == a.size() || j == b.size()) {
            if (i != a.size()) return 1;
            if (j != b.size()) return -1;
            return CompareNoCase(a, b);
        }
        if (wa != wb) return wa < wb ? -1 : 1;
        i += lengthA;
        j += lengthB;
    }
}

}  // namespace kelvora::platform::memory
