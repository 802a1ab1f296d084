// The print model of the month calendar on a QPainter: a current position in
// twips, a font size in points, text printed with or without a line end, tabs
// to a character column of the current font, circles, and the document's end.
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <vector>

class QPainter;

namespace moonbite {

inline constexpr double kTwipsPerInch = 1440;

/// One thing the printer drew, for tests that check what went where.
struct DrawnItem {
    enum Kind { Text, Circle } kind = Text;
    QString text;         ///< the text (Text)
    double x = 0, y = 0;  ///< twips: the text's top left, or the circle's centre
    double size = 0;      ///< font size in points (Text) or radius in twips (Circle)
    bool filled = false;  ///< Circle
    QColor fill;          ///< Circle
};

class PagePrinter {
  public:
    /// painter may be null: then nothing is drawn and only the extent of what
    /// would be drawn is measured (see extent()). deviceDpi converts twips to
    /// the painter's units; the fonts are measured at that resolution.
    PagePrinter(QPainter* painter, double deviceDpi, const QString& family);

    double CurrentX = 0;  ///< twips from the left of the printable area
    double CurrentY = 0;  ///< twips from its top

    void setFontSize(double points);
    [[nodiscard]] double fontSize() const { return size_; }
    /// Prints text at the current position (its top there) and moves right;
    /// with lineEnd, then moves to the start of the next line.
    void print(const QString& text, bool lineEnd = false);
    /// Ends the line: back to the left edge, down by the current font's line height.
    void endLine();
    /// Moves to character column n (1-based) of the current font; to the next
    /// line when the position is already past it.
    void tab(int column);
    /// A circle centred at (x, y) twips: filled with fill when filled, outlined in outline.
    void circle(double x, double y, double radius, const QColor& fill, bool filled,
                const QColor& outline);
    /// Everything drawn so far, in twips.
    [[nodiscard]] QRectF extent() const { return extent_; }
    /// Width of one character column of the current font, twips.
    [[nodiscard]] double columnWidth() const;
    /// Height of the current font above its baseline, twips.
    [[nodiscard]] double ascent() const;
    /// Height of a line of the current font, twips.
    [[nodiscard]] double lineHeight() const;
    [[nodiscard]] double textWidth(const QString& text) const;
    /// Records every item drawn into log (null: no record).
    void setLog(std::vector<DrawnItem>* log) { log_ = log; }

  private:
    void grow(const QRectF& r);
    QPainter* painter_;
    double dpi_;
    QFont font_;
    double size_ = 10;
    QRectF extent_;
    std::vector<DrawnItem>* log_ = nullptr;
};

}  // namespace moonbite
