// Fitting a window designed at a fixed size onto the screen it opens on: at a
// high screen scale, or on a small screen, the design can be larger than the
// screen's free area, so the window may be shown smaller than designed, down to
// a size whose text is still readable.
#pragma once

#include <QSize>

class QWidget;

namespace moonbite {

/// The smallest fraction of its design size a window is ever shrunk to by its
/// screen's scale, whatever the scale: below it text would be too small to read.
inline constexpr double kSmallestScaleFloor = 0.5;

/// The smallest fraction of its design size a window may be shown at on a screen
/// with this device pixel ratio. At 1/ratio the text has, in device pixels, the
/// size it has at design size on a 96-dpi screen, so it is never smaller than the
/// design intends; never below kSmallestScaleFloor, never above 1.
[[nodiscard]] double smallestScale(double devicePixelRatio);

struct WindowFit {
    QSize minimum;  ///< the window's smallest size
    QSize size;     ///< the size it opens at when its design does not fit
};

/// The fitted minimum and opening size of a window whose scaled part is design
/// (the controls the resizer scales) and whose fixed part is chrome (a menu bar,
/// which keeps its size), within available (the screen's free area less the
/// window's frame). The window opens at its design size when that fits, else
/// as large as fits with the design's proportions; its minimum is the design at
/// smallestScale. When even that does not fit, both are what fits: the window
/// never asks for more than the screen has.
[[nodiscard]] WindowFit fitWindow(QSize design, QSize chrome, QSize available,
                                  double devicePixelRatio);

/// Gives window the minimum fitWindow computes for its screen (set on content,
/// the widget whose size is the design: the window itself or a main window's
/// central widget; none for a window whose layout sets its minimum), shrinks the window to fit when it is larger than the screen's
/// free area and moves it wholly onto that area. Call it before the window is
/// first shown and when it moves to another screen.
void fitOnScreen(QWidget& window, QWidget* content, QSize design, QSize chrome = {});

/// Runs fitOnScreen when window is first shown and whenever it moves to another
/// screen, for windows that do nothing else when shown.
void fitWhenShown(QWidget& window, QWidget* content, QSize design, QSize chrome = {});

}  // namespace moonbite
