// What only the memory file system and shell offer: the test controls and the
// orders Windows lists in.
#include "platform/file_system_conformance.h"
#include "platform/memory/memory_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kelvora::platform::memory {
namespace {

std::vector<FindEntry> Listing(FileSystem& files, const std::string& pattern) {
    std::vector<FindEntry> entries;
    files.List(pattern, [&](const FindEntry& e) {
        entries.push_back(e);
        return true;
    });
    return entries;
}

using conformance::Names;

TEST(MemoryFileSystem, ListsLikeNtfsSortedWithDotsFirstBelowTheRoot) {
    MemoryFileSystem fs;
    for (const char* name : {"C:\\zeta.txt", "C:\\_under", "C:\\Beta\\x", "C:\\alpha.TXT"}) fs.AddFile(name);
    EXPECT_EQ(Names(Listing(fs, "C:\\*.*")), (std::vector<std::string>{"alpha.TXT", "Beta", "zeta.txt", "_under"}));
    EXPECT_EQ(Names(Listing(fs, "c:/beta/*")), (std::vector<std::string>{".", "..", "x"}));
    EXPECT_EQ(Names(Listing(fs, "C:\\*.txt")), (std::vector<std::string>{"alpha.TXT", "zeta.txt"}));
    EXPECT_EQ(Names(Listing(fs, "C:\\?eta*")), (std::vector<std::string>{"Beta", "zeta.txt"}));
    // An empty root is read and has nothing to list; a missing drive cannot be read.
    EXPECT_TRUE(fs.List("D:\\*.*", [](const FindEntry&) { return true; }));
    EXPECT_FALSE(fs.List("E:\\*.*", [](const FindEntry&) { return true; }));
}

TEST(MemoryFileSystem, TestsSetTimesSizesAndFolderKinds) {
    MemoryFileSystem fs;
    constexpr std::uint32_t when = MemoryFileSystem::DosDateTime(2001, 9, 9, 1, 46, 40);
    EXPECT_EQ(when, 0x2B29'0DD4u);
    fs.SetWriteTime(when);
    ASSERT_TRUE(fs.AddFile("C:\\Data\\huge.bin", "abc", MemoryFileSystem::DosDateTime(1999, 12, 31, 23, 59, 58)));
    ASSERT_TRUE(fs.SetFileSize("C:\\Data\\huge.bin", 5'000'000'000ull));
    ASSERT_TRUE(fs.AddFolder("C:\\Data\\Junction"));
    ASSERT_TRUE(fs.MarkReparsePoint("C:\\Data\\Junction"));
    const auto entries = Listing(fs, "C:\\Data\\*.*");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].dosDateTime, when);  // the folder changed when its entries came
    EXPECT_EQ(entries[2].size, 5'000'000'000ull);
    EXPECT_EQ(entries[2].dosDateTime, (0x279Fu << 16 | 0xBF7Du));
    EXPECT_EQ(entries[3].attributes, kAttrDirectory | kAttrReparsePoint);
    // SetAttributes cannot take the reparse point or folder bits away.
    ASSERT_TRUE(fs.SetAttributes("C:\\Data\\Junction", kAttrHidden));
    EXPECT_EQ(fs.GetAttributes("C:\\Data\\Junction"), kAttrDirectory | kAttrReparsePoint | kAttrHidden);
    ASSERT_TRUE(fs.SetAttributes("C:\\Data\\huge.bin", 0));
    EXPECT_EQ(fs.GetAttributes("C:\\Data\\huge.bin"), kAttrNormal);
}

TEST(MemoryFileSystem, InaccessibleAndInUseItemsRefuseWhatWindowsRefuses) {
    MemoryPlatform mp;
    MemoryFileSystem& fs = mp.files;
    fs.AddFile("C:\\Closed\\inside.txt", "x");
    fs.AddFile("C:\\Busy\\open.dll", "x");
    ASSERT_TRUE(fs.SetAccessible("C:\\Closed", false));
    EXPECT_FALSE(fs.List("C:\\Closed\\*.*", [](const FindEntry&) { return true; }));
    EXPECT_FALSE(fs.SetCurrentDir("C:\\Closed"));
    EXPECT_TRUE(fs.FolderExists("C:\\Closed"));

    ASSERT_TRUE(fs.SetInUse("C:\\Busy\\open.dll", true));
    const std::uint8_t byte = 1;
    EXPECT_FALSE(fs.DeleteFile("C:\\Busy\\open.dll"));
    EXPECT_FALSE(fs.WriteFile("C:\\Busy\\open.dll", &byte, 1));
    EXPECT_FALSE(fs.Rename("C:\\Busy\\open.dll", "C:\\Busy\\other.dll"));
    EXPECT_FALSE(fs.Rename("C:\\Busy", "C:\\Idle"));
    EXPECT_FALSE(mp.shell.DeleteToRecycleBin("C:\\Busy"));
    EXPECT_TRUE(fs.FileExists("C:\\Busy\\open.dll"));
    ASSERT_TRUE(fs.SetInUse("C:\\Busy\\open.dll", false));
    EXPECT_TRUE(mp.shell.DeleteToRecycleBin("C:\\Busy"));
    EXPECT_EQ(mp.shell.Recycled(), std::vector<std::string>{"C:\\Busy"});
}

TEST(MemoryFileSystem, RefusesLongNamesAndReadingBackALongCurrentDirectory) {
    MemoryFileSystem fs;
    EXPECT_FALSE(fs.CreateFolder("C:\\" + std::string(256, 'n')));
    const std::string deep = "C:\\" + std::string(255, 'n') + "\\" + std::string(10, 'm');
    EXPECT_TRUE(fs.AddFolder(deep));
    ASSERT_TRUE(fs.SetCurrentDir(deep));  // entered, as Wine enters it
    EXPECT_EQ(fs.GetCurrentDir(), "");    // but MAX_PATH is too short for it
    EXPECT_TRUE(fs.AddFile(deep + "\\file.txt"));
}

TEST(MemoryFileSystem, FullDiskTruncatesPlainWritesButNotAtomicOnes) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\a.dat", "old a");
    fs.AddFile("C:\\b.dat", "old b");
    fs.SetDiskFull(true);
    const std::string text = "new";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    EXPECT_FALSE(fs.WriteFile("C:\\a.dat", bytes, text.size()));
    EXPECT_EQ(fs.Text("C:\\a.dat"), "");
    EXPECT_FALSE(fs.WriteFileAtomic("C:\\b.dat", bytes, text.size()));
    EXPECT_EQ(fs.Text("C:\\b.dat"), "old b");
    fs.SetDiskFull(false);
    EXPECT_TRUE(fs.WriteFileAtomic("C:\\b.dat", bytes, text.size()));
    EXPECT_EQ(fs.Text("C:\\b.dat"), "new");
}

TEST(MemoryFileSystem, PathsResolveAsWindowsResolvesThem) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Work\\Deep");
    fs.AddFolder("D:\\Other");
    ASSERT_TRUE(fs.SetCurrentDir("c:\\WORK"));
    EXPECT_EQ(fs.GetCurrentDir(), "c:\\WORK");  // as given, not as stored
    EXPECT_EQ(fs.FullPathName("Deep"), "c:\\WORK\\Deep");
    EXPECT_EQ(fs.FullPathName("C:Deep"), "C:\\WORK\\Deep");  // the drive's current directory
    EXPECT_EQ(fs.FullPathName("D:Other"), "D:\\Other");      // another drive: its root
    EXPECT_EQ(fs.FullPathName("\\Other"), "c:\\Other");
    EXPECT_EQ(fs.FullPathName("..\\..\\.."), "c:\\");
    EXPECT_EQ(fs.FullPathName("\\\\server\\share"), "\\\\server\\share");
    // The current directory cannot be removed; a folder cannot move into itself.
    EXPECT_FALSE(fs.RemoveFolder("C:\\Work\\Deep\\.."));
    EXPECT_FALSE(fs.Rename("C:\\Work", "C:\\Work\\Deep\\Work"));
    EXPECT_FALSE(fs.Rename("C:\\Work\\Deep", "D:\\Deep"));
    // A new spelling of the same name is a rename, not a clash.
    EXPECT_TRUE(fs.Rename("C:\\Work\\Deep", "C:\\Work\\DEEP"));
    EXPECT_EQ(Names(Listing(fs, "*.*")), (std::vector<std::string>{".", "..", "DEEP"}));
    // Files move between drives.
    fs.AddFile("C:\\Work\\f.txt", "f");
    EXPECT_TRUE(fs.Rename("f.txt", "D:\\Other\\g.txt"));
    EXPECT_EQ(fs.Text("D:\\Other\\G.TXT"), "f");
}

TEST(MemoryFileSystem, ShortNamesOpenItemsAndExpandToLongOnes) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Program Files\\Some App\\app.exe", "MZ");
    ASSERT_TRUE(fs.AddShortName("C:\\Program Files", "PROGRA~1"));
    ASSERT_TRUE(fs.AddShortName("C:\\Program Files\\Some App", "SOMEAP~1"));
    fs.AddFolder("C:\\Program Files\\Other");
    EXPECT_FALSE(fs.AddShortName("C:\\Program Files\\Some App", "OTHER"));  // a sibling has that name
    EXPECT_EQ(fs.LongPathName("C:\\progra~1\\SOMEAP~1\\app.exe"), "C:\\Program Files\\Some App\\app.exe");
    EXPECT_EQ(fs.Text("C:\\PROGRA~1\\SOMEAP~1\\app.exe"), "MZ");
    EXPECT_EQ(fs.LongPathName("C:\\PROGRA~1\\nothing"), "C:\\PROGRA~1\\nothing");
    EXPECT_EQ(fs.WindowsFolder(), "C:\\WINDOWS");
    fs.SetWindowsFolder("D:\\WinNT");
    EXPECT_EQ(fs.WindowsFolder(), "D:\\WinNT");
}

