#include "changes/print_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/activity.h"
#include "changes/node_data.h"

namespace kelvora {
namespace {

// A fixed-pitch device: every character 10 pixels wide, lines 20 high.
class FixedMeasure : public TextMeasure {
public:
    static constexpr int kChar = 10;
    int LineHeight() const override { return 20; }
    int Width(std::string_view text) const override { return kChar * Chars(text); }
    std::size_t Fit(std::string_view text, int width) const override {
        int room = width / kChar;
        std::size_t i = 0;
        while (i < text.size() && room > 0) {
            ++i;
            while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
            --room;
        }
        return i;
    }
    static int Chars(std::string_view text) {
        int n = 0;
        for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return n;
    }
};

struct Mark {
    enum What { kText, kIcon, kRule } Kind;
    int Page, X, Y;
    std::string Text;  // kText
    int Index = -1;    // kIcon; kRule: its right end
    bool Bold = false;
};

class RecordingCanvas : public PageCanvas {
public:
    const TextMeasure& Measure(bool) const override { return measure; }
    bool BeginPage(int number) override {
        page = number;
        return number <= last_page;
    }
    bool EndPage() override { return true; }
    void Text(int x, int y, std::string_view text, bool bold) override {
        marks.push_back({Mark::kText, page, x, y, std::string(text), -1, bold});
    }
    void Icon(int x, int y, int size, int index) override {
        EXPECT_EQ(size, 16);
        marks.push_back({Mark::kIcon, page, x, y, {}, index});
    }
    void Rule(int x0, int x1, int y) override { marks.push_back({Mark::kRule, page, x0, y, {}, x1}); }

    std::vector<Mark> Texts() const {
        std::vector<Mark> texts;
        for (const Mark& m : marks) if (m.Kind == Mark::kText) texts.push_back(m);
        return texts;
    }
    const Mark* Find(std::string_view text) const {
        for (const Mark& m : marks) if (m.Kind == Mark::kText && m.Text == text) return &m;
        return nullptr;
    }
    const Mark* IconAt(int page_number, int y) const {
        for (const Mark& m : marks) if (m.Kind == Mark::kIcon && m.Page == page_number && m.Y == y) return &m;
        return nullptr;
    }

    FixedMeasure measure;
    int page = 0;
    int last_page = 1000;
    std::vector<Mark> marks;
};

const PrintHeading kHeading{"'App' changes", "Kelvora,    1/2/2026 10:00:00", "Page: "};
// Font height 12: icons of 16, IndentStep 20, text 24 right of its icon.
constexpr PrintPage kPage{1000, 600, 12};
constexpr int kStep = 20;

DocLine Item(std::string name, std::string value) {
    return {DocLine::kItem, ckRegValueCreated, 1, std::move(name), {}, {}, std::move(value)};
}

TEST(PrintLayout, FirstPageHeadingAndLineFormsSitWhereTheGeometrySays) {
    const std::vector<DocLine> lines{
        {DocLine::kRoot, ckMyComputer, 0, "My Computer"},
        {DocLine::kSection, ckFileSystem, 0, "File System"},
        {DocLine::kKeyOrFolder, ckFolderCreated, 0, "C:\\App"},
        {DocLine::kSection, ckRegistry, 0, "Registry"},
        {DocLine::kGroup, ckRegValueChanged, 4, "HKEY_LOCAL_MACHINE\\Software\\App"},
        {DocLine::kChanged, ckRegValueChanged, 4, "Count", "1", "2"},
        Item("Name", "'x'"),
    };
    RecordingCanvas c;
    ASSERT_TRUE(PrintDocument(kHeading, lines, kPage, c));

    const Mark* title = c.Find("'App' changes");
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->Bold);
    EXPECT_EQ(title->Y, 30);
    EXPECT_EQ(title->X, 50 + (900 - 130) / 2);  // centred between the margins
    EXPECT_EQ(c.Find("Kelvora,    1/2/2026 10:00:00")->Y, 50);
    // The rule under the stamp, then 4 down: the root line.
    EXPECT_EQ(c.marks[2].Kind, Mark::kRule);
    EXPECT_EQ(c.marks[2].Y, 75);
    EXPECT_EQ(c.marks[2].Index, 950);

