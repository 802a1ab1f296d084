// The printed page as a log of drawn items, grouped into day cells, for
// tests that check what went where.
#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <ostream>
#include <vector>

#include "calendar_page.h"
#include "page_printer.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace moonbite::testing {

/// At 1440 dpi a twip is one device unit, so the log reads in page twips.
inline constexpr double kTwipDpi = 1440;
/// Positions are sums of a few font metrics; this is far below a visible step.
inline constexpr double kTol = 0.01;

inline bool near(double a, double b) {
    return std::fabs(a - b) < kTol;
}

inline SolunarState stateAt(double lat, double lon, const char* zone, const char* negatedZone) {
    SolunarState s;
    s.latitude = lat;
    s.longitude = lon;
    s.timeZoneEntered = zone;
    s.timeZoneForComputations = negatedZone;
    s.plottedDayCount = 0;
    return s;
}

/// 33°52'S 151°13'E, Greenwich + 10 h.
inline SolunarState sydney() {
    return stateAt(-(33 + 52 / 60.0), 151 + 13 / 60.0, "10", "-10");
}

inline constexpr MonthCellOptions kAllOptions{true, true, true, true, true};
/// What the print window ticks on a first run: the prediction and the periods.
inline constexpr MonthCellOptions kDefaultOptions{true, false, false, false, true};

inline CalendarPageInput pageInput(int year, int month, MonthCellOptions options) {
    CalendarPageInput in;
    in.year = year;
    in.month = month;
    in.options = options;
    in.locationLine = QStringLiteral("Location: test");
    return in;
}

inline std::vector<DrawnItem> drawPage(SolunarState& s, const CalendarPageInput& in) {
    std::vector<DrawnItem> log;
    PagePrinter p(nullptr, kTwipDpi, kCalendarFont);
    p.setLog(&log);
    drawCalendarPage(s, in, p);
    return log;
}

/// Width of text in the page's font at a size, twips.
inline double widthAt(double points, const QString& text) {
    PagePrinter p(nullptr, kTwipDpi, kCalendarFont);
    p.setFontSize(points);
    return p.textWidth(text);
}

/// One day cell as found on the page.
struct Cell {
    DrawnItem number;  ///< " 5"
    double left = 0;   ///< the cell's left: the number's, or the extra blank's before it
    std::optional<DrawnItem> stars;
    // The event lines (7 pt, or smaller when 7 pt would not fit) by their
    // offset below the number's top: text, and the item as drawn.
    std::map<int, QString> lines;
    std::map<int, DrawnItem> lineItems;
    std::optional<DrawnItem> disc;
    QString discCaption;
    QString discTime;
    std::vector<DrawnItem> discTexts;  ///< the caption and the time as drawn

    [[nodiscard]] QString line(int offset) const {
        const auto it = lines.find(offset);
        return it == lines.end() ? QString() : it->second;
    }
    /// The tide lines ("H 05:12 AM 1.83  L ..."), top to bottom.
    [[nodiscard]] QStringList tideLines() const;
};

inline constexpr int kMajorOffset = 520;
inline constexpr int kMinorOffset = 660;
inline constexpr int kSunOffset = 800;
inline constexpr int kMoonOffset = 940;
/// Every offset a line may have: the four event lines, then the tide lines
/// (two highs or lows to a line, one with long designators) from below the
/// last event line shown.
inline constexpr int kLineOffsets[] = {520, 660, 800, 940, 1080, 1220, 1360, 1500, 1640};

inline QStringList Cell::tideLines() const {
    static const QRegularExpression kTide(QStringLiteral("^[HL] [0-9]{2}:[0-9]{2} "));
    QStringList out;
    for (const auto& [offset, text] : lines) {
        if (kTide.match(text).hasMatch()) out << text;
    }
    return out;
}

struct PageCells {
    std::map<int, Cell> days;
    /// Cell items (7 pt, 22 pt, discs) that belong to no day cell.
    std::vector<DrawnItem> stray;
};

