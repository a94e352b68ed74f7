// The text forms of stored booleans and numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

std::wstring BooleanText(bool value);  // "True" / "False"

// "True" or "False" in any letter case, or a decimal number (0 is false,
// any other number true), blanks around allowed. Anything else: nullopt.
std::optional<bool> ParseBooleanText(std::wstring_view text);

enum class IntegerError { None, NotANumber, Overflow };

struct Integer16Result {
  std::int16_t value = 0;
  IntegerError error = IntegerError::None;
};

// A decimal whole number with an optional sign, blanks around allowed,
// within -32768..32767.
Integer16Result ParseInteger16(std::wstring_view text);

// Leading blanks skipped, then the leading whole number; a text that does
// not start with a number reads as 0. Used for slot numbers in row texts
// and the editor's request text.
int LeadingNumber(std::wstring_view text);

std::wstring TrimBlanks(std::wstring_view text);

// Equal texts when letter case is ignored ("Export" and "EXPORT").
bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view word);
