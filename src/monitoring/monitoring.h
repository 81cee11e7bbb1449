// The files and registry value that let a monitoring outlive the program
// between the first scan and the rescan, beside the snapshot files: the resume
// marker "Continue.dat" naming the identifier, and the run-at-logon value
// and logon task that start the window program at the next logon.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kelvora {

inline constexpr std::string_view kResumeMarker = "Continue.dat";
inline constexpr std::string_view kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValueName = "Kelvora";

// "Continue.dat" with the identifier as its only line (CR LF).
bool WriteResumeMarker(platform::FileSystem& files, std::string_view programFolder, std::string_view identifier);
// The identifier the marker names; nothing when there is no marker or its
// first line is empty.
std::optional<std::string> ReadResumeMarker(platform::FileSystem& files, std::string_view programFolder);
void DeleteResumeMarker(platform::FileSystem& files, std::string_view programFolder);

// The program's start at the next logon: the value "Kelvora" under
// HKLM\...\Run set to program (the key is opened without being created,
// failures are ignored), and beside it a logon task of the same name. The
// value alone would never start a program that asks for elevation: Windows
// skips such entries of the Run key at logon; the task starts it elevated.
void WriteRunAtLogon(platform::Platform& os, std::string_view program);
void DeleteRunAtLogon(platform::Platform& os);

// One argument as a program's command line carries it: as it is when it
// holds no blank or quote, else in quotes, with the backslashes before a
// quote doubled (the rules of the C runtime's command-line parsing).
std::string QuoteArgument(std::string_view argument);

// Deletes every snapshot file that is left in programFolder ("HKCR.SNS",
// "HKCU.SNS", "HKLM.SNS", "HKUS.SNS", "HKCC.SNS", "FIS1.SNS", "FIS2.SNS" in
// this order), ignoring missing ones. The current directory is not used.
void DeleteSnapshots(platform::FileSystem& fs, std::string_view programFolder);

// Giving the monitoring up: marker, snapshot files and run-at-logon value go.
void GiveUpMonitoring(platform::Platform& os, std::string_view programFolder);

}  // namespace kelvora
