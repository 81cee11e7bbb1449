// The changes tree's 20 images as SVG pictures for the HTML report: the
// same shapes and colours in the same 16-unit grid as the window draws
// them (src/ui/change_icons.cpp).
#pragma once

#include <string>

namespace kelvora {

// The image of index (0 to 19) as an SVG document.
std::string ChangeIconSvg(int index);

}  // namespace kelvora
