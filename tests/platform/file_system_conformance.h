// Behaviour every FileSystem and Shell implementation shares with the Win32
// file functions. Instantiated for the memory file system (natively and under
// Wine) and for the real one (under Wine). An environment type Env provides:
//   FileSystem& Files();  Shell& Shelf();  std::string Folder();
// Folder() is an empty scratch folder (full path, no trailing backslash) that
// the environment removes; the current directory is restored by the fixture.
#pragma once

#include "platform/platform.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kelvora::platform::conformance {

// A listing, sorted ignoring case because Wine lists in the host's order.
inline std::vector<FindEntry> SortedListing(FileSystem& files, const std::string& pattern) {
    std::vector<FindEntry> entries;
    files.List(pattern, [&](const FindEntry& e) {
        entries.push_back(e);
        return true;
    });
    std::sort(entries.begin(), entries.end(),
              [](const FindEntry& a, const FindEntry& b) { return CompareNoCase(a.name, b.name) < 0; });
    return entries;
}

inline std::vector<std::string> Names(const std::vector<FindEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    return names;
}

template <typename Env>
class FileSystemConformance : public ::testing::Test {
protected:
    Env env;
    FileSystem& files = env.Files();
    const std::string dir = env.Folder();
    const std::string savedCwd = files.GetCurrentDir();

    ~FileSystemConformance() override { files.SetCurrentDir(savedCwd); }

