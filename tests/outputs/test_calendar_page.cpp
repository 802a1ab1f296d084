// The printed month page as drawn: where each day goes in the week grid, what
// a cell shows for each option, the phase discs, and the page's fixed texts.
#include <gtest/gtest.h>

#include <QDate>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTimeZone>
#include <numbers>
#include <set>
#include <sstream>
#include <string>

#include "cli_app.h"
#include "cli_module.h"
#include "current_place.h"
#include "page_log.h"

namespace moonbite {
namespace {

using testing::Cell;
using testing::cellsOf;
using testing::drawPage;
using testing::expectNoInkOverlapsAboveTheLegend;
using testing::findText;
using testing::columnOf;
using testing::headingXs;
using testing::kHeadings;
using testing::inkBox;
using testing::isSmallPrint;
using testing::kAllOptions;
using testing::kDefaultOptions;
using testing::kMajorOffset;
using testing::kMinorOffset;
using testing::kMoonOffset;
using testing::kSunOffset;
using testing::lineBox;
using testing::lineText;
using testing::near;
using testing::PageCells;
using testing::pageInput;
using testing::stateAt;
using testing::sydney;
using testing::widthAt;

const std::set<QString> kStarTexts = {QStringLiteral("  "), QStringLiteral(" *"),
                                      QStringLiteral(" **"), QStringLiteral(" ***")};

// ---------------------------------------------------------------------------
// The week grid

struct GridCase {
    int year;
    int month;
    int weeks;  ///< calendar weeks the month touches
};

void PrintTo(const GridCase& c, std::ostream* os) {
    *os << c.year << "-" << c.month;
}

class CalendarGrid : public ::testing::TestWithParam<GridCase> {};

TEST_P(CalendarGrid, EveryDayInItsWeekdayColumnAndWeekRow) {
    const GridCase g = GetParam();
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(g.year, g.month, kAllOptions));
    const PageCells page = cellsOf(log);
    const int days = QDate(g.year, g.month, 1).daysInMonth();
    ASSERT_EQ(static_cast<int>(page.days.size()), days);
    EXPECT_TRUE(page.stray.empty()) << page.stray.front().text.toStdString();

    const auto headings = headingXs(log);
    const double blank = widthAt(20, QStringLiteral(" "));
    const int first = columnOf(g.year, g.month, 1);
    // The top of each printed row, from the first day printed there.
    std::map<int, double> rowTop;
    for (int d = 1; d <= days; ++d) {
        const int week = (first - 1 + d - 1) / 7;
        ASSERT_LT(week, g.weeks) << d;
        // A sixth week has no row of its own: it uses the first week's leading cells.
        const int row = week == 5 ? 0 : week;
        const DrawnItem& number = page.days.at(d).number;
        const int c = columnOf(g.year, g.month, d);
        const double column = headings[static_cast<std::size_t>(c)];
        EXPECT_NEAR(number.x, column + (c == 1 ? blank : 0), 0.01) << "day " << d;
        // Every cell's lines hang from its column's left, the Sunday's too.
        EXPECT_NEAR(page.days.at(d).left, column, 0.01) << "day " << d;
        EXPECT_EQ(page.days.at(d).lines.size(), 4U) << "day " << d;
        if (rowTop.count(row) == 0) rowTop[row] = number.y;
        // The sixth week's row start is kept to a whole twip; that is all it may differ by.
        EXPECT_NEAR(number.y, rowTop[row], 0.5) << "day " << d;
    }
    EXPECT_EQ(static_cast<int>(rowTop.size()), std::min(g.weeks, 5));
    for (std::size_t r = 1; r < rowTop.size(); ++r) {
        EXPECT_GT(rowTop[static_cast<int>(r)], rowTop[static_cast<int>(r) - 1] + 1000)
            << "row " << r;
    }
    // Every row starts below the headings.
    EXPECT_GT(rowTop[0], findText(log, kHeadings[0])->y);
}

INSTANTIATE_TEST_SUITE_P(Months, CalendarGrid,
                         ::testing::Values(GridCase{1999, 1, 6},  // Friday, 31 days
                                           GridCase{2015, 2, 4},  // Sunday, 28 days
                                           GridCase{2000, 1, 6},  // Saturday, 31 days
                                           GridCase{2000, 2, 5},  // Tuesday, 29 days
                                           GridCase{2026, 8, 6},  // Saturday, 31 days
                                           GridCase{2026, 12, 5},
                                           GridCase{2027, 2, 5}));  // Monday, 28 days

TEST(CalendarGridCases, SixthWeekPrintsInTheFirstRowsSundayCell) {
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(1999, 1, kDefaultOptions));
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 31U);
    const DrawnItem& first = page.days.at(1).number;
    const DrawnItem& last = page.days.at(31).number;
    const DrawnItem& sunday3 = page.days.at(3).number;
    // On the first week's line, not on a sixth line below the fifth week.
    EXPECT_NEAR(last.y, first.y, 0.5);
    EXPECT_LT(last.y, page.days.at(24).number.y);
    // In the Sunday column, where the 3rd, 10th, 17th and 24th are.
    EXPECT_NEAR(last.x, sunday3.x, 0.01);
    EXPECT_LT(last.x, findText(log, kHeadings[1])->x);
    EXPECT_NEAR(last.x, findText(log, kHeadings[0])->x + widthAt(20, QStringLiteral(" ")), 0.01);
    // Its cell texts go with it.
    ASSERT_TRUE(page.days.at(31).stars.has_value());
    EXPECT_NEAR(page.days.at(31).stars->y, first.y, 0.5);
    EXPECT_FALSE(page.days.at(31).line(kMajorOffset).isEmpty());
}

