// The pictures: found for every valid number, refused for others, and drawn
// the way round the calendar needs them.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "moon_pictures.h"

namespace moonbite {
namespace {

QImage argb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// How much of a phase picture's inner disc is lit, and on which side.
struct LitCount {
    int disc = 0;
    int bright = 0;
    int brightLeft = 0;
    int brightRight = 0;
    [[nodiscard]] double fraction() const { return disc > 0 ? double(bright) / disc : 0.0; }
};

// The disc is found from the opaque pixels, then only its inner 90% is
// counted so the rim drawn round every phase does not count as light.
LitCount countLit(const QImage& image) {
    double sumX = 0, sumY = 0;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= 250) {
                sumX += x + 0.5;
                sumY += y + 0.5;
                ++opaque;
            }
        }
    }
    LitCount c;
    if (opaque == 0) return c;
    const double cx = sumX / opaque, cy = sumY / opaque;
    const double inner = 0.9 * std::sqrt(opaque / M_PI);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy > inner * inner) continue;
            ++c.disc;
            if (qGray(image.pixel(x, y)) > 128) {
                ++c.bright;
                (dx < 0 ? c.brightLeft : c.brightRight) += 1;
            }
        }
    }
    return c;
}

LitCount countLit(int number) {
    return countLit(argb(moonPhasePixmap(number, 96)));
}

TEST(MoonPhasePictures, EveryPhaseRendersAtTheAskedSizeAndRatio) {
    for (int n = 100; n <= 111; ++n) {
        for (const qreal dpr : {1.0, 1.5, 2.0}) {
            const QPixmap p = moonPhasePixmap(n, 40, dpr);
            ASSERT_FALSE(p.isNull()) << n << " at " << dpr;
            EXPECT_EQ(p.size(), QSize(qRound(40 * dpr), qRound(40 * dpr))) << n;
            EXPECT_DOUBLE_EQ(p.devicePixelRatio(), dpr) << n;
            EXPECT_EQ(p.deviceIndependentSize(), QSizeF(40, 40)) << n;
        }
    }
}

TEST(MoonPhasePictures, NumbersOutsideTheRangeGiveNothing) {
    for (const int n : {-1, 0, 1, 99, 112, 200}) {
        EXPECT_TRUE(moonPhasePixmap(n, 32).isNull()) << n;
        EXPECT_TRUE(moonPhaseIcon(n).isNull()) << n;
        EXPECT_TRUE(moonPhaseResource(n).isEmpty()) << n;
    }
}

TEST(MoonPhasePictures, BadSizesGiveNothing) {
    EXPECT_TRUE(moonPhasePixmap(106, 0).isNull());
    EXPECT_TRUE(moonPhasePixmap(106, -5).isNull());
    EXPECT_TRUE(moonPhasePixmap(106, 32, 0.0).isNull());
    EXPECT_TRUE(moonPhasePixmap(106, 32, -1.0).isNull());
    EXPECT_TRUE(moonPhasePixmap(106, 32, std::nan("")).isNull());
    EXPECT_TRUE(predictionPicture(0, 20).isNull());
    EXPECT_TRUE(gaugeScale(300, 0).isNull());
    EXPECT_TRUE(gaugeMarker(-1, 10).isNull());
}

TEST(MoonPhasePictures, IconsAndResourcesExistForEveryPhase) {
    for (int n = 100; n <= 111; ++n) {
        EXPECT_EQ(moonPhaseResource(n), QStringLiteral(":/images/moon-%1.svg").arg(n));
        const QIcon icon = moonPhaseIcon(n);
        ASSERT_FALSE(icon.isNull()) << n;
        const QImage image = argb(icon.pixmap(QSize(32, 32)));
        ASSERT_FALSE(image.isNull()) << n;
        EXPECT_GT(qAlpha(image.pixel(16, 16)), 200) << n << ": the centre of the disc is drawn";
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << n << ": the corners stay transparent";
    }
}

