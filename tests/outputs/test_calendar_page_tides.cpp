// The printed month with the tides: each day's highs and lows in its own
// cell, the whole cell still inside its box with every option on, the line
// about the tides printed once in the legend, and the page untouched when the
// tides are off.
#include <gtest/gtest.h>

#include <QDate>
#include <QTimeZone>
#include <memory>
#include <string>

#include "current_place.h"
#include "page_log.h"
#include "tide_fixture.h"

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
using testing::fridayHarbor;
using testing::fridayHarborState;
using testing::fridayHarborTides;
using testing::harmonics;
using testing::inkBox;
using testing::kAllOptions;
using testing::kLineOffsets;
using testing::lineBox;
using testing::PageCells;
using testing::pageInput;
using testing::widthAt;

// The data legend's key to the tide lines.
const QString kTideMeaning = QStringLiteral("=   High & Low Tide, metres");

const QString kShortTideLine =
    QStringLiteral("Tides: Friday Harbor, heights in metres above Mean Lower Low Water.");

CalendarPageInput tidesInput(int year, int month, MonthCellOptions options = kAllOptions) {
    CalendarPageInput in = pageInput(year, month, options);
    in.tides = true;
    in.tidesOf = fridayHarborTides();
    in.tideLine = kShortTideLine;
    return in;
}

/// Every text of every day inside that day's box (its column, from its
/// number's top down to the next row's), the tide lines readable, and no two
/// inked texts above the legend touching.
void expectCellsFitAndNothingOverlaps(const std::vector<DrawnItem>& log, int year, int month) {
    const PageCells page = cellsOf(log);
    const int days = QDate(year, month, 1).daysInMonth();
    ASSERT_EQ(static_cast<int>(page.days.size()), days);
    // The clock-change note is placed apart from the cells' lines.
    for (const DrawnItem& item : page.stray)
        EXPECT_TRUE(item.text.startsWith(QStringLiteral("Clocks go"))) << item.text.toStdString();
    const auto headings = headingXs(log);
    const double columnWidth = headings[2] - headings[1];
    const int first = columnOf(year, month, 1);
    auto rowOf = [&](int day) {
        const int week = (first - 1 + day - 1) / 7;
        return week == 5 ? 0 : week;  // the sixth week shares the first row
    };
    std::map<int, double> rowTop;
    for (int d = 1; d <= days; ++d)
        rowTop.emplace(rowOf(d), page.days.at(d).number.y);
    ASSERT_GE(rowTop.size(), 4U);
    const double rowPitch = rowTop[1] - rowTop[0];
    for (const auto& [day, cell] : page.days) {
        SCOPED_TRACE("day " + std::to_string(day));
        const int c = columnOf(year, month, day);
        const QRectF box(headings[1] + (c - 1) * columnWidth, rowTop[rowOf(day)], columnWidth,
                         rowPitch);
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
        for (int offset : kLineOffsets) {
            if (cell.lineItems.count(offset) != 0 && cell.tideLines().contains(cell.line(offset))) {
                EXPECT_GE(cell.lineItems.at(offset).size, 4) << cell.line(offset).toStdString();
            }
        }
        if (cell.disc) {
            const double r = cell.disc->size;
            EXPECT_TRUE(box.contains(QRectF(cell.disc->x - r, cell.disc->y - r, 2 * r, 2 * r)));
        }
    }
    expectNoInkOverlapsAboveTheLegend(log);
}

// ---------------------------------------------------------------------------
// The tides of every day, in its cell

struct TideMonth {
    const char* name;
    int year;
    int month;
    const char* zoneName;  ///< the zone the page follows by date; null: PST all year
};

void PrintTo(const TideMonth& c, std::ostream* os) {
    *os << c.name;
}

class CalendarTides : public ::testing::TestWithParam<TideMonth> {};

