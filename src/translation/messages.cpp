#include "translation/messages.h"

#include <memory>
#include <mutex>
#include <utility>

namespace kelvora {

namespace {

struct LanguageState {
    std::string language;
    MessageLookup lookup;  // empty while the messages are English
};

// The state is replaced whole and never changed in place, so a reader only
// holds the lock long enough to take its own reference.
std::mutex g_stateMutex;
std::shared_ptr<const LanguageState> g_state = std::make_shared<const LanguageState>();

std::shared_ptr<const LanguageState> CurrentState() {
    std::lock_guard lock(g_stateMutex);
    return g_state;
}

}  // namespace

void SetMessageLanguage(std::string_view language, MessageLookup lookup) {
    auto state = std::make_shared<LanguageState>();
    state->language = std::string(language);
    if (!language.empty() && language != "English") state->lookup = std::move(lookup);
    std::lock_guard lock(g_stateMutex);
    g_state = std::move(state);
}

std::string MessageLanguage() { return CurrentState()->language; }

std::string TranslateString(const char* id, const char* english) {
    const std::shared_ptr<const LanguageState> state = CurrentState();
    if (state->lookup) {
        if (std::optional<std::string> translated = state->lookup(id)) return std::move(*translated);
    }
    return english;
}

std::string TranslateString(const Message& message) { return TranslateString(message.Id, message.English); }

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == 's') {
                if (next != args.end()) out += *next++;
                ++i;
                continue;
            }
            if (pattern[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string CountText(const Message& one, const Message& many, std::size_t count) {
    if (count == 1) return TranslateString(one);
    return FormatText(TranslateString(many), {std::to_string(count)});
}

}  // namespace kelvora
