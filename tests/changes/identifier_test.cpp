#include "changes/identifier.h"

#include <gtest/gtest.h>

#include <string>

#include "translation/messages.h"

namespace kelvora {
namespace {

constexpr std::string_view kFolder = "C:\\Program Files\\Kelvora";

std::string Why(std::string_view identifier) {
    return IdentifierError(identifier, kFolder).value_or("<accepted>");
}

TEST(Identifier, AcceptsOrdinaryNames) {
    for (std::string_view ok : {"MyApp", "Office 2003 (SP1)", "a.b", ".hidden", " leading", "app.qor", "CONSOLE",
                                "COM10", "LPT", "NULL.txt", "Ärger ✓", "x"}) {
        EXPECT_EQ(IdentifierError(ok, kFolder), std::nullopt) << ok;
    }
}

TEST(Identifier, RefusesNamesThatWouldNotBeAPlainArchiveFile) {
    const std::string badChar = RS_IDENT_BAD_CHAR.English;
    EXPECT_EQ(Why(""), RS_IDENT_EMPTY.English);
    for (std::string_view bad : {"..\\evil", "a/b", "C:x", "file:stream", "*", "what?", "say \"hi\"", "<a>", "a|b",
                                 "tab\there", "line\nfeed", "del\x7f"}) {
        EXPECT_EQ(Why(bad), badChar) << bad;
    }
    EXPECT_EQ(Why(std::string_view("nul\0byte", 8)), badChar);
    for (std::string_view bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "a\x80" "b", "\xF4\x90\x80\x80"}) {
        EXPECT_EQ(Why(bad), RS_IDENT_BAD_TEXT.English) << bad;
    }
    for (std::string_view bad : {"app.", "app ", ".", "..", "   "}) {
        EXPECT_EQ(Why(bad), RS_IDENT_TRAILING.English) << bad;
    }
}

TEST(Identifier, RefusesDeviceNamesInAnyCaseWithOrWithoutExtension) {
    for (std::string_view device : {"CON", "prn", "Aux", "nUl", "COM1", "com9", "LPT1", "lpt9", "COM0", "nul.txt",
                                    "con.tar.gz", "CON .txt", "com\xC2\xB9", "CONIN$", "conout$.log"}) {
        EXPECT_EQ(Why(device), FormatText(RS_IDENT_RESERVED.English, {device})) << device;
    }
}

TEST(Identifier, RefusesNamesTooLongForAFileOrItsPath) {
    EXPECT_EQ(IdentifierError(std::string(251, 'a'), "C:"), std::nullopt);
    EXPECT_EQ(IdentifierError(std::string(252, 'a'), "C:"), RS_IDENT_TOO_LONG.English);
    // C:\Program Files\Kelvora\ is 25 characters; with ".qor" the path may
    // hold 259.
    EXPECT_EQ(IdentifierError(std::string(230, 'a'), kFolder), std::nullopt);
    EXPECT_EQ(IdentifierError(std::string(231, 'a'), kFolder), RS_IDENT_TOO_LONG.English);
}

}  // namespace
}  // namespace kelvora
