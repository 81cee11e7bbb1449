#include "monitoring/monitoring.h"

#include <array>

#include "scan/db_tree.h"

namespace kelvora {

bool WriteResumeMarker(platform::FileSystem& files, std::string_view programFolder, std::string_view identifier) {
    const std::string text = std::string(identifier) + "\r\n";
    return files.WriteFileAtomic(FileInFolder(programFolder, kResumeMarker),
                                 reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::optional<std::string> ReadResumeMarker(platform::FileSystem& files, std::string_view programFolder) {
    std::vector<std::uint8_t> bytes;
    if (!files.ReadFile(FileInFolder(programFolder, kResumeMarker), bytes)) return std::nullopt;
    std::string line(bytes.begin(), bytes.end());
    line = line.substr(0, line.find_first_of("\r\n"));
    if (line.empty()) return std::nullopt;
    return line;
}

void DeleteResumeMarker(platform::FileSystem& files, std::string_view programFolder) {
    files.DeleteFile(FileInFolder(programFolder, kResumeMarker));
}

void WriteRunAtLogon(platform::Platform& os, std::string_view program) {
    // A user without the right to write the value cannot register the task
    // either: both stay away, and the marker still resumes a start by hand.
    platform::RegKey key;
    if (os.registry.OpenKey(platform::kLocalMachine, kRunKeyPath, platform::kKeyAllAccess, key) !=
        platform::kErrorSuccess) {
        return;
    }
    const std::string data = std::string(program);
    os.registry.SetValue(key, kRunValueName, platform::kRegSz, reinterpret_cast<const std::uint8_t*>(data.c_str()),
                         static_cast<std::uint32_t>(data.size() + 1));
    os.shell.ScheduleAtLogon(kRunValueName, program);
}

void DeleteRunAtLogon(platform::Platform& os) {
    platform::RegKey key;
    if (os.registry.OpenKey(platform::kLocalMachine, kRunKeyPath, platform::kKeyAllAccess, key) ==
        platform::kErrorSuccess) {
        os.registry.DeleteValue(key, kRunValueName);
    }
    os.shell.UnscheduleAtLogon(kRunValueName);
}

void DeleteSnapshots(platform::FileSystem& fs, std::string_view programFolder) {
    static constexpr std::array<std::string_view, 7> kFiles = {"HKCR.SNS", "HKCU.SNS", "HKLM.SNS", "HKUS.SNS",
                                                               "HKCC.SNS", "FIS1.SNS", "FIS2.SNS"};
    for (std::string_view file : kFiles) fs.DeleteFile(FileInFolder(programFolder, file));
}

void GiveUpMonitoring(platform::Platform& os, std::string_view programFolder) {
    DeleteResumeMarker(os.files, programFolder);
    DeleteSnapshots(os.files, programFolder);
    DeleteRunAtLogon(os);
}

std::string QuoteArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos) {
        return std::string(argument);
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal except before a quote.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote they are doubled too.
    quoted.append(2 * backslashes, '\\');
    quoted += '"';
    return quoted;
}

}  // namespace kelvora
