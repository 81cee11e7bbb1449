#include "translation/code_page.h"

#include <gtest/gtest.h>

#if __has_include(<iconv.h>) && !defined(_WIN32)
#include <iconv.h>
#define KELVORA_HAVE_ICONV 1
#endif

namespace kelvora {
namespace {

constexpr int kCodePages[] = {437, 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

TEST(CodePage, EveryDefinedByteComesBackAndUndefinedOnesShowAsQuestionMarks) {
    for (int cp : kCodePages) {
        SCOPED_TRACE(cp);
        int defined = 0;
        for (int b = 1; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            const std::string utf8 = SingleByteToUtf8(byte, cp);
            if (b >= 0x80 && utf8 == "?") continue;
            ++defined;
            EXPECT_EQ(Utf8ToSingleByte(utf8, cp), byte) << b;
        }
        EXPECT_GE(defined, 127 + 90);  // ASCII and most of the upper half
    }
    EXPECT_EQ(SingleByteToUtf8("Gr\xFC\xDF" "e \x80", 1252), "Grüße €");
    EXPECT_EQ(SingleByteToUtf8("\xAA" "tept\x81", 1250), "Ştept?");  // 0x81 is undefined in 1250
    EXPECT_EQ(SingleByteToUtf8("ab\xE9", 0), "ab?");                  // no code page: ASCII only
    EXPECT_EQ(Utf8ToSingleByte("ab", 0), "ab");
}

TEST(CodePage, EncodingReportsTheFirstCharacterItCannotWrite) {
    EncodeError error{99};
    EXPECT_EQ(Utf8ToSingleByte("Şase", 1250, &error), "\xAA" "ase");
    EXPECT_FALSE(Utf8ToSingleByte("ok Ş", 1252, &error));
    EXPECT_EQ(error.Offset, 3u);
    EXPECT_FALSE(Utf8ToSingleByte("é", 0, &error));
    // Not UTF-8: a lone continuation byte, a cut sequence, an overlong form,
    // a surrogate, a code point past U+10FFFF.
    for (std::string_view bad : {"x\x80", "x\xC3", "x\xC0\xAF", "x\xED\xA0\x80", "x\xF4\x90\x80\x80"}) {
        error.Offset = 99;
        EXPECT_FALSE(Utf8ToSingleByte(bad, 1252, &error)) << bad;
        EXPECT_EQ(error.Offset, 1u);
    }
}

TEST(CodePage, CharacterSetsNameTheirCodePages) {
    EXPECT_EQ(CodePageOfCharset(0), 1252);
    EXPECT_EQ(CodePageOfCharset(1), 1252);
    EXPECT_EQ(CodePageOfCharset(238), 1250);
    EXPECT_EQ(CodePageOfCharset(204), 1251);
    EXPECT_EQ(CodePageOfCharset(128), 0);  // Shift-JIS is not single-byte
    EXPECT_EQ(CodePageOfCharset(2), 0);    // symbols
}

#ifdef KELVORA_HAVE_ICONV
// The committed tables are what glibc's iconv decodes (tools/gen_code_pages.sh).
TEST(CodePage, TablesAgreeWithIconv) {
    for (int cp : kCodePages) {
        iconv_t cd = iconv_open("UTF-8", ("CP" + std::to_string(cp)).c_str());
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << cp;
        for (int b = 0x80; b < 0x100; ++b) {
            char in = static_cast<char>(b), out[8];
            char* inp = &in;
            char* outp = out;
            std::size_t inLeft = 1, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1) &&
                            iconv(cd, nullptr, nullptr, &outp, &outLeft) != static_cast<std::size_t>(-1) &&
                            outp != out;
            EXPECT_EQ(SingleByteToUtf8(std::string(1, in), cp), ok ? std::string(out, outp) : "?") << cp << " " << b;
        }
        iconv_close(cd);
    }
}
#endif

}  // namespace
}  // namespace kelvora