    bool Write(const std::string& path, std::string_view text) {
        return files.WriteFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    bool WriteAtomic(const std::string& path, std::string_view text) {
        return files.WriteFileAtomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    std::string Read(const std::string& path) {
        std::vector<std::uint8_t> bytes;
        if (!files.ReadFile(path, bytes)) return "<unreadable>";
        return std::string(bytes.begin(), bytes.end());
    }
};

TYPED_TEST_SUITE_P(FileSystemConformance);

TYPED_TEST_P(FileSystemConformance, FoldersAndFilesAreCreatedListedAndRemoved) {
    auto& files = this->files;
    const std::string sub = this->dir + "\\Sub";
    EXPECT_TRUE(files.CreateFolder(sub));
    EXPECT_FALSE(files.CreateFolder(sub));
    EXPECT_FALSE(files.CreateFolder(this->dir + "\\Missing\\Deeper"));
    EXPECT_TRUE(files.FolderExists(this->dir + "\\sub"));
    EXPECT_TRUE(this->Write(sub + "\\b.TXT", "hello"));
    EXPECT_TRUE(this->Write(sub + "\\A.txt", ""));
    EXPECT_TRUE(files.CreateFolder(sub + "\\c"));
    EXPECT_TRUE(files.FileExists(sub + "\\B.txt"));
    EXPECT_NE(files.GetAttributes(sub + "\\b.txt") & kAttrArchive, 0u);
    EXPECT_EQ(files.GetAttributes(sub + "\\none"), kInvalidAttributes);
    // The head of a file: as much as asked, or all of a shorter one.
    std::vector<std::uint8_t> head;
    EXPECT_TRUE(files.ReadFileHead(sub + "\\b.txt", 3, head));
    EXPECT_EQ(std::string(head.begin(), head.end()), "hel");
    EXPECT_TRUE(files.ReadFileHead(sub + "\\b.txt", 56, head));
    EXPECT_EQ(head.size(), 5u);
    EXPECT_FALSE(files.ReadFileHead(sub + "\\none", 3, head));

    const auto entries = SortedListing(files, sub + "\\*.*");
    ASSERT_EQ(Names(entries), (std::vector<std::string>{".", "..", "A.txt", "b.TXT", "c"}));
    EXPECT_TRUE(entries[0].IsFolder());
    EXPECT_EQ(entries[3].size, 5u);
    EXPECT_FALSE(entries[3].IsFolder());
    EXPECT_NE(entries[3].dosDateTime, 0u);
    EXPECT_TRUE(entries[4].IsFolder());
    EXPECT_EQ(Names(SortedListing(files, sub + "\\*")), Names(entries));
    EXPECT_FALSE(files.List(sub + "\\Nowhere\\*.*", [](const FindEntry&) { return true; }));

    // Listing stops when asked to.
    int calls = 0;
    EXPECT_TRUE(files.List(sub + "\\*.*", [&](const FindEntry&) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);

    // The failures that the uninstaller tells apart, by their error codes.
    EXPECT_FALSE(files.RemoveFolder(sub));  // not empty
    EXPECT_EQ(files.LastError(), 145);
    EXPECT_FALSE(files.DeleteFile(sub + "\\c"));  // a folder
    EXPECT_EQ(files.LastError(), kErrorAccessDenied);
    EXPECT_TRUE(files.RemoveFolder(sub + "\\C"));
    EXPECT_TRUE(files.DeleteFile(sub + "\\a.txt"));
    EXPECT_FALSE(files.DeleteFile(sub + "\\a.txt"));
    EXPECT_EQ(files.LastError(), kErrorFileNotFound);
    EXPECT_TRUE(files.DeleteFile(sub + "\\b.txt"));
    EXPECT_TRUE(files.RemoveFolder(sub));
    EXPECT_FALSE(files.Exists(sub));
}

TYPED_TEST_P(FileSystemConformance, RelativePathsFollowTheCurrentDirectory) {
    auto& files = this->files;
    ASSERT_TRUE(files.CreateFolder(this->dir + "\\Here"));
    ASSERT_TRUE(files.SetCurrentDir(this->dir + "\\Here\\"));
    EXPECT_EQ(files.GetCurrentDir(), this->dir + "\\Here");
    EXPECT_TRUE(this->Write("rel.txt", "relative"));
    EXPECT_EQ(this->Read(this->dir + "\\Here\\rel.txt"), "relative");
    EXPECT_EQ(files.FullPathName("rel.txt"), this->dir + "\\Here\\rel.txt");
    EXPECT_EQ(files.FullPathName("x\\..\\y\\.\\z"), this->dir + "\\Here\\y\\z");
    EXPECT_EQ(files.FullPathName("..\\rel.txt"), this->dir + "\\rel.txt");
    EXPECT_EQ(Names(SortedListing(files, "*.*")), (std::vector<std::string>{".", "..", "rel.txt"}));

    EXPECT_FALSE(files.SetCurrentDir(this->dir + "\\Nowhere"));
    EXPECT_FALSE(files.SetCurrentDir(this->dir + "\\Here\\rel.txt"));
    EXPECT_EQ(files.GetCurrentDir(), this->dir + "\\Here");
    ASSERT_TRUE(files.SetCurrentDir(".."));
    EXPECT_EQ(files.GetCurrentDir(), this->dir);
    // A drive's root keeps its backslash.
    const std::string root = this->dir.substr(0, 3);
    ASSERT_TRUE(files.SetCurrentDir(root));
    EXPECT_EQ(files.GetCurrentDir(), root);
}

TYPED_TEST_P(FileSystemConformance, RenameRefusesAnExistingTarget) {
    auto& files = this->files;
    ASSERT_TRUE(this->Write(this->dir + "\\a.txt", "A"));
    ASSERT_TRUE(this->Write(this->dir + "\\b.txt", "B"));
    ASSERT_TRUE(files.CreateFolder(this->dir + "\\Folder"));
    EXPECT_FALSE(files.Rename(this->dir + "\\a.txt", this->dir + "\\B.TXT"));
    EXPECT_TRUE(files.Rename(this->dir + "\\a.txt", this->dir + "\\Folder\\c.txt"));
    EXPECT_FALSE(files.Exists(this->dir + "\\a.txt"));
    EXPECT_EQ(this->Read(this->dir + "\\folder\\C.txt"), "A");
    EXPECT_FALSE(files.Rename(this->dir + "\\missing.txt", this->dir + "\\d.txt"));
    EXPECT_TRUE(files.Rename(this->dir + "\\Folder", this->dir + "\\Moved"));
    EXPECT_EQ(this->Read(this->dir + "\\Moved\\c.txt"), "A");
}

TYPED_TEST_P(FileSystemConformance, ReadOnlyFilesAreNotDeleted) {
    auto& files = this->files;
    const std::string path = this->dir + "\\locked.txt";
    ASSERT_TRUE(this->Write(path, "x"));
    ASSERT_TRUE(files.SetAttributes(path, kAttrReadOnly | kAttrHidden));
    EXPECT_EQ(files.GetAttributes(path) & (kAttrReadOnly | kAttrHidden | kAttrDirectory), kAttrReadOnly | kAttrHidden);
    EXPECT_FALSE(files.DeleteFile(path));
    EXPECT_EQ(files.LastError(), kErrorAccessDenied);
    EXPECT_TRUE(files.FileExists(path));
    ASSERT_TRUE(files.SetAttributes(path, kAttrArchive));
    EXPECT_EQ(files.GetAttributes(path) & (kAttrReadOnly | kAttrHidden), 0u);
    EXPECT_TRUE(files.DeleteFile(path));
    EXPECT_FALSE(files.SetAttributes(path, kAttrArchive));
}

TYPED_TEST_P(FileSystemConformance, AtomicWritesReplaceWholeOrNotAtAll) {
    auto& files = this->files;
    const std::string path = this->dir + "\\data.bin";
    EXPECT_TRUE(this->WriteAtomic(path, "first"));
    EXPECT_TRUE(this->WriteAtomic(path, "second, longer"));
    EXPECT_EQ(this->Read(path), "second, longer");
    EXPECT_TRUE(this->WriteAtomic(path, ""));
    EXPECT_EQ(this->Read(path), "");
    ASSERT_TRUE(this->WriteAtomic(path, "kept"));

    // A read-only target cannot be replaced: the old file stays as it was.
    ASSERT_TRUE(files.SetAttributes(path, kAttrReadOnly));
    EXPECT_FALSE(this->WriteAtomic(path, "lost"));
    EXPECT_EQ(this->Read(path), "kept");
    EXPECT_FALSE(this->WriteAtomic(this->dir + "\\Missing\\x.bin", "x"));
    // No temporary file is left behind either way.
    EXPECT_EQ(Names(SortedListing(files, this->dir + "\\*.*")), (std::vector<std::string>{".", "..", "data.bin"}));
    files.SetAttributes(path, kAttrArchive);
}

// A writer empties an existing file, appends piece by piece, holds the file
// against deletion and renaming while open, and refuses what WriteFile refuses.
TYPED_TEST_P(FileSystemConformance, WritersAppendPiecesToANewFile) {
    auto& files = this->files;
    const std::string path = this->dir + "\\pieces.bin";
    ASSERT_TRUE(this->Write(path, "old contents, longer than the new"));
    auto writer = files.CreateFileWriter(path);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(this->Read(path), "<unreadable>");  // open for writing, shared with no one
    EXPECT_FALSE(files.DeleteFile(path));
    EXPECT_FALSE(files.Rename(path, this->dir + "\\moved.bin"));
    const std::string first = "first ";
    const std::string second(70000, 'x');
    EXPECT_TRUE(writer->Write(reinterpret_cast<const std::uint8_t*>(first.data()), first.size()));
    EXPECT_TRUE(writer->Write(reinterpret_cast<const std::uint8_t*>(second.data()), second.size()));
    EXPECT_TRUE(writer->Write(nullptr, 0));
    EXPECT_TRUE(writer->Close());
    EXPECT_EQ(this->Read(path), first + second);
    EXPECT_TRUE(files.DeleteFile(path));

    EXPECT_EQ(files.CreateFileWriter(this->dir + "\\Missing\\x.bin"), nullptr);
    ASSERT_TRUE(this->Write(path, "kept"));
    ASSERT_TRUE(files.SetAttributes(path, kAttrReadOnly));
    EXPECT_EQ(files.CreateFileWriter(path), nullptr);
    EXPECT_EQ(this->Read(path), "kept");
    files.SetAttributes(path, kAttrArchive);
}

TYPED_TEST_P(FileSystemConformance, PlainPathsNeedNoExpanding) {
    auto& files = this->files;
    const std::string path = this->dir + "\\Long File Name.text";
    ASSERT_TRUE(this->Write(path, "x"));
    EXPECT_EQ(files.LongPathName(path), path);
    EXPECT_EQ(files.LongPathName(this->dir + "\\missing.txt"), this->dir + "\\missing.txt");
    EXPECT_FALSE(files.WindowsFolder().empty());
}

TYPED_TEST_P(FileSystemConformance, RecycleBinTakesFilesAndFolders) {
    auto& files = this->files;
    Shell& shell = this->env.Shelf();
    const std::string file = this->dir + "\\trash me.txt";
    const std::string folder = this->dir + "\\Trash Folder";
    ASSERT_TRUE(this->Write(file, "bye"));
    ASSERT_TRUE(files.CreateFolder(folder));
    ASSERT_TRUE(this->Write(folder + "\\inner.txt", "inner"));
    EXPECT_TRUE(shell.DeleteToRecycleBin(file));
    EXPECT_FALSE(files.Exists(file));
    EXPECT_TRUE(shell.DeleteToRecycleBin(folder));
    EXPECT_FALSE(files.Exists(folder));
    EXPECT_FALSE(shell.DeleteToRecycleBin(this->dir + "\\never there.txt"));
}

TYPED_TEST_P(FileSystemConformance, NonAsciiNamesRoundTripExactly) {
    auto& files = this->files;
    const std::string folder = this->dir + "\\Ünïcødé 键";
    ASSERT_TRUE(files.CreateFolder(folder));
    ASSERT_TRUE(this->Write(folder + "\\データ.txt", "✓"));
    EXPECT_EQ(Names(SortedListing(files, this->dir + "\\*.*")), (std::vector<std::string>{".", "..", "Ünïcødé 键"}));
    EXPECT_EQ(Names(SortedListing(files, folder + "\\*.*")), (std::vector<std::string>{".", "..", "データ.txt"}));
    EXPECT_EQ(this->Read(folder + "\\データ.txt"), "✓");
    ASSERT_TRUE(files.SetCurrentDir(folder));
    EXPECT_EQ(files.GetCurrentDir(), folder);
}

// Every call but the current directory's works at a path far longer than
// MAX_PATH.
TYPED_TEST_P(FileSystemConformance, PathsBeyondMaxPathWork) {
    auto& files = this->files;
    std::vector<std::string> folders;
    for (std::string path = this->dir; path.size() < 400;) {
        path += "\\" + std::string(60, 'n');
        ASSERT_TRUE(files.CreateFolder(path)) << path.size();
        folders.push_back(path);
    }
    const std::string deep = folders.back();
    ASSERT_TRUE(this->Write(deep + "\\f.txt", "far"));
    EXPECT_EQ(this->Read(deep + "\\f.txt"), "far");
    EXPECT_TRUE(files.SetAttributes(deep + "\\f.txt", kAttrHidden));
    EXPECT_NE(files.GetAttributes(deep + "\\f.txt") & kAttrHidden, 0u);
    EXPECT_TRUE(files.Rename(deep + "\\f.txt", deep + "\\g.txt"));
    EXPECT_TRUE(this->WriteAtomic(deep + "\\g.txt", "again"));
    EXPECT_EQ(Names(SortedListing(files, deep + "\\*.*")), (std::vector<std::string>{".", "..", "g.txt"}));
    EXPECT_EQ(files.FullPathName(deep + "\\x\\..\\g.txt"), deep + "\\g.txt");
    EXPECT_EQ(files.LongPathName(deep + "\\g.txt"), deep + "\\g.txt");
    EXPECT_TRUE(files.DeleteFile(deep + "\\g.txt"));
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) EXPECT_TRUE(files.RemoveFolder(*folder));
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemConformance, FoldersAndFilesAreCreatedListedAndRemoved,
                            RelativePathsFollowTheCurrentDirectory, RenameRefusesAnExistingTarget,
                            ReadOnlyFilesAreNotDeleted, AtomicWritesReplaceWholeOrNotAtAll,
                            WritersAppendPiecesToANewFile,
                            PlainPathsNeedNoExpanding, RecycleBinTakesFilesAndFolders,
                            NonAsciiNamesRoundTripExactly, PathsBeyondMaxPathWork);

}  // namespace kelvora::platform::conformance
