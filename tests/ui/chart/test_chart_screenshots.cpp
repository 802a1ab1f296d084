// Writes a picture of each chart type: into a temporary folder, or for the
// documentation when MOONBITE_SCREENSHOTS is set ("1" for docs/screenshots,
// or a folder).
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "chart_test_data.h"
#include "chart_widget.h"

using moonbite::ChartWidget;

TEST(ChartScreenshots, WritesOnePicturePerType) {
    const QString wanted = qEnvironmentVariable("MOONBITE_SCREENSHOTS");
    QTemporaryDir scratch;
    const QString folder = wanted.isEmpty()               ? scratch.path()
                           : wanted == QLatin1String("1") ? QStringLiteral(MOONBITE_SCREENSHOT_DIR)
                                                          : wanted;
    ASSERT_TRUE(QDir().mkpath(folder));

    static const char* const names[] = {"bar3d",  "bar2d",  "line3d", "line2d",
                                        "area3d", "area2d", "step3d", "step2d"};
    ChartWidget chart;
    chart.resize(800, 300);
    moonbite::testdata::fill(chart, 15);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    for (int type = 0; type <= 7; ++type) {
        chart.setChartType(type);
        const QImage image = chart.grab().toImage();
        ASSERT_EQ(image.size(), QSize(800, 300));
        const QString path = QDir(folder).filePath(
            QStringLiteral("chart-%1-%2.png").arg(type).arg(QLatin1String(names[type])));
        EXPECT_TRUE(image.save(path)) << path.toStdString();
        EXPECT_EQ(QImage(path).size(), QSize(800, 300));
    }
}
