// What the screen shows after the chart's data changes: no leftovers of the
// previous plot, no selection ring on a slot whose day has gone, and a free
// band at the top for the window's selected-date boxes.
#include <gtest/gtest.h>

#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <map>

#include "chart_test_data.h"
#include "chart_widget.h"

using moonbite::ChartWidget;

namespace {

constexpr QSize kChartSize(800, 300);

/// Rows labelled from a given day of March, the levels cycling from a given row
/// of the sample data.
void fillMarch(ChartWidget& chart, int rows, int firstDay, int firstLevel) {
    chart.setRowCount(rows);
    for (int r = 1; r <= rows; ++r) {
        chart.setRow(r);
        chart.setRowLabel(QStringLiteral("%1/3").arg(firstDay + r - 1));
        chart.setData(QString::number(moonbite::testdata::levelAt(firstLevel + r - 1)));
    }
}

/// The pixels the window system was given, not a fresh rendering: the
/// offscreen platform hands back its backing store, so whatever an
/// incremental repaint left behind is in it.
QImage onScreen(QWidget& widget) {
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QScreen* screen = widget.windowHandle()->screen();
    return screen->grabWindow(widget.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32)
        .copy(QRect(QPoint(0, 0), widget.size()));
}

std::string typeName(int type) {
    static const char* const names[] = {"Bar3D",  "Bar2D",  "Line3D", "Line2D",
                                        "Area3D", "Area2D", "Step3D", "Step2D"};
    return names[type];
}

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

struct Replot {
    const char* name;
    int rows;
    int firstDay;
    int firstLevel;
    bool boxesHidden;  ///< the window hid its selected-date boxes over the chart just before
};

class ChartRepaint : public ::testing::TestWithParam<std::tuple<int, Replot>> {};

std::string caseName(const ::testing::TestParamInfo<std::tuple<int, Replot>>& info) {
    return typeName(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
}

}  // namespace

// A re-plot must look exactly like a chart that only ever had the new data:
// the old date labels, bars and points all gone from the screen.
TEST_P(ChartRepaint, ReplotLooksLikeAFreshChartOfTheSameData) {
    const auto [type, replot] = GetParam();
    ChartWidget replotted;
    replotted.setChartType(type);
    replotted.resize(kChartSize);
    fillMarch(replotted, 15, 1, 1);
    replotted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&replotted));
    const QImage before = onScreen(replotted);

    fillMarch(replotted, replot.rows, replot.firstDay, replot.firstLevel);
    // Hiding the boxes repaints just their patch, before the chart has caught
    // up with its data.
    if (replot.boxesHidden) replotted.repaint(QRect(12, 6, 202, 22));
    const QImage after = onScreen(replotted);
    ASSERT_GT(differingPixels(before, after), 0) << "the re-plot changed nothing on screen";

    ChartWidget fresh;
    fresh.setChartType(type);
    fresh.resize(kChartSize);
    fillMarch(fresh, replot.rows, replot.firstDay, replot.firstLevel);
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    const QImage expected = onScreen(fresh);

    EXPECT_EQ(differingPixels(after, expected), 0);
    // A full rendering agrees as well.
    EXPECT_EQ(differingPixels(replotted.grab().toImage().convertToFormat(QImage::Format_RGB32),
                              fresh.grab().toImage().convertToFormat(QImage::Format_RGB32)),
              0);
}

INSTANTIATE_TEST_SUITE_P(Types, ChartRepaint,
                         ::testing::Combine(::testing::Range(0, 8),
                                            ::testing::Values(Replot{"NextWeek", 15, 8, 8, false},
                                                              Replot{"NextDay", 15, 2, 2, false},
                                                              Replot{"Shorter", 12, 9, 5, false},
                                                              Replot{"Longer", 28, 3, 4, false},
                                                              Replot{"AfterDoubleClick", 15, 5, 5,
                                                                     true})),
                         caseName);

// ---------------------------------------------------------------------------
// The selection goes with the data

namespace {

class ChartSelection : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        chart.setChartType(GetParam());
        chart.resize(kChartSize);
        fillMarch(chart, 15, 1, 1);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }

    ChartWidget chart;
};

}  // namespace

