#include "gauge_line.h"

#include <QPainter>

namespace moonbite {

void GaugeLine::setLine(double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    update();
}

void GaugeLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x40, 0x60), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x1_, y1_), QPointF(x2_, y2_));
}

}  // namespace moonbite
