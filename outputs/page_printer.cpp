#include "page_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace moonbite {

PagePrinter::PagePrinter(QPainter* painter, double deviceDpi, const QString& family)
    : painter_(painter), dpi_(deviceDpi) {
    font_.setFamily(family);
    font_.setStyleStrategy(QFont::PreferAntialias);
    setFontSize(10);
}

void PagePrinter::setFontSize(double points) {
    size_ = points;
    // Pixel size at the device's resolution, so that metrics and drawing agree
    // on every device (printer, PDF, image).
    font_.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi_ / 72.0))));
    if (painter_ != nullptr) painter_->setFont(font_);
}

double PagePrinter::columnWidth() const {
    return QFontMetricsF(font_).averageCharWidth() * kTwipsPerInch / dpi_;
}

double PagePrinter::ascent() const {
    return QFontMetricsF(font_).ascent() * kTwipsPerInch / dpi_;
}

double PagePrinter::lineHeight() const {
    return QFontMetricsF(font_).height() * kTwipsPerInch / dpi_;
}

double PagePrinter::textWidth(const QString& text) const {
    return QFontMetricsF(font_).horizontalAdvance(text) * kTwipsPerInch / dpi_;
}

void PagePrinter::print(const QString& text, bool lineEnd) {
    const double width = textWidth(text);
    // Blanks are logged too: they place what follows (the first column's
    // extra blank, a poor day's empty stars), though they draw nothing.
    if (log_ != nullptr && !text.isEmpty())
        log_->push_back({DrawnItem::Text, text, CurrentX, CurrentY, size_, false, {}});
    if (!text.trimmed().isEmpty()) {
        grow(QRectF(CurrentX, CurrentY, width, lineHeight()));
        if (painter_ != nullptr) {
            const double scale = dpi_ / kTwipsPerInch;
            const QFontMetricsF metrics(font_);
            painter_->setPen(Qt::black);
            painter_->drawText(QPointF(CurrentX * scale, CurrentY * scale + metrics.ascent()),
                               text);
        }
    }
    CurrentX += width;
    if (lineEnd) endLine();
}

void PagePrinter::endLine() {
    CurrentX = 0;
    CurrentY += lineHeight();
}

void PagePrinter::tab(int column) {
    const double x = (column - 1) * columnWidth();
    if (CurrentX > x) endLine();
    CurrentX = x;
}

void PagePrinter::circle(double x, double y, double radius, const QColor& fill, bool filled,
                         const QColor& outline) {
    grow(QRectF(x - radius, y - radius, 2 * radius, 2 * radius));
    if (log_ != nullptr) log_->push_back({DrawnItem::Circle, {}, x, y, radius, filled, fill});
    if (painter_ == nullptr) return;
    const double scale = dpi_ / kTwipsPerInch;
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing);
    painter_->setPen(QPen(outline, std::max(1.0, 15 * scale)));
    painter_->setBrush(filled ? QBrush(fill) : Qt::NoBrush);
    painter_->drawEllipse(QPointF(x * scale, y * scale), radius * scale, radius * scale);
    painter_->restore();
}

void PagePrinter::grow(const QRectF& r) {
    extent_ = extent_.isNull() ? r : extent_.united(r);
}

}  // namespace moonbite
