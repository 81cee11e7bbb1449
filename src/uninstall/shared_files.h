// Shared libraries during an uninstall: the registered shared files that the
// file phase spares, the lowering of raised usage counters, and the removal
// of shared files that no program uses any more, with the user's consent.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "uninstall/uninstall_actions.h"
#include "worker/worker_control.h"

namespace kelvora {

// The usage counters of shared files, below HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kSharedDllsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Answers to the shared-file question (the dialog's modal results); any
// other value means the dialog was closed without a button.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerNoToAll = 9;
inline constexpr int kAnswerYesToAll = 10;

// Asks whether an unused shared file may go. Called on the main thread.
class IRemoveSharedQuestion {
public:
    virtual ~IRemoveSharedQuestion() = default;
    // fileName is the file's name, folder its folder with a trailing
    // backslash. Answers a kAnswer* value.
    virtual int AskRemoveShared(const std::string& fileName, const std::string& folder) = 0;
};

// The names of all values of the shared-libraries key; each one that names
// an existing file in its long form. Empty when there is no such key; none
// when the key is there but cannot be read whole, for then nobody knows
// which created files other programs share.
std::optional<SharedFileSet> BuildSharedFiles(platform::Registry& registry, platform::FileSystem& files);

// Lowers the counter value valueName of keyPath by the increment that a
// kind-6 change recorded (a 32-bit number for REG_DWORD, decimal text for
// REG_SZ). A counter that reaches zero or less is written as it is and, once
// written, its name appended to unusedShared.
Outcome UpdateSharedCounter(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName, std::uint32_t incrementType,
                            std::span<const std::uint8_t> increment, std::vector<std::string>& unusedShared);

// Removes the counter value of each unused shared file and, when the user
// agrees, moves the file into the Recycle Bin. report receives each file
// with its outcome, in order. Stops before the next file once a stop is
// requested.
void RemoveUnusedShared(platform::Platform& os, const std::vector<std::string>& unusedShared,
                        IRemoveSharedQuestion& question, IWorkerControl& control,
                        const std::function<void(const std::string& file, Outcome outcome)>& report);

}  // namespace kelvora
