// End to end: the real Kelvora.exe driven as a user would, from another
// process. A whole monitoring of a setup program built with makensis (the
// identifier, the targets, the first scan, the run page, Next starts the
// setup, Next rescans), the tree's rows and the saved archive, the list after
// Start over with Rename and Delete from its menu and the Del key, the close
// in the states that ask, a resumed monitoring after Exit with "several
// applications" and a setup run by hand, a second start that brings the
// first window back, and the icon in the notification area.
// Then, on a system made as before again, a whole uninstall through the
// window: a monitoring of the setup, its archive opened from the list, one
// branch unchecked, the questions answered, the log page read, and the
// system found as before except for that branch.
// And 32-bit setups monitored and undone through the window (the script
// tests/e2e/wow64_test.sh compares the system with how it was).
// Usage (tests/e2e/window_nsis_test.sh): kelvora_window_e2e.exe <Kelvora.exe> <setup.exe>
//   (tests/e2e/wow64_test.sh: <Kelvora.exe> <package.msi> <32-bit setup.exe>)
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "changes/archive_load.h"
#include "changes/text_export.h"
#include "platform/win32/logon_task_win.h"
#include "platform/win32/win32_platform_win.h"
#include "remote_window_win.h"
#include "support/scheduled_task_win.h"
#include "translation/message_dialog.h"
#include "translation/messages.h"
#include "ui/framework/tray_icon.h"
#include "ui/main_captions.h"
#include "worker/worker_control.h"

namespace kelvora::e2e {
namespace {

using namespace kelvora::ui;

std::string gProgram;  // C:\...\Kelvora.exe
std::string gSetup;    // the setup program built by makensis
std::string gSecond;   // the 32-bit tests' setup run by hand
constexpr int kScanMs = 300000;

std::string Text(const Message& m) { return TranslateString(m); }
std::string Folder() { return gProgram.substr(0, gProgram.find_last_of('\\')); }
bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A string value of the registry; nothing when it is not there.
std::optional<std::string> RegistryText(HKEY root, const char* key, const char* value) {
    char data[2048] = {};
    DWORD size = sizeof(data);
    if (RegGetValueA(root, key, value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return std::nullopt;
    return std::string(data);
}

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program starts at the next logon: the Run value names it and the
// logon task that really starts it (elevated) is registered beside it.
bool StartsAtLogon() {
    const bool task = !test::RegisteredTaskXml(L"Kelvora").empty();
    const bool value = RegistryText(HKEY_LOCAL_MACHINE, kRunKey, "Kelvora") == gProgram;
    EXPECT_EQ(task, value) << "the value and the task come and go together";
    return task && value;
}

// Runs a program with its command line and waits for its end.
bool RunToEnd(std::string command) {
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

// Whether a process of that file name runs.
bool ProcessRuns(const char* fileName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{sizeof(entry)};
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, fileName) == 0;
    CloseHandle(snapshot);
    return found;
}

// One run of the program.
class Program {
public:
    ~Program() {
        if (process_.hProcess == nullptr) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    // Starts the program.
    bool Launch() {
        STARTUPINFOA startup{sizeof(startup)};
        std::string command = "\"" + gProgram + "\"";
        return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder().c_str(), &startup,
                              &process_) != FALSE;
    }
    // Starts the program and waits for its window.
    bool Start() {
        if (!Launch()) return false;
        main_ = WaitForWindowOf(process_.dwProcessId, kMainWindowClass, 60000);
        return main_ != nullptr;
    }
    DWORD Id() const { return process_.dwProcessId; }
    HWND Main() const { return main_; }
    HWND Control(int id) const { return ChildById(main_, id); }
    std::string Status() const { return TextOf(Control(idLblStatus)); }
    std::string Title() const { return TextOf(main_); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int id) const { PostClick(Control(id)); }
    void SetText(int id, const std::string& text) const { SetTextOf(Control(id), text); }
    // Under a tree just shown, the counts of its changes take the status
    // line's first line: status is then its last.
    bool WaitForStatus(const std::string& status, int timeoutMs = 20000) const {
        return WaitFor([&] {
            const std::string shown = Status();
            return shown == status || shown.ends_with("\n" + status);
        }, timeoutMs);
    }
    bool WaitForPage(int pageId, int timeoutMs = 20000) const {
        return WaitFor([&] { return IsWindowVisible(Control(pageId)) != FALSE; }, timeoutMs);
    }
    // Sets a box by clicking it, as the user does.
    bool SetChecked(int id, bool checked) const {
        if (Checked(id) != checked) Click(id);
        return WaitFor([&] { return Checked(id) == checked; });
    }
    // The message box that shows (nullptr when none came).
    HWND Box() const { return WaitForWindowOf(Id(), "TMessageForm"); }
    // Answers the message box that shows, with the button of that result;
    // answers its message ("" when none came).
    std::string Answer(int button) const {
        HWND box = Box();
        if (box == nullptr) return "";
        const std::string text = StaticTexts(box);
        PostClick(ChildById(box, button));
        WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); });
        return text;
    }
    // No message box shows (none is up now, and the window still answers).
    bool NoBox() const {
        SendMessageA(main_, WM_NULL, 0, 0);
        return WindowsOf(Id(), "TMessageForm").empty();
    }
    void Close() const { PostMessageA(main_, WM_CLOSE, 0, 0); }
    bool WaitForExit(DWORD& code, int timeoutMs = 30000) const {
        if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(process_.hProcess, &code);
        return true;
    }

private:
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

// The archive as its text export, loaded by the engine.
std::string ArchiveExport(const std::string& identifier) {
    platform::win32::Win32Platform win32;
    AppContext context;
    context.ProgramFolder = Folder();
    context.AppIdentifier = identifier;
    ChangesTree tree(context.Settings);
    tree.StartFill(false);
    struct Control final : IWorkerControl {
        bool Terminated() const override { return false; }
        void PausePoint() override {}
    } control;
    LoadCheckTree(context, win32.files, win32.clock, tree, control, [](int) {});
    auto access = tree.Lock();
    return ExportText(identifier, "", BuildDocument(access, kNoNode, true, CellWords::Translated(), win32.collation),
                      MarkWords::Translated());
}

// Leaves the registry and the program's folder as a first start finds them.
void CleanStart() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Varnok");
    HKEY run = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        RegDeleteValueA(run, "Kelvora");
        RegCloseKey(run);
    }
    platform::win32::DeleteLogonTask("Kelvora");
    for (const char* name : {"Continue.dat", "KDemo.qor", "KDemo Renamed.qor", "Resumed.qor", "HKLM.SNS", "HKCU.SNS",
                             "FIS1.SNS", "FIS2.SNS"})
        DeleteFileA((Folder() + "\\" + name).c_str());
}

