// Kelvora.exe: the window program. Wiring only; the window lives in ui/.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/dispatcher.h"
#include "platform/win32/wide_path_win.h"
#include "platform/win32/win32_platform_win.h"
#include "settings/app_context.h"
#include "ui/framework/single_instance.h"
#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    using namespace kelvora;
    const std::string program = platform::win32::ProgramFile();
    // A second start of the same program (by its file's name) only brings
    // the running program's window back, and ends with 1.
    ui::SingleInstance guard(ui::GuardName("Kelvora.JustOne.", program).c_str());
    if (guard.IsSecond()) {
        if (HWND first = guard.Published()) {
            DWORD process = 0;
            GetWindowThreadProcessId(first, &process);
            AllowSetForegroundWindow(process);
            PostMessageA(first, ui::TfrmQorMain::JustOneStartMessage(), 0, 0);
        }
        return 1;
    }
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    platform::win32::Win32Platform win32;
    platform::Dispatcher dispatcher;
    AppContext context;
    ui::TfrmQorMain window({context, win32.platform, dispatcher, program});
    if (!window.Create()) return 1;
    guard.Publish(window.Handle());
    window.Show(show);
    return ui::RunMessageLoop();
}
