#include <gtest/gtest.h>

#include "text_convert.h"

TEST(BooleanText, ReadsWordsInAnyCaseAndNumbers) {
  EXPECT_EQ(ParseBooleanText(L"True"), true);
  EXPECT_EQ(ParseBooleanText(L"TRUE"), true);
  EXPECT_EQ(ParseBooleanText(L"false"), false);
  EXPECT_EQ(ParseBooleanText(L"-1"), true);
  EXPECT_EQ(ParseBooleanText(L"1"), true);
  EXPECT_EQ(ParseBooleanText(L"0"), false);
  EXPECT_EQ(ParseBooleanText(L" 0 "), false);
  EXPECT_EQ(ParseBooleanText(L"0.0"), false);
  EXPECT_EQ(ParseBooleanText(L"2.5"), true);
  EXPECT_EQ(ParseBooleanText(L"99999999999999999999"), true);
  EXPECT_EQ(BooleanText(true), L"True");
  EXPECT_EQ(BooleanText(false), L"False");
}

TEST(BooleanText, RefusesOtherWords) {
  for (const wchar_t* text : {L"yes", L"", L" ", L"Tru", L"True1", L"-", L".", L"1.2.3", L"0x1"}) {
    EXPECT_EQ(ParseBooleanText(text), std::nullopt) << testing::PrintToString(std::wstring(text));
  }
}

TEST(Integer16, ReadsDecimalNumbersWithBlanks) {
  EXPECT_EQ(ParseInteger16(L"3").value, 3);
  EXPECT_EQ(ParseInteger16(L" 3").value, 3);
  EXPECT_EQ(ParseInteger16(L"3 ").value, 3);
  EXPECT_EQ(ParseInteger16(L"-32768").value, -32768);
  EXPECT_EQ(ParseInteger16(L"32767").value, 32767);
  EXPECT_EQ(ParseInteger16(L"+7").value, 7);
  EXPECT_EQ(ParseInteger16(L"007").value, 7);
}

TEST(Integer16, TellsNonNumbersFromOverflow) {
  EXPECT_EQ(ParseInteger16(L"").error, IntegerError::NotANumber);
  EXPECT_EQ(ParseInteger16(L"  ").error, IntegerError::NotANumber);
  EXPECT_EQ(ParseInteger16(L"3a").error, IntegerError::NotANumber);
  EXPECT_EQ(ParseInteger16(L"-").error, IntegerError::NotANumber);
  EXPECT_EQ(ParseInteger16(L"1 2").error, IntegerError::NotANumber);
  EXPECT_EQ(ParseInteger16(L"32768").error, IntegerError::Overflow);
  EXPECT_EQ(ParseInteger16(L"-32769").error, IntegerError::Overflow);
  EXPECT_EQ(ParseInteger16(L"99999999999999999999999").error, IntegerError::Overflow);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber(L"500"), 500);
  EXPECT_EQ(LeadingNumber(L"  7"), 7);
  EXPECT_EQ(LeadingNumber(L"12abc"), 12);
  EXPECT_EQ(LeadingNumber(L"abc"), 0);
  EXPECT_EQ(LeadingNumber(L""), 0);
}
