#include "date_format.h"

#include "number_text.h"
#include "text_table.h"

#include <array>

namespace {

void AppendNumber(std::wstring& out, int value, int width) { out += WideDecimalText(value, width); }

// Up to 15 significant digits, no trailing zeros, no point for whole values.
std::wstring GeneralNumber(double value) {
  const std::string text = GeneralNumberText(value);
  return std::wstring(text.begin(), text.end());
}

bool StartsWith(std::wstring_view text, std::size_t at, std::wstring_view token) {
  return text.substr(at, token.size()) == token;
}

// Numeric fields, longest token first where one starts another.
struct NumericToken {
  std::wstring_view text;
  int (*field)(const DateParts&);
};

constexpr NumericToken kNumericTokens[] = {
    {L"yyyy", [](const DateParts& p) { return p.year; }}, {L"yy", [](const DateParts& p) { return p.year % 100; }},
    {L"dd", [](const DateParts& p) { return p.day; }},    {L"mm", [](const DateParts& p) { return p.month; }},
    {L"hh", [](const DateParts& p) { return p.hour; }},   {L"nn", [](const DateParts& p) { return p.minute; }},
    {L"ss", [](const DateParts& p) { return p.second; }},
};

// Appends the field of the token at pattern[at], if one starts there, and
// returns its length.
std::size_t AppendToken(std::wstring& out, std::wstring_view pattern, std::size_t at, const DateParts& parts) {
  if (StartsWith(pattern, at, L"ddd")) {
    out += ListWord(TextId::ListNamesWeekdays, static_cast<std::size_t>(parts.weekday));
    return 3;
  }
  for (const NumericToken& token : kNumericTokens) {
    if (StartsWith(pattern, at, token.text)) {
      AppendNumber(out, token.field(parts), static_cast<int>(token.text.size()));
      return token.text.size();
    }
  }
  return 0;
}

}  // namespace

std::wstring FormatDate(DateValue value, std::wstring_view pattern) {
  if (pattern == kGeneralNumberPattern) return GeneralNumber(value);
  const DateParts parts = SplitDate(value);
  std::wstring out;
  for (std::size_t i = 0; i < pattern.size();) {
    const std::size_t length = AppendToken(out, pattern, i, parts);
    if (length == 0) out += pattern[i++];
    i += length;
  }
  return out;
}