TEST(CalendarGridCases, MonthStartingOnSundayWithTwentyEightDaysFillsFourRows) {
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(2015, 2, kAllOptions));
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 28U);
    std::set<double> tops;
    for (const auto& [day, cell] : page.days)
        tops.insert(cell.number.y);
    ASSERT_EQ(tops.size(), 4U);
    EXPECT_EQ(page.days.at(28).number.y, *tops.rbegin());
    EXPECT_EQ(page.days.at(1).number.y, *tops.begin());
    // No cell text below the fourth row: every 7 pt and 22 pt text and every
    // disc belongs to a day, and ends within its row.
    EXPECT_TRUE(page.stray.empty());
    const double rowPitch = *std::next(tops.begin()) - *tops.begin();
    for (const DrawnItem& item : log) {
        if (testing::isSmallPrint(item) || item.size == 22 || item.kind == DrawnItem::Circle) {
            EXPECT_LT(item.y, *tops.rbegin() + rowPitch) << item.text.toStdString();
        }
    }
}

// The digits of each day stand under the first letter of its column's
// heading: the Sunday heading has two leading blanks and the Sunday cell one
// blank before the number's own, every other column one and none.
TEST(CalendarGridCases, FirstColumnsExtraBlankLinesNumbersUpWithTheirHeadings) {
    SolunarState s = sydney();
    const CalendarPageInput in = pageInput(2000, 1, kDefaultOptions);
    const auto log = drawPage(s, in);
    const PageCells page = cellsOf(log);
    const auto headings = headingXs(log);
    const double blank = widthAt(20, QStringLiteral(" "));
    int sundays = 0;
    for (const auto& [day, cell] : page.days) {
        const int c = columnOf(2000, 1, day);
        const QString& heading = kHeadings[c - 1];
        const int headingBlanks = c == 1 ? 2 : 1;
        const double headingLetter =
            headings[static_cast<std::size_t>(c)] + widthAt(20, heading.left(headingBlanks));
        EXPECT_NEAR(cell.number.x + blank, headingLetter, 0.01) << "day " << day;
        // The number itself always has exactly one leading blank.
        EXPECT_EQ(cell.number.text, QStringLiteral(" ") + QString::number(day));
        if (c != 1) continue;
        ++sundays;
        // The extra blank is printed at the cell's left, just before the number.
        const auto at = std::find_if(log.begin(), log.end(), [&](const DrawnItem& item) {
            return item.text == cell.number.text && item.y == cell.number.y;
        });
        ASSERT_NE(at, log.begin());
        const DrawnItem& before = *std::prev(at);
        EXPECT_EQ(before.text, QStringLiteral(" ")) << "day " << day;
        EXPECT_NEAR(before.x, headings[1], 0.01) << "day " << day;
        EXPECT_EQ(before.size, 20);
    }
    EXPECT_EQ(sundays, 5);  // the 2nd, 9th, 16th, 23rd and 30th
}

// ---------------------------------------------------------------------------
// What a cell shows for each option

struct OptionCase {
    const char* name;
    MonthCellOptions options;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << c.name;
}

class CalendarOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(CalendarOptions, CellsShowExactlyTheChosenData) {
    const MonthCellOptions o = GetParam().options;
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(2000, 1, o));
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 31U);
    EXPECT_TRUE(page.stray.empty());
    const QRegularExpression major(QStringLiteral("^Maj: .* Maj: "));
    const QRegularExpression minor(QStringLiteral("^Min: .* Min: "));
    const QRegularExpression sun(QStringLiteral("^S  Rise: .*  Set: "));
    const QRegularExpression moon(QStringLiteral("^M  Rise: .*  Set: "));
    for (const auto& [day, cell] : page.days) {
        SCOPED_TRACE("day " + std::to_string(day));
        EXPECT_EQ(cell.stars.has_value(), o.prediction);
        if (cell.stars) {
            EXPECT_EQ(kStarTexts.count(cell.stars->text), 1U) << cell.stars->text.toStdString();
            // Right after the number, on its line.
            EXPECT_NEAR(cell.stars->x, cell.number.x + widthAt(20, cell.number.text), 0.01);
            EXPECT_EQ(cell.stars->y, cell.number.y);
        }
        EXPECT_EQ(major.match(cell.line(kMajorOffset)).hasMatch(), o.majorMinor);
        EXPECT_EQ(minor.match(cell.line(kMinorOffset)).hasMatch(), o.majorMinor);
        EXPECT_EQ(sun.match(cell.line(kSunOffset)).hasMatch(), o.sunrise);
        EXPECT_EQ(moon.match(cell.line(kMoonOffset)).hasMatch(), o.moonrise);
        EXPECT_EQ(static_cast<int>(cell.lines.size()), 2 * static_cast<int>(o.majorMinor) +
                                                           static_cast<int>(o.sunrise) +
                                                           static_cast<int>(o.moonrise));
    }
    // January 2000 at Sydney has one new and one full moon.
    const auto discs = std::count_if(log.begin(), log.end(), [](const DrawnItem& item) {
        return item.kind == DrawnItem::Circle;
    });
    EXPECT_EQ(discs, o.newFull ? 2 : 0);
    for (const char* caption : {"New Moon", "Full Moon"})
        EXPECT_EQ(findText(log, QString::fromLatin1(caption)).has_value(), o.newFull) << caption;
}

