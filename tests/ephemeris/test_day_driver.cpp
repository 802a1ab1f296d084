// The day computation driver: year limits, roll-over, labels, graph rows and
// the order of the whole day.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "sydney.h"

// The replacement pair below is new/malloc and delete/free by design.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Counts allocations while a test asks for it, to show that the per-day
// procedures never touch the heap.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};
}  // namespace

void* operator new(std::size_t n) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace moonbite {
namespace {

using testing::sydney;
using testing::ymd;

void setControls(SolunarState& s, const char* day, int monthIndex, const char* year) {
    s.Text1 = day;
    s.Combo1 = monthIndex;
    s.Text10 = year;
}

Date rolled(const char* day, int monthIndex, const char* year) {
    SolunarState s = sydney();
    setControls(s, day, monthIndex, year);
    datechanged(s);
    return s.computationDate - 1;  // majorminor leaves it at the next day
}

TEST(YearLimits, ClampTo1901And2200) {
    SolunarState s;
    s.Text10 = "2300";
    applyYearLimits(s);
    EXPECT_EQ(s.Text10, "2200");
    s.Text10 = "1800";
    applyYearLimits(s);
    EXPECT_EQ(s.Text10, "1901");
    s.Text10 = "";
    applyYearLimits(s);
    EXPECT_EQ(s.Text10, "1901");
    s.Text10 = "1999";
    applyYearLimits(s);
    EXPECT_EQ(s.Text10, "1999");
}

struct RollCase {
    const char* name;
    const char* day;
    int monthIndex;
    const char* year;
    Date expected;
};
void PrintTo(const RollCase& c, std::ostream* os) {
    *os << c.name;
}

class DayRollOver : public ::testing::TestWithParam<RollCase> {};

TEST_P(DayRollOver, LandsOn) {
    const RollCase& c = GetParam();
    EXPECT_EQ(rolled(c.day, c.monthIndex, c.year), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DayRollOver,
    ::testing::Values(
        RollCase{"Day0March2000_LeapFebruary", "0", 2, "2000", ymd(2000, 2, 29)},
        RollCase{"Day0March1999", "0", 2, "1999", ymd(1999, 2, 28)},
        RollCase{"Day0March2100_CenturyNotLeap", "0", 2, "2100", ymd(2100, 2, 28)},
        RollCase{"Day0May_ThirtyFirstFails", "0", 4, "2000", ymd(2000, 4, 30)},
        RollCase{"Day0August", "0", 7, "2000", ymd(2000, 7, 31)},
        RollCase{"Day0January_PreviousYear", "0", 0, "2000", ymd(1999, 12, 31)},
        RollCase{"Day32January", "32", 0, "2000", ymd(2000, 2, 1)},
        RollCase{"Day30February", "30", 1, "2001", ymd(2001, 3, 1)},
        RollCase{"Day32December1999", "32", 11, "1999", ymd(2000, 1, 1)},
        RollCase{"Day0January1901_RollsPastTheLimit", "0", 0, "1901", ymd(1900, 12, 31)},
        RollCase{"Day32December2200_RollsPastTheLimit", "32", 11, "2200", ymd(2201, 1, 1)},
        RollCase{"DayNotANumber_ReadsAsZero", "abc", 5, "2000", ymd(2000, 5, 31)},
        RollCase{"Year2300_Clamped", "15", 5, "2300", ymd(2200, 6, 15)}),
    [](const auto& info) { return std::string(info.param.name); });

struct Recorder : DateControlHandlers {
    std::vector<std::string> calls;
    void Combo1_Click(SolunarState& s) override {
        calls.push_back("Combo1_Click " + std::to_string(s.Combo1));
    }
    void Text10_Change(SolunarState& s) override {
        calls.push_back("Text10_Change " + s.Text10.str());
    }
};

TEST(DayRollOver, CallsTheControlHandlersWhereTheControlsChange) {
    SolunarState s = sydney();
    Recorder r;
    setControls(s, "32", 11, "1999");
    rollDay(s, &r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"Combo1_Click 0", "Text10_Change 2000"}));

    r.calls.clear();
    setControls(s, "0", 0, "2000");
    rollDay(s, &r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"Combo1_Click 11", "Text10_Change 1999"}));

    r.calls.clear();
    setControls(s, "0", 4, "2000");
    rollDay(s, &r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"Combo1_Click 3"}));

    r.calls.clear();
    setControls(s, "3000", 5, "2300");  // the year limit changes the box too
    applyYearLimits(s, &r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"Text10_Change 2200"}));

    r.calls.clear();
    setControls(s, "15", 5, "2000");  // a valid date changes nothing
    datechanged(s, &r);
    EXPECT_TRUE(r.calls.empty());
}

TEST(EquinoxSolstice, FixedCalendarDays) {
    for (int month = 1; month <= 12; ++month) {
        for (int day : {20, 21, 22, 23}) {
            const std::string_view label = equinoxOrSolstice(month, day);
            const bool marked = day == 21 || day == 22;
            if (marked && (month == 3 || month == 9)) {
                EXPECT_EQ(label, "Equinox") << month << "/" << day;
            } else if (marked && (month == 6 || month == 12)) {
                EXPECT_EQ(label, "Solstice") << month << "/" << day;
            } else {
                EXPECT_EQ(label, "") << month << "/" << day;
            }
        }
    }
    SolunarState s = sydney();
    setDateControls(s, ymd(2000, 12, 22));
    datechanged(s);
    EXPECT_TRUE(s.Label19.visible);
    EXPECT_EQ(s.Label19.caption, "Solstice");
    setDateControls(s, ymd(2000, 12, 23));
    datechanged(s);
    EXPECT_FALSE(s.Label19.visible);
}

