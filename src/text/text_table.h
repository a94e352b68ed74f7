#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "text_id.h"

// The texts of a language other than English, as its language file holds
// them.
class LanguageTexts {
 public:
  virtual ~LanguageTexts() = default;
  // Nothing where the file lacks the text: English stands in for it.
  virtual std::optional<std::wstring_view> Find(TextId id) const = 0;
};

// The texts from here on: nullptr for English. `language` (a tag such as
// "pl") chooses the plural forms. The texts must outlive their use.
void UseLanguage(const LanguageTexts* texts, std::string_view language);

// A text in the language in use, with %1 to %9 replaced by the arguments.
std::wstring Text(TextId id, std::initializer_list<std::wstring_view> arguments = {});
// A text whose forms are joined by '|': the form for `count`, whose text
// is among the arguments.
std::wstring CountText(TextId id, std::int64_t count, std::initializer_list<std::wstring_view> arguments = {});

// The built-in English text, as english_texts.inc has it (ASCII).
std::string_view EnglishText(TextId id);

// Word `index` of a text that lists words parted by blanks (weekdays,
// months); the first word where the text has fewer.
std::wstring ListWord(TextId id, std::size_t index);
// Index of the ending of the ordinal `number` in the language in use.
int OrdinalForm(std::int64_t number);
