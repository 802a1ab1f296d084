#include "chart_geometry.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace moonbite::chartgeom {

double parseValue(const QString& text) {
    static const QRegularExpression leadingNumber(
        QStringLiteral(R"(^\s*([+-]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][+-]?\d+)?))"));
    const QRegularExpressionMatch match = leadingNumber.match(text);
    if (!match.hasMatch()) return 0.0;
    bool ok = false;
    const double value = QLocale::c().toDouble(match.capturedView(1), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QList<QPointF> stepPoints(const std::vector<double>& values) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(values.size() * 2));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double x = static_cast<double>(i);
        points.append(QPointF(x - 0.5, values[i]));
        points.append(QPointF(x + 0.5, values[i]));
    }
    return points;
}

int labelStride(double slotWidth, double labelWidth) {
    if (!(slotWidth > 0.0) || labelWidth <= slotWidth) return 1;
    return static_cast<int>(std::ceil(labelWidth / slotWidth));
}

QStringList placeholderCategories(int count) {
    QStringList names;
    names.reserve(std::max(count, 0));
    QString name;
    for (int i = 0; i < count; ++i) {
        name += QChar(0x200B);
        names.append(name);
    }
    return names;
}

QPointF depthOffset(double depth) {
    return {depth, -depth * 0.6};
}

QPolygonF topFace(const QRectF& front, QPointF back) {
    const QRectF r = front.normalized();
    return QPolygonF({r.topLeft(), r.topRight(), r.topRight() + back, r.topLeft() + back});
}

QPolygonF sideFace(const QRectF& front, QPointF back) {
    const QRectF r = front.normalized();
    return QPolygonF({r.topRight(), r.topRight() + back, r.bottomRight() + back, r.bottomRight()});
}

QPolygonF boxOutline(const QRectF& front, QPointF back) {
    const QRectF r = front.normalized();
    return QPolygonF({r.bottomLeft(), r.topLeft(), r.topLeft() + back, r.topRight() + back,
                      r.bottomRight() + back, r.bottomRight()});
}

QPolygonF ribbon(QPointF a, QPointF b, QPointF back) {
    return QPolygonF({a, b, b + back, a + back});
}

bool ribbonShowsTop(QPointF a, QPointF b, QPointF back) {
    // Screen y grows downwards: the back edge lies above the front edge (as
    // seen across the segment) exactly when this cross product is negative.
    const QPointF run = b - a;
    return run.x() * back.y() - run.y() * back.x() < 0.0;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    double t = lengthSquared > 0.0 ? QPointF::dotProduct(p - a, ab) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

}  // namespace moonbite::chartgeom
