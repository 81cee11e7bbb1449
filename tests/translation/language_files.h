// Language files for tests: compiled from text sources, as the build makes
// the shipped ones, into the Translations folder of a program folder.
#pragma once

#include <string>
#include <string_view>

#include "platform/memory/memory_file_system.h"
#include "tools/lngc/language_compiler.h"

namespace kelvora::testing {

inline constexpr std::string_view kProgramFolder = "C:\\Kelvora";

inline std::string LanguagePath(std::string_view name) {
    return std::string(kProgramFolder) + "\\Translations\\" + std::string(name) + ".lng";
}

inline void AddLanguage(platform::memory::MemoryFileSystem& files, std::string_view name, std::string_view source) {
    const std::vector<std::uint8_t> bytes = lngc::CompileLanguage(source);
    files.AddFile(LanguagePath(name), {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

}  // namespace kelvora::testing
