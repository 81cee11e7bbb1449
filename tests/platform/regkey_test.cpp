#include "platform/platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvora::platform {
namespace {

// Counts closes; every other operation is unused here.
class ClosingRegistry : public Registry {
public:
    std::vector<std::uintptr_t> closed;
    long OpenKey(RootKey, std::string_view, std::uint32_t, RegKey&) override { return 0; }
    long CreateKey(RootKey, std::string_view, RegKey&) override { return 0; }
    long DeleteKey(RootKey, std::string_view) override { return 0; }
    long OpenKey(const RegKey&, std::string_view, std::uint32_t, RegKey&) override { return 0; }
    long CreateKey(const RegKey&, std::string_view, RegKey&) override { return 0; }
    long DeleteKey(const RegKey&, std::string_view) override { return 0; }
    long EnumValue(const RegKey&, std::uint32_t, char*, std::uint32_t&, std::uint32_t&, std::uint8_t*,
                   std::uint32_t&) override { return 0; }
    long EnumKey(const RegKey&, std::uint32_t, char*, std::uint32_t&, std::uint64_t*) override { return 0; }
    long QueryInfo(const RegKey&, std::uint32_t&, std::uint32_t&) override { return 0; }
    long QueryValue(const RegKey&, std::string_view, std::uint32_t&, std::vector<std::uint8_t>&) override {
        return 0;
    }
    long SetValue(const RegKey&, std::string_view, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
        return 0;
    }
    long DeleteValue(const RegKey&, std::string_view) override { return 0; }

protected:
    void CloseKey(std::uintptr_t handle) override { closed.push_back(handle); }
};

TEST(RegKey, ClosesExactlyOnceAcrossMoves) {
    ClosingRegistry reg;
    {
        RegKey a(&reg, 7);
        RegKey b(std::move(a));
        EXPECT_FALSE(a.IsOpen());
        RegKey c(&reg, 9);
        c = std::move(b);  // closes 9, takes 7
        EXPECT_EQ(reg.closed, std::vector<std::uintptr_t>({9}));
        EXPECT_EQ(c.Handle(), 7u);
    }
    EXPECT_EQ(reg.closed, std::vector<std::uintptr_t>({9, 7}));
}

}  // namespace
}  // namespace kelvora::platform