INSTANTIATE_TEST_SUITE_P(
    Choices, CalendarOptions,
    ::testing::Values(OptionCase{"defaults", kDefaultOptions}, OptionCase{"all", kAllOptions},
                      OptionCase{"none", {false, false, false, false, false}},
                      OptionCase{"prediction", {true, false, false, false, false}},
                      OptionCase{"newFull", {false, true, false, false, false}},
                      OptionCase{"sunrise", {false, false, true, false, false}},
                      OptionCase{"moonrise", {false, false, false, true, false}},
                      OptionCase{"majorMinor", {false, false, false, false, true}}),
    [](const auto& info) { return std::string(info.param.name); });

// A day predicted poor still prints its two blanks after the number, so that
// the cell reads the same whatever its score.
TEST(CalendarCells, PoorDayPrintsTwoBlanksAfterTheNumber) {
    // The poor days, from the core on a state of their own.
    std::set<int> poor;
    SolunarState core = sydney();
    for (int d = 1; d <= 31; ++d) {
        MonthCell cell;
        calcdata(core, 2000, 1, d, kDefaultOptions, cell);
        if (core.predictionScore == 0) poor.insert(d);
    }
    ASSERT_EQ(poor.count(26), 1U);  // five days after the full moon

    SolunarState s = sydney();
    const PageCells page = cellsOf(drawPage(s, pageInput(2000, 1, kDefaultOptions)));
    for (const auto& [day, cell] : page.days) {
        ASSERT_TRUE(cell.stars.has_value()) << day;
        if (poor.count(day) != 0) {
            EXPECT_EQ(cell.stars->text, QStringLiteral("  ")) << day;
            EXPECT_EQ(cell.stars->size, 22) << day;
            EXPECT_NEAR(cell.stars->x, cell.number.x + widthAt(20, cell.number.text), 0.01);
        } else {
            EXPECT_TRUE(cell.stars->text.startsWith(QStringLiteral(" *"))) << day;
        }
    }
}

// ---------------------------------------------------------------------------
// New and full moons

TEST(CalendarPhases, NewMoonBlackDiscAndFullMoonWhiteDiscWithCaptionAndTime) {
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(2000, 1, kAllOptions));
    const PageCells page = cellsOf(log);
    for (const auto& [day, cell] : page.days) {
        if (day == 7 || day == 21) continue;
        EXPECT_FALSE(cell.disc.has_value()) << "day " << day;
    }
    const Cell& newMoon = page.days.at(7);
    ASSERT_TRUE(newMoon.disc.has_value());
    EXPECT_EQ(newMoon.disc->size, 150);
    EXPECT_TRUE(newMoon.disc->filled);
    EXPECT_EQ(newMoon.disc->fill, QColor(Qt::black));
    EXPECT_EQ(newMoon.discCaption, QStringLiteral("New Moon"));
    EXPECT_EQ(newMoon.discTime, QStringLiteral("04:12 AM"));
    EXPECT_NEAR(newMoon.disc->y, newMoon.number.y + 200, 0.01);

    const Cell& fullMoon = page.days.at(21);
    ASSERT_TRUE(fullMoon.disc.has_value());
    EXPECT_EQ(fullMoon.disc->size, 150);
    EXPECT_TRUE(fullMoon.disc->filled);
    EXPECT_EQ(fullMoon.disc->fill, QColor(Qt::white));
    EXPECT_EQ(fullMoon.discCaption, QStringLiteral("Full Moon"));
    EXPECT_EQ(fullMoon.discTime, QStringLiteral("02:40 PM"));

    // Captions and times are 7 pt where that fits; the full moon's cell, with
    // the 21st's three stars, leaves less room, so they come out smaller.
    EXPECT_EQ(findText(log, QStringLiteral("New Moon"))->size, 7);
    EXPECT_EQ(findText(log, QStringLiteral("04:12 AM"))->size, 7);
    for (const DrawnItem& item : fullMoon.discTexts) {
        EXPECT_LE(item.size, 7) << item.text.toStdString();
        EXPECT_GE(item.size, 5) << item.text.toStdString();
    }
    // Clear of the stars before it.
    for (const Cell* c : {&newMoon, &fullMoon}) {
        ASSERT_TRUE(c->stars.has_value());
        EXPECT_LT(c->stars->x + widthAt(22, c->stars->text), c->disc->x - c->disc->size);
    }
}

/// Darkness of the pixels around (x, y): 0 white .. 255 black.
int darkness(const QImage& image, int x, int y) {
    return 255 - qGray(image.pixel(x, y));
}

