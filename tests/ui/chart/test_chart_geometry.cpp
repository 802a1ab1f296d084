#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QSet>

#include "chart_geometry.h"

namespace cg = moonbite::chartgeom;

TEST(ChartGeometry, ParsesTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("100")), 100.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("33")), 33.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("  66 ")), 66.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("66%")), 66.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("1e2")), 100.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("-5")), -5.0);
}

TEST(ChartGeometry, TextWithoutANumberReadsAsZero) {
    EXPECT_DOUBLE_EQ(cg::parseValue(QString()), 0.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("Good")), 0.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("nan")), 0.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("inf")), 0.0);
    EXPECT_DOUBLE_EQ(cg::parseValue(QStringLiteral("1e999")), 0.0);
}

TEST(ChartGeometry, StepPointsHoldEachValueAcrossItsCategory) {
    const QList<QPointF> points = cg::stepPoints({10.0, 40.0, 20.0});
    ASSERT_EQ(points.size(), 6);
    const QList<QPointF> expected = {{-0.5, 10}, {0.5, 10}, {0.5, 40},
                                     {1.5, 40},  {1.5, 20}, {2.5, 20}};
    EXPECT_EQ(points, expected);
    EXPECT_TRUE(cg::stepPoints({}).isEmpty());
}

TEST(ChartGeometry, LabelStrideKeepsLabelsApart) {
    EXPECT_EQ(cg::labelStride(50.0, 40.0), 1);
    EXPECT_EQ(cg::labelStride(40.0, 40.0), 1);
    EXPECT_EQ(cg::labelStride(11.0, 40.0), 4);
    EXPECT_EQ(cg::labelStride(20.0, 40.0), 2);
    EXPECT_EQ(cg::labelStride(20.1, 40.0), 2);
    EXPECT_EQ(cg::labelStride(19.9, 40.0), 3);
    EXPECT_EQ(cg::labelStride(0.0, 40.0), 1);  // no plot yet
    for (double slot = 1.0; slot < 60.0; slot += 0.7) {
        const int stride = cg::labelStride(slot, 37.0);
        EXPECT_GE(stride * slot, 37.0) << slot;
        EXPECT_LT((stride - 1) * slot, 37.0) << slot;  // and no sparser than needed
    }
}

TEST(ChartGeometry, PlaceholderCategoriesAreDistinctAndInvisible) {
    const QStringList names = cg::placeholderCategories(60);
    ASSERT_EQ(names.size(), 60);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 60);
    const QFontMetricsF metrics(QFont{});
    for (const QString& name : names) {
        EXPECT_FALSE(name.isEmpty());
        EXPECT_EQ(metrics.horizontalAdvance(name), 0.0);
    }
    EXPECT_EQ(cg::placeholderCategories(3), cg::placeholderCategories(60).mid(0, 3));
    EXPECT_TRUE(cg::placeholderCategories(0).isEmpty());
    EXPECT_TRUE(cg::placeholderCategories(-1).isEmpty());
}

TEST(ChartGeometry, DepthGoesRightAndLessSteeplyUp) {
    const QPointF back = cg::depthOffset(10);
    EXPECT_DOUBLE_EQ(back.x(), 10.0);
    EXPECT_LT(back.y(), 0.0);    // up on the screen
    EXPECT_GT(back.y(), -10.0);  // flatter than 45 degrees
}

TEST(ChartGeometry, ExtrudedFacesGoBackByTheOffset) {
    const QRectF front(10, 50, 20, 40);  // x 10..30, y 50..90
    const QPointF back(5, -5);
    const QPolygonF top = cg::topFace(front, back);
    EXPECT_EQ(top, QPolygonF({{10, 50}, {30, 50}, {35, 45}, {15, 45}}));
    const QPolygonF side = cg::sideFace(front, back);
    EXPECT_EQ(side, QPolygonF({{30, 50}, {35, 45}, {35, 85}, {30, 90}}));
    const QPolygonF outline = cg::boxOutline(front, back);
    EXPECT_TRUE(outline.containsPoint({20, 70}, Qt::OddEvenFill));   // front
    EXPECT_TRUE(outline.containsPoint({20, 47}, Qt::OddEvenFill));   // top face
    EXPECT_TRUE(outline.containsPoint({33, 60}, Qt::OddEvenFill));   // side face
    EXPECT_FALSE(outline.containsPoint({12, 46}, Qt::OddEvenFill));  // left of the top face
    EXPECT_FALSE(outline.containsPoint({34, 88}, Qt::OddEvenFill));  // below the side face
    EXPECT_FALSE(outline.containsPoint({20, 95}, Qt::OddEvenFill));
}

TEST(ChartGeometry, RibbonAndSegmentDistance) {
    const QPolygonF strip = cg::ribbon({0, 100}, {40, 60}, {10, -10});
    EXPECT_EQ(strip, QPolygonF({{0, 100}, {40, 60}, {50, 50}, {10, 90}}));
    EXPECT_DOUBLE_EQ(cg::distanceToSegment({5, 5}, {0, 0}, {10, 0}), 5.0);
    EXPECT_DOUBLE_EQ(cg::distanceToSegment({-3, 4}, {0, 0}, {10, 0}), 5.0);
    EXPECT_DOUBLE_EQ(cg::distanceToSegment({13, 4}, {0, 0}, {10, 0}), 5.0);
    EXPECT_DOUBLE_EQ(cg::distanceToSegment({3, 4}, {0, 0}, {0, 0}), 5.0);
}

TEST(ChartGeometry, SteeplyRisingStripsShowTheirUnderside) {
    const QPointF back(10, -6);
    EXPECT_TRUE(cg::ribbonShowsTop({0, 50}, {40, 50}, back));  // level
    EXPECT_TRUE(cg::ribbonShowsTop({0, 50}, {40, 90}, back));  // falling
    EXPECT_TRUE(cg::ribbonShowsTop({0, 50}, {40, 30}, back));  // rising gently
    EXPECT_FALSE(cg::ribbonShowsTop({0, 50}, {40, 0}, back));  // rising steeply
    EXPECT_FALSE(cg::ribbonShowsTop({0, 50}, {0, 10}, back));  // straight up
}
