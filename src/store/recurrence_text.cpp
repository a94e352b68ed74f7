#include "recurrence_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "few_sorted.h"
#include "number_text.h"

namespace {

constexpr std::array<std::string_view, 7> kWeekdayCodes = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
constexpr std::array<std::string_view, 4> kFrequencyNames = {"DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
constexpr std::array<std::string_view, 9> kKnownParts = {"FREQ",       "INTERVAL", "COUNT",    "UNTIL", "BYDAY",
                                                         "BYMONTHDAY", "BYMONTH",  "BYSETPOS", "WKST"};
constexpr std::array<std::string_view, 5> kUnsupportedParts = {"BYSECOND", "BYMINUTE", "BYHOUR", "BYYEARDAY",
                                                               "BYWEEKNO"};
constexpr std::array<std::string_view, 3> kUnsupportedFrequencies = {"SECONDLY", "MINUTELY", "HOURLY"};

// ---- Writing

std::string_view FrequencyName(RuleFrequency frequency) { return kFrequencyNames[static_cast<std::size_t>(frequency)]; }

std::string NumberList(const std::vector<int>& numbers) {
  std::string text;
  for (const int number : numbers) {
    if (!text.empty()) text += ',';
    text += DecimalText(number);
  }
  return text;
}

std::string WeekdayList(const std::vector<RuleWeekday>& days) {
  std::string text;
  for (const RuleWeekday& day : days) {
    if (!text.empty()) text += ',';
    if (day.ordinal != 0) text += DecimalText(day.ordinal);
    text += kWeekdayCodes[static_cast<std::size_t>(day.weekday)];
  }
  return text;
}

std::string UntilText(const RepeatUntil& until) {
  const DateParts parts = SplitDate(until.last);
  std::string text = DecimalText(parts.year, 4) + DecimalText(parts.month, 2) + DecimalText(parts.day, 2);
  if (!until.wholeDay) {
    text += 'T' + DecimalText(parts.hour, 2) + DecimalText(parts.minute, 2) + DecimalText(parts.second, 2);
  }
  return text;
}

std::string RuleText(const RepeatRule& rule) {
  std::string text = "FREQ=" + std::string(FrequencyName(rule.frequency));
  const auto add = [&text](std::string_view name, const std::string& value) {
    text += ';';
    text += name;
    text += '=';
    text += value;
  };
  if (rule.interval != 1) add("INTERVAL", DecimalText(rule.interval));
  if (!rule.byMonth.empty()) add("BYMONTH", NumberList(rule.byMonth));
  if (!rule.byMonthDay.empty()) add("BYMONTHDAY", NumberList(rule.byMonthDay));
  if (!rule.byDay.empty()) add("BYDAY", WeekdayList(rule.byDay));
  if (rule.bySetPos) add("BYSETPOS", DecimalText(*rule.bySetPos));
  if (rule.weekStart != 1) add("WKST", std::string(kWeekdayCodes[static_cast<std::size_t>(rule.weekStart % 7)]));
  std::visit(Overloaded{
                 [](const RepeatForever&) {},
                 [&](const RepeatCount& count) { add("COUNT", DecimalText(count.count)); },
                 [&](const RepeatUntil& until) { add("UNTIL", UntilText(until)); },
             },
             rule.end);
  return text;
}

std::string ModeRuleText(RepeatMode mode) {
  switch (mode) {
    case Once: return {};
    case EachDay: return "FREQ=DAILY";
    case EachWeek: return "FREQ=WEEKLY";
    case EachMonth: return "FREQ=MONTHLY";
    case EachYear: return "FREQ=YEARLY";
  }
  return {};  // a hand-edited mode
}

// ---- Reading

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A short, printable quote of outside text for a reason.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kLongest = 24;
  std::string quoted;
  for (const char c : text.substr(0, kLongest)) quoted += c >= ' ' && c <= '~' ? c : '?';
  if (text.size() > kLongest) quoted += "...";
  return quoted;
}

// Reasons are ASCII, built narrow and widened once.
std::wstring Widened(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// "[+|-]digits" within the bounds.
std::optional<int> ReadNumber(std::string_view text, int low, int high) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9) return std::nullopt;
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

auto NumbersIn(int low, int high) {
  return [low, high](std::string_view text) { return ReadNumber(text, low, high); };
}

template <class Item, class ReadItem>
std::optional<std::vector<Item>> ReadList(std::string_view text, ReadItem readItem) {
  std::vector<Item> items;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::optional<Item> item = readItem(text.substr(0, comma));
    if (!item) return std::nullopt;
    items.push_back(*item);
    if (comma == std::string_view::npos) return items;
    text.remove_prefix(comma + 1);
  }
}

