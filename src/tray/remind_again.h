// "Remind me again": after an alarm box closes, the tray menu offers its
// alert once more, for an hour, as a new one-time alert a few minutes, an
// hour or a day later. The alert that fired is not touched.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "alarm_table.h"

enum class RemindDelay { Minutes5, Minutes10, Minutes30, Hour1, Tomorrow };
inline constexpr std::array<RemindDelay, 5> kRemindDelays = {RemindDelay::Minutes5, RemindDelay::Minutes10,
                                                             RemindDelay::Minutes30, RemindDelay::Hour1,
                                                             RemindDelay::Tomorrow};
// "In 5 minutes" ... "Tomorrow at this time".
const wchar_t* RemindDelayText(RemindDelay delay);

// The alert whose box closed last, offered until an hour after that, until
// another box closes, or until it is used. Times are milliseconds of a
// steady clock (GetTickCount64), so that a clock change does not stretch it.
class RemindAgainOffer {
 public:
  void BoxClosed(std::wstring description, unsigned long long nowMs);
  // The description on offer, if any.
  std::optional<std::wstring> Offered(unsigned long long nowMs) const;
  void Used() { description_.reset(); }

 private:
  std::optional<std::wstring> description_;
  unsigned long long closedAtMs_ = 0;
};

// "Remind me again: DESCRIPTION": on one line, cut to about 40 characters
// with "...", an "&" shown as itself.
std::wstring RemindAgainMenuText(const std::wstring& description);

// The due time, to the minute. The minutes and the hour are real time
// (across a clock change, "In 1 hour" is an hour from now); "Tomorrow at
// this time" is the same wall-clock time the next day.
DateValue RemindAgainDue(RemindDelay delay, DateValue nowLocal, DateValue nowUtc,
                         const std::function<DateValue(DateValue utc)>& utcToLocal);

// The new one-time alert: active, not shown, deleted when over, in the
// lowest free slot but `heldSlot` (an open editor's); nothing when the
// table is full.
std::optional<int> AddReminder(AlarmTable& table, const std::wstring& description, DateValue due,
                               std::optional<int> heldSlot);
