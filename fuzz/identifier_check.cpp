#include <algorithm>
#include <string>

#include "changes/chg_archive.h"
#include "changes/identifier.h"
#include "checks.h"
#include "fuzz_support.h"
#include "monitoring/monitoring.h"
#include "platform/memory/memory_file_system.h"

namespace kelvora::fuzz {

namespace {


// Longest file name and longest path the ANSI functions take.
constexpr std::size_t kMaxName = 255;
constexpr std::size_t kMaxPath = 259;

std::string_view Text(Input bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

// What an accepted identifier must be: the archive it names is a plain file
// directly inside the folder, its name and path within the lengths Windows
// takes, and it does not end in a dot or blank (which Windows would drop).
std::string AcceptedFault(std::string_view identifier, std::string_view folder) {
    const std::string path = ArchiveFileBase(folder, identifier) + std::string(kArchiveExtension);
    const std::string_view name = std::string_view(path).substr(folder.size() + 1);
    if (name.find_first_of("\\/:*?\"<>|") != std::string_view::npos) return "the archive name leaves the folder";
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        return "a control character in the archive name";
    }
    if (identifier.empty() || identifier.back() == '.' || identifier.back() == ' ') {
        return "an identifier Windows would cut";
    }
    if (name.size() > kMaxName || path.size() > kMaxPath) return "an archive name or path too long";
    return {};
}

}  // namespace

std::string CheckIdentifier(Input bytes) {
    const std::string_view text = Text(bytes);
    const std::size_t nul = text.find('\0');
    const std::string_view identifier = text.substr(0, nul);
    const std::string_view folder =
        nul == std::string_view::npos ? std::string_view(kProgramFolder) : text.substr(nul + 1);
    const std::optional<std::string> error = IdentifierError(identifier, folder);
    if (error) return error->empty() ? "a refusal without a reason" : std::string();
    return AcceptedFault(identifier, folder);
}

std::string CheckResumeMarker(Input bytes) {
    platform::memory::MemoryFileSystem files;
    files.AddFolder(kProgramFolder);
    const std::string marker = std::string(kProgramFolder) + "\\" + std::string(kResumeMarker);
    files.WriteFile(marker, bytes.data(), bytes.size());
    const std::optional<std::string> identifier = ReadResumeMarker(files, kProgramFolder);
    if (!identifier) return {};
    if (identifier->empty() || identifier->find_first_of("\r\n") != std::string::npos) {
        return "the marker's identifier is empty or spans lines";
    }
    // The callers check the identifier before they use it; one that passes
    // must survive a marker written for it.
    if (IdentifierError(*identifier, kProgramFolder)) return {};
    if (!WriteResumeMarker(files, kProgramFolder, *identifier)) return "the marker cannot be written";
    if (ReadResumeMarker(files, kProgramFolder) != identifier) return "the identifier changed through the marker";
    return {};
}

}  // namespace kelvora::fuzz
