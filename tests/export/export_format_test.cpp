#include "export/export_format.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(ExportFormat, TheFilterChoosesAndTheNameFollows) {
    EXPECT_EQ(ChooseExportTarget(1, "C:\\A\\app.txt").Path, "C:\\A\\app.txt");
    // The dialog added the text filter's extension to a name meant for HTML.
    const ExportTarget html = ChooseExportTarget(2, "C:\\A\\app.txt");
    EXPECT_EQ(html.Format, ExportFormat::kHtml);
    EXPECT_EQ(html.Path, "C:\\A\\app.html");
    EXPECT_EQ(ChooseExportTarget(2, "C:\\A\\app.HTM").Path, "C:\\A\\app.HTM");
    EXPECT_EQ(ChooseExportTarget(3, "C:\\A.b\\app").Path, "C:\\A.b\\app.json");
    EXPECT_EQ(ChooseExportTarget(3, "C:\\A\\v1.2").Path, "C:\\A\\v1.2.json");
    const ExportTarget package = ChooseExportTarget(4, "C:\\Share\\App\\app.txt");
    EXPECT_EQ(package.Format, ExportFormat::kUndoPackage);
    EXPECT_EQ(package.Path, "C:\\Share\\App");
    EXPECT_EQ(ChooseExportTarget(4, "C:\\app.cmd").Path, "C:\\");
    // All files: the extension says which.
    EXPECT_EQ(ChooseExportTarget(5, "C:\\A\\app.json").Format, ExportFormat::kJson);
    EXPECT_EQ(ChooseExportTarget(5, "C:\\A\\app.log").Format, ExportFormat::kText);
    EXPECT_EQ(ChooseExportTarget(5, "C:\\A\\app.log").Path, "C:\\A\\app.log");
}

}  // namespace
}  // namespace kelvora
