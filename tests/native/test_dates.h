// Dates written as calendar values, for readable test tables.
#pragma once

#include <cstdint>

#include "date_value.h"

inline DateValue At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return MakeDate(static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), static_cast<std::int16_t>(day)) +
         (hour * 3600 + minute * 60 + second) / 86400.0;
}

class FixedClock final : public Clock {
 public:
  explicit FixedClock(DateValue now) : now_(now) {}
  DateValue Now() const override { return now_; }
  void Set(DateValue now) { now_ = now; }

 private:
  DateValue now_;
};
