#include "language_choice.h"

#include <algorithm>
#include <optional>

namespace {

// The listed language (or the pseudo-language) `wanted` names, in any case.
std::optional<std::string_view> ListedTag(std::wstring_view wanted) {
  if (SameTag(kPseudoLanguage, wanted)) return kPseudoLanguage;
  for (const Language& language : kLanguages) {
    if (SameTag(language.tag, wanted)) return language.tag;
  }
  return std::nullopt;
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

std::string_view LanguageToUse(std::wstring_view setting, std::wstring_view windowsLanguage) {
  if (const auto tag = ListedTag(setting)) return *tag;
  for (const std::wstring_view wanted : {windowsLanguage, windowsLanguage.substr(0, windowsLanguage.find(L'-'))}) {
    if (const auto tag = ListedTag(wanted); tag && *tag != kPseudoLanguage) return *tag;
  }
  return "en";
}
