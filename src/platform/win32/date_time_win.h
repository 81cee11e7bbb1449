// Dates and times in the user's format.
#pragma once

#include <string>

namespace kelvora::platform::win32 {

// when: days since 30 December 1899, local time. The short date, a space
// and the long time; the time is left out at midnight when omitMidnight.
std::string LocalDateTimeText(double when, bool omitMidnight);

}  // namespace kelvora::platform::win32
