#include "platform/win32/locale_win.h"

#include <windows.h>

#include "platform/win32/wide_text_win.h"

namespace kelvora::platform::win32 {

namespace {

// One text of the user's default locale as UTF-8; fallback when the locale
// has none. The W function is asked: the separator may be any character.
std::string LocaleText(LCTYPE type, const char* fallback) {
    wchar_t text[LOCALE_NAME_MAX_LENGTH] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, LOCALE_NAME_MAX_LENGTH);
    if (length <= 1) return fallback;
    std::string out = Narrow(std::wstring_view(text, static_cast<std::size_t>(length - 1)));
    return out.empty() ? fallback : out;
}

// The order of the day (D), month (M) and year (Y) in a date picture
// ("M/d/yyyy" gives "MDY"; text in single quotes is no field), or "DMY"
// when the picture lacks one of them.
std::string DateOrderOf(const std::string& picture) {
    std::string order;
    bool quoted = false;
    for (char c : picture) {
        if (c == '\'') quoted = !quoted;
        if (quoted) continue;
        const char field = c == 'd' ? 'D' : c == 'M' ? 'M' : c == 'y' ? 'Y' : '\0';
        if (field != '\0' && order.find(field) == std::string::npos) order += field;
    }
    return order.size() == 3 ? order : "DMY";
}

}  // namespace

DateTimeSeparators Win32Locale::Separators() {
    // The separators as such; the formats they come from (LOCALE_STIMEFORMAT,
    // LOCALE_SSHORTDATE) are the user's to shape and may mix several.
    return DateTimeSeparators{LocaleText(LOCALE_STIME, ":"), LocaleText(LOCALE_SDATE, "/"),
                              DateOrderOf(LocaleText(LOCALE_SSHORTDATE, ""))};
}

}  // namespace kelvora::platform::win32
