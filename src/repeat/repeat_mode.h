// The five repeat modes of an alert, as the store keeps them (Repeat).
#pragma once

#include <cstdint>

enum RepeatMode : std::int32_t {
  Once = 0,
  EachDay = 1,
  EachWeek = 2,
  EachMonth = 3,
  EachYear = 4,
};
