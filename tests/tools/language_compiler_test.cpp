#include "tools/lngc/language_compiler.h"

#include <gtest/gtest.h>

#include "translation/data_file.h"
#include "translation/flag_picture.h"

namespace kelvora::lngc {
namespace {

TEST(LanguageCompiler, WritesSectionsNumbersTextsAndFlags) {
    TDataFile f(CompileLanguage(
        "# Română\n"
        "[*SYSTEM*]\r\n"
        "  CHARSET = 238   # East European\n"
        "#\n"
        "FLAG = flag vertical #002B7F #FCD116 #CE1126\n"
        "\n"
        "[RESOURCESTRING]\n"
        "RS_DEL_FILE = \"ŞTERG FIŞIERUL: \"  # the blank stays\n"
        "RS_TWO = \"a \\\"b\\\"\\n\\tc\\\\ # not a comment\"\n"
        "RS_EMPTY = \"\"\n"
        "[frmQorMain]\n"
        "btnNext.Caption = \"&Înainte  >>\""));
    EXPECT_EQ(f.ReadInteger("*SYSTEM*", "CHARSET", 1), 238);
    EXPECT_EQ(f.ReadString("RESOURCESTRING", "RS_DEL_FILE", ""), "\xAATERG FI\xAAIERUL: ");
    EXPECT_EQ(f.ReadString("RESOURCESTRING", "RS_TWO", ""), "a \"b\"\n\tc\\ # not a comment");
    EXPECT_TRUE(f.ValueExists("RESOURCESTRING", "RS_EMPTY"));
    EXPECT_EQ(f.ReadString("frmQorMain", "btnNext.Caption", ""), "&\xCEnainte  >>");

    std::vector<std::uint8_t> bitmap;
    ASSERT_GT(f.ReadBuffer("*SYSTEM*", "FLAG", bitmap), 0);
    std::optional<TPicture> flag = DecodeBitmapFile(bitmap);
    ASSERT_TRUE(flag);
    ASSERT_EQ(flag->Width, 33);
    ASSERT_EQ(flag->Height, 21);
    auto at = [&](int x, int y) { return flag->Pixels[static_cast<std::size_t>(y * 33 + x)]; };
    EXPECT_EQ(at(5, 10), 0x002B7Fu);
    EXPECT_EQ(at(16, 10), 0xFCD116u);
    EXPECT_EQ(at(27, 10), 0xCE1126u);
    EXPECT_EQ(at(0, 0), 0x808080u);  // the border

    TDataFile cross(CompileLanguage("[S]\nFLAG = flag cross #FFFFFF #CE1124\n"));
    ASSERT_GT(cross.ReadBuffer("S", "FLAG", bitmap), 0);
    flag = DecodeBitmapFile(bitmap);
    ASSERT_TRUE(flag);
    EXPECT_EQ(at(16, 3), 0xCE1124u);
    EXPECT_EQ(at(3, 10), 0xCE1124u);
    EXPECT_EQ(at(5, 5), 0xFFFFFFu);
}

TEST(LanguageCompiler, TextsBeforeACharsetAreWesternEuropean) {
    TDataFile f(CompileLanguage("[RESOURCESTRING]\nRS_A = \"Grüße\"\n"));
    EXPECT_EQ(f.ReadString("RESOURCESTRING", "RS_A", ""), "Gr\xFC\xDF" "e");
}

TEST(LanguageCompiler, FaultsNameTheirLine) {
    const struct {
        const char* source;
        int line;
        const char* message;
    } cases[] = {
        {"[S]\nA = \"ok\"\nB = \"Łódź\"", 3, "'\xC5\x81' cannot be written in code page 1252"},
        {"[S]\nCHARSET = 238\nB = \"ß ok, ÿ not\"", 3, "'\xC3\xBF' cannot be written in code page 1250"},
        {"[S]\nA = \"\xC3(\"", 2, "cannot be written"},  // not UTF-8
        {"[S]\nCHARSET = 128", 2, "character set 128 has no single-byte code page"},
        {"A = \"x\"", 1, "a value before the first [section]"},
        {"[S]\nA = \"x\"\na = \"y\"", 3, "value 'a' again"},
        {"[S]\n[T]\n[s]", 3, "section [s] again"},
        {"[S]\nA = \"x", 2, "must end with '\"'"},
        {"[S]\nA = \"a\"b\"", 2, "must be written \\\""},
        {"[S]\nA = \"\\q\"", 2, "unknown escape \\q"},
        {"[S]\nA = 12x", 2, "expected a \"text\", a number or a flag"},
        {"[S]\nA =", 2, "has nothing after '='"},
        {"[S]\nA", 2, "expected [section] or name = value"},
        {"[S\n", 1, "must end with ']'"},
        {"[0123456789012345678901234567890123456]", 1, "1 to 36 characters"},
        {"[S]\nA B = 1", 2, "a character it cannot hold"},
        {"[S]\nF = flag diagonal #000000 #000000 #000000", 2, "a flag is"},
        {"[S]\nF = flag vertical #000000 #00000 #000000", 2, "a colour is #RRGGBB: #00000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        try {
            CompileLanguage(c.source);
            ADD_FAILURE() << "compiled";
        } catch (const CompileError& e) {
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace kelvora::lngc
