// Text colours that stay readable on the desktop's own palette, light or dark:
// contrast measured as WCAG 2.x does it, and a colour moved along its own
// lightness until it reads on a given background, so an accent keeps its hue.
#pragma once

#include <QColor>
#include <QPalette>

namespace moonbite {

/// Relative luminance (0 black .. 1 white) of the colour's sRGB value.
[[nodiscard]] double relativeLuminance(const QColor& colour);
/// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter of the two: 1 to 21.
[[nodiscard]] double contrastRatio(const QColor& a, const QColor& b);
/// The colour itself when it reaches minRatio against background; otherwise
/// the same hue and saturation made lighter (on a dark background) or darker
/// (on a light one) just far enough. Black or white when even that falls short.
[[nodiscard]] QColor readableOn(const QColor& colour, const QColor& background,
                                double minRatio = 4.5);
/// Black or white, whichever contrasts more with the background.
[[nodiscard]] QColor blackOrWhiteOn(const QColor& background);
/// True when the background is darker than mid grey in luminance terms, i.e.
/// white text reads better on it than black.
[[nodiscard]] bool isDark(const QColor& background);

/// A dark desktop palette like those dark themes give (a dark grey window,
/// darker boxes, light text, a light blue link), for the pictures and tests
/// of the dark look.
[[nodiscard]] QPalette darkDesktopPalette();

}  // namespace moonbite
