#include "uninstall/shared_files.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <optional>

namespace kelvora {

using platform::kErrorSuccess;
using platform::RegKey;

namespace {

// KEY_QUERY_VALUE | KEY_SET_VALUE
constexpr std::uint32_t kKeyQueryAndSet = 0x0003u;
// The counter is read into a buffer of this size; longer data is no counter.
constexpr std::size_t kCounterBufferSize = 16;

bool IsCounterType(std::uint32_t type) { return type == platform::kRegDword || type == platform::kRegSz; }

// The number a counter's data holds: a 32-bit signed number for REG_DWORD,
// the decimal text up to its first zero byte for REG_SZ.
std::optional<std::int64_t> CounterNumber(std::uint32_t type, std::span<const std::uint8_t> data) {
    if (type == platform::kRegDword) {
        if (data.size() < sizeof(std::int32_t)) return std::nullopt;
        std::int32_t number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        return number;
    }
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return number;
}

std::vector<std::uint8_t> CounterData(std::uint32_t type, std::int32_t counter) {
    if (type == platform::kRegDword) {
        std::vector<std::uint8_t> data(sizeof counter);
        std::memcpy(data.data(), &counter, sizeof counter);
        return data;
    }
    const std::string text = std::to_string(counter);
    return std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1);
}

}  // namespace

SharedFileSet BuildSharedFiles(platform::Registry& registry, platform::FileSystem& files) {
    SharedFileSet shared;
    RegKey sharedKey;
    if (registry.OpenKey(platform::kLocalMachine, kSharedDllsKey, platform::kKeyRead, sharedKey) != kErrorSuccess) {
        return shared;
    }
    std::vector<std::string> names;
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    registry.QueryInfo(sharedKey, subKeys, values);
    names.reserve(values);
    // Value names are paths; MAX_PATH-long names and more are read whole.
    std::vector<char> name(16384);
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t nameLen = static_cast<std::uint32_t>(name.size());
        std::uint32_t type = 0;
        std::uint32_t dataLen = 0;
        const long result = registry.EnumValue(sharedKey, index, name.data(), nameLen, type, nullptr, dataLen);
        if (result == platform::kErrorNoMoreItems) break;
        if (result != kErrorSuccess && result != platform::kErrorMoreData) break;
        names.emplace_back(name.data(), nameLen);
    }
    sharedKey.Close();

    // The long form of a registered 8.3 path, so that the created files
    // (which the scans know by their long names) find it.
    for (std::string& entry : names) {
        if (files.FileExists(entry)) entry = files.LongPathName(entry);
        shared.insert(std::move(entry));
    }
    return shared;
}

Outcome UpdateSharedCounter(platform::Registry& registry, platform::RootKey root, std::string_view keyPath,
                            std::string_view valueName, std::uint32_t incrementType,
                            std::span<const std::uint8_t> increment, std::vector<std::string>& unusedShared) {
    RegKey key;
    // A counters key that is not there leaves nothing to lower; one that
    // refuses access leaves the counter raised, an error.
    if (const long opened = registry.OpenKey(root, keyPath, kKeyQueryAndSet, key); opened != kErrorSuccess) {
        return RefusedOr(opened, kOutcomeOk);
    }
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (const long read = registry.QueryValue(key, valueName, type, data); read != kErrorSuccess) {
        return RefusedOr(read, kOutcomeCounterDeleted);
    }
    if (data.size() > kCounterBufferSize) return kOutcomeCounterDeleted;
    // A counter that was raised is recorded as a REG_DWORD amount whatever
    // the value's own type, so a REG_SZ counter is lowered by a REG_DWORD
    // increment too.
    if (!IsCounterType(type) || !IsCounterType(incrementType)) return kOutcomeOk;
    const std::optional<std::int64_t> current = CounterNumber(type, data);
    const std::optional<std::int64_t> amount = CounterNumber(incrementType, increment);
    if (!current || !amount) return kOutcomeError;

    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t lowered = *current - *amount;
    const auto counter = static_cast<std::int32_t>(lowered < kMin ? kMin : (lowered > kMax ? kMax : lowered));
    if (counter <= 0) unusedShared.emplace_back(valueName);

    RegKey writable;
    if (const long opened = registry.OpenKey(root, keyPath, platform::kKeyAllAccess, writable);
        opened != kErrorSuccess) {
        return RefusedOr(opened, kOutcomeError);
    }
    const std::vector<std::uint8_t> newData = CounterData(type, counter);
    const long written =
        registry.SetValue(writable, valueName, type, newData.data(), static_cast<std::uint32_t>(newData.size()));
    return written == kErrorSuccess ? kOutcomeOk : RefusedOr(written, kOutcomeError);
}

void RemoveUnusedShared(platform::Platform& os, const std::vector<std::string>& unusedShared,
                        IRemoveSharedQuestion& question, IWorkerControl& control,
                        const std::function<void(const std::string& file, Outcome outcome)>& report) {
    int answer = kAnswerYes;
    for (const std::string& file : unusedShared) {
        control.PausePoint();
        if (control.Terminated()) return;
        {
            RegKey sharedKey;
            if (os.registry.OpenKey(platform::kLocalMachine, kSharedDllsKey, platform::kKeyAllAccess, sharedKey) ==
                kErrorSuccess) {
                os.registry.DeleteValue(sharedKey, file);
            }
        }
        Outcome outcome = kOutcomeOk;
        if (!os.files.FileExists(file)) {
            outcome = kOutcomeSharedDeleted;
        } else {
            if (answer == kAnswerYes || answer == kAnswerNo) {
                const std::size_t cut = file.find_last_of("\\:");
                const std::size_t nameStart = cut == std::string::npos ? 0 : cut + 1;
                answer = question.AskRemoveShared(file.substr(nameStart), file.substr(0, nameStart));
            }
            if (answer == kAnswerYes || answer == kAnswerYesToAll) {
                os.files.SetAttributes(file, platform::kAttrArchive);
                if (!MoveToRecycleBin(os.files, os.shell, file)) outcome = kOutcomeInUse;
            } else {
                outcome = kOutcomeSkipped;
            }
        }
        report(file, outcome);
    }
}

}  // namespace kelvora
