// kelvora-cli.exe: the command-line companion of Kelvora.exe. Wiring only;
// the commands live in cli/.
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/console_win.h"
#include "cli/elevation.h"
#include "monitoring/start_up.h"
#include "platform/win32/wide_path_win.h"
#include "platform/win32/win32_platform_win.h"

namespace {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(kelvora::platform::win32::Narrow(argv[i]));
    LocalFree(argv);
    return args;
}

}  // namespace

int main() {
    using namespace kelvora;
    // Texts are UTF-8 and the export's lines carry their own CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);

    platform::win32::Win32Platform win32;
    platform::Platform& os = win32.platform;
    platform::Dispatcher dispatcher;
    std::atomic<bool> interrupted{false};
    WinConsole console(dispatcher, interrupted);
    try {
        AppContext context;
        const std::string settingsError = StartUp(context, os, platform::win32::ProgramFile());
        if (!settingsError.empty()) console.Error(settingsError);
        std::string window = context.ProgramFolder;
        if (window.back() != '\\') window += '\\';
        CliEnv env{os, dispatcher, context, console, window + "Kelvora.exe", interrupted,
                   ProcessIsElevated()};
        return RunCliArguments(Arguments(), env);
    } catch (const std::exception& e) {
        console.Error(e.what());
        return kExitFailed;
    }
}
