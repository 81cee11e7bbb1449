// Runs a piece of work on a new thread whose stack holds the given number of
// bytes, and waits for it. Code that must not use stack in proportion to the
// depth of its data is tested on a stack of the size a Windows program's
// main thread gets (1 MB): a recursion per level of 10,000 levels overflows it.
#pragma once

#include <cstddef>
#include <functional>

namespace kelvora::test {

inline constexpr std::size_t kWindowsMainStack = 1024 * 1024;

// False when the thread could not be started.
bool RunOnStack(std::size_t bytes, const std::function<void()>& work);

}  // namespace kelvora::test
