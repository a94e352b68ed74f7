#include "recurrence_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "number_text.h"
#include "text_table.h"

namespace {

constexpr std::array<std::string_view, 7> kFrequencyNames = {"DAILY",    "WEEKLY",   "MONTHLY", "YEARLY",
                                                             "SECONDLY", "MINUTELY", "HOURLY"};
constexpr std::size_t kFrequencies = 4;  // the rest are not supported

// The parts in the order they are written; then those not supported.
enum class Part { Freq, Interval, ByMonth, ByMonthDay, ByDay, BySetPos, Wkst, Count, Until, Unsupported };
constexpr std::array<std::string_view, 14> kPartNames = {"FREQ",     "INTERVAL", "BYMONTH",   "BYMONTHDAY", "BYDAY",
                                                         "BYSETPOS", "WKST",     "COUNT",     "UNTIL",      "BYSECOND",
                                                         "BYMINUTE", "BYHOUR",   "BYYEARDAY", "BYWEEKNO"};
constexpr std::size_t kKnownParts = 9;

// The index of `text` in `names`, or names.size().
template <std::size_t N>
std::size_t IndexIn(const std::array<std::string_view, N>& names, std::string_view text) {
  std::size_t index = 0;
  while (index < N && names[index] != text) ++index;
  return index;
}

// ---- Writing

void AddNumber(std::string& text, std::int64_t value, int minDigits = 1) { text += DecimalText(value, minDigits); }

void AddComma(std::string& text, bool& first) {
  if (!first) text += ',';
  first = false;
}

// Monday first, then by place: 1, 2, ... then -1, -2, ...
void AddWeekdays(std::string& text, const RepeatRule& rule) {
  bool first = true;
  for (std::size_t i = 1; i <= 7; ++i) {
    const std::size_t weekday = i % 7;
    const WeekdayPlaces& places = rule.byPlace[weekday];
    for (int bit = 0; bit < 128; ++bit) {
      const bool fromEnd = bit >= 64;
      if (((fromEnd ? places.fromEnd : places.fromStart) >> (bit % 64) & 1U) == 0) continue;
      AddComma(text, first);
      AddNumber(text, fromEnd ? -(bit - 63) : bit + 1);
      text += kWeekdayCodes[weekday];
    }
    if ((rule.byWeekday >> weekday & 1U) != 0) {
      AddComma(text, first);
      text += kWeekdayCodes[weekday];
    }
  }
}

// 1, 15, then -1, -2: from the start of the month, then from its end.
void AddMonthDays(std::string& text, std::uint64_t days) {
  bool first = true;
  for (int bit = 0; bit < 62; ++bit) {
    if ((days >> bit & 1U) == 0) continue;
    AddComma(text, first);
    AddNumber(text, bit < 31 ? bit + 1 : 30 - bit);
  }
}

void AddUntil(std::string& text, const RuleEnd& end) {
  const DateParts parts = SplitDate(end.last);
  AddNumber(text, parts.year, 4);
  AddNumber(text, parts.month, 2);
  AddNumber(text, parts.day, 2);
  if (end.wholeDay) return;
  text += 'T';
  AddNumber(text, parts.hour, 2);
  AddNumber(text, parts.minute, 2);
  AddNumber(text, parts.second, 2);
}

// Whether the rule has the part, and then its value.
bool AddValue(std::string& text, const RepeatRule& rule, Part part) {
  switch (part) {
    case Part::Freq: text += kFrequencyNames[static_cast<std::size_t>(rule.frequency)]; return true;
    case Part::Interval:
      if (rule.interval != 1) AddNumber(text, rule.interval);
      return rule.interval != 1;
    case Part::ByMonth:
      for (int month = 1; month <= 12; ++month) {
        if ((rule.byMonth >> (month - 1) & 1U) == 0) continue;
        if (text.back() != '=') text += ',';
        AddNumber(text, month);
      }
      return rule.byMonth != 0;
    case Part::ByMonthDay: AddMonthDays(text, rule.byMonthDay); return rule.byMonthDay != 0;
    case Part::ByDay: AddWeekdays(text, rule); return text.back() != '=';
    case Part::BySetPos:
      if (rule.bySetPos) AddNumber(text, *rule.bySetPos);
      return rule.bySetPos.has_value();
    case Part::Wkst:
      if (rule.weekStart != 1) text += kWeekdayCodes[static_cast<std::size_t>(rule.weekStart % 7)];
      return rule.weekStart != 1;
    case Part::Count:
      if (rule.end.kind == RuleEnding::Count) AddNumber(text, rule.end.count);
      return rule.end.kind == RuleEnding::Count;
    case Part::Until:
      if (rule.end.kind == RuleEnding::Until) AddUntil(text, rule.end);
      return rule.end.kind == RuleEnding::Until;
    case Part::Unsupported: break;
  }
  return false;
}

std::string RuleText(const RepeatRule& rule) {
  std::string text;
  for (std::size_t i = 0; i < kKnownParts; ++i) {
    const std::size_t partStart = text.size();
    if (i > 0) text += ';';
    text += kPartNames[i];
    text += '=';
    if (!AddValue(text, rule, static_cast<Part>(i))) text.resize(partStart);
  }
  return text;
}

// ---- Reading

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A short, printable quote of outside text for a reason.
std::wstring Quoted(std::string_view text) {
  constexpr std::size_t kLongest = 24;
  std::wstring quote;
  for (const char c : text.substr(0, kLongest)) quote += c >= ' ' && c <= '~' ? static_cast<wchar_t>(c) : L'?';
  if (text.size() > kLongest) quote += L"...";
  return quote;
}

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

std::optional<int> ReadWeekday(std::string_view text) {
  const std::size_t weekday = IndexIn(kWeekdayCodes, text);
  if (weekday == kWeekdayCodes.size()) return std::nullopt;
  return static_cast<int>(weekday);
}

// "MO", "1MO", "-1FR" into the rule's sets.
bool ReadRuleWeekday(std::string_view text, RepeatRule& rule) {
  if (text.size() < 2) return false;
  const std::optional<int> weekday = ReadWeekday(text.substr(text.size() - 2));
  if (!weekday) return false;
  const std::string_view place = text.substr(0, text.size() - 2);
  if (place.empty()) {
    rule.byWeekday = static_cast<WeekdaySet>(rule.byWeekday | 1U << *weekday);
    return true;
  }
  const std::optional<int> ordinal = ReadNumber(place, -53, 53);
  if (!ordinal || *ordinal == 0 || place.size() > 3) return false;
  WeekdayPlaces& places = rule.byPlace[static_cast<std::size_t>(*weekday)];
  (*ordinal > 0 ? places.fromStart : places.fromEnd) |= 1ULL << ((*ordinal > 0 ? *ordinal : -*ordinal) - 1);
  return true;
}

bool ReadListItem(Part part, std::string_view item, RepeatRule& rule) {
  if (part == Part::ByDay) return ReadRuleWeekday(item, rule);
  const bool months = part == Part::ByMonth;
  const std::optional<int> number = months ? ReadNumber(item, 1, 12) : ReadNumber(item, -31, 31);
  if (!number) return false;
  if (months) rule.byMonth = static_cast<std::uint16_t>(rule.byMonth | 1U << (*number - 1));
  if (!months) rule.byMonthDay |= 1ULL << MonthDayBit(*number);
  return true;
}

bool ReadList(Part part, std::string_view text, RepeatRule& rule) {
  while (true) {
    const std::size_t comma = text.find(',');
    if (!ReadListItem(part, text.substr(0, comma), rule)) return false;
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

std::optional<int> ReadDigits(std::string_view text, std::size_t at, std::size_t count) {
  return ReadNumber(text.substr(at, count), 0, 9999);
}

// "YYYYMMDD", "YYYYMMDDTHHMMSS" or the latter with "Z" (UTC).
bool ReadUntil(std::string_view text, RuleEnd& end, bool& utc) {
  utc = !text.empty() && text.back() == 'Z';
  if (utc) text.remove_suffix(1);
  const bool wholeDay = text.size() == 8;
  if (!wholeDay && (text.size() != 15 || text[8] != 'T')) return false;
  std::array<int, 6> fields{};  // year, month, day, hour, minute, second
  for (std::size_t i = 0; i < (wholeDay ? 3U : 6U); ++i) {
    const std::optional<int> field =
        i == 0 ? ReadDigits(text, 0, 4) : ReadDigits(text, i < 3 ? 2 + 2 * i : 3 + 2 * i, 2);
    if (!field) return false;
    fields[i] = *field;
  }
  const auto [year, month, day, hour, minute, second] = fields;
  if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
      second > 60 || (wholeDay && utc)) {
    return false;
  }
  const DateValue midnight =
      MakeDate(static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), static_cast<std::int16_t>(day));
  end.last = CombineDateTime(midnight, (hour * 3600 + minute * 60 + second) / 86400.0);
  end.wholeDay = wholeDay;
  return true;
}

// Reads the parts into `rule`; on the first one it cannot take in, says
// why in `reason`.
class RuleReader {
 public:
  explicit RuleReader(const UntilZone* zone) : zone_(zone) {}

