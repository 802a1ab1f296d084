// A place whose clocks follow daylight saving: every date is computed with
// its own offset, so each day equals the same day computed in the fixed zone
// the clocks show then.
#include <gtest/gtest.h>

#include <string>

#include "month_calendar.h"
#include "sydney.h"
#include "zone_rule.h"

namespace moonbite {
namespace {

using testing::stateAt;
using testing::ymd;

// Sydney's clocks in 2027 (daylight time ends 4 April, starts 3 October):
// +11 in summer, +10 in winter. A half-hour variant for Lord Howe Island.
class TwoSeasonRule : public ZoneRule {
  public:
    TwoSeasonRule(double summer, double winter) : summer_(summer), winter_(winter) {}
    double hoursOn(Date d) const override {
        const bool winter = d >= ymd(2027, 4, 4) && d < ymd(2027, 10, 3);
        return winter ? winter_ : summer_;
    }

  private:
    double summer_;
    double winter_;
};

SolunarState sydneyIn(const char* zone, const char* negated) {
    SolunarState s = stateAt(-(33 + 52 / 60.0), 151 + 13 / 60.0, zone, negated);
    s.plottedDayCount = 15;
    return s;
}

// What a day shows: every box the day computation writes.
std::string dayTexts(SolunarState s, Date d) {
    testing::showDay(s, d);
    std::string t;
    for (const Text* box : {&s.Text2, &s.Text32, &s.Text6, &s.Text21, &s.Text39, &s.Text4, &s.Text5,
                            &s.Text7, &s.Text8, &s.Text9, &s.Label13})
        t += std::string(box->view()) + "|";
    // A hidden phase caption keeps whatever a graph day left in it.
    t += std::to_string(s.predictionScore);
    if (s.Label14.visible) t += "|" + std::string(s.Label14.caption.view());
    if (s.Label18.visible) t += "|" + std::string(s.Label18.caption.view());
    return t;
}

TEST(ZoneByDate, EachDayEqualsTheFixedZoneItsClocksShow) {
    const TwoSeasonRule rule(11, 10);
    SolunarState followed = sydneyIn("11", "-11");
    followed.zoneRule = &rule;
    for (const Date d : {ymd(2027, 1, 15), ymd(2027, 4, 3), ymd(2027, 4, 4), ymd(2027, 4, 5),
                         ymd(2027, 7, 15), ymd(2027, 10, 2), ymd(2027, 10, 3), ymd(2027, 10, 4)}) {
        const bool winter = rule.hoursOn(d) == 10;
        const std::string fixed =
            dayTexts(winter ? sydneyIn("10", "-10") : sydneyIn("11", "-11"), d);
        EXPECT_EQ(dayTexts(followed, d), fixed)
            << d.ymd().month << "/" << d.ymd().day << " zone " << rule.hoursOn(d);
    }
}

TEST(ZoneByDate, WinterDiffersFromTheSummerZoneByAnHour) {
    // The fault this guards against: July shown with January's offset.
    const TwoSeasonRule rule(11, 10);
    SolunarState followed = sydneyIn("11", "-11");
    followed.zoneRule = &rule;
    testing::showDay(followed, ymd(2027, 7, 15));
    SolunarState summerZone = sydneyIn("11", "-11");
    testing::showDay(summerZone, ymd(2027, 7, 15));
    EXPECT_NE(followed.Text2, summerZone.Text2);  // sunrise
    EXPECT_EQ(followed.timeZoneEntered, "10");
}

TEST(ZoneByDate, HalfHourChange) {
    const TwoSeasonRule lordHowe(11, 10.5);
    SolunarState followed = stateAt(-31.55, 159.08, "11", "-11");
    followed.zoneRule = &lordHowe;
    SolunarState fixed = stateAt(-31.55, 159.08, "10.5", "-10.5");
    EXPECT_EQ(dayTexts(followed, ymd(2027, 6, 1)), dayTexts(fixed, ymd(2027, 6, 1)));
}

TEST(ZoneByDate, TheChangeDaysAreMarked) {
    const TwoSeasonRule rule(11, 10);
    SolunarState s = sydneyIn("11", "-11");
    s.zoneRule = &rule;
    EXPECT_EQ(clockChangeOn(s, ymd(2027, 4, 4)), -1);
    EXPECT_EQ(clockChangeOn(s, ymd(2027, 10, 3)), 1);
    EXPECT_EQ(clockChangeOn(s, ymd(2027, 4, 5)), 0);
    testing::showDay(s, ymd(2027, 10, 3));
    EXPECT_TRUE(s.LabelClockChange.visible);
    EXPECT_EQ(s.LabelClockChange.caption, "Clocks go forward");
    testing::showDay(s, ymd(2027, 4, 4));
    EXPECT_EQ(s.LabelClockChange.caption, "Clocks go back");
    testing::showDay(s, ymd(2027, 4, 5));
    EXPECT_FALSE(s.LabelClockChange.visible);
    // A fixed zone never changes.
    SolunarState fixed = sydneyIn("10", "-10");
    testing::showDay(fixed, ymd(2027, 4, 4));
    EXPECT_FALSE(fixed.LabelClockChange.visible);
}

TEST(ZoneByDate, GraphRowsAcrossTheChangeUseEachDaysOffset) {
    const TwoSeasonRule rule(11, 10);
    SolunarState followed = sydneyIn("11", "-11");
    followed.zoneRule = &rule;
    followed.plottedDayCount = 60;
    testing::showDay(followed, ymd(2027, 3, 1));
    for (int i = 0; i < 60; ++i) {
        const Date d = ymd(2027, 3, 1) + i;
        SolunarState fixed = rule.hoursOn(d) == 10 ? sydneyIn("10", "-10") : sydneyIn("11", "-11");
        fixed.plottedDayCount = 2;
        testing::showDay(fixed, d);
        EXPECT_EQ(followed.graphRows[static_cast<std::size_t>(i)].value, fixed.graphRows[0].value)
            << "row " << i;
    }
    // The displayed day's own boxes are in its own zone, not the last graph day's.
    EXPECT_EQ(followed.timeZoneEntered, "11");
}

TEST(ZoneByDate, MonthCellsBeforeAndAfterTheChange) {
    const TwoSeasonRule rule(11, 10);
    const MonthCellOptions all;
    for (int day = 1; day <= 30; ++day) {
        SolunarState followed = sydneyIn("11", "-11");
        followed.zoneRule = &rule;
        MonthCell cell;
        calcdata(followed, 2027, 4, day, all, cell);
        const bool winter = day >= 4;
        SolunarState fixed = winter ? sydneyIn("10", "-10") : sydneyIn("11", "-11");
        MonthCell expected;
        calcdata(fixed, 2027, 4, day, all, expected);
        EXPECT_EQ(cell.sunLine, expected.sunLine) << "April " << day;
        EXPECT_EQ(cell.moonLine, expected.moonLine) << "April " << day;
        EXPECT_EQ(cell.majorLine, expected.majorLine) << "April " << day;
        EXPECT_EQ(cell.minorLine, expected.minorLine) << "April " << day;
        EXPECT_EQ(cell.fullMoonTime, expected.fullMoonTime) << "April " << day;
        EXPECT_EQ(cell.clockChange, day == 4 ? -1 : 0) << "April " << day;
    }
}

TEST(ZoneByDate, AZoneWithoutDaylightTimeEqualsTheFixedZone) {
    const TwoSeasonRule brisbane(10, 10);
    SolunarState followed = sydneyIn("10", "-10");
    followed.zoneRule = &brisbane;
    for (Date d = ymd(2027, 1, 1); d < ymd(2028, 1, 1); d = d + 7)
        EXPECT_EQ(dayTexts(followed, d), dayTexts(sydneyIn("10", "-10"), d));
}

}  // namespace
}  // namespace moonbite
