#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>

#include "chart_test_data.h"
#include "chart_widget.h"

using moonbite::ChartWidget;

namespace {

class ChartRender : public ::testing::Test {
  protected:
    void SetUp() override {
        chart.resize(800, 300);
        moonbite::testdata::fill(chart, 15);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }

    QImage grabAs(int type) {
        chart.setChartType(type);
        return chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    ChartWidget chart;
};

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

QAbstractSeries* onlySeries(ChartWidget& chart) {
    const QList<QAbstractSeries*> all = chart.chart()->series();
    return all.size() == 1 ? all.first() : nullptr;
}

}  // namespace

TEST_F(ChartRender, BarTypesDrawOneBarPerRow) {
    for (int type : {ChartWidget::Bar3D, ChartWidget::Bar2D}) {
        chart.setChartType(type);
        auto* bars = qobject_cast<QBarSeries*>(onlySeries(chart));
        ASSERT_NE(bars, nullptr) << type;
        EXPECT_FALSE(bars->useOpenGL());
        ASSERT_EQ(bars->count(), 1);
        const QBarSet* set = bars->barSets().first();
        ASSERT_EQ(set->count(), 15);
        for (int r = 1; r <= 15; ++r)
            EXPECT_DOUBLE_EQ(set->at(r - 1), moonbite::testdata::levelAt(r)) << r;
    }
}

TEST_F(ChartRender, LineTypesDrawOnePointPerRow) {
    for (int type : {ChartWidget::Line3D, ChartWidget::Line2D}) {
        chart.setChartType(type);
        QAbstractSeries* series = onlySeries(chart);
        ASSERT_NE(series, nullptr);
        ASSERT_EQ(series->type(), QAbstractSeries::SeriesTypeLine) << type;
        EXPECT_FALSE(series->useOpenGL());
        const QList<QPointF> points = static_cast<QLineSeries*>(series)->points();
        ASSERT_EQ(points.size(), 15);
        for (int r = 1; r <= 15; ++r)
            EXPECT_EQ(points[r - 1], QPointF(r - 1, moonbite::testdata::levelAt(r))) << r;
    }
}

TEST_F(ChartRender, AreaTypesFillUnderTheRows) {
    for (int type : {ChartWidget::Area3D, ChartWidget::Area2D}) {
        chart.setChartType(type);
        auto* area = qobject_cast<QAreaSeries*>(onlySeries(chart));
        ASSERT_NE(area, nullptr) << type;
        EXPECT_FALSE(area->useOpenGL());
        EXPECT_EQ(area->lowerSeries(), nullptr);  // down to the axis
        const QList<QPointF> points = area->upperSeries()->points();
        ASSERT_EQ(points.size(), 15);
        EXPECT_EQ(points[2], QPointF(2, 100));
    }
}

TEST_F(ChartRender, StepTypesHoldEachValueAcrossItsDay) {
    for (int type : {ChartWidget::Step3D, ChartWidget::Step2D}) {
        chart.setChartType(type);
        QAbstractSeries* series = onlySeries(chart);
        ASSERT_NE(series, nullptr);
        ASSERT_EQ(series->type(), QAbstractSeries::SeriesTypeLine) << type;
        const QList<QPointF> points = static_cast<QLineSeries*>(series)->points();
        ASSERT_EQ(points.size(), 30);
        for (int r = 1; r <= 15; ++r) {
            const double v = moonbite::testdata::levelAt(r);
            EXPECT_EQ(points[2 * (r - 1)], QPointF(r - 1.5, v)) << r;
            EXPECT_EQ(points[2 * (r - 1) + 1], QPointF(r - 0.5, v)) << r;
        }
    }
}

TEST_F(ChartRender, SwitchingTypesBackAndForthKeepsOneSeries) {
    for (int round = 0; round < 2; ++round)
        for (int type = 7; type >= 0; --type) {
            chart.setChartType(type);
            ASSERT_EQ(chart.chart()->series().size(), 1) << type;
            EXPECT_FALSE(chart.grab().isNull());
        }
}

TEST_F(ChartRender, DepthTypesHaveExtrudedFaces) {
    // 13 of the 15 sample bars are above zero: a top and a side face each; the
    // empty ones keep a flat top.
    chart.setChartType(ChartWidget::Bar3D);
    EXPECT_EQ(chart.depthItemCount(), 13 * 2 + 2);
    chart.setChartType(ChartWidget::Line3D);
    EXPECT_EQ(chart.depthItemCount(), 14);  // one strip between each pair of points
    chart.setChartType(ChartWidget::Area3D);
    EXPECT_EQ(chart.depthItemCount(), 15);  // the strips and the right-hand end
    chart.setChartType(ChartWidget::Step3D);
    EXPECT_GT(chart.depthItemCount(), 15);  // treads and risers
    for (int type :
         {ChartWidget::Bar2D, ChartWidget::Line2D, ChartWidget::Area2D, ChartWidget::Step2D}) {
        chart.setChartType(type);
        EXPECT_EQ(chart.depthItemCount(), 0) << type;
    }
}

TEST_F(ChartRender, DepthTypesLookDifferentFromTheirFlatTwins) {
    for (int flat :
         {ChartWidget::Bar2D, ChartWidget::Line2D, ChartWidget::Area2D, ChartWidget::Step2D}) {
        const QImage flatImage = grabAs(flat);
        const QImage deepImage = grabAs(flat - 1);
        // Thousands of pixels of faces, not a stray antialiasing difference.
        EXPECT_GT(differingPixels(flatImage, deepImage), 2000) << flat;
    }
}

TEST_F(ChartRender, BarTopFaceIsDrawnAboveTheBar) {
    chart.setChartType(ChartWidget::Bar3D);
    const QPoint top = chart.pointPosition(3);  // a 100 % bar
    const QImage deep = chart.grab().toImage();
    chart.setChartType(ChartWidget::Bar2D);
    const QImage flat = chart.grab().toImage();
    const QPoint probe = top + QPoint(3, -4);  // inside the top face
    EXPECT_EQ(flat.pixelColor(probe), chart.backdropColor());
    EXPECT_NE(deep.pixelColor(probe), chart.backdropColor());
}

TEST_F(ChartRender, EveryTypeDrawsTheData) {
    // Empty rows against the sample rows: each type must show the difference.
    ChartWidget empty;
    empty.resize(800, 300);
    empty.setRowCount(15);
    empty.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&empty));
    for (int type = 0; type <= 7; ++type) {
        chart.setChartType(type);
        empty.setChartType(type);
        const QImage withData = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage without = empty.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(differingPixels(withData, without), 5000) << type;
    }
}

