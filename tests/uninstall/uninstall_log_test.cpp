#include "uninstall/uninstall_log.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace kelvora {
namespace {

using platform::memory::MemoryPlatform;

TEST(UninstallLogLevel, MaskChoosesLevelsAndSummaryPassesAnyPositiveMask) {
    TUninstallLog log;
    EXPECT_TRUE(log.Add(5, "error line", kLineError));
    EXPECT_FALSE(log.Add(5, "warning line", kLineWarning));
    EXPECT_TRUE(log.Add(5, "success line", kLineSuccess));
    EXPECT_TRUE(log.Add(2, "summary", kLineSummary));
    EXPECT_FALSE(log.Add(0, "summary", kLineSummary));
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"error line", "success line", "summary"}));
    log.Clear();
    EXPECT_TRUE(log.Lines().empty());
}

TEST(UninstallLogLines, EveryKindOfLineEndEndsOneLine) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(SplitLines("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines(std::string_view("a\0b", 3)), (std::vector<std::string>{std::string("a\0b", 3)}));
    EXPECT_TRUE(SplitLines("").empty());
}

class UninstallLogFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(os.files.AddFolder("C:\\Kelvora")); }

    LogWriteResult Write(std::int32_t logLevel, std::string_view identifier, std::vector<std::string> lines) {
        return WriteUninstallLog(os.files, "C:\\Kelvora", logLevel, identifier, "07/12/2026 10:15:00", lines);
    }

    MemoryPlatform os;
};

TEST_F(UninstallLogFile, FirstRunWritesHeadingAndBlockThenLaterRunsAppend) {
    ASSERT_EQ(Write(1, "MyApp", {"DELETING FILE: C:\\a.txt ... ERROR (in use)"}), LogWriteResult::kWritten);
    const std::string first =
        "QOR log file\r\n"
        "============\r\n"
        "\r\n"
        "\r\n"
        "MyApp 07/12/2026 10:15:00\r\n"
        "---------------------------------------\r\n"
        "DELETING FILE: C:\\a.txt ... ERROR (in use)\r\n"
        "\r\n";
    EXPECT_EQ(os.files.Text("C:\\Kelvora\\Log.txt"), first);

    ASSERT_EQ(Write(7, "Other", {}), LogWriteResult::kWritten);
    EXPECT_EQ(os.files.Text("C:\\Kelvora\\Log.txt"), first +
                                                         "\r\n"
                                                         "Other 07/12/2026 10:15:00\r\n"
                                                         "---------------------------------------\r\n"
                                                         "\r\n");
}

TEST_F(UninstallLogFile, OldLinesAreKeptWithUniformLineEnds) {
    ASSERT_TRUE(os.files.AddFile("C:\\Kelvora\\Log.txt", "edited\nby hand\r\nno end"));
    ASSERT_EQ(Write(1, "App", {"Uninstall complete without errors"}), LogWriteResult::kWritten);
    EXPECT_EQ(os.files.Text("C:\\Kelvora\\Log.txt"),
              "edited\r\nby hand\r\nno end\r\n\r\nApp 07/12/2026 10:15:00\r\n"
              "---------------------------------------\r\nUninstall complete without errors\r\n\r\n");
}

TEST_F(UninstallLogFile, LogLevelZeroAndFailuresLeaveTheFileAsItWas) {
    EXPECT_EQ(Write(0, "App", {"line"}), LogWriteResult::kSkipped);
    EXPECT_FALSE(os.files.Exists("C:\\Kelvora\\Log.txt"));

    ASSERT_TRUE(os.files.AddFile("C:\\Kelvora\\Log.txt", "old\r\n"));
    ASSERT_TRUE(os.files.SetAccessible("C:\\Kelvora\\Log.txt", false));
    EXPECT_EQ(Write(1, "App", {"line"}), LogWriteResult::kReadFailed);
    ASSERT_TRUE(os.files.SetAccessible("C:\\Kelvora\\Log.txt", true));
    EXPECT_EQ(os.files.Text("C:\\Kelvora\\Log.txt"), "old\r\n");

    os.files.SetDiskFull(true);
    EXPECT_EQ(Write(1, "App", {"line"}), LogWriteResult::kWriteFailed);
    os.files.SetDiskFull(false);
    EXPECT_EQ(os.files.Text("C:\\Kelvora\\Log.txt"), "old\r\n");
}

}  // namespace
}  // namespace kelvora
