#include "file_zone.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <tuple>

#include "recurrence_text.h"

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

// The day of a month of `days` days beginning on `firstWeekday` that the
// rule picks: the ordinal weekday, or the first day that is in BYMONTHDAY
// and on a BYDAY weekday. 0 when none.
int RuleDayIn(const YearlyOnsetRule& rule, int days, int firstWeekday) {
  if (rule.weekdays.size() == 1 && rule.weekdays.front().ordinal != 0 && rule.monthDays.empty()) {
    return NthWeekdayIn(days, firstWeekday, rule.weekdays.front().weekday, rule.weekdays.front().ordinal);
  }
  unsigned weekdays = rule.weekdays.empty() ? 0x7Fu : 0u;
  for (const WeekdayEntry& entry : rule.weekdays) weekdays |= 1u << entry.weekday;
  std::uint32_t listedDays = rule.monthDays.empty() ? ~std::uint32_t{0} : 0u;
  for (const int day : rule.monthDays) listedDays |= std::uint32_t{1} << day;
  for (int day = 1; day <= days; ++day) {
    if ((listedDays >> day & 1) != 0 && (weekdays & (1u << ((firstWeekday + day - 1) % 7))) != 0) return day;
  }
  return 0;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

using CycleYears = std::array<std::uint64_t, 7>;

// The places of the 400-year cycle by the kind of year they are for a rule
// of `month`: the weekday the month begins on, plus 7 in a leap year.
std::array<CycleYears, 14> PlacesByKind(int month) {
  std::array<CycleYears, 14> places{};
  // The month's first weekday moves on by 365 or 366 days a year.
  int weekday = FirstWeekdayOf(2000, month);
  for (int place = 0; place < kCalendarCycleYears; ++place) {
    const int year = 2000 + place;
    places[static_cast<std::size_t>(weekday + (IsLeapYear(year) ? 7 : 0))][static_cast<std::size_t>(place / 64)] |=
        std::uint64_t{1} << (place % 64);
    weekday = (weekday + (IsLeapYear(month > 2 ? year + 1 : year) ? 2 : 1)) % 7;
  }
  return places;
}

// Where a year's wall-clock onsets land in UTC, to the second as SplitDate
// rounds: an instant half a second before midnight is the next day.
double YearStartUtc(int year) {
  const double start = year >= 100 && year <= 9999 ? static_cast<double>(DayNumber(year, 1, 1))
                                                   : ToTimeLine(MakeDate(static_cast<std::int16_t>(year), 1, 1));
  return start - 0.5 / kSecondsPerDay;
}

// The latest year at or before `year` whose place in the 400-year cycle is
// set in `cycleYears`; INT_MIN when none is.
int LatestCycleYear(const std::array<std::uint64_t, 7>& cycleYears, int year) {
  const int place = (year % kCalendarCycleYears + kCalendarCycleYears) % kCalendarCycleYears;
  int base = year - place;
  int top = place;
  for (int cycle = 0; cycle < 2; ++cycle, base -= kCalendarCycleYears, top = kCalendarCycleYears - 1) {
    for (int word = top / 64; word >= 0; --word) {
      std::uint64_t bits = cycleYears[static_cast<std::size_t>(word)];
      if (word == top / 64 && top % 64 != 63) bits &= (std::uint64_t{2} << (top % 64)) - 1;
      if (bits != 0) return base + word * 64 + 63 - std::countl_zero(bits);
    }
  }
  return INT_MIN;
}

// An UNTIL in UTC as the wall clock before the onset; a plain one is that
// clock already.
class OnsetUntil final : public UntilZone {
 public:
  explicit OnsetUntil(int offsetFrom) : offset_(offsetFrom / kSecondsPerDay) {}
  std::optional<DateValue> LocalOfUtc(DateValue utc) const override { return FromTimeLine(ToTimeLine(utc) + offset_); }

 private:
  double offset_;
};

std::optional<YearlyOnsetRule> ReadOnsetRule(std::string_view text, double start, int offsetFrom) {
  constexpr int kMaxCount = 10000;
  const OnsetUntil until(offsetFrom);
  const RuleReading reading = ParseRecurrenceRule(text, &until);
  if (!reading.rule) return std::nullopt;
  const RepeatRule& rule = *reading.rule;
  constexpr std::uint64_t kFromEnd = ~std::uint64_t{0} << 31;  // BYMONTHDAY -1..-31
  if (rule.frequency != RuleFrequency::Yearly || rule.interval != 1 || rule.bySetPos ||
      (rule.byMonthDay & kFromEnd) != 0 || std::popcount(rule.byMonth) > 1) {
    return std::nullopt;
  }
  YearlyOnsetRule onset;
  onset.month = rule.byMonth != 0 ? std::countr_zero(rule.byMonth) + 1 : SplitDate(FromTimeLine(start)).month;
  for (int weekday = 0; weekday < 7; ++weekday) {
    if ((rule.byWeekday >> weekday & 1) != 0) onset.weekdays.push_back({0, weekday});
    const WeekdayPlaces& places = rule.byPlace[static_cast<std::size_t>(weekday)];
    for (int n = 1; n <= 53; ++n) {
      if ((places.fromStart >> (n - 1) & 1) != 0) onset.weekdays.push_back({n, weekday});
      if ((places.fromEnd >> (n - 1) & 1) != 0) onset.weekdays.push_back({-n, weekday});
    }
  }
  for (int day = 1; day <= 31; ++day) {
    if ((rule.byMonthDay >> MonthDayBit(day) & 1) != 0) onset.monthDays.push_back(day);
  }
  if (rule.end.kind == RuleEnding::Count) {
    if (rule.end.count > kMaxCount) return std::nullopt;
    onset.count = rule.end.count;
  } else if (rule.end.kind == RuleEnding::Until) {
    onset.untilUtc = ToTimeLine(rule.end.last) - offsetFrom / kSecondsPerDay;
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

// Sorts items that come mostly in order: each moves back past the few
// that should follow it, unless that grows beyond a few moves an item.
template <typename Item, typename Less>
void SortMostlyInOrder(std::vector<Item>& items, Less less) {
  std::size_t moves = 0;
  for (std::size_t i = 1; i < items.size(); ++i) {
    for (std::size_t j = i; j > 0 && less(items[j], items[j - 1]); --j) {
      std::swap(items[j], items[j - 1]);
      if (++moves > 4 * items.size()) {
        std::sort(items.begin(), items.end(), less);
        return;
      }
    }
  }
}

}  // namespace

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

void FileZone::PlanRules() const {
  if (planned_) return;
  planned_ = true;
  std::vector<int> edges;
  std::array<std::optional<std::array<CycleYears, 14>>, 13> placesByKind;  // by month, as the rules need them
  for (std::size_t index = 0; index < observances_.size(); ++index) {
    const Observance& observance = observances_[index];
    if (!observance.rule) continue;
    const YearlyOnsetRule& rule = *observance.rule;
    RulePlan plan;
    plan.month = rule.month;
    plan.offsetFrom = observance.offsetFrom;
    plan.offsetTo = observance.offsetTo;
    plan.start = observance.start;
    plan.latestUtc = rule.untilUtc ? *rule.untilUtc + 0.5 / kSecondsPerDay : std::numeric_limits<double>::infinity();
    std::tie(plan.firstYear, plan.lastYear) = RuleYears(observance);
    plan.secondOfDay = SecondOfDay(observance.start);
    for (int kind = 0; kind < 14; ++kind) {
      const int days = DaysInMonth(kind < 7 ? 2001 : 2000, rule.month);
      plan.dayOfKind[static_cast<std::size_t>(kind)] = static_cast<signed char>(RuleDayIn(rule, days, kind % 7));
    }
    auto& places = placesByKind[static_cast<std::size_t>(rule.month)];
    if (!places) places = PlacesByKind(rule.month);
    for (std::size_t kind = 0; kind < 14; ++kind) {
      if (plan.dayOfKind[kind] == 0) continue;
      for (std::size_t word = 0; word < plan.cycleYears.size(); ++word) plan.cycleYears[word] |= (*places)[kind][word];
    }
    if (plan.firstYear <= plan.lastYear) {
      edges.push_back(plan.firstYear);
      edges.push_back(plan.lastYear + 1);
    }
    plan.rank = static_cast<int>(plans_.size());
    plans_.push_back(plan);
  }
  // In the order their onsets mostly come in a year, so that a year's
  // onsets are found in order: by month, then by the UTC time of day.
  // At most 128 rules: each moves back past the ones that go after it.
  const auto goesBefore = [](const RulePlan& a, const RulePlan& b) {
    return a.month < b.month || (a.month == b.month && a.secondOfDay - a.offsetFrom < b.secondOfDay - b.offsetFrom);
  };
  for (std::size_t i = 1; i < plans_.size(); ++i) {
    for (std::size_t j = i; j > 0 && goesBefore(plans_[j], plans_[j - 1]); --j) std::swap(plans_[j], plans_[j - 1]);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  for (const int edge : edges) {
    RuleStretch stretch;
    stretch.firstYear = edge;
    for (const RulePlan& plan : plans_) {
      if (plan.firstYear > edge || plan.lastYear < edge) continue;
      for (std::size_t word = 0; word < stretch.cycleYears.size(); ++word) {
        stretch.cycleYears[word] |= plan.cycleYears[word];
      }
    }
    stretches_.push_back(stretch);
  }
}

int FileZone::LatestRuleYear(int wallYear) const {
  wallYear = std::min(wallYear, 9999);
  auto stretch = std::upper_bound(stretches_.begin(), stretches_.end(), wallYear,
                                  [](int year, const RuleStretch& each) { return year < each.firstYear; });
  while (stretch != stretches_.begin()) {
    --stretch;
    const int found = LatestCycleYear(stretch->cycleYears, wallYear);
    if (found >= stretch->firstYear) return found >= 100 ? found : INT_MIN;  // none before year 100
    wallYear = stretch->firstYear - 1;
  }
  return INT_MIN;
}

int FileZone::LatestPossibleYear(int year) const {
  int latest = INT_MIN;
  // An offset is less than a day: a wall-clock year's onsets fall in it or
  // in the UTC years next to it.
  if (year < INT_MAX) {
    const int wallYear = LatestRuleYear(year + 1);
    if (wallYear != INT_MIN) latest = std::min(wallYear + 1, year);
  }
  if (auto listed = listedOnsets_.upper_bound(year); listed != listedOnsets_.begin()) {
    latest = std::max(latest, std::prev(listed)->first);
  }
  return latest;
}

std::optional<Onset> FileZone::RuleOnsetIn(const RulePlan& plan, int firstOfMonth, int kind) const {
  ++ruleSteps_;
  const int day = plan.dayOfKind[static_cast<std::size_t>(kind)];
  if (day == 0) return std::nullopt;
  // As TimeLineOf has it: the day, then the time of day.
  const double wall = static_cast<double>(firstOfMonth + day - 1) + plan.secondOfDay / kSecondsPerDay;
  if (wall < plan.start) return std::nullopt;
  const double utc = wall - plan.offsetFrom / kSecondsPerDay;
  if (utc > plan.latestUtc) return std::nullopt;
  return Onset{utc, plan.offsetTo};
}

FileZone::KnownYear FileZone::OnsetsIn(int year) const {
  if (year == lastYear_.year) return lastYear_;
  KnownYear known;
  if (!knownYears_.empty()) {
    const std::size_t mask = knownYears_.size() - 1;
    for (std::size_t at = static_cast<unsigned>(year) & mask; knownYears_[at].year != INT_MIN; at = (at + 1) & mask) {
      if (knownYears_[at].year == year) {
        known = knownYears_[at];
        break;
      }
    }
  }
  if (known.year != year) {
    known = WorkOutYear(year);
    Remember(known);
  }
  lastYear_ = known;
  lastLatestBefore_.reset();
  return known;
}

FileZone::KnownYear FileZone::WorkOutYear(int year) const {
  ++ruleSteps_;
  PlanRules();
  ranked_.clear();
  if (const auto listed = listedOnsets_.find(year); listed != listedOnsets_.end()) {
    for (const Onset& onset : listed->second) {
      ranked_.push_back({onset, static_cast<int>(ranked_.size()) - static_cast<int>(listed->second.size())});
    }
  }
  const double from = YearStartUtc(year);
  const double to = YearStartUtc(year + 1);
  // Only the rules with a day in a year are asked about it, and only in
  // the years some rule has a day in. An offset is less than a day: only a
  // December onset can fall in the next UTC year, only a January one in the
  // one before.
  const int latestRuleYear = LatestRuleYear(year + 1);
  for (int wallYear = year - 1; wallYear <= std::min(year + 1, latestRuleYear); ++wallYear) {
    if (wallYear < 100 || (wallYear < latestRuleYear && LatestRuleYear(wallYear) != wallYear)) continue;
    const int place = wallYear % kCalendarCycleYears;
    const int leap = IsLeapYear(wallYear) ? 7 : 0;
    std::array<int, 13> firstOfMonth;  // a DayNumber, worked out when a rule of the month needs it
    std::array<int, 13> kindOfMonth{};
    firstOfMonth.fill(INT_MIN);
    // The plans go by month: of the years next to it only December's or January's.
    const auto inMonthBefore = [](const RulePlan& plan, int month) { return plan.month < month; };
    const auto first =
        wallYear < year ? std::lower_bound(plans_.begin(), plans_.end(), 12, inMonthBefore) : plans_.begin();
    const auto last = wallYear > year ? std::lower_bound(plans_.begin(), plans_.end(), 2, inMonthBefore) : plans_.end();
    for (auto plan = first; plan < last; ++plan) {
      if (wallYear < plan->firstYear || wallYear > plan->lastYear) continue;
      if ((plan->cycleYears[static_cast<std::size_t>(place / 64)] >> (place % 64) & 1) == 0) continue;
      const auto month = static_cast<std::size_t>(plan->month);
      if (firstOfMonth[month] == INT_MIN) {
        firstOfMonth[month] = DayNumber(wallYear, plan->month, 1);
        kindOfMonth[month] = (firstOfMonth[month] % 7 + 13) % 7 + leap;  // day 0 was a Saturday
      }
      const auto onset = RuleOnsetIn(*plan, firstOfMonth[month], kindOfMonth[month]);
      if (onset && onset->utc >= from && onset->utc < to) ranked_.push_back({*onset, plan->rank});
    }
  }
  SortMostlyInOrder(ranked_, [](const Ranked& a, const Ranked& b) {
    return a.onset.utc < b.onset.utc || (a.onset.utc == b.onset.utc && a.rank < b.rank);
  });
  KnownYear known;
  known.year = year;
  known.first = static_cast<std::uint32_t>(onsets_.size());
  for (std::size_t i = 0; i < ranked_.size(); ++i) {
    if (i + 1 < ranked_.size() && ranked_[i + 1].onset.utc == ranked_[i].onset.utc) continue;
    onsets_.push_back(ranked_[i].onset);
  }
  known.count = static_cast<std::uint32_t>(onsets_.size() - known.first);
  return known;
}

void FileZone::Remember(const KnownYear& known) const {
  if (2 * (knownCount_ + 1) > knownYears_.size()) {
    std::vector<KnownYear> older(std::max<std::size_t>(16, 2 * knownYears_.size()));
    older.swap(knownYears_);
    knownCount_ = 0;
    for (const KnownYear& each : older) {
      if (each.year != INT_MIN) Remember(each);
    }
  }
  const std::size_t mask = knownYears_.size() - 1;
  std::size_t at = static_cast<unsigned>(known.year) & mask;
  while (knownYears_[at].year != INT_MIN) at = (at + 1) & mask;
  knownYears_[at] = known;
  ++knownCount_;
}

std::optional<Onset> FileZone::LatestBefore(int year) const {
  // The last onset of the latest year before that has any; the years no
  // rule has a day in and no onset is listed in are passed over unasked.
  for (int before = year - 1; before >= firstYear_; --before) {
    before = LatestPossibleYear(before);
    if (before < firstYear_) break;
    const KnownYear known = OnsetsIn(before);
    if (known.count != 0) return onsets_[known.first + known.count - 1];
  }
  return std::nullopt;
}

int FileZone::OffsetAtUtc(double utc) const {
  utc += 0.5 / kSecondsPerDay;  // an onset computed another way may lie a rounding step later
  const int year = std::clamp(years_.YearOf(utc), 100, 9999);
  if (year < firstYear_) return initialOffset_;
  const KnownYear known = OnsetsIn(year);
  const Onset* begin = onsets_.data() + known.first;
  const Onset* end = begin + known.count;
  const auto after =
      std::upper_bound(begin, end, utc, [](double instant, const Onset& onset) { return instant < onset.utc; });
  if (after != begin) return std::prev(after)->offsetTo;
  if (!lastLatestBefore_) {
    const std::optional<Onset> latest = LatestBefore(year);
    lastYear_ = known;  // LatestBefore asked about other years
    lastLatestBefore_ = latest;
  }
  return *lastLatestBefore_ ? (*lastLatestBefore_)->offsetTo : initialOffset_;
}

std::vector<double> FileZone::ChangesBetween(double from, double to) const {
  std::vector<double> changes;
  if (!(from <= to)) return changes;
  const int lastYear = std::min(YearOf(to), 9999);
  for (int year = std::max({YearOf(from), firstYear_, 100}); year <= lastYear; ++year) {
    const KnownYear known = OnsetsIn(year);
    for (std::uint32_t i = known.first; i < known.first + known.count; ++i) {
      if (onsets_[i].utc >= from && onsets_[i].utc <= to) changes.push_back(onsets_[i].utc);
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
