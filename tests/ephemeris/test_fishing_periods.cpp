// The displayed date's moonrise and moonset and the four fishing periods.
#include <gtest/gtest.h>

#include "sydney.h"

namespace moonbite {
namespace {

using testing::stateAt;
using testing::sydney;
using testing::ymd;

struct PeriodCase {
    const char* name;
    Date date;
    const char* moonrise;    // Text21
    const char* moonset;     // Text39
    const char* majorAbove;  // Text4
    const char* majorBelow;  // Text5
    const char* minorAbove;  // Text7: the minor period at the moonset
    const char* minorBelow;  // Text8: the minor period at the moonrise
};
void PrintTo(const PeriodCase& c, std::ostream* os) {
    *os << c.name;
}

class SydneyPeriods : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(SydneyPeriods, Boxes) {
    const PeriodCase& c = GetParam();
    SolunarState s = sydney();
    char text[40];
    std::snprintf(text, sizeof text, "%d %s %d", c.date.day(),
                  std::string(englishMonthName(c.date.month())).c_str(), c.date.year());
    s.displayedDateText = text;
    majorminor(s);
    EXPECT_EQ(s.Text21, c.moonrise);
    EXPECT_EQ(s.Text39, c.moonset);
    EXPECT_EQ(s.Text4, c.majorAbove);
    EXPECT_EQ(s.Text5, c.majorBelow);
    EXPECT_EQ(s.Text7, c.minorAbove);
    EXPECT_EQ(s.Text8, c.minorBelow);
    // After the call the computation date is the next day and the flags are clear.
    EXPECT_EQ(s.computationDate, c.date + 1);
    EXPECT_EQ(s.dai, 3);
    EXPECT_FALSE(s.nomoon || s.nomoonset || s.special);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SydneyPeriods,
    ::testing::Values(
        // Major above: midpoint of 07:13 PM and the next day's 05:51 AM less an hour;
        // major below: midpoint of 04:43 AM and 07:13 PM less an hour.
        PeriodCase{"Jan21_BothEvents", ymd(2000, 1, 21), "07:13 PM", "04:43 AM", "11:32 PM",
                   "10:58 AM", "03:43 AM", "06:13 PM"},
        // No moonset: the Moon-above period uses 16 January's 00:21 AM moonset,
        // the minor period at the moonset starts an hour before it, on the 15th.
        PeriodCase{"Jan15_NoMoonset", ymd(2000, 1, 15), "12:43 PM", "No moonset", "05:32 PM",
                   "05:14 AM", "11:21 PM", "11:43 AM"},
        // No moonrise: the first attempt falls on 30 January, the second uses
        // 28 January's 11:39 PM moonrise; 30 January's 00:13 AM rise gives 11:13 PM.
        PeriodCase{"Jan29_NoMoonrise", ymd(2000, 1, 29), "No moonrise", "01:03 PM", "05:21 AM",
                   "05:38 PM", "12:03 PM", "11:13 PM"},
        // Moonrise at 12:49 AM and the next at 01:28 AM: the minor period at the
        // moonrise would start the day before, so its box shows five blanks.
        PeriodCase{"Jan31_MinorAtRiseOnTheDayBefore", ymd(2000, 1, 31), "12:49 AM", "02:51 PM",
                   "06:50 AM", "07:09 PM", "01:51 PM", "     "},
        // Moonset at 12:21 AM: its minor period falls on the 15th.
        PeriodCase{"Jan16_MinorAtSetOnTheDayBefore", ymd(2000, 1, 16), "01:48 PM", "12:21 AM",
                   "06:24 PM", "06:04 AM", "     ", "12:48 PM"},
        PeriodCase{"Jan22_MajorAboveOnTheDayBefore", ymd(2000, 1, 22), "08:03 PM", "05:51 AM",
                   "     ", "11:57 AM", "04:51 AM", "07:03 PM"},
        PeriodCase{"Jan8_MajorBelowOnTheNextDay", ymd(2000, 1, 8), "05:54 AM", "08:11 PM",
                   "12:02 PM", "     ", "07:11 PM", "04:54 AM"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Majorminor, StoredTextsUseFifteenBlanks) {
    SolunarState s = sydney();
    s.displayedDateText = "31 January 2000";
    majorminor(s);
    EXPECT_EQ(s.minorRiseText, "               ");
    EXPECT_EQ(s.minorSetText, "01:51 PM");
    EXPECT_EQ(s.majorAboveText, "06:50 AM");
    EXPECT_EQ(s.majorBelowText, "07:09 PM");
    EXPECT_EQ(s.moonriseText, "12:49 AM");
}

TEST(Majorminor, NoMoonriseLeavesTheFormattedStaleTimeInTheText) {
    // The box says "No moonrise"; the program-wide text holds the clock time
    // of the most recent rise found, on the displayed date.
    SolunarState s = sydney();
    s.displayedDateText = "29 January 2000";
    majorminor(s);
    EXPECT_EQ(s.Text21, "No moonrise");
    EXPECT_EQ(s.moonriseText, "11:39 PM");
}

TEST(Majorminor, MoonStayingUpLeavesThePeriodTexts) {
    SolunarState s = stateAt(70, 25, "2", "-2");
    s.majorAboveText = "kept";
    s.minorRiseText = "kept";
    s.displayedDateText = "19 January 2000";
    majorminor(s);
    EXPECT_EQ(s.Text21, "Stays Up");
    EXPECT_EQ(s.Text39, "Stays Up");
    for (const Text* box : {&s.Text4, &s.Text5, &s.Text7, &s.Text8})
        EXPECT_EQ(*box, "Can't Calc");
    EXPECT_EQ(s.majorAboveText, "kept");
    EXPECT_EQ(s.minorRiseText, "kept");
    EXPECT_EQ(s.computationDate, ymd(2000, 1, 20));
    EXPECT_EQ(s.dai, 3);
}

}  // namespace
}  // namespace moonbite