// Drawn for real: the new moon is a black disc, the full moon a white one with
// a black outline, so it shows on white paper.
TEST(CalendarPhases, DiscsAsPaintedOnAnImage) {
    constexpr double dpi = 144;  // a twip is a tenth of a pixel
    SolunarState measureState = sydney();
    PagePrinter measure(nullptr, dpi, kCalendarFont);
    drawCalendarPage(measureState, pageInput(2000, 1, kAllOptions), measure);
    QImage image(static_cast<int>(measure.extent().right() / 10) + 20,
                 static_cast<int>(measure.extent().bottom() / 10) + 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    std::vector<DrawnItem> log;
    {
        QPainter painter(&image);
        PagePrinter p(&painter, dpi, kCalendarFont);
        p.setLog(&log);
        SolunarState s = sydney();
        drawCalendarPage(s, pageInput(2000, 1, kAllOptions), p);
    }
    std::vector<DrawnItem> discs;
    std::copy_if(log.begin(), log.end(), std::back_inserter(discs),
                 [](const DrawnItem& item) { return item.kind == DrawnItem::Circle; });
    ASSERT_EQ(discs.size(), 2U);
    for (const DrawnItem& disc : discs) {
        const bool full = disc.fill == QColor(Qt::white);
        const int cx = static_cast<int>(std::lround(disc.x / 10));
        const int cy = static_cast<int>(std::lround(disc.y / 10));
        const double r = disc.size / 10;
        if (full) {
            EXPECT_LT(darkness(image, cx, cy), 16) << "full moon centre";
        } else {
            EXPECT_GT(darkness(image, cx, cy), 239) << "new moon centre";
        }
        // The outline all round: a dark pixel within a pixel or two of the radius.
        for (int a = 0; a < 360; a += 15) {
            int darkest = 0;
            for (double dr = -2; dr <= 2; dr += 0.5) {
                const double rad = a * std::numbers::pi / 180;
                const int x = static_cast<int>(std::lround(cx + (r + dr) * std::cos(rad)));
                const int y = static_cast<int>(std::lround(cy + (r + dr) * std::sin(rad)));
                darkest = std::max(darkest, darkness(image, x, y));
            }
            EXPECT_GT(darkest, 128) << (full ? "full" : "new") << " moon outline at " << a;
        }
        // Nothing drawn just left of the disc.
        EXPECT_LT(darkness(image, static_cast<int>(cx - r - 5), cy), 16);
    }
}

// January dates are looked up in the phase table built for the year before
// (early January may lie before the year's first new moon); every cell must
// still get its stars and each phase its disc.
TEST(CalendarPhases, JanuaryAtGreenwichHasEveryCellsStarsAndTheFullMoonOnTheNinth) {
    SolunarState s = stateAt(0, 0, "0", "0");
    const auto log = drawPage(s, pageInput(2001, 1, kAllOptions));
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 31U);
    EXPECT_TRUE(page.stray.empty());
    for (const auto& [day, cell] : page.days) {
        ASSERT_TRUE(cell.stars.has_value()) << "day " << day;
        EXPECT_EQ(kStarTexts.count(cell.stars->text), 1U) << "day " << day;
    }
    // The full moon of 9 January 2001 (the total lunar eclipse, 20:24 UT).
    const Cell& ninth = page.days.at(9);
    ASSERT_TRUE(ninth.disc.has_value());
    EXPECT_EQ(ninth.disc->fill, QColor(Qt::white));
    EXPECT_EQ(ninth.discCaption, QStringLiteral("Full Moon"));
    EXPECT_TRUE(ninth.discTime.endsWith(QStringLiteral(" PM")));
    // The new moon of 24 January 2001, 13:07 UT.
    const Cell& newMoon = page.days.at(24);
    ASSERT_TRUE(newMoon.disc.has_value());
    EXPECT_EQ(newMoon.disc->fill, QColor(Qt::black));
    EXPECT_EQ(newMoon.discCaption, QStringLiteral("New Moon"));
    int discs = 0;
    for (const auto& [day, cell] : page.days)
        discs += cell.disc ? 1 : 0;
    EXPECT_EQ(discs, 2);
}

// ---------------------------------------------------------------------------
// The page's fixed texts

struct MonthLineCase {
    int month;
    const char* line;
};

void PrintTo(const MonthLineCase& c, std::ostream* os) {
    *os << c.line;
}

class CalendarMonthLine : public ::testing::TestWithParam<MonthLineCase> {};

// Two blanks, then the month's name as the program names it (December with
// its leading blank), a blank and the year.
TEST_P(CalendarMonthLine, TwoBlanksThenNameAndYear) {
    const MonthLineCase c = GetParam();
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(2026, c.month, {true, false, false, false, false}));
    const auto title = findText(log, QStringLiteral("Moonbite Solunar Fishing Calendar"));
    ASSERT_TRUE(title.has_value());
    const auto heading = findText(log, kHeadings[0]);
    ASSERT_TRUE(heading.has_value());
    // The month line is the one 20 pt line between the title and the headings.
    std::set<double> between;
    for (const DrawnItem& item : log) {
        if (item.kind == DrawnItem::Text && item.y > title->y + 1 && item.y < heading->y - 1)
            between.insert(item.y);
    }
    ASSERT_EQ(between.size(), 1U);
    EXPECT_EQ(lineText(log, *between.begin()), QString::fromLatin1(c.line));
}

