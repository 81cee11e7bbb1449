#include "platform/win32/date_time_win.h"

#include <windows.h>
#include <oleauto.h>

namespace kelvora::platform::win32 {

std::string LocalDateTimeText(double when, bool omitMidnight) {
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(when, &time)) return {};
    char date[128] = {};
    char clock[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    std::string text = date;
    if (omitMidnight && time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0) return text;
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, sizeof clock);
    return text + " " + clock;
}

}  // namespace kelvora::platform::win32