    struct Expected { const char* text; int icon_x; int icon; };
    const Expected expected[] = {
        {"My Computer", 50, 0}, {"File System", 50 + kStep, 1}, {"C:\\App", 50 + 2 * kStep, 5},
        {"Registry", 50 + kStep, 2}, {"HKEY_LOCAL_MACHINE\\Software\\App", 50 + 2 * kStep, 4},
        {"Count", 50 + 3 * kStep, 9}, {"Name  =  'x'", 50 + 3 * kStep, 11},
    };
    int y = 79;
    for (const Expected& e : expected) {
        const Mark* text = c.Find(e.text);
        ASSERT_NE(text, nullptr) << e.text;
        EXPECT_EQ(text->Y, y) << e.text;
        EXPECT_EQ(text->X, e.icon_x + kStep + 4) << e.text;
        const Mark* icon = c.IconAt(1, y);
        ASSERT_NE(icon, nullptr) << e.text;
        EXPECT_EQ(icon->X, e.icon_x) << e.text;
        EXPECT_EQ(icon->Index, e.icon) << e.text;
        y += 20 + 5;
        // A changed item's second line: no icon, aligned with the first.
        if (std::string_view(e.text) == "Count") {
            const Mark* change = c.Find("1  --->  2");
            ASSERT_NE(change, nullptr);
            EXPECT_EQ(change->Y, y);
            EXPECT_EQ(change->X, text->X);
            EXPECT_EQ(c.IconAt(1, y), nullptr);
            y += 25;
        }
    }
}

TEST(PrintLayout, ActivityPrintsItsReasonOnTheChangesOwnLine) {
    DocLine folder{DocLine::kKeyOrFolder, ckFolderCreated, 0, "C:\\Temp\\x"};
    folder.Activity = arOutsideWindow;
    DocLine item = Item("Counter", "'42'");
    item.Activity = arVolatileLocation;
    DocLine changed{DocLine::kChanged, ckRegValueChanged, 4, "Count", "1", "2"};
    changed.Activity = arLearned;
    RecordingCanvas c;
    ASSERT_TRUE(PrintDocument(kHeading, {folder, item, changed, Item("Name", "'x'")}, {3000, 600, 12}, c));
    EXPECT_NE(c.Find("C:\\Temp\\x   [" + ActivityReasonText(arOutsideWindow) + "]"), nullptr);
    EXPECT_NE(c.Find("Counter  =  '42'   [" + ActivityReasonText(arVolatileLocation) + "]"), nullptr);
    EXPECT_NE(c.Find("Count   [" + ActivityReasonText(arLearned) + "]"), nullptr);
    EXPECT_NE(c.Find("1  --->  2"), nullptr);
    EXPECT_NE(c.Find("Name  =  'x'"), nullptr);  // the setup's, as before
}

TEST(PrintLayout, SectionAloneStartsAtTheMarginForFilesAndOneStepInForTheRegistry) {
    for (auto [kind, x] : {std::pair{ckFileSystem, 50}, std::pair{ckRegistry, 50 + kStep}}) {
        RecordingCanvas c;
        ASSERT_TRUE(PrintDocument(kHeading, {{DocLine::kSection, kind, 0, "S"}}, kPage, c));
        EXPECT_EQ(c.Find("S")->X, x + kStep + 4);
    }
}

// Every line on a page, none below the bottom margin, pages after the first
// labelled, and a line that would cross the margin moved whole.
TEST(PrintLayout, PageBreaksKeepEveryLineAboveTheBottomMargin) {
    std::vector<DocLine> lines;
    for (int i = 0; i < 60; ++i) {
        lines.push_back(i % 7 == 3 ? DocLine{DocLine::kChanged, ckFileChanged, 0, "f" + std::to_string(i), "a", "b"}
                                   : Item("v" + std::to_string(i), std::to_string(i)));
    }
    RecordingCanvas c;
    ASSERT_TRUE(PrintDocument(kHeading, lines, kPage, c));
    ASSERT_GE(c.page, 3);
    int found = 0;
    for (const Mark& m : c.marks) {
        if (m.Kind == Mark::kText) EXPECT_LE(m.Y + 20 + kPrintBottom, kPage.Height) << m.Text;
        if (m.Kind == Mark::kIcon) EXPECT_LE(m.Y + 16 + kPrintBottom, kPage.Height);
        if (m.Kind == Mark::kText && (m.Text[0] == 'v' || m.Text[0] == 'f')) ++found;
    }
    EXPECT_EQ(found, 60);
    for (int page = 2; page <= c.page; ++page) {
        const std::string label = "Page: " + std::to_string(page);
        const Mark* m = c.Find(label);
        ASSERT_NE(m, nullptr) << label;
        EXPECT_EQ(m->Page, page);
        EXPECT_EQ(m->Y, 30);
        EXPECT_EQ(m->X + FixedMeasure::kChar * static_cast<int>(label.size()), 950);
        // The first line of the page sits 2 below the label.
        int first = 10000;
        for (const Mark& t : c.marks) {
            if (t.Page == page && t.Kind != Mark::kRule && t.Text != label) first = std::min(first, t.Y);
        }
        EXPECT_EQ(first, 30 + 20 + 2);
    }
    EXPECT_EQ(c.Find("Page: 1"), nullptr);
    // The page ended where the next line would not have fitted.
    int last_y = 0;
    for (const Mark& m : c.marks) if (m.Page == 1) last_y = std::max(last_y, m.Y);
    EXPECT_GT(last_y + 25 + 20 + kPrintBottom, kPage.Height);
}

std::string Joined(const RecordingCanvas& c, int x) {
    std::string all;
    for (const Mark& m : c.Texts()) if (m.X == x) all += m.Text;
    return all;
}

TEST(PrintLayout, LongTextsWrapAtTheRightMarginAfterABackslashOrSpace) {
    const std::string path = "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}"
                             "\\InprocServer32\\ThreadingModel\\Apartment\\More\\Words here and there";
    RecordingCanvas c;
    ASSERT_TRUE(PrintDocument(kHeading, {{DocLine::kKeyOrFolder, ckRegKeyCreated, 0, path}}, kPage, c));
    const int x = 50 + 3 * kStep + 4;
    int rows = 0;
    for (const Mark& m : c.Texts()) {
        if (m.X != x) continue;
        ++rows;
        EXPECT_LE(m.X + FixedMeasure::Chars(m.Text) * FixedMeasure::kChar, 950) << m.Text;
        if (rows == 1) EXPECT_EQ(m.Text.back(), '\\') << m.Text;
    }
    EXPECT_GE(rows, 2);
    EXPECT_EQ(Joined(c, x), path);
}

TEST(PrintLayout, AWordWiderThanTheLineIsCutBetweenCharacters) {
    std::string word;
    for (int i = 0; i < 200; ++i) word += "\xC3\xA9";  // é, two bytes each
    RecordingCanvas c;
    ASSERT_TRUE(PrintDocument(kHeading, {Item(word, "1")}, kPage, c));
    const int x = 50 + 4 * kStep + 4;
    for (const Mark& m : c.Texts()) {
        if (m.X != x) continue;
        EXPECT_EQ(m.Text.size() % 2, 0u);  // no character split in two
        EXPECT_LE(m.X + FixedMeasure::Chars(m.Text) * FixedMeasure::kChar, 950);
    }
    EXPECT_EQ(Joined(c, x), word + "  =  1");
}

TEST(PrintLayout, ATextTallerThanAPageRunsOnRowByRow) {
    const std::string value(3000, 'x');  // 81 characters a row: 38 rows of 20
    RecordingCanvas c;
    ASSERT_TRUE(PrintDocument(kHeading, {Item("Big", value), Item("After", "1")}, kPage, c));
    const int x = 50 + 4 * kStep + 4;
    EXPECT_EQ(Joined(c, x), "Big  =  " + value + "After  =  1");
    EXPECT_GE(c.page, 2);
    for (const Mark& m : c.marks) EXPECT_LE(m.Y + 20 + kPrintBottom, kPage.Height);
    // The first rows share the first page with the heading.
    EXPECT_EQ(c.Find("Big  =  ")->Page, 1);
    EXPECT_EQ(c.Find(value.substr(0, 81))->Page, 1);
}

TEST(PrintLayout, GroupLineStaysOnOneRowAndKeepsItsLastName) {
    const std::string path = "HKEY_LOCAL_MACHINE\\Software\\" + std::string(150, 'a') + "\\Vendor";
    RecordingCanvas c;
    ASSERT_TRUE(PrintDocument(kHeading, {{DocLine::kGroup, ckRegValueCreated, 1, path}}, kPage, c));
    const int x = 50 + 3 * kStep + 4;
    const std::vector<Mark> texts = c.Texts();
    ASSERT_EQ(texts.back().X, x);
    const std::string& row = texts.back().Text;
    EXPECT_EQ(row.substr(0, 18), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(row.substr(row.size() - 10), "...\\Vendor");
    EXPECT_LE(x + FixedMeasure::Chars(row) * FixedMeasure::kChar, 950);
    EXPECT_EQ(Joined(c, x), row);
}

TEST(PrintLayout, APageThePrinterRefusesEndsTheJob) {
    std::vector<DocLine> lines(100, Item("v", "1"));
    RecordingCanvas c;
    c.last_page = 2;
    EXPECT_FALSE(PrintDocument(kHeading, lines, kPage, c));
    EXPECT_EQ(c.page, 3);
}

}  // namespace
}  // namespace kelvora
