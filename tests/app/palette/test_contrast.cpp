// The contrast measure and the colour that is moved until it reads.
#include <gtest/gtest.h>

#include <QColor>
#include <cmath>

#include "contrast.h"

namespace moonbite {
namespace {

TEST(Contrast, RatiosAsWcagDefinesThem) {
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0x33, 0x66, 0x99), QColor(0x33, 0x66, 0x99)), 1.0, 1e-9);
    // Known pairs: #777777 on white is just short of 4.5, #767676 just over.
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    // The clock-change blue on a dark grey window.
    EXPECT_NEAR(contrastRatio(QColor(0x1f, 0x5f, 0xa8), QColor(0x35, 0x35, 0x35)), 2.0, 0.1);
    EXPECT_NEAR(relativeLuminance(QColor(0xff, 0x00, 0x00)), 0.2126, 1e-4);
}

TEST(Contrast, DarkAndLightBackgrounds) {
    EXPECT_TRUE(isDark(QColor(0x35, 0x35, 0x35)));
    EXPECT_FALSE(isDark(QColor(0xef, 0xef, 0xef)));
    EXPECT_EQ(blackOrWhiteOn(QColor(0x00, 0x80, 0xc0)), QColor(Qt::black));
    EXPECT_EQ(blackOrWhiteOn(QColor(0x20, 0x20, 0x60)), QColor(Qt::white));
}

double hueDistance(const QColor& a, const QColor& b) {
    const double d = std::fabs(a.toHsl().hslHueF() - b.toHsl().hslHueF()) * 360.0;
    return std::min(d, 360.0 - d);
}

TEST(Contrast, ReadableKeepsTheHueAndGoesNoFurtherThanNeeded) {
    const QColor dark(0x35, 0x35, 0x35);
    const QColor light(0xef, 0xef, 0xef);
    for (const QColor hue : {QColor(0x1f, 0x5f, 0xa8), QColor(0xa0, 0x5a, 0x00),
                             QColor(0x30, 0x40, 0x60), QColor(0x55, 0x55, 0x55)}) {
        for (const QColor& background : {dark, light, QColor(Qt::white), QColor(Qt::black)}) {
            const QColor r = readableOn(hue, background);
            EXPECT_GE(contrastRatio(r, background), 4.5)
                << hue.name().toStdString() << " on " << background.name().toStdString();
            if (hue.toHsl().hslSaturationF() > 0.2F && r != Qt::white && r != Qt::black) {
                EXPECT_LT(hueDistance(r, hue), 4.0) << hue.name().toStdString();
            }
            // One lightness step back would not read: the nearest readable shade.
            if (r != hue && r != Qt::white && r != Qt::black) {
                const QColor hsl = r.toHsl();
                const float back = isDark(background) ? -2.0F / 255.0F : 2.0F / 255.0F;
                const QColor nearer =
                    QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), hsl.lightnessF() + back);
                EXPECT_LT(contrastRatio(nearer, background), 4.5) << r.name().toStdString();
            }
        }
    }
    // A colour that already reads is left as it is.
    EXPECT_EQ(readableOn(QColor(0x1f, 0x5f, 0xa8), Qt::white), QColor(0x1f, 0x5f, 0xa8));
    // A lower bar for graphics.
    const QColor line = readableOn(QColor(0x30, 0x40, 0x60), dark, 3.0);
    EXPECT_GE(contrastRatio(line, dark), 3.0);
    EXPECT_LT(contrastRatio(line, dark), 3.3);
    // Blue stays blue on the dark window: more blue than red.
    const QColor blue = readableOn(QColor(0x1f, 0x5f, 0xa8), dark);
    EXPECT_GT(blue.blue(), blue.red() + 40);
    const QColor amber = readableOn(QColor(0xa0, 0x5a, 0x00), dark);
    EXPECT_GT(amber.red(), amber.blue() + 60);
}

TEST(Contrast, TheDarkPaletteIsDark) {
    const QPalette p = darkDesktopPalette();
    EXPECT_TRUE(isDark(p.color(QPalette::Window)));
    EXPECT_TRUE(isDark(p.color(QPalette::Base)));
    EXPECT_GE(contrastRatio(p.color(QPalette::WindowText), p.color(QPalette::Window)), 7.0);
    EXPECT_GE(contrastRatio(p.color(QPalette::Link), p.color(QPalette::Base)), 4.5);
}

}  // namespace
}  // namespace moonbite