/// The event lines and the phase captions are 7 pt, or smaller where that
/// would leave the cell.
inline bool isSmallPrint(const DrawnItem& item) {
    return item.kind == DrawnItem::Text && item.size > 0 && item.size <= 7;
}

inline bool isDayNumber(const DrawnItem& item) {
    static const QRegularExpression kNumber(QStringLiteral("^ ([1-9]|[12][0-9]|3[01])$"));
    return item.kind == DrawnItem::Text && item.size == 20 && kNumber.match(item.text).hasMatch();
}

/// The top a small-print item would have at 7 pt: a line drawn smaller keeps
/// its 7 pt baseline.
inline double sevenPointTop(const DrawnItem& item) {
    PagePrinter p(nullptr, kTwipDpi, kCalendarFont);
    p.setFontSize(item.size);
    const double baseline = item.y + p.ascent();
    p.setFontSize(7);
    return baseline - p.ascent();
}

/// Groups the log's cell items under the day number they were placed from:
/// event lines 140 twips right of the cell's left at fixed offsets below the
/// number's top, stars on its line after it, a disc 200 twips below its top
/// with the caption and time to the disc's right.
inline PageCells cellsOf(const std::vector<DrawnItem>& log) {
    PageCells page;
    const double blank = widthAt(20, QStringLiteral(" "));
    for (std::size_t i = 0; i < log.size(); ++i) {
        const DrawnItem& item = log[i];
        if (!isDayNumber(item)) continue;
        const int day = item.text.mid(1).toInt();
        EXPECT_EQ(page.days.count(day), 0U) << "day " << day << " printed twice";
        Cell& cell = page.days[day];
        cell.number = item;
        cell.left = item.x;
        if (i > 0) {
            const DrawnItem& before = log[i - 1];
            if (before.kind == DrawnItem::Text && before.text == QLatin1String(" ") &&
                before.size == 20 && near(before.y, item.y) && near(before.x + blank, item.x))
                cell.left = before.x;
        }
    }
    // The day printed last left of x on the line whose top is y.
    auto ownerLeftOf = [&](double x, double y) -> Cell* {
        Cell* best = nullptr;
        for (auto& [day, cell] : page.days) {
            if (near(cell.number.y, y) && cell.number.x < x &&
                (best == nullptr || cell.number.x > best->number.x))
                best = &cell;
        }
        return best;
    };
    std::vector<const DrawnItem*> discTexts;
    for (const DrawnItem& item : log) {
        if (item.kind == DrawnItem::Circle) {
            Cell* owner = ownerLeftOf(item.x, item.y - 200);
            if (owner != nullptr && !owner->disc)
                owner->disc = item;
            else
                page.stray.push_back(item);
        } else if (item.size == 22) {
            Cell* owner = ownerLeftOf(item.x, item.y);
            if (owner != nullptr && !owner->stars)
                owner->stars = item;
            else
                page.stray.push_back(item);
        } else if (isSmallPrint(item)) {
            bool placed = false;
            for (auto& [day, cell] : page.days) {
                if (!near(item.x - 140, cell.left)) continue;
                for (int offset : kLineOffsets) {
                    if (near(sevenPointTop(item) - offset, cell.number.y) &&
                        cell.lines.count(offset) == 0) {
                        cell.lines[offset] = item.text;
                        cell.lineItems[offset] = item;
                        placed = true;
                    }
                }
            }
            if (!placed) discTexts.push_back(&item);
        }
    }
    for (const DrawnItem* item : discTexts) {
        bool placed = false;
        for (auto& [day, cell] : page.days) {
            if (!cell.disc || !near(item->x - 200, cell.disc->x)) continue;
            if (near(sevenPointTop(*item), cell.disc->y - 120) && cell.discCaption.isEmpty()) {
                cell.discCaption = item->text;
                cell.discTexts.push_back(*item);
                placed = true;
            } else if (near(sevenPointTop(*item), cell.disc->y + 30) && cell.discTime.isEmpty()) {
                cell.discTime = item->text;
                cell.discTexts.push_back(*item);
                placed = true;
            }
        }
        if (!placed) page.stray.push_back(*item);
    }
    return page;
}

