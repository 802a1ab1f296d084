// Every day from 1901 to 2200, at latitudes from pole to pole and zones from
// -12 to +13, runs the whole day and leaves only well-formed texts.
#include <gtest/gtest.h>

#include <regex>

#include "sydney.h"

namespace moonbite {
namespace {

using testing::ymd;

bool isClock(std::string_view t) {
    static const std::regex clock(R"((0[1-9]|1[0-2]):[0-5][0-9] (AM|PM))");
    return std::regex_match(t.begin(), t.end(), clock);
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
    const std::regex dayLength(R"(\d\d : [0-5]\d|0 hrs|24 hrs)");
    const std::regex number(R"(-?\d+)");
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
            ASSERT_TRUE(std::regex_match(s.Text6.c_str(), dayLength)) << s.Text6.view();
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
            ASSERT_TRUE(std::regex_match(s.Label13.c_str(), number));
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
