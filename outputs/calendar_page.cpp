#include "calendar_page.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace moonbite {
namespace {

QString q(std::string_view t) {
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// One day cell at the current position: the day number, the stars, the new or
// full moon, and the event lines below at fixed offsets.
void drawCell(SolunarState& s, const CalendarPageInput& in, int day, int column, PagePrinter& p) {
    MonthCell cell;
    p.setFontSize(20);
    calcdata(s, in.year, in.month, day, in.options, cell);
    // The event lines hang from the cell's left. They take nearly a whole
    // column, so they must not move in with the Sunday number's extra blank,
    // or they run into the Monday cell's lines.
    const double X = p.CurrentX;
    const double Y = p.CurrentY;
    if (column == 1) p.print(QStringLiteral(" "));
    p.print(QStringLiteral(" ") + QString::number(day));
    const double X2 = p.CurrentX;
    const double Y2 = p.CurrentY;
    if (in.options.prediction && !cell.stars.empty()) {
        p.setFontSize(22);
        p.print(q(cell.stars));
    }
    // The disc stands 780 twips right of the day number, or just after the
    // stars where three wide stars would run into it.
    const double discX = std::max(X2 + 780, p.CurrentX + 200);
    auto phase = [&](const char* caption, std::string_view time, const QColor& fill) {
        p.circle(discX, Y2 + 200, 150, fill, true, Qt::black);
        p.setFontSize(7);
        p.CurrentX = discX + 200;
        p.CurrentY = Y2 + 80;
        p.print(QString::fromLatin1(caption));
        p.CurrentX = discX + 200;
        p.CurrentY = Y2 + 230;
        p.print(q(time));
        p.CurrentX = X2;
        p.CurrentY = Y2;
    };
    if (in.options.newFull && cell.newMoon) phase("New Moon", cell.newMoonTime, Qt::black);
    if (in.options.newFull && cell.fullMoon) phase("Full Moon", cell.fullMoonTime, Qt::white);
    p.setFontSize(20);
    auto line = [&](double dy, std::string_view text) {
        p.setFontSize(7);
        p.CurrentX = X + 140;
        p.CurrentY = Y + dy;
        p.print(q(text));
        p.CurrentX = X2;
        p.CurrentY = Y2;
        p.setFontSize(20);
    };
    if (in.options.sunrise) line(800, cell.sunLine);
    if (in.options.moonrise) line(940, cell.moonLine);
    if (in.options.majorMinor) {
        p.setFontSize(7);
        p.CurrentX = X + 140;
        p.CurrentY = Y + 520;
        p.print(q(cell.majorLine));
        p.CurrentX = X + 140;
        p.CurrentY = Y + 660;
        p.print(q(cell.minorLine));
        p.CurrentX = X2;
        p.CurrentY = Y2;
        p.setFontSize(20);
    }
}

}  // namespace

QString calendarLocationLine(const QString& latdeg, const QString& latmin, const QString& NorS,
                             const QString& londeg, const QString& lonmin, const QString& WorE,
                             const QString& zone, const QString& zoneName) {
    return QStringLiteral("Location: Lat: ") + latdeg + QStringLiteral(". ") + latmin +
           QStringLiteral("' ") + NorS + QStringLiteral("   Lon: ") + londeg +
           QStringLiteral(". ") + lonmin + QStringLiteral("' ") + WorE + QStringLiteral("  Gmt: ") +
           zone + QStringLiteral(" hrs  ") + zoneName;
}

void drawCalendarPage(SolunarState& s, const CalendarPageInput& in, PagePrinter& p) {
    const int days = daysInMonth(in.year, in.month);
    const int firstWeekday = Date::fromYmd(in.year, in.month, 1)->weekday();

    p.setFontSize(20);
    p.tab(27);
    p.print(QStringLiteral("Moonbite Solunar Fishing Calendar"), true);
    p.endLine();

    s.monthNumber = in.month;
    MonthNameFromNumber(s);
    p.setFontSize(20);
    p.print(QStringLiteral("  "));
    p.print(q(s.monthNameText) + QStringLiteral(" ") + QString::number(in.year), true);

    p.setFontSize(14);
    p.endLine();

    p.setFontSize(20);
    p.print(QStringLiteral("  Sun"));
    static constexpr const char* kDays[] = {" Mon", " Tue", " Wed", " Thu", " Fri", " Sat"};
    for (int i = 0; i < 6; ++i) {
        p.tab(12 * (i + 1) + 1);
        p.print(QString::fromLatin1(kDays[i]));
    }
    p.endLine();

    p.setFontSize(12);
    p.print(QStringLiteral("  ") + QString(135, QLatin1Char('_')), true);

    p.setFontSize(20);
    const double originY = std::round(p.CurrentY);
    // The rule under each week reaches the end of the Saturday cells whatever
    // the font's underscore width (at least the classic 189 underscores).
    const double gridRight = 84 * p.columnWidth();
    p.setFontSize(8);
    const int ruleLength = std::max(
        189, static_cast<int>(std::ceil((gridRight - p.textWidth(QStringLiteral("     "))) /
                                        p.textWidth(QStringLiteral("_")))));
    p.setFontSize(20);

    bool started = false;
    bool sixthRow = false;
    int sixthCount = 0;
    double sixthX = 0;
    double sixthY = 0;
    int day = 0;
    for (int row = 1; row <= 6; ++row) {
        for (int column = 1; column <= 7; ++column) {
            if (!started && column == firstWeekday) {
                day = 1;
                drawCell(s, in, day, column, p);
                started = true;
            } else if (started && day >= 1 && day <= days) {
                if (row == 6) {
                    ++sixthCount;
                    sixthRow = true;
                    if (sixthCount == 1) {
                        sixthX = p.CurrentX;
                        sixthY = p.CurrentY;
                        // The sixth week goes into the first week's empty cells.
                        p.CurrentX = 0;
                        p.CurrentY = originY;
                    }
                }
                drawCell(s, in, day, column, p);
            }
            if (column <= 6) p.tab(12 * column + 1);
            ++day;
        }
        if (row <= 5) {
            p.setFontSize(24);
            p.endLine();
            p.setFontSize(8);
            p.endLine();
            p.endLine();
            p.endLine();
            p.setFontSize(8);
            p.print(QStringLiteral("     ") + QString(ruleLength, QLatin1Char('_')), true);
            p.setFontSize(20);
        } else {
            if (sixthRow) {
                p.CurrentX = sixthX;
                p.CurrentY = sixthY;
            }
            p.setFontSize(10);
            p.endLine();
        }
    }

    // Legend, location and footer.
    p.setFontSize(10);
    p.print(QStringLiteral("     Fishing Prediction Legend:"));
    p.tab(134);
    p.print(QStringLiteral("Data Legend:"), true);
    p.endLine();

    // Each legend line: the stars, their word, an optional 8 pt text in the
    // middle (the location, the footer), then one data key and its meaning.
    struct LegendLine {
        const char* stars;
        double starSize;
        const char* word;
        int middleColumn;
        QString middle;
        const char* key;
        const char* meaning;
    };
    const LegendLine legend[] = {
        {"  ", 10, "=   Poor", 0, {}, "Maj", "=   Major Fishing Time"},
        {"  *", 20, "=   Fair", 64, in.locationLine, "Min", "=   Minor Fishing Time"},
        {"  **", 20, "=   Good", 63,
         QStringLiteral("This document was created with Moonbite, available from ") +
             kProjectWebAddress,
         "S Rise/Set", "=   Sunrise & Sunset"},
        {"  ***", 20, "=   Excellent", 0, {}, "M Rise/Set", "=   Moonrise & Moonset"},
    };
    for (const LegendLine& l : legend) {
        p.setFontSize(l.starSize);
        p.print(QString::fromLatin1(l.stars));
        p.setFontSize(10);
        p.tab(12);
        p.print(QString::fromLatin1(l.word));
        if (l.middleColumn > 0) {
            p.setFontSize(8);
            p.tab(l.middleColumn);
            p.print(l.middle);
            p.setFontSize(10);
        }
        p.tab(134);
        p.print(QString::fromLatin1(l.key));
        p.tab(145);
        p.print(QString::fromLatin1(l.meaning), true);
    }
}

void renderCalendarPage(SolunarState& s, const CalendarPageInput& in, QPaintDevice& device,
                        const QRectF& printable, double dpi) {
    // Measure first, then draw scaled so that nothing is cut off.
    SolunarState measureState = s;
    PagePrinter measure(nullptr, dpi, kCalendarFont);
    drawCalendarPage(measureState, in, measure);
    const QRectF extent = measure.extent();
    const double widthDevice = std::max(1.0, extent.right() * dpi / kTwipsPerInch);
    const double heightDevice = std::max(1.0, extent.bottom() * dpi / kTwipsPerInch);
    const double scale =
        std::min({1.0, printable.width() / widthDevice, printable.height() / heightDevice});

    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(printable.topLeft());
    painter.scale(scale, scale);
    PagePrinter p(&painter, dpi, kCalendarFont);
    drawCalendarPage(s, in, p);
}

}  // namespace moonbite
