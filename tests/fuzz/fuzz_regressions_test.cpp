// Every input kept in fuzz/regressions/<target>/ once made a reader fail; each
// must now pass that reader's check (see fuzz/checks.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "checks.h"

namespace kelvora {
namespace {

TEST(FuzzRegressionsTest, EveryKeptInputPassesItsReadersCheck) {
    const struct {
        const char* target;
        std::string (*check)(fuzz::Input);
    } targets[] = {{"snapshot", fuzz::CheckSnapshot},
                   {"archive", fuzz::CheckArchive},
                   {"resume_marker", fuzz::CheckResumeMarker},
                   {"identifier", fuzz::CheckIdentifier}};
    int inputs = 0;
    for (const auto& [target, check] : targets) {
        const std::filesystem::path folder = std::filesystem::path(KELVORA_FUZZ_REGRESSIONS) / target;
        if (!std::filesystem::exists(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            EXPECT_EQ(check(bytes), "") << entry.path();
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace kelvora
