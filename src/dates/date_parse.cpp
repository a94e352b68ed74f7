#include "date_parse.h"

#include <cstdlib>
#include <vector>

#include "text_convert.h"

namespace {

struct Number {
  int value = 0;
  std::size_t digits = 0;
};

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads up to maxDigits digits at pos; fails on none or on more.
std::optional<Number> ReadNumber(std::wstring_view text, std::size_t& pos, std::size_t maxDigits) {
  Number number;
  while (pos < text.size() && IsDigit(text[pos])) {
    if (++number.digits > maxDigits) return std::nullopt;
    number.value = number.value * 10 + (text[pos] - L'0');
    ++pos;
  }
  if (number.digits == 0) return std::nullopt;
  return number;
}

int NearestCentury(int twoDigitYear, int referenceYear) {
  int best = 0;
  int bestDistance = 1 << 30;
  const int century = referenceYear / 100 * 100;
  for (int candidate = century - 100 + twoDigitYear; candidate <= century + 100 + twoDigitYear; candidate += 100) {
    const int distance = std::abs(candidate - referenceYear);
    if (distance <= bestDistance) {  // '<=': a tie goes to the later century
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

std::optional<DateValue> ReadDate(std::wstring_view text, std::size_t& pos, int referenceYear) {
  const auto year = ReadNumber(text, pos, 4);
  if (!year || (year->digits != 2 && year->digits != 4)) return std::nullopt;
  if (pos >= text.size()) return std::nullopt;
  const wchar_t separator = text[pos];
  if (separator != L'/' && separator != L'-' && separator != L'.') return std::nullopt;
  ++pos;
  const auto month = ReadNumber(text, pos, 2);
  if (!month || pos >= text.size() || text[pos] != separator) return std::nullopt;
  ++pos;
  const auto day = ReadNumber(text, pos, 2);
  if (!day) return std::nullopt;

  const int fullYear = year->digits == 2 ? NearestCentury(year->value, referenceYear) : year->value;
  if (fullYear < 100 || fullYear > 9999) return std::nullopt;
  if (month->value < 1 || month->value > 12) return std::nullopt;
  if (day->value < 1 || day->value > DaysInMonth(fullYear, month->value)) return std::nullopt;
  return MakeDate(static_cast<std::int16_t>(fullYear), static_cast<std::int16_t>(month->value),
                  static_cast<std::int16_t>(day->value));
}

std::optional<DateValue> ReadTime(std::wstring_view text, std::size_t& pos) {
  const auto hour = ReadNumber(text, pos, 2);
  if (!hour || pos >= text.size() || text[pos] != L':') return std::nullopt;
  ++pos;
  const auto minute = ReadNumber(text, pos, 2);
  if (!minute) return std::nullopt;
  int second = 0;
  if (pos < text.size() && text[pos] == L':') {
    ++pos;
    const auto seconds = ReadNumber(text, pos, 2);
    if (!seconds) return std::nullopt;
    second = seconds->value;
  }
  if (hour->value > 23 || minute->value > 59 || second > 59) return std::nullopt;
  return (hour->value * 3600 + minute->value * 60 + second) / 86400.0;
}

// A time has its ':' right after the first run of digits.
bool LooksLikeTime(std::wstring_view text, std::size_t pos) {
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos < text.size() && text[pos] == L':';
}

void SkipBlanks(std::wstring_view text, std::size_t& pos) {
  while (pos < text.size() && (text[pos] == L' ' || text[pos] == L'\t')) ++pos;
}

}  // namespace

std::optional<DateValue> ParseDateText(std::wstring_view text, int referenceYear) {
  std::optional<DateValue> date;
  std::optional<DateValue> time;
  std::size_t pos = 0;
  SkipBlanks(text, pos);
  for (int field = 0; field < 2 && pos < text.size(); ++field) {
    if (LooksLikeTime(text, pos)) {
      if (time) return std::nullopt;
      time = ReadTime(text, pos);
      if (!time) return std::nullopt;
    } else {
      if (date) return std::nullopt;
      date = ReadDate(text, pos, referenceYear);
      if (!date) return std::nullopt;
      if (pos < text.size() && text[pos] == L'T') ++pos;  // ISO 8601: 2026-12-06T14:05
    }
    const std::size_t fieldEnd = pos;
    SkipBlanks(text, pos);
    if (pos < text.size() && pos == fieldEnd && text[pos - 1] != L'T') return std::nullopt;
  }
  if (pos != text.size() || (!date && !time)) return std::nullopt;
  return CombineDateTime(date.value_or(0.0), time.value_or(0.0));
}

namespace {

// A 1-based, VB-style Mid: shorter or empty past the end of the text.
std::wstring_view Piece(std::wstring_view text, std::size_t start, std::size_t length) {
  if (start - 1 >= text.size()) return {};
  return text.substr(start - 1, length);
}

}  // namespace

std::optional<DateValue> ReadStoredTime(std::wstring_view text) {
  const auto year = ParseInteger16(Piece(text, 7, 4));
  const auto month = ParseInteger16(Piece(text, 12, 2));
  const auto day = ParseInteger16(Piece(text, 15, 2));
  const auto hour = ParseInteger16(Piece(text, 1, 2));
  const auto minute = ParseInteger16(Piece(text, 4, 2));
  for (const auto& part : {year, month, day, hour, minute}) {
    if (part.error != IntegerError::None) return std::nullopt;
  }
  const DateValue value =
      CombineDateTime(MakeDate(year.value, month.value, day.value), MakeTime(hour.value, minute.value));
  if (!IsValidDate(value)) return std::nullopt;
  return value;
}
