// Dates written as calendar values and alarms built in one line, for
// readable test tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "alarm_rule.h"
#include "alarm_table.h"
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

// A slot in use and active.
inline AlarmRecord ActiveAlarm(std::wstring naam, DateValue tijd, std::int32_t repeat = Once,
                               bool deleteWhenOver = false) {
  AlarmRecord alarm;
  alarm.Exist = true;
  alarm.Actief = true;
  alarm.Naam = std::move(naam);
  alarm.Tijd = tijd;
  alarm.Repeat = repeat;
  alarm.Delete = deleteWhenOver;
  return alarm;
}

// An active alert that repeats by a rule in the store's text (alarm_rule.h).
inline AlarmRecord RuleAlarm(std::wstring naam, DateValue tijd, std::wstring_view rule, bool deleteWhenOver = false) {
  AlarmRecord alarm = ActiveAlarm(std::move(naam), tijd, Once, deleteWhenOver);
  SetRule(alarm, ReadAlarmRule(rule).value());
  return alarm;
}

inline AlarmRecord InactiveAlarm(std::wstring naam, DateValue tijd) {
  AlarmRecord alarm = ActiveAlarm(std::move(naam), tijd);
  alarm.Actief = false;
  return alarm;
}
