// Lenient conversions of texts typed by users: they skip what they do not understand and
// fail only on overflow.
#pragma once

#include <string_view>

namespace spaltwerk {

// Digits accumulate left to right, every "-" flips the sign, everything else is skipped.
// vcl::EIntOverflow when the digits exceed 2147483647, whatever the sign.
int StringToInt_(std::string_view S);

// Digits as for StringToInt_; the last "," or "." is the decimal separator. Each step is
// computed with a 64-bit mantissa and rounded to a double, and the decimals are scaled by
// multiplying with 0.1 once per digit, so results match that arithmetic exactly.
// vcl::EOverflow when the value leaves the range of a double.
double StringToFLOAT_(std::string_view S);

// True when the text holds a "T" or a "t" anywhere.
bool StringToBool_(std::string_view S);

}  // namespace spaltwerk
