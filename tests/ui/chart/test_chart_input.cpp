#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "chart_test_data.h"
#include "chart_widget.h"

using moonbite::ChartWidget;

namespace {

class ChartInput : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        chart.resize(800, 300);
        moonbite::testdata::fill(chart, 15);
        chart.setChartType(GetParam());
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }

    // A spot inside the plot, in row 3's column (a 100 % row) but low down,
    // far from its point and clear of the bar.
    QPoint emptySpot() {
        const QRect plot = chart.plotRect();
        const QPoint top = chart.pointPosition(3);
        if (GetParam() <= ChartWidget::Bar2D) {
            // Over row 6 (0 %), halfway up.
            return {chart.pointPosition(6).x(), plot.center().y()};
        }
        if (GetParam() >= ChartWidget::Area3D && GetParam() <= ChartWidget::Area2D) {
            // Above the area, near the top left of the plot, over row 1 (33 %).
            return {chart.pointPosition(1).x(), plot.top() + 5};
        }
        return {top.x(), plot.bottom() - 10};
    }

    ChartWidget chart;
};

std::string typeName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Bar3D",  "Bar2D",  "Line3D", "Line2D",
                                        "Area3D", "Area2D", "Step3D", "Step2D"};
    return names[info.param];
}

}  // namespace

TEST_P(ChartInput, ClickOnAPointSelectsIt) {
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    QSignalSpy plot(&chart, &ChartWidget::plotSelected);
    for (int n : {1, 3, 6, 9, 15}) {
        const QPoint at = chart.pointPosition(n);
        ASSERT_TRUE(chart.rect().contains(at)) << n;
        QTest::mouseClick(&chart, Qt::LeftButton, {}, at);
        ASSERT_EQ(selected.size(), 1) << n;
        const QList<QVariant> args = selected.takeFirst();
        EXPECT_EQ(args.at(0).toInt(), 1);
        EXPECT_EQ(args.at(1).toInt(), n);
        EXPECT_EQ(args.at(2).toInt(), 0);
        EXPECT_EQ(args.at(3).toInt(), 0);
        EXPECT_EQ(chart.highlightedPoint(), n);
    }
    EXPECT_EQ(plot.size(), 0);
}

// Through the window, as a real click arrives: the chart's inner view must
// let it through to the ChartWidget.
TEST_P(ChartInput, ClickThroughTheWindowSelects) {
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    QTest::mouseClick(chart.windowHandle(), Qt::LeftButton, {}, chart.pointPosition(11));
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().at(1).toInt(), 11);
    EXPECT_TRUE(chart.hasFocus());
}

TEST_P(ChartInput, ClickNearAPointStillSelectsIt) {
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    const QPoint at = chart.pointPosition(9);
    QTest::mouseClick(&chart, Qt::LeftButton, {}, at + QPoint(3, 4));
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().at(1).toInt(), 9);
}

TEST_P(ChartInput, DoubleClickOnAPointActivatesIt) {
    QSignalSpy activated(&chart, &ChartWidget::pointActivated);
    QSignalSpy plotActivated(&chart, &ChartWidget::plotActivated);
    for (int n : {2, 10, 14}) {
        QTest::mouseDClick(&chart, Qt::LeftButton, {}, chart.pointPosition(n));
        ASSERT_EQ(activated.size(), 1) << n;
        const QList<QVariant> args = activated.takeFirst();
        EXPECT_EQ(args.at(0).toInt(), 1);
        EXPECT_EQ(args.at(1).toInt(), n);
    }
    EXPECT_EQ(plotActivated.size(), 0);
}

TEST_P(ChartInput, ClickOnEmptyPlotSelectsThePlot) {
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    QSignalSpy plot(&chart, &ChartWidget::plotSelected);
    QSignalSpy plotActivated(&chart, &ChartWidget::plotActivated);
    const QPoint spot = emptySpot();
    ASSERT_TRUE(chart.plotRect().contains(spot));
    QTest::mouseClick(&chart, Qt::LeftButton, {}, spot);
    EXPECT_EQ(selected.size(), 0);
    ASSERT_EQ(plot.size(), 1);
    EXPECT_EQ(plot.first().at(0).toInt(), 0);
    EXPECT_EQ(plot.first().at(1).toInt(), 0);
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, spot);
    EXPECT_EQ(plotActivated.size(), 1);
}

TEST_P(ChartInput, ClickOutsideThePlotSaysNothing) {
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    QSignalSpy plot(&chart, &ChartWidget::plotSelected);
    const QRect area = chart.plotRect();
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(area.left() / 2, area.center().y()));
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(area.center().x(), chart.height() - 3));
    EXPECT_EQ(selected.size(), 0);
    EXPECT_EQ(plot.size(), 0);
}

