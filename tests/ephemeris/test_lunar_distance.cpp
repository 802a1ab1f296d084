// The Moon's distance and its gauge.
#include <gtest/gtest.h>

#include "sydney.h"

namespace moonbite {
namespace {

using testing::ymd;

TEST(Lundist, DayNumberAtNoon) {
    EXPECT_EQ(dayNumberAtNoon(2000, 1, 1), 2451545);
    EXPECT_EQ(dayNumberAtNoon(1999, 12, 31), 2451544);
    EXPECT_EQ(dayNumberAtNoon(2000, 3, 1), 2451605);
    EXPECT_EQ(dayNumberAtNoon(1901, 1, 1), 2415386);
}

TEST(Lundist, FirstOfJanuary2000) {
    // IP and DP from the fractional parts of -5.1 / 29.530588853 and
    // -17.2 / 27.55454988 after normalising into 0..1 (2 pi = 6.28318):
    // DI = 63.1350263 Earth radii, 402684 km.
    SolunarState s;
    s.computationDate = ymd(2000, 1, 1);
    lundist(s);
    EXPECT_NEAR(s.lunarDistance, 63.1350263, 1e-7);
    EXPECT_EQ(s.Label13, "402684");
    EXPECT_FLOAT_EQ(s.Image2Left, static_cast<float>((s.lunarDistance - 39) * 100));
    EXPECT_FLOAT_EQ(s.Line1X2, s.Image2Left - 15);
}

TEST(Lundist, GaugeLimitsAndScale) {
    SolunarState s;
    s.lunarDistance = 56.0;
    placeGauge(s);
    EXPECT_FLOAT_EQ(s.Image2Left, 1700);
    EXPECT_FLOAT_EQ(s.Line1X2, 1685);
    s.lunarDistance = 64.8;
    placeGauge(s);
    EXPECT_FLOAT_EQ(s.Image2Left, 2580);
    s.scaleFactor = 2;
    placeGauge(s);
    EXPECT_FLOAT_EQ(s.Image2Left, 5160);
    EXPECT_FLOAT_EQ(s.Line1X2, 5145);
}

TEST(Lundist, StaysWithinTheSeriesRange) {
    // 60.4 +- (3.3 + 0.6 + 0.5): every day lies within 56.0 .. 64.8 Earth radii
    // and the kilometres are the floor of 6378.155 times it.
    SolunarState s;
    for (Date d = ymd(1901, 1, 1); d <= ymd(2200, 12, 31); d = d + 7) {
        s.computationDate = d;
        lundist(s);
        ASSERT_GE(s.lunarDistance, 56.0);
        ASSERT_LE(s.lunarDistance, 64.8);
        ASSERT_EQ(Val(s.Label13), std::floor(6378.155 * s.lunarDistance));
    }
}

}  // namespace
}  // namespace moonbite
