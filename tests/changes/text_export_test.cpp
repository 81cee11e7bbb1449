#include "changes/text_export.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_file_system.h"
#include "support/change_records.h"

namespace kelvora {
namespace {

using test::kHklm;
using test::Rec;

TNodeData Value(TChangeKind kind, std::string keyPath, std::int32_t type, std::string_view oldData,
                std::string_view newData) {
    return Rec(kind, std::move(keyPath), kHklm, type, oldData, newData);
}

std::string Dword(std::uint32_t v) {
    return std::string{static_cast<char>(v & 255), static_cast<char>((v >> 8) & 255),
                       static_cast<char>((v >> 16) & 255), static_cast<char>(v >> 24)};
}

class TextExportTest : public ::testing::Test {
protected:
    void SetUp() override { tree.StartFill(false); }

    void AddFile(TChangeKind kind, const std::string& folder, const std::string& name, const char* oldState,
                 const char* newState) {
        TNodeData d = Rec(kind, folder);
        if (oldState != nullptr) d.SetOldText(oldState);
        if (newState != nullptr) d.SetNewText(newState);
        tree.AddToTree(folder, name, std::move(d));
    }
    void AddReg(TNodeData d, const std::string& name) {
        std::string placement = "HKEY_LOCAL_MACHINE\\" + d.Path;
        tree.AddToTree(placement, name, std::move(d));
    }
    void AddKey(TChangeKind kind, const std::string& parent, const std::string& name) {
        AddReg(Rec(kind, parent, kHklm), name);
    }
    std::string Export(NodeId start = kNoNode, bool hexa = false) {
        auto a = tree.Lock();
        return ExportText("App", "1/2/2026 10:00:00", BuildDocument(a, start, hexa, CellWords::Translated()),
                          MarkWords::Translated());
    }
    NodeId Find(std::initializer_list<std::string_view> names) {
        auto a = tree.Lock();
        NodeId n = a.Root();
        for (std::string_view name : names) n = a.FindChild(n, name);
        return n;
    }

