#include "number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

TEST(NumberText, DecimalAndHexadecimal) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(7, 2), "07");
  EXPECT_EQ(DecimalText(2026, 4), "2026");
  EXPECT_EQ(DecimalText(-5, 3), "-005");
  EXPECT_EQ(DecimalText(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(WideDecimalText(100), L"100");
  EXPECT_EQ(WideDecimalText(-32768), L"-32768");
  EXPECT_EQ(HexText(0xbeef, 8), "0000beef");
  EXPECT_EQ(HexText(UINT64_MAX), "ffffffffffffffff");
}

TEST(NumberText, GeneralNumberByHand) {
  EXPECT_EQ(GeneralNumberText(36525.0), "36525");
  EXPECT_EQ(GeneralNumberText(36525.0 + 845.0 / 1440), "36525.5868055556");
  EXPECT_EQ(GeneralNumberText(-1.25), "-1.25");
  EXPECT_EQ(GeneralNumberText(0.0001), "0.0001");
  EXPECT_EQ(GeneralNumberText(0.00001), "1E-05");
  EXPECT_EQ(GeneralNumberText(1e15), "1E+15");
  EXPECT_EQ(GeneralNumberText(999999999999999.0), "999999999999999");
  EXPECT_EQ(GeneralNumberText(9999999999999995.0), "1E+16");  // rounds up into a new digit
  EXPECT_EQ(GeneralNumberText(0.5), "0.5");
}

// printf's own "%.15G" is the reference: dates of every kind, and doubles
// spread over the whole range.
TEST(NumberText, GeneralNumberAgreesWithPrintf) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> dates(-657434.0, 2958465.99999);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 20000; ++i) {
    double value = dates(random);
    if (i % 2 == 1) {
      const std::uint64_t pattern = bits(random);
      std::memcpy(&value, &pattern, sizeof value);
    }
    if (i % 5 == 0) value = static_cast<double>(static_cast<std::int64_t>(value * 1440)) / 1440;  // whole minutes
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.15G", value);
    ASSERT_EQ(GeneralNumberText(value), expected) << "bits of " << expected;
  }
}
