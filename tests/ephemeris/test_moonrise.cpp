// Moonrise and moonset of one date.
#include <gtest/gtest.h>

#include "sydney.h"

namespace moonbite {
namespace {

using testing::stateAt;
using testing::sydney;
using testing::ymd;

void runFor(SolunarState& s, Date d, int dai) {
    s.computationDate = d;
    s.dai = static_cast<std::int16_t>(dai);
    moonriseset(s);
}

TEST(Moonriseset, Sydney21January2000) {
    // Geoscience Australia gives moonrise 20:14 and moonset 05:43 daylight time
    // (19:14 and 04:43 at GMT+10); the series agrees within a minute.
    SolunarState s = sydney();
    runFor(s, ymd(2000, 1, 21), 1);
    EXPECT_EQ(s.moonsetText, "04:43 AM");
    EXPECT_EQ(s.moonriseText, "07:13 PM");
    EXPECT_EQ(s.riseClockText, "   19 : 13");
    EXPECT_EQ(s.setClockText, "   4 : 43");
    EXPECT_EQ(s.Text21, "07:13 PM");
    EXPECT_EQ(s.Text7, "07:13 PM");
    EXPECT_EQ(s.Text39, "04:43 AM");
    EXPECT_EQ(s.Text8, "04:43 AM");
    EXPECT_FALSE(s.nomoon);
    EXPECT_FALSE(s.nomoonset);
    EXPECT_FALSE(s.special);
}

TEST(Moonriseset, Sydney15January2000HasNoMoonset) {
    SolunarState s = sydney();
    runFor(s, ymd(2000, 1, 14), 0);  // moonset 11:45 PM
    EXPECT_EQ(s.setClockText, "   23 : 45");
    runFor(s, ymd(2000, 1, 15), 1);
    EXPECT_EQ(s.moonriseText, "12:43 PM");
    EXPECT_EQ(s.moonsetText, "No Set");
    EXPECT_EQ(s.Text39, "No Set");
    EXPECT_EQ(s.Text8, "");
    EXPECT_TRUE(s.nomoonset);
    EXPECT_FALSE(s.nomoon);
    EXPECT_EQ(s.setClockText, "   23 : 45");  // kept from the day before
}

TEST(Moonriseset, Sydney29January2000HasNoMoonrise) {
    SolunarState s = sydney();
    runFor(s, ymd(2000, 1, 28), 0);
    EXPECT_EQ(s.moonriseText, "11:39 PM");
    runFor(s, ymd(2000, 1, 29), 1);
    EXPECT_EQ(s.moonsetText, "01:03 PM");
    EXPECT_EQ(s.moonriseText, "No Rise");
    EXPECT_EQ(s.Text21, "No Rise");
    EXPECT_EQ(s.Text7, "");
    EXPECT_TRUE(s.nomoon);
    EXPECT_EQ(s.riseClockText, "   23 : 39");
}

TEST(Moonriseset, FlagsAreNeverClearedHere) {
    SolunarState s = sydney();
    runFor(s, ymd(2000, 1, 29), 1);
    ASSERT_TRUE(s.nomoon);
    runFor(s, ymd(2000, 1, 21), 1);
    EXPECT_TRUE(s.nomoon);
}

TEST(Moonriseset, OtherDaysUpdateTextsButNotBoxes) {
    SolunarState s = sydney();
    s.Text21 = "before";
    s.Text7 = "before";
    runFor(s, ymd(2000, 1, 21), 0);
    EXPECT_EQ(s.moonriseText, "07:13 PM");
    EXPECT_EQ(s.riseClockText, "   19 : 13");
    EXPECT_EQ(s.Text21, "before");
    EXPECT_EQ(s.Text7, "before");
    // The no-event texts are written whatever the day index.
    runFor(s, ymd(2000, 1, 29), 2);
    EXPECT_EQ(s.Text21, "No Rise");
    EXPECT_EQ(s.Text7, "");
}

TEST(Moonriseset, Arctic70NorthStaysDownThenUp) {
    SolunarState s = stateAt(70, 25, "2", "-2");
    runFor(s, ymd(2000, 1, 6), 0);
    EXPECT_EQ(s.Text21, "Stays Down");
    EXPECT_EQ(s.Text39, "Stays Down");
    EXPECT_EQ(s.moonriseText, "Stays Down");
    EXPECT_EQ(s.moonsetText, "Stays Down");
    for (const Text* box : {&s.Text4, &s.Text5, &s.Text7, &s.Text8})
        EXPECT_EQ(*box, "Can't Calc");
    EXPECT_TRUE(s.special);

    s.special = false;
    runFor(s, ymd(2000, 1, 19), 1);
    EXPECT_EQ(s.Text21, "Stays Up");
    EXPECT_EQ(s.moonsetText, "Stays Up");
    EXPECT_TRUE(s.special);
}

TEST(Moonriseset, ClockTextsSurviveStayingDays) {
    SolunarState s = stateAt(70, 25, "2", "-2");
    s.riseClockText = "   7 : 5";
    s.setClockText = "   8 : 6";
    runFor(s, ymd(2000, 1, 6), 1);
    EXPECT_EQ(s.riseClockText, "   7 : 5");
    EXPECT_EQ(s.setClockText, "   8 : 6");
}

}  // namespace
}  // namespace moonbite
