// The real main window with the shipped languages beside it, on the real
// registry: the options dialog opened from the window stores what its pages
// show and the next start reads it back; each shipped language reaches every
// text of the window at once, lays out, and survives a restart.
#include <gtest/gtest.h>

#include "kelvora_version.h"

#include <functional>
#include <memory>
#include <string>

#include "platform/dispatcher.h"
#include "platform/win32/win32_platform_win.h"
#include "settings/settings_store.h"
#include "support/gui_win.h"
#include "support/layout_check_win.h"
#include "support/modal_robot_win.h"
#include "support/shipped_languages_win.h"
#include "support/temp_folder_win.h"
#include "translation/messages.h"
#include "ui/about_dlg.h"
#include "ui/main_captions.h"
#include "ui/main_window.h"
#include "ui/options_dlg.h"
#include "ui/remove_shared_dlg.h"

namespace kelvora::ui {
namespace {

using namespace test;

// A program folder with the shipped languages and the settings key of the
// program; every Start is a new start of the program on them.
class MainWindowLanguages : public ::testing::Test {
protected:
    void SetUp() override {
        ExpectAskedDpi();  // HighDpi runs the languages at 120 dpi too
        CopyShippedLanguages(folder_.Path());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnok");
    }
    void TearDown() override {
        window_.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnok");
        SetCurrentDirectoryA("C:\\");
        SetMessageLanguage("", {});
    }

    HWND Start() {
        window_.reset();
        context_ = std::make_unique<AppContext>();
        window_ = std::make_unique<TfrmQorMain>(
            TfrmQorMain::Services{*context_, os_.platform, dispatcher_, folder_.Path() + "\\Kelvora.exe"});
        if (!window_->Create()) return nullptr;
        window_->Show(SW_SHOWNORMAL);
        Pump();
        return window_->Handle();
    }

    // Opens the options dialog with the window's button; step runs on it and
    // closes it.
    void Options(const std::function<void(TdlgQorOptions&)>& step) {
        ModalRobot robot("options dialog", WindowOfClass("TdlgQorOptions"), {[&](HWND dialog) {
                             step(*dynamic_cast<TdlgQorOptions*>(Window::FromHandle(dialog)));
                         }});
        SendMessageA(ChildById(window_->Handle(), idBtnOptions), BM_CLICK, 0, 0);
        Pump();
    }

