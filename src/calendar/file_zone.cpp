#include "file_zone.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

constexpr std::size_t kMaxObservances = 128;
constexpr std::size_t kMaxStartsPerLine = 400;
constexpr std::size_t kMaxStartsPerObservance = 2000;
constexpr std::size_t kMaxStartsPerZone = 4000;

int YearOf(double line) { return SplitDate(FromTimeLine(line)).year; }
int SecondOfDay(double line) {
  return static_cast<int>(std::llround((line - std::floor(line)) * kSecondsPerDay)) % 86400;
}

bool MatchesWeekdays(const std::vector<WeekdayEntry>& weekdays, int weekday) {
  return std::any_of(weekdays.begin(), weekdays.end(),
                     [&](const WeekdayEntry& entry) { return entry.weekday == weekday; });
}

// The day of `month` the rule picks: the ordinal weekday, or the first day
// that is in BYMONTHDAY and on a BYDAY weekday. 0 when none.
int RuleDay(const YearlyOnsetRule& rule, int year) {
  if (rule.weekdays.size() == 1 && rule.weekdays.front().ordinal != 0 && rule.monthDays.empty()) {
    return NthWeekdayOfMonth(year, rule.month, rule.weekdays.front().weekday, rule.weekdays.front().ordinal);
  }
  const int days = DaysInMonth(year, rule.month);
  for (int day = 1; day <= days; ++day) {
    const bool dayListed =
        rule.monthDays.empty() || std::find(rule.monthDays.begin(), rule.monthDays.end(), day) != rule.monthDays.end();
    if (!dayListed) continue;
    if (rule.weekdays.empty()) return day;
    if (MatchesWeekdays(rule.weekdays, SplitDate(FromTimeLine(*TimeLineOf(year, rule.month, day, 0))).weekday)) {
      return day;
    }
  }
  return 0;
}

std::optional<YearlyOnsetRule> ReadOnsetRule(std::string_view text, double start, int offsetFrom) {
  const auto rule = ReadRecurrenceRule(text);
  if (!rule || rule->frequency != "YEARLY") return std::nullopt;
  YearlyOnsetRule onset;
  onset.month = SplitDate(FromTimeLine(start)).month;
  for (const auto& [name, value] : rule->parts) {
    if (name == "BYMONTH") {
      const auto months = ReadNumberList(value, 1, 12);
      if (!months || months->size() != 1) return std::nullopt;
      onset.month = months->front();
    } else if (name == "BYDAY") {
      auto weekdays = ReadWeekdayList(value);
      if (!weekdays) return std::nullopt;
      onset.weekdays = std::move(*weekdays);
    } else if (name == "BYMONTHDAY") {
      auto days = ReadNumberList(value, 1, 31);
      if (!days) return std::nullopt;
      onset.monthDays = std::move(*days);
    } else if (name == "UNTIL") {
      const auto until = ReadCalendarTimeText(value, false, "");
      if (!until) return std::nullopt;
      // UNTIL is UTC when it says Z; a plain one is the zone's own clock.
      onset.untilUtc = until->form == CalendarTime::Form::Utc ? until->wall : until->wall - offsetFrom / kSecondsPerDay;
    } else if (name == "COUNT") {
      const auto count = ReadNumberList(value, 1, 10000);
      if (!count || count->size() != 1) return std::nullopt;
      onset.count = count->front();
    } else if (name == "INTERVAL") {
      if (value != "1") return std::nullopt;
    } else if (name != "WKST") {
      return std::nullopt;
    }
  }
  if (onset.weekdays.empty() && onset.monthDays.empty()) onset.monthDays.push_back(SplitDate(FromTimeLine(start)).day);
  return onset;
}

struct ObservanceReading {
  std::optional<Observance> observance;
  int unreadableLine = 0;
};

ObservanceReading ReadObservance(const Component& component) {
  ObservanceReading reading;
  reading.unreadableLine = component.FirstUnreadableLine();
  if (reading.unreadableLine != 0) return reading;
  const ContentLine* start = component.Find("DTSTART");
  const ContentLine* from = component.Find("TZOFFSETFROM");
  const ContentLine* to = component.Find("TZOFFSETTO");
  if (start == nullptr || from == nullptr || to == nullptr) {
    reading.unreadableLine = component.beginLine;
    return reading;
  }
  Observance observance;
  const auto startTime = ReadCalendarTime(*start);
  const auto offsetFrom = ReadUtcOffsetSeconds(from->value);
  const auto offsetTo = ReadUtcOffsetSeconds(to->value);
  if (!startTime || !offsetFrom || !offsetTo) {
    reading.unreadableLine = !startTime ? start->lineNumber : !offsetFrom ? from->lineNumber : to->lineNumber;
    return reading;
  }
  observance.start = startTime->wall;
  observance.offsetFrom = *offsetFrom;
  observance.offsetTo = *offsetTo;
  for (const ContentLine& property : component.properties) {
    if (property.name == "RRULE") {
      if (observance.rule) {
        reading.unreadableLine = property.lineNumber;  // two rules in one observance: not a zone we can follow
        return reading;
      }
      observance.rule = ReadOnsetRule(property.value, observance.start, observance.offsetFrom);
      if (!observance.rule) {
        reading.unreadableLine = property.lineNumber;
        return reading;
      }
    } else if (property.name == "RDATE") {
      const auto starts = ReadCalendarTimes(property, kMaxStartsPerLine);
      if (!starts || observance.extraStarts.size() + starts->size() > kMaxStartsPerObservance) {
        reading.unreadableLine = property.lineNumber;
        return reading;
      }
      for (const CalendarTime& time : *starts) observance.extraStarts.push_back(time.wall);
    }
  }
  reading.observance = std::move(observance);
  return reading;
}

