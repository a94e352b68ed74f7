// Unpredictable numbers from Windows' own generator.
#pragma once

#include <cstdint>

// 64 random bits; a mix of the clock and the process number where no
// generator can be had (never expected: Windows 7 and later have one).
std::uint64_t RandomNumber();
