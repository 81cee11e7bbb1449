#include "export/json_export.h"
#include "export/undo_package.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "export/change_walk.h"
#include "export/json_text.h"
#include "export/export_fixture.h"
#include "support/json_reader.h"

namespace kelvora {
namespace {

using test::Json;
using test::JsonReader;

std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// The bytes a side of the export stands for, as the tree keeps them.
std::string SideBytes(const Json& side) {
    if (side.Has("hex")) return FromHex(side["hex"].text);
    if (side.Has("text")) return side["text"].text + std::string(1, '\0');
    if (side.Has("strings")) {
        std::string out;
        for (const Json& s : side["strings"].items) out += s.text + std::string(1, '\0');
        return out + std::string(1, '\0');
    }
    if (side.Has("time")) return side["time"].text + " " + std::to_string(static_cast<long long>(side["size"].number)) + std::string(1, '\0');
    return side["text"].text + std::string(1, '\0');
}

std::string BlockBytes(const DataBlock& block, std::int32_t size) {
    return block.Present() ? std::string(reinterpret_cast<const char*>(block.Get()), static_cast<std::size_t>(size))
                           : std::string();
}

class JsonExportTest : public test::ExportFixture {
protected:
    std::string Export(ChangesTree& tree) {
        std::string text;
        std::string all;
        const auto access = tree.Lock();
        WriteJson(access, kNoNode, os.collation, {"App", "2026-12-08T01:02:03", "Kelvora 1.0.0"}, text,
                  [&](std::string& piece) {
                      all += piece;
                      piece.clear();
                  });
        return all + text;
    }
};

TEST_F(JsonExportTest, EveryKindRoundTripsAgainstTheArchive) {
    AddEverything();
    SaveAndLoad();
    const Json doc = JsonReader::Parse(Export(loaded));
    EXPECT_EQ(doc["format"].text, "kelvora-changes");
    EXPECT_EQ(doc["version"].number, kJsonExportVersion);
    EXPECT_EQ(doc["identifier"].text, "App");

    const auto access = loaded.Lock();
    std::size_t i = 0;
    std::set<std::int32_t> kinds;
    ForEachChange(access, kNoNode, os.collation, [&](NodeId node) {
        const TNodeData& d = access.Data(node);
        ASSERT_LT(i, doc["changes"].items.size());
        const Json& c = doc["changes"].items[i++];
        SCOPED_TRACE(d.Name);
        kinds.insert(d.Kind);
        EXPECT_EQ(c["code"].number, d.Kind);
        EXPECT_EQ(c["kind"].text, JsonKindName(d.Kind));
        EXPECT_EQ(c["name"].text, d.Name);
        EXPECT_EQ(c["path"].text, std::string_view(d.Path));
        if (IsRegistryKind(d.Kind)) {
            EXPECT_EQ(c["root"].text, RootKeyName(d.RootKey));
        } else {
            EXPECT_TRUE(c["root"].IsNull());
        }
        EXPECT_EQ(c["before"].IsNull(), !d.OldData.Present() && d.Kind != ckRegValueChanged && d.Kind != ckRegValueDeleted);
        if (!c["before"].IsNull()) {
            EXPECT_EQ(SideBytes(c["before"]), BlockBytes(d.OldData, d.OldSize));
        }
        if (!c["after"].IsNull()) {
            EXPECT_EQ(SideBytes(c["after"]), BlockBytes(d.NewData, d.NewSize));
        }
        EXPECT_EQ(c["checked"].boolean, access.IsChecked(node));
    });
    EXPECT_EQ(i, doc["changes"].items.size());
    EXPECT_EQ(kinds.size(), 13u);  // every kind an archive holds
}

// Activity keeps its reason through the archive, by a name that does not
// depend on the language; the setup's changes have none. Neither the undo
// package of the loaded tree (activity loads unchecked) nor that of a tree
// without check boxes undoes activity.
TEST_F(JsonExportTest, ActivityReasonsAndTheUndoPackage) {
    AddEverything();
    MarkActivity({{"a.ini", arOutsideWindow}, {"Count", arVolatileLocation}, {"Vendor", arLearned}});
    SaveAndLoad();
    std::map<std::string, std::string> reasons;
    const Json doc = JsonReader::Parse(Export(loaded));
    for (const Json& c : doc["changes"].items)
        reasons[c["name"].text] = c["reason"].IsNull() ? "null" : c["reason"].text;
    EXPECT_EQ(reasons["a.ini"], "outside-setup-window");
    EXPECT_EQ(reasons["Count"], "volatile-location");
    EXPECT_EQ(reasons["Vendor"], "learned");
    EXPECT_EQ(reasons["d.txt"], "null");
    for (ChangesTree* tree : {&loaded, &source}) {
        std::set<std::string> names;
        for (const UndoItem& item : CollectUndoItems(tree->Lock(), os.collation, context.Settings))
            names.insert(item.Name);
        EXPECT_TRUE(names.contains("Qword"));
        EXPECT_FALSE(names.contains("a.ini") || names.contains("Count") || names.contains("Vendor"));
    }
}

TEST_F(JsonExportTest, ValueTypesAndSidesByName) {
    AddEverything();
    const Json doc = JsonReader::Parse(Export(source));
    std::map<std::string, Json> byName;
    for (const Json& c : doc["changes"].items) byName[c["name"].text] = c;
    EXPECT_EQ(byName["Expand"]["after"]["type"].text, "REG_EXPAND_SZ");
    EXPECT_EQ(byName["Expand"]["after"]["text"].text, "%SystemRoot%\\\xE6\x96\x87");
    EXPECT_EQ(byName["Multi"]["after"]["strings"].items.size(), 2u);
    EXPECT_EQ(byName["Qword"]["after"]["type"].text, "REG_QWORD");
    EXPECT_EQ(byName["Qword"]["after"]["hex"].text, "0102030405060708");
    EXPECT_EQ(byName["None"]["after"]["hex"].text, "");
    EXPECT_EQ(byName["Count"]["after"]["number"].number, 4294967295.0);
    // The type changed with the data: each side has its own.
    EXPECT_EQ(byName["Retyped"]["before"]["type"].text, "REG_SZ");
    EXPECT_EQ(byName["Retyped"]["after"]["type"].text, "REG_DWORD");
    EXPECT_EQ(byName["a.ini"]["before"]["time"].text, "09:00 01/02/26");
    EXPECT_EQ(byName["a.ini"]["after"]["size"].number, 7);
    EXPECT_EQ(byName["Vendor"]["fullPath"].text, "HKEY_LOCAL_MACHINE\\Software\\Vendor");
    EXPECT_EQ(byName["d.txt"]["fullPath"].text, "C:\\App\\d.txt");
    EXPECT_TRUE(byName["d.txt"]["checked"].IsNull());  // install mode: no check boxes
}

TEST(JsonText, StringsAndTimes) {
    std::string out;
    AppendJsonString(out, std::string("a\"\\\n\x01\xFF\xC3\xA9", 8));
    EXPECT_EQ(out, "\"a\\\"\\\\\\n\\u0001\xEF\xBF\xBD\xC3\xA9\"");
    EXPECT_EQ(IsoDateTime(0.0), "1899-12-30T00:00:00");
    EXPECT_EQ(IsoDateTime(46364.5), "2026-12-08T12:00:00");
}

TEST_F(JsonExportTest, WritesTheFileAndFailsWhereItCannot) {
    AddEverything();
    os.files.CreateFolder("C:\\Out");
    const auto access = source.Lock();
    EXPECT_TRUE(ExportJson(os.files, os.collation, "C:\\Out\\app.json", access, kNoNode, {"App", "x", "y"}));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(os.files.ReadFile("C:\\Out\\app.json", bytes));
    EXPECT_NO_THROW(JsonReader::Parse(std::string(bytes.begin(), bytes.end())));
    EXPECT_FALSE(ExportJson(os.files, os.collation, "C:\\Missing\\app.json", access, kNoNode, {"App", "x", "y"}));
}

}  // namespace
}  // namespace kelvora