  bool ReadPart(std::string_view name, std::string_view value) {
    const std::size_t index = IndexIn(kPartNames, name);
    if (index >= kKnownParts) {
      return Refuse(index == kPartNames.size() ? TextId::RuleProblemUnknownPart : TextId::RuleProblemNotSupported,
                    name);
    }
    if (seen_[index]) return Refuse(TextId::RuleProblemGivenTwice, name);
    seen_[index] = true;
    if (ReadValue(static_cast<Part>(index), value)) return true;
    if (!reason.empty()) return false;
    return Refuse(TextId::RuleProblemCannotBeRead, name, value);
  }

  bool Finish() {
    if (!seen_[0]) return Refuse(TextId::RuleProblemFreqMissing);
    if (count_ && until_) return Refuse(TextId::RuleProblemCountWithUntil);
    if (count_) rule.end = RuleEnd{RuleEnding::Count, *count_, 0.0, false};
    if (until_) rule.end = *until_;
    reason = RuleProblem(rule);
    return reason.empty();
  }

  // Says why in `reason`, with the outside text quoted as %1 and %2.
  bool Refuse(TextId why, std::string_view first = {}, std::string_view second = {}) {
    reason = Text(why, {Quoted(first), Quoted(second)});
    return false;
  }

  RepeatRule rule;
  std::wstring reason;

