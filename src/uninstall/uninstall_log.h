// The uninstall log: the levels of its lines, the LogLevel mask that chooses
// which lines are shown and kept, the lines of one run, and the file Log.txt
// in the program's folder to which every run appends its block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

// Level of a log line (LineLevel).
inline constexpr std::int32_t kLineError = 1;
inline constexpr std::int32_t kLineWarning = 2;
inline constexpr std::int32_t kLineSuccess = 4;
inline constexpr std::int32_t kLineSummary = -1;  // the closing summary line

// LogLevel is a bit mask of the levels to show (1 errors, 2 warnings,
// 4 successes); the summary line (-1) passes every mask above zero.
constexpr bool PassesLogLevel(std::int32_t logLevel, std::int32_t lineLevel) {
    return (logLevel & lineLevel) > 0;
}

// The lines of one run that passed the mask, in the order shown: what the
// on-screen log holds and what Log.txt receives at the end of the run.
class TUninstallLog {
public:
    void Clear() { lines_.clear(); }
    // Keeps the line when its level passes logLevel; answers whether it did.
    bool Add(std::int32_t logLevel, std::string_view line, std::int32_t lineLevel);
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

enum class LogWriteResult {
    kSkipped,      // LogLevel 0 or less: the file was not touched
    kWritten,
    kReadFailed,   // Log.txt exists but could not be read; it was left as it was
    kWriteFailed,  // Log.txt could not be replaced; it was left as it was
};

// The uninstall log's file: programFolder\Log.txt.
std::string UninstallLogPath(std::string_view programFolder);

// Appends one run's block to UninstallLogPath(programFolder), starting the file with
// its heading when it does not exist. when is the run's date and time as the
// user's locale shows it. The file is replaced in one step, never rewritten
// in place.
LogWriteResult WriteUninstallLog(platform::FileSystem& files, std::string_view programFolder,
                                 std::int32_t logLevel, std::string_view appIdentifier,
                                 std::string_view when, const std::vector<std::string>& lines);

// The lines of a text: CR LF, a lone CR and a lone LF each end a line; a
// final line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace kelvora
