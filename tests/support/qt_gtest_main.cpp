// main() for the window-layer suites: a QApplication on the offscreen
// platform, with the C locale pinned, then GoogleTest.
//
// The offscreen platform's own screen is 800x600, smaller than the program is
// made for, so its windows would all open shrunk to fit it. The suites get a
// desktop screen instead: 1920x1080, or the size MOONBITE_TEST_SCREEN gives
// ("1366x768"); QT_SCALE_FACTOR scales it as a desktop's scale setting does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QByteArray screenConfig() {
    int width = 1920;
    int height = 1080;
    const QByteArray wanted = qgetenv("MOONBITE_TEST_SCREEN");
    const QList<QByteArray> parts = wanted.split('x');
    if (parts.size() == 2 && parts[0].toInt() > 0 && parts[1].toInt() > 0) {
        width = parts[0].toInt();
        height = parts[1].toInt();
    }
    return QByteArrayLiteral("{\"windowFrameMargins\": true, \"screens\": [{\"name\": \"test\", "
                             "\"x\": 0, \"y\": 0, \"width\": ") +
           QByteArray::number(width) + QByteArrayLiteral(", \"height\": ") +
           QByteArray::number(height) +
           QByteArrayLiteral(", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}");
}

}  // namespace

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    // Read by the platform when the application starts; removed when main ends.
    QTemporaryFile screen;
    if (platform.isEmpty() || platform == "offscreen") {
        QByteArray chosen = "offscreen";
        if (screen.open() && screen.write(screenConfig()) > 0 && screen.flush()) {
            chosen += ":configfile=" + screen.fileName().toLocal8Bit();
        }
        qputenv("QT_QPA_PLATFORM", chosen);
    }
    QLocale::setDefault(QLocale::c());
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