    TempFolder folder_{"klang"};
    platform::win32::Win32Platform os_;
    platform::Dispatcher dispatcher_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<TfrmQorMain> window_;
};

void ChooseLanguage(TdlgQorOptions& d, std::string_view language) {
    ASSERT_TRUE(d.cmbLanguages.SelectText(language));
    SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(d.cmbLanguages.Id(), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(d.cmbLanguages.Handle()));
}

std::string ColumnHeader(HWND list, int column) {
    char text[256] = {};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = text;
    col.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    return text;
}

TEST_F(MainWindowLanguages, OptionsOkIsStoredAndTheNextStartShowsIt) {
    TSettings seeded;
    seeded.IgnoredKeys.Add("HKEY_CURRENT_USER\\Software\\Noise");
    ASSERT_TRUE(SaveSettings(os_.registry, seeded, folder_.Path()));
    ASSERT_NE(Start(), nullptr);
    const bool deleteKeys = context_->Settings.DeleteKey;
    Options([&](TdlgQorOptions& d) {
        d.edViewer.SetText("wordpad.exe");       // General
        d.lvIgnKeys.Select(0);                   // Scanner
        d.btnRemIgnKey.Click();
        SendMessageA(d.cbStergChei.Handle(), BM_CLICK, 0, 0);  // Uninstaller
        d.btnOk.Click();
    });

    TSettings stored;
    LoadSettings(os_.registry, stored, folder_.Path());
    EXPECT_EQ(stored.Viewer, "wordpad.exe");
    EXPECT_EQ(stored.IgnoredKeys.Count(), 0u);
    EXPECT_EQ(stored.DeleteKey, !deleteKeys);

    ASSERT_NE(Start(), nullptr);
    Options([&](TdlgQorOptions& d) {
        EXPECT_EQ(d.edViewer.Text(), "wordpad.exe");
        EXPECT_EQ(d.lvIgnKeys.Count(), 0);
        EXPECT_EQ(d.cbStergChei.Checked(), !deleteKeys);
        d.btnCancel.Click();
    });
}

TEST_F(MainWindowLanguages, EachShippedLanguageReachesTheWholeWindowAndSurvivesARestart) {
    TSettings scanNothing;
    for (bool* scan : {&scanNothing.ScanHKCR, &scanNothing.ScanHKLM, &scanNothing.ScanHKUS, &scanNothing.ScanWin,
                       &scanNothing.ScanProg, &scanNothing.ScanEntire})
        *scan = false;
    ASSERT_TRUE(SaveSettings(os_.registry, scanNothing, folder_.Path()));
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    const int font = MulDiv(8, static_cast<int>(ScreenDpi()), 72);
    for (const char* language : {"Romanian", "English", "German"}) {
        SCOPED_TRACE(language);
        Options([&](TdlgQorOptions& d) {
            ChooseLanguage(d, language);
            d.btnOk.Click();
        });
        for (const FormRow& c : MainCaptions())
            if (HWND control = ChildById(main, c.Id); control != nullptr && c.English != nullptr)
                EXPECT_EQ(WindowText(control), ShippedText(language, kMainSection, std::string(c.Name) + ".Caption"))
                    << c.Name;
        HWND list = ChildById(main, idLvQorFiles);
        EXPECT_EQ(ColumnHeader(list, 0), ShippedText(language, "RESOURCESTRING", "RS_NAME"));
        for (int column = 0; column < 4; ++column)
            EXPECT_GT(ListView_GetColumnWidth(list, column),
                      ListView_GetStringWidth(list, ColumnHeader(list, column).c_str()) + 12)
                << ColumnHeader(list, column);
        EXPECT_EQ(WindowText(ChildById(main, idLblStatus)),
                  ShippedText(language, "RESOURCESTRING", "RS_ENTER_IDENTIFIER"));
        EXPECT_EQ(TranslateString(RS_EXIT), ShippedText(language, "RESOURCESTRING", "RS_EXIT"));
        EXPECT_EQ(LayoutProblems(ChildById(main, idPnlFirst), font), Problems{});
        EXPECT_EQ(LayoutProblems(main, font), Problems{});
        Screenshot(ShotName((std::string("main_") + language).c_str()).c_str());
        // The dialogs in the same language.
        Options([&](TdlgQorOptions& d) {
            for (int page = 0; page < 3; ++page) {
                d.pcOptions.SetActivePage(page);
                Pump();
                // The dialogs speak in the message font (the main window in Tahoma).
                EXPECT_EQ(LayoutProblems(d.Handle()), Problems{}) << "page " << page;
                Screenshot(ShotName(("options_" + std::string(language) + "_page" + std::to_string(page + 1)).c_str()).c_str());
            }
            d.btnCancel.Click();
        });
        // The About box.
        {
            ModalRobot robot("About box", WindowOfClass("TdlgAboutQor"), {[&](HWND about) {
                                 EXPECT_EQ(WindowText(about), ShippedText(language, kAboutSection, "Caption"));
                                 Problems problems = LayoutProblems(about, font);
                                 std::erase_if(problems, [](const std::string& p) {  // the product's name is larger
                                     return p.starts_with("Static \"Kelvora " KELVORA_VERSION "\" has a font");
                                 });
                                 EXPECT_EQ(problems, Problems{});
                                 Screenshot(ShotName(("about_" + std::string(language)).c_str()).c_str());
                                 PressKey(about, VK_RETURN);
                             }});
            SendMessageA(ChildById(main, idBtnAbout), BM_CLICK, 0, 0);
        }
        // The shared-file question.
        {
            TTranslator translator(os_.files, folder_.Path());
            translator.SetLanguage(language);
            ModalRobot robot("shared-file question", WindowOfClass("TdlgRemoveShared"), {[&](HWND question) {
                                 EXPECT_EQ(WindowText(question), ShippedText(language, kRemoveSharedSection, "Caption"));
                                 EXPECT_EQ(LayoutProblems(question, font), Problems{});
                                 Screenshot(ShotName(("shared_" + std::string(language)).c_str()).c_str());
                                 PressKey(question, VK_ESCAPE);
                             }});
            TdlgRemoveShared question;
            question.FileName = "shared.dll";
            question.Folder = "C:\\Windows\\System32\\";
            EXPECT_EQ(question.Execute(main, translator), IDCANCEL);
        }
    }
    // The other pages in German, with a scan of nothing.
    TWizard& wizard = window_->Wizard();
    auto page = [&](int id, const char* shot) {
        ASSERT_TRUE(PumpUntil([&] { return !wizard.WorkerRunning(); }));
        EXPECT_EQ(LayoutProblems(ChildById(main, id), font), Problems{}) << shot;
        Screenshot(ShotName(shot).c_str());
    };
    wizard.edIdentifChange("Sprache");
    wizard.btnNextClick();
    page(idPnlTargets, "main_German_targets");
    wizard.TargetClick(tgOthers, true);
    wizard.btnNextClick();
    page(idPnlRun, "main_German_run");
    wizard.RunModeClick(TRunMode::rbStarted);
    wizard.btnNextClick();
    page(idPnlTree, "main_German_tree");

    main = Start();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(ChildById(main, idBtnNext)), ShippedText("German", kMainSection, "btnNext.Caption"));
    EXPECT_EQ(TranslateString(RS_EXIT), ShippedText("German", "RESOURCESTRING", "RS_EXIT"));
}

}  // namespace
}  // namespace kelvora::ui