std::optional<int> ReadWeekday(std::string_view text) {
  const auto found = std::find(kWeekdayCodes.begin(), kWeekdayCodes.end(), text);
  if (found == kWeekdayCodes.end()) return std::nullopt;
  return static_cast<int>(found - kWeekdayCodes.begin());
}

std::optional<RuleWeekday> ReadRuleWeekday(std::string_view text) {
  if (text.size() < 2) return std::nullopt;
  const std::optional<int> weekday = ReadWeekday(text.substr(text.size() - 2));
  if (!weekday) return std::nullopt;
  const std::string_view place = text.substr(0, text.size() - 2);
  if (place.empty()) return RuleWeekday{0, *weekday};
  const std::optional<int> ordinal = ReadNumber(place, -53, 53);
  if (!ordinal || *ordinal == 0 || place.size() > 3) return std::nullopt;
  return RuleWeekday{*ordinal, *weekday};
}

std::optional<int> ReadDigits(std::string_view text, std::size_t at, std::size_t count) {
  return ReadNumber(text.substr(at, count), 0, 9999);
}

// "YYYYMMDD", "YYYYMMDDTHHMMSS" or the latter with "Z" (UTC).
struct UntilReading {
  std::optional<RepeatUntil> until;
  bool utc = false;
};

UntilReading ReadUntil(std::string_view text) {
  UntilReading read;
  read.utc = !text.empty() && text.back() == 'Z';
  if (read.utc) text.remove_suffix(1);
  const bool wholeDay = text.size() == 8;
  if (!wholeDay && (text.size() != 15 || text[8] != 'T')) return read;
  const auto year = ReadDigits(text, 0, 4);
  const auto month = ReadDigits(text, 4, 2);
  const auto day = ReadDigits(text, 6, 2);
  const auto hour = wholeDay ? 0 : ReadDigits(text, 9, 2);
  const auto minute = wholeDay ? 0 : ReadDigits(text, 11, 2);
  const auto second = wholeDay ? 0 : ReadDigits(text, 13, 2);
  if (!year || !month || !day || !hour || !minute || !second || *year < 100 || *month < 1 || *month > 12 || *day < 1 ||
      *day > DaysInMonth(*year, *month) || *hour > 23 || *minute > 59 || *second > 60) {
    return read;
  }
  if (wholeDay && read.utc) return read;
  const DateValue midnight =
      MakeDate(static_cast<std::int16_t>(*year), static_cast<std::int16_t>(*month), static_cast<std::int16_t>(*day));
  read.until = RepeatUntil{CombineDateTime(midnight, (*hour * 3600 + *minute * 60 + *second) / 86400.0), wholeDay};
  return read;
}

class RuleReader {
 public:
  explicit RuleReader(const UntilZone* zone) : zone_(zone) {}

  // Empty when the part was taken in.
  std::string ReadPart(std::string_view name, std::string_view value) {
    const auto known = std::find(kKnownParts.begin(), kKnownParts.end(), name);
    if (known == kKnownParts.end()) {
      const bool unsupported =
          std::find(kUnsupportedParts.begin(), kUnsupportedParts.end(), name) != kUnsupportedParts.end();
      return unsupported ? Quoted(name) + " is not supported" : "unknown part " + Quoted(name);
    }
    const std::size_t index = static_cast<std::size_t>(known - kKnownParts.begin());
    if (seen_[index]) return Quoted(name) + " is given twice";
    seen_[index] = true;
    if (!ReadValue(name, value)) {
      return problem_.empty() ? Quoted(name) + "=" + Quoted(value) + " cannot be read" : problem_;
    }
    return {};
  }

  RuleReading Finish() {
    if (!seen_[0]) return {std::nullopt, L"FREQ is missing"};
    if (count_ && until_) return {std::nullopt, L"COUNT and UNTIL cannot go together"};
    if (count_) rule_.end = RepeatCount{*count_};
    if (until_) rule_.end = *until_;
    SortWeekdays(rule_.byDay);
    SortMonthDays(rule_.byMonthDay);
    SortFewWithoutRepeats(rule_.byMonth, 0, [](int a, int b) { return a < b; });
    if (std::wstring problem = RuleProblem(rule_); !problem.empty()) return {std::nullopt, problem};
    return {rule_, {}};
  }

