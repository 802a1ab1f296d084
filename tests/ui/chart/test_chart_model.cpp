#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include "chart_test_data.h"
#include "chart_widget.h"

using moonbite::ChartWidget;

TEST(ChartModel, StartsEmptyWithTheDefaults) {
    ChartWidget chart;
    EXPECT_EQ(chart.rowCount(), 0);
    EXPECT_EQ(chart.row(), 0);
    EXPECT_EQ(chart.chartType(), ChartWidget::Bar3D);
    EXPECT_EQ(chart.categoryAxisTitle(), "Future Dates");
    EXPECT_EQ(chart.valueAxisTitle(), "Prediction %");
    EXPECT_EQ(chart.backdropColor(), QColor(0, 128, 192));
    EXPECT_EQ(chart.focusPolicy(), Qt::StrongFocus);
}

TEST(ChartModel, TheCurrentRowIsTheOneWritten) {
    ChartWidget chart;
    chart.setRowCount(3);
    EXPECT_EQ(chart.row(), 1);
    chart.setRow(2);
    chart.setRowLabel("1/22");
    chart.setData("66");
    EXPECT_EQ(chart.row(), 2);
    EXPECT_EQ(chart.rowLabelAt(2), "1/22");
    EXPECT_DOUBLE_EQ(chart.valueAt(2), 66.0);
    EXPECT_EQ(chart.rowLabelAt(1), "");
    EXPECT_DOUBLE_EQ(chart.valueAt(1), 0.0);
    EXPECT_EQ(chart.rowLabelAt(3), "");
    EXPECT_DOUBLE_EQ(chart.valueAt(3), 0.0);

    chart.setRow(3);
    chart.setData("100");
    chart.setRow(1);
    chart.setRowLabel("1/21");
    EXPECT_DOUBLE_EQ(chart.valueAt(3), 100.0);
    EXPECT_EQ(chart.rowLabelAt(1), "1/21");
    EXPECT_EQ(chart.rowLabelAt(2), "1/22");  // untouched by the later writes
}

TEST(ChartModel, RowsOutOfRangeAreIgnored) {
    ChartWidget chart;
    chart.setRowCount(4);
    chart.setRow(3);
    chart.setRow(0);
    EXPECT_EQ(chart.row(), 3);
    chart.setRow(5);
    EXPECT_EQ(chart.row(), 3);
    chart.setRow(-2);
    EXPECT_EQ(chart.row(), 3);
    EXPECT_EQ(chart.rowLabelAt(0), "");
    EXPECT_EQ(chart.rowLabelAt(5), "");
    EXPECT_DOUBLE_EQ(chart.valueAt(0), 0.0);
    EXPECT_DOUBLE_EQ(chart.valueAt(99), 0.0);
}

TEST(ChartModel, WritesWithoutRowsChangeNothing) {
    ChartWidget chart;
    chart.setRowLabel("x");
    chart.setData("50");
    EXPECT_EQ(chart.rowCount(), 0);
    chart.setRowCount(1);
    EXPECT_EQ(chart.rowLabelAt(1), "");
    EXPECT_DOUBLE_EQ(chart.valueAt(1), 0.0);
}

TEST(ChartModel, GrowingKeepsRowsAndAddsEmptyOnes) {
    ChartWidget chart;
    moonbite::testdata::fill(chart, 5);
    chart.setRowCount(8);
    EXPECT_EQ(chart.rowCount(), 8);
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(chart.rowLabelAt(r), moonbite::testdata::dateLabel(r)) << r;
        EXPECT_DOUBLE_EQ(chart.valueAt(r), moonbite::testdata::levelAt(r)) << r;
    }
    for (int r = 6; r <= 8; ++r) {
        EXPECT_EQ(chart.rowLabelAt(r), "") << r;
        EXPECT_DOUBLE_EQ(chart.valueAt(r), 0.0) << r;
    }
}

