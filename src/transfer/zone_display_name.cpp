#include "zone_display_name.h"

#include "text_convert.h"

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// "+hh:mm" or "-hh:mm" (also with the Unicode minus sign), or nothing.
bool IsOffset(std::wstring_view text) {
  if (text.empty()) return true;
  if (text.size() != 6 || (text[0] != L'+' && text[0] != L'-' && text[0] != L'\u2212')) return false;
  return IsDigit(text[1]) && IsDigit(text[2]) && text[3] == L':' && IsDigit(text[4]) && IsDigit(text[5]);
}

}  // namespace

std::wstring_view WithoutOffsetPrefix(std::wstring_view display) {
  if (!display.starts_with(L"(UTC") && !display.starts_with(L"(GMT")) return display;
  const std::size_t close = display.find(L')');
  if (close == std::wstring_view::npos || !IsOffset(display.substr(4, close - 4))) return display;
  std::wstring_view rest = display.substr(close + 1);
  while (!rest.empty() && rest.front() == L' ') rest.remove_prefix(1);
  return rest;
}

bool SameZoneDisplayName(std::wstring_view a, std::wstring_view b) {
  a = WithoutOffsetPrefix(a);
  b = WithoutOffsetPrefix(b);
  return !a.empty() && EqualsIgnoringCase(a, b);
}
