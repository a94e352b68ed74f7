#include "text_table.h"

#include <span>
#include <string>

#include "plural_forms.h"

namespace {

// Every English text in one literal, each ended by its '\0': half the bytes
// of wide literals, and no table of pointers.
constexpr char kEnglish[] =
#define CHIMEWATCH_TEXT(group, name, english) english "\0"
#include "english_texts.inc"
#undef CHIMEWATCH_TEXT
    ;

const LanguageTexts* chosenTexts = nullptr;
std::string chosenLanguage = "en";

std::wstring Widened(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::wstring Chosen(TextId id) {
  if (chosenTexts != nullptr) {
    if (const auto text = chosenTexts->Find(id); text && !text->empty()) return std::wstring(*text);
  }
  return Widened(EnglishText(id));
}

std::wstring WithArguments(std::wstring_view text, std::span<const std::wstring_view> arguments) {
  std::wstring result;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const std::size_t number = at + 1 < text.size() ? static_cast<std::size_t>(text[at + 1] - L'1') : 9;
    if (text[at] == L'%' && number < arguments.size()) {
      result += arguments[number];
      ++at;
    } else {
      result += text[at];
    }
  }
  return result;
}

// Form `form` of "one|few|many"; the last one where a text has fewer.
std::wstring_view Form(std::wstring_view forms, int form) {
  for (; form > 0; --form) {
    const std::size_t bar = forms.find(L'|');
    if (bar == std::wstring_view::npos) break;
    forms.remove_prefix(bar + 1);
  }
  return forms.substr(0, forms.find(L'|'));
}

}  // namespace

void UseLanguage(const LanguageTexts* texts, std::string_view language) {
  chosenTexts = texts;
  chosenLanguage = texts != nullptr ? std::string(language) : "en";
}

std::string_view LanguageInUse() { return chosenLanguage; }

std::string_view EnglishText(TextId id) {
  const char* text = kEnglish;
  for (auto at = static_cast<std::uint16_t>(id); at > 0; --at) text += std::char_traits<char>::length(text) + 1;
  return text;
}

std::wstring Text(TextId id, std::initializer_list<std::wstring_view> arguments) {
  return WithArguments(Chosen(id), {arguments.begin(), arguments.size()});
}

std::wstring CountText(TextId id, std::int64_t count, std::initializer_list<std::wstring_view> arguments) {
  return WithArguments(Form(Chosen(id), PluralForm(chosenLanguage, count)), {arguments.begin(), arguments.size()});
}
