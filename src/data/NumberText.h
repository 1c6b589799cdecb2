#pragma once

#include <QString>

// Number <-> text conversions shared by every window, the library file and the tools.

// Plain general text of a double: up to 15 significant digits, "." as decimal point, no
// group separators, no trailing zeros ("0.5", "12000", "0.12"); exponent form ("1e-05") only
// for very small or very large values.
QString FormatGeneral(double value);

// Formats value with a pattern of "#" and "0" placeholders and at most one ".":
// "0" always shows a digit, "#" only a significant one; the decimal part is rounded half away
// from zero; the decimal point is kept whenever the pattern has one ("#0.##" of 3 is "3.").
// "####0.0" of 7.25 is "7.3"; "00000.0" of 93.94 is "00093.9"; "#####" of 0 is "".
QString FormatPattern(double value, QStringView pattern);

// Lenient parse of entry text: the number at the start of the text ("." as decimal point,
// optional sign and exponent, leading blanks skipped), 0 when the text does not start with one.
// "12abc" gives 12, "abc" gives 0, ".5" gives 0.5. A number beyond the range of a double
// ("1e999", 320 nines) gives an infinity of its sign, never a finite stand-in; range checks
// then refuse it. The result is never NaN.
double ParseLeadingNumber(QStringView text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long RoundHalfEven(double value);
