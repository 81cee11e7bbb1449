// What every reader of untrusted bytes must do with any input: never crash,
// never read outside what it was given, and leave what it built in a sound
// state. Each check feeds one input to one reader (through the in-memory
// platform) and answers a description of the first fault it sees, or an empty
// string. The fuzz targets call them on generated inputs; the unit tests call
// them on the inputs kept in fuzz/regressions/.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kelvora::fuzz {

using Input = std::span<const std::uint8_t>;

// The bytes as a snapshot file: read record by record, then loaded as a
// registry snapshot and as a file-system snapshot.
std::string CheckSnapshot(Input bytes);

// The bytes as an archive: opened, loaded into a changes tree, exported as
// text, marked used; a loaded tree saved and loaded again must give the same
// tree and the same records.
std::string CheckArchive(Input bytes);

// The bytes as the resume marker "Continue.dat"; an identifier it names that
// passes the identifier check must come back unchanged through a marker
// written for it.
std::string CheckResumeMarker(Input bytes);

// The bytes as an identifier, then a NUL byte and the program's folder (the
// folder is "C:\Kelvora" when there is no NUL): an identifier the check
// accepts must name a plain file in that folder.
std::string CheckIdentifier(Input bytes);

}  // namespace kelvora::fuzz
