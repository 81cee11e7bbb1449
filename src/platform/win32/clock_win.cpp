#include "platform/win32/clock_win.h"

#include <windows.h>
#include <oleauto.h>

namespace kelvora::platform::win32 {

double Win32Clock::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double result = 0;
    // SystemTimeToVariantTime drops milliseconds; add them back.
    if (!SystemTimeToVariantTime(&st, &result)) return 0;
    return result + st.wMilliseconds / 86400000.0;
}

std::uint64_t Win32Clock::FileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

}  // namespace kelvora::platform::win32
