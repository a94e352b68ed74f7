// How an alert repeats: one of the five modes of the alarm table, with
// exactly their meaning (a monthly alert on the 31st carries over into the
// next month), or a rule with the meaning of an iCalendar RRULE (RFC 5545)
// for the repeats people use: every weekday, every other week, the last
// Friday of the month, ten times, until a date.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "alarm_table.h"
#include "date_value.h"

enum class RuleFrequency { Daily, Weekly, Monthly, Yearly };

// A BYDAY entry: a weekday (0 Sunday .. 6 Saturday, as in DateParts) and,
// in a monthly or yearly rule, its place in the month or year (1 the
// first, -1 the last; 0 every one).
struct RuleWeekday {
  int ordinal = 0;
  int weekday = 0;

  bool operator==(const RuleWeekday&) const = default;
};

struct RepeatForever {
  bool operator==(const RepeatForever&) const = default;
};
// COUNT: the occurrences from the series start on, the start the first
// when the rule matches it.
struct RepeatCount {
  int count = 1;

  bool operator==(const RepeatCount&) const = default;
};
// UNTIL, inclusive, in local wall-clock time; a date alone keeps the whole
// day in (`last` is then its midnight).
struct RepeatUntil {
  DateValue last = 0.0;
  bool wholeDay = false;

  bool operator==(const RepeatUntil&) const = default;
};
using RuleEnd = std::variant<RepeatForever, RepeatCount, RepeatUntil>;

// The time of day of every occurrence is the series start's. The reader
// keeps the lists sorted and without repeats, so equal rules compare equal.
struct RepeatRule {
  RuleFrequency frequency = RuleFrequency::Daily;
  int interval = 1;
  std::vector<RuleWeekday> byDay;  // all with an ordinal or all without
  std::vector<int> byMonthDay;     // 1..31 and -31..-1 (-1 the last day)
  std::vector<int> byMonth;        // 1..12
  std::optional<int> bySetPos;     // one place in each period's set
  int weekStart = 1;               // WKST, Monday by default
  RuleEnd end;
  std::vector<DateValue> leftOut;  // EXDATE, local wall-clock times

  bool operator==(const RepeatRule&) const = default;
};

// A mode holds the alarm table's raw value; one outside 0..4 (hand-edited)
// never occurs again, as it moves nowhere after firing.
using Recurrence = std::variant<RepeatMode, RepeatRule>;

// For std::visit: one lambda per case, so that a new case of a variant
// fails to compile until every visit handles it.
template <class... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <class... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

inline constexpr int kMaxRuleInterval = 999999;
inline constexpr int kMaxRuleCount = 999999999;
inline constexpr int kMaxSetPosition = 366;

// Why the rule is not one this program follows, or empty when it is: the
// combinations RFC 5545 forbids, and those left out here (BYDAY mixing
// weekdays with and without a number, BYSETPOS without BYDAY or
// BYMONTHDAY).
std::wstring RuleProblem(const RepeatRule& rule);

// The nearest of the five modes, for a reader that knows only those: the
// frequency's mode, a rule every 7 days (or multiple) weekly, one with
// COUNT=1 once.
RepeatMode NearestMode(const RepeatRule& rule);

// The editor's name of a mode ("Each day"); empty outside 0..4.
std::wstring_view ModeText(RepeatMode mode);
