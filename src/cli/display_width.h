// How wide a UTF-8 text shows on a console, in character cells, so that
// kelvora-cli can line up the columns of its tables.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelvora {

// One cell per character, two for the wide East Asian characters (CJK,
// Hangul, fullwidth forms, pictographic emoji), none for combining marks,
// zero-width characters and variation selectors. A byte that is not part of
// valid UTF-8 counts as one cell (it shows as a replacement character).
std::size_t DisplayWidth(std::string_view utf8);

}  // namespace kelvora