TEST(Datechanged, TodayButtonAndWeekday) {
    SolunarState s = sydney();
    s.today = ymd(2026, 12, 7);
    setDateControls(s, ymd(2026, 12, 7));
    datechanged(s);
    EXPECT_FALSE(s.Command7Visible);
    EXPECT_EQ(s.myweekday, 2);
    EXPECT_EQ(s.Label10, "Monday");
    setDateControls(s, ymd(2026, 12, 8));
    datechanged(s);
    EXPECT_TRUE(s.Command7Visible);
    EXPECT_EQ(s.Label10, "Tuesday");
}

TEST(Weakday, NamesAndOutOfRange) {
    SolunarState s;
    s.myweekday = 1;
    weakday(s);
    EXPECT_EQ(s.Label10, "Sunday");
    s.myweekday = 7;
    weakday(s);
    EXPECT_EQ(s.Label10, "Saturday");
    s.myweekday = 8;
    weakday(s);
    EXPECT_EQ(s.Label10, "");
}

TEST(GraphRows, LabelsAcrossAMonthEndInBothOrders) {
    SolunarState s = sydney();
    s.plottedDayCount = 3;
    s.dateOrderMonthFirst = false;
    setDateControls(s, ymd(2000, 1, 30));
    datechanged(s);
    ASSERT_EQ(s.graphRowCount, 3);
    EXPECT_EQ(s.graphRows[0].label, "30/1");
    EXPECT_EQ(s.graphRows[1].label, "31/1");
    EXPECT_EQ(s.graphRows[2].label, "1/2");
    s.dateOrderMonthFirst = true;
    datechanged(s);
    EXPECT_EQ(s.graphRows[1].label, "1/31");
    EXPECT_EQ(s.graphRows[2].label, "2/1");
}

TEST(GraphRows, ValuesAreTheDaysPredictions) {
    SolunarState s = sydney();
    s.plottedDayCount = 2;
    setDateControls(s, ymd(2000, 1, 21));
    datechanged(s);
    ASSERT_EQ(s.graphRowCount, 2);
    EXPECT_EQ(s.graphRows[0].value, 100);  // the full moon
    EXPECT_EQ(s.graphRows[1].value, 33);   // DF = -1

    s.plottedDayCount = 60;
    setDateControls(s, ymd(2000, 1, 20));
    datechanged(s);
    SolunarState single = sydney();
    for (int i = 0; i < 60; ++i) {
        single.computationDate = ymd(2000, 1, 20) + i;
        calcmoon(single);
        ASSERT_EQ(s.graphRows[static_cast<std::size_t>(i)].value, single.predictionScore) << i;
    }
}

TEST(Datechanged, WholeDayOfSydney21January2000) {
    SolunarState s = sydney();
    s.plottedDayCount = 15;
    setDateControls(s, ymd(2000, 1, 21));
    buildActivationPhaseTable(s);
    datechanged(s);
    showLunarDistance(s);
    EXPECT_EQ(s.displayedDateText, "21 January 2000");
    EXPECT_EQ(s.Text2, "05:05 AM");
    EXPECT_EQ(s.Text32, "07:07 PM");
    EXPECT_EQ(s.Text21, "07:13 PM");
    EXPECT_EQ(s.Text39, "04:43 AM");
    EXPECT_EQ(s.Text4, "11:32 PM");
    EXPECT_EQ(s.Text5, "10:58 AM");
    EXPECT_EQ(s.Image3, 106);
    EXPECT_EQ(s.Text9, "14");
    EXPECT_EQ(s.Picture2BackColor, 12582912);
    EXPECT_EQ(s.Image5Tip, "Displayed date fishing prediction : Excellent");
    EXPECT_TRUE(s.Label14.visible);
    EXPECT_EQ(s.Label14.caption, "Full Moon");
    EXPECT_EQ(s.Label18.caption, "02:40 PM");
    EXPECT_EQ(s.Label13, "361956");
    EXPECT_EQ(s.computationDate, ymd(2000, 1, 21));
    EXPECT_EQ(s.phaseTableYear, 1999);  // the January table
}

TEST(Datechanged, TipIsLeftAloneWhenTipsAreOff) {
    SolunarState s = sydney();
    s.textTipsShown = false;
    s.Image5Tip = "";
    setDateControls(s, ymd(2000, 1, 21));
    datechanged(s);
    EXPECT_EQ(s.Image5Tip, "");
}

TEST(Datechanged, LeavesTheComputationDateAtTheNextDay) {
    SolunarState s = sydney();
    setDateControls(s, ymd(2000, 1, 31));
    datechanged(s);
    EXPECT_EQ(s.computationDate, ymd(2000, 2, 1));
}

TEST(PerDayProcedures, NeverAllocate) {
    SolunarState s = sydney();
    s.plottedDayCount = 60;
    setDateControls(s, ymd(2000, 1, 21));
    computeDisplayedDay(s);  // warm up
    gAllocations = 0;
    gCounting = true;
    for (int i = 0; i < 40; ++i) {
        setDateControls(s, ymd(2000, 1, 1) + i * 11);
        datechanged(s);
        showLunarDistance(s);
        calcmoontime(s);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations, 0);
}

}  // namespace
}  // namespace moonbite