double OnsetUtc(const Observance& observance, double wall) { return wall - observance.offsetFrom / kSecondsPerDay; }

}  // namespace

std::optional<double> YearlyOnset(const YearlyOnsetRule& rule, int year, int secondOfDay) {
  const int day = RuleDay(rule, year);
  if (day == 0) return std::nullopt;
  return TimeLineOf(year, rule.month, day, secondOfDay);
}

std::optional<double> FileZone::LatestOnsetAtOrBefore(const Observance& observance, double utc) const {
  std::optional<double> latest;
  auto consider = [&](double wall) {
    const double onset = OnsetUtc(observance, wall);
    if (onset <= utc && (!latest || onset > *latest)) latest = onset;
  };
  consider(observance.start);
  // The RDATEs are sorted: the last at or before the instant is found by halving.
  const double wallLimit = utc + observance.offsetFrom / kSecondsPerDay;
  const auto after = std::upper_bound(observance.extraStarts.begin(), observance.extraStarts.end(), wallLimit);
  if (after != observance.extraStarts.begin()) consider(*std::prev(after));
  if (observance.rule) {
    const YearlyOnsetRule& rule = *observance.rule;
    const int firstYear = YearOf(observance.start);
    const int lastYear = rule.count > 0 ? firstYear + rule.count - 1 : 9999;
    const int secondOfDay = SecondOfDay(observance.start);
    const int year = YearOf(utc);
    for (int candidate = std::min(year + 1, lastYear); candidate >= std::max(year - 1, firstYear); --candidate) {
      const auto wall = YearlyOnset(rule, candidate, secondOfDay);
      if (!wall || *wall < observance.start) continue;
      if (rule.untilUtc && OnsetUtc(observance, *wall) > *rule.untilUtc + 0.5 / kSecondsPerDay) continue;
      consider(*wall);
    }
  }
  return latest;
}

int FileZone::OffsetAtUtc(double utc) const {
  double latest = -std::numeric_limits<double>::infinity();
  const Observance* current = nullptr;
  const Observance* earliest = nullptr;
  for (const Observance& observance : observances_) {
    if (earliest == nullptr || observance.start < earliest->start) earliest = &observance;
    const auto onset = LatestOnsetAtOrBefore(observance, utc + 0.5 / kSecondsPerDay);
    if (onset && *onset > latest) {
      latest = *onset;
      current = &observance;
    }
  }
  if (current != nullptr) return current->offsetTo;
  return earliest != nullptr ? earliest->offsetFrom : 0;
}

std::vector<double> FileZone::ChangesBetween(double from, double to) const {
  std::vector<double> changes;
  if (!(from <= to)) return changes;
  auto add = [&](const Observance& observance, double wall) {
    const double onset = OnsetUtc(observance, wall);
    if (onset >= from && onset <= to) changes.push_back(onset);
  };
  const int firstYear = std::max(YearOf(from), 100);
  const int lastYear = std::min(YearOf(to), 9999);
  for (const Observance& observance : observances_) {
    add(observance, observance.start);
    for (const double wall : observance.extraStarts) add(observance, wall);
    if (!observance.rule) continue;
    const YearlyOnsetRule& rule = *observance.rule;
    const int ruleFirst = YearOf(observance.start);
    const int ruleLast = rule.count > 0 ? ruleFirst + rule.count - 1 : 9999;
    for (int year = std::max(firstYear, ruleFirst); year <= std::min(lastYear, ruleLast); ++year) {
      const auto wall = YearlyOnset(rule, year, SecondOfDay(observance.start));
      if (!wall || *wall < observance.start) continue;
      if (rule.untilUtc && OnsetUtc(observance, *wall) > *rule.untilUtc + 0.5 / kSecondsPerDay) continue;
      add(observance, *wall);
    }
  }
  std::sort(changes.begin(), changes.end());
  return changes;
}

FileZoneReading ReadFileZone(const Component& zoneComponent) {
  FileZoneReading reading;
  if (const ContentLine* id = zoneComponent.Find("TZID")) reading.name = UnescapeText(id->value);
  std::vector<Observance> observances;
  std::size_t starts = 0;
  for (const Component& child : zoneComponent.children) {
    if (child.name != "STANDARD" && child.name != "DAYLIGHT") continue;
    if (observances.size() >= kMaxObservances) {
      reading.unreadableLine = child.beginLine;
      return reading;
    }
    ObservanceReading observance = ReadObservance(child);
    if (!observance.observance) {
      reading.unreadableLine = observance.unreadableLine;
      return reading;
    }
    starts += observance.observance->extraStarts.size();
    if (starts > kMaxStartsPerZone) {
      reading.unreadableLine = child.beginLine;
      return reading;
    }
    observances.push_back(std::move(*observance.observance));
  }
  if (observances.empty()) {
    reading.unreadableLine = zoneComponent.beginLine;
    return reading;
  }
  for (Observance& observance : observances) std::sort(observance.extraStarts.begin(), observance.extraStarts.end());
  reading.zone.emplace(std::move(observances));
  return reading;
}
