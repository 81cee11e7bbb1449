#include "cli/elevation.h"

#include <windows.h>

#include "platform/win32/handles_win.h"

namespace kelvora {

// A token that cannot be asked (it never happens on a supported Windows) lets
// the command run: whatever access it lacks then shows in its results.
bool ProcessIsElevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return true;
    const platform::win32::KernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size)) return true;
    return elevation.TokenIsElevated != 0;
}

}  // namespace kelvora