TEST(MoonPhasePictures, LightGrowsToFullAndShrinksToNew) {
    std::vector<double> lit;
    for (int n = 100; n <= 111; ++n)
        lit.push_back(countLit(n).fraction());
    EXPECT_LT(lit[0], 0.02) << "new moon";
    EXPECT_GT(lit[6], 0.95) << "full moon";
    for (int i = 1; i <= 6; ++i)
        EXPECT_GT(lit[i], lit[i - 1]) << "waxing " << 100 + i;
    for (int i = 7; i <= 11; ++i)
        EXPECT_LT(lit[i], lit[i - 1]) << "waning " << 100 + i;
    for (std::size_t i = 0; i < lit.size(); ++i) {
        EXPECT_GE(lit[i], lit[0]) << 100 + i << " is darker than the new moon";
        EXPECT_LE(lit[i], lit[6]) << 100 + i << " is brighter than the full moon";
    }
}

TEST(MoonPhasePictures, WaningMirrorsWaxingInSize) {
    for (int k = 1; k <= 5; ++k) {
        EXPECT_NEAR(countLit(100 + k).fraction(), countLit(112 - k).fraction(), 0.04)
            << 100 + k << " against " << 112 - k;
    }
}

// The share of the inner 90% of a unit disc lit at a phase angle, with the
// terminator the half-ellipse x = cos(angle) * sqrt(1 - y^2) (waxing; the
// waning half is its mirror image, which has the same share).
double expectedInnerShare(double angle) {
    constexpr int kSteps = 600;
    int inside = 0, lit = 0;
    for (int i = 0; i < kSteps; ++i) {
        for (int j = 0; j < kSteps; ++j) {
            const double x = -0.9 + 1.8 * (i + 0.5) / kSteps;
            const double y = -0.9 + 1.8 * (j + 0.5) / kSteps;
            if (x * x + y * y > 0.81) continue;
            ++inside;
            if (x > std::cos(angle) * std::sqrt(1.0 - y * y)) ++lit;
        }
    }
    return double(lit) / inside;
}

TEST(MoonPhasePictures, TerminatorIsTheEllipseOfEvenPhaseSteps) {
    // The pictures stand 30 degrees of phase apart.
    for (int n = 101; n <= 111; ++n) {
        const double angle = (n - 100) * 30.0 * M_PI / 180.0;
        EXPECT_NEAR(countLit(n).fraction(), expectedInnerShare(angle), 0.03) << n;
    }
}

TEST(MoonPhasePictures, WaxingIsLitOnTheRightAndWaningOnTheLeft) {
    for (int n = 101; n <= 105; ++n) {
        const LitCount c = countLit(n);
        EXPECT_GT(c.brightRight, c.brightLeft) << n;
        if (n <= 103) {
            EXPECT_LT(c.brightLeft, c.disc / 50) << n << ": the left half stays dark";
        }
    }
    for (int n = 107; n <= 111; ++n) {
        const LitCount c = countLit(n);
        EXPECT_GT(c.brightLeft, c.brightRight) << n;
        if (n >= 109) {
            EXPECT_LT(c.brightRight, c.disc / 50) << n << ": the right half stays dark";
        }
    }
}

TEST(MoonPhasePictures, QuartersAreHalfLit) {
    EXPECT_NEAR(countLit(103).fraction(), 0.5, 0.06);
    EXPECT_NEAR(countLit(109).fraction(), 0.5, 0.06);
}

TEST(MoonPhasePictures, FullMoonShowsShadingNotAFlatDisc) {
    const QImage image = argb(moonPhasePixmap(106, 96));
    int lightest = 0, darkest = 255;
    for (int y = 24; y < 72; ++y) {
        for (int x = 24; x < 72; ++x) {
            const int g = qGray(image.pixel(x, y));
            lightest = std::max(lightest, g);
            darkest = std::min(darkest, g);
        }
    }
    EXPECT_GT(lightest - darkest, 25);
    EXPECT_GT(darkest, 128) << "the shading stays subtle";
}

