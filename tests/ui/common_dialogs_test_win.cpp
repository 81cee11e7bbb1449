// The common file and folder dialogs, answered by a robot that types a name
// and presses OK or Cancel.
#include "ui/framework/common_dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/gui_win.h"
#include "support/modal_robot_win.h"
#include "support/temp_folder_win.h"

namespace kelvora::ui {
namespace {

constexpr int kFileNameBox = 0x47C;  // cmb13: the file name of the Explorer-style dialogs

std::string CurrentFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

class CommonDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Create()); }
    // Runs show while a robot types name into the dialog and presses OK
    // (Cancel when name is empty).
    template <class Result>
    Result Answer(const std::string& name, const std::function<Result()>& show) {
        test::ModalRobot robot("file dialog", test::DialogOwnedBy(host.Handle()), {[&](HWND dialog) {
                                   if (!name.empty()) SetDlgItemTextA(dialog, kFileNameBox, name.c_str());
                                   PostMessageA(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
                               }});
        return show();
    }

    test::HostWindow host;
    test::TempFolder scratch{"kelvora-dialogs-"};
    const std::string& folder = scratch.Path();
};

using Chosen = std::optional<std::string>;

TEST_F(CommonDialogsTest, SaveAddsTheDefaultExtensionAndKeepsTheCurrentFolder) {
    std::string before = CurrentFolder();
    auto save = [&](const char* extension) {
        return Answer<Chosen>(folder + "\\report", [&] {
            return ChooseFileToSave(host.Handle(), "Text files (*.txt)|*.txt|All files|*.*", extension);
        });
    };
    EXPECT_EQ(save("txt"), folder + "\\report.txt");
    // Callers write the extension with its dot as often as without.
    EXPECT_EQ(save(".txt"), folder + "\\report.txt");
    EXPECT_EQ(CurrentFolder(), before);
    EXPECT_EQ(Answer<Chosen>("", [&] { return ChooseFileToSave(host.Handle(), "All files|*.*", "txt"); }),
              std::nullopt);
}

TEST_F(CommonDialogsTest, OpenFindsANameInTheInitialFolder) {
    HANDLE file = CreateFileA((folder + "\\a.log").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(Answer<Chosen>("a.log", [&] { return ChooseFileToOpen(host.Handle(), "Logs (*.log)|*.log", folder); }),
              folder + "\\a.log");
    EXPECT_EQ(Answer<Chosen>("", [&] { return ChooseFileToOpen(host.Handle(), "Logs (*.log)|*.log", folder); }),
              std::nullopt);
}

TEST_F(CommonDialogsTest, FolderBrowserStartsAtTheInitialFolder) {
    // Wine's folder browser mostly fails to walk down into the profile's
    // Temp folder (it stops at the profile folder), so this starts in the
    // system folder, which every Windows has and no test writes into.
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    test::ModalRobot robot("folder browser", test::DialogOwnedBy(host.Handle()),
                           {[](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }});
    Chosen chosen = BrowseForFolder(host.Handle(), "Folder to watch", system);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(lstrcmpiA(chosen->c_str(), system), 0) << *chosen;
}

}  // namespace
}  // namespace kelvora::ui
