// Running a program to the end of its whole process tree: the program and
// every process it starts, and they start, belong to one job object, whose
// completion port says when the last of them has ended. A setup often hands
// its work to a child (an MSI setup to msiexec, a self-extractor to what it
// unpacked) and ends before the work does; its own end is not the end.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kelvora::platform::win32 {

// commandLine is the whole command line, the program first (quoted when it
// holds blanks); file is the program's path, for a start through the shell.
ProcessRun RunProcessTree(const std::wstring& file, const std::wstring& commandLine,
                          const std::wstring& arguments);

}  // namespace kelvora::platform::win32
