// Plain geometry behind the prediction chart: stepped lines, thinned-out
// category labels, extruded faces and hit distances. No widgets here, so the
// shapes can be checked on their own.
#pragma once

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

namespace moonbite::chartgeom {

/// A row's value read from text the way a person typed it: leading blanks are
/// skipped and the leading number is taken ("66", " 33 ", "100%"); text that
/// does not start with a finite number reads as 0.
[[nodiscard]] double parseValue(const QString& text);

/// The points of a stepped line over rows 0..n-1: each value is held flat over
/// its whole category (index - 0.5 .. index + 0.5), so neighbouring rows meet
/// in a vertical riser on the category boundary.
[[nodiscard]] QList<QPointF> stepPoints(const std::vector<double>& values);

/// How many categories apart the shown labels must be so that labels of the
/// given width (gap included) never run into each other; 1 when every label fits.
[[nodiscard]] int labelStride(double slotWidth, double labelWidth);

/// Names for `count` categories that draw nothing and depend on nothing but
/// their number: one zero-width space more for each (the axis refuses empty
/// and repeated names), so new dates for the same number of rows leave the
/// axis alone.
[[nodiscard]] QStringList placeholderCategories(int count);

/// The way back into the picture for a depth of d px: right and somewhat up,
/// flatter than 45 degrees so that rising lines still show their strip.
[[nodiscard]] QPointF depthOffset(double depth);

/// The top face of a box whose front is `front`, its back at front + back.
[[nodiscard]] QPolygonF topFace(const QRectF& front, QPointF back);
/// The right-hand side face of the same box.
[[nodiscard]] QPolygonF sideFace(const QRectF& front, QPointF back);
/// The whole silhouette of the box: front, top and side together.
[[nodiscard]] QPolygonF boxOutline(const QRectF& front, QPointF back);
/// The strip swept by segment a-b when pushed back by `back`.
[[nodiscard]] QPolygonF ribbon(QPointF a, QPointF b, QPointF back);
/// Whether the strip shows its upper side (lit) rather than its underside:
/// a line rising more steeply than the way back is seen from below.
[[nodiscard]] bool ribbonShowsTop(QPointF a, QPointF b, QPointF back);

[[nodiscard]] double distanceToSegment(QPointF p, QPointF a, QPointF b);

}  // namespace moonbite::chartgeom