INSTANTIATE_TEST_SUITE_P(
    Year2026, CalendarMonthLine,
    ::testing::Values(MonthLineCase{1, "  January 2026"}, MonthLineCase{2, "  February 2026"},
                      MonthLineCase{3, "  March 2026"}, MonthLineCase{4, "  April 2026"},
                      MonthLineCase{5, "  May 2026"}, MonthLineCase{6, "  June 2026"},
                      MonthLineCase{7, "  July 2026"}, MonthLineCase{8, "  August 2026"},
                      MonthLineCase{9, "  September 2026"}, MonthLineCase{10, "  October 2026"},
                      MonthLineCase{11, "  November 2026"}, MonthLineCase{12, "   December 2026"}));

TEST(CalendarTexts, TitleHeadingsLegendLocationAndFooter) {
    SolunarState s = sydney();
    CalendarPageInput in = pageInput(2000, 1, kAllOptions);
    in.locationLine = calendarLocationLine(
        QStringLiteral("33"), QStringLiteral("52"), QStringLiteral("S"), QStringLiteral("151"),
        QStringLiteral("13"), QStringLiteral("E"), QStringLiteral("10"), QStringLiteral("AEST"));
    EXPECT_EQ(in.locationLine,
              QStringLiteral("Location: Lat: 33. 52' S   Lon: 151. 13' E  Gmt: 10 hrs  AEST"));
    const auto log = drawPage(s, in);

    const auto title = findText(log, QStringLiteral("Moonbite Solunar Fishing Calendar"));
    ASSERT_TRUE(title.has_value());
    EXPECT_EQ(title->size, 20);
    EXPECT_EQ(lineText(log, title->y), title->text);  // alone on its line
    EXPECT_GT(title->x, 0);                           // set in from the left

    const auto heading = findText(log, kHeadings[0]);
    ASSERT_TRUE(heading.has_value());
    EXPECT_EQ(lineText(log, heading->y), QStringLiteral("  Sun Mon Tue Wed Thu Fri Sat"));

    const auto location = findText(log, in.locationLine);
    ASSERT_TRUE(location.has_value());
    EXPECT_EQ(location->size, 8);
    const auto footer = findText(log, QStringLiteral("This document was created with Moonbite, "
                                                     "available from https://moonbite.app"));
    ASSERT_TRUE(footer.has_value());
    EXPECT_EQ(footer->size, 8);
    EXPECT_GT(footer->y, location->y);

    for (const char* legend :
         {"     Fishing Prediction Legend:", "Data Legend:", "=   Poor", "=   Fair", "=   Good",
          "=   Excellent", "=   Major Fishing Time", "=   Minor Fishing Time",
          "=   Sunrise & Sunset", "=   Moonrise & Moonset"}) {
        const auto item = findText(log, QString::fromLatin1(legend));
        ASSERT_TRUE(item.has_value()) << legend;
        // Below every day cell.
        EXPECT_GT(item->y, cellsOf(log).days.at(29).number.y + 1000) << legend;
    }
}

// ---------------------------------------------------------------------------
// Layout: nothing runs into its neighbour

class CalendarLayout : public ::testing::TestWithParam<GridCase> {};

TEST_P(CalendarLayout, CellTextsStayInTheirCells) {
    const GridCase g = GetParam();
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(g.year, g.month, kAllOptions));
    const PageCells page = cellsOf(log);
    const auto headings = headingXs(log);
    const double blank = widthAt(20, QStringLiteral(" "));
    for (const auto& [day, cell] : page.days) {
        SCOPED_TRACE("day " + std::to_string(day));
        const int c = columnOf(g.year, g.month, day);
        if (c == 7) continue;  // the page's right edge: the page scales to fit
        const double next = headings[static_cast<std::size_t>(c) + 1];
        // The next cell's number starts with a blank; its digits must stay clear.
        const double nextDigits = next + blank;
        for (const auto& [offset, item] : cell.lineItems) {
            EXPECT_LT(cell.left + 140 + widthAt(item.size, item.text), next)
                << item.text.toStdString();
        }
        if (cell.stars) {
            EXPECT_LT(cell.stars->x + widthAt(22, cell.stars->text), nextDigits);
        }
        for (const DrawnItem& item : cell.discTexts)
            EXPECT_LT(item.x + widthAt(item.size, item.text), next) << item.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Months, CalendarLayout,
                         ::testing::Values(GridCase{2000, 1, 6}, GridCase{2001, 1, 5},
                                           GridCase{2026, 12, 5}, GridCase{2027, 1, 6}));

// Far north the Sun and the Moon stay up or down for days, and a cell's lines
// grow to "M  Rise: Stays Down  Set: Stays Down", wider than the cell at 7 pt.
// Every text must still stay inside its own cell (a long line drawn smaller,
// every word kept), and no text may run into another anywhere on the page.
struct PlaceCase {
    const char* name;
    double latitude;
    double longitude;
    const char* zone;
    const char* negatedZone;
    int year;
};

void PrintTo(const std::tuple<PlaceCase, int>& c, std::ostream* os) {
    *os << std::get<0>(c).name << " month " << std::get<1>(c);
}

class CalendarFarNorth : public ::testing::TestWithParam<std::tuple<PlaceCase, int>> {};

