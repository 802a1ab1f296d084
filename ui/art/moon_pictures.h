// The program's pictures, drawn by us as SVG and compiled in.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace moonbite {

/// Moon phase picture 100..111: 100 new, 101..105 waxing, 106 full,
/// 107..111 waning, as seen from the northern hemisphere. A null icon for any
/// other number.
[[nodiscard]] QIcon moonPhaseIcon(int number);
/// The same picture rendered at size x size device-independent pixels for the
/// given device pixel ratio.
[[nodiscard]] QPixmap moonPhasePixmap(int number, int size, qreal devicePixelRatio = 1.0);
/// The resource path of a phase picture (":/images/moon-1NN.svg"), for HTML
/// and style sheets; empty for any number outside 100..111.
[[nodiscard]] QString moonPhaseResource(int number);
/// The fishing-prediction picture shown over the prediction colour (a fish).
/// The fish keeps its shape and is centred in the asked size; the rest is
/// transparent.
[[nodiscard]] QPixmap predictionPicture(int width, int height, qreal devicePixelRatio = 1.0);
/// The lunar-distance gauge: the scale behind it and the marker that moves on it.
/// The scale is stretched to the asked size, so gaugeTrackSpan() holds at any
/// size; the marker keeps its shape, centred, with its pointer's tip at the
/// bottom centre.
[[nodiscard]] QPixmap gaugeScale(int width, int height, qreal devicePixelRatio = 1.0);
[[nodiscard]] QPixmap gaugeMarker(int width, int height, qreal devicePixelRatio = 1.0);

/// Where the gauge's track starts (nearest) and ends (farthest), as fractions
/// of the scale picture's width.
struct GaugeTrackSpan {
    qreal nearX;
    qreal farX;
};
[[nodiscard]] GaugeTrackSpan gaugeTrackSpan();

/// The application icon.
[[nodiscard]] QIcon appIcon();

}  // namespace moonbite
