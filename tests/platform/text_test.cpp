#include "platform/text.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(Text, NoCaseComparisonsFoldOnlyAsciiLetters) {
    EXPECT_TRUE(EqualsNoCase("Software\\Vendor", "SOFTWARE\\vendor"));
    EXPECT_FALSE(EqualsNoCase("\xC3\xA9", "\xC3\x89"));  // é and É stay apart
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("\xC3\xA9", "z"), 0);  // bytes compare unsigned
    EXPECT_EQ(CompareNoCase("Key", "KEY"), 0);
    EXPECT_LT(CompareNoCase("Key", "Keys"), 0);
    EXPECT_EQ(NoCaseHash{}("Run"), NoCaseHash{}("RUN"));
}

TEST(Text, Utf8PrefixNeverSplitsACharacter) {
    const std::string text = "ab\xE2\x86\x92" "c";  // a b → c
    EXPECT_EQ(Utf8Prefix(text, 10), text);
    EXPECT_EQ(Utf8Prefix(text, 6), text);
    EXPECT_EQ(Utf8Prefix(text, 5), "ab\xE2\x86\x92");
    EXPECT_EQ(Utf8Prefix(text, 4), "ab");
    EXPECT_EQ(Utf8Prefix(text, 3), "ab");
    EXPECT_EQ(Utf8Prefix(text, 2), "ab");
    EXPECT_EQ(Utf8Prefix("\xF0\x9F\x98\x80", 3), "");
    EXPECT_EQ(Utf8Prefix("", 0), "");
}

}  // namespace
}  // namespace kelvora
