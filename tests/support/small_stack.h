// Running a piece of a test on a thread with a stack as small as a Windows
// program's threads get (1 MB), and measuring how far the process's peak
// memory rose meanwhile: deep data must cost neither stack per level nor
// memory that grows with the square of the depth.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

namespace kelvora::testing {

inline constexpr std::size_t kOneMegabyte = std::size_t{1} << 20;

// Runs work on a new thread whose stack is stackBytes and waits for it to
// end. An overflow crashes the test program, as it would crash Kelvora.
// Exceptions must not leave work.
void RunWithStack(std::size_t stackBytes, const std::function<void()>& work);

// How much the peak memory of the process rose while work ran; nothing where
// the peak cannot be measured.
std::optional<std::size_t> PeakGrowthDuring(const std::function<void()>& work);

}  // namespace kelvora::testing
