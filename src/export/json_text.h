// Pieces of JSON text: quoted strings, hexadecimal data, and the data of a
// registry value or the state of a file as the exports write them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvora {

// Appends text as a JSON string, quotes included. Control characters are
// escaped; bytes that are not UTF-8 become U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);
// Bytes as lower-case hexadecimal digits, two per byte, no separators.
void AppendHex(std::string& out, const std::uint8_t* data, std::size_t size);
// Whether text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// A registry value's data as a JSON object: {"type":"REG_SZ","text":"..."}
// for a text type whose data is one UTF-8 text and its NUL;
// {"type":"REG_MULTI_SZ","strings":[...]} for a list of texts each ended by
// a NUL, with one more NUL at the end; otherwise {"type":...,"hex":"..."},
// with "number" too for a four-byte REG_DWORD. Exact: the bytes can be
// rebuilt from every form.
void AppendValueData(std::string& out, std::uint32_t type, const std::uint8_t* data, std::int32_t size);
// A file's state text ("hh:nn dd/mm/yy size") as {"time":"hh:nn dd/mm/yy",
// "size":N}, or {"text":"..."} when it has another form.
void AppendFileState(std::string& out, std::string_view state);

// A time given in days since 30 December 1899 as "YYYY-MM-DDThh:mm:ss".
std::string IsoDateTime(double days);

}  // namespace kelvora
