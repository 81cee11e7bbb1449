#include "tools/lngc/language_compiler.h"

#include <charconv>
#include <cstdlib>
#include <set>

#include "platform/text.h"
#include "translation/code_page.h"
#include "translation/data_file.h"
#include "translation/data_file_writer.h"
#include "translation/flag_picture.h"

namespace kelvora::lngc {

namespace {

constexpr int kFlagWidth = 33;  // three stripes of 11, a 1-pixel border
constexpr int kFlagHeight = 21;
constexpr std::uint32_t kFlagBorder = 0x808080;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Drops a comment: "#" outside quotes followed by a blank or the end of the
// line (so the colours of a flag, #RRGGBB, are no comments).
std::string_view StripComment(std::string_view s) {
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (quoted && s[i] == '\\') ++i;
        else if (s[i] == '"') quoted = !quoted;
        else if (!quoted && s[i] == '#' && (i + 1 == s.size() || IsBlank(s[i + 1]))) return s.substr(0, i);
    }
    return s;
}

class Compiler {
public:
    std::vector<std::uint8_t> Run(std::string_view source) {
        std::size_t start = 0;
        while (start <= source.size()) {
            ++line_;
            std::size_t end = source.find('\n', start);
            if (end == std::string_view::npos) end = source.size();
            Statement(Trim(StripComment(source.substr(start, end - start))));
            start = end + 1;
        }
        return writer_.Bytes();
    }

private:
    [[noreturn]] void Fail(const std::string& message) const { throw CompileError(line_, message); }

    void CheckName(std::string_view name, const char* what) const {
        if (name.empty() || name.size() > kDataFileNameSize)
            Fail(std::string(what) + " name must have 1 to 36 characters: '" + std::string(name) + "'");
        for (char c : name)
            if (c <= ' ' || c > '~' || c == '=' || c == '[' || c == ']' || c == '#' || c == '"')
                Fail(std::string(what) + " name with a character it cannot hold: '" + std::string(name) + "'");
    }

    void Statement(std::string_view s) {
        if (s.empty()) return;
        if (s.front() == '[') {
            if (s.back() != ']') Fail("a section line must end with ']'");
            const std::string_view name = Trim(s.substr(1, s.size() - 2));
            CheckName(name, "a section");
            if (!sections_.insert(UpperAscii(name)).second) Fail("section [" + std::string(name) + "] again");
            writer_.AddSection(name);
            values_.clear();
            inSection_ = true;
            return;
        }
        const std::size_t eq = s.find('=');
        if (eq == std::string_view::npos) Fail("expected [section] or name = value");
        const std::string_view name = Trim(s.substr(0, eq));
        const std::string_view value = Trim(s.substr(eq + 1));
        CheckName(name, "a value");
        if (!inSection_) Fail("a value before the first [section]");
        if (!values_.insert(UpperAscii(name)).second) Fail("value '" + std::string(name) + "' again in this section");
        if (value.empty()) Fail("value '" + std::string(name) + "' has nothing after '='");
        if (value.front() == '"') writer_.AddValue(name, Text(value));
        else if (value.starts_with("flag ")) writer_.AddValue(name, Flag(value.substr(5)));
        else Number(name, value);
    }

    void Number(std::string_view name, std::string_view value) {
        std::int32_t n = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        if (ec != std::errc() || end != value.data() + value.size())
            Fail("expected a \"text\", a number or a flag: " + std::string(value));
        if (EqualsNoCase(name, "CHARSET")) {
            codePage_ = CodePageOfCharset(n);
            if (codePage_ == 0) Fail("character set " + std::to_string(n) + " has no single-byte code page");
        }
        writer_.AddInteger(name, n);
    }

    std::string Text(std::string_view value) {
        if (value.size() < 2 || value.back() != '"') Fail("a text must end with '\"'");
        std::string text;
        for (std::size_t i = 1; i + 1 < value.size(); ++i) {
            char c = value[i];
            if (c == '"') Fail("a '\"' inside a text must be written \\\"");
            if (c == '\\') {
                if (i + 2 >= value.size()) Fail("a text ends with a lone '\\'");
                switch (value[++i]) {
                case 'n': c = '\n'; break;
                case 't': c = '\t'; break;
                case '"': c = '"'; break;
                case '\\': c = '\\'; break;
                default: Fail(std::string("unknown escape \\") + value[i]);
                }
            }
            text += c;
        }
        EncodeError error{};
        std::optional<std::string> encoded = Utf8ToSingleByte(text, codePage_, &error);
        if (!encoded) {
            std::size_t n = 1;
            while (error.Offset + n < text.size() && (static_cast<unsigned char>(text[error.Offset + n]) & 0xC0) == 0x80)
                ++n;
            Fail("'" + text.substr(error.Offset, n) + "' cannot be written in code page " + std::to_string(codePage_));
        }
        return std::move(*encoded);
    }

    // "vertical #RRGGBB #RRGGBB #RRGGBB", "horizontal ..." (three stripes) or
    // "cross #RRGGBB #RRGGBB" (a field and a centred cross).
    std::string Flag(std::string_view spec) {
        std::vector<std::string_view> words;
        while (!(spec = Trim(spec)).empty()) {
            std::size_t n = 0;
            while (n < spec.size() && !IsBlank(spec[n])) ++n;
            words.push_back(spec.substr(0, n));
            spec.remove_prefix(n);
        }
        const bool cross = !words.empty() && words[0] == "cross";
        if (!(words.size() == 4 && (words[0] == "vertical" || words[0] == "horizontal")) &&
            !(words.size() == 3 && cross))
            Fail("a flag is: flag vertical|horizontal #RRGGBB #RRGGBB #RRGGBB, or flag cross #RRGGBB #RRGGBB");
        std::uint32_t colours[3] = {};
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::string_view w = words[i];
            const auto [end, ec] = std::from_chars(w.data() + 1, w.data() + w.size(), colours[i - 1], 16);
            if (w.size() != 7 || w[0] != '#' || ec != std::errc() || end != w.data() + w.size())
                Fail("a colour is #RRGGBB: " + std::string(w));
        }
        TPicture flag{kFlagWidth, kFlagHeight, {}};
        for (int y = 0; y < kFlagHeight; ++y) {
            for (int x = 0; x < kFlagWidth; ++x) {
                std::uint32_t colour;
                if (x == 0 || y == 0 || x == kFlagWidth - 1 || y == kFlagHeight - 1) colour = kFlagBorder;
                else if (cross)  // bars 5 pixels wide through the middle
                    colour = colours[std::abs(2 * x - (kFlagWidth - 1)) <= 4 || std::abs(2 * y - (kFlagHeight - 1)) <= 4];
                else colour = colours[words[0] == "vertical" ? x * 3 / kFlagWidth : y * 3 / kFlagHeight];
                flag.Pixels.push_back(colour);
            }
        }
        const std::vector<std::uint8_t> file = EncodeBitmapFile(flag);
        return {file.begin(), file.end()};
    }

    TDataFileWriter writer_;
    std::set<std::string> sections_;
    std::set<std::string> values_;
    bool inSection_ = false;
    int codePage_ = CodePageOfCharset(1);
    int line_ = 0;
};

}  // namespace

std::vector<std::uint8_t> CompileLanguage(std::string_view source) { return Compiler().Run(source); }

}  // namespace kelvora::lngc
