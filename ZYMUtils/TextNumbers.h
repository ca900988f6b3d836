#pragma once
// Text-to-number conversions of value-list entries. Each reads the longest
// leading decimal number of the text (after ASCII blanks) and ignores the rest;
// text that does not start with a number gives 0. Hexadecimal, "inf" and "nan"
// are not numbers here. Conversions never depend on the process locale.
#include <string_view>

namespace lu {

// The leading decimal number as a double; beyond the double range ±HUGE_VAL.
double leadingDouble(std::string_view text);

// The leading decimal number rounded to float; beyond the float range ±HUGE_VALF.
float leadingFloat(std::string_view text);

// The leading unsigned decimal integer ("2.7" gives 2). A minus sign is not
// part of an unsigned number, so "-1" gives 0; values above UINT_MAX saturate.
unsigned leadingUInt(std::string_view text);

// The leading decimal integer with optional sign ("-1.5" gives -1), saturated
// to the int range.
int leadingInt(std::string_view text);

// Truncation toward zero that saturates at the int range instead of being
// undefined for huge values.
int truncateToInt(double value);

} // namespace lu
