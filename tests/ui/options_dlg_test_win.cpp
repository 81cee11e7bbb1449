// The options dialog on the real registry (a scratch key) and file system,
// driven by a robot: what it shows, what OK stores and saves, what Cancel
// leaves alone, the language list and the log buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/win32/win32_platform_win.h"
#include "support/gui_win.h"
#include "support/modal_robot_win.h"
#include "support/temp_folder_win.h"
#include "tools/lngc/language_compiler.h"
#include "translation/messages.h"
#include "ui/context_help.h"
#include "ui/options_dlg.h"

namespace kelvora::ui {
namespace {

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = "Software\\Varnok\\KelvoraOptionsTest" + std::to_string(GetCurrentProcessId());
        const std::string translations = folder_.Path() + "\\Translations";
        CreateDirectoryA(translations.c_str(), nullptr);
        WriteFile(translations + "\\English.lng",
                  lngc::CompileLanguage("[*SYSTEM*]\nCHARSET = 0\n[dlgQorOptions]\n"
                                        "lblTranslatedBy1.Caption = \"Built in\"\n"));
        WriteFile(translations + "\\Deutsch.lng",
                  lngc::CompileLanguage("[*SYSTEM*]\nCHARSET = 0\nFLAG = flag horizontal #000000 #DD0000 #FFCE00\n"
                                        "[RESOURCESTRING]\nRS_CLEAR_LOG = \"Protokoll löschen ?\"\n"
                                        "[dlgQorOptions]\nCaption = \"Optionen\"\n"
                                        "lblTranslatedBy1.Caption = \"Übersetzt von\"\n"
                                        "lblTranslatedBy2.Caption = \"Jemand\"\n"));
        translator_ = std::make_unique<TTranslator>(os_.files, folder_.Path());
        translator_->SetLanguage("English");
        context_.ProgramFolder = folder_.Path();
        context_.Settings.ExcludedFolders.Add("D:\\Data");
        context_.Settings.ExcludedFolders.Add(UpperAscii(folder_.Path()));
        context_.Settings.IgnoredKeys.Add("HKEY_CURRENT_USER\\Software\\Noise");
        ASSERT_TRUE(host_.Create());
    }
    void TearDown() override {
        os_.registry.DeleteKey(platform::kCurrentUser, key_);
        SetMessageLanguage("", {});
    }

    // Opens the dialog while the robot runs the steps on it.
    bool Run(std::vector<std::function<void(TdlgQorOptions&)>> steps, ContextHelp* help = nullptr) {
        TdlgQorOptions dialog({context_, os_.platform, *translator_, help, key_});
        std::vector<test::ModalRobot::Step> robotSteps;
        for (auto& step : steps) robotSteps.push_back([&dialog, step](HWND) { step(dialog); });
        test::ModalRobot robot("options dialog", test::WindowOfClass("TdlgQorOptions"), std::move(robotSteps));
        return dialog.Execute(host_.Handle());
    }

    bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    test::TempFolder folder_{"kopt"};
    platform::win32::Win32Platform os_;
    AppContext context_;
    std::unique_ptr<TTranslator> translator_;
    test::HostWindow host_;
    std::string key_;
};

void ClickBox(CheckBox& box) { SendMessageA(box.Handle(), BM_CLICK, 0, 0); }

// Chooses an item of a combo box as the user does: the list tells its parent.
void Choose(OwnerDrawCombo& combo, std::string_view item) {
    ASSERT_TRUE(combo.SelectText(item));
    SendMessageA(GetParent(combo.Handle()), WM_COMMAND, MAKEWPARAM(combo.Id(), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo.Handle()));
}

