#include "calendar_address.h"

#include <algorithm>
#include <cwctype>

#include "text_convert.h"

namespace {

constexpr std::size_t kShownOfSecret = 4;
constexpr std::size_t kTokenLength = 16;  // a random part this long or longer is a secret

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view start) {
  return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// Long, and of letters and digits mixed (a word, a date or a file name is
// not a token): a piece between dashes, dots and underscores of 16 or more,
// or a UUID.
bool LooksLikeToken(std::wstring_view part) {
  std::size_t hex = 0;
  bool onlyHex = true;
  for (const wchar_t c : part) {
    if (c == L'-') continue;
    onlyHex = onlyHex && IsHexDigit(c);
    ++hex;
  }
  if (onlyHex && hex >= 24) return true;
  while (!part.empty()) {
    const std::size_t end = std::min(part.find_first_of(L"-._"), part.size());
    const std::wstring_view piece = part.substr(0, end);
    bool digit = false;
    bool letter = false;
    for (const wchar_t c : piece) {
      digit = digit || (c >= L'0' && c <= L'9');
      letter = letter || std::iswalpha(static_cast<wint_t>(c));
    }
    if (piece.size() >= kTokenLength && digit && letter) return true;
    part.remove_prefix(std::min(end + 1, part.size()));
  }
  return false;
}

std::wstring Cut(std::wstring_view secret) {
  if (secret.size() <= kShownOfSecret) return std::wstring(secret);
  return std::wstring(secret.substr(0, kShownOfSecret)) + L"...";
}

// Each part between `separators` that looks like a token, cut; one after
// a word and a dash ("private-<token>") keeps its word.
std::wstring CutTokens(std::wstring_view text, std::wstring_view separators) {
  std::wstring shown;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of(separators), text.size());
    const std::wstring_view part = text.substr(0, end);
    const std::size_t dash = part.find(L'-');
    const bool wordFirst = dash != std::wstring_view::npos && dash > 0 &&
                           std::all_of(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(dash),
                                       [](wchar_t c) { return std::iswalpha(static_cast<wint_t>(c)) != 0; });
    if (!LooksLikeToken(part)) {
      shown += part;
    } else if (wordFirst && LooksLikeToken(part.substr(dash + 1))) {
      shown += std::wstring(part.substr(0, dash + 1)) + Cut(part.substr(dash + 1));
    } else {
      shown += Cut(part);
    }
    if (end < text.size()) shown += text[end];
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return shown;
}

}  // namespace

std::optional<std::wstring> FetchedAddress(std::wstring_view typed) {
  std::wstring address = TrimBlanks(typed);
  for (const std::wstring_view scheme : {L"webcals://", L"webcal://"}) {
    if (StartsWithIgnoringCase(address, scheme)) address = L"https://" + address.substr(scheme.size());
  }
  std::wstring_view rest;
  if (StartsWithIgnoringCase(address, L"https://")) {
    address.replace(0, 8, L"https://");
    rest = std::wstring_view(address).substr(8);
  } else if (StartsWithIgnoringCase(address, L"http://")) {
    address.replace(0, 7, L"http://");
    rest = std::wstring_view(address).substr(7);
  } else {
    return std::nullopt;
  }
  const std::wstring_view authority = rest.substr(0, rest.find_first_of(L"/?#"));
  const std::wstring_view host = authority.substr(authority.rfind(L'@') + 1);
  if (host.empty() || host.front() == L':') return std::nullopt;
  for (const wchar_t c : address) {
    if (c <= L' ' || c == 0x7F) return std::nullopt;  // no blank or control inside
  }
  return address;
}

std::wstring ShownAddress(std::wstring_view address) {
  const std::size_t schemeEnd = address.find(L"://");
  if (schemeEnd == std::wstring_view::npos) return CutTokens(address, L"/?&=#");
  const std::size_t hostStart = schemeEnd + 3;
  std::wstring shown(address.substr(0, hostStart));
  std::wstring_view rest = address.substr(hostStart);
  const std::size_t authorityEnd = std::min(rest.find_first_of(L"/?#"), rest.size());
  std::wstring_view authority = rest.substr(0, authorityEnd);
  if (const std::size_t at = authority.rfind(L'@'); at != std::wstring_view::npos) {
    const std::wstring_view userInfo = authority.substr(0, at);
    const std::size_t colon = userInfo.find(L':');
    shown += std::wstring(userInfo.substr(0, colon)) + (colon != std::wstring_view::npos ? L":..." : L"") + L"@";
    authority.remove_prefix(at + 1);
  }
  shown += authority;
  rest.remove_prefix(authorityEnd);
  const std::size_t queryStart = std::min(rest.find(L'?'), rest.size());
  shown += CutTokens(rest.substr(0, queryStart), L"/");
  if (queryStart < rest.size()) {
    // Every value of a query may be a key: none is shown whole.
    std::wstring_view query = rest.substr(queryStart + 1);
    shown += L'?';
    while (!query.empty()) {
      const std::size_t end = std::min(query.find(L'&'), query.size());
      const std::wstring_view pair = query.substr(0, end);
      const std::size_t equals = pair.find(L'=');
      shown += equals == std::wstring_view::npos
                   ? std::wstring(pair)
                   : std::wstring(pair.substr(0, equals + 1)) + Cut(pair.substr(equals + 1));
      if (end < query.size()) shown += L'&';
      query.remove_prefix(std::min(end + 1, query.size()));
    }
  }
  return shown;
}

bool IsPlainHttp(std::wstring_view address) { return StartsWithIgnoringCase(address, L"http://"); }

std::wstring HostOf(std::wstring_view address) {
  const std::size_t schemeEnd = address.find(L"://");
  std::wstring_view rest = schemeEnd == std::wstring_view::npos ? address : address.substr(schemeEnd + 3);
  rest = rest.substr(0, rest.find_first_of(L"/?#"));
  rest = rest.substr(rest.rfind(L'@') + 1);
  return std::wstring(rest.substr(
      0, rest.rfind(L':') == std::wstring_view::npos || rest.front() == L'[' ? rest.size() : rest.rfind(L':')));
}
