// The forms' tables: one help context number per control across all forms
// (two controls sharing one would show each other's pop-up), each with a
// topic of the help file, and one row per identifier and name in a form.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/framework/form_table.h"
#include "ui/main_captions.h"
#include "ui/options_dlg.h"

namespace kelvora::ui {
namespace {

TEST(FormTables, EveryHelpContextIsItsControlsAloneWithATopic) {
    std::set<std::uint32_t> numbers;
    for (std::span<const FormRow> table : {MainCaptions(), OptionsTable()}) {
        std::set<int> ids;
        std::set<std::string> names;
        for (const FormRow& row : table) {
            EXPECT_TRUE(row.Id == 0 || ids.insert(row.Id).second) << row.Name;
            EXPECT_TRUE(names.insert(row.ValueName()).second) << row.Name;
            if (row.Help == 0) continue;
            EXPECT_NE(row.Id, 0) << row.Name;
            EXPECT_TRUE(numbers.insert(row.Help).second) << row.Name << " " << row.Help;
            EXPECT_NE(row.Topic.find(".htm"), std::string_view::npos) << row.Name;
        }
    }
    EXPECT_EQ(numbers.size(), 58u);
    // Each display toggle and Export has a pop-up of its own.
    EXPECT_EQ(RowOf(MainCaptions(), idSbHexa)->Help, 44u);
    EXPECT_EQ(RowOf(MainCaptions(), idSbString)->Help, 45u);
    EXPECT_EQ(RowOf(MainCaptions(), idBtnExport)->Help, 43u);
}

}  // namespace
}  // namespace kelvora::ui
