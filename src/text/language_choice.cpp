#include "language_choice.h"

#include <algorithm>

namespace {

std::string Narrowed(std::wstring_view tag) {
  std::string narrow;
  for (const wchar_t c : tag) narrow += static_cast<char>(c);
  return narrow;
}

// Letters, digits and '-', at most 16: a tag that names a file beside the
// program and nothing else.
bool IsPlainTag(std::wstring_view tag) {
  return !tag.empty() && tag.size() <= 16 && std::all_of(tag.begin(), tag.end(), [](wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-';
  });
}

}  // namespace

bool SameTag(std::string_view tag, std::wstring_view other) {
  return tag.size() == other.size() && std::equal(tag.begin(), tag.end(), other.begin(), [](char a, wchar_t b) {
           const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; };
           return lower(static_cast<wchar_t>(a)) == lower(b);
         });
}

std::wstring_view OwnName(std::string_view tag) {
  for (const Language& language : kLanguages) {
    if (language.tag == tag) return language.ownName;
  }
  return kLanguages[0].ownName;
}

std::string LanguageToUse(std::wstring_view setting, std::wstring_view windowsLanguage) {
  if (IsPlainTag(setting)) return Narrowed(setting);
  for (const std::wstring_view wanted : {windowsLanguage, windowsLanguage.substr(0, windowsLanguage.find(L'-'))}) {
    for (const Language& language : kLanguages) {
      if (SameTag(language.tag, wanted)) return std::string(language.tag);
    }
  }
  return "en";
}
