// Whether a colour reads against another: the contrast ratio of two colours as the web's
// accessibility guidelines define it (1 for the same colour up to 21 for black on white; 4.5 is
// the least for text, 3 for large text and for the parts of a picture), and colours moved just
// far enough to reach a ratio. Every window that draws colours of its own (charts, pictures,
// warnings, the help text) goes through these, so that it stays readable in a dark palette too.
#pragma once

#include <QColor>

class QPalette;

namespace tally {

inline constexpr double TextContrast = 4.5;
inline constexpr double GraphicContrast = 3.0;

// The relative luminance of a colour, 0 (black) to 1 (white).
double relativeLuminance(const QColor& colour);
// The contrast ratio of two colours, 1 to 21, whichever is lighter.
double contrastRatio(const QColor& a, const QColor& b);

// Whether a palette is a dark one: its window colour darker than its window text.
bool isDark(const QPalette& palette);

// The colour itself when it reaches `minimum` against the background; otherwise the same hue
// made lighter (on a dark background) or darker (on a light one) until it does, or as far as it
// goes.
QColor readableOn(const QColor& colour, const QColor& background, double minimum = TextContrast);

} // namespace tally
