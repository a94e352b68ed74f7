#pragma once

#include <cstdint>
#include <string_view>

// Which plural form a count takes in a language (CLDR's rules for whole
// numbers), as the index of the form in a text whose forms are joined by
// '|': "one|other" for most languages, "one|few|many" for Polish and
// Russian, a single form for Japanese and Chinese.
int PluralForm(std::string_view language, std::int64_t count);
int PluralFormCount(std::string_view language);

// The ending an ordinal number takes in a language (CLDR's ordinal rules),
// as the index in the list of endings: English "th st nd rd" (6th, 21st,
// 22nd, 23rd); 0 in languages whose ending follows the noun's gender.
int OrdinalForm(std::string_view language, std::int64_t number);
