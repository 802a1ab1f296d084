// Writes files from the pictures when asked: a contact sheet for the docs
// (MOONBITE_SCREENSHOTS=1) and the desktop icon renderings for the hicolor
// theme (MOONBITE_EXPORT_ICONS=1). Skipped otherwise.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "moon_pictures.h"

namespace moonbite {
namespace {

const QString kSourceDir = QStringLiteral(MOONBITE_SOURCE_DIR);

TEST(ArtExports, ContactSheet) {
    // Into the checkout only when asked for; a temporary folder otherwise.
    QTemporaryDir scratch;
    const QString base =
        qEnvironmentVariableIsEmpty("MOONBITE_SCREENSHOTS") ? scratch.path() : kSourceDir;
    constexpr int cell = 80;
    QImage sheet(12 * cell + 20, 720, QImage::Format_ARGB32);
    sheet.fill(QColor(0xf4, 0xf4, 0xf0));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);

    // The phases on a night sky at 64 px, then at 16 px.
    p.fillRect(QRect(10, 10, 12 * cell, 130), QColor(0x10, 0x16, 0x26));
    p.setPen(QColor(0xd8, 0xdc, 0xe6));
    for (int i = 0; i < 12; ++i) {
        const int x = 10 + i * cell;
        p.drawPixmap(x + 8, 18, moonPhasePixmap(100 + i, 64));
        p.drawPixmap(x + 32, 92, moonPhasePixmap(100 + i, 16));
        p.drawText(QRect(x, 112, cell, 20), Qt::AlignCenter, QString::number(100 + i));
    }
    // The same phases on a light window background.
    for (int i = 0; i < 12; ++i)
        p.drawPixmap(10 + i * cell + 8, 148, moonPhasePixmap(100 + i, 64));

    // The fish on each prediction colour.
    const QColor colours[] = {QColor(255, 255, 255), QColor(255, 255, 128), QColor(0, 255, 0),
                              QColor(0, 0, 192)};
    const char* words[] = {"Poor", "Fair", "Good", "Excellent"};
    p.setPen(QColor(0x30, 0x30, 0x30));
    for (int i = 0; i < 4; ++i) {
        const QRect box(10 + i * 110, 232, 96, 60);
        p.fillRect(box, colours[i]);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.drawPixmap(box.x() + 8, box.y() + 5, predictionPicture(80, 50));
        p.drawText(QRect(box.x(), 296, 96, 18), Qt::AlignCenter, QString::fromLatin1(words[i]));
    }

    // The gauge with the marker at its near end, middle and far end.
    const GaugeTrackSpan span = gaugeTrackSpan();
    for (int i = 0; i < 3; ++i) {
        const int y = 232 + i * 62;
        p.drawPixmap(460, y + 20, gaugeScale(300, 40));
        const double t = i / 2.0;
        const double x = 460 + 300 * (span.nearX + t * (span.farX - span.nearX));
        p.drawPixmap(qRound(x - 10), y - 6, gaugeMarker(20, 28));
    }

    // Two phases large, for the detail, then the application icon at its
    // desktop sizes.
    p.fillRect(QRect(790, 232, 180, 336), QColor(0x10, 0x16, 0x26));
    p.drawPixmap(816, 240, moonPhasePixmap(104, 128));
    p.drawPixmap(816, 386, moonPhasePixmap(110, 128));
    const QIcon icon = appIcon();
    int x = 10;
    for (const int n : {256, 128, 64, 48, 32, 24, 22, 16}) {
        p.drawPixmap(x, 710 - n, icon.pixmap(QSize(n, n)));
        x += n + 12;
    }
    p.end();

    const QString path = base + QStringLiteral("/docs/screenshots/moon-phases.png");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(sheet.save(path));
    EXPECT_EQ(QImage(path).size(), sheet.size());
}

TEST(ArtExports, HicolorIcons) {
    QTemporaryDir scratch;
    const QString base =
        qEnvironmentVariableIsEmpty("MOONBITE_EXPORT_ICONS") ? scratch.path() : kSourceDir;
    const QString theme = base + QStringLiteral("/resources/icons/hicolor/");
    const QIcon icon = appIcon();
    for (const int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = theme + QStringLiteral("%1x%1/apps").arg(n);
        ASSERT_TRUE(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("/moonbite.png");
        ASSERT_TRUE(icon.pixmap(QSize(n, n)).save(path, "PNG"));
        EXPECT_EQ(QImage(path).size(), QSize(n, n));
    }
    const QString scalable = theme + QStringLiteral("scalable/apps");
    ASSERT_TRUE(QDir().mkpath(scalable));
    const QString svg = scalable + QStringLiteral("/moonbite.svg");
    QFile::remove(svg);
    ASSERT_TRUE(QFile::copy(QStringLiteral(":/images/app-icon.svg"), svg));
    QFile::setPermissions(
        svg, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_GT(QFileInfo(svg).size(), 0);
}

}  // namespace
}  // namespace moonbite
