// A small JSON reader for the tests of the JSON export: objects, arrays,
// strings (with \u escapes), numbers, true, false and null. Throws
// std::runtime_error on anything else.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::test {

struct Json {
    enum Type { kNull, kBool, kNumber, kString, kArray, kObject } type = kNull;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json& operator[](const std::string& name) const {
        auto it = fields.find(name);
        if (it == fields.end()) throw std::runtime_error("no field " + name);
        return it->second;
    }
    bool Has(const std::string& name) const { return fields.count(name) != 0; }
    bool IsNull() const { return type == kNull; }
};

class JsonReader {
public:
    static Json Parse(std::string_view text) {
        JsonReader r(text);
        Json value = r.Value();
        r.Space();
        if (r.i_ != text.size()) throw std::runtime_error("text after the value");
        return value;
    }

private:
    explicit JsonReader(std::string_view t) : t_(t) {}
    void Space() { while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\n' || t_[i_] == '\r' || t_[i_] == '\t')) ++i_; }
    char Peek() { Space(); if (i_ >= t_.size()) throw std::runtime_error("end of text"); return t_[i_]; }
    void Expect(char c) { if (Peek() != c) throw std::runtime_error(std::string("expected ") + c); ++i_; }
    bool Word(std::string_view w) { if (t_.substr(i_, w.size()) != w) return false; i_ += w.size(); return true; }
    static void Utf8(std::string& out, unsigned cp) {
        if (cp < 0x80) { out += static_cast<char>(cp); }
        else if (cp < 0x800) { out += static_cast<char>(0xC0 | cp >> 6); out += static_cast<char>(0x80 | (cp & 63)); }
        else if (cp < 0x10000) { out += static_cast<char>(0xE0 | cp >> 12); out += static_cast<char>(0x80 | (cp >> 6 & 63)); out += static_cast<char>(0x80 | (cp & 63)); }
        else { out += static_cast<char>(0xF0 | cp >> 18); out += static_cast<char>(0x80 | (cp >> 12 & 63)); out += static_cast<char>(0x80 | (cp >> 6 & 63)); out += static_cast<char>(0x80 | (cp & 63)); }
    }
    unsigned Hex4() {
        if (i_ + 4 > t_.size()) throw std::runtime_error("short \\u");
        unsigned v = static_cast<unsigned>(std::stoul(std::string(t_.substr(i_, 4)), nullptr, 16));
        i_ += 4;
        return v;
    }
    std::string String() {
        Expect('"');
        std::string out;
        while (true) {
            if (i_ >= t_.size()) throw std::runtime_error("open string");
            const char c = t_[i_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("control character in a string");
            if (c != '\\') { out += c; continue; }
            const char e = t_[i_++];
            switch (e) {
                case '"': case '\\': case '/': out += e; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'u': {
                    unsigned cp = Hex4();
                    if (cp >= 0xD800 && cp < 0xDC00 && Word("\\u")) cp = 0x10000 + ((cp - 0xD800) << 10) + (Hex4() - 0xDC00);
                    Utf8(out, cp);
                    break;
                }
                default: throw std::runtime_error("bad escape");
            }
        }
    }
    Json Value() {
        Json v;
        const char c = Peek();
        if (c == '{') {
            v.type = Json::kObject;
            ++i_;
            if (Peek() == '}') { ++i_; return v; }
            while (true) {
                std::string name = String();
                Expect(':');
                v.fields[name] = Value();
                if (Peek() == ',') { ++i_; continue; }
                Expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.type = Json::kArray;
            ++i_;
            if (Peek() == ']') { ++i_; return v; }
            while (true) {
                v.items.push_back(Value());
                if (Peek() == ',') { ++i_; continue; }
                Expect(']');
                return v;
            }
        }
        if (c == '"') { v.type = Json::kString; v.text = String(); return v; }
        if (Word("true")) { v.type = Json::kBool; v.boolean = true; return v; }
        if (Word("false")) { v.type = Json::kBool; return v; }
        if (Word("null")) return v;
        std::size_t used = 0;
        v.type = Json::kNumber;
        v.number = std::stod(std::string(t_.substr(i_, 32)), &used);
        i_ += used;
        return v;
    }

    std::string_view t_;
    std::size_t i_ = 0;
};

}  // namespace kelvora::test
