// The message catalogue: every text the program shows in its status line,
// log, questions and errors, as an identifier with its English text. Texts
// are exact, leading and trailing blanks included.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora {

struct Message {
    const char* Id;       // "RS_SCAN_REG"
    const char* English;  // "Scanning registry category:"
};

// The text to show for a message in the current language (English while no
// language is current). Placeholders (%s) are filled by the caller after.
std::string TranslateString(const Message& message);
std::string TranslateString(const char* id, const char* english);

// Answers the translation of a message identifier in the current language, or
// nothing when the language has none for it. Worker threads call it too, so
// it must be safe to call from several threads at once. It may throw (a
// damaged language file); the error reaches the caller of TranslateString.
using MessageLookup = std::function<std::optional<std::string>(std::string_view id)>;

// Makes language the current language of the messages, translated by lookup.
// While the language is empty or exactly "English" (letter case counts)
// every message is its English text and lookup is never asked. Called on the
// main thread while no worker runs; TranslateString calls that overlap it
// answer in either the old or the new language.
void SetMessageLanguage(std::string_view language, MessageLookup lookup);
// The current language of the messages; empty when none is set.
std::string MessageLanguage();

// Fills the placeholders of a (translated) text: each "%s" takes the next
// argument, or nothing once the arguments have run out; "%%" is one "%"; any
// other "%" stays as it is. A language file can thus never make it read past
// its arguments.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// A count in words: the text of one when count is 1, else the text of many
// with the count filling its "%s".
std::string CountText(const Message& one, const Message& many, std::size_t count);

}  // namespace kelvora

// The catalogue itself: constexpr Message RS_... constants.
#include "translation/message_catalogue.h"
