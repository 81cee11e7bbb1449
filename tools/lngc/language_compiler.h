// The language compiler: turns the text source of a translation into a
// language file (*.lng) that the program reads.
//
// The source is UTF-8 text, one statement a line:
//
//   # a comment ("#" and a blank or the line's end; also after a value)
//   [*SYSTEM*]                         starts a section
//   CHARSET = 238                      a 32-bit number
//   FLAG = flag vertical #002B7F #FCD116 #CE1126
//                                      a tricolour flag picture (stripes
//                                      side by side, or "horizontal" for
//                                      stripes one above the other)
//   FLAG = flag cross #FFFFFF #CE1124  a field with a centred cross
//   [RESOURCESTRING]
//   RS_OK = "Ok"                       a text, blanks inside the quotes kept;
//                                      escapes \n (line feed), \t, \" and \\
//
// Section and value names have 1 to 36 characters of printable ASCII without
// blanks, "=", "[", "]" or "#"; a name appears once in its section and a
// section once in the file. Texts are written in the single-byte code page of
// the last CHARSET before them (DEFAULT_CHARSET, code page 1252, when none
// came yet); a character that code page cannot hold is an error.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::lngc {

class CompileError : public std::runtime_error {
public:
    CompileError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

// The language file compiled from source; raises CompileError with the line
// of the first fault.
std::vector<std::uint8_t> CompileLanguage(std::string_view source);

}  // namespace kelvora::lngc