TEST_P(CalendarTides, EveryDaysHighsAndLowsInItsOwnCell) {
    const TideMonth c = GetParam();
    ASSERT_NE(fridayHarbor(), nullptr);
    SolunarState s = fridayHarborState();
    std::unique_ptr<QtZoneRule> rule;
    QTimeZone zone = QTimeZone(-8 * 3600);
    if (c.zoneName != nullptr) {
        zone = QTimeZone(QByteArray(c.zoneName));
        rule = std::make_unique<QtZoneRule>(zone);
        s.zoneRule = rule.get();
    }
    const auto log = drawPage(s, tidesInput(c.year, c.month));
    const PageCells page = cellsOf(log);
    const int days = QDate(c.year, c.month, 1).daysInMonth();
    ASSERT_EQ(static_cast<int>(page.days.size()), days);
    int oddDays = 0;
    for (int d = 1; d <= days; ++d) {
        SCOPED_TRACE("day " + std::to_string(d));
        const Cell& cell = page.days.at(d);
        const QStringList expected = testing::expectedTideTexts(zone, c.year, c.month, d);
        // Near-diurnal days may have a single high or low.
        ASSERT_GE(expected.size(), 1);
        ASSERT_LE(expected.size(), 5);
        if (expected.size() % 2 == 1) ++oddDays;
        // Two to a line, in time order, nothing left out.
        const QStringList lines = cell.tideLines();
        EXPECT_EQ(lines.size(), (expected.size() + 1) / 2)
            << lines.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(lines.join(QStringLiteral("  ")), expected.join(QStringLiteral("  ")));
        // The day's other lines are all still there.
        for (int offset : {testing::kMajorOffset, testing::kMinorOffset, testing::kSunOffset,
                           testing::kMoonOffset})
            EXPECT_FALSE(cell.line(offset).isEmpty()) << offset;
    }
    EXPECT_GT(oddDays, 0) << "some days end a line with a single high or low";
    expectCellsFitAndNothingOverlaps(log, c.year, c.month);

    // The legend's key for the tide lines, in the data column under the others.
    const auto meaning = findText(log, kTideMeaning);
    ASSERT_TRUE(meaning.has_value());
    const auto lastMeaning = findText(log, QStringLiteral("=   Moonrise & Moonset"));
    ASSERT_TRUE(lastMeaning.has_value());
    EXPECT_NEAR(meaning->x, lastMeaning->x, testing::kTol);
    EXPECT_GT(meaning->y, lastMeaning->y);
    const auto key = findText(log, QStringLiteral("H / L"));
    ASSERT_TRUE(key.has_value());
    EXPECT_NEAR(key->y, meaning->y, testing::kTol);
    EXPECT_NEAR(key->x, findText(log, QStringLiteral("M Rise/Set"))->x, testing::kTol);
}

