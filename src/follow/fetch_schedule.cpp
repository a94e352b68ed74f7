#include "fetch_schedule.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kMinute = 60'000;

}  // namespace

void FetchSchedule::Answered(std::uint64_t now, int refreshMinutes) {
  failures = 0;
  next = now + static_cast<std::uint64_t>(refreshMinutes) * kMinute;
}

void FetchSchedule::Failed(std::uint64_t now, int refreshMinutes) {
  failures = std::min(failures + 1, 30);
  const std::uint64_t backOff = std::uint64_t{1} << std::min(failures - 1, 20);
  next = now + std::min(backOff, static_cast<std::uint64_t>(refreshMinutes)) * kMinute;
}
