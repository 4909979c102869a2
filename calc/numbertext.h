#pragma once

#include <string>

namespace calc {

// The text of every computed value that may carry a fraction (frequencies
// and measured or derived tempos): six significant digits; plain decimal
// form from 0.1 to below a million, otherwise an exponent form such as
// "8.33333e-002" with a sign and three exponent digits; zeros at the end of
// the fraction dropped, and a decimal point left at the very end removed
// ("5.e+006" keeps its point). The form follows the value as rounded to six
// digits, so 999999.7 reads "1.e+006". Negative zero reads "0"; infinities
// read "inf" and "-inf", NaN reads "nan". Never locale dependent.
std::string FormatNumber(double value);

} // namespace calc
