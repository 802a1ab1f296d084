#include "calendar_page.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace moonbite {
namespace {

QString q(std::string_view t) {
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// A cell is 12 columns of the 20 pt font wide.
constexpr int kCellColumns = 12;
// Kept clear before the next cell, so that a line drawn to fit does not touch it.
constexpr double kCellGap = 40;
// Small print: the event lines and the phase captions.
constexpr double kSmallPrint = 7;
constexpr double kSizeStep = 0.25;
// The clock-change mark: smaller than the event lines, so it reads as a note.
constexpr double kMarkPrint = 6;
// The top of the first event line below the number's top.
constexpr double kFirstLineOffset = 520;
// The event lines follow each other this far apart (majors at 520, minors,
// sunrise, moonrise at 940); the tide lines go on below the last one shown.
constexpr double kLinePitch = 140;
// Two highs or lows to a line unless that prints them smaller than this
// (long designators): then one to a line, and the rows grow instead.
constexpr double kTideLegibleSize = 5;
// Where the tide text of a legend line starts (a column of the 8 pt font),
// under the location and the footer.
constexpr int kTideLineColumn = 64;

// The size for text in small print: 7 pt, or smaller when 7 pt is wider than
// room. Far north a line such as "M  Rise: Stays Down  Set: Stays Down" needs
// more than a cell; drawn smaller it keeps all its words and stays in its cell.
double fittingSize(PagePrinter& p, const QString& text, double room) {
    p.setFontSize(kSmallPrint);
    const double width = p.textWidth(text);
    if (width <= room) return kSmallPrint;
    double size = std::floor(kSmallPrint * room / width / kSizeStep) * kSizeStep;
    p.setFontSize(size);
    // Sizes are rounded to whole device pixels, so the width does not quite
    // follow the size: step down until it really fits.
    while (size > kSizeStep && p.textWidth(text) > room) {
        size -= kSizeStep;
        p.setFontSize(size);
    }
    return size;
}

// One day cell at the current position: the day number, the stars, the new or
// full moon, the clock-change note, the event lines at fixed offsets and the
// tide lines below them from tideOffset. Returns whether the clocks change
// that day.
bool drawCell(SolunarState& s, const CalendarPageInput& in, int day, int column,
              const QStringList& tideLines, double tideOffset, PagePrinter& p) {
    MonthCell cell;
    p.setFontSize(20);
    calcdata(s, in.year, in.month, day, in.options, cell);
    // The event lines hang from the cell's left. They take nearly a whole
    // column, so they must not move in with the Sunday number's extra blank,
    // or they run into the Monday cell's lines.
    const double X = p.CurrentX;
    const double Y = p.CurrentY;
    const double cellRight = X + kCellColumns * p.columnWidth() - kCellGap;
    // Small print at (x, y), sized to end before the cell's right edge. A
    // smaller line keeps the baseline it would have at 7 pt, so it stays
    // clear of the line above.
    auto smallPrint = [&](double x, double y, const QString& text) {
        p.setFontSize(kSmallPrint);
        const double baseline = y + p.ascent();
        p.setFontSize(fittingSize(p, text, cellRight - x));
        p.CurrentX = x;
        p.CurrentY = baseline - p.ascent();
        p.print(text);
    };
    if (column == 1) p.print(QStringLiteral(" "));
    p.print(QStringLiteral(" ") + QString::number(day));
    const double X2 = p.CurrentX;
    const double Y2 = p.CurrentY;
    if (in.options.prediction && !cell.stars.empty()) {
        p.setFontSize(22);
        p.print(q(cell.stars));
    }
    // The disc stands 780 twips right of the day number, or just after the
    // stars where three wide stars would run into it; and further left, as
    // far as the stars allow, where its caption would leave the cell.
    const double starsEnd = p.CurrentX;
    auto phase = [&](const char* caption, std::string_view time, const QColor& fill) {
        p.setFontSize(kSmallPrint);
        const double captionWidth =
            std::max(p.textWidth(QString::fromLatin1(caption)), p.textWidth(q(time)));
        const double discX =
            std::max(std::min(std::max(X2 + 780, starsEnd + 200), cellRight - 200 - captionWidth),
                     starsEnd + 200);
        p.circle(discX, Y2 + 200, 150, fill, true, Qt::black);
        smallPrint(discX + 200, Y2 + 80, QString::fromLatin1(caption));
        smallPrint(discX + 200, Y2 + 230, q(time));
        p.CurrentX = X2;
        p.CurrentY = Y2;
    };
    if (in.options.newFull && cell.newMoon) phase("New Moon", cell.newMoonTime, Qt::black);
    if (in.options.newFull && cell.fullMoon) phase("Full Moon", cell.fullMoonTime, Qt::white);
    // The day the clocks change: a note at the right, resting on the first
    // event line, below the number, the stars and any phase caption and time.
    if (cell.clockChange != 0) {
        const QString mark = clockChangeMark(cell.clockChange);
        p.setFontSize(kMarkPrint);
        p.CurrentX = cellRight - p.textWidth(mark);
        p.CurrentY = Y + kFirstLineOffset - p.lineHeight();
        p.print(mark);
        p.CurrentX = X2;
        p.CurrentY = Y2;
    }
    p.setFontSize(20);
    auto line = [&](double dy, std::string_view text) {
        smallPrint(X + 140, Y + dy, q(text));
        p.CurrentX = X2;
        p.CurrentY = Y2;
        p.setFontSize(20);
    };
    if (in.options.sunrise) line(800, cell.sunLine);
    if (in.options.moonrise) line(940, cell.moonLine);
    if (in.options.majorMinor) {
        line(kFirstLineOffset, cell.majorLine);
        line(660, cell.minorLine);
    }
    for (qsizetype i = 0; i < tideLines.size(); ++i) {
        smallPrint(X + 140, Y + tideOffset + static_cast<double>(i) * kLinePitch, tideLines[i]);
        p.CurrentX = X2;
        p.CurrentY = Y2;
        p.setFontSize(20);
    }
    return cell.clockChange != 0;
}

}  // namespace

QStringList tideCellLines(const tides::DayTides& day, const ClockDesignators& designators,
                          int perLine) {
    QStringList lines;
    const std::size_t count = std::min(day.events.size(), day.minutes.size());
    for (std::size_t i = 0; i < count; ++i) {
        const tides::TideEvent& e = day.events[i];
        Text clock;
        formatClock(clock, day.minutes[i], designators);
        // A height that rounds to nothing is not "-0.00".
        double metres = std::round(e.heightMetres * 100) / 100;
        if (metres == 0) metres = 0;
        const QString text = QString::fromLatin1(e.high ? "H " : "L ") +
                             QString::fromUtf8(clock.c_str()) + QStringLiteral(" ") +
                             QString::number(metres, 'f', 2);
        if (perLine <= 1 || i % 2 == 0)
            lines << text;
        else
            lines.back() += QStringLiteral("  ") + text;
    }
    return lines;
}

QString clockChangeMark(int clockChange) {
    return clockChange > 0 ? QStringLiteral("Clocks go forward") : QStringLiteral("Clocks go back");
}

QString calendarLocationLine(const QString& latdeg, const QString& latmin, const QString& NorS,
                             const QString& londeg, const QString& lonmin, const QString& WorE,
                             const QString& zone, const QString& zoneName) {
    return QStringLiteral("Location: Lat: ") + latdeg + QStringLiteral(". ") + latmin +
           QStringLiteral("' ") + NorS + QStringLiteral("   Lon: ") + londeg +
           QStringLiteral(". ") + lonmin + QStringLiteral("' ") + WorE + QStringLiteral("  Gmt: ") +
           zone + QStringLiteral(" hrs  ") + zoneName;
}

QString monthZoneText(const SolunarState& s, int year, int month, const QString& fixedZone) {
    if (s.zoneRule == nullptr) return fixedZone;
    const auto first = Date::fromYmd(year, month, 1);
    if (!first) return fixedZone;
    QStringList offsets;
    double last = 0;
    for (int d = 0; d < daysInMonth(year, month); ++d) {
        const double hours = s.zoneRule->hoursOn(*first + d);
        if (!offsets.isEmpty() && hours == last) continue;
        Text t;
        numberText(t, hours);
        offsets << QString::fromUtf8(t.c_str());
        last = hours;
    }
    return offsets.join(QStringLiteral(" to "));
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

    // The rule under each week reaches the end of the Saturday cells whatever
    // the font's underscore width (at least the classic 189 underscores).
    p.setFontSize(20);
    const double gridRight = 7 * kCellColumns * p.columnWidth();
    p.setFontSize(8);
    const QString weekIndent = QStringLiteral("     ");
    const int ruleLength =
        std::max(189, static_cast<int>(std::ceil((gridRight - p.textWidth(weekIndent)) /
                                                 p.textWidth(QStringLiteral("_")))));
    const double ruleEnd = p.textWidth(weekIndent) + ruleLength * p.textWidth(QStringLiteral("_"));

    // The rule under the headings, in its larger size, ends with them (to the
    // nearest whole underscore).
    p.setFontSize(12);
    const QString headingIndent = QStringLiteral("  ");
    const int headingRuleLength =
        std::max(1, static_cast<int>(std::lround((ruleEnd - p.textWidth(headingIndent)) /
                                                 p.textWidth(QStringLiteral("_")))));
    p.print(headingIndent + QString(headingRuleLength, QLatin1Char('_')), true);

    // The tides of every day first: the rows make room for the most lines any
    // day of the month needs, so that every row has the same height.
    const bool tidesShown = in.tides && static_cast<bool>(in.tidesOf);
    std::vector<QStringList> monthTideLines(static_cast<std::size_t>(days));
    qsizetype tideLines = 0;
    if (tidesShown) {
        std::vector<tides::DayTides> monthTides;
        const Date first = *Date::fromYmd(in.year, in.month, 1);
        for (int d = 0; d < days; ++d)
            monthTides.push_back(in.tidesOf(s, first + d));
        p.setFontSize(20);
        const double room = kCellColumns * p.columnWidth() - kCellGap - 140;
        int perLine = 2;
        for (const tides::DayTides& day : monthTides) {
            for (const QString& line : tideCellLines(day, s.designators, 2)) {
                if (fittingSize(p, line, room) < kTideLegibleSize) perLine = 1;
            }
        }
        for (int d = 0; d < days; ++d) {
            QStringList& lines = monthTideLines[static_cast<std::size_t>(d)];
            lines = tideCellLines(monthTides[static_cast<std::size_t>(d)], s.designators, perLine);
            tideLines = std::max(tideLines, lines.size());
        }
    }
    // The tide lines close up under the last event line shown.
    const double tideOffset = in.options.moonrise     ? 940 + kLinePitch
                              : in.options.sunrise    ? 800 + kLinePitch
                              : in.options.majorMinor ? 660 + kLinePitch
                                                      : kFirstLineOffset;
    // The week's rule hangs its underscores below its baseline: the last tide
    // line must end above that baseline, so the rule comes down by whole 8 pt
    // lines as far as that needs.
    int extraRuleLines = 0;
    if (tideLines > 0) {
        p.setFontSize(7);
        const double tidesEnd =
            tideOffset + static_cast<double>(tideLines - 1) * kLinePitch + p.lineHeight();
        p.setFontSize(24);
        double ruleTop = p.lineHeight();
        p.setFontSize(8);
        ruleTop += 3 * p.lineHeight();
        const double shortBy = tidesEnd - (ruleTop + p.ascent());
        if (shortBy > 0) extraRuleLines = static_cast<int>(std::ceil(shortBy / p.lineHeight()));
    }
    auto tidesOfDay = [&](int d) -> const QStringList& {
        return monthTideLines[static_cast<std::size_t>(d - 1)];
    };

    p.setFontSize(20);
    const double originY = std::round(p.CurrentY);

    bool started = false;
    bool clocksChange = false;
    bool sixthRow = false;
    int sixthCount = 0;
    double sixthX = 0;
    double sixthY = 0;
    int day = 0;
    for (int row = 1; row <= 6; ++row) {
        for (int column = 1; column <= 7; ++column) {
            if (!started && column == firstWeekday) {
                day = 1;
                clocksChange |= drawCell(s, in, day, column, tidesOfDay(day), tideOffset, p);
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
                clocksChange |= drawCell(s, in, day, column, tidesOfDay(day), tideOffset, p);
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
            for (int i = 0; i < extraRuleLines; ++i)
                p.endLine();
            p.setFontSize(8);
            p.print(weekIndent + QString(ruleLength, QLatin1Char('_')), true);
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
    LegendLine legend[] = {
        {"  ", 10, "=   Poor", 0, {}, "Maj", "=   Major Fishing Time"},
        {"  *", 20, "=   Fair", 64, in.locationLine, "Min", "=   Minor Fishing Time"},
        {"  **", 20, "=   Good", 63,
         QStringLiteral("This document was created with Moonbite, available from ") +
             kProjectWebAddress,
         "S Rise/Set", "=   Sunrise & Sunset"},
        {"  ***", 20, "=   Excellent", 0, {}, "M Rise/Set", "=   Moonrise & Moonset"},
    };
    // The tide line, wrapped to end before the data legend, starts beside
    // "Excellent" under the location and the footer and goes on down beside
    // the keys below.
    QStringList tidePieces;
    if (tidesShown) {
        p.setFontSize(10);
        const double keyX = 133 * p.columnWidth();
        p.setFontSize(8);
        const double room = keyX - (kTideLineColumn + 1) * p.columnWidth();
        for (const QString& word : in.tideLine.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!tidePieces.isEmpty() &&
                p.textWidth(tidePieces.back() + QStringLiteral(" ") + word) <= room)
                tidePieces.back() += QStringLiteral(" ") + word;
            else
                tidePieces << word;
        }
        if (!tidePieces.isEmpty()) {
            legend[3].middleColumn = kTideLineColumn;
            legend[3].middle = tidePieces.takeFirst();
        }
    }
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
    // Then the keys only some pages need: the tides', and the clock-change
    // note's in a month that holds a change.
    std::vector<std::pair<QString, QString>> keys;
    if (tidesShown) keys.emplace_back(kTideLegendKey, kTideLegend);
    if (clocksChange) keys.emplace_back(QStringLiteral("Clocks"), kClockChangeLegend);
    for (std::size_t i = 0; i < std::max(keys.size(), static_cast<std::size_t>(tidePieces.size()));
         ++i) {
        if (i < static_cast<std::size_t>(tidePieces.size())) {
            p.setFontSize(8);
            p.tab(kTideLineColumn);
            p.print(tidePieces[static_cast<qsizetype>(i)]);
        }
        p.setFontSize(10);
        if (i < keys.size()) {
            p.tab(134);
            p.print(keys[i].first);
            p.tab(145);
            p.print(keys[i].second, true);
        } else {
            p.endLine();
        }
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
