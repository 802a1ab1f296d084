#include "gauge_line.h"

#include <QPainter>

#include "contrast.h"

namespace moonbite {

void GaugeLine::setLine(double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    update();
}

QColor GaugeLine::lineColour() const {
    // Slate blue on a light window; as light as it must be to show on a dark one.
    return readableOn(QColor(0x30, 0x40, 0x60), palette().color(QPalette::Window), 3.0);
}

void GaugeLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(lineColour(), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x1_, y1_), QPointF(x2_, y2_));
}

}  // namespace moonbite