TEST_F(OptionsDialog, OkStoresAndSavesWhatThePagesShow) {
    const bool ok = Run({
        [&](TdlgQorOptions& d) {
            EXPECT_EQ(test::WindowText(d.Handle()), "Options");
            EXPECT_EQ(d.seFontSize.Value(), 8);
            EXPECT_EQ(d.edViewer.Text(), "notepad.exe");
            EXPECT_EQ(d.cmbLanguages.Count(), 2);
            EXPECT_EQ(d.cmbLanguages.Item(d.cmbLanguages.ItemIndex()), "English");
            ASSERT_EQ(d.lvExFolders.Count(), 1);  // the program's folder is not shown
            EXPECT_EQ(d.lvExFolders.Cell(0, 0), "D:\\Data");
            EXPECT_TRUE(d.cbStergFisiere.Checked() && d.cbUseRecycled.Checked() && d.cbUseRecycled.Enabled());
            EXPECT_TRUE(d.cbErrors.Checked() && !d.cbWarnings.Checked() && !d.cbOk.Checked());
            EXPECT_FALSE(d.btnViewLog.Enabled() || d.btnClearLog.Enabled());  // no log file
            EXPECT_FALSE(d.btnRemIgnKey.Enabled());
            for (int page = 2; page >= 0; --page) {
                d.pcOptions.SetActivePage(page);
                test::Screenshot(("options-page" + std::to_string(page + 1)).c_str());
            }

            d.edViewer.SetText("wordpad.exe");
            d.seFontSize.SetValue(12);
            ClickBox(d.cbStergFisiere);
            ClickBox(d.cbWarnings);
            d.lvIgnKeys.Select(0);
            Choose(d.cmbLanguages, "Deutsch");
        },
        [&](TdlgQorOptions& d) {
            // The credits speak the chosen language; the rest waits for OK.
            EXPECT_EQ(d.lblTranslatedBy1.Text(), "Übersetzt von");
            EXPECT_EQ(d.lblTranslatedBy2.Text(), "Jemand");
            EXPECT_EQ(test::WindowText(d.Handle()), "Options");
            EXPECT_FALSE(d.cbUseRecycled.Enabled());
            EXPECT_TRUE(d.cbUseRecycled.Checked());
            ASSERT_TRUE(d.btnRemIgnKey.Enabled());
            d.btnRemIgnKey.Click();
            EXPECT_EQ(d.lvIgnKeys.Count(), 0);
            d.btnOk.Click();
        },
    });
    ASSERT_TRUE(ok);
    const TSettings& s = context_.Settings;
    EXPECT_EQ(s.Viewer, "wordpad.exe");
    EXPECT_EQ(s.ChangesTreeFontSize, 12);
    EXPECT_FALSE(s.DeleteFiles);
    EXPECT_TRUE(s.UseRecycled);
    EXPECT_EQ(s.LogLevel, 3);
    EXPECT_EQ(s.IgnoredKeys.Count(), 0u);
    EXPECT_EQ(s.Language, "Deutsch");
    EXPECT_EQ(translator_->CurrentLanguage(), "Deutsch");
    EXPECT_EQ(TranslateString(RS_CLEAR_LOG), "Protokoll löschen ?");

    TSettings stored;
    LoadSettings(os_.registry, stored, "C:\\Elsewhere", key_);
    EXPECT_EQ(stored.Viewer, "wordpad.exe");
    EXPECT_EQ(stored.LogLevel, 3);
    EXPECT_EQ(stored.Language, "Deutsch");
    EXPECT_EQ(stored.ExcludedFolders.Items(), (std::vector<std::string>{"C:\\Elsewhere", "D:\\Data"}));
}

