// The fatal stop: the frame's answer to a failure it cannot get past.
#pragma once
#include <cstddef>
#include <span>
#include <string_view>

namespace wm::app {

inline constexpr const char* kLayoutUnreadable = "载入窗口模板数据段出错!";
inline constexpr const char* kWindowNotCreated = "载入启动窗口失败";

// The error box text for a message, written into `out` with a terminating
// zero (cut to fit). Works without allocating, since it also reports failed
// allocations. Returns the length written.
size_t format_fatal_text(std::string_view message, std::span<char> out);

// The message for a failed allocation of n bytes.
size_t format_allocation_failure(size_t n, std::span<char> out);

// Shows the error box, releases what the program holds (without the closing
// step) and ends the process with exit code -1.
[[noreturn]] void fatal_stop(std::string_view message) noexcept;

}  // namespace wm::app
