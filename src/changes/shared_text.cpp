#include "changes/shared_text.h"

#include <utility>

namespace kelvora {

SharedText::SharedText(std::string&& text) {
    if (!text.empty()) {
        rep_ = new Rep;
        rep_->text = std::move(text);
    }
}

SharedText& SharedText::operator=(const SharedText& other) noexcept {
    if (rep_ != other.rep_) {
        if (other.rep_ != nullptr) other.rep_->refs.fetch_add(1, std::memory_order_relaxed);
        Release();
        rep_ = other.rep_;
    }
    return *this;
}

SharedText& SharedText::operator=(SharedText&& other) noexcept {
    if (this != &other) {
        Release();
        rep_ = std::exchange(other.rep_, nullptr);
    }
    return *this;
}

void SharedText::assign(std::string_view text) {
    Release();
    if (text.empty()) return;
    rep_ = new Rep;
    rep_->text.assign(text);
}

const std::string& SharedText::EmptyString() {
    static const std::string empty;
    return empty;
}

void SharedText::Release() noexcept {
    Rep* rep = std::exchange(rep_, nullptr);
    if (rep != nullptr && rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep;
}

}  // namespace kelvora