// Every installed family once, in alphabetical order; a stored font that is
// not installed shows as the font that the tree draws in its place.
TEST_F(OptionsDialog, TheFontListHasEveryFamilySortedAndTheFontInUse) {
    context_.Settings.ChangesTreeFont = "Kelvora No Such Font";
    const bool ok = Run({[&](TdlgQorOptions& d) {
        d.cmbTreeFont.Focus();
        SendMessageA(d.cmbTreeFont.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        test::Pump();
        test::Screenshot("options-font-list");
        SendMessageA(d.cmbTreeFont.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
        std::vector<std::string> faces;
        for (int i = 0; i < d.cmbTreeFont.Count(); ++i) faces.push_back(d.cmbTreeFont.Item(i));
        ASSERT_GT(faces.size(), 3u);
        for (std::size_t i = 1; i < faces.size(); ++i)
            EXPECT_LT(lstrcmpiA(faces[i - 1].c_str(), faces[i].c_str()), 0) << faces[i - 1] << " / " << faces[i];
        // The families the system reports, each of them listed.
        HDC dc = GetDC(nullptr);
        LOGFONTA any{};
        any.lfCharSet = DEFAULT_CHARSET;
        std::vector<std::string> families;
        EnumFontFamiliesExA(dc, &any, [](const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM list) -> int {
            if (font->lfFaceName[0] != '@') reinterpret_cast<std::vector<std::string>*>(list)->push_back(font->lfFaceName);
            return 1;
        }, reinterpret_cast<LPARAM>(&families), 0);
        // The face drawn in place of the missing one.
        LOGFONTA missing{};
        missing.lfCharSet = DEFAULT_CHARSET;
        lstrcpyA(missing.lfFaceName, "Kelvora No Such Font");
        HFONT font = CreateFontIndirectA(&missing);
        HGDIOBJ old = SelectObject(dc, font);
        char used[LF_FACESIZE] = {};
        GetTextFaceA(dc, LF_FACESIZE, used);
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(nullptr, dc);
        for (const std::string& family : families)
            EXPECT_TRUE(std::find(faces.begin(), faces.end(), family) != faces.end()) << family;
        ASSERT_GE(d.cmbTreeFont.ItemIndex(), 0) << "no font selected";
        EXPECT_EQ(d.cmbTreeFont.Item(d.cmbTreeFont.ItemIndex()), used);
        d.btnCancel.Click();
    }});
    EXPECT_FALSE(ok);
}

TEST_F(OptionsDialog, CancelStoresNothing) {
    const TSettings before = context_.Settings;
    const bool ok = Run({[&](TdlgQorOptions& d) {
        d.edViewer.SetText("wordpad.exe");
        ClickBox(d.cbErrors);
        Choose(d.cmbLanguages, "Deutsch");
        test::PressKey(d.Handle(), VK_ESCAPE);
    }});
    EXPECT_FALSE(ok);
    EXPECT_EQ(context_.Settings.Viewer, before.Viewer);
    EXPECT_EQ(context_.Settings.LogLevel, before.LogLevel);
    EXPECT_EQ(context_.Settings.Language, before.Language);
    EXPECT_EQ(translator_->CurrentLanguage(), "English");
    EXPECT_FALSE(KeyExists());
}

TEST_F(OptionsDialog, ShowsWhollyOnTheScreenOverASmallOwnerAtItsEdge) {
    SetWindowPos(host_.Handle(), nullptr, -60, -30, 200, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    Run({[&](TdlgQorOptions& d) {
        RECT rc, work;
        GetWindowRect(d.Handle(), &rc);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(rc.left >= work.left && rc.top >= work.top && rc.right <= work.right && rc.bottom <= work.bottom);
        d.btnCancel.Click();
    }});
}

TEST_F(OptionsDialog, ClearLogAsksAndDeletesTheLog) {
    const std::string log = folder_.Path() + "\\Log.txt";
    std::ofstream(log) << "a line\n";
    translator_->SetLanguage("Deutsch");
    std::string question;
    Run({
        [&](TdlgQorOptions& d) {
            EXPECT_EQ(test::WindowText(d.Handle()), "Optionen");
            EXPECT_TRUE(d.btnViewLog.Enabled() && d.btnClearLog.Enabled());
            PostMessageA(d.btnClearLog.Handle(), BM_CLICK, 0, 0);
        },
        [&](TdlgQorOptions&) {  // runs in the question's own loop
            HWND box = FindWindowA("TMessageForm", nullptr);
            ASSERT_NE(box, nullptr);
            EnumChildWindows(
                box,
                [](HWND child, LPARAM text) -> BOOL {
                    if (test::ClassName(child) == "Static" && !test::WindowText(child).empty())
                        *reinterpret_cast<std::string*>(text) = test::WindowText(child);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&question));
            PostMessageA(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
        },
        [&](TdlgQorOptions& d) {
            EXPECT_EQ(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
            EXPECT_FALSE(d.btnViewLog.Enabled() || d.btnClearLog.Enabled());
            d.btnCancel.Click();
        },
    });
    EXPECT_EQ(question, "Protokoll löschen ?");
}

TEST_F(OptionsDialog, TheTitleBarHelpButtonShowsAControlsPopUp) {
    struct : HelpViewer {
        void ShowContents(HWND) override {}
        void ShowPopup(HWND, std::uint32_t context, POINT) override { contexts.push_back(context); }
        std::vector<std::uint32_t> contexts;
    } viewer;
    ContextHelp help(viewer, host_.Handle());
    Run({[&](TdlgQorOptions& d) {
             EXPECT_NE(GetWindowLongPtrA(d.Handle(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);
             for (HWND control : {d.cbStergValori.Handle(), d.seFontSize.UpDown()}) {
                 HELPINFO info{};
                 info.cbSize = sizeof info;
                 info.iContextType = HELPINFO_WINDOW;
                 info.hItemHandle = control;
                 SendMessageA(d.Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
             }
             d.btnCancel.Click();
         }},
        &help);
    EXPECT_EQ(viewer.contexts, (std::vector<std::uint32_t>{RowOf(OptionsTable(), idCbStergValori)->Help,
                                                           RowOf(OptionsTable(), idSeFontSize)->Help}));
}

}  // namespace
}  // namespace kelvora::ui