TEST_P(CalendarFarNorth, EveryTextInsideItsCellAndNoTwoOverlap) {
    const auto& [place, month] = GetParam();
    SolunarState s = stateAt(place.latitude, place.longitude, place.zone, place.negatedZone);
    const auto log = drawPage(s, pageInput(place.year, month, kAllOptions));
    const PageCells page = cellsOf(log);
    const int days = QDate(place.year, month, 1).daysInMonth();
    ASSERT_EQ(static_cast<int>(page.days.size()), days);
    ASSERT_TRUE(page.stray.empty()) << page.stray.front().text.toStdString();

    // The week grid: seven columns from the headings, rows from the day numbers.
    const auto headings = headingXs(log);
    const double columnWidth = headings[2] - headings[1];
    std::map<int, double> rowTop;
    const int first = columnOf(place.year, month, 1);
    auto rowOf = [&](int day) {
        const int week = (first - 1 + day - 1) / 7;
        return week == 5 ? 0 : week;  // the sixth week shares the first row
    };
    for (int d = 1; d <= days; ++d)
        rowTop.emplace(rowOf(d), page.days.at(d).number.y);
    ASSERT_GE(rowTop.size(), 4U);
    const double rowPitch = rowTop[1] - rowTop[0];

    for (const auto& [day, cell] : page.days) {
        SCOPED_TRACE("day " + std::to_string(day));
        const int c = columnOf(place.year, month, day);
        const double top = rowTop[rowOf(day)];
        const QRectF box(headings[1] + (c - 1) * columnWidth, top, columnWidth, rowPitch);
        std::vector<DrawnItem> texts = {cell.number};
        if (cell.stars) texts.push_back(*cell.stars);
        for (const auto& [offset, item] : cell.lineItems)
            texts.push_back(item);
        texts.insert(texts.end(), cell.discTexts.begin(), cell.discTexts.end());
        for (const DrawnItem& item : texts) {
            const QRectF at = lineBox(item);
            EXPECT_TRUE(box.contains(at))
                << item.text.toStdString() << " at " << item.size << " pt: " << at.left() << ".."
                << at.right() << " x " << at.top() << ".." << at.bottom() << " in " << box.left()
                << ".." << box.right() << " x " << box.top() << ".." << box.bottom();
        }
        if (cell.disc) {
            const double r = cell.disc->size;
            EXPECT_TRUE(box.contains(QRectF(cell.disc->x - r, cell.disc->y - r, 2 * r, 2 * r)));
        }
        // The event lines keep all their words, whatever size they came out at.
        for (const auto& [offset, item] : cell.lineItems) {
            EXPECT_GT(item.size, 3) << item.text.toStdString();
            EXPECT_FALSE(item.text.contains(QChar(0x2026))) << item.text.toStdString();
        }
        EXPECT_TRUE(cell.line(kMoonOffset).startsWith(QStringLiteral("M  Rise: ")));
        EXPECT_TRUE(cell.line(kMoonOffset).contains(QStringLiteral("  Set: ")));
    }

    // Nothing from the title down to the last week's rule runs into anything else.
    expectNoInkOverlapsAboveTheLegend(log);
}

// The place of the December 2000 picture, and one nearer the pole.
const PlaceCase kNorthCape2000{"70N25E_2000", 70, 25, "2", "-2", 2000};
const PlaceCase kSvalbard2024{"78N15E_2024", 78, 15, "1", "-1", 2024};

