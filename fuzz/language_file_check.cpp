#include <string>
#include <string_view>
#include <vector>

#include "checks.h"
#include "fuzz_support.h"
#include "platform/memory/memory_file_system.h"
#include "translation/data_file.h"
#include "translation/messages.h"
#include "translation/translator.h"

namespace kelvora::fuzz {

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                            : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// The reader alone: every lookup answers, or raises DataFileError.
std::string ReaderFault(Input bytes) {
    TDataFile file{std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
    try {
        std::vector<std::string> names;
        file.ReadSectionKeys("RESOURCESTRING", names);
        for (const std::string& name : names) {
            std::vector<std::uint8_t> data;
            const std::int32_t length = file.ReadBuffer("RESOURCESTRING", name, data);
            if (length >= 0 && data.size() != static_cast<std::size_t>(length)) return "a value read at another length";
        }
        file.ReadInteger("*SYSTEM*", "CHARSET", 0);
        file.ReadString("*SYSTEM*", "FLAG", "");
    } catch (const DataFileError&) {
    }
    return {};
}

}  // namespace

std::string CheckLanguageFile(Input bytes) {
    if (std::string fault = ReaderFault(bytes); !fault.empty()) return fault;

    // The translator: finds the language with its flag, takes it and
    // translates a window; nothing raises, and every text it hands out is
    // UTF-8.
    platform::memory::MemoryFileSystem files;
    const std::string folder = std::string(kProgramFolder) + "\\Translations";
    files.AddFolder(folder);
    files.WriteFile(folder + "\\Fuzz.lng", bytes.data(), bytes.size());
    TTranslator translator(files, kProgramFolder);
    if (translator.Languages().size() != 1) return "the language is not found";
    const TPicture& flag = translator.Languages()[0].Flag;
    if (!flag.Empty() && (flag.Width > kMaxFlagSide || flag.Height > kMaxFlagSide ||
                          flag.Pixels.size() != static_cast<std::size_t>(flag.Width) * flag.Height))
        return "a flag whose pixels do not match its size";

    std::string fault;
    translator.SetLanguage("Fuzz");
    for (const Message* m : kMessageCatalogue)
        if (!IsUtf8(TranslateString(*m))) fault = "a message that is not UTF-8";
    auto check = [&fault](std::string_view text) {
        if (!IsUtf8(text)) fault = "a window text that is not UTF-8";
    };
    TFormTexts form("dlgQorOptions");
    form.SetTitle = check;
    for (const char* component : {"btnOk", "lblTranslatedBy1", "tabGeneral"}) form.Add(component, "Caption", "", check);
    translator.TranslateForm(form);
    SetMessageLanguage("", {});
    return fault;
}

}  // namespace kelvora::fuzz
