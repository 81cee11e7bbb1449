#include "translation/translator.h"

#include <gtest/gtest.h>

#include "translation/language_files.h"
#include "translation/messages.h"

namespace kelvora {
namespace {

using testing::AddLanguage;
using testing::kProgramFolder;

constexpr std::string_view kGerman =
    "[*SYSTEM*]\nCHARSET = 0\nFLAG = flag horizontal #000000 #DD0000 #FFCE00\n"
    "[RESOURCESTRING]\nRS_OK = \"Gut\"\nRS_BYTES = \" Bytes (groß)\"\n"
    "[frmTest]\nCaption = \"Prüfung\"\nBTNNEXT.caption = \"&Weiter\"\nbtnNext.Font = \"Arial\"\n"
    "lblGone.Caption = \"x\"\nodSetup.Title = \"Suchen\"\nlblTranslatedBy1.Caption = \"Übersetzt\"\n";
constexpr std::string_view kRomanian =
    "[*SYSTEM*]\nCHARSET = 238\n[RESOURCESTRING]\nRS_OK = \"Bine\"\n"
    "[frmTest]\nbtnNext.Caption = \"Înainte\"\nlblTranslatedBy1.Caption = \"Tradus de Ştefan\"\n";

class Translator : public ::testing::Test {
protected:
    Translator() {
        AddLanguage(files, "German", kGerman);
        AddLanguage(files, "romana", kRomanian);
        files.AddFile(std::string(kProgramFolder) + "\\Translations\\Notes.lngx", "not a language");
        files.AddFolder(std::string(kProgramFolder) + "\\Translations\\Folder.lng");
    }
    void TearDown() override { SetMessageLanguage("", {}); }

    // A window with a title, a button, a label and a file dialog's title.
    TFormTexts Form() {
        TFormTexts form("frmTest");
        form.SetTitle = [this](std::string_view t) { shown["title"] = t; };
        form.SetCharset = [this](int c) { charset = c; };
        for (const char* name : {"btnNext", "lblTranslatedBy1"})
            form.Add(name, "Caption", "", [this, name](std::string_view t) { shown[name] = t; });
        form.Add("odSetup", "Title", "Search", [this](std::string_view t) { shown["odSetup"] = t; });
        return form;
    }

    platform::memory::MemoryFileSystem files;
    std::map<std::string, std::string> shown;
    int charset = -1;
};

TEST_F(Translator, FindsTheLanguageFilesSortedWithTheirFlags) {
    TTranslator t(files, kProgramFolder);
    EXPECT_EQ(t.TranslationsFolder(), "C:\\Kelvora\\Translations");
    ASSERT_EQ(t.Languages().size(), 2u);
    EXPECT_EQ(t.Languages()[0].Name, "German");
    EXPECT_EQ(t.Languages()[1].Name, "romana");
    const TPicture& flag = t.GetFlag("GERMAN");
    ASSERT_EQ(flag.Width, 33);
    EXPECT_EQ(flag.Pixels[10 * 33 + 10], 0xDD0000u);
    EXPECT_TRUE(t.GetFlag("romana").Empty());
    EXPECT_TRUE(t.GetFlag("Klingon").Empty());
    EXPECT_EQ(t.CurrentLanguage(), "");
    EXPECT_EQ(t.Charset(), kDefaultCharset);
}

TEST_F(Translator, SetLanguageTakesTheNamedOrTheFirstLanguageAndItsMessages) {
    TTranslator t(files, kProgramFolder);
    t.SetLanguage("Romana");
    EXPECT_EQ(t.CurrentLanguage(), "Romana");
    EXPECT_EQ(t.Charset(), 238);
    EXPECT_EQ(TranslateString(RS_OK), "Bine");
    EXPECT_EQ(TranslateString(RS_BYTES), " bytes");  // not translated: English

    t.SetLanguage("English");  // not there: the first language
    EXPECT_EQ(t.CurrentLanguage(), "German");
    EXPECT_EQ(t.Charset(), 0);
    EXPECT_EQ(TranslateString(RS_OK), "Gut");
    EXPECT_EQ(TranslateString(RS_BYTES), " Bytes (groß)");

    platform::memory::MemoryFileSystem empty;
    TTranslator none(empty, kProgramFolder);
    none.SetLanguage("German");
    EXPECT_EQ(none.CurrentLanguage(), "");
    EXPECT_EQ(MessageLanguage(), "German");  // left as it was
}

TEST_F(Translator, TranslatesAWindowOrOneComponent) {
    TTranslator t(files, kProgramFolder);
    int translated = 0;
    t.OnTranslate = [&](const TFormTexts& form) {
        EXPECT_EQ(form.Section(), "frmTest");
        ++translated;
    };
    TFormTexts form = Form();
    t.TranslateForm(form);  // no language yet
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(translated, 0);

    t.SetLanguage("German");
    t.TranslateForm(form);
    EXPECT_EQ(shown, (std::map<std::string, std::string>{{"title", "Prüfung"},
                                                          {"btnNext", "&Weiter"},
                                                          {"odSetup", "Suchen"},
                                                          {"lblTranslatedBy1", "Übersetzt"}}));
    EXPECT_EQ(charset, 0);
    EXPECT_EQ(translated, 1);

    // The options dialog shows another language's credits alone, without
    // switching to it.
    shown.clear();
    charset = -1;
    t.TranslateForm(form, "LBLTRANSLATEDBY1", "romana");
    EXPECT_EQ(shown, (std::map<std::string, std::string>{{"lblTranslatedBy1", "Tradus de Ştefan"}}));
    EXPECT_EQ(charset, -1);
    EXPECT_EQ(t.Charset(), 0);
    EXPECT_EQ(translated, 2);
}

TEST_F(Translator, ADamagedOrVanishedFileLeavesEnglish) {
    TTranslator t(files, kProgramFolder);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(files.ReadFile(testing::LanguagePath("German"), bytes));
    bytes.resize(bytes.size() - 3);  // the window's section runs past the end
    for (std::size_t i = 0; i < 4; ++i) bytes[i] ^= 0xFF;  // and the first mark is wrong
    files.AddFile(testing::LanguagePath("German"), {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    files.DeleteFile(testing::LanguagePath("romana"));

    for (const char* language : {"German", "romana"}) {
        SCOPED_TRACE(language);
        t.SetLanguage(language);
        EXPECT_EQ(t.CurrentLanguage(), language);
        EXPECT_EQ(t.Charset(), kDefaultCharset);
        EXPECT_EQ(TranslateString(RS_OK), "Ok");
        shown.clear();
        TFormTexts form = Form();
        t.TranslateForm(form);
        EXPECT_EQ(shown.count("btnNext"), 0u);
    }
    EXPECT_FALSE(files.Exists(testing::LanguagePath("romana")));
}

}  // namespace
}  // namespace kelvora
