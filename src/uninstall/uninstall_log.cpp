#include "uninstall/uninstall_log.h"

namespace kelvora {

namespace {

constexpr std::string_view kHeading[] = {"QOR log file", "============", ""};
constexpr std::string_view kRunRule = "---------------------------------------";
constexpr std::string_view kLineBreak = "\r\n";

void AppendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append(kLineBreak);
}

}  // namespace

bool TUninstallLog::Add(std::int32_t logLevel, std::string_view line, std::int32_t lineLevel) {
    if (!PassesLogLevel(logLevel, lineLevel)) return false;
    lines_.emplace_back(line);
    return true;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

std::string UninstallLogPath(std::string_view programFolder) { return std::string(programFolder) + "\\Log.txt"; }

LogWriteResult WriteUninstallLog(platform::FileSystem& files, std::string_view programFolder,
                                 std::int32_t logLevel, std::string_view appIdentifier,
                                 std::string_view when, const std::vector<std::string>& lines) {
    if (logLevel <= 0) return LogWriteResult::kSkipped;
    const std::string path = UninstallLogPath(programFolder);

    // The old file is read as lines and written back with CR LF after each,
    // so a file that another editor saved with other line ends comes out
    // uniform.
    std::string text;
    if (files.Exists(path)) {
        std::vector<std::uint8_t> old;
        if (!files.ReadFile(path, old)) return LogWriteResult::kReadFailed;
        for (const std::string& line : SplitLines({reinterpret_cast<const char*>(old.data()), old.size()})) {
            AppendLine(text, line);
        }
    } else {
        for (std::string_view line : kHeading) AppendLine(text, line);
    }

    AppendLine(text, "");
    std::string title(appIdentifier);
    title += ' ';
    title += when;
    AppendLine(text, title);
    AppendLine(text, kRunRule);
    for (const std::string& line : lines) AppendLine(text, line);
    AppendLine(text, "");

    if (!files.WriteFileAtomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) {
        return LogWriteResult::kWriteFailed;
    }
    return LogWriteResult::kWritten;
}

}  // namespace kelvora