/// The text item with exactly this text, or nothing.
inline std::optional<DrawnItem> findText(const std::vector<DrawnItem>& log, const QString& text) {
    for (const DrawnItem& item : log) {
        if (item.kind == DrawnItem::Text && item.text == text) return item;
    }
    return std::nullopt;
}

/// Where a text goes on the page, twips: its advance from x, and either the
/// whole line height of its font or just the ink of its glyphs.
inline QRectF lineBox(const DrawnItem& item) {
    PagePrinter p(nullptr, kTwipDpi, kCalendarFont);
    p.setFontSize(item.size);
    return {item.x, item.y, p.textWidth(item.text), p.lineHeight()};
}

inline QRectF inkBox(const DrawnItem& item) {
    QFont font(kCalendarFont);
    // As the printer sets it: pixels at 1440 dpi are twips.
    font.setPixelSize(static_cast<int>(std::lround(item.size * kTwipDpi / 72.0)));
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(item.text);
    const QRectF line = lineBox(item);
    return {line.left(), item.y + metrics.ascent() + ink.top(), line.width(), ink.height()};
}

/// Everything printed on the line whose top is y, blanks included, left to right.
inline QString lineText(const std::vector<DrawnItem>& log, double y) {
    std::vector<const DrawnItem*> items;
    for (const DrawnItem& item : log) {
        if (item.kind == DrawnItem::Text && near(item.y, y)) items.push_back(&item);
    }
    std::sort(items.begin(), items.end(),
              [](const DrawnItem* a, const DrawnItem* b) { return a->x < b->x; });
    QString text;
    for (const DrawnItem* item : items)
        text += item->text;
    return text;
}

/// The page's column headings, Sunday first, as printed.
inline const QStringList kHeadings = {
    QStringLiteral("  Sun"), QStringLiteral(" Mon"), QStringLiteral(" Tue"), QStringLiteral(" Wed"),
    QStringLiteral(" Thu"),  QStringLiteral(" Fri"), QStringLiteral(" Sat")};

/// Grid column of a date, Sunday = 1 .. Saturday = 7 (from Qt's calendar,
/// not the program's).
inline int columnOf(int year, int month, int day) {
    return QDate(year, month, day).dayOfWeek() % 7 + 1;
}

/// x of each column heading, index 1..7.
inline std::vector<double> headingXs(const std::vector<DrawnItem>& log) {
    std::vector<double> xs(8, -1);
    for (int c = 1; c <= 7; ++c) {
        const auto item = findText(log, kHeadings[c - 1]);
        EXPECT_TRUE(item.has_value()) << kHeadings[c - 1].toStdString();
        if (item) xs[static_cast<std::size_t>(c)] = item->x;
    }
    return xs;
}

/// Nothing printed from the title down to the last week's rule runs into
/// anything else.
inline void expectNoInkOverlapsAboveTheLegend(const std::vector<DrawnItem>& log) {
    const auto legend = findText(log, QStringLiteral("     Fishing Prediction Legend:"));
    ASSERT_TRUE(legend.has_value());
    std::vector<DrawnItem> inked;
    for (const DrawnItem& item : log) {
        if (item.kind == DrawnItem::Text && !item.text.trimmed().isEmpty() && item.y < legend->y)
            inked.push_back(item);
    }
    for (std::size_t i = 0; i < inked.size(); ++i) {
        const QRectF a = inkBox(inked[i]);
        for (std::size_t j = i + 1; j < inked.size(); ++j) {
            EXPECT_FALSE(a.intersects(inkBox(inked[j])))
                << inked[i].text.toStdString() << " / " << inked[j].text.toStdString();
        }
    }
}

}  // namespace moonbite::testing
