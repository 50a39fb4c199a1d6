#pragma once

#include <QString>
#include <QStringList>

namespace helan {

// Removes leading and trailing ASCII spaces and full-width spaces (U+3000).
QString trimSpaces(const QString& text);

// Integer value of a text from its leading decimal digits; a text that does not
// start with a digit (the empty text included) reads as 0. Values beyond the
// range of int are clamped.
int intValue(const QString& text);

// Splits a text at every CR LF pair. An empty text gives no lines; consecutive
// separators give empty lines between them; a separator at the very start gives an
// empty first line; a separator at the very end adds no empty last line.
QStringList splitCrLfLines(const QString& text);

// A name every file system takes: path separators, the characters Windows
// refuses and control characters become "_"; surrounding white space goes.
QString fileNameSafe(const QString& name);

} // namespace helan
