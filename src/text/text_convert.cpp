#include "text_convert.h"

#include <cwctype>

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// A decimal number: sign, digits, optionally a fraction. Returns whether it
// is zero, or nullopt when the text is no number.
std::optional<bool> DecimalIsZero(std::wstring_view text) {
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) ++pos;
  bool zero = true;
  std::size_t digits = 0;
  bool point = false;
  for (; pos < text.size(); ++pos) {
    if (IsDigit(text[pos])) {
      ++digits;
      zero = zero && text[pos] == L'0';
    } else if (text[pos] == L'.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  return zero;
}

}  // namespace

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(text[i])) != std::towlower(static_cast<wint_t>(word[i]))) return false;
  }
  return true;
}

std::wstring TrimBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

std::wstring BooleanText(bool value) { return value ? L"True" : L"False"; }

std::optional<bool> ParseBooleanText(std::wstring_view text) {
  const std::wstring trimmed = TrimBlanks(text);
  if (EqualsIgnoringCase(trimmed, L"True")) return true;
  if (EqualsIgnoringCase(trimmed, L"False")) return false;
  const auto zero = DecimalIsZero(trimmed);
  if (!zero) return std::nullopt;
  return !*zero;
}

Integer16Result ParseInteger16(std::wstring_view text) {
  const std::wstring trimmed = TrimBlanks(text);
  std::size_t pos = 0;
  bool negative = false;
  if (pos < trimmed.size() && (trimmed[pos] == L'+' || trimmed[pos] == L'-')) negative = trimmed[pos++] == L'-';
  if (pos == trimmed.size()) return {0, IntegerError::NotANumber};
  long long value = 0;
  bool overflow = false;
  for (; pos < trimmed.size(); ++pos) {
    if (!IsDigit(trimmed[pos])) return {0, IntegerError::NotANumber};
    if (!overflow) value = value * 10 + (trimmed[pos] - L'0');
    overflow = overflow || value > 32768;
  }
  if (negative) value = -value;
  if (overflow || value < -32768 || value > 32767) return {0, IntegerError::Overflow};
  return {static_cast<std::int16_t>(value), IntegerError::None};
}

int LeadingNumber(std::wstring_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == L' ') ++pos;
  long long value = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    value = value * 10 + (text[pos] - L'0');
    if (value > 32767) return 32767;
  }
  return static_cast<int>(value);
}
