// Paths for the W functions of the file system. The program spells paths in
// UTF-8; the A functions (and the W functions given a plain path) stop at
// MAX_PATH (260 characters) unless long paths are enabled for the whole
// system, which the program cannot count on. A path that long gets the
// "\\?\" prefix, which lifts the limit to about 32,767 characters but turns
// off the normalisation of "/", "." and "..": such a path is made full and
// normal first.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/wide_text_win.h"

namespace kelvora::platform::win32 {

// The path to hand a W function of the file system. A path shorter than the
// limit goes as it is; a longer one (or a relative one that becomes longer
// in full) goes in full with the "\\?\" prefix ("\\?\UNC\" for a share).
std::wstring ApiPath(std::string_view path);

// A path as the program spells it: without the "\\?\" or "\\?\UNC\" prefix.
std::string ProgramPath(std::wstring_view path);

// The full path of the running program's file, as Windows names it.
std::string ProgramFile();

// Runs one of the "fill this buffer, or tell me the size needed" W functions
// (GetCurrentDirectoryW, GetFullPathNameW, GetLongPathNameW, ...). They
// answer the length without the zero on success, the size needed with the
// zero when the buffer is too small, and 0 on failure. Empty on failure.
template <typename Fill>
std::wstring QueryWideString(Fill fill) {
    std::wstring text(260, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const unsigned long length = fill(text.data(), static_cast<unsigned long>(text.size()));
        if (length == 0) return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
    return {};
}

}  // namespace kelvora::platform::win32