// A double click makes that day the first of the next plot; the ring must not
// stay on the old slot (now another day), nor may Enter activate it.
TEST_P(ChartSelection, NewDataAfterADoubleClickClearsTheRing) {
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, chart.pointPosition(5));
    ASSERT_EQ(chart.highlightedPoint(), 5);
    ASSERT_TRUE(chart.hasFocus());

    fillMarch(chart, 15, 5, 5);
    EXPECT_EQ(chart.highlightedPoint(), 0);
    QSignalSpy activated(&chart, &ChartWidget::pointActivated);
    QTest::keyClick(&chart, Qt::Key_Return);
    EXPECT_EQ(activated.size(), 0);

    // On screen exactly as a focused chart of the new data that was never clicked.
    ChartWidget fresh;
    fresh.setChartType(GetParam());
    fresh.resize(kChartSize);
    fillMarch(fresh, 15, 5, 5);
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    fresh.activateWindow();
    fresh.setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fresh));
    chart.activateWindow();
    chart.setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chart));
    EXPECT_EQ(differingPixels(onScreen(chart), onScreen(fresh)), 0);
}

// Plotting the same days again (the count committed unchanged) is a new plot too.
TEST_P(ChartSelection, ReplottingTheSameDaysClearsItToo) {
    QTest::mouseClick(&chart, Qt::LeftButton, {}, chart.pointPosition(9));
    ASSERT_EQ(chart.highlightedPoint(), 9);
    fillMarch(chart, 15, 1, 1);
    EXPECT_EQ(chart.highlightedPoint(), 0);
    // The keyboard starts again from the first point.
    QTest::keyClick(&chart, Qt::Key_Right);
    EXPECT_EQ(chart.highlightedPoint(), 1);
}

INSTANTIATE_TEST_SUITE_P(Types, ChartSelection, ::testing::Values(0, 3, 5, 7),
                         [](const auto& info) { return typeName(info.param); });

// ---------------------------------------------------------------------------
// Room for the selected-date boxes

namespace {

/// The value axis's labels as drawn, in widget coordinates.
std::map<QString, QRectF> valueLabels(ChartWidget& chart) {
    chart.updateNow();
    std::map<QString, QRectF> found;
    for (QGraphicsItem* item : chart.chart()->scene()->items()) {
        const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (text == nullptr || !text->isVisible()) continue;
        const QString shown = text->toPlainText();
        if (shown == QLatin1String("0") || shown == QLatin1String("25") ||
            shown == QLatin1String("50") || shown == QLatin1String("75") ||
            shown == QLatin1String("100"))
            found[shown] = text->sceneBoundingRect();
    }
    return found;
}

struct Scale {
    const char* name;
    double x;
    double y;
};

void PrintTo(const Scale& s, std::ostream* os) {
    *os << s.name;
}

class ChartCaptionBand : public ::testing::TestWithParam<Scale> {};

}  // namespace

// The main window lays "Selected Date:" and the date over the chart's top
// left: 12 px in and 6 px down, 202 x 22 px together at its design size of
// 764 x 232, all scaled with the window. They must cover none of the value
// axis's numbers (the "100" at the top above all), at any size.
TEST_P(ChartCaptionBand, SelectedDateBoxesMissTheValueLabels) {
    const Scale scale = GetParam();
    ChartWidget chart;
    chart.resize(static_cast<int>(764 * scale.x), static_cast<int>(232 * scale.y));
    chart.setChartType(ChartWidget::Bar3D);
    moonbite::testdata::fill(chart, 30);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));

    const QRectF boxes(12 * scale.x, 6 * scale.y, 202 * scale.x, 22 * scale.y);
    const QRect band = chart.captionBand();
    EXPECT_TRUE(QRectF(band).contains(boxes)) << band.height();

    const auto labels = valueLabels(chart);
    ASSERT_EQ(labels.size(), 5U);
    for (const auto& [text, rect] : labels) {
        EXPECT_FALSE(rect.intersects(boxes)) << text.toStdString();
        EXPECT_FALSE(rect.intersects(QRectF(band))) << text.toStdString();
    }
    // Nor any bar: the plot and its extruded tops start below the band.
    EXPECT_GE(chart.plotRect().top() - 14, band.bottom());
}

INSTANTIATE_TEST_SUITE_P(Sizes, ChartCaptionBand,
                         ::testing::Values(Scale{"Design", 1, 1}, Scale{"Enlarged", 1.5, 1.5},
                                           Scale{"Maximised", 2.5, 2.3}, Scale{"Shrunk", 0.7, 0.7}),
                         [](const ::testing::TestParamInfo<Scale>& info) {
                             return std::string(info.param.name);
                         });