TEST_F(ChartRender, BackdropFillsThePlot) {
    chart.setChartType(ChartWidget::Bar2D);
    const QColor colours[] = {QColor(0, 128, 192), QColor(230, 220, 160), QColor(40, 40, 40)};
    for (const QColor& colour : colours) {
        chart.setBackdropColor(colour);
        EXPECT_EQ(chart.backdropColor(), colour);
        const QRect plot = chart.plotRect();
        // Between bars 1 and 2, halfway between the 75 and 100 grid lines,
        // and over the empty row 6 halfway between 50 and 75.
        const int x = (chart.pointPosition(1).x() + chart.pointPosition(2).x()) / 2;
        const int y = plot.top() + plot.height() / 8;
        const QImage image = chart.grab().toImage();
        EXPECT_EQ(image.pixelColor(x, y), colour) << colour.name().toStdString();
        EXPECT_EQ(image.pixelColor(chart.pointPosition(6).x(), plot.top() + plot.height() * 3 / 8),
                  colour);
    }
}

TEST_F(ChartRender, AxesCarryTheTitlesAndTheFixedRange) {
    QChart* qchart = chart.chart();
    ASSERT_EQ(qchart->axes(Qt::Horizontal).size(), 1);
    ASSERT_EQ(qchart->axes(Qt::Vertical).size(), 1);
    EXPECT_EQ(qchart->axes(Qt::Horizontal).first()->titleText(), "Future Dates");
    EXPECT_EQ(qchart->axes(Qt::Vertical).first()->titleText(), "Prediction %");

    chart.setAxisTitles("Days ahead", "Chance %");
    qchart = chart.chart();
    EXPECT_EQ(qchart->axes(Qt::Horizontal).first()->titleText(), "Days ahead");
    EXPECT_EQ(qchart->axes(Qt::Vertical).first()->titleText(), "Chance %");

    auto* values = qobject_cast<QValueAxis*>(qchart->axes(Qt::Vertical).first());
    ASSERT_NE(values, nullptr);
    EXPECT_DOUBLE_EQ(values->min(), 0.0);
    EXPECT_DOUBLE_EQ(values->max(), 100.0);
    EXPECT_EQ(values->tickCount(), 5);
}

TEST_F(ChartRender, FewRowsShowEveryLabel) {
    EXPECT_EQ(chart.labelStride(), 1);
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).first());
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->count(), 15);
    for (int r = 1; r <= 15; ++r)
        EXPECT_EQ(chart.labelText(r), moonbite::testdata::dateLabel(r));
    QList<int> all;
    for (int r = 1; r <= 15; ++r)
        all.append(r);
    EXPECT_EQ(chart.labelledRows(), all);
    // Each label sits under its own bar, below the axis.
    chart.setChartType(ChartWidget::Bar2D);
    const QRect plot = chart.plotRect();
    for (int r = 1; r <= 15; ++r) {
        const QRect label = chart.labelRect(r);
        EXPECT_NEAR(label.center().x(), chart.pointPosition(r).x(), 2) << r;
        EXPECT_GT(label.top(), plot.bottom()) << r;
        EXPECT_LT(label.bottom(), chart.height()) << r;
    }
}

