#include "platform/win32/collation_win.h"

#include <windows.h>

#include <string>

#include "platform/text.h"
#include "platform/win32/wide_text_win.h"

namespace kelvora::platform::win32 {

namespace {

// Names of letters, digits, spaces and dots sort the same in the locale's
// case-insensitive collation as by ASCII case-insensitive comparison; they
// are most names, and CompareString costs about a microsecond.
bool PlainName(std::string_view s) {
    for (char c : s) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '.';
        if (!plain) return false;
    }
    return true;
}

}  // namespace

const Win32Collation& UserCollation() {
    static const Win32Collation collation;
    return collation;
}

int Win32Collation::Compare(std::string_view a, std::string_view b) const {
    if (PlainName(a) && PlainName(b)) return CompareNoCase(a, b);
    // Compared as UTF-16: CompareStringA would read the names in the
    // locale's own ANSI code page instead of UTF-8.
    const std::wstring wa = Widen(a);
    const std::wstring wb = Widen(b);
    const int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), static_cast<int>(wa.size()),
                                 wb.c_str(), static_cast<int>(wb.size()));
    // Names the locale finds equal (or cannot compare) keep a fixed order.
    return r == 0 || r == CSTR_EQUAL ? CompareNoCase(a, b) : r - CSTR_EQUAL;
}

}  // namespace kelvora::platform::win32