 private:
  bool ReadValue(Part part, std::string_view value) {
    std::optional<int> number;
    switch (part) {
      case Part::Freq: return ReadFrequency(value);
      case Part::Interval: number = ReadNumber(value, 1, kMaxRuleInterval); break;
      case Part::ByMonth:
      case Part::ByMonthDay:
      case Part::ByDay: return ReadList(part, value, rule);
      case Part::BySetPos:
        if (value.find(',') != std::string_view::npos) return Refuse(TextId::RuleProblemSetPosList);
        number = ReadNumber(value, -kMaxSetPosition, kMaxSetPosition);
        if (number) rule.bySetPos = number;
        return number.has_value();
      case Part::Wkst: number = ReadWeekday(value); break;
      case Part::Count: count_ = ReadNumber(value, 1, kMaxRuleCount); return count_.has_value();
      case Part::Until: return ReadUntilValue(value);
      case Part::Unsupported: return false;
    }
    if (number) (part == Part::Interval ? rule.interval : rule.weekStart) = *number;
    return number.has_value();
  }

  bool ReadFrequency(std::string_view value) {
    const std::size_t index = IndexIn(kFrequencyNames, value);
    if (index < kFrequencies) {
      rule.frequency = static_cast<RuleFrequency>(index);
      return true;
    }
    return Refuse(
        index < kFrequencyNames.size() ? TextId::RuleProblemFreqNotSupported : TextId::RuleProblemNotAFrequency, value);
  }

  bool ReadUntilValue(std::string_view value) {
    RuleEnd until{RuleEnding::Until, 0, 0.0, false};
    bool utc = false;
    if (!ReadUntil(value, until, utc)) return false;
    until_ = until;
    if (!utc) return true;
    if (zone_ == nullptr) return Refuse(TextId::RuleProblemUtcUntil);
    const std::optional<DateValue> local = zone_->LocalOfUtc(until_->last);
    if (!local) return false;
    until_->last = *local;
    return true;
  }

  const UntilZone* zone_;
  std::array<bool, kKnownParts> seen_{};
  std::optional<int> count_;
  std::optional<RuleEnd> until_;
};

}  // namespace

std::string Rfc5545Text(const Recurrence& recurrence) {
  return std::visit(Overloaded{
                        [](RepeatMode mode) {
                          if (mode < EachDay || mode > EachYear) return std::string();  // Once, or hand-edited
                          RepeatRule rule;
                          rule.frequency = static_cast<RuleFrequency>(mode - EachDay);
                          return RuleText(rule);
                        },
                        [](const RepeatRule& rule) { return RuleText(rule); },
                    },
                    recurrence);
}

RuleReading ParseRecurrenceRule(std::string_view text, const UntilZone* zone) {
  // Names and values in any case: read from an upper-case copy, quoted
  // from the text as given where the case is kept.
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  RuleReader reader(zone);
  bool read = true;
  for (std::size_t at = 0; read && at < upper.size();) {
    const std::size_t semicolon = std::min(upper.find(';', at), upper.size());
    const std::string_view part = Trimmed(std::string_view(upper).substr(at, semicolon - at));
    const std::size_t partAt = static_cast<std::size_t>(part.data() - upper.data());
    at = semicolon + 1;
    if (part.empty()) continue;  // ";;" or a closing ";"
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos) {
      read = reader.Refuse(TextId::RuleProblemNoValue, text.substr(partAt, part.size()));
    } else {
      read = reader.ReadPart(Trimmed(part.substr(0, equals)), Trimmed(part.substr(equals + 1)));
    }
  }
  RuleReading reading;
  if (read && reader.Finish()) {
    reading.rule = std::move(reader.rule);
  } else {
    reading.reason = std::move(reader.reason);
  }
  return reading;
}