TEST_F(ChartRender, CrowdedLabelsAreThinnedOutAndNeverTouch) {
    moonbite::testdata::fill(chart, 60);
    for (int width : {800, 500, 1200, 300}) {
        chart.resize(width, 300);
        chart.updateNow();
        const QList<int> shown = chart.labelledRows();
        ASSERT_FALSE(shown.isEmpty()) << width;
        EXPECT_EQ(shown.first(), 1) << width;  // today is always labelled
        if (width <= 800) {
            ASSERT_GT(chart.labelStride(), 1) << width;
            EXPECT_LT(shown.size(), 60) << width;
        }
        const QRect plot = chart.plotRect();
        for (qsizetype k = 0; k < shown.size(); ++k) {
            const QRect label = chart.labelRect(shown[k]);
            EXPECT_TRUE(chart.rect().contains(label)) << width << " row " << shown[k];
            EXPECT_GT(label.top(), plot.bottom());
            EXPECT_EQ(chart.labelText(shown[k]), moonbite::testdata::dateLabel(shown[k]));
            if (k > 0) {
                const QRect before = chart.labelRect(shown[k - 1]);
                EXPECT_GT(label.left() - before.right(), 4) << width << " row " << shown[k];
            }
        }
        EXPECT_EQ(chart.labelText(2), "");
        // Evenly thinned: every stride-th row, none skipped in between.
        for (qsizetype k = 1; k < shown.size(); ++k)
            EXPECT_EQ(shown[k] - shown[k - 1], chart.labelStride());
        EXPECT_GT(shown.last() + chart.labelStride(), 60);
    }
}

TEST_F(ChartRender, BlankAndRepeatedLabelsKeepOneCategoryPerRow) {
    for (int r : {2, 3, 9}) {
        chart.setRow(r);
        chart.setRowLabel("");
    }
    for (int r : {5, 6, 7}) {
        chart.setRow(r);
        chart.setRowLabel("same");
    }
    chart.setChartType(ChartWidget::Bar2D);
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).first());
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->count(), 15);
    for (int r = 2; r <= 15; ++r)
        EXPECT_GT(chart.pointPosition(r).x(), chart.pointPosition(r - 1).x() + 20) << r;
    EXPECT_EQ(chart.rowLabelAt(6), "same");
    EXPECT_EQ(chart.labelText(6), "same");
    EXPECT_EQ(chart.labelText(9), "");
}

TEST_F(ChartRender, NewDatesRedrawTheLabels) {
    chart.setRow(1);
    chart.setRowLabel("12/31");
    chart.updateNow();
    EXPECT_EQ(chart.labelText(1), "12/31");
    EXPECT_EQ(chart.labelText(2), moonbite::testdata::dateLabel(2));
    chart.setRowCount(3);
    EXPECT_EQ(chart.labelledRows(), QList<int>({1, 2, 3}));
    EXPECT_EQ(chart.labelText(4), "");
}

TEST_F(ChartRender, CategoryLabelsAreDrawn) {
    // Labels in the backdrop's colour would pass the geometry checks unseen.
    chart.setChartType(ChartWidget::Bar2D);
    const QImage image = chart.grab().toImage();
    for (int r : {1, 8, 15}) {
        const QRect box = chart.labelRect(r);
        int ink = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                ink += image.pixelColor(x, y) != chart.backdropColor();
        EXPECT_GT(ink, 20) << r;
    }
}

TEST_F(ChartRender, AGrabRightAfterTheSettersShowsTheNewData) {
    chart.setChartType(ChartWidget::Bar2D);
    chart.updateNow();
    const QImage before = chart.grab().toImage();
    for (int r = 1; r <= 15; ++r) {
        chart.setRow(r);
        chart.setData(QString::number(100 - moonbite::testdata::levelAt(r)));
    }
    const QImage straightAway = chart.grab().toImage();  // no event loop, no updateNow
    chart.updateNow();
    const QImage settled = chart.grab().toImage();
    EXPECT_EQ(straightAway, settled);
    EXPECT_NE(straightAway, before);
}

TEST_F(ChartRender, ResizingMovesThePoints) {
    chart.setChartType(ChartWidget::Line2D);
    const QPoint before = chart.pointPosition(15);
    chart.resize(500, 400);
    const QPoint after = chart.pointPosition(15);
    EXPECT_LT(after.x(), before.x());
    EXPECT_LT(after.x(), 500);
    const QRect plot = chart.plotRect();
    EXPECT_NEAR(chart.pointPosition(6).y(), plot.bottom(), 2);  // 0 % sits on the axis
    EXPECT_NEAR(chart.pointPosition(3).y(), plot.top(), 2);     // 100 % at the top
    EXPECT_EQ(chart.pointPosition(0), QPoint());
    EXPECT_EQ(chart.pointPosition(16), QPoint());
}
