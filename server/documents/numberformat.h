#pragma once

#include <QString>

// Numbers as the record writes them: "." as decimal point, no exponent, no "-0".

// `value` with exactly `decimals` decimals.
QString fixedNumber(double value, int decimals);
// `value` rounded to `decimals` decimals: fixedNumber writes the result with exactly its digits.
double roundedTo(double value, int decimals);
// A price for people: like fixedNumber, with "," between thousands when the integer part has
// four or more digits ("1,234.50").
QString priceText(double value, int decimals);
