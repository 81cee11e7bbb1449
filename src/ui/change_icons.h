// The 20 images of the changes tree (computer, file system, registry,
// drive, branch; created and deleted keys and folders; created, deleted,
// changed and counted values, binary and text; created, deleted, changed
// and moved files), drawn in code at the size asked.
#pragma once

#include "ui/framework/gdi.h"

namespace kelvora::ui {

// size: the icon's width and height in pixels (16 at 96 dpi).
ImageList CreateChangeImages(int size);

}  // namespace kelvora::ui
