// A place whose clocks follow daylight saving: every date is computed with
// its own offset, so each day equals the same day computed in the fixed zone
// the clocks show then.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "month_calendar.h"
#include "sydney.h"
#include "zone_rule.h"

namespace moonbite {
namespace {

using testing::stateAt;
using testing::ymd;

// Sydney's clocks in 2027 (daylight time ends 4 April at 3:00, starts 3
// October at 2:00): +11 in summer, +10 in winter. A half-hour variant for Lord
// Howe Island.
class TwoSeasonRule : public ZoneRule {
  public:
    TwoSeasonRule(double summer, double winter) : summer_(summer), winter_(winter) {}
    double hoursOn(Date d) const override {
        const bool winter = d >= ymd(2027, 4, 4) && d < ymd(2027, 10, 3);
        return winter ? winter_ : summer_;
    }
    double hoursAt(Instant t) const override {
        const Instant autumn = instantOf(ymd(2027, 4, 4)) + 3 * 3600 - zoneSeconds(summer_);
        const Instant spring = instantOf(ymd(2027, 10, 3)) + 2 * 3600 - zoneSeconds(winter_);
        return t >= autumn && t < spring ? winter_ : summer_;
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
    // Every day but the two the clocks change (below): the day before and
    // after a change included.
    for (const Date d : {ymd(2027, 1, 15), ymd(2027, 4, 3), ymd(2027, 4, 5), ymd(2027, 7, 15),
                         ymd(2027, 10, 2), ymd(2027, 10, 4)}) {
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

// On the day the clocks change each event reads in the offset in force at its
// instant: the same text as the fixed zone of that offset on the same date.
// Expected values: the fixed-zone results (the offsets by the rule above).
struct ChangeDayBox {
    const char* name;
    Text SolunarState::*box;
    const char* fixedZone;  // the offset in force at the event
};

void expectBoxesByTheClock(const ZoneRule& rule, double lat, double lon, Date d,
                           std::initializer_list<ChangeDayBox> boxes) {
    SolunarState followed = stateAt(lat, lon, "0", "0");
    followed.zoneRule = &rule;
    testing::showDay(followed, d);
    for (const ChangeDayBox& b : boxes) {
        const std::string negated = std::string(b.fixedZone).insert(0, "-");
        SolunarState fixed = stateAt(lat, lon, b.fixedZone, negated.c_str());
        testing::showDay(fixed, d);
        EXPECT_EQ(followed.*b.box, fixed.*b.box) << b.name << " (+" << b.fixedZone << ")";
    }
}

TEST(ZoneByDate, ChangeDayEventsReadInTheOffsetAtTheirInstant) {
    // Sydney, 3 October 2027, clocks forward at 2:00: the Moon underfoot
    // period starts at 12:41 AM, still winter time; everything after 3:00 in
    // summer time.
    const TwoSeasonRule sydney(11, 10);
    const double lat = -(33 + 52 / 60.0);
    const double lon = 151 + 13 / 60.0;
    expectBoxesByTheClock(sydney, lat, lon, ymd(2027, 10, 3),
                          {{"major below", &SolunarState::Text5, "10"},
                           {"sunrise", &SolunarState::Text2, "11"},
                           {"sunset", &SolunarState::Text32, "11"},
                           {"moonrise", &SolunarState::Text21, "11"},
                           {"moonset", &SolunarState::Text39, "11"},
                           {"major above", &SolunarState::Text4, "11"}});
    SolunarState s = sydneyIn("11", "-11");
    s.zoneRule = &sydney;
    testing::showDay(s, ymd(2027, 10, 3));
    EXPECT_EQ(s.Text5, "12:41 AM");
}

TEST(ZoneByDate, HalfHourChangeDay) {
    // Lord Howe Island, 3 October 2027: +10.5 until 2:00, then +11.
    const TwoSeasonRule lordHowe(11, 10.5);
    expectBoxesByTheClock(lordHowe, -31.55, 159.08, ymd(2027, 10, 3),
                          {{"major below", &SolunarState::Text5, "10.5"},
                           {"sunrise", &SolunarState::Text2, "11"},
                           {"moonrise", &SolunarState::Text21, "11"}});
}

TEST(ZoneByDate, BoxesCarryTheInstantTheyShow) {
    SolunarState s = sydneyIn("10", "-10");
    testing::showDay(s, ymd(2027, 7, 15));
    ASSERT_EQ(s.Text2.view().substr(6), "AM");
    const int hour = std::stoi(std::string(s.Text2.view().substr(0, 2)));
    const int minute = std::stoi(std::string(s.Text2.view().substr(3, 2)));
    EXPECT_EQ(s.Text2At, instantOf(ymd(2027, 7, 15)) + (hour * 60 + minute) * 60 - 10 * 3600);
    // A major period starts where its box says, in the zone of the day.
    ASSERT_NE(s.Text4At, kNoInstant);
    EXPECT_EQ((s.Text4At + 10 * 3600) % 86400 / 60 % 60,
              std::stoi(std::string(s.Text4.view().substr(3, 2))));

    // Reykjavik, 15 June 2025 (GMT): the Sun sets in the day's last half
    // minute. The box reads "12:00 AM" as the clock rounds it; the instant
    // is the next midnight, not the one that began the day.
    SolunarState r = stateAt(64 + 8 / 60.0, -(21 + 56 / 60.0), "0", "0");
    testing::showDay(r, ymd(2025, 6, 15));
    EXPECT_EQ(r.Text32, "12:00 AM");
    EXPECT_EQ(r.Text32At, instantOf(ymd(2025, 6, 16)));
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
