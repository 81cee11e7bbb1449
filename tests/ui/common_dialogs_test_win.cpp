// The common file and folder dialogs, answered by a second thread that types
// a name and presses OK or Cancel.
#include "ui/framework/common_dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "ui/gui_test_support_win.h"

namespace kelvora::ui {
namespace {

constexpr int kFileNameBox = 0x47C;  // cmb13: the file name of the Explorer-style dialogs

// The visible standard dialog owned by owner, waited for.
HWND WaitForDialog(HWND owner) {
    for (int i = 0; i < 1000; ++i) {
        HWND found = nullptr;
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w != nullptr;
             w = FindWindowExA(nullptr, w, "#32770", nullptr))
            if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner) found = w;
        if (found != nullptr) return found;
        Sleep(10);
    }
    return nullptr;
}

std::string CurrentFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

class CommonDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "kelvora-dialogs-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        DeleteFileA((folder + "\\a.log").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    // Runs show while a robot types name into the dialog and presses OK
    // (Cancel when name is empty).
    template <class Result>
    Result Answer(const std::string& name, const std::function<Result()>& show) {
        std::thread robot([&] {
            HWND dialog = WaitForDialog(host.Handle());
            if (dialog == nullptr) return;
            if (name.empty()) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            SetDlgItemTextA(dialog, kFileNameBox, name.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        Result result = show();
        robot.join();
        return result;
    }

    test::HostWindow host;
    std::string folder;
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
    Chosen chosen;
    std::thread robot([&] {
        HWND dialog = WaitForDialog(host.Handle());
        if (dialog == nullptr) return;
        Sleep(300);  // the dialog selects the initial folder once it is up
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    chosen = BrowseForFolder(host.Handle(), "Folder to watch", folder);
    robot.join();
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(lstrcmpiA(chosen->c_str(), folder.c_str()), 0) << *chosen;
}

}  // namespace
}  // namespace kelvora::ui
