// Text in the program's UTF-8 as the W functions of Windows want it.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/wide_text_win.h"

namespace kelvora::ui {

inline std::wstring WideText(std::string_view text) { return platform::win32::Widen(text); }

}  // namespace kelvora::ui
