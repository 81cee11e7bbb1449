#include "changes/cell_text.h"

#include "changes/value_type.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kelvora {
namespace {

const CellWords kWords{"(Default)", " bytes", "(incremented)", "(zero length data)"};

// The blocks live in a list that outlives each test's use of the sources.
CellSource Value(std::int32_t kind, std::int32_t type, std::vector<std::uint8_t> oldBlock,
                 std::vector<std::uint8_t> newBlock) {
    static std::vector<std::unique_ptr<std::vector<std::uint8_t>>> blocks;
    const auto& oldData = *blocks.emplace_back(std::make_unique<std::vector<std::uint8_t>>(std::move(oldBlock)));
    const auto& newData = *blocks.emplace_back(std::make_unique<std::vector<std::uint8_t>>(std::move(newBlock)));
    CellSource s;
    s.Kind = kind;
    s.Name = "v";
    s.ValueType = type;
    s.OldData = oldData.empty() ? nullptr : oldData.data();
    s.OldSize = static_cast<std::int32_t>(oldData.size());
    s.NewData = newData.empty() ? nullptr : newData.data();
    s.NewSize = static_cast<std::int32_t>(newData.size());
    return s;
}

TEST(CellText, StringValuesAreQuotedWithInnerQuotesDoubledUpToTheFirstZero) {
    std::vector<std::uint8_t> text{'i', 't', '\'', 's', 0, 'x', 0};
    EXPECT_EQ(CellText(Value(3, 1, {}, text), 2, false, kWords), "'it''s'");
    EXPECT_EQ(CellText(Value(3, 1, {}, text), 1, false, kWords), "");
    // Zero length: two quotes for a string, the zero-length word for bytes.
    EXPECT_EQ(CellText(Value(3, 1, {}, {}), 2, false, kWords), "''");
    EXPECT_EQ(CellText(Value(3, 3, {}, {}), 2, true, kWords), "(zero length data)");
    // Missing terminating zero: the text stops at the block's end.
    std::vector<std::uint8_t> unterminated{'a', 'b'};
    EXPECT_EQ(ValueText(1, unterminated.data(), 2, false, kWords), "'ab'");
}

TEST(CellText, BinaryBytesRenderAsHexOrPrintableText) {
    std::vector<std::uint8_t> bytes{0x48, 0x69, 0x00, 0xFF};
    auto node = Value(5, 3, bytes, {});
    EXPECT_EQ(CellText(node, 1, false, kWords), "Hi..");
    EXPECT_EQ(CellText(node, 1, true, kWords), "48 69 00 FF ");
    EXPECT_EQ(CellText(node, 2, true, kWords), "");
    // REG_NONE and the types without a text form are shown as bytes.
    EXPECT_EQ(CellText(Value(3, 0, {}, bytes), 2, true, kWords), "48 69 00 FF ");
    EXPECT_EQ(ByteText(bytes.data(), 4, false, kWords).size(), 4u);
    std::vector<std::uint8_t> edges{31, 32, 126, 127};
    EXPECT_EQ(ByteText(edges.data(), 4, false, kWords), ". ~.");
}

TEST(CellText, DwordIsSignedLittleEndian) {
    auto node = Value(4, 4, {1, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(CellText(node, 1, false, kWords), "1");
    EXPECT_EQ(CellText(node, 2, false, kWords), "-1");
    std::vector<std::uint8_t> high{0x00, 0x01, 0x00, 0x80};
    EXPECT_EQ(ValueText(4, high.data(), 4, false, kWords), "-2147483392");
    // A damaged DWORD block shorter than four bytes is not read past its end.
    std::vector<std::uint8_t> shortBlock{7, 0};
    EXPECT_EQ(ValueText(4, shortBlock.data(), 2, true, kWords), "07 00 ");
}

TEST(CellText, TextTypesAreTextQwordsNumbersAndATypeChangeShowsBothTypes) {
    std::vector<std::uint8_t> expand{'%', 'a', '%', 0};
    EXPECT_EQ(CellText(Value(3, 2, {}, expand), 2, true, kWords), "'%a%'");
    std::vector<std::uint8_t> multi{'a', 0, 'b', '\'', 0, 0};
    EXPECT_EQ(ValueText(7, multi.data(), 6, false, kWords), "'a' 'b'''");
    EXPECT_EQ(ValueText(7, multi.data(), 1, false, kWords), "'a'");
    EXPECT_EQ(ValueText(7, multi.data() + 5, 1, false, kWords), "''");
    // Empty entries inside the list, as PendingFileRenameOperations has them.
    const std::string pending("\\??\\C:\\a.tmp\0\0\\??\\C:\\b\0!\\??\\C:\\c\0\0\0", 35);
    EXPECT_EQ(ValueText(7, reinterpret_cast<const std::uint8_t*>(pending.data()), 35, false, kWords),
              "'\\??\\C:\\a.tmp' '' '\\??\\C:\\b' '!\\??\\C:\\c' ''");
    std::vector<std::uint8_t> qword{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ValueText(11, qword.data(), 8, false, kWords), "-2");
    EXPECT_EQ(ImageIndexOf(3, 7), ImageIndexOf(3, 1));

    // REG_SZ "x" that became REG_EXPAND_SZ "x": each side with its type.
    auto changed = Value(4, ChangedValueType(1, 2), {'x', 0}, {'x', 0});
    EXPECT_EQ(CellText(changed, 1, false, kWords), "'x' (REG_SZ)");
    EXPECT_EQ(CellText(changed, 2, false, kWords), "'x' (REG_EXPAND_SZ)");
    auto numbers = Value(4, ChangedValueType(4, 11), {5, 0, 0, 0}, {5, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(CellText(numbers, 1, false, kWords), "5 (REG_DWORD)");
    EXPECT_EQ(CellText(numbers, 2, false, kWords), "5 (REG_QWORD)");
    // The mark means nothing to other kinds.
    EXPECT_EQ(TypeAfter(3, ChangedValueType(1, 2)), static_cast<std::uint32_t>(ChangedValueType(1, 2)));
}

TEST(CellText, NamesDefaultValueAndCounters) {
    auto deflt = Value(4, 1, {'a', 0}, {'b', 0});
    deflt.Name = "";
    EXPECT_EQ(CellText(deflt, 0, false, kWords), "(Default)");
    deflt.Kind = 6;
    EXPECT_EQ(CellText(deflt, 0, false, kWords), "");
    auto counter = Value(6, 4, {}, {2, 0, 0, 0});
    counter.Name = "C:\\Windows\\a.dll";
    EXPECT_EQ(CellText(counter, 0, false, kWords), "C:\\Windows\\a.dll");
    EXPECT_EQ(CellText(counter, 1, false, kWords), "");
    EXPECT_EQ(CellText(counter, 2, false, kWords), "2 (incremented)");
    auto created = Value(6, 1, {}, {'3', 0});
    EXPECT_EQ(CellText(created, 2, false, kWords), "'3' (incremented)");
    CellSource key;
    key.Kind = 1;
    key.Name = "";
    EXPECT_EQ(CellText(key, 0, false, kWords), "");
}

TEST(CellText, FileStatesCarryTheBytesWord) {
    std::string before = "10:00 01/02/03 100";
    std::string after = "11:30 04/05/06 2048";
    CellSource file;
    file.Kind = 10;
    file.Name = "a.dll";
    file.OldData = reinterpret_cast<const std::uint8_t*>(before.c_str());
    file.OldSize = static_cast<std::int32_t>(before.size() + 1);
    file.NewData = reinterpret_cast<const std::uint8_t*>(after.c_str());
    file.NewSize = static_cast<std::int32_t>(after.size() + 1);
    EXPECT_EQ(CellText(file, 1, false, kWords), "10:00 01/02/03 100 bytes");
    EXPECT_EQ(CellText(file, 2, true, kWords), "11:30 04/05/06 2048 bytes");
    file.Kind = 9;  // created: only after
    EXPECT_EQ(CellText(file, 1, false, kWords), "");
    file.Kind = 12;  // moved away: only before
    EXPECT_EQ(CellText(file, 2, false, kWords), "");
    EXPECT_EQ(CellText(file, 1, false, kWords), "10:00 01/02/03 100 bytes");
    for (int kind : {1, 2, 7, 8, 14, 15, 16, 17, 18}) {
        file.Kind = kind;
        EXPECT_EQ(CellText(file, 1, false, kWords), "") << kind;
        EXPECT_EQ(CellText(file, 2, false, kWords), "") << kind;
    }
}

TEST(CellText, ImageIndexByKindAndStringType) {
    const int expected[19][2] = {{-1, -1}, {5, 5},   {6, 6},   {7, 11},  {9, 13},  {8, 12},  {10, 14},
                                 {5, 5},   {6, 6},   {15, 15}, {17, 17}, {16, 16}, {18, 18}, {19, 19},
                                 {0, 0},   {1, 1},   {2, 2},   {3, 3},   {4, 4}};
    for (int kind = 1; kind <= 18; ++kind) {
        EXPECT_EQ(ImageIndexOf(kind, 3), expected[kind][0]) << kind;
        EXPECT_EQ(ImageIndexOf(kind, 1), expected[kind][1]) << kind;
    }
    EXPECT_EQ(ImageIndexOf(0, 1), -1);
    EXPECT_EQ(ImageIndexOf(99, 1), -1);
}

}  // namespace
}  // namespace kelvora
