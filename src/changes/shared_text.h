// An immutable text whose copies share one heap block. The changes tree keeps
// a leaf's Path this way: the leaves of one folder or key (often thousands)
// hold one copy of their common path instead of one each.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvora {

class SharedText {
public:
    SharedText() = default;
    SharedText(std::string_view text) { assign(text); }
    SharedText(const char* text) { assign(text); }
    SharedText(const std::string& text) { assign(text); }
    SharedText(std::string&& text);
    SharedText(const SharedText& other) noexcept : rep_(other.rep_) {
        if (rep_ != nullptr) rep_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    SharedText(SharedText&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    SharedText& operator=(const SharedText& other) noexcept;
    SharedText& operator=(SharedText&& other) noexcept;
    ~SharedText() { Release(); }

    void assign(std::string_view text);
    void clear() { Release(); }

    const std::string& str() const { return rep_ != nullptr ? rep_->text : EmptyString(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }
    bool empty() const { return str().empty(); }
    std::size_t size() const { return str().size(); }
    const char* data() const { return str().data(); }
    const char* c_str() const { return str().c_str(); }
    std::string substr(std::size_t pos, std::size_t count = std::string::npos) const {
        return str().substr(pos, count);
    }
    // True when both hold the same block (not only equal texts).
    bool SharesWith(const SharedText& other) const { return rep_ == other.rep_; }

    friend bool operator==(const SharedText& a, std::string_view b) { return a.str() == b; }
    friend bool operator==(const SharedText& a, const std::string& b) { return a.str() == b; }
    friend bool operator==(const SharedText& a, const char* b) { return a.str() == b; }
    friend bool operator==(const SharedText& a, const SharedText& b) { return a.str() == b.str(); }
    friend std::string operator+(const SharedText& a, std::string_view b) { return std::string(a.str()).append(b); }
    friend std::string operator+(const SharedText& a, const char* b) { return a.str() + b; }
    friend std::string operator+(const SharedText& a, char b) { return a.str() + b; }
    friend std::string operator+(std::string_view a, const SharedText& b) { return std::string(a).append(b.str()); }
    friend std::string operator+(const char* a, const SharedText& b) { return a + b.str(); }

private:
    struct Rep {
        std::atomic<std::size_t> refs{1};
        std::string text;
    };
    static const std::string& EmptyString();
    void Release() noexcept;

    Rep* rep_ = nullptr;
};

}  // namespace kelvora