// Scans what the setup touches: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and
// the Program Files folder.
void ChooseTargets(const Program& p) {
    ASSERT_TRUE(p.SetChecked(idSRest, false));
    for (int id : {idHKCR, idHKUS, idHKCC, idSWin, idCbOthers}) ASSERT_TRUE(p.SetChecked(id, false));
    for (int id : {idHKLM, idHKCU, idSProg}) ASSERT_TRUE(p.SetChecked(id, true));
}

TEST(WindowEndToEnd, MonitoringListResumeAndClose) {
    CleanStart();
    // --- A whole monitoring of one application.
    {
        Program p;
        ASSERT_TRUE(p.Start());
        EXPECT_EQ(p.Title(), "Kelvora");
        EXPECT_EQ(p.Status(), Text(RS_ENTER_IDENTIFIER));
        EXPECT_FALSE(p.Enabled(idBtnNext));
        p.SetText(idEdIdentif, "CON");
        p.Click(idBtnNext);
        EXPECT_NE(p.Answer(mrOk), "") << "a device name is refused";
        EXPECT_TRUE(IsWindowVisible(p.Control(idPnlFirst)));
        p.SetText(idEdIdentif, "KDemo");
        ASSERT_TRUE(WaitFor([&] { return p.Enabled(idBtnNext); }));
        p.Click(idBtnNext);
        ASSERT_TRUE(p.WaitForPage(idPnlTargets));
        EXPECT_EQ(p.Title(), "Kelvora [KDemo] - installing");
        EXPECT_EQ(p.Status(), Text(RS_SELECT_TARGETS));
        ChooseTargets(p);
        ASSERT_FALSE(testing::Test::HasFatalFailure());
        // An invalid folder is refused with its piece.
        ASSERT_TRUE(p.SetChecked(idCbOthers, true));
        p.SetText(idEdOthers, "C:\\NoSuchFolder");
        p.Click(idBtnNext);
        EXPECT_EQ(p.Answer(mrOk), Text(RS_INV_PATH) + "C:\\NoSuchFolder");
        ASSERT_TRUE(p.SetChecked(idCbOthers, false));
        // The first scan, asked to stop and answered No: it goes on.
        p.Click(idBtnNext);
        p.Close();
        ASSERT_NE(p.Box(), nullptr);
        EXPECT_EQ(TextOf(p.Control(idBtnExit)), Text(RS_STOP)) << "the scan waits for the answer";
        EXPECT_EQ(p.Answer(mrNo), Text(RS_ABORT_SCANNING));
        ASSERT_TRUE(p.WaitForStatus(Text(RS_SETUP_PATH), kScanMs));
        EXPECT_TRUE(IsWindowVisible(p.Control(idPnlRun)));
        EXPECT_EQ(TextOf(p.Control(idBtnExit)), Text(RS_EXIT));
        EXPECT_EQ(FileText(Folder() + "\\Continue.dat"), "KDemo\r\n");
        EXPECT_TRUE(StartsAtLogon());
        // The close on the run page with "one application" asks; Cancel stays.
        p.Close();
        EXPECT_EQ(p.Answer(mrCancel), Text(RS_ASK_CANCEL_MONIT));
        // A setup that cannot start changes nothing, and says why.
        p.SetText(idEdSetupPath, "C:\\NoSuch\\setup.exe");
        p.Click(idBtnNext);
        EXPECT_EQ(p.Answer(mrOk), FormatText(Text(RS_CANT_EXECUTE), {"C:\\NoSuch\\setup.exe"}));
        const std::string notFound = std::to_string(ERROR_FILE_NOT_FOUND), noPath = std::to_string(ERROR_PATH_NOT_FOUND);
        EXPECT_TRUE(p.Status() == FormatText(Text(RS_SETUP_NOT_STARTED), {notFound}) ||
                    p.Status() == FormatText(Text(RS_SETUP_NOT_STARTED), {noPath}))
            << p.Status();
        // One that ends at once with an error code says so with the code;
        // then another start is chosen.
        const std::string failing = gSetup.substr(0, gSetup.find_last_of('\\') + 1) + "failing_setup.exe";
        p.SetText(idEdSetupPath, failing);
        p.Click(idBtnNext);
        ASSERT_TRUE(p.WaitForStatus(FormatText(Text(RS_SETUP_FAILED), {"5"}), 60000)) << p.Status();
        EXPECT_TRUE(p.Checked(idRbStarted) && p.Enabled(idRbUna) && p.Enabled(idBtnNext));
        p.Click(idRbUna);
        ASSERT_TRUE(WaitFor([&] { return p.Enabled(idEdSetupPath); }));
        // Next starts the setup; once it has run, Next rescans.
        p.SetText(idEdSetupPath, gSetup);
        p.Click(idBtnNext);
        ASSERT_TRUE(p.WaitForStatus(Text(RS_NEXT_RESCAN_CONT)));
        ASSERT_TRUE(WaitFor([] { return RegistryText(HKEY_LOCAL_MACHINE, "Software\\KDemoVendor\\KDemo", "InstallDir").has_value() &&
                                        FileExists("C:\\Program Files\\KDemo App\\uninst.exe"); },
                            60000))
            << "the setup did not run";
        ASSERT_TRUE(WaitFor([] { return !ProcessRuns("kdemo_setup.exe"); }, 60000)) << "the setup does not end";
        p.Click(idBtnNext);
        ASSERT_TRUE(p.WaitForPage(idPnlTree));
        EXPECT_FALSE(FileExists(Folder() + "\\Continue.dat"));
        EXPECT_FALSE(StartsAtLogon());
        ASSERT_TRUE(p.WaitForStatus(Text(RS_COMPLETE), kScanMs));
        // The tree: expanded from its root, it shows the setup's changes.
        RemoteList tree(p.Control(idTvChanges));
        tree.Select(0);
        PostKey(p.Control(idTvChanges), VK_MULTIPLY);
        ASSERT_TRUE(WaitFor([&] { return tree.Count() > 10; }));
        const std::vector<std::string> rows = tree.Column(0);
        for (const char* expected : {"My Computer", "File System", "Registry", "KDemo App", "kdemo.exe", "KDemoVendor",
                                     "InstallDir", "C:\\Program Files\\Common Files\\KDemoA.dll"})
            EXPECT_NE(std::find(rows.begin(), rows.end(), expected), rows.end()) << expected;
        // The archive holds them.
        const std::string archive = ArchiveExport("KDemo");
        for (const char* expected : {"(+)(FILE) kdemo.exe = ", "(+)(REG VAL) InstallDir = 'C:\\Program Files\\KDemo App'",
                                     "(+)(REG VAL) Version = 258", "(*)(REG VAL) Setting"})
            EXPECT_NE(archive.find(expected), std::string::npos) << expected;
        // Start over: the list shows the archive.
        p.Click(idBtnNext);
        ASSERT_TRUE(p.WaitForPage(idPnlFirst));
        EXPECT_EQ(p.Title(), "Kelvora");
        RemoteList list(p.Control(idLvQorFiles));
        ASSERT_TRUE(WaitFor([&] { return list.Count() == 1; }));
        EXPECT_EQ(list.Cell(0, 0), "KDemo");
        EXPECT_EQ(list.Cell(0, 2), "");
        EXPECT_EQ(list.Cell(0, 3), "0");
        // Rename from the list's menu: a device name is refused, then a name goes.
        p.Click(idRbUninstall);
        ASSERT_TRUE(WaitFor([&] { return p.Enabled(idBtnNext); }));
        auto rename = [&](const std::string& name) {
            PostMessageA(p.Control(idLvQorFiles), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(p.Control(idLvQorFiles)),
                         MAKELPARAM(-1, -1));
            HWND menu = WaitForWindowOf(p.Id(), "#32768");
            ASSERT_NE(menu, nullptr);
            PostMessageA(menu, WM_CHAR, 'm', 1);
            HWND dialog = WaitForWindowOf(p.Id(), "TdlgInputText");
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(TextOf(dialog), Text(RS_RENAME));
            EXPECT_EQ(TextOf(ChildById(dialog, 100)), "KDemo");
            SetTextOf(ChildById(dialog, 100), name);
            PostClick(ChildById(dialog, IDOK));
            ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
        };
        rename("CON");
        EXPECT_NE(p.Answer(mrOk), "");
        rename("KDemo Renamed");
        ASSERT_TRUE(WaitFor([&] { return list.Cell(0, 0) == "KDemo Renamed"; }));
        EXPECT_TRUE(FileExists(Folder() + "\\KDemo Renamed.qor"));
        // Delete with the Del key, answered No, then from the menu, answered Yes.
        PostKey(p.Control(idLvQorFiles), VK_DELETE);
        EXPECT_EQ(p.Answer(mrNo), Text(RS_REMOVE_ITEM));
        EXPECT_EQ(list.Count(), 1);
        PostMessageA(p.Control(idLvQorFiles), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(p.Control(idLvQorFiles)),
                     MAKELPARAM(-1, -1));
        HWND menu = WaitForWindowOf(p.Id(), "#32768");
        ASSERT_NE(menu, nullptr);
        PostMessageA(menu, WM_CHAR, 'd', 1);
        EXPECT_EQ(p.Answer(mrYes), Text(RS_REMOVE_ITEM));
        ASSERT_TRUE(WaitFor([&] { return list.Count() == 0; }));
        EXPECT_FALSE(FileExists(Folder() + "\\KDemo Renamed.qor"));
        EXPECT_FALSE(p.Enabled(idBtnNext));
        // Idle: the close asks nothing and stores the placement.
        p.Close();
        DWORD code = 0;
        ASSERT_TRUE(p.WaitForExit(code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(RegistryText(HKEY_CURRENT_USER, "Software\\Varnok\\Kelvora", "ScanOtherPaths").has_value());
        DWORD width = 0, size = sizeof(width);
        EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Varnok\\Kelvora\\QorMain", "Width", RRF_RT_REG_DWORD,
                               nullptr, &width, &size),
                  ERROR_SUCCESS);
    }
    // --- "Several applications": Exit, a change by hand, the resumed start.
    {
        Program p;
        ASSERT_TRUE(p.Start());
        p.SetText(idEdIdentif, "Resumed");
        ASSERT_TRUE(WaitFor([&] { return p.Enabled(idBtnNext); }));
        p.Click(idBtnNext);
        ASSERT_TRUE(p.WaitForPage(idPnlTargets));
        EXPECT_TRUE(p.Checked(idHKCU) && p.Checked(idSProg) && !p.Checked(idHKCR)) << "the targets stored";
        p.Click(idBtnNext);
        ASSERT_TRUE(p.WaitForStatus(Text(RS_SETUP_PATH), kScanMs));
        p.Click(idRbMulte);
        ASSERT_TRUE(p.WaitForStatus(Text(RS_EXIT_MANUAL_RUN)));
        EXPECT_FALSE(p.Enabled(idBtnNext));
        p.Click(idBtnExit);
        DWORD code = 0;
        ASSERT_TRUE(p.WaitForExit(code)) << "Exit asks nothing";
        EXPECT_EQ(FileText(Folder() + "\\Continue.dat"), "Resumed\r\n");
        EXPECT_TRUE(StartsAtLogon());
    }
    // The user runs a setup by hand while the program is not running.
    ASSERT_TRUE(RunToEnd("\"" + gSetup + "\" /D=C:\\Program Files\\KDemo Again"));
    ASSERT_TRUE(FileExists("C:\\Program Files\\KDemo Again\\kdemo.exe"));
    {
        Program p;
        ASSERT_TRUE(p.Start());
        ASSERT_TRUE(p.WaitForPage(idPnlTree));
        EXPECT_EQ(p.Status(), Text(RS_NEXT_RESCAN));
        EXPECT_EQ(p.Title(), "Kelvora [Resumed] - installing");
        // The close asks to give the monitoring up; Cancel stays.
        p.Close();
        EXPECT_EQ(p.Answer(mrCancel), Text(RS_ASK_CANCEL_MONIT));
        // The rescan, asked to stop and answered No: it goes on.
        p.Click(idBtnNext);
        p.Close();
        EXPECT_EQ(p.Answer(mrNo), Text(RS_ASK_CANCEL_ALL));
        ASSERT_TRUE(p.WaitForStatus(Text(RS_COMPLETE), kScanMs));
        EXPECT_TRUE(FileExists(Folder() + "\\Resumed.qor"));
        EXPECT_FALSE(StartsAtLogon());
        const std::string resumed = ArchiveExport("Resumed");
        for (const char* expected : {"(+)(FOLDER) C:\\Program Files\\KDemo Again", "(+)(FILE) kdemo.exe = ",
                                     "(*)(REG VAL) InstallDir"})
            EXPECT_NE(resumed.find(expected), std::string::npos) << expected;
        // A second start brings this window back from the notification area.
        PostMessageA(p.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(p.Main()); }));
        {
            Program second;
            ASSERT_TRUE(second.Launch());
            DWORD code = 0;
            EXPECT_TRUE(second.WaitForExit(code));
            EXPECT_EQ(code, 1u);
        }
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(p.Main()) && !IsIconic(p.Main()); }));
        // And so does a double click on its icon.
        PostMessageA(p.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(p.Main()); }));
        PostMessageA(p.Main(), TrayIcon::kTrayMessage, 1, WM_LBUTTONDBLCLK);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(p.Main()) && !IsIconic(p.Main()); }));
        // A branch removed: the close asks to save; Yes saves and closes.
        RemoteList tree(p.Control(idTvChanges));
        // The last row lies below "Registry", never a row of the frame.
        ASSERT_GE(tree.Count(), 4);
        tree.Select(tree.Count() - 1);
        PostKey(p.Control(idTvChanges), VK_DELETE);
        EXPECT_EQ(p.Answer(mrYes), Text(RS_ASK_REMOVE_BRANCH));
        ASSERT_TRUE(WaitFor([&] { return p.Enabled(idBtnSave); }));
        // "Exit" of the icon's menu closes the minimised window as its close box does.
        PostMessageA(p.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(p.Main()); }));
        PostMessageA(p.Main(), TrayIcon::kTrayMessage, 1, WM_RBUTTONUP);
        HWND trayMenu = WaitForWindowOf(p.Id(), "#32768");
        ASSERT_NE(trayMenu, nullptr);
        PostMessageA(trayMenu, WM_CHAR, 'x', 1);
        EXPECT_EQ(p.Answer(mrYes), Text(RS_ASK_SAVE));
        DWORD code = 0;
        ASSERT_TRUE(p.WaitForExit(code));
    }
    CleanStart();
}

