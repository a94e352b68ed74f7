// When a followed calendar is fetched next: its refresh time after an
// answer, and after a failure sooner, at growing intervals (1, 2, 4 ...
// minutes) up to its refresh time. Times are milliseconds of a steady
// clock (GetTickCount64), which a changed wall clock does not move.
#pragma once

#include <cstdint>

struct FetchSchedule {
  std::uint64_t next = 0;  // due at start: the first fetch comes at once
  int failures = 0;        // since the last answer

  void Answered(std::uint64_t now, int refreshMinutes);
  void Failed(std::uint64_t now, int refreshMinutes);
  bool Due(std::uint64_t now) const { return now >= next; }
};
