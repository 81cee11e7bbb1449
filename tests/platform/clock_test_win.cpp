#include "platform/win32/clock_win.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace kelvora::platform::win32 {
namespace {

TEST(Win32Clock, AgreesWithTheLocalCalendarDay) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    const double now = Win32Clock().Now();
    // 1 January 2000 is day 36526 of the date-time epoch.
    EXPECT_GT(now, 36526.0);
    // The fraction is the time of day.
    const double hours = (now - static_cast<long long>(now)) * 24.0;
    EXPECT_NEAR(hours, st.wHour + st.wMinute / 60.0, 0.1);
}

}  // namespace
}  // namespace kelvora::platform::win32
