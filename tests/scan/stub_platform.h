// A platform whose registry, shell and clock do nothing, around the fake
// file system: enough for workers that only need to be constructed.
#pragma once

#include "platform/platform.h"
#include "scan/fake_file_system.h"

namespace kelvora::testing {

class NullRegistry : public platform::Registry {
public:
    long OpenKey(platform::RootKey, std::string_view, std::uint32_t, platform::RegKey&) override {
        return platform::kErrorFileNotFound;
    }
    long CreateKey(platform::RootKey, std::string_view, platform::RegKey&) override {
        return platform::kErrorAccessDenied;
    }
    long DeleteKey(platform::RootKey, std::string_view) override { return platform::kErrorFileNotFound; }
    long EnumValue(const platform::RegKey&, std::uint32_t, char*, std::uint32_t&, std::uint32_t&, std::uint8_t*,
                   std::uint32_t&) override {
        return platform::kErrorNoMoreItems;
    }
    long EnumKey(const platform::RegKey&, std::uint32_t, char*, std::uint32_t&) override {
        return platform::kErrorNoMoreItems;
    }
    long QueryInfo(const platform::RegKey&, std::uint32_t&, std::uint32_t&) override {
        return platform::kErrorFileNotFound;
    }
    long QueryValue(const platform::RegKey&, std::string_view, std::uint32_t&, std::vector<std::uint8_t>&) override {
        return platform::kErrorFileNotFound;
    }
    long SetValue(const platform::RegKey&, std::string_view, std::uint32_t, const std::uint8_t*,
                  std::uint32_t) override {
        return platform::kErrorAccessDenied;
    }
    long DeleteValue(const platform::RegKey&, std::string_view) override { return platform::kErrorFileNotFound; }

protected:
    void CloseKey(std::uintptr_t) override {}
};

class NullShell : public platform::Shell {
public:
    bool Execute(std::string_view, std::string_view) override { return false; }
    bool DeleteToRecycleBin(std::string_view) override { return false; }
};

class FixedClock : public platform::Clock {
public:
    double Now() override { return 46000.5; }
};

struct StubPlatform {
    NullRegistry registry;
    FakeFileSystem files;
    NullShell shell;
    FixedClock clock;
    platform::Platform platform{registry, files, shell, clock};
};

}  // namespace kelvora::testing
