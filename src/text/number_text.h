// Decimal and hexadecimal texts of whole numbers. Written out here rather
// than through printf or std::to_string, which would link the C library's
// whole formatter into the program for a few digits.
#pragma once

#include <cstdint>
#include <string>

// The decimal digits of `value`, with a minus sign when negative, padded
// with leading zeros to at least `minDigits` digits.
std::string DecimalText(std::int64_t value, int minDigits = 1);
std::wstring WideDecimalText(std::int64_t value, int minDigits = 1);

// Lower-case hexadecimal digits, padded with zeros to `minDigits`.
std::string HexText(std::uint64_t value, int minDigits = 1);

// `value` as printf's "%.15G" writes it: 15 significant digits, correctly
// rounded from the exact binary value (ties to even), trailing zeros and
// a bare point dropped, an exponent (E+15, E-05) outside 1E-4 .. 1E15.
std::string GeneralNumberText(double value);
