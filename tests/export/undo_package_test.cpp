#include "export/undo_package.h"

#include <gtest/gtest.h>

#include "export/export_fixture.h"

namespace kelvora {
namespace {

class UndoPackageTest : public test::ExportFixture {
protected:
    void SetUp() override {
        AddEverything();
        SaveAndLoad();
        const auto access = loaded.Lock();
        items = CollectUndoItems(access, os.collation, context.Settings);
        info = {"App", "8/12/2026 01:02:03", "Kelvora 1.0.0"};
    }
    static bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }
    std::vector<UndoItem> items;
    UndoPackageInfo info;
};

TEST_F(UndoPackageTest, RegFileHoldsEveryTypeExactlyInTheUninstallersOrder) {
    const std::string reg = RegFileText(items, info);
    EXPECT_TRUE(reg.starts_with("Windows Registry Editor Version 5.00\r\n"));
    // Created keys deepest first; the values inside them go with them.
    const auto sub = reg.find("[-HKEY_LOCAL_MACHINE\\Software\\Vendor\\Sub \"q\" %x%]");
    const auto vendor = reg.find("[-HKEY_LOCAL_MACHINE\\Software\\Vendor]");
    ASSERT_NE(sub, std::string::npos);
    ASSERT_NE(vendor, std::string::npos);
    EXPECT_LT(sub, vendor);
    EXPECT_FALSE(Has(reg, "[HKEY_LOCAL_MACHINE\\Software\\Vendor]"));
    // Created values are deleted before the keys go.
    EXPECT_LT(reg.find("\"Text \\\"quoted\\\" \\\\ back\"=-"), vendor);
    EXPECT_TRUE(Has(reg, "\"Qword\"=-"));
    // Changed values get their data before, under their type before.
    EXPECT_TRUE(Has(reg, "\"Count\"=dword:00000001\r\n"));
    EXPECT_TRUE(Has(reg, "\"Retyped\"=\"7\"\r\n"));
    // Deleted values and keys come back.
    EXPECT_TRUE(Has(reg, "\"Bin ^&!%\"=hex:48,69,00,ff\r\n"));
    EXPECT_TRUE(Has(reg, "[HKEY_CURRENT_USER\\Software\\Gone \xC3\xBC]"));
    // Counters are the script's.
    EXPECT_FALSE(Has(reg, "SharedDLLs"));
}

TEST(RegFileData, TextTypesAreUtf16AndTheRestRawBytes) {
    auto item = [](std::int32_t type, std::string_view data, std::string name = "v") {
        UndoItem i;
        i.Kind = ckRegValueDeleted;
        i.RootKey = 0x80000001u;
        i.Path = "K";
        i.Name = std::move(name);
        i.ValueType = type;
        i.OldData.assign(data.begin(), data.end());
        return i;
    };
    const std::string reg = RegFileText({item(2, std::string("%A%\xE6\x96\x87\0", 7)), item(7, std::string("a\0b\0\0", 5), "m"),
                                         item(11, test::Bytes({1, 0, 0, 0, 0, 0, 0, 0}), "q"), item(0, {}, "n"),
                                         item(4, "\x01\x02", "short"), item(1, std::string("two\r\nlines\0", 11), "s"),
                                         item(1, std::string("plain\0", 6), ""), item(0x1234, "\xAB", "odd")},
                                        {"App", "now", "Kelvora"});
    EXPECT_TRUE(reg.find("\"v\"=hex(2):25,00,41,00,25,00,87,65,00,00\r\n") != std::string::npos) << reg;
    EXPECT_TRUE(reg.find("\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n") != std::string::npos);
    EXPECT_TRUE(reg.find("\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n") != std::string::npos);
    EXPECT_TRUE(reg.find("\"n\"=hex(0):\r\n") != std::string::npos);
    EXPECT_TRUE(reg.find("\"short\"=hex(4):01,02\r\n") != std::string::npos);
    EXPECT_TRUE(reg.find("\"s\"=hex(1):74,00,77,00,6f,00,0d,00,0a,00") != std::string::npos);
    EXPECT_TRUE(reg.find("@=\"plain\"\r\n") != std::string::npos);
    EXPECT_TRUE(reg.find("\"odd\"=hex(1234):ab\r\n") != std::string::npos);

    // Long data continues on indented lines, as the Registry Editor writes it.
    const std::string wide = RegFileText({item(3, std::string(100, 'Z'), "blob")}, {"App", "now", "Kelvora"});
    EXPECT_TRUE(wide.find(",\\\r\n  5a,") != std::string::npos);
    const std::string file = ToUtf16File("a\xF0\x9F\x98\x80");
    EXPECT_EQ(file, std::string("\xFF\xFE" "a\0\x3D\xD8\x00\xDE", 8));
}

TEST_F(UndoPackageTest, ScriptQuotesEveryNameAndGoesDeepestFirst) {
    const std::string cmd = UndoScriptText(items, info);
    EXPECT_TRUE(Has(cmd, "chcp 65001 >nul\r\n"));
    EXPECT_TRUE(Has(cmd, "DisableDelayedExpansion"));
    EXPECT_TRUE(Has(cmd, "set \"P=C:\\App\\Data 100%%\\f & g^h!i \xE6\x96\x87.txt\"\r\nset \"U=1\"\r\nset \"L=\"\r\ncall :file\r\n"));
    const auto deep = cmd.find("set \"P=C:\\App\\Data 100%%\\Deep\"");
    const auto data = cmd.find("set \"P=C:\\App\\Data 100%%\"\r\nset \"U=\"\r\nset \"L=\"\r\ncall :folder");
    ASSERT_NE(deep, std::string::npos);
    ASSERT_NE(data, std::string::npos);
    EXPECT_LT(deep, data);
    EXPECT_LT(cmd.find("call :file"), deep);
    // A raised DWORD counter: lowered while the installation is there; a
    // text counter the setup created: only while it holds what was left.
    EXPECT_TRUE(Has(cmd, "set \"P=C:\\Common\\a & b%%.dll\"\r\nset \"U=\"\r\nset \"L=\"\r\nset \"D=1\"\r\nset \"E=\"\r\n"));
    EXPECT_TRUE(Has(cmd, "set \"P=C:\\Common\\text.dll\"\r\nset \"U=\"\r\nset \"L=\"\r\nset \"D=2\"\r\nset \"E=2\"\r\nset \"EL=0\"\r\n"));
    EXPECT_TRUE(Has(cmd, "reg query \"HKEY_LOCAL_MACHINE\\Software\\Vendor\" >nul 2>&1\r\nif not errorlevel 1 set \"PRESENT=1\""));
    EXPECT_TRUE(Has(cmd, "exit /b %FAILED%"));
    // Deleted, changed and moved files are not the package's.
    EXPECT_FALSE(Has(cmd, "a.ini"));
    EXPECT_FALSE(Has(cmd, "m.txt"));
    for (std::size_t at = cmd.find('\n'); at != std::string::npos; at = cmd.find('\n', at + 1)) {
        ASSERT_EQ(cmd[at - 1], '\r');
    }
}

TEST_F(UndoPackageTest, OnlyCheckedChangesOfPhasesThatAreOn) {
    {
        auto access = loaded.Lock();
        access.SetBranchChecked(access.FileSystem(), false);
    }
    context.Settings.DeleteKey = false;
    const auto access = loaded.Lock();
    const auto some = CollectUndoItems(access, os.collation, context.Settings);
    for (const UndoItem& item : some) {
        EXPECT_TRUE(IsRegistryKind(item.Kind));
        EXPECT_NE(item.Kind, ckRegKeyCreated);
    }
    EXPECT_FALSE(some.empty());
}

TEST_F(UndoPackageTest, LongPathsTakeTheExtendedForm) {
    UndoItem file;
    file.Kind = ckFileCreated;
    file.Path = "C:\\" + std::string(150, 'L') + "\\" + std::string(120, 'M');
    file.Name = "n.txt";
    const std::string cmd = UndoScriptText({file}, info);
    EXPECT_TRUE(Has(cmd, "set \"P=\\\\?\\C:\\LLL"));
    EXPECT_TRUE(Has(cmd, "n.txt\"\r\nset \"U=\"\r\nset \"L=1\"\r\ncall :file"));
    os.files.CreateFolder("C:\\Out");
    ASSERT_TRUE(WriteUndoPackage(os.files, "C:\\Out", items, info));
    EXPECT_TRUE(os.files.FileExists("C:\\Out\\App-undo.reg"));
    EXPECT_TRUE(os.files.FileExists("C:\\Out\\App-undo.cmd"));
    EXPECT_FALSE(WriteUndoPackage(os.files, "C:\\Missing", items, info));
}

}  // namespace
}  // namespace kelvora
