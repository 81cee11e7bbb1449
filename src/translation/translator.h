// TTranslator: the languages found in the folder Translations beside the
// program, the current language, the translation of windows and the
// translated messages behind TranslateString.
//
// A language file (TDataFile) is Translations\<name>.lng. Its section
// "*SYSTEM*" holds CHARSET (the font character set of its texts) and FLAG (a
// bitmap file); "RESOURCESTRING" holds the messages by identifier; a
// window's section (frmQorMain, dlgQorOptions, ...) holds its title as
// "Caption" and its components' texts as "component.property". Texts are in
// the single-byte code page of the character set and are converted to UTF-8
// when read.
//
// A damaged language file never stops the program: its messages and texts
// are left in English (or as they were) and its flag is empty.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"
#include "translation/flag_picture.h"
#include "translation/form_texts.h"

namespace kelvora {

// The platform's default font character set (DEFAULT_CHARSET).
inline constexpr int kDefaultCharset = 1;

struct TLanguage {
    std::string Name;  // the file name without ".lng"
    TPicture Flag;     // empty when the file has none
};

class TTranslator {
public:
    // Finds the languages: every "*.lng" file in programFolder\Translations.
    // Files added later are seen at the next start.
    TTranslator(platform::FileSystem& files, std::string_view programFolder);

    const std::string& TranslationsFolder() const { return folder_; }
    // Sorted by name without regard to letter case.
    const std::vector<TLanguage>& Languages() const { return languages_; }
    // Empty until a language is set.
    const std::string& CurrentLanguage() const { return current_; }
    int Charset() const { return charset_; }

    // Makes name the current language (of the windows translated from now on
    // and of every message), or the first language when there is none of
    // that name; with no languages at all nothing changes. Call on the window
    // thread while no worker runs.
    void SetLanguage(std::string_view name);

    // Translates the window's texts from language (else the current one):
    // the title, every component property the window's section names, and
    // the character set; with a component, only that component's texts.
    // Names that match nothing are skipped. Then OnTranslate. Nothing
    // happens without a language; a damaged file changes no text.
    void TranslateForm(const TFormTexts& form, std::string_view component = {}, std::string_view language = {});
    std::function<void(const TFormTexts& form)> OnTranslate;

    // The flag of a language; an empty picture for an unknown one.
    const TPicture& GetFlag(std::string_view language) const;

private:
    std::string FileOf(std::string_view language) const;
    const TLanguage* Find(std::string_view language) const;

    platform::FileSystem& files_;
    std::string folder_;
    std::vector<TLanguage> languages_;
    std::string current_;
    int charset_ = kDefaultCharset;
};

}  // namespace kelvora
