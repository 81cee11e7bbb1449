// The language files the build puts beside the programs (Translations\*.lng
// in the build folder): where they are, a copy beside a test's program, and
// their texts.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/file_system_win.h"
#include "translation/code_page.h"
#include "translation/data_file.h"

namespace kelvora::test {

// The build folder: the test program lives in its "tests" folder.
inline std::string BuildFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\'));
    return folder.substr(0, folder.rfind('\\'));
}

inline std::string ShippedLanguageFile(std::string_view language) {
    return BuildFolder() + "\\Translations\\" + std::string(language) + ".lng";
}

// Copies the shipped language files into programFolder\Translations.
inline void CopyShippedLanguages(const std::string& programFolder) {
    const std::string to = programFolder + "\\Translations";
    CreateDirectoryA(to.c_str(), nullptr);
    for (const char* language : {"English", "German", "Romanian"})
        CopyFileA(ShippedLanguageFile(language).c_str(), (to + "\\" + language + ".lng").c_str(), FALSE);
}

// A text of a shipped language, in UTF-8 (empty when it has none).
inline std::string ShippedText(std::string_view language, std::string_view section, std::string_view name) {
    platform::win32::Win32FileSystem files;
    TDataFile file = TDataFile::Load(files, ShippedLanguageFile(language));
    const int codePage = CodePageOfCharset(file.ReadInteger("*SYSTEM*", "CHARSET", -1));
    return SingleByteToUtf8(file.ReadString(section, name, ""), codePage);
}

}  // namespace kelvora::test
