// kelvora-lngc SOURCE OUTPUT: compiles the text source of a translation
// (translations/*.txt) into the language file the program reads
// (Translations\*.lng). Errors name the source file and line; the output is
// written only when the whole source compiled.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/lngc/language_compiler.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kelvora-lngc SOURCE.txt OUTPUT.lng\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        const std::vector<std::uint8_t> bytes = kelvora::lngc::CompileLanguage(source);
        const std::string temporary = std::string(argv[2]) + ".tmp";
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        // Windows' rename does not replace an existing file.
        bool stored = out && std::rename(temporary.c_str(), argv[2]) == 0;
        if (out && !stored) stored = std::remove(argv[2]) == 0 && std::rename(temporary.c_str(), argv[2]) == 0;
        if (!stored) {
            std::remove(temporary.c_str());
            std::fprintf(stderr, "%s: cannot write\n", argv[2]);
            return 1;
        }
    } catch (const kelvora::lngc::CompileError& e) {
        std::fprintf(stderr, "%s:%d: error: %s\n", argv[1], e.Line(), e.what());
        return 1;
    }
    return 0;
}
