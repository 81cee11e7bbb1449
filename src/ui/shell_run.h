// The shell's verbs on the user's files (Open, View, Properties, View log):
// a file the shell cannot open is said in an error box with its name,
// instead of nothing happening.
#pragma once

#include <windows.h>

#include <string>

namespace kelvora::ui {

// Runs verb on file with parameters in folder (either may be empty) and
// answers whether the shell did. On a failure an error box owned by owner
// names what could not be opened: shown, the file; or program when it is
// given (the program that was to open the file, such as the viewer).
bool ShellRun(HWND owner, const char* verb, const std::string& file, const std::string& parameters,
              const std::string& folder, ULONG mask = 0, const std::string& program = {});

}  // namespace kelvora::ui
