// The one conversion between the program's text and the W functions of
// Windows. The program's strings are UTF-8, and the programs' manifest makes
// UTF-8 the process code page too (CP_ACP is CP_UTF8 under it), so a text
// for an A function needs no conversion; one for a W function goes through
// Widen, and what a W function answers comes back through Narrow.
#pragma once

#include <string>
#include <string_view>

namespace kelvora::platform::win32 {

// Invalid sequences become U+FFFD either way, as Windows converts them.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace kelvora::platform::win32
