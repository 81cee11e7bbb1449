#include "export/html_report.h"

#include "changes/activity.h"

#include <gtest/gtest.h>

#include "export/export_fixture.h"

namespace kelvora {
namespace {

class HtmlReportTest : public test::ExportFixture {
protected:
    std::string Report() {
        std::string text;
        std::string all;
        const auto access = source.Lock();
        WriteHtml(access, kNoNode, os.collation, {"App <b>", "now", "then"}, ReportWords::Translated("App <b>"),
                  CellWords::Translated(), true, text, [&](std::string& piece) {
                      all += piece;
                      piece.clear();
                  });
        return all + text;
    }
};

TEST_F(HtmlReportTest, SelfContainedWithTheTreesRowsInOrder) {
    AddEverything();
    AddReg(ckRegValueCreated, "Software\\Other", "</script><script>alert(1)</script>", 1, {}, std::string("x\0", 2));
    const std::string html = Report();
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>"));
    // Nothing from elsewhere: no links, sources or style sheets outside.
    EXPECT_EQ(html.find("src=\"http"), std::string::npos);
    EXPECT_EQ(html.find("<link"), std::string::npos);
    EXPECT_EQ(html.find("<script src"), std::string::npos);
    // Texts cannot leave their script block or inject markup.
    EXPECT_EQ(html.find("</script><script>alert"), std::string::npos);
    EXPECT_NE(html.find("'App &lt;b&gt;' changes"), std::string::npos);
    // Icons as data URIs; rows in the window's order ("File System" first).
    EXPECT_NE(html.find("data:image/svg+xml;base64,"), std::string::npos);
    const auto fs = html.find("[1,1,\"File System\"");
    const auto reg = html.find("[1,2,\"Registry\"");
    ASSERT_NE(fs, std::string::npos);
    ASSERT_NE(reg, std::string::npos);
    EXPECT_LT(fs, reg);
    // Binary data in the chosen mode, hexadecimal here.
    EXPECT_NE(html.find("\"48 69 00 FF \""), std::string::npos);
}

// Activity is counted apart and its rows carry their reason.
TEST_F(HtmlReportTest, ActivityIsCountedAndMarked) {
    AddEverything();
    MarkActivity({{"a.ini", arOutsideWindow}});
    const std::string html = Report();
    const TChangeCounts counts = CountChanges(source.Lock());
    EXPECT_EQ(counts.Activity, 1u);
    EXPECT_NE(html.find(ChangeCountsText(counts)), std::string::npos);
    const auto row = html.find("\"a.ini\"");
    ASSERT_NE(row, std::string::npos);
    const std::string reason = ActivityReasonText(arOutsideWindow);
    EXPECT_EQ(html.find(reason), html.find(reason, row));
    EXPECT_LT(html.find(reason), html.find(']', html.find(reason)));
    EXPECT_EQ(html.find(reason, html.find(reason) + 1), std::string::npos);
}

}  // namespace
}  // namespace kelvora
