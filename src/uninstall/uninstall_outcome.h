// The outcomes of uninstall actions: the text that ends a log line and the
// level of that line.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "translation/messages.h"
#include "uninstall/uninstall_log.h"

namespace kelvora {

struct Outcome {
    const Message* text;
    std::int32_t level;

    bool IsError() const { return level == kLineError; }
    friend bool operator==(const Outcome& a, const Outcome& b) { return a.text == b.text && a.level == b.level; }
};

inline constexpr Outcome kOutcomeOk{&RS_OK, kLineSuccess};
inline constexpr Outcome kOutcomeSkipped{&RS_OK_SKIPPED, kLineSuccess};
inline constexpr Outcome kOutcomeNotFound{&RS_FAIL_NOT_FND, kLineWarning};
inline constexpr Outcome kOutcomeError{&RS_ERR, kLineError};
inline constexpr Outcome kOutcomeHasSubKeys{&RS_ERR_HAS_SUBKEY, kLineError};
inline constexpr Outcome kOutcomeInUse{&RS_ERR_FILE_USED, kLineError};
inline constexpr Outcome kOutcomeNotEmpty{&RS_ERR_NOT_EMPTY, kLineError};
inline constexpr Outcome kOutcomeCounterDeleted{&RS_ERR_COUNTER_DEL, kLineError};
inline constexpr Outcome kOutcomeSharedDeleted{&RS_ERR_SHARED_DEL, kLineError};
// The registry or the file system refused the access: an error, never a
// "not found" (that would let a run that undid nothing end without errors).
inline constexpr Outcome kOutcomeAccessDenied{&RS_ERR_ACCESS_DENIED, kLineError};

// kOutcomeAccessDenied for a Win32 error that refuses access, else otherwise.
inline Outcome RefusedOr(long error, Outcome otherwise) {
    return error == platform::kErrorAccessDenied ? kOutcomeAccessDenied : otherwise;
}

}  // namespace kelvora
