// The language files the build puts beside the programs (Translations\*.lng,
// compiled from translations/*.txt): each one says everything the program
// shows, in every window, and nothing that no window or message uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "platform/text.h"
#include "platform/win32/file_system_win.h"
#include "support/shipped_languages_win.h"
#include "translation/code_page.h"
#include "translation/data_file.h"
#include "translation/messages.h"
#include "translation/translator.h"
#include "ui/about_dlg.h"
#include "ui/main_captions.h"
#include "ui/options_dlg.h"
#include "ui/remove_shared_dlg.h"

namespace kelvora {
namespace {

using Texts = std::map<std::string, std::string, NoCaseLess>;  // value name -> English

// Every section a language file holds besides "*SYSTEM*", with the English
// text of each of its values.
std::map<std::string, Texts> ProgramTexts() {
    std::map<std::string, Texts> sections;
    for (const Message* m : kMessageCatalogue) sections["RESOURCESTRING"][m->Id] = m->English;
    for (auto [section, table] : {std::pair{ui::kMainSection, ui::MainCaptions()},
                                  std::pair{ui::kOptionsSection, ui::OptionsTable()},
                                  std::pair{ui::kAboutSection, ui::AboutTable()},
                                  std::pair{ui::kRemoveSharedSection, ui::RemoveSharedTable()}})
        for (const ui::FormRow& c : table)
            if (c.English != nullptr) sections[section][c.ValueName()] = c.English;
    return sections;
}

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t i = text.find(what); i != std::string_view::npos; i = text.find(what, i + what.size())) ++n;
    return n;
}

TEST(ShippedLanguages, EachSaysEverythingTheProgramShowsAndNothingElse) {
    platform::win32::Win32FileSystem files;
    TTranslator translator(files, test::BuildFolder());
    std::vector<std::string> names;
    for (const TLanguage& l : translator.Languages()) names.push_back(l.Name);
    ASSERT_EQ(names, (std::vector<std::string>{"English", "German", "Romanian"})) << translator.TranslationsFolder();

    const std::map<std::string, Texts> program = ProgramTexts();
    for (const TLanguage& language : translator.Languages()) {
        SCOPED_TRACE(language.Name);
        EXPECT_FALSE(language.Flag.Empty());
        TDataFile file = TDataFile::Load(files, translator.TranslationsFolder() + "\\" + language.Name + ".lng");
        const int codePage = CodePageOfCharset(file.ReadInteger("*SYSTEM*", "CHARSET", -1));
        EXPECT_NE(codePage, 0);
        for (const auto& [section, english] : program) {
            SCOPED_TRACE(section);
            std::set<std::string, NoCaseLess> seen;
            EXPECT_TRUE(file.ForEachValue(section, [&](std::string_view name, std::string_view raw) {
                const auto it = english.find(name);
                if (it == english.end()) {
                    ADD_FAILURE() << "no window or message uses " << name;
                    return;
                }
                EXPECT_TRUE(seen.insert(std::string(name)).second) << name << " twice";
                const std::string text = SingleByteToUtf8(raw, codePage);
                if (language.Name == "English") EXPECT_EQ(text, it->second) << name;
                // The program fills the placeholders and the captions keep
                // their underlined key.
                EXPECT_EQ(Count(text, "%s"), Count(it->second, "%s")) << name << ": " << text;
                EXPECT_EQ(Count(text, "&"), Count(it->second, "&")) << name << ": " << text;
            }));
            for (const auto& [name, text] : english)
                if (!seen.contains(name)) ADD_FAILURE() << "missing " << name << " (\"" << text << "\")";
        }
    }
}

}  // namespace
}  // namespace kelvora
