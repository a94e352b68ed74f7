#include "number_text.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

template <typename Text>
Text Digits(std::uint64_t magnitude, bool negative, unsigned base, int minDigits) {
  constexpr char kDigits[] = "0123456789abcdef";
  char buffer[72];  // 64 binary digits at most, or the padding asked for
  int length = 0;
  do {
    buffer[length++] = kDigits[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0 && length < 64);
  while (length < minDigits && length < 64) buffer[length++] = '0';
  Text text;
  text.reserve(static_cast<std::size_t>(length) + 1);
  if (negative) text += '-';
  while (length > 0) text += static_cast<typename Text::value_type>(buffer[--length]);
  return text;
}

template <typename Text>
Text Decimal(std::int64_t value, int minDigits) {
  // Through unsigned arithmetic, so that the most negative value has a magnitude.
  const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return Digits<Text>(magnitude, value < 0, 10, minDigits);
}

// A non-negative whole number of any size, in base 10^9 limbs, least
// significant first: enough to write a double's exact decimal expansion.
class BigDecimal {
 public:
  explicit BigDecimal(std::uint64_t value) {
    do {
      limbs_.push_back(static_cast<std::uint32_t>(value % kBase));
      value /= kBase;
    } while (value != 0);
  }

  void MultiplyBy(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product % kBase);
      carry = product / kBase;
    }
    while (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
  }

  void MultiplyByPower(std::uint32_t base, int exponent) {
    for (; exponent > 0; --exponent) MultiplyBy(base);
  }

  std::string Digits() const {
    std::string text = DecimalText(limbs_.back());
    for (std::size_t i = limbs_.size() - 1; i-- > 0;) text += DecimalText(limbs_[i], 9);
    return text;
  }

 private:
  static constexpr std::uint32_t kBase = 1000000000;
  std::vector<std::uint32_t> limbs_;
};

constexpr int kSignificantDigits = 15;

// Rounds the digit string to kSignificantDigits, ties to even. Returns true
// when rounding up carried into a new leading digit.
bool RoundToSignificant(std::string& digits) {
  if (digits.size() <= kSignificantDigits) return false;
  const char next = digits[kSignificantDigits];
  const bool beyondHalf = digits.find_first_not_of('0', kSignificantDigits + 1) != std::string::npos;
  const bool lastIsOdd = (digits[kSignificantDigits - 1] - '0') % 2 == 1;
  digits.resize(kSignificantDigits);
  if (next < '5' || (next == '5' && !beyondHalf && !lastIsOdd)) return false;
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  digits.pop_back();
  return true;
}

}  // namespace

std::string GeneralNumberText(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-NAN" : "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return std::signbit(value) ? "-0" : "0";
  std::string sign = value < 0 ? "-" : "";
  // value = mantissa * 2^exponent exactly, with a 53-bit whole mantissa.
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  exponent -= 53;
  // Below 1 the value is mantissa * 5^k / 10^k: the digits of a whole number
  // with the point k places from the right.
  BigDecimal number(mantissa);
  int pointFromRight = 0;
  if (exponent >= 0) {
    number.MultiplyByPower(2, exponent);
  } else {
    number.MultiplyByPower(5, -exponent);
    pointFromRight = -exponent;
  }
  std::string digits = number.Digits();
  int decimalExponent = static_cast<int>(digits.size()) - pointFromRight - 1;
  if (RoundToSignificant(digits)) ++decimalExponent;
  digits.erase(digits.find_last_not_of('0') + 1);  // the first digit is never 0

  if (decimalExponent < -4 || decimalExponent >= kSignificantDigits) {
    std::string text = sign + digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += decimalExponent < 0 ? "E-" : "E+";
    return text + DecimalText(std::abs(decimalExponent), 2);
  }
  if (decimalExponent < 0)
    return sign + "0." + std::string(static_cast<std::size_t>(-decimalExponent - 1), '0') + digits;
  const auto whole = static_cast<std::size_t>(decimalExponent) + 1;
  if (digits.size() <= whole) return sign + digits + std::string(whole - digits.size(), '0');
  return sign + digits.substr(0, whole) + "." + digits.substr(whole);
}

std::string DecimalText(std::int64_t value, int minDigits) { return Decimal<std::string>(value, minDigits); }

std::wstring WideDecimalText(std::int64_t value, int minDigits) { return Decimal<std::wstring>(value, minDigits); }

std::string HexText(std::uint64_t value, int minDigits) { return Digits<std::string>(value, false, 16, minDigits); }
