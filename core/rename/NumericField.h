#pragma once

#include <QStringView>

#include <optional>

// The leading number of a parameter text: blanks, tabs and line feeds are
// skipped anywhere; then a sign, digits, one decimal point and an exponent,
// or "&H" / "&O" followed by hexadecimal or octal digits. A text that does
// not begin with a number reads as 0.
double leadingNumber(QStringView text);

// The leading number rounded half to even, or nothing when it lies outside
// the 16-bit range -32768..32767.
std::optional<qint16> numericFieldValue(QStringView text);
