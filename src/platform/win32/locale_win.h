#pragma once

#include "platform/platform.h"

namespace kelvora::platform::win32 {

// The user's default locale (with the user's own changes to it).
class Win32Locale final : public Locale {
public:
    DateTimeSeparators Separators() override;
};

}  // namespace kelvora::platform::win32
