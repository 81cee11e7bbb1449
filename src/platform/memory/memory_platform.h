// Every in-memory service in one object: construct one per test and hand
// `platform` to the code under test; the members stay reachable for setting
// up and checking.
#pragma once

#include "platform/memory/fixed_clock.h"
#include "platform/memory/memory_collation.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_locale.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_shell.h"
#include "platform/platform.h"

namespace kelvora::platform::memory {

class MemoryPlatform {
public:
    MemoryPlatform() = default;
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    MemoryRegistry registry;
    MemoryFileSystem files;
    MemoryShell shell{files};
    FixedClock clock;
    MemoryLocale locale;
    MemoryCollation collation;
    Platform platform{registry, files, shell, clock, locale, collation};
};

}  // namespace kelvora::platform::memory
