// The program's pictures, drawn by us as SVG and compiled in.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace moonbite {

/// Moon phase picture 100..111: 100 new, 101..105 waxing, 106 full,
/// 107..111 waning, as seen from the northern hemisphere. A null icon for any
/// other number.
[[nodiscard]] QIcon moonPhaseIcon(int number);
/// The same picture rendered at size x size device-independent pixels for the
/// given device pixel ratio.
[[nodiscard]] QPixmap moonPhasePixmap(int number, int size, qreal devicePixelRatio = 1.0);
/// The fishing-prediction picture shown over the prediction colour (a fish).
[[nodiscard]] QPixmap predictionPicture(int width, int height, qreal devicePixelRatio = 1.0);
/// The lunar-distance gauge: the scale behind it and the marker that moves on it.
[[nodiscard]] QPixmap gaugeScale(int width, int height, qreal devicePixelRatio = 1.0);
[[nodiscard]] QPixmap gaugeMarker(int width, int height, qreal devicePixelRatio = 1.0);
/// The application icon.
[[nodiscard]] QIcon appIcon();

}  // namespace moonbite
