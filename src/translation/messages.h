// The message catalogue: every text the program shows in its status line,
// log, questions and errors, as an identifier with its English text. Texts
// are exact, leading and trailing blanks included.
#pragma once

#include <string>

namespace kelvora {

struct Message {
    const char* Id;       // "RS_SCAN_REG"
    const char* English;  // "Scanning registry category:"
};

// The text to show for a message in the current language (English while no
// language is current). Placeholders (%s) are filled by the caller after.
std::string TranslateString(const Message& message);
std::string TranslateString(const char* id, const char* english);

}  // namespace kelvora

// The catalogue itself: constexpr Message RS_... constants.
#include "translation/message_catalogue.h"