TEST(MoonPhasePictures, NewMoonRimIsVisibleOnADarkBackground) {
    QImage sheet(64, 64, QImage::Format_ARGB32);
    sheet.fill(QColor(0x10, 0x14, 0x20));
    {
        QPainter p(&sheet);
        p.drawPixmap(0, 0, moonPhasePixmap(100, 64));
    }
    // Somewhere along the middle row the rim stands out from the disc inside it.
    int brightest = 0;
    for (int x = 0; x < 32; ++x)
        brightest = std::max(brightest, qGray(sheet.pixel(x, 32)));
    EXPECT_GT(brightest - qGray(sheet.pixel(16, 32)), 30);
}

TEST(MoonPhasePictures, EdgeIsCrispAtTwiceTheRatio) {
    // At ratio 2 the limb still goes from clear to solid within two device
    // pixels, so it was drawn at that resolution, not scaled up.
    const QPixmap p = moonPhasePixmap(106, 64, 2.0);
    ASSERT_EQ(p.size(), QSize(128, 128));
    const QImage image = argb(p);
    int firstSeen = -1, firstSolid = -1;
    for (int x = 0; x < 64; ++x) {
        const int a = qAlpha(image.pixel(x, 64));
        if (firstSeen < 0 && a > 100) firstSeen = x;
        if (firstSolid < 0 && a >= 250) firstSolid = x;
    }
    ASSERT_GE(firstSeen, 0);
    ASSERT_GE(firstSolid, 0);
    EXPECT_LE(firstSolid - firstSeen, 2);
}

TEST(MoonPhasePictures, RenderingsAreCached) {
    const QPixmap a = moonPhasePixmap(104, 48, 2.0);
    const QPixmap b = moonPhasePixmap(104, 48, 2.0);
    EXPECT_EQ(a.cacheKey(), b.cacheKey());
    EXPECT_NE(a.cacheKey(), moonPhasePixmap(104, 48, 1.0).cacheKey());
    EXPECT_NE(a.cacheKey(), moonPhasePixmap(105, 48, 2.0).cacheKey());
}

// The prediction colours of the calendar: Poor, Fair, Good, Excellent.
const QColor kPredictionColours[] = {QColor(255, 255, 255), QColor(255, 255, 128),
                                     QColor(0, 255, 0), QColor(0, 0, 192)};

TEST(PredictionPicture, FishReadsOnEveryPredictionColour) {
    const QPixmap fish = predictionPicture(64, 40);
    ASSERT_FALSE(fish.isNull());
    for (const QColor& colour : kPredictionColours) {
        QImage box(fish.size(), QImage::Format_ARGB32);
        box.fill(colour);
        {
            QPainter p(&box);
            p.drawPixmap(0, 0, fish);
        }
        int contrasting = 0;
        for (int y = 0; y < box.height(); ++y) {
            for (int x = 0; x < box.width(); ++x) {
                if (std::abs(qGray(box.pixel(x, y)) - qGray(colour.rgb())) >= 100) ++contrasting;
            }
        }
        EXPECT_GT(contrasting, box.width() * box.height() / 20) << colour.name().toStdString();
    }
}

TEST(PredictionPicture, KeepsItsShapeInAnyBox) {
    // In a tall box the fish stays fish-shaped: the rows above and below it
    // stay clear and its drawn width exceeds its drawn height.
    const QImage image = argb(predictionPicture(64, 120));
    ASSERT_EQ(image.size(), QSize(64, 120));
    int top = -1, bottom = -1, left = 64, right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) < 128) continue;
            if (top < 0) top = y;
            bottom = y;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    ASSERT_GE(top, 0);
    EXPECT_GT(top, 20);
    EXPECT_LT(bottom, 100);
    EXPECT_GT(right - left, (bottom - top) * 3 / 2);
}

