// The main window in the test's own process, with a program folder of its
// own and settings that scan nothing (the scans end at once); the folder
// and the settings go again at the end.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/dispatcher.h"
#include "platform/win32/win32_platform_win.h"
#include "support/gui_win.h"
#include "ui/main_window.h"

namespace kelvora::test {

inline constexpr const char* kSettingsKey = "Software\\Varnok\\Kelvora";

class MainWindowRun {
public:
    MainWindowRun() {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof(temp), temp);
        folder_ = std::string(temp) + "KelvoraMainWindow" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        const DWORD off = 0;
        for (const char* name : {"ScanHKCR", "ScanHKLM", "ScanHKUS", "ScanHKCU", "ScanHKCC", "ScanWin", "ScanProg",
                                 "ScanEntire", "ScanOthers"})
            RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
        RegCloseKey(key);
        window_ = std::make_unique<ui::TfrmQorMain>(
            ui::TfrmQorMain::Services{context_, win32_.platform, dispatcher_, folder_ + "\\Kelvora.exe"});
    }
    ~MainWindowRun() {
        window_.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnok");
        SetCurrentDirectoryA("C:\\");
        RemoveDirectoryA(folder_.c_str());
    }
    ui::TfrmQorMain& Window() { return *window_; }
    TWizard& Wizard() { return window_->Wizard(); }
    const std::string& Folder() const { return folder_; }
    AppContext& Context() { return context_; }
    bool WaitForWorker() {
        return PumpUntil([&] { return !Wizard().WorkerRunning(); });
    }

private:
    std::string folder_;
    platform::win32::Win32Platform win32_;
    platform::Dispatcher dispatcher_;
    AppContext context_;
    std::unique_ptr<ui::TfrmQorMain> window_;
};

}  // namespace kelvora::test
