// Day cells of the printed month calendar.
#include <gtest/gtest.h>

#include <vector>

#include "month_calendar.h"
#include "sydney.h"

namespace moonbite {
namespace {

using testing::stateAt;
using testing::sydney;
using testing::ymd;

std::vector<MonthCell> month(SolunarState& s, int year, int m, const MonthCellOptions& o = {}) {
    std::vector<MonthCell> cells(static_cast<std::size_t>(daysInMonth(year, m)));
    for (std::size_t i = 0; i < cells.size(); ++i)
        calcdata(s, year, m, static_cast<int>(i) + 1, o, cells[i]);
    return cells;
}

TEST(StarText, ByScore) {
    EXPECT_EQ(starText(0), "  ");
    EXPECT_EQ(starText(33), " *");
    EXPECT_EQ(starText(66), " **");
    EXPECT_EQ(starText(100), " ***");
    EXPECT_EQ(starText(50), "");
}

TEST(Calcdata, FullMoonCellWithEveryOption) {
    SolunarState s = sydney();
    const auto cells = month(s, 2000, 1);
    const MonthCell& c = cells[20];
    EXPECT_EQ(c.day, 21);
    EXPECT_EQ(c.stars, " ***");
    EXPECT_TRUE(c.fullMoon);
    EXPECT_FALSE(c.newMoon);
    EXPECT_EQ(c.fullMoonTime, "02:40 PM");
    EXPECT_EQ(c.sunLine, "S  Rise: 05:05 AM  Set: 07:07 PM");
    EXPECT_EQ(c.moonLine, "M  Rise: 07:13 PM  Set: 04:43 AM");
    EXPECT_EQ(c.majorLine, "Maj: 11:32 PM Maj: 10:58 AM");
    // The minor period stored second (at the moonset) comes first.
    EXPECT_EQ(c.minorLine, "Min: 03:43 AM Min: 06:13 PM");
    EXPECT_TRUE(cells[6].newMoon);  // 7 January at +10
    EXPECT_EQ(cells[6].newMoonTime, "04:12 AM");
}

TEST(Calcdata, DefaultOptionsGiveStarsAndPeriodsOnly) {
    SolunarState s = sydney();
    MonthCellOptions defaults;
    defaults.newFull = defaults.sunrise = defaults.moonrise = false;
    for (const MonthCell& c : month(s, 2000, 1, defaults)) {
        EXPECT_FALSE(c.stars.empty());
        EXPECT_FALSE(c.majorLine.empty());
        EXPECT_FALSE(c.minorLine.empty());
        EXPECT_TRUE(c.sunLine.empty());
        EXPECT_TRUE(c.moonLine.empty());
        EXPECT_FALSE(c.newMoon || c.fullMoon);
    }
}

TEST(Calcdata, PoorDayStillHasTwoBlanks) {
    SolunarState s = sydney();
    const auto cells = month(s, 2000, 1);
    EXPECT_EQ(cells[25].stars, "  ");  // 26 January: five days after the full moon
}

TEST(Calcdata, EachCellShowsItsOwnDaysPeriods) {
    SolunarState s = sydney();
    const auto cells = month(s, 2000, 3);
    for (const MonthCell& c : cells) {
        SolunarState day = sydney();
        setDateControls(day, ymd(2000, 3, c.day));
        computeDisplayedDay(day);
        std::string major =
            "Maj: " + day.majorAboveText.str() + " Maj: " + day.majorBelowText.str();
        std::string sun = "S  Rise: " + day.sunriseText.str() + "  Set: " + day.sunsetText.str();
        EXPECT_EQ(c.majorLine, major) << c.day;
        EXPECT_EQ(c.sunLine, sun) << c.day;
        EXPECT_EQ(c.stars, starText(day.predictionScore)) << c.day;
    }
}

TEST(Calcdata, January2001HasItsFullMoonAndEveryPrediction) {
    // Built for its own year, the 2001 table starts with the new moon of
    // 25 December 2000 (index 0) and its first full moon is in January; the
    // cells before 25 December's lunation need the 2000 table.
    SolunarState s = stateAt(0, 0, "0", "0");
    const auto cells = month(s, 2001, 1);
    int fullMoons = 0;
    for (const MonthCell& c : cells) {
        EXPECT_FALSE(c.stars.empty()) << c.day;
        if (c.fullMoon) {
            ++fullMoons;
            EXPECT_EQ(c.day, 9);
        }
    }
    EXPECT_EQ(fullMoons, 1);
}

TEST(Calcdata, LeavesTheSharedValuesAtTheCell) {
    SolunarState s = sydney();
    MonthCell c;
    calcdata(s, 2000, 1, 21, MonthCellOptions{}, c);
    EXPECT_EQ(s.startDateText, "21-1-2000");
    EXPECT_EQ(s.displayedDateText, "21-1-2000");
    EXPECT_EQ(s.computationDate, ymd(2000, 1, 22));  // majorminor moved on
    EXPECT_EQ(s.predictionScore, 100);
    EXPECT_EQ(s.Label14.caption, "Full Moon");  // normal mode refreshes the labels
}

}  // namespace
}  // namespace moonbite
