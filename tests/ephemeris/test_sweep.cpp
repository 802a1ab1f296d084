// Every day from 1901 to 2200, at latitudes from pole to pole and zones from
// -12 to +13, runs the whole day and leaves only well-formed texts.
#include <gtest/gtest.h>

#include <cctype>

#include "sydney.h"

namespace moonbite {
namespace {

using testing::ymd;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "hh:mm AM" with hh 01..12 and mm 00..59.
bool isClock(std::string_view t) {
    if (t.size() != 8 || t[2] != ':' || t[5] != ' ') return false;
    if (!isDigit(t[0]) || !isDigit(t[1]) || !isDigit(t[3]) || !isDigit(t[4])) return false;
    const int h = (t[0] - '0') * 10 + (t[1] - '0');
    return h >= 1 && h <= 12 && t[3] <= '5' && (t.substr(6) == "AM" || t.substr(6) == "PM");
}

// "hh : mm" with mm 00..59, or "0 hrs" / "24 hrs".
bool isDayLength(std::string_view t) {
    if (t == "0 hrs" || t == "24 hrs") return true;
    return t.size() == 7 && isDigit(t[0]) && isDigit(t[1]) && t.substr(2, 3) == " : " &&
           isDigit(t[5]) && t[5] <= '5' && isDigit(t[6]);
}

bool isWholeNumber(std::string_view t) {
    if (!t.empty() && t[0] == '-') t.remove_prefix(1);
    if (t.empty()) return false;
    for (char c : t)
        if (!isDigit(c)) return false;
    return true;
}

bool oneOf(std::string_view t, std::initializer_list<std::string_view> allowed) {
    for (std::string_view a : allowed)
        if (t == a) return true;
    return false;
}

struct Observer {
    const char* name;
    double lat;
    double lon;
    const char* zone;
    const char* negated;
};
void PrintTo(const Observer& o, std::ostream* os) {
    *os << o.name;
}

// 89°59'S .. 89°59'N, east and west, zones -12 .. +13 (a half hour among them).
class Sweep : public ::testing::TestWithParam<Observer> {};

TEST_P(Sweep, ThreeCenturiesOfWellFormedDays) {
    {
        const Observer& o = GetParam();
        SolunarState s = testing::stateAt(o.lat, o.lon, o.zone, o.negated);
        s.plottedDayCount = 2;
        long checked = 0;
        for (Date d = ymd(1901, 1, 1); d <= ymd(2200, 12, 31); d = d + 1) {
            setDateControls(s, d);
            datechanged(s);
            showLunarDistance(s);
            ++checked;
            SCOPED_TRACE(::testing::Message() << o.lat << " " << o.zone << " " << d.year() << "-"
                                              << d.month() << "-" << d.day());
            ASSERT_TRUE(isClock(s.Text2) || oneOf(s.Text2, {"No Rise", "Stays Down"}))
                << s.Text2.view();
            ASSERT_TRUE(isClock(s.Text32) || oneOf(s.Text32, {"No Set", "Stays Up"}))
                << s.Text32.view();
            ASSERT_TRUE(isDayLength(s.Text6)) << s.Text6.view();
            ASSERT_TRUE(isClock(s.Text21) ||
                        oneOf(s.Text21, {"No moonrise", "No Rise", "Stays Up", "Stays Down"}))
                << s.Text21.view();
            ASSERT_TRUE(isClock(s.Text39) ||
                        oneOf(s.Text39, {"No moonset", "No Set", "Stays Up", "Stays Down"}))
                << s.Text39.view();
            for (const Text* box : {&s.Text4, &s.Text5, &s.Text7, &s.Text8}) {
                ASSERT_TRUE(isClock(*box) || oneOf(*box, {"     ", "", "Can't Calc"}))
                    << box->view();
            }
            ASSERT_GE(s.moonAge, 0);
            ASSERT_LE(s.moonAge, 30);
            ASSERT_GE(s.Image3, 100);
            ASSERT_LE(s.Image3, 111);
            ASSERT_TRUE(isWholeNumber(s.Label13)) << s.Label13.view();
            ASSERT_TRUE(!s.Label14.visible || isClock(s.Label18.caption))
                << s.Label18.caption.view();
        }
        EXPECT_EQ(checked, 300 * 365 + 73);  // 73 leap days: 2100 and 2200 have none
    }
}

INSTANTIATE_TEST_SUITE_P(
    Observers, Sweep,
    ::testing::Values(Observer{"SouthPole8959S_GmtMinus12", -(89 + 59 / 60.0), -179.5, "-12", "12"},
                      Observer{"Sydney_Gmt10", -(33 + 52 / 60.0), 151 + 13 / 60.0, "10", "-10"},
                      Observer{"Equator_Gmt13", 0, 0, "13", "-13"},
                      Observer{"CapeCod_GmtMinus5", 41.5, -70.25, "-5", "5"},
                      Observer{"Bangalore_Gmt5_5", 12.97, 77.6, "5.5", "-5.5"},
                      Observer{"Arctic70N_Gmt2", 70, 25, "2", "-2"},
                      Observer{"NorthPole8959N_Gmt13", 89 + 59 / 60.0, 179 + 59 / 60.0, "13",
                               "-13"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moonbite