// A DWORD value of the registry; nothing when it is not there.
std::optional<DWORD> RegistryNumber(HKEY root, const char* key, const char* value) {
    DWORD data = 0, size = sizeof(data);
    if (RegGetValueA(root, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS) return std::nullopt;
    return data;
}

bool KeyExists(HKEY root, const char* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// Settings for an uninstall to be checked: every line in the log and nothing
// into the Recycle Bin. Nothing is ignored: what Wine rewrites by itself is
// activity, left unchecked, and the uninstall leaves it alone.
void LogEverything() {
    HKEY settings = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Varnok\\Kelvora", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &settings, nullptr),
              ERROR_SUCCESS);
    const DWORD all = 7, off = 0;
    RegSetValueExA(settings, "LogLevel", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&all), sizeof(all));
    RegSetValueExA(settings, "UseRecycled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
    RegCloseKey(settings);
}

TEST(WindowEndToEnd, UninstallThroughTheWindow) {
    CleanStart();
    constexpr const char* kShared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    constexpr const char* kDllA = "C:\\Program Files\\Common Files\\KDemoA.dll";
    constexpr const char* kDllB = "C:\\Program Files\\Common Files\\KDemoB.dll";
    LogEverything();
    ASSERT_FALSE(testing::Test::HasFatalFailure());

    Program p;
    ASSERT_TRUE(p.Start());
    // The monitoring of the setup.
    p.SetText(idEdIdentif, "KUninst");
    ASSERT_TRUE(WaitFor([&] { return p.Enabled(idBtnNext); }));
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForPage(idPnlTargets));
    ChooseTargets(p);
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForStatus(Text(RS_SETUP_PATH), kScanMs));
    p.SetText(idEdSetupPath, gSetup);
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForStatus(Text(RS_NEXT_RESCAN_CONT)));
    ASSERT_TRUE(WaitFor([] { return FileExists("C:\\Program Files\\KDemo App\\uninst.exe"); }, 60000));
    ASSERT_TRUE(WaitFor([] { return !ProcessRuns("kdemo_setup.exe"); }, 60000)) << "the setup does not end";
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForStatus(Text(RS_COMPLETE), kScanMs));
    ASSERT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, kShared, kDllA), 2u);

    // Start over; the archive opened from the list.
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForPage(idPnlFirst));
    p.Click(idRbUninstall);
    RemoteList list(p.Control(idLvQorFiles));
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 1 && p.Enabled(idBtnNext); }));
    p.Click(idBtnNext);
    // The status counts the changes, says what no undo brings back (the
    // setup changed settings.ini), then what Next does.
    ASSERT_TRUE(WaitFor([&] { return p.Status().ends_with("\n" + Text(RS_NEXT_UNINSTALL)); }, kScanMs)) << p.Status();
    EXPECT_NE(p.Status().find(FormatText(Text(RS_CANNOT_UNDO), {""})), std::string::npos) << p.Status();
    EXPECT_TRUE(IsWindowVisible(p.Control(idPnlTree)));
    EXPECT_EQ(p.Title(), "Kelvora [KUninst] - uninstalling");
    EXPECT_TRUE(p.Enabled(idBtnPrint) && p.Enabled(idBtnExport) && p.Enabled(idBtnBack));

    // The key KDemoPre stays as the setup left it: "Uncheck branch", the
    // second item of the tree's menu, on its row (the registry's row comes
    // after the folder's).
    RemoteList tree(p.Control(idTvChanges));
    tree.Select(0);
    PostKey(p.Control(idTvChanges), VK_MULTIPLY);
    ASSERT_TRUE(WaitFor([&] { return tree.Count() > 10; }));
    const std::vector<std::string> rows = tree.Column(0);
    const auto pre = std::find(rows.rbegin(), rows.rend(), "KDemoPre");
    ASSERT_NE(pre, rows.rend());
    tree.Select(static_cast<int>(rows.rend() - pre) - 1);
    PostMessageA(p.Control(idTvChanges), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(p.Control(idTvChanges)),
                 MAKELPARAM(-1, -1));
    HWND menu = WaitForWindowOf(p.Id(), "#32768");
    ASSERT_NE(menu, nullptr);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageA(menu, WM_KEYDOWN, key, 1);
    ASSERT_TRUE(WaitFor([&] { return WindowsOf(p.Id(), "#32768").empty(); }));

    // Next; the questions answered: uninstall, and keep the unused shared file.
    p.Click(idBtnNext);
    EXPECT_EQ(p.Answer(mrYes), "Are you sure you want to uninstall 'KUninst' ?");
    HWND question = WaitForWindowOf(p.Id(), "TdlgRemoveShared", kScanMs);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(TextOf(question), "Remove Shared File?");
    EXPECT_EQ(TextOf(ChildById(question, 100)), "KDemoB.dll");
    EXPECT_EQ(TextOf(ChildById(question, 101)), "C:\\Program Files\\Common Files\\");
    EXPECT_EQ(TextOf(p.Control(idBtnExit)), Text(RS_STOP));
    PostClick(ChildById(question, 7));  // No
    ASSERT_TRUE(p.WaitForStatus(Text(RS_UNINST_COMPLETE), kScanMs));

    // The log page.
    EXPECT_TRUE(IsWindowVisible(p.Control(idPnlLog)));
    EXPECT_TRUE(p.Enabled(idReLog) && p.Enabled(idBtnNext));
    EXPECT_EQ(TextOf(p.Control(idBtnExit)), Text(RS_EXIT));
    const std::string log = TextOf(p.Control(idReLog));
    for (const std::string expected : {Text(RS_DEL_FOLDER) + "C:\\Program Files\\KDemo App ... " + Text(RS_OK),
                                       Text(RS_REM_SHARED) + kDllB + " ... " + Text(RS_OK_SKIPPED),
                                       Text(RS_UNINST_NO_ERR)})
        EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
    // No action on the unchecked key; the changed settings.ini beside it is
    // named as a change no undo reverses.
    EXPECT_EQ(log.find("HKEY_CURRENT_USER\\Software\\KDemoPre"), std::string::npos) << log;
    EXPECT_NE(log.find(Text(RS_NOT_RESTORED) + "C:\\Program Files\\KDemoPre\\settings.ini"), std::string::npos)
        << log;
    const std::string logFile = FileText(Folder() + "\\Log.txt");
    EXPECT_NE(logFile.find("KUninst "), std::string::npos);
    EXPECT_NE(logFile.find(Text(RS_UNINST_NO_ERR)), std::string::npos);

    // The system as before, but for the unchecked branch and the shared
    // file kept (its counter is gone).
    EXPECT_FALSE(FileExists("C:\\Program Files\\KDemo App"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\KDemoVendor"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\KDemoVendor"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KDemo"));
    EXPECT_EQ(RegistryNumber(HKEY_LOCAL_MACHINE, kShared, kDllA), 1u);
    EXPECT_FALSE(RegistryNumber(HKEY_LOCAL_MACHINE, kShared, kDllB).has_value());
    EXPECT_TRUE(FileExists(kDllB));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, "Software\\KDemoPre", "Setting"), "new");
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, "Software\\KDemoPre", "Obsolete").has_value());

    // Next starts over: the archive was used once.
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForPage(idPnlFirst));
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 1 && list.Cell(0, 3) == "1"; }));
    p.Close();
    DWORD code = 0;
    ASSERT_TRUE(p.WaitForExit(code));
    EXPECT_EQ(code, 0u);
    CleanStart();
    DeleteFileA((Folder() + "\\KUninst.qor").c_str());
    DeleteFileA((Folder() + "\\Log.txt").c_str());
}

