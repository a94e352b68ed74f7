#include "date_format.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::array<std::wstring_view, 7> kWeekdayNames = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};

void AppendNumber(std::wstring& out, int value, int width) {
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"%0*d", width, value);
  out += buffer;
}

// Up to 15 significant digits, no trailing zeros, no point for whole values.
std::wstring GeneralNumber(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

bool StartsWith(std::wstring_view text, std::size_t at, std::wstring_view token) {
  return text.substr(at, token.size()) == token;
}

}  // namespace

std::wstring FormatDate(DateValue value, std::wstring_view pattern) {
  if (pattern == kGeneralNumberPattern) return GeneralNumber(value);
  const DateParts parts = SplitDate(value);
  std::wstring out;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (StartsWith(pattern, i, L"yyyy")) {
      AppendNumber(out, parts.year, 4);
      i += 4;
    } else if (StartsWith(pattern, i, L"yy")) {
      AppendNumber(out, parts.year % 100, 2);
      i += 2;
    } else if (StartsWith(pattern, i, L"ddd")) {
      out += kWeekdayNames[static_cast<std::size_t>(parts.weekday)];
      i += 3;
    } else if (StartsWith(pattern, i, L"dd")) {
      AppendNumber(out, parts.day, 2);
      i += 2;
    } else if (StartsWith(pattern, i, L"mm")) {
      AppendNumber(out, parts.month, 2);
      i += 2;
    } else if (StartsWith(pattern, i, L"hh")) {
      AppendNumber(out, parts.hour, 2);
      i += 2;
    } else if (StartsWith(pattern, i, L"nn")) {
      AppendNumber(out, parts.minute, 2);
      i += 2;
    } else if (StartsWith(pattern, i, L"ss")) {
      AppendNumber(out, parts.second, 2);
      i += 2;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}
