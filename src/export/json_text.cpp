#include "export/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "changes/value_type.h"

namespace kelvora {

namespace {

// The length of the UTF-8 sequence at text[i], or 0 when none starts there.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
    else return 0;
    if (i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The texts of data made of UTF-8 texts, each ended by a NUL (none empty),
// and one more NUL; false for any other data.
bool SplitMulti(std::string_view data, std::string& out) {
    if (data.empty() || data.back() != '\0' || !IsUtf8(data)) return false;
    data.remove_suffix(1);
    out += '[';
    bool first = true;
    while (!data.empty()) {
        const std::size_t end = data.find('\0');
        if (end == 0 || end == std::string_view::npos) return false;
        if (!first) out += ',';
        first = false;
        AppendJsonString(out, data.substr(0, end));
        data.remove_prefix(end + 1);
    }
    out += ']';
    return true;
}

}  // namespace

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, n));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    out += '"';
}

void AppendHex(std::string& out, const std::uint8_t* data, std::size_t size) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < size; ++i) {
        out += kHex[data[i] >> 4];
        out += kHex[data[i] & 15];
    }
}

void AppendValueData(std::string& out, std::uint32_t type, const std::uint8_t* data, std::int32_t size) {
    const std::size_t count = size > 0 && data != nullptr ? static_cast<std::size_t>(size) : 0;
    const std::string_view bytes = AsText(data, count);
    out += "{\"type\":";
    AppendJsonString(out, TypeName(type));
    if (type == 7) {
        std::string strings;
        if (SplitMulti(bytes, strings)) {
            out.append(",\"strings\":").append(strings).append("}");
            return;
        }
    } else if (IsTextType(type) && !bytes.empty() && bytes.back() == '\0' &&
               bytes.find('\0') == bytes.size() - 1 && IsUtf8(bytes)) {
        out += ",\"text\":";
        AppendJsonString(out, bytes.substr(0, bytes.size() - 1));
        out += '}';
        return;
    }
    out += ",\"hex\":\"";
    AppendHex(out, data, count);
    out += '"';
    if (type == 4 && count == 4) {
        std::uint32_t number = 0;
        std::memcpy(&number, data, 4);
        out.append(",\"number\":").append(std::to_string(number));
    }
    out += '}';
}

void AppendFileState(std::string& out, std::string_view state) {
    const std::size_t space = state.rfind(' ');
    std::uint64_t size = 0;
    if (space != std::string_view::npos && space + 1 < state.size()) {
        const char* first = state.data() + space + 1;
        const char* last = state.data() + state.size();
        const auto [end, error] = std::from_chars(first, last, size);
        if (error == std::errc() && end == last) {
            out += "{\"time\":";
            AppendJsonString(out, state.substr(0, space));
            out.append(",\"size\":").append(std::to_string(size)).append("}");
            return;
        }
    }
    out += "{\"text\":";
    AppendJsonString(out, state);
    out += '}';
}

std::string IsoDateTime(double days) {
    if (!std::isfinite(days)) days = 0;
    // Whole seconds since 30 December 1899, then the civil date of the day
    // count shifted to 1 March 0000 (Howard Hinnant's days-to-civil).
    const auto seconds = static_cast<std::int64_t>(std::llround(days * 86400.0));
    std::int64_t day = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --day;
    }
    const std::int64_t z = day + 693899;  // 30 December 1899 from 1 March 0000
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld", static_cast<long long>(y),
                  static_cast<long long>(m), static_cast<long long>(d), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
}

}  // namespace kelvora
