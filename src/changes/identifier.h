// The check that an identifier of a monitored application can name its
// archive, the file <identifier>.qor in the program's folder. Every place
// that accepts an identifier (the wizard, the drop handler, the rename
// dialog, the command line) asks this one check before using it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {

// Nothing when identifier names a plain archive file in programFolder;
// otherwise the translated reason, ready to show. Refused: an empty
// identifier; one with a control character or any of \ / : * ? " < > |; one
// that is not valid UTF-8; one ending in a dot or a blank; a device name
// (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 and the like, any case, with or
// without an extension); one whose archive name or path would be too long.
std::optional<std::string> IdentifierError(std::string_view identifier, std::string_view programFolder);

}  // namespace kelvora