TEST(Gauge, TrackSpanMatchesTheDrawingAtAnySize) {
    const GaugeTrackSpan span = gaugeTrackSpan();
    ASSERT_LT(span.nearX, span.farX);
    for (const QSize size : {QSize(300, 40), QSize(600, 40), QSize(450, 60)}) {
        const QImage image = argb(gaugeScale(size.width(), size.height()));
        ASSERT_EQ(image.size(), size);
        const int row = size.height() * 19 / 40;
        const int nearX = qRound(span.nearX * size.width());
        const int farX = qRound(span.farX * size.width());
        EXPECT_GT(qAlpha(image.pixel(nearX + 4, row)), 200) << "track starts at the near end";
        EXPECT_LT(qAlpha(image.pixel(nearX - 4, row)), 50) << "nothing just before it";
        EXPECT_GT(qAlpha(image.pixel(farX - 4, row)), 200) << "track reaches the far end";
        EXPECT_LT(qAlpha(image.pixel(farX + 4, row)), 50) << "nothing just after it";
        // Warm at the near end, cool at the far end.
        const QColor nearColour(image.pixel(nearX + 8, row));
        const QColor farColour(image.pixel(farX - 8, row));
        EXPECT_GT(nearColour.red(), nearColour.blue());
        EXPECT_GT(farColour.blue(), farColour.red());
    }
}

TEST(Gauge, MarkerPointsDownFromItsBottomCentre) {
    for (const QSize size : {QSize(20, 28), QSize(40, 28)}) {
        const QImage image = argb(gaugeMarker(size.width(), size.height(), 2.0));
        ASSERT_EQ(image.size(), size * 2);
        int lowest = -1;
        for (int y = image.height() - 1; y >= 0 && lowest < 0; --y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) >= 128) lowest = y;
            }
        }
        ASSERT_GE(lowest, 0);
        EXPECT_GE(lowest, image.height() * 9 / 10) << "the tip is at the bottom";
        int minX = image.width(), maxX = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, lowest)) >= 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
        }
        EXPECT_NEAR((minX + maxX + 1) / 2.0, image.width() / 2.0, 2.0) << "and centred";
        EXPECT_LE(maxX - minX, 6) << "and pointed";
    }
}

TEST(AppIcon, HasEveryDesktopSize) {
    const QIcon icon = appIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (const int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(n, n))) << n;
        const QImage image = argb(icon.pixmap(QSize(n, n)));
        ASSERT_EQ(image.size(), QSize(n, n)) << n;
        EXPECT_GT(qAlpha(image.pixel(n / 2, n / 2)), 250) << n << ": the square is solid";
        EXPECT_LT(qAlpha(image.pixel(0, 0)), 60) << n << ": its corners are rounded";
    }
}

TEST(AppIcon, DisabledLooksGreyedOut) {
    const QImage normal = argb(appIcon().pixmap(QSize(32, 32)));
    const QImage disabled = argb(appIcon().pixmap(QSize(32, 32), QIcon::Disabled));
    ASSERT_EQ(disabled.size(), normal.size());
    int colourful = 0, faded = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QColor d(disabled.pixel(x, y));
            EXPECT_LE(std::abs(d.red() - d.blue()), 2) << x << "," << y;
            if (QColor(normal.pixel(x, y)).saturation() > 100) ++colourful;
            if (qAlpha(disabled.pixel(x, y)) < qAlpha(normal.pixel(x, y))) ++faded;
        }
    }
    EXPECT_GT(colourful, 200) << "the normal icon is in colour";
    EXPECT_GT(faded, 500);
}

TEST(AppIcon, MoonStandsOutAtSixteenPixels) {
    const QImage image = argb(appIcon().pixmap(QSize(16, 16)));
    ASSERT_EQ(image.size(), QSize(16, 16));
    int light = 0, dark = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int g = qGray(image.pixel(x, y));
            if (qAlpha(image.pixel(x, y)) < 200) continue;
            if (g > 170) ++light;
            if (g < 90) ++dark;
        }
    }
    EXPECT_GE(light, 10) << "light moon and fish pixels";
    EXPECT_GE(dark, 60) << "on a dark ground";
}

}  // namespace
}  // namespace moonbite