TEST_P(ChartInput, RightClickSelectsNothing) {
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    QTest::mouseClick(&chart, Qt::RightButton, {}, chart.pointPosition(3));
    EXPECT_EQ(selected.size(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, ChartInput, ::testing::Range(0, 8), typeName);

TEST(ChartInputCrowded, SixtyNarrowBarsAreEachHit) {
    ChartWidget chart;
    chart.resize(800, 300);
    moonbite::testdata::fill(chart, 60);
    chart.setChartType(ChartWidget::Bar3D);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    for (int n = 1; n <= 60; ++n) {
        QTest::mouseClick(&chart, Qt::LeftButton, {}, chart.pointPosition(n));
        ASSERT_EQ(selected.size(), 1) << n;
        EXPECT_EQ(selected.takeFirst().at(1).toInt(), n);
    }
}

TEST(ChartInputCrowded, ClicksFollowAResize) {
    ChartWidget chart;
    chart.resize(800, 300);
    moonbite::testdata::fill(chart, 15);
    chart.setChartType(ChartWidget::Line3D);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    const QPoint before = chart.pointPosition(12);
    chart.resize(450, 380);
    QApplication::processEvents();
    QSignalSpy selected(&chart, &ChartWidget::pointSelected);
    QTest::mouseClick(&chart, Qt::LeftButton, {}, chart.pointPosition(12));
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().at(1).toInt(), 12);
    // The old spot is no longer row 12's point.
    QTest::mouseClick(&chart, Qt::LeftButton, {}, before);
    for (const QList<QVariant>& args : selected.mid(1))
        EXPECT_NE(args.at(1).toInt(), 12);
}

namespace {

class ChartFocus : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        chart = new ChartWidget;
        edit = new QLineEdit;
        layout->addWidget(chart);
        layout->addWidget(edit);
        moonbite::testdata::fill(*chart, 15);
        window.resize(800, 360);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    ChartWidget* chart = nullptr;
    QLineEdit* edit = nullptr;
};

}  // namespace

TEST_F(ChartFocus, LosingFocusIsReported) {
    QSignalSpy lost(chart, &ChartWidget::lostFocus);
    chart->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(chart->hasFocus());
    EXPECT_EQ(lost.size(), 0);
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(lost.size(), 1);
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(lost.size(), 1);
}

TEST_F(ChartFocus, AClickTakesTheFocus) {
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QSignalSpy lost(chart, &ChartWidget::lostFocus);
    QTest::mouseClick(chart, Qt::LeftButton, {}, chart->pointPosition(4));
    EXPECT_TRUE(chart->hasFocus());
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(lost.size(), 1);
}

TEST_F(ChartFocus, ArrowKeysWalkThePointsAndEnterActivates) {
    chart->setFocus();
    QSignalSpy selected(chart, &ChartWidget::pointSelected);
    QSignalSpy activated(chart, &ChartWidget::pointActivated);
    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Left);
    ASSERT_EQ(selected.size(), 4);
    EXPECT_EQ(selected.at(0).at(1).toInt(), 1);
    EXPECT_EQ(selected.at(1).at(1).toInt(), 2);
    EXPECT_EQ(selected.at(2).at(1).toInt(), 3);
    EXPECT_EQ(selected.at(3).at(1).toInt(), 2);
    EXPECT_EQ(chart->highlightedPoint(), 2);
    QTest::keyClick(chart, Qt::Key_Return);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.first().at(0).toInt(), 1);
    EXPECT_EQ(activated.first().at(1).toInt(), 2);

    // The ends hold: no selection past the first or last point.
    selected.clear();
    QTest::keyClick(chart, Qt::Key_Left);
    QTest::keyClick(chart, Qt::Key_Left);
    EXPECT_EQ(selected.size(), 1);
    EXPECT_EQ(chart->highlightedPoint(), 1);
    chart->setRowCount(0);
    QTest::keyClick(chart, Qt::Key_Enter);
    EXPECT_EQ(activated.size(), 1);
}

TEST_F(ChartFocus, TheHighlightIsDrawnWhileFocused) {
    chart->setChartType(ChartWidget::Line2D);
    chart->setFocus();
    chart->updateNow();
    const QImage plain = chart->grab().toImage();
    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Right);
    const QImage marked = chart->grab().toImage();
    EXPECT_NE(plain, marked);
    const QPoint at = chart->pointPosition(2);
    const QPoint ring = at + QPoint(7, 0);
    EXPECT_NE(marked.pixelColor(ring), plain.pixelColor(ring));
    edit->setFocus();
    const QImage unfocused = chart->grab().toImage();
    EXPECT_EQ(unfocused, plain);
}