// 32-bit setups monitored with the Windows folder among the targets: Next
// starts a Windows Installer package (the shell hands it to msiexec), and a
// 32-bit setup program runs by hand while the run page waits. Then the
// whole archive is undone from the list; the script compares the system
// with how it was.
TEST(WindowEndToEnd, Wow64SetupsThroughTheWindow) {
    ASSERT_FALSE(gSecond.empty()) << "name the setup run by hand";
    CleanStart();
    LogEverything();
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    Program p;
    ASSERT_TRUE(p.Start());
    p.SetText(idEdIdentif, "Wow64");
    ASSERT_TRUE(WaitFor([&] { return p.Enabled(idBtnNext); }));
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForPage(idPnlTargets));
    ChooseTargets(p);
    ASSERT_TRUE(p.SetChecked(idSWin, true));
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForStatus(Text(RS_SETUP_PATH), kScanMs));
    p.SetText(idEdSetupPath, gSetup);
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForStatus(Text(RS_NEXT_RESCAN_CONT)));
    ASSERT_TRUE(WaitFor([] { return FileExists("C:\\windows\\syswow64\\kdemomsi.dll"); }, 60000))
        << "the package was not installed";
    ASSERT_TRUE(WaitFor([] { return !ProcessRuns("msiexec.exe"); }, 60000)) << "msiexec does not end";
    ASSERT_TRUE(RunToEnd("\"" + gSecond + "\" /S"));
    ASSERT_TRUE(FileExists("C:\\Program Files (x86)\\KDemo32 App\\uninst.exe")) << "the setup did not run";
    EXPECT_EQ(p.Status(), Text(RS_NEXT_RESCAN_CONT)) << "the package ended well";
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForStatus(Text(RS_COMPLETE), kScanMs));
    const std::string archive = ArchiveExport("Wow64");
    for (const char* expected : {"(+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\KDemoMsi",
                                 "(+)(REG KEY) HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\KDemo32Vendor",
                                 "(FOLDER) C:\\windows\\syswow64", "(+)(FILE) kdemomsi.dll = ",
                                 "(+)(FILE) kdemo32.dll = ", "(+)(FOLDER) C:\\Program Files (x86)\\KDemo MSI",
                                 "(+)(FOLDER) C:\\Program Files (x86)\\KDemo32 App"})
        EXPECT_NE(archive.find(expected), std::string::npos) << expected << "\n" << archive;

    // Everything undone from the list.
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForPage(idPnlFirst));
    p.Click(idRbUninstall);
    RemoteList list(p.Control(idLvQorFiles));
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 1 && p.Enabled(idBtnNext); }));
    p.Click(idBtnNext);
    ASSERT_TRUE(p.WaitForStatus(Text(RS_NEXT_UNINSTALL), kScanMs));
    p.Click(idBtnNext);
    EXPECT_EQ(p.Answer(mrYes), "Are you sure you want to uninstall 'Wow64' ?");
    ASSERT_TRUE(p.WaitForStatus(Text(RS_UNINST_COMPLETE), kScanMs));
    const std::string log = TextOf(p.Control(idReLog));
    EXPECT_NE(log.find(Text(RS_UNINST_NO_ERR)), std::string::npos) << log;
    EXPECT_FALSE(FileExists("C:\\windows\\syswow64\\kdemomsi.dll"));
    EXPECT_FALSE(FileExists("C:\\windows\\syswow64\\kdemo32.dll"));
    p.Close();
    DWORD code = 0;
    ASSERT_TRUE(p.WaitForExit(code));
    CleanStart();
    DeleteFileA((Folder() + "\\Wow64.qor").c_str());
    DeleteFileA((Folder() + "\\Log.txt").c_str());
}

}  // namespace
}  // namespace kelvora::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: kelvora_window_e2e <Kelvora.exe> <setup> [<setup run by hand>]\n");
        return 2;
    }
    kelvora::e2e::gProgram = argv[1];
    kelvora::e2e::gSetup = argv[2];
    if (argc == 4) kelvora::e2e::gSecond = argv[3];
    return RUN_ALL_TESTS();
}
