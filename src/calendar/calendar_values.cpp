#include "calendar_values.h"

#include <cmath>
#include <cstdint>

#include "number_text.h"

namespace {

std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count) {
  if (text.size() < pos + count) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// Takes a leading '+' or '-' off the text; true for '-'.
bool TakeSign(std::string_view& text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return negative;
}

std::vector<std::string_view> Split(std::string_view text, char separator, std::size_t limit, bool& tooMany) {
  std::vector<std::string_view> pieces;
  tooMany = false;
  for (;;) {
    if (pieces.size() >= limit) {
      tooMany = true;
      return pieces;
    }
    const std::size_t end = text.find(separator);
    pieces.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return pieces;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

std::optional<double> TimeLineOf(int year, int month, int day, int secondOfDay) {
  if (year < 100 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  if (secondOfDay < 0 || secondOfDay >= 86400) return std::nullopt;
  const DateValue midnight =
      MakeDate(static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), static_cast<std::int16_t>(day));
  return ToTimeLine(midnight) + secondOfDay / kSecondsPerDay;
}

std::optional<CalendarTime> ReadCalendarTimeText(std::string_view text, bool dateOnly, std::string zone) {
  const auto year = Digits(text, 0, 4);
  const auto month = Digits(text, 4, 2);
  const auto day = Digits(text, 6, 2);
  if (!year || !month || !day) return std::nullopt;
  CalendarTime time;
  if (text.size() == 8) {
    time.form = CalendarTime::Form::Date;
    const auto line = TimeLineOf(*year, *month, *day, 0);
    if (!line) return std::nullopt;
    time.wall = *line;
    return time;
  }
  if (dateOnly || (text.size() != 15 && text.size() != 16) || text[8] != 'T') return std::nullopt;
  const auto hour = Digits(text, 9, 2);
  const auto minute = Digits(text, 11, 2);
  auto second = Digits(text, 13, 2);
  if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
  if (*second == 60) second = 59;  // a leap second: the clock shows it as the last one
  const auto line = TimeLineOf(*year, *month, *day, *hour * 3600 + *minute * 60 + *second);
  if (!line) return std::nullopt;
  time.wall = *line;
  if (text.size() == 16) {
    if (text[15] != 'Z' && text[15] != 'z') return std::nullopt;
    time.form = CalendarTime::Form::Utc;
  } else if (!zone.empty()) {
    time.form = CalendarTime::Form::Zoned;
    time.zone = std::move(zone);
  }
  return time;
}

std::optional<CalendarTime> ReadCalendarTime(const ContentLine& line) {
  const bool dateOnly = ToUpperAscii(line.Parameter("VALUE").value_or("")) == "DATE";
  return ReadCalendarTimeText(line.value, dateOnly, std::string(line.Parameter("TZID").value_or("")));
}

std::optional<std::vector<CalendarTime>> ReadCalendarTimes(const ContentLine& line, std::size_t limit) {
  const bool dateOnly = ToUpperAscii(line.Parameter("VALUE").value_or("")) == "DATE";
  const std::string zone(line.Parameter("TZID").value_or(""));
  bool tooMany = false;
  std::vector<CalendarTime> times;
  for (std::string_view piece : Split(line.value, ',', limit, tooMany)) {
    auto time = ReadCalendarTimeText(piece, dateOnly, zone);
    if (!time) return std::nullopt;
    times.push_back(std::move(*time));
  }
  if (tooMany) return std::nullopt;
  return times;
}

std::optional<long long> ReadWholeNumber(std::string_view text, std::size_t maxDigits) {
  const bool negative = TakeSign(text);
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::optional<CalendarDuration> ReadDuration(std::string_view text) {
  const bool negative = TakeSign(text);
  if (text.empty() || (text.front() != 'P' && text.front() != 'p')) return std::nullopt;
  text.remove_prefix(1);
  CalendarDuration duration;
  bool inTime = false;
  bool anyField = false;
  while (!text.empty()) {
    if (text.front() == 'T' || text.front() == 't') {
      if (inTime) return std::nullopt;
      inTime = true;
      text.remove_prefix(1);
      continue;
    }
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0 || digits > 7 || digits == text.size()) return std::nullopt;
    const long long number = *Digits(text, 0, digits);
    const char unit = static_cast<char>(text[digits] & ~0x20);  // upper case
    long long days = 0;
    long long scale = 0;
    if (!inTime && unit == 'W') days = 7;
    if (!inTime && unit == 'D') days = 1;
    if (inTime && unit == 'H') scale = 3600;
    if (inTime && unit == 'M') scale = 60;
    if (inTime && unit == 'S') scale = 1;
    if (days == 0 && scale == 0) return std::nullopt;
    duration.days += number * days;
    duration.seconds += number * scale;
    anyField = true;
    text.remove_prefix(digits + 1);
  }
  if (!anyField) return std::nullopt;
  if (negative) duration = {-duration.days, -duration.seconds};
  return duration;
}

std::optional<int> ReadUtcOffsetSeconds(std::string_view text) {
  if ((text.size() != 5 && text.size() != 7) || (text[0] != '+' && text[0] != '-')) return std::nullopt;
  const auto hours = Digits(text, 1, 2);
  const auto minutes = Digits(text, 3, 2);
  const auto seconds = text.size() == 7 ? Digits(text, 5, 2) : std::optional<int>(0);
  if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59) return std::nullopt;
  const int total = *hours * 3600 + *minutes * 60 + *seconds;
  return text[0] == '-' ? -total : total;
}

std::string DateTimeText(double line) {
  const DateParts parts = SplitDate(FromTimeLine(line));
  return DecimalText(parts.year, 4) + DecimalText(parts.month, 2) + DecimalText(parts.day, 2) + "T" +
         DecimalText(parts.hour, 2) + DecimalText(parts.minute, 2) + DecimalText(parts.second, 2);
}

std::string UtcOffsetText(int seconds) {
  const char sign = seconds < 0 ? '-' : '+';
  const int magnitude = std::abs(seconds);
  std::string text = sign + DecimalText(magnitude / 3600, 2) + DecimalText(magnitude / 60 % 60, 2);
  if (magnitude % 60 != 0) text += DecimalText(magnitude % 60, 2);
  return text;
}
