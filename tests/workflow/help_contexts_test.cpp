#include "workflow/help_contexts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kelvora {
namespace {

// One number and one name per control: two controls sharing a number would
// show each other's pop-up.
TEST(HelpContexts, EveryControlHasItsOwnNumberAndATopic) {
    std::set<std::uint32_t> numbers;
    std::set<std::string_view> controls;
    for (const HelpContext& c : HelpContexts()) {
        EXPECT_TRUE(numbers.insert(c.Number).second) << c.Number;
        EXPECT_TRUE(controls.insert(c.Control).second) << c.Control;
        EXPECT_NE(c.Topic.find(".htm"), std::string_view::npos) << c.Control;
        EXPECT_EQ(HelpContextOf(c.Control), c.Number);
    }
    EXPECT_EQ(HelpContexts().size(), 34u);
    EXPECT_EQ(HelpContextOf("sbHexa"), 44u);
    EXPECT_EQ(HelpContextOf("sbString"), 45u);
    EXPECT_EQ(HelpContextOf("btnExport"), 43u);
    EXPECT_EQ(HelpContextOf("lblStatus"), 0u);
}

}  // namespace
}  // namespace kelvora
