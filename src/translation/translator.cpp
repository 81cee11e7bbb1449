#include "translation/translator.h"

#include <algorithm>
#include <map>
#include <memory>

#include "translation/code_page.h"
#include "translation/data_file.h"
#include "translation/messages.h"

namespace kelvora {

namespace {

constexpr std::string_view kSystemSection = "*SYSTEM*";
constexpr std::string_view kMessagesSection = "RESOURCESTRING";
constexpr std::string_view kExtension = ".lng";

int ReadCharset(TDataFile& file) {
    try {
        return file.ReadInteger(kSystemSection, "CHARSET", kDefaultCharset);
    } catch (const DataFileError&) {
        return kDefaultCharset;
    }
}

}  // namespace

TTranslator::TTranslator(platform::FileSystem& files, std::string_view programFolder)
    : files_(files), folder_(std::string(programFolder) + "\\Translations") {
    files_.List(folder_ + "\\*" + std::string(kExtension), [this](const platform::FindEntry& e) {
        // FindFirstFile matches "*.lng" against short names too, so it also
        // lists "x.lngx": only names that really end in ".lng" count.
        if (!e.IsFolder() && e.name.size() > kExtension.size() &&
            EqualsNoCase(std::string_view(e.name).substr(e.name.size() - kExtension.size()), kExtension))
            languages_.push_back({e.name.substr(0, e.name.size() - kExtension.size()), {}});
        return true;
    });
    std::sort(languages_.begin(), languages_.end(),
              [](const TLanguage& a, const TLanguage& b) { return CompareNoCase(a.Name, b.Name) < 0; });
    for (TLanguage& language : languages_) {
        TDataFile file = TDataFile::Load(files_, FileOf(language.Name));
        std::vector<std::uint8_t> bitmap;
        try {
            if (file.ReadBuffer(kSystemSection, "FLAG", bitmap) > 0)
                language.Flag = DecodeBitmapFile(bitmap).value_or(TPicture{});
        } catch (const DataFileError&) {
        }
    }
}

std::string TTranslator::FileOf(std::string_view language) const {
    return folder_ + "\\" + std::string(language) + std::string(kExtension);
}

const TLanguage* TTranslator::Find(std::string_view language) const {
    for (const TLanguage& l : languages_)
        if (EqualsNoCase(l.Name, language)) return &l;
    return nullptr;
}

void TTranslator::SetLanguage(std::string_view name) {
    if (languages_.empty()) return;
    current_ = Find(name) != nullptr ? std::string(name) : languages_.front().Name;
    TDataFile file = TDataFile::Load(files_, FileOf(current_));
    charset_ = ReadCharset(file);
    // The messages are read once here; TranslateString, also called by the
    // workers, only looks them up in this table, which never changes.
    auto table = std::make_shared<std::map<std::string, std::string, NoCaseLess>>();
    try {
        const int codePage = CodePageOfCharset(charset_);
        file.ForEachValue(kMessagesSection, [&](std::string_view id, std::string_view text) {
            table->emplace(id, SingleByteToUtf8(text, codePage));  // the first of equal names counts
        });
    } catch (const DataFileError&) {
        table->clear();
    }
    SetMessageLanguage(current_, [table](std::string_view id) -> std::optional<std::string> {
        const auto it = table->find(id);
        if (it == table->end()) return std::nullopt;
        return it->second;
    });
}

void TTranslator::TranslateForm(const TFormTexts& form, std::string_view component, std::string_view language) {
    const std::string lang(language.empty() ? std::string_view(current_) : language);
    if (lang.empty()) return;
    TDataFile file = TDataFile::Load(files_, FileOf(lang));
    const int charset = ReadCharset(file);
    // Only the current language's file sets the current character set (the
    // options dialog reads another one's credits without switching to it).
    if (EqualsNoCase(lang, current_)) charset_ = charset;
    const int codePage = CodePageOfCharset(charset);
    std::vector<std::pair<std::string, std::string>> values;
    try {
        file.ForEachValue(form.Section(), [&](std::string_view name, std::string_view text) {
            values.emplace_back(name, SingleByteToUtf8(text, codePage));
        });
    } catch (const DataFileError&) {
        values.clear();  // a damaged section changes nothing
    }
    if (component.empty()) {
        for (const auto& [name, text] : values) {
            if (EqualsNoCase(name, "Caption") && form.SetTitle) {
                form.SetTitle(text);
                break;
            }
        }
        if (form.SetCharset) form.SetCharset(charset);
    }
    for (const auto& [name, text] : values) {
        std::string_view comp, property;
        TFormTexts::SplitName(name, comp, property);
        if (!component.empty() && !EqualsNoCase(comp, component)) continue;
        form.Set(comp, property, text);
    }
    if (OnTranslate) OnTranslate(form);
}

const TPicture& TTranslator::GetFlag(std::string_view language) const {
    static const TPicture kNone;
    const TLanguage* l = Find(language);
    return l != nullptr ? l->Flag : kNone;
}

}  // namespace kelvora
