// Every Win32 service in one object: the program creates one at start and
// hands `platform` to the engine.
#pragma once

#include "platform/platform.h"
#include "platform/win32/clock_win.h"
#include "platform/win32/collation_win.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/locale_win.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/shell_win.h"

namespace kelvora::platform::win32 {

class Win32Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32Clock clock;
    Win32Locale locale;
    const Win32Collation& collation = UserCollation();
    Platform platform{registry, files, shell, clock, locale, collation};
};

}  // namespace kelvora::platform::win32
