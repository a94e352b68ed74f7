// Window handles between a 32-bit and a 64-bit program: only their low 32
// bits count. Windows sign-extends a handle it widens, but a WPARAM that
// carries one is zero-extended on its way to a 64-bit program.
#pragma once

#include <cstdint>

constexpr std::uint32_t WindowHandleBits(std::uint64_t handle) { return static_cast<std::uint32_t>(handle); }

// The handle as a 64-bit program holds it: sign-extended.
constexpr std::int64_t WidenedWindowHandle(std::uint32_t bits) {
  return static_cast<std::int64_t>(static_cast<std::int32_t>(bits));
}

// Whether a handle that came as a WPARAM names `window`.
constexpr bool SameWindowHandle(std::uint64_t sent, std::uint64_t window) {
  return WindowHandleBits(sent) == WindowHandleBits(window);
}