TEST(ChartModel, ShrinkingKeepsTheFirstRowsAndRegrownRowsAreEmpty) {
    ChartWidget chart;
    moonbite::testdata::fill(chart, 10);
    EXPECT_EQ(chart.row(), 10);
    chart.setRowCount(4);
    EXPECT_EQ(chart.rowCount(), 4);
    EXPECT_EQ(chart.row(), 4);  // the current row follows the shrink
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(chart.rowLabelAt(r), moonbite::testdata::dateLabel(r));
        EXPECT_DOUBLE_EQ(chart.valueAt(r), moonbite::testdata::levelAt(r));
    }
    EXPECT_EQ(chart.rowLabelAt(5), "");
    chart.setRowCount(10);
    for (int r = 5; r <= 10; ++r) {
        EXPECT_EQ(chart.rowLabelAt(r), "") << r;
        EXPECT_DOUBLE_EQ(chart.valueAt(r), 0.0) << r;
    }
    chart.setRowCount(0);
    EXPECT_EQ(chart.row(), 0);
    chart.setRowCount(2);
    EXPECT_EQ(chart.row(), 1);
}

TEST(ChartModel, RowCountIsBounded) {
    ChartWidget chart;
    chart.setRowCount(-3);
    EXPECT_EQ(chart.rowCount(), 0);
    chart.setRowCount(100000);
    EXPECT_EQ(chart.rowCount(), ChartWidget::kMaxRows);
}

TEST(ChartModel, DataTextIsReadAsANumber) {
    ChartWidget chart;
    chart.setRowCount(1);
    chart.setData("100");
    EXPECT_DOUBLE_EQ(chart.valueAt(1), 100.0);
    chart.setData(" 33");
    EXPECT_DOUBLE_EQ(chart.valueAt(1), 33.0);
    chart.setData("66%");
    EXPECT_DOUBLE_EQ(chart.valueAt(1), 66.0);
    chart.setData("Excellent");
    EXPECT_DOUBLE_EQ(chart.valueAt(1), 0.0);
}

TEST(ChartModel, InvalidChartTypesAreIgnored) {
    ChartWidget chart;
    chart.setChartType(ChartWidget::Area2D);
    EXPECT_EQ(chart.chartType(), 5);
    chart.setChartType(8);
    EXPECT_EQ(chart.chartType(), 5);
    chart.setChartType(-1);
    EXPECT_EQ(chart.chartType(), 5);
    for (int type = 0; type <= 7; ++type) {
        chart.setChartType(type);
        EXPECT_EQ(chart.chartType(), type);
    }
}

TEST(ChartModel, AxisTitlesAndBackdropRoundTrip) {
    ChartWidget chart;
    chart.setAxisTitles("Days", "Chance");
    EXPECT_EQ(chart.categoryAxisTitle(), "Days");
    EXPECT_EQ(chart.valueAxisTitle(), "Chance");
    chart.setBackdropColor(QColor(10, 20, 30));
    EXPECT_EQ(chart.backdropColor(), QColor(10, 20, 30));
    chart.setBackdropColor(QColor());  // not a colour: kept as it was
    EXPECT_EQ(chart.backdropColor(), QColor(10, 20, 30));
}

// A date change writes 60 rows of three calls each; the chart must only take
// notes and draw once afterwards.
TEST(ChartModel, SettersDoNotRebuildTheChart) {
    ChartWidget chart;
    chart.resize(800, 300);
    chart.show();
    chart.updateNow();
    const int before = chart.rebuildCount();

    QElapsedTimer clock;
    clock.start();
    moonbite::testdata::fill(chart, 60);
    const qint64 elapsedUs = clock.nsecsElapsed() / 1000;
    EXPECT_EQ(chart.rebuildCount(), before);
    EXPECT_LT(elapsedUs, 25000) << "setters took " << elapsedUs << " us";

    QApplication::processEvents();  // the zero-delay rebuild
    EXPECT_EQ(chart.rebuildCount(), before + 1);
    QApplication::processEvents();
    chart.updateNow();
    EXPECT_EQ(chart.rebuildCount(), before + 1);  // nothing left to do
}
