#include "plural_forms.h"

namespace {

enum class PluralRule { OneOther, ZeroOneOther, Slavic, Single };

PluralRule RuleOf(std::string_view language) {
  const std::string_view base = language.substr(0, language.find('-'));
  if (base == "fr" || base == "pt") return PluralRule::ZeroOneOther;
  if (base == "pl" || base == "ru") return PluralRule::Slavic;
  if (base == "ja" || base == "zh") return PluralRule::Single;
  return PluralRule::OneOther;
}

}  // namespace

int PluralForm(std::string_view language, std::int64_t count) {
  const std::uint64_t n = count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
  const std::uint64_t lastDigit = n % 10, lastTwo = n % 100;
  switch (RuleOf(language)) {
    case PluralRule::OneOther: return n == 1 ? 0 : 1;
    case PluralRule::ZeroOneOther: return n <= 1 ? 0 : 1;
    case PluralRule::Single: return 0;
    case PluralRule::Slavic: {
      // Polish: one is 1 only; Russian: every 1 but 11 (21, 101, ...).
      const bool one = language.starts_with("ru") ? lastDigit == 1 && lastTwo != 11 : n == 1;
      if (one) return 0;
      return lastDigit >= 2 && lastDigit <= 4 && (lastTwo < 12 || lastTwo > 14) ? 1 : 2;
    }
  }
  return 0;
}

int PluralFormCount(std::string_view language) {
  switch (RuleOf(language)) {
    case PluralRule::Slavic: return 3;
    case PluralRule::Single: return 1;
    default: return 2;
  }
}

int OrdinalForm(std::string_view language, std::int64_t number) {
  if (!language.starts_with("en")) return 0;
  const std::int64_t lastDigit = number % 10, lastTwo = number % 100;
  return lastDigit >= 1 && lastDigit <= 3 && (lastTwo < 11 || lastTwo > 13) ? static_cast<int>(lastDigit) : 0;
}
