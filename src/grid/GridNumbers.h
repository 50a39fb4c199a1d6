#pragma once

#include <QStringView>

namespace helan {

// How the grid reads numbers and dates out of cell texts.

// The leading decimal number of a text: optional spaces, a sign, digits with an
// optional decimal point and an optional exponent. Full-width digits, signs and the
// full-width point read as their ASCII forms. A text that starts with no number
// reads as 0 and clears *found. Values beyond the range of double are clamped.
double leadingNumber(QStringView text, bool* found = nullptr);

// Whether a Number cell takes the text: empty, "0", or a non-zero number.
bool isNumberCellText(QStringView text);

// A date or date-time text ("2024-03-05", "2024/3/5", "2024-03-05 08:30[:00]") as a
// count of days; 0 for a text that is not a date. *ok tells the two apart.
double dateValue(QStringView text, bool* ok = nullptr);

} // namespace helan
