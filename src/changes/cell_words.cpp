// The translated words of the cell texts (apart from the rules, so that a
// program using the rules with its own words needs no translator).
#include "changes/cell_text.h"
#include "translation/messages.h"

namespace kelvora {

CellWords CellWords::Translated() {
    return {TranslateString(RS_DEFAULT), TranslateString(RS_BYTES), TranslateString(RS_INCREMENTED),
            TranslateString(RS_ZERO_LENGTH_DATA)};
}

}  // namespace kelvora
