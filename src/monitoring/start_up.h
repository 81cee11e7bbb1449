// What both programs do first, before any window or command: the program's
// folder, the machine's fixed places and the settings.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "settings/app_context.h"

namespace kelvora {

// The folder of the program file, without a trailing backslash except for a
// drive's root ("C:\\"): where snapshots, archives, the resume marker and the
// log live. Taken from the file's full path, so it never depends on the
// current directory, which Windows may refuse to set (a path too long).
std::string ProgramFolderOf(std::string_view programFile);

// Fills context from programFile (the program's full path) and the machine:
// the program's folder, the Windows folder and its drive's root, the user's
// SID, then every setting at its default with the stored ones over it. The
// current directory is left alone. Answers why the stored settings could not
// all be read (empty when they could); each program tells it its own way.
std::string StartUp(AppContext& context, platform::Platform& os, std::string_view programFile);

}  // namespace kelvora
