#pragma once

#include <QFont>
#include <QString>

namespace helan {

// The font rows and preview labels are measured in: 宋体 with a character
// height of 19 pixels, regular weight. Where 宋体 is not installed the nearest
// CJK serif font stands in for it (a CJK sans serif font when there is none).
// Needs a QGuiApplication.
QFont measuringFont();

// Frame and inner margin, in pixels on each side, of the measuring box: the
// text wraps at the box width less twice their sum.
inline constexpr int kMeasuringBoxFrame = 2;
inline constexpr int kMeasuringBoxMargin = 4;

// The number of display lines a text occupies in a multi-line edit box of the
// given width in the measuring font: lines are broken at every line break
// (CR LF, LF or CR) and then wrapped at the box width, at word boundaries where
// possible and anywhere otherwise, as the box wraps them. An empty text gives 1.
// Needs a QGuiApplication.
int countWrappedLines(int width, const QString& text);

// The same in any font, wrapping at exactly lineWidth pixels (no box margins).
int countWrappedLinesIn(const QFont& font, int lineWidth, const QString& text);

// The height of one line of Chinese text in a font as a text layout lays it out:
// with the CJK fallback font's own line spacing, which is often larger than the
// font's (a Latin font's metrics say nothing of the Chinese glyphs drawn).
int lineHeightIn(const QFont& font);

} // namespace helan