TEST(MemoryFileSystem, ListingCallbacksMayUseTheFileSystem) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Top\\One\\a.txt");
    fs.AddFile("C:\\Top\\Two\\b.txt");
    std::vector<std::string> seen;
    fs.List("C:\\Top\\*.*", [&](const FindEntry& e) {
        if (e.name == "." || e.name == "..") return true;
        EXPECT_TRUE(fs.SetCurrentDir("C:\\Top\\" + e.name));
        fs.List("*.*", [&](const FindEntry& inner) {
            seen.push_back(inner.name);
            return true;
        });
        return true;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{".", "..", "a.txt", ".", "..", "b.txt"}));
}

// A worker lists folders the way the folder scan does while the test's
// thread creates and removes files in them.
TEST(MemoryFileSystemConcurrency, ListWhileAnotherThreadWrites) {
    MemoryFileSystem fs;
    for (int i = 0; i < 20; ++i) fs.AddFile("C:\\Tree\\F" + std::to_string(i % 4) + "\\f" + std::to_string(i));
    std::atomic<bool> stop{false};
    std::atomic<int> walks{0};
    std::thread worker([&] {
        while (!stop.load()) {
            for (int f = 0; f < 4; ++f) {
                fs.List("C:\\Tree\\F" + std::to_string(f) + "\\*.*", [&](const FindEntry& e) {
                    fs.GetAttributes("C:\\Tree\\F" + std::to_string(f) + "\\" + e.name);
                    return true;
                });
            }
            walks.fetch_add(1);
        }
    });
    const std::uint8_t byte = 7;
    for (int round = 0; round < 200 || walks.load() < 3; ++round) {
        const std::string path = "C:\\Tree\\F" + std::to_string(round % 4) + "\\new" + std::to_string(round % 5);
        fs.WriteFileAtomic(path, &byte, 1);
        fs.DeleteFile(path);
    }
    stop.store(true);
    worker.join();
    EXPECT_EQ(Listing(fs, "C:\\Tree\\F0\\*.*").size(), 7u);
}

TEST(MemoryShell, RecordsWhatWouldHaveStarted) {
    MemoryPlatform mp;
    EXPECT_TRUE(mp.platform.shell.Execute("C:\\setup.exe", "/quiet"));
    mp.shell.SetExecuteResult(false);
    EXPECT_FALSE(mp.platform.shell.Execute("notepad.exe", ""));
    EXPECT_EQ(mp.shell.Executed(), (std::vector<MemoryShell::Execution>{{"C:\\setup.exe", "/quiet"}, {"notepad.exe", ""}}));
    mp.clock.Set(40000.25);
    EXPECT_EQ(mp.platform.clock.Now(), 40000.25);
}

}  // namespace
}  // namespace kelvora::platform::memory
