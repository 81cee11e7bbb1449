#include "monitoring/monitoring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitoring/start_up.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"

namespace kelvora {
namespace {

using platform::memory::MemoryFileSystem;
using platform::memory::MemoryPlatform;

TEST(ProgramFolder, IsTheProgramFilesFolderWithoutTrailingBackslashButForARoot) {
    EXPECT_EQ(ProgramFolderOf("C:\\Tools\\Kelvora\\Kelvora.exe"), "C:\\Tools\\Kelvora");
    EXPECT_EQ(ProgramFolderOf("C:\\Kelvora.exe"), "C:\\");
    EXPECT_EQ(ProgramFolderOf("\\\\server\\share\\Kelvora.exe"), "\\\\server\\share");
}

// Both programs start the same way: the folder from the program's path
// whatever the current directory, the machine's places, the stored settings
// over their defaults; a stored value of the wrong type is said, not thrown,
// and what was read before it stays.
TEST(StartUp, FillsTheContextFromTheProgramsPathTheMachineAndTheSettings) {
    MemoryPlatform memory;
    memory.files.AddFolder("D:\\Elsewhere");
    memory.files.SetCurrentDir("D:\\Elsewhere");
    memory.files.SetWindowsFolder("E:\\Win");
    memory.registry.SetCurrentUserSid("S-1-5-21-1-2-3-1001");
    memory.registry.PutDword(platform::kCurrentUser, kSettingsKeyPath, "ScanHKLM", 0);
    AppContext context;
    EXPECT_EQ(StartUp(context, memory.platform, "C:\\Tools\\Kelvora\\kelvora-cli.exe"), "");
    EXPECT_EQ(context.ProgramFolder, "C:\\Tools\\Kelvora");
    EXPECT_EQ(context.WindowsFolder, "E:\\Win");
    EXPECT_EQ(context.SystemDriveRoot, "E:\\");
    EXPECT_EQ(context.CurrentUserSid, "S-1-5-21-1-2-3-1001");
    EXPECT_FALSE(context.Settings.ScanHKLM);
    EXPECT_TRUE(context.Settings.ScanHKCR);
    EXPECT_TRUE(context.Settings.ExcludedFolders.Contains("C:\\Tools\\Kelvora"));
    EXPECT_EQ(memory.files.GetCurrentDir(), "D:\\Elsewhere");

    memory.registry.PutDword(platform::kCurrentUser, kSettingsKeyPath, "Viewer", 1);
    AppContext broken;
    EXPECT_EQ(StartUp(broken, memory.platform, "C:\\Kelvora.exe"), "Invalid data type for 'Viewer'");
    EXPECT_EQ(broken.ProgramFolder, "C:\\");
    EXPECT_FALSE(broken.Settings.ScanHKLM);
}

TEST(DeleteSnapshots, RemovesEverySnapshotInTheProgramFolderOnly) {
    MemoryFileSystem fs;
    fs.AddFolder("D:\\Elsewhere");
    fs.SetCurrentDir("D:\\Elsewhere");
    fs.AddFolder("C:\\Prog");
    for (const char* name : {"HKCR.SNS", "HKLM.SNS", "fis1.sns", "FIS2.SNS", "Other.sns", "Keep.qor"}) {
        fs.AddFile(std::string("C:\\Prog\\") + name, "x");
    }
    fs.AddFile("D:\\Elsewhere\\HKCU.SNS", "x");
    DeleteSnapshots(fs, "C:\\Prog");
    EXPECT_EQ(fs.GetCurrentDir(), "D:\\Elsewhere");
    std::vector<std::string> left;
    fs.List("C:\\Prog\\*.*", [&](const platform::FindEntry& e) {
        if (!e.IsFolder()) left.push_back(e.name);
        return true;
    });
    EXPECT_EQ(left, (std::vector<std::string>{"Keep.qor", "Other.sns"}));
    EXPECT_TRUE(fs.FileExists("D:\\Elsewhere\\HKCU.SNS"));
}

TEST(QuoteArgument, TheProgramReadsBackWhatWasGiven) {
    EXPECT_EQ(QuoteArgument("/S"), "/S");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
    EXPECT_EQ(QuoteArgument("two words"), "\"two words\"");
    EXPECT_EQ(QuoteArgument("/D=C:\\Program Files\\"), "\"/D=C:\\Program Files\\\\\"");
    EXPECT_EQ(QuoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(QuoteArgument("a\\\\\"b c"), "\"a\\\\\\\\\\\"b c\"");
}

}  // namespace
}  // namespace kelvora
