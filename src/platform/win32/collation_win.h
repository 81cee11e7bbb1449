// The user's locale order of names (CompareStringW, LOCALE_USER_DEFAULT,
// ignoring case): what the changes tree on screen, its export and printout
// and the uninstaller all follow.
#pragma once

#include "platform/platform.h"

namespace kelvora::platform::win32 {

class Win32Collation final : public Collation {
public:
    int Compare(std::string_view a, std::string_view b) const override;
};

// The process's one collation (it holds no state): the engine's platform
// and the window share it.
const Win32Collation& UserCollation();

}  // namespace kelvora::platform::win32