INSTANTIATE_TEST_SUITE_P(Months, CalendarFarNorth,
                         ::testing::Combine(::testing::Values(kNorthCape2000, kSvalbard2024),
                                            ::testing::Range(1, 13)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

// The long moon lines that ran into the next cell are there in the first
// place: the cases above are not vacuous.
TEST(CalendarFarNorthCases, SomeCellsHaveLinesWiderThanTheCellAt7Points) {
    SolunarState s = stateAt(78, 15, "1", "-1");
    const auto log = drawPage(s, pageInput(2024, 1, kAllOptions));
    const PageCells page = cellsOf(log);
    const auto headings = headingXs(log);
    const double columnWidth = headings[2] - headings[1];
    int tooWide = 0;
    for (const auto& [day, cell] : page.days) {
        for (const auto& [offset, text] : cell.lines) {
            if (140 + widthAt(7, text) > columnWidth) {
                ++tooWide;
                // Drawn smaller instead, and then it fits.
                const DrawnItem& item = cell.lineItems.at(offset);
                EXPECT_LT(item.size, 7) << text.toStdString();
                EXPECT_LT(140 + widthAt(item.size, text), columnWidth) << text.toStdString();
            }
        }
    }
    EXPECT_GT(tooWide, 0);
}

// The rule under the headings and the rules under the weeks end together.
TEST(CalendarRules, HeadingRuleEndsWhereTheWeekRulesEnd) {
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(2000, 1, kAllOptions));
    const QRegularExpression rule(QStringLiteral("^ +_+$"));
    std::vector<double> weekEnds;
    std::optional<DrawnItem> headingRule;
    for (const DrawnItem& item : log) {
        if (item.kind != DrawnItem::Text || !rule.match(item.text).hasMatch()) continue;
        if (item.size == 12) {
            EXPECT_FALSE(headingRule.has_value()) << "two heading rules";
            headingRule = item;
        } else {
            EXPECT_EQ(item.size, 8);
            weekEnds.push_back(item.x + widthAt(item.size, item.text));
        }
    }
    ASSERT_TRUE(headingRule.has_value());
    ASSERT_EQ(weekEnds.size(), 5U);
    for (double end : weekEnds)
        EXPECT_NEAR(end, weekEnds.front(), 0.01);
    const double headingEnd = headingRule->x + widthAt(12, headingRule->text);
    // Rules are whole underscores: within half of one at 12 pt.
    EXPECT_NEAR(headingEnd, weekEnds.front(), widthAt(12, QStringLiteral("_")) / 2);
    // And both reach the end of the Saturday cells.
    const double gridRight = 7 * (headingXs(log)[2] - headingXs(log)[1]);
    EXPECT_GE(weekEnds.front(), gridRight - 0.01);
}

// ---------------------------------------------------------------------------
// The state after printing

struct AfterCase {
    const char* name;
    MonthCellOptions options;
    const char* computationDate;  ///< day-month-year
};

void PrintTo(const AfterCase& c, std::ostream* os) {
    *os << c.name;
}

class CalendarStateAfter : public ::testing::TestWithParam<AfterCase> {};

// The cells are computed on the shared state in date order, so it is left at
// the last day; the fishing periods look at the day before and after, and
// leave the computation date on the day after.
TEST_P(CalendarStateAfter, LeftAtTheLastDayPrinted) {
    const AfterCase c = GetParam();
    SolunarState s = sydney();
    (void)drawPage(s, pageInput(2000, 1, c.options));
    EXPECT_EQ(s.startDateText, "31-1-2000");
    EXPECT_EQ(s.displayedDateText, "31-1-2000");
    const YearMonthDay d = s.computationDate.ymd();
    EXPECT_EQ(std::to_string(d.day) + "-" + std::to_string(d.month) + "-" + std::to_string(d.year),
              c.computationDate);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CalendarStateAfter,
    ::testing::Values(AfterCase{"all", kAllOptions, "1-2-2000"},
                      AfterCase{"defaults", kDefaultOptions, "1-2-2000"},
                      AfterCase{"noPeriods", {true, true, true, true, false}, "31-1-2000"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The days the clocks change

struct ClockCase {
    const char* name;
    double latitude;
    double longitude;
    const char* zoneName;  ///< the zone the cells follow by date
    int year;
    int month;
    int changeDay;  ///< 0: no change this month
    const char* mark;
};

void PrintTo(const ClockCase& c, std::ostream* os) {
    *os << c.name;
}

TEST(CalendarLocationLine, TheMonthsOwnOffsetWithAZoneByDate) {
    // Printed in January, a July page of Sydney is in winter time (+10), an
    // April page holds the change from +11; a fixed zone keeps its text.
    const QtZoneRule sydney(QTimeZone(QByteArray("Australia/Sydney")));
    SolunarState s = stateAt(-33.87, 151.22, "11", "-11");
    s.zoneRule = &sydney;
    EXPECT_EQ(monthZoneText(s, 2027, 7, QStringLiteral("11")), QStringLiteral("10"));
    EXPECT_EQ(monthZoneText(s, 2027, 1, QStringLiteral("10")), QStringLiteral("11"));
    EXPECT_EQ(monthZoneText(s, 2027, 4, QStringLiteral("11")), QStringLiteral("11 to 10"));
    const QtZoneRule lordHowe(QTimeZone(QByteArray("Australia/Lord_Howe")));
    s.zoneRule = &lordHowe;
    EXPECT_EQ(monthZoneText(s, 2027, 10, QStringLiteral("11")), QStringLiteral("10.5 to 11"));
    s.zoneRule = nullptr;
    EXPECT_EQ(monthZoneText(s, 2027, 7, QStringLiteral("11")), QStringLiteral("11"));
}

class CalendarClockChange : public ::testing::TestWithParam<ClockCase> {};

// The note sits in the cell of the day the clocks change and in no other, inside
// that cell and clear of everything printed there (the stars, a phase disc's
// caption and time, the first event line); the legend explains it only in a
// month that has one.
TEST_P(CalendarClockChange, MarkedInTheirOwnCellAndExplainedInTheLegend) {
    const ClockCase c = GetParam();
    const QtZoneRule rule(QTimeZone(QByteArray(c.zoneName)));
    SolunarState s = stateAt(c.latitude, c.longitude, "0", "0");
    s.zoneRule = &rule;
    const auto log = drawPage(s, pageInput(c.year, c.month, kAllOptions));
    const PageCells page = cellsOf(log);
    const int days = QDate(c.year, c.month, 1).daysInMonth();
    ASSERT_EQ(static_cast<int>(page.days.size()), days);

    std::vector<DrawnItem> marks;
    for (const DrawnItem& item : log) {
        if (item.kind == DrawnItem::Text && item.text.startsWith(QStringLiteral("Clocks go")))
            marks.push_back(item);
    }
    const auto legend = findText(log, QStringLiteral("=   Clocks change this day"));
    if (c.changeDay == 0) {
        EXPECT_TRUE(marks.empty()) << marks.front().text.toStdString();
        EXPECT_FALSE(legend.has_value());
        return;
    }
    ASSERT_EQ(marks.size(), 1U);
    const DrawnItem& mark = marks.front();
    EXPECT_EQ(mark.text, QString::fromLatin1(c.mark));
    EXPECT_LT(mark.size, 7);  // smaller than the event lines

    // Inside the day's cell: from its left to the next column's heading, from
    // the number's top down to the first event line.
    const auto headings = headingXs(log);
    const Cell& cell = page.days.at(c.changeDay);
    const int column = columnOf(c.year, c.month, c.changeDay);
    const double right = column < 7 ? headings[static_cast<std::size_t>(column) + 1]
                                    : cell.left + (headings[2] - headings[1]);
    const QRectF box(cell.left, cell.number.y, right - cell.left, kMajorOffset);
    const QRectF at = lineBox(mark);
    EXPECT_TRUE(box.contains(at)) << at.left() << ".." << at.right() << " x " << at.top() << ".."
                                  << at.bottom() << " in " << box.left() << ".." << box.right()
                                  << " x " << box.top() << ".." << box.bottom();
    // Its ink touches nothing else on the page.
    const QRectF ink = inkBox(mark);
    for (const DrawnItem& item : log) {
        if (item.kind != DrawnItem::Text || item.text.trimmed().isEmpty() || item.text == mark.text)
            continue;
        EXPECT_FALSE(ink.intersects(inkBox(item))) << item.text.toStdString();
    }
    if (cell.disc) {
        const double r = cell.disc->size;
        EXPECT_FALSE(ink.intersects(QRectF(cell.disc->x - r, cell.disc->y - r, 2 * r, 2 * r)));
    }

    // The legend's data column says what the note means, below the other keys.
    ASSERT_TRUE(legend.has_value());
    EXPECT_EQ(lineText(log, legend->y), QStringLiteral("Clocks=   Clocks change this day"));
    const auto lastKey = findText(log, QStringLiteral("=   Moonrise & Moonset"));
    ASSERT_TRUE(lastKey.has_value());
    EXPECT_GT(legend->y, lastKey->y);
    EXPECT_NEAR(legend->x, lastKey->x, testing::kTol);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, CalendarClockChange,
    ::testing::Values(
        // Sydney's clocks go back an hour on Sunday 4 April 2027 (tz database).
        ClockCase{"SydneyApril2027", -(33 + 52 / 60.0), 151 + 13 / 60.0, "Australia/Sydney", 2027,
                  4, 4, "Clocks go back"},
        // New York's go forward on Sunday 14 March 2027.
        ClockCase{"NewYorkMarch2027", 40 + 43 / 60.0, -74, "America/New_York", 2027, 3, 14,
                  "Clocks go forward"},
        // 6 April 2008 is both Sydney's change and a new moon: the note shares
        // its cell with the disc, its caption and its time.
        ClockCase{"SydneyApril2008NewMoon", -(33 + 52 / 60.0), 151 + 13 / 60.0, "Australia/Sydney",
                  2008, 4, 6, "Clocks go back"},
        ClockCase{"SydneyMay2027", -(33 + 52 / 60.0), 151 + 13 / 60.0, "Australia/Sydney", 2027, 5,
                  0, ""},
        // Brisbane keeps one offset all year.
        ClockCase{"BrisbaneApril2027", -27.5, 153, "Australia/Brisbane", 2027, 4, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A fixed zone never changes its clocks: no note, no legend line.
TEST(CalendarClockChangeCases, AFixedZoneHasNoNote) {
    SolunarState s = sydney();
    const auto log = drawPage(s, pageInput(2027, 4, kAllOptions));
    for (const DrawnItem& item : log)
        EXPECT_FALSE(item.text.contains(QStringLiteral("Clocks"))) << item.text.toStdString();
}

// ---------------------------------------------------------------------------
// The page and the command line tool agree

TEST(CalendarAgreement, CellTextsMatchTheToolsMonthJson) {
    const char* args[] = {"moonbite-cli", "month",  "--lat", "33:52S",  "--lon", "151:13E", "--tz",
                          "10",           "--year", "2000",  "--month", "1",     "--json"};
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        cli::run(static_cast<int>(std::size(args)), args, out, err, *Date::fromYmd(2026, 12, 7));
    ASSERT_EQ(status, 0) << err.str();
    QJsonParseError parseError{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromStdString(out.str()), &parseError);
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << out.str();
    const QJsonArray days = doc.object().value(QStringLiteral("days")).toArray();
    ASSERT_EQ(days.size(), 31);

    SolunarState s = sydney();
    const PageCells page = cellsOf(drawPage(s, pageInput(2000, 1, kAllOptions)));
    ASSERT_EQ(page.days.size(), 31U);
    for (const QJsonValue& value : days) {
        const QJsonObject d = value.toObject();
        const int day = d.value(QStringLiteral("day")).toInt();
        SCOPED_TRACE("day " + std::to_string(day));
        ASSERT_EQ(page.days.count(day), 1U);
        const Cell& cell = page.days.at(day);
        auto field = [&](const char* name) { return d.value(QLatin1String(name)).toString(); };
        ASSERT_TRUE(cell.stars.has_value());
        EXPECT_EQ(cell.stars->text, field("stars"));
        EXPECT_EQ(cell.line(kMajorOffset), field("major_line"));
        EXPECT_EQ(cell.line(kMinorOffset), field("minor_line"));
        EXPECT_EQ(cell.line(kSunOffset), field("sun_line"));
        EXPECT_EQ(cell.line(kMoonOffset), field("moon_line"));
        EXPECT_EQ(cell.discCaption, field("phase_event"));
        EXPECT_EQ(cell.discTime, field("phase_event_time"));
        EXPECT_EQ(cell.disc.has_value(), !field("phase_event").isEmpty());
    }
}

}  // namespace
}  // namespace moonbite
