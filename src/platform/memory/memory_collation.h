// A stand-in for the locale's order of names, for tests: deterministic, and
// unlike ASCII where real locales are (so a caller that sorts by bytes
// instead shows up):
// - an apostrophe or a hyphen is passed over at first ("it's" next to
//   "its"), as the locales' word sort does;
// - other punctuation and blanks come before digits, digits before letters
//   ("_a" before "b");
// - letters compare without case, and an accented Latin letter (U+00C0 to
//   U+00FF in UTF-8) comes right after its base letter ("éa" between "ea"
//   and "f");
// - names equal so far are ordered by CompareNoCase.
#pragma once

#include "platform/platform.h"

namespace kelvora::platform::memory {

class MemoryCollation final : public Collation {
public:
    int Compare(std::string_view a, std::string_view b) const override;
};

}  // namespace kelvora::platform::memory
