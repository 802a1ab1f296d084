#include "tray_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "moon_pictures.h"

namespace moonbite {
namespace {

// The sizes panels draw tray icons at (16 px on a small panel up to 64 for a high-dpi one).
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64};

}  // namespace

QIcon moonTrayIcon(int picture) {
    QIcon icon;
    for (int size : kSizes)
        icon.addPixmap(moonPhasePixmap(picture, size));
    return icon;
}

QPixmap fishTrayPixmap(const QColor& colour, int size) {
    QPixmap out(size, size);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal rim = size >= 32 ? 1.5 : 1.0;
    const QRectF box(rim / 2, rim / 2, size - rim, size - rim);
    const qreal radius = size / 6.0;
    p.setPen(QPen(QColor(40, 40, 40), rim));
    p.setBrush(colour);
    p.drawRoundedRect(box, radius, radius);
    // The fish fills the box but for a margin, as in the window's prediction box.
    const int margin = std::max(1, size / 10);
    QImage fish = predictionPicture(size - 2 * margin, size - 2 * margin).toImage();
    // The dark fish would vanish on the Excellent day's dark blue: draw it in
    // its negative there, which keeps its eye and fins.
    if (colour.lightness() < 110) fish.invertPixels(QImage::InvertRgb);
    p.drawImage(margin, margin, fish);
    return out;
}

QIcon fishTrayIcon(const QColor& colour) {
    QIcon icon;
    for (int size : kSizes)
        icon.addPixmap(fishTrayPixmap(colour, size));
    return icon;
}

}  // namespace moonbite