    TSettings settings;
    ChangesTree tree{settings};
};

constexpr const char* kHeading = "'App' changes\r\nKelvora,    1/2/2026 10:00:00\r\n\r\n";

TEST_F(TextExportTest, WholeTreeLayoutMarksAndGrouping) {
    AddFile(ckFileCreated, "C:\\App", "b.exe", nullptr, "10:00 01/02/26 20");
    AddFile(ckFileChanged, "C:\\App", "a.ini", "09:00 01/02/26 5", "10:00 01/02/26 7");
    AddFile(ckFolderCreated, "C:\\App", "Data", nullptr, nullptr);
    AddFile(ckFileCreated, "C:\\App\\Data", "d.dat", nullptr, "10:00 01/02/26 1");
    AddFile(ckFileMovedFrom, "C:\\Old", "m.txt", "08:00 01/02/26 3", nullptr);
    AddFile(ckFileMovedTo, "C:\\New", "m.txt", nullptr, "08:00 01/02/26 3");
    AddKey(ckRegKeyCreated, "Software", "Vendor");
    AddReg(Value(ckRegValueCreated, "Software\\Vendor", 1, "", std::string("it's\0", 5)), "Name");
    AddReg(Value(ckRegValueCreated, "Software\\Vendor", 4, "", Dword(7)), "");
    AddReg(Value(ckRegValueChanged, "Software\\Other", 4, Dword(1), Dword(0xFFFFFFFFu)), "Count");
    AddReg(Value(ckRegValueDeleted, "Software\\Other", 3, std::string("Hi\0\xFF", 4), ""), "Bin");
    AddReg(Value(ckSharedCounterIncremented, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 4, "",
                 Dword(1)),
           "C:\\App\\s.dll");
    tree.FinishFill();

    const std::string expected = std::string(kHeading) +
        "My Computer\r\n"
        "===============\r\n"
        "\r\n"
        "  File System\r\n"
        "  ===============\r\n"
        // Within C:\App: created folder's own line comes after the files.
        "    (FOLDER) C:\\App\r\n"
        "      (+)(FILE) b.exe = 10:00 01/02/26 20 bytes\r\n"
        "      (*)(FILE) a.ini\r\n"
        "        09:00 01/02/26 5 bytes ==> 10:00 01/02/26 7 bytes\r\n"
        "    (+)(FOLDER) C:\\App\\Data\r\n"
        "      (+)(FILE) d.dat = 10:00 01/02/26 1 bytes\r\n"
        "    (FOLDER) C:\\New\r\n"
        "      (MOVED TO)(FILE) m.txt = 08:00 01/02/26 3 bytes\r\n"
        "    (FOLDER) C:\\Old\r\n"
        "      (MOVED FROM)(FILE) m.txt = 08:00 01/02/26 3 bytes\r\n"
        "\r\n"
        "  Registry\r\n"
        "  ===============\r\n"
        "    (+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Vendor\r\n"
        "      (+)(REG VAL) (Default) = 7\r\n"
        "      (+)(REG VAL) Name = 'it''s'\r\n"
        "    (REG KEY) HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\r\n"
        "      (INCREMENTED) (REG VAL) C:\\App\\s.dll = 1 (incremented)\r\n"
        "    (REG KEY) HKEY_LOCAL_MACHINE\\Software\\Other\r\n"
        "      (*)(REG VAL) Count\r\n"
        "        1 ==> -1\r\n"
        "      (-)(REG VAL) Bin = Hi..\r\n";
    EXPECT_EQ(Export(), expected);
    // The root chosen is the whole tree; a second job writes the same again,
    // its first group line included.
    EXPECT_EQ(Export(Find({})), expected);
}

TEST_F(TextExportTest, ScopeOfSectionAndOfOneNode) {
    AddFile(ckFileCreated, "C:\\App", "a.exe", nullptr, "10:00 01/02/26 1");
    AddFile(ckFileCreated, "C:\\App", "b.exe", nullptr, "10:00 01/02/26 2");
    AddReg(Value(ckRegValueCreated, "Software\\V", 1, "", std::string("x\0", 2)), "N");
    tree.FinishFill();

    const NodeId fileSystem = Find({"File System"});
    EXPECT_EQ(Export(fileSystem), std::string(kHeading) +
                                                    "\r\n  File System\r\n  ===============\r\n"
                                                    "    (FOLDER) C:\\App\r\n"
                                                    "      (+)(FILE) a.exe = 10:00 01/02/26 1 bytes\r\n"
                                                    "      (+)(FILE) b.exe = 10:00 01/02/26 2 bytes\r\n");
    // One file: its group line and its item line only.
    EXPECT_EQ(Export(Find({"File System", "C:", "App", "b.exe"})),
              std::string(kHeading) + "    (FOLDER) C:\\App\r\n      (+)(FILE) b.exe = 10:00 01/02/26 2 bytes\r\n");
    // A branch: the walk below it, paths from the top.
    EXPECT_EQ(Export(Find({"Registry", "HKEY_LOCAL_MACHINE", "Software"})),
              std::string(kHeading) + "    (REG KEY) HKEY_LOCAL_MACHINE\\Software\\V\r\n      (+)(REG VAL) N = 'x'\r\n");
}

TEST_F(TextExportTest, EmptySectionShowsItsCaptionAndNothingElse) {
    AddReg(Value(ckRegValueCreated, "Software\\V", 3, "", std::string("\x01\xAB", 2)), "B");
    AddReg(Value(ckRegValueCreated, "Software\\V", 3, "", ""), "Z");
    tree.FinishFill();
    const std::string text = Export(kNoNode, true);
    EXPECT_NE(text.find("\r\n  File System (no changes)\r\n  ===============\r\n\r\n  Registry\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("(+)(REG VAL) B = 01 AB \r\n"), std::string::npos);
    EXPECT_NE(text.find("(+)(REG VAL) Z = (zero length data)\r\n"), std::string::npos);
}

TEST_F(TextExportTest, ExportWritesTheWholeFileOrLeavesTheOldOne) {
    AddFile(ckFileDeleted, "C:\\A", "gone.txt", "10:00 01/02/26 4", nullptr);
    tree.FinishFill();
    platform::memory::MemoryFileSystem files;
    files.AddFile("C:\\out\\App.txt", "old");
    {
        auto a = tree.Lock();
        ASSERT_TRUE(ExportChanges(files, "C:\\out\\App.txt", a, kNoNode, "App", "now", false));
    }
    const std::string text = files.Text("C:\\out\\App.txt");
    EXPECT_EQ(text.rfind("'App' changes\r\nKelvora,    now\r\n", 0), 0u);
    EXPECT_NE(text.find("    (FOLDER) C:\\A\r\n      (-)(FILE) gone.txt = 10:00 01/02/26 4 bytes\r\n"),
              std::string::npos);

    files.SetInUse("C:\\out\\App.txt", true);
    auto a = tree.Lock();
    EXPECT_FALSE(ExportChanges(files, "C:\\out\\App.txt", a, kNoNode, "App", "later", false));
    files.SetInUse("C:\\out\\App.txt", false);
    EXPECT_EQ(files.Text("C:\\out\\App.txt"), text);
}

}  // namespace
}  // namespace kelvora
