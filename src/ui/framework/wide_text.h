// Text in the process code page (UTF-8 under the programs' manifest) as the
// W functions of Windows want it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kelvora::ui {

inline std::wstring WideText(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

}  // namespace kelvora::ui