INSTANTIATE_TEST_SUITE_P(Months, CalendarTides,
                         ::testing::Values(
                             // Saturday the 1st, 31 days: six weeks, the last two days in the
                             // first row's empty cells.
                             TideMonth{"August2026", 2026, 8, nullptr},
                             // Friday the 1st, 31 days: six weeks too.
                             TideMonth{"January2027", 2027, 1, nullptr},
                             // The clocks go back on Sunday 1 November 2026: a 25-hour day.
                             TideMonth{"November2026ByDate", 2026, 11, "America/Los_Angeles"},
                             // And forward on Sunday 14 March 2027: a 23-hour day.
                             TideMonth{"March2027ByDate", 2027, 3, "America/Los_Angeles"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The tide lines close up under the last event line the page shows, so a
// page of few options has no gap above them.
struct OptionsCase {
    const char* name;
    MonthCellOptions options;
    int firstTideOffset;
};

void PrintTo(const OptionsCase& c, std::ostream* os) {
    *os << c.name;
}

class CalendarTideOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(CalendarTideOptions, TideLinesFollowTheLastLineShown) {
    const OptionsCase c = GetParam();
    ASSERT_NE(fridayHarbor(), nullptr);
    SolunarState s = fridayHarborState();
    const auto log = drawPage(s, tidesInput(2027, 1, c.options));
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 31U);
    for (const auto& [day, cell] : page.days) {
        SCOPED_TRACE("day " + std::to_string(day));
        const QStringList tideLines = cell.tideLines();
        ASSERT_FALSE(tideLines.isEmpty());
        EXPECT_EQ(cell.line(c.firstTideOffset), tideLines.front());
        // Nothing between the event lines shown and the tides.
        for (int offset : kLineOffsets) {
            if (offset >= c.firstTideOffset) break;
            if (!cell.line(offset).isEmpty()) {
                EXPECT_FALSE(tideLines.contains(cell.line(offset)));
            }
        }
        const QStringList expected = testing::expectedTideTexts(QTimeZone(-8 * 3600), 2027, 1, day);
        EXPECT_EQ(tideLines.join(QStringLiteral("  ")), expected.join(QStringLiteral("  ")));
    }
    expectCellsFitAndNothingOverlaps(log, 2027, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CalendarTideOptions,
    ::testing::Values(OptionsCase{"all", kAllOptions, 1080},
                      OptionsCase{"defaults", testing::kDefaultOptions, 800},
                      OptionsCase{"sunrise", {true, true, true, false, true}, 940},
                      OptionsCase{"moonriseOnly", {false, false, false, true, false}, 1080},
                      OptionsCase{"none", {false, false, false, false, false}, 520},
                      OptionsCase{"phasesOnly", {false, true, false, false, false}, 520}),
    [](const auto& info) { return std::string(info.param.name); });

// Longer designators make the lines of two wider than the cell: drawn
// smaller, they keep every word and stay in their cells. Designators so long
// that two would come out too small to read put one high or low to a line.
struct DesignatorCase {
    const char* name;
    const char* am;
    const char* pm;
    int perLine;
};

void PrintTo(const DesignatorCase& c, std::ostream* os) {
    *os << c.name;
}

class CalendarTideDesignators : public ::testing::TestWithParam<DesignatorCase> {};

TEST_P(CalendarTideDesignators, LinesKeepEveryWordAndStayInTheirCells) {
    const DesignatorCase c = GetParam();
    ASSERT_NE(fridayHarbor(), nullptr);
    SolunarState s = fridayHarborState();
    s.designators.am = c.am;
    s.designators.pm = c.pm;
    const auto log = drawPage(s, tidesInput(2026, 8));
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 31U);
    const double columnWidth = headingXs(log)[2] - headingXs(log)[1];
    int tooWide = 0;
    for (const auto& [day, cell] : page.days) {
        SCOPED_TRACE("day " + std::to_string(day));
        QStringList expected = testing::expectedTideTexts(QTimeZone(-8 * 3600), 2026, 8, day);
        expected.replaceInStrings(
            QStringLiteral(" AM "),
            QStringLiteral(" ") + QString::fromUtf8(c.am) + QStringLiteral(" "));
        expected.replaceInStrings(
            QStringLiteral(" PM "),
            QStringLiteral(" ") + QString::fromUtf8(c.pm) + QStringLiteral(" "));
        const QStringList lines = cell.tideLines();
        EXPECT_EQ(lines.join(QStringLiteral("  ")), expected.join(QStringLiteral("  ")));
        EXPECT_EQ(lines.size(), (expected.size() + c.perLine - 1) / c.perLine);
        for (int offset : kLineOffsets) {
            if (cell.lineItems.count(offset) == 0 || !cell.tideLines().contains(cell.line(offset)))
                continue;
            const DrawnItem& item = cell.lineItems.at(offset);
            // Where 7 pt would not fit, it came out smaller.
            if (140 + widthAt(7, item.text) > columnWidth) {
                ++tooWide;
                EXPECT_LT(item.size, 7) << item.text.toStdString();
            }
        }
    }
    if (c.perLine == 2) {
        EXPECT_GT(tooWide, 31) << "every day has a line of two wider than its cell at 7 pt";
    }
    expectCellsFitAndNothingOverlaps(log, 2026, 8);
}

INSTANTIATE_TEST_SUITE_P(Designators, CalendarTideDesignators,
                         ::testing::Values(DesignatorCase{"Spanish", "a. m.", "p. m.", 2},
                                           DesignatorCase{"Bulgarian", "пр.об.", "сл.об.", 2},
                                           DesignatorCase{"Words", "in the morning",
                                                          "in the evening", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A day of five highs and lows (a clock change, or a station with one tide a
// day beside two) takes a third line; the rows grow to hold it, and a day
// without any prints no tide line at all.
TEST(CalendarTidesCases, FiveEventsTakeAThirdLineAndTheRowsGrowToHoldIt) {
    auto fake = [](const SolunarState&, Date d) {
        tides::DayTides day;
        const int n = d.day() == 12 ? 5 : d.day() == 13 ? 0 : 4;
        for (int i = 0; i < n; ++i) {
            day.events.push_back({0, i % 2 == 0, i % 2 == 0 ? 2.346 : -0.004});
            day.minutes.push_back(5 + i * 290);
        }
        return day;
    };
    SolunarState s = fridayHarborState();
    CalendarPageInput in = tidesInput(2026, 8);
    in.tidesOf = fake;
    const auto log = drawPage(s, in);
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 31U);
    EXPECT_EQ(page.days.at(12).tideLines(),
              (QStringList{QStringLiteral("H 12:05 AM 2.35  L 04:55 AM 0.00"),
                           QStringLiteral("H 09:45 AM 2.35  L 02:35 PM 0.00"),
                           QStringLiteral("H 07:25 PM 2.35")}));
    EXPECT_TRUE(page.days.at(13).tideLines().isEmpty());
    EXPECT_EQ(page.days.at(14).tideLines().size(), 2);
    expectCellsFitAndNothingOverlaps(log, 2026, 8);

    // The rows of a page of two tide lines a day are shorter, and those of a
    // page without tides shorter again.
    auto rowPitch = [](const std::vector<DrawnItem>& l) {
        const PageCells p = cellsOf(l);
        return p.days.at(9).number.y - p.days.at(2).number.y;
    };
    CalendarPageInput two = tidesInput(2026, 8);
    two.tidesOf = [fake](const SolunarState& st, Date d) {
        tides::DayTides day = fake(st, d);
        day.events.resize(std::min<std::size_t>(day.events.size(), 4));
        day.minutes.resize(day.events.size());
        return day;
    };
    SolunarState s2 = fridayHarborState();
    SolunarState s3 = fridayHarborState();
    const double three = rowPitch(log);
    const double twoLines = rowPitch(drawPage(s2, two));
    const double none = rowPitch(drawPage(s3, pageInput(2026, 8, kAllOptions)));
    EXPECT_GT(three, twoLines);
    EXPECT_GT(twoLines, none);
}

// Years the harmonics file does not cover have no tides: no tide lines, and
// the rows keep their height without them.
TEST(CalendarTidesCases, AMonthOutsideTheFilesYearsPrintsNoTideLines) {
    ASSERT_NE(fridayHarbor(), nullptr);
    ASSERT_FALSE(harmonics()->coversYear(2199));
    SolunarState s = fridayHarborState();
    const auto log = drawPage(s, tidesInput(2199, 3));
    const PageCells page = cellsOf(log);
    ASSERT_EQ(page.days.size(), 31U);
    for (const auto& [day, cell] : page.days)
        EXPECT_TRUE(cell.tideLines().isEmpty()) << day;
    SolunarState plain = fridayHarborState();
    const PageCells without = cellsOf(drawPage(plain, pageInput(2199, 3, kAllOptions)));
    EXPECT_EQ(page.days.at(30).number.y, without.days.at(30).number.y);
}

// ---------------------------------------------------------------------------
// Without the tides the page is as it always was

bool sameItems(const std::vector<DrawnItem>& a, const std::vector<DrawnItem>& b) {
    if (a.size() != b.size()) {
        ADD_FAILURE() << a.size() << " items against " << b.size();
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const DrawnItem& x = a[i];
        const DrawnItem& y = b[i];
        if (x.kind != y.kind || x.text != y.text || x.x != y.x || x.y != y.y || x.size != y.size ||
            x.filled != y.filled || x.fill != y.fill) {
            ADD_FAILURE() << "item " << i << ": " << x.text.toStdString() << " at " << x.x << ","
                          << x.y << " against " << y.text.toStdString() << " at " << y.x << ","
                          << y.y;
            return false;
        }
    }
    return true;
}

TEST(CalendarTidesCases, OffOrWithoutTidesThePageIsUnchanged) {
    ASSERT_NE(fridayHarbor(), nullptr);
    const QtZoneRule losAngeles(QTimeZone(QByteArray("America/Los_Angeles")));
    for (const auto& [year, month] :
         {std::pair{2026, 8}, std::pair{2026, 11}, std::pair{2027, 2}}) {
        for (const MonthCellOptions options :
             {kAllOptions, testing::kDefaultOptions,
              MonthCellOptions{false, false, false, false, false}}) {
            SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month));
            SolunarState s0 = fridayHarborState();
            s0.zoneRule = &losAngeles;
            const auto before = drawPage(s0, pageInput(year, month, options));

            // Ticked off, with everything else there.
            CalendarPageInput off = tidesInput(year, month, options);
            off.tides = false;
            SolunarState s1 = fridayHarborState();
            s1.zoneRule = &losAngeles;
            EXPECT_TRUE(sameItems(drawPage(s1, off), before));

            // Ticked, but no tides to be had here.
            CalendarPageInput none = tidesInput(year, month, options);
            none.tidesOf = nullptr;
            SolunarState s2 = fridayHarborState();
            s2.zoneRule = &losAngeles;
            EXPECT_TRUE(sameItems(drawPage(s2, none), before));

            // And with them on the page does change.
            SolunarState s3 = fridayHarborState();
            s3.zoneRule = &losAngeles;
            const auto with = drawPage(s3, tidesInput(year, month, options));
            EXPECT_GT(with.size(), before.size());
        }
    }
}

// ---------------------------------------------------------------------------
// The line about the tides

/// The 8 pt texts beside the legend below the location line and starting
/// where it does, top to bottom.
std::vector<DrawnItem> tideLinePieces(const std::vector<DrawnItem>& log) {
    const auto location = findText(log, QStringLiteral("Location: test"));
    EXPECT_TRUE(location.has_value());
    std::vector<DrawnItem> pieces;
    for (const DrawnItem& item : log) {
        if (item.kind == DrawnItem::Text && item.size == 8 && location && item.y > location->y &&
            testing::near(item.x, location->x))
            pieces.push_back(item);
    }
    return pieces;
}

TEST(CalendarTidesCases, TheTideLineIsPrintedOnceBesideTheLegendWrappedClearOfTheKeys) {
    ASSERT_NE(fridayHarbor(), nullptr);
    const QString longLine =
        QStringLiteral(
            "Tides at Friday Harbor, San Juan Island, Washington (station 9449880), "
            "0.0 km away; heights in metres above Mean Lower Low Water. ") +
        QString::fromStdString(tides::honestyLine(*harmonics()));
    // A month whose clocks change, so that the clocks' key follows the tides'.
    const QtZoneRule losAngeles(QTimeZone(QByteArray("America/Los_Angeles")));
    for (const QString& line : {kShortTideLine, longLine}) {
        SCOPED_TRACE(line.toStdString());
        SolunarState s = fridayHarborState();
        s.zoneRule = &losAngeles;
        CalendarPageInput in = tidesInput(2026, 11);
        in.tideLine = line;
        const auto log = drawPage(s, in);
        const auto pieces = tideLinePieces(log);
        ASSERT_FALSE(pieces.empty());
        QStringList texts;
        for (const DrawnItem& piece : pieces)
            texts << piece.text;
        EXPECT_EQ(texts.join(QLatin1Char(' ')), line);
        EXPECT_EQ(pieces.size() > 1, line == longLine);
        // Once: no other text has any of it.
        int mentions = 0;
        for (const DrawnItem& item : log)
            mentions += item.text.contains(QStringLiteral("Friday Harbor")) ? 1 : 0;
        EXPECT_EQ(mentions, 1);
        // Under the location line, each piece a line below the one before, and
        // ending before the data legend's keys.
        const auto location = findText(log, QStringLiteral("Location: test"));
        ASSERT_TRUE(location.has_value());
        EXPECT_GT(pieces.front().y, location->y);
        const double keys = findText(log, QStringLiteral("Maj"))->x;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_LT(pieces[i].x + widthAt(8, pieces[i].text), keys)
                << pieces[i].text.toStdString();
            if (i > 0) {
                EXPECT_GT(pieces[i].y, pieces[i - 1].y);
            }
        }
        // Both keys below the others, the clocks' last.
        const auto tideKey = findText(log, kTideMeaning);
        const auto clockKey = findText(log, kClockChangeLegend);
        ASSERT_TRUE(tideKey.has_value());
        ASSERT_TRUE(clockKey.has_value());
        EXPECT_GT(clockKey->y, tideKey->y);
        // No piece runs into anything else on the page.
        for (const DrawnItem& piece : pieces) {
            for (const DrawnItem& item : log) {
                if (item.kind != DrawnItem::Text || item.text.trimmed().isEmpty() ||
                    (item.x == piece.x && item.y == piece.y))
                    continue;
                EXPECT_FALSE(inkBox(piece).intersects(inkBox(item)))
                    << piece.text.toStdString() << " / " << item.text.toStdString();
            }
        }
    }
}

TEST(CalendarTidesCases, NoTideLineWhenTheTidesAreOff) {
    SolunarState s = fridayHarborState();
    CalendarPageInput in = tidesInput(2026, 8);
    in.tides = false;
    const auto log = drawPage(s, in);
    EXPECT_TRUE(tideLinePieces(log).empty());
    for (const DrawnItem& item : log) {
        EXPECT_FALSE(item.text.contains(QStringLiteral("Friday Harbor")))
            << item.text.toStdString();
        EXPECT_NE(item.text, QStringLiteral("H / L"));
    }
}

}  // namespace
}  // namespace moonbite
