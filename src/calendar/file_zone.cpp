#include "file_zone.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

constexpr std::size_t kMaxObservances = 128;
constexpr std::size_t kMaxStartsPerLine = 400;
constexpr std::size_t kMaxStartsPerObservance = 2000;
constexpr std::size_t kMaxStartsPerZone = 4000;
// The Gregorian calendar repeats its weekdays every 400 years.
constexpr int kCalendarCycleYears = 400;

int YearOf(double line) { return SplitDate(FromTimeLine(line)).year; }
int SecondOfDay(double line) {
  return static_cast<int>(std::llround((line - std::floor(line)) * kSecondsPerDay)) % 86400;
}

// The day of `month` the rule picks: the ordinal weekday, or the first day
// that is in BYMONTHDAY and on a BYDAY weekday. 0 when none.
int RuleDay(const YearlyOnsetRule& rule, int year) {
  if (rule.weekdays.size() == 1 && rule.weekdays.front().ordinal != 0 && rule.monthDays.empty()) {
    return NthWeekdayOfMonth(year, rule.month, rule.weekdays.front().weekday, rule.weekdays.front().ordinal);
  }
  const auto first = TimeLineOf(year, rule.month, 1, 0);
  if (!first) return 0;
  const int firstWeekday = SplitDate(FromTimeLine(*first)).weekday;
  unsigned weekdays = rule.weekdays.empty() ? 0x7Fu : 0u;
  for (const WeekdayEntry& entry : rule.weekdays) weekdays |= 1u << entry.weekday;
  const int days = DaysInMonth(year, rule.month);
  for (int day = 1; day <= days; ++day) {
    const bool dayListed =
        rule.monthDays.empty() || std::find(rule.monthDays.begin(), rule.monthDays.end(), day) != rule.monthDays.end();
    if (dayListed && (weekdays & (1u << ((firstWeekday + day - 1) % 7))) != 0) return day;
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

// Whether the rule picks a day in any year at all: one that asks for 30
// February, or the sixth Sunday, never does, and is not looked for.
bool CanEverMatch(const YearlyOnsetRule& rule) {
  const int longest = rule.month == 2 ? 29 : DaysInMonth(2000, rule.month);
  if (!rule.monthDays.empty()) {
    return std::any_of(rule.monthDays.begin(), rule.monthDays.end(), [&](int day) { return day <= longest; });
  }
  if (rule.weekdays.size() == 1 && rule.weekdays.front().ordinal != 0) {
    const int ordinal = rule.weekdays.front().ordinal;
    return ordinal <= 5 && ordinal >= -5 && (std::abs(ordinal) < 5 || longest >= 29);
  }
  return longest > 0;
}

// The wall-clock years an observance's rule may have an onset in; none
// (the first after the last) when it never has one.
std::pair<int, int> RuleYears(const Observance& observance) {
  const YearlyOnsetRule& rule = *observance.rule;
  const int first = YearOf(observance.start);
  if (!CanEverMatch(rule)) return {first, first - 1};
  int last = rule.count > 0 ? first + rule.count - 1 : 9999;
  if (rule.untilUtc) last = std::min(last, YearOf(*rule.untilUtc) + 1);
  return {first, last};
}

// The rule's onset in a wall-clock year, if it has one there.
std::optional<Onset> RuleOnset(const Observance& observance, int wallYear) {
  const YearlyOnsetRule& rule = *observance.rule;
  const auto wall = YearlyOnset(rule, wallYear, SecondOfDay(observance.start));
  if (!wall || *wall < observance.start) return std::nullopt;
  const double utc = OnsetUtc(observance, *wall);
  if (rule.untilUtc && utc > *rule.untilUtc + 0.5 / kSecondsPerDay) return std::nullopt;
  return Onset{utc, observance.offsetTo};
}

}  // namespace

std::optional<double> YearlyOnset(const YearlyOnsetRule& rule, int year, int secondOfDay) {
  const int day = RuleDay(rule, year);
  if (day == 0) return std::nullopt;
  return TimeLineOf(year, rule.month, day, secondOfDay);
}

FileZone::FileZone(std::vector<Observance> observances) : observances_(std::move(observances)) {
  const Observance* earliest = nullptr;
  for (const Observance& observance : observances_) {
    if (earliest == nullptr || observance.start < earliest->start) earliest = &observance;
    auto list = [&](double wall) {
      const Onset onset{OnsetUtc(observance, wall), observance.offsetTo};
      const int year = YearOf(onset.utc);
      listedOnsets_[year].push_back(onset);
      firstYear_ = std::min(firstYear_, year);
    };
    list(observance.start);
    for (const double wall : observance.extraStarts) list(wall);
  }
  if (earliest != nullptr) initialOffset_ = earliest->offsetFrom;
}

std::optional<Onset> FileZone::RuleOnsetIn(const Observance& observance, int wallYear) const {
  ++ruleSteps_;
  return RuleOnset(observance, wallYear);
}

const std::vector<Onset>& FileZone::OnsetsIn(int year) const {
  const auto known = yearOnsets_.find(year);
  if (known != yearOnsets_.end()) return known->second;
  std::vector<Onset> onsets;
  if (const auto listed = listedOnsets_.find(year); listed != listedOnsets_.end()) onsets = listed->second;
  for (const Observance& observance : observances_) {
    if (!observance.rule) continue;
    const auto [ruleFirst, ruleLast] = RuleYears(observance);
    // A wall-clock onset near the new year can fall in the UTC year beside it.
    for (int wallYear = std::max(year - 1, ruleFirst); wallYear <= std::min(year + 1, ruleLast); ++wallYear) {
      const auto onset = RuleOnsetIn(observance, wallYear);
      if (onset && YearOf(onset->utc) == year) onsets.push_back(*onset);
    }
  }
  std::stable_sort(onsets.begin(), onsets.end(), [](const Onset& a, const Onset& b) { return a.utc < b.utc; });
  return yearOnsets_.emplace(year, std::move(onsets)).first->second;
}

std::optional<Onset> FileZone::LatestBefore(int year) const {
  const auto known = latestBefore_.find(year);
  if (known != latestBefore_.end()) return known->second;
  std::optional<Onset> latest;
  const auto later = [&](const Onset& onset) {
    if (!latest || onset.utc >= latest->utc) latest = onset;
  };
  // The listed onsets of the last year before that has any.
  if (auto listed = listedOnsets_.lower_bound(year); listed != listedOnsets_.begin()) {
    for (const Onset& onset : (--listed)->second) later(onset);
  }
  // A yearly rule picks the same days every 400 years: one that has no
  // onset in the 400 years before has none earlier either.
  for (const Observance& observance : observances_) {
    if (!observance.rule) continue;
    const auto [ruleFirst, ruleLast] = RuleYears(observance);
    const int newest = std::min(year, ruleLast);
    for (int wallYear = newest; wallYear >= std::max(ruleFirst, newest - kCalendarCycleYears); --wallYear) {
      const auto onset = RuleOnsetIn(observance, wallYear);
      if (onset && YearOf(onset->utc) < year) {
        later(*onset);
        break;
      }
    }
  }
  latestBefore_.emplace(year, latest);
  return latest;
}

int FileZone::OffsetAtUtc(double utc) const {
  utc += 0.5 / kSecondsPerDay;  // an onset computed another way may lie a rounding step later
  const int year = std::clamp(YearOf(utc), 100, 9999);
  if (year < firstYear_) return initialOffset_;
  const std::vector<Onset>& onsets = OnsetsIn(year);
  const auto after = std::upper_bound(onsets.begin(), onsets.end(), utc,
                                      [](double instant, const Onset& onset) { return instant < onset.utc; });
  if (after != onsets.begin()) return std::prev(after)->offsetTo;
  const auto latest = LatestBefore(year);
  return latest ? latest->offsetTo : initialOffset_;
}

std::vector<double> FileZone::ChangesBetween(double from, double to) const {
  std::vector<double> changes;
  if (!(from <= to)) return changes;
  const int lastYear = std::min(YearOf(to), 9999);
  for (int year = std::max({YearOf(from), firstYear_, 100}); year <= lastYear; ++year) {
    for (const Onset& onset : OnsetsIn(year)) {
      if (onset.utc >= from && onset.utc <= to) changes.push_back(onset.utc);
    }
  }
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
  reading.zone.emplace(std::move(observances));
  return reading;
}