 private:
  bool ReadValue(std::string_view name, std::string_view value) {
    if (name == "FREQ") return ReadFrequency(value);
    if (name == "INTERVAL") return Store(ReadNumber(value, 1, kMaxRuleInterval), rule_.interval);
    if (name == "COUNT") return Store(ReadNumber(value, 1, kMaxRuleCount), count_);
    if (name == "UNTIL") return ReadUntilValue(value);
    if (name == "BYDAY") return Store(ReadList<RuleWeekday>(value, ReadRuleWeekday), rule_.byDay);
    if (name == "BYMONTHDAY") return Store(ReadList<int>(value, NumbersIn(-31, 31)), rule_.byMonthDay);
    if (name == "BYMONTH") return Store(ReadList<int>(value, NumbersIn(1, 12)), rule_.byMonth);
    if (name == "BYSETPOS") return ReadSetPosition(value);
    return Store(ReadWeekday(value), rule_.weekStart);  // WKST
  }

  template <class Value, class Target>
  static bool Store(const std::optional<Value>& value, Target& target) {
    if (!value) return false;
    target = *value;
    return true;
  }

  bool ReadFrequency(std::string_view value) {
    const auto found = std::find(kFrequencyNames.begin(), kFrequencyNames.end(), value);
    if (found != kFrequencyNames.end()) {
      rule_.frequency = static_cast<RuleFrequency>(found - kFrequencyNames.begin());
      return true;
    }
    const bool unsupported = std::find(kUnsupportedFrequencies.begin(), kUnsupportedFrequencies.end(), value) !=
                             kUnsupportedFrequencies.end();
    problem_ = "FREQ=" + Quoted(value) + (unsupported ? " is not supported" : " is not a frequency");
    return false;
  }

  bool ReadSetPosition(std::string_view value) {
    if (value.find(',') != std::string_view::npos) {
      problem_ = "BYSETPOS with more than one place is not supported";
      return false;
    }
    return Store(ReadNumber(value, -kMaxSetPosition, kMaxSetPosition), rule_.bySetPos);
  }

  bool ReadUntilValue(std::string_view value) {
    const UntilReading read = ReadUntil(value);
    if (!read.until) return false;
    until_ = read.until;
    if (!read.utc) return true;
    if (zone_ == nullptr) {
      problem_ = "UNTIL in UTC needs the time zone of the start";
      return false;
    }
    const std::optional<DateValue> local = zone_->LocalOfUtc(until_->last);
    if (!local) return false;
    until_->last = *local;
    return true;
  }

  static void SortWeekdays(std::vector<RuleWeekday>& days) {
    const auto key = [](const RuleWeekday& day) {
      return ((day.weekday + 6) % 7) * 1000 + (day.ordinal > 0 ? 0 : 100) + std::abs(day.ordinal);
    };
    SortFewWithoutRepeats(days, 0, [&](const RuleWeekday& a, const RuleWeekday& b) { return key(a) < key(b); });
  }

  // 1, 15, then -1, -2: from the start of the month, then from its end.
  static void SortMonthDays(std::vector<int>& days) {
    SortFewWithoutRepeats(days, 0, [](int a, int b) { return a > 0 ? b < 0 || a < b : b < 0 && a > b; });
  }

  const UntilZone* zone_;
  RepeatRule rule_;
  std::array<bool, kKnownParts.size()> seen_{};
  std::optional<int> count_;
  std::optional<RepeatUntil> until_;
  std::string problem_;
};

}  // namespace

std::string Rfc5545Text(const Recurrence& recurrence) {
  return std::visit(Overloaded{
                        [](RepeatMode mode) { return ModeRuleText(mode); },
                        [](const RepeatRule& rule) { return RuleText(rule); },
                    },
                    recurrence);
}

RuleReading ParseRecurrenceRule(std::string_view text, const UntilZone* zone) {
  RuleReader reader(zone);
  while (!text.empty()) {
    const std::size_t semicolon = text.find(';');
    const std::string_view part = Trimmed(text.substr(0, semicolon));
    text.remove_prefix(semicolon == std::string_view::npos ? text.size() : semicolon + 1);
    if (part.empty()) continue;  // ";;" or a closing ";"
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos) return {std::nullopt, Widened("part " + Quoted(part) + " has no value")};
    const std::string name = Upper(Trimmed(part.substr(0, equals)));
    const std::string value = Upper(Trimmed(part.substr(equals + 1)));
    if (const std::string reason = reader.ReadPart(name, value); !reason.empty())
      return {std::nullopt, Widened(reason)};
  }
  return reader.Finish();
}
