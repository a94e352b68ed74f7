// How an alert repeats: one of the five modes of the alarm table, with
// exactly their meaning (a monthly alert on the 31st carries over into the
// next month), or a rule with the meaning of an iCalendar RRULE (RFC 5545)
// for the repeats people use: every weekday, every other week, the last
// Friday of the month, ten times, until a date.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "date_value.h"
#include "repeat_mode.h"
#include "text_id.h"

enum class RuleFrequency { Daily, Weekly, Monthly, Yearly };

// The lists of a rule are sets of bits: written in one order whatever the
// order read, equal rules compare equal, and no code sorts or searches.

// BYDAY without a number: bit 0 Sunday .. bit 6 Saturday (as DateParts has
// them).
using WeekdaySet = std::uint8_t;

// BYDAY with a number, for one weekday, in a monthly or yearly rule: bit
// n-1 of `fromStart` the nth in the month or year (1..53), of `fromEnd`
// the nth last.
struct WeekdayPlaces {
  std::uint64_t fromStart = 0;
  std::uint64_t fromEnd = 0;

  bool operator==(const WeekdayPlaces&) const = default;
};

// BYMONTHDAY: bits 0..30 the days 1..31, bits 31..61 the days -1..-31
// (-1 the last day); bits 62 and 63 name no day (the reader puts a 0 in
// bit 62, for RuleProblem to name).
constexpr int MonthDayBit(int day) { return day > 0 ? day - 1 : day < 0 ? 30 - day : 62; }

enum class RuleEnding { Forever, Count, Until };

struct RuleEnd {
  RuleEnding kind = RuleEnding::Forever;
  // Count: the occurrences from the series start on, the start the first
  // when the rule matches it.
  int count = 0;
  // Until, inclusive, in local wall-clock time; a date alone keeps the
  // whole day in (`last` is then its midnight).
  DateValue last = 0.0;
  bool wholeDay = false;

  bool operator==(const RuleEnd&) const = default;
};

// The time of day of every occurrence is the series start's.
struct RepeatRule {
  RuleFrequency frequency = RuleFrequency::Daily;
  int interval = 1;
  WeekdaySet byWeekday = 0;                // BYDAY without a number
  std::array<WeekdayPlaces, 7> byPlace{};  // BYDAY with a number, per weekday (0 Sunday)
  std::uint64_t byMonthDay = 0;            // bits as MonthDayBit has them
  std::uint16_t byMonth = 0;               // bit 0 January .. bit 11 December
  std::optional<int> bySetPos;             // one place in each period's set
  int weekStart = 1;                       // WKST, Monday by default
  RuleEnd end;
  std::vector<DateValue> leftOut;  // EXDATE, local wall-clock times

  bool operator==(const RepeatRule&) const = default;
};

// Whether BYDAY names a weekday with a number.
bool HasPlaces(const RepeatRule& rule);

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
// The same as the text's identifier, kNoText when there is none.
TextId RuleProblemId(const RepeatRule& rule);

// The nearest of the five modes, for a reader that knows only those: the
// frequency's mode, a rule every 7 days (or multiple) weekly, one with
// COUNT=1 once.
RepeatMode NearestMode(const RepeatRule& rule);

// The editor's name of a mode ("Each day"); empty outside 0..4.
std::wstring ModeText(RepeatMode mode);
