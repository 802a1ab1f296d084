// Writes the README's pictures of the windows: the main window at Sydney on
// a real date (at its design size, half as large again, and maximised on a
// 1920x1080 screen), its settings frame, the welcome window and the about box;
// and a new user's first minute: the welcome, the search for Key West in the
// installed list of places, and Key West's day. The settings frame with the
// search (first-run-search-frame.png) is also the help's picture in
// resources/help/.
//   QT_QPA_PLATFORM=xcb xvfb-run build/tools/moonbite_screenshots docs/screenshots
// With --dark it writes only the main window and its settings frame on a dark
// desktop palette (main-window-dark.png, settings-frame-dark.png):
//   QT_QPA_PLATFORM=xcb xvfb-run build/tools/moonbite_screenshots --dark docs/screenshots
// With --fit it writes the main window and its settings frame as they open on
// the screen at its scale, and maximised (see fitPictures):
//   QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1.25 xvfb-run -a -s "-screen 0 1366x768x24"
//       build/tools/moonbite_screenshots --fit docs/screenshots
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QResizeEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>

#include "about_box.h"
#include "chart_widget.h"
#include "contrast.h"
#include "main_window.h"
#include "message_boxes.h"
#include "place_table.h"
#include "settings_store.h"
#include "system_time_zone.h"
#include "welcome_window.h"

using namespace moonbite;

namespace {

// A maximised window on a 1920x1080 screen below a desktop panel; fixed, so the
// picture does not depend on the screen it was made on.
constexpr QSize kMaximised(1920, 1048);

// Puts the main window at a size and state and lets it lay itself out. Without
// a window manager nothing maximises a window, so the state is set on the
// widget after the size (a resize alone would drop it), and the resize event
// is sent again so that the window sees both together.
void sizeWindow(Form1& window, QSize size, Qt::WindowStates state) {
    const QSize old = window.size();
    window.resize(size);
    window.overrideWindowState(state);
    QApplication::processEvents();
    QResizeEvent event(size, old);
    QApplication::sendEvent(&window, &event);
    window.MSChart1->updateNow();
    QApplication::processEvents();
}

// A new user's first minute, on settings of its own: the welcome, the town
// typed into the search box with the installed list's matches, and its day.
bool firstMinute(MainWindowServices services, const QString& out) {
    QTemporaryDir folder;
    SettingsStore store(folder.path());
    services.store = &store;
    services.placesTable.clear();  // the installed list, beside the program
    bool ok = true;

    Form1 window(services);
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    window.TextFindPlace->setText(QStringLiteral("Key West"));
    QElapsedTimer waited;
    waited.start();
    window.findPlaces();
    while (window.placeTable().status() == PlaceTable::Status::Reading && waited.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    window.findPlaces();
    if (window.placeTable().status() != PlaceTable::Status::Ready ||
        window.ListPlaces->count() == 0) {
        std::fprintf(stderr, "the list of places was not found beside the program: %s\n",
                     qPrintable(window.LabelPlaceNote->text()));
        return false;
    }
    window.ListPlaces->setCurrentRow(0);
    window.TextFindPlace->setFocus();
    QApplication::processEvents();
    ok = window.grab().save(out + QStringLiteral("/first-run-search.png")) && ok;
    // For the help, whose page is narrower than the window: the search and its list.
    const QRect list = window.ListPlaces->geometry();
    ok = window.Frame9->grab(QRect(0, 0, list.right() + 9, window.Frame9->height()))
             .save(out + QStringLiteral("/first-run-search-frame.png")) &&
         ok;
    window.pickPlace(0);
    window.Command4_Click();
    window.MSChart1->updateNow();
    QApplication::processEvents();
    ok = window.grab().save(out + QStringLiteral("/first-run-key-west.png")) && ok;
    return ok;
}

// The main window as it opens on this screen at the desktop's scale
// (QT_SCALE_FACTOR), its settings frame, and both maximised to the screen's
// free area: main-window-scale-<scale>[-maximised].png and
// settings-frame-scale-<scale>[-maximised].png.
/// The window at Friday Harbor on a summer day, with its tides and the day at
/// a glance, at the design size and maximised.
bool tidePictures(const MainWindowServices& base, const QString& out, bool dark) {
    QTemporaryDir folder;
    SettingsStore store(folder.path());
    const QString s = QStringLiteral("Settings");
    for (const auto& [key, value] : {std::pair{"currentloc", "Friday Harbor"},
                                     {"latdeg", "48"},
                                     {"latmin", "32"},
                                     {"NorS", "N"},
                                     {"londeg", "123"},
                                     {"lonmin", "1"},
                                     {"WorE", "W"},
                                     {"gmt", "-7"},
                                     {"custom", "True"},
                                     {"tzname", "America/Los_Angeles"}}) {
        store.save(kStateApp, s, QString::fromLatin1(key), QString::fromLatin1(value));
    }
    store.save(kTitleApp, s, QStringLiteral("graphday"), QStringLiteral("30"));
    MainWindowServices services = base;
    services.store = &store;
    services.today = [] { return QDate(2026, 7, 15); };
    // 10:20 in the morning there.
    services.now = [] { return tides::UnixSeconds{1784136000}; };
    Form1 window(services);
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
    window.MSChart1->updateNow();
    const QString suffix = dark ? QStringLiteral("-dark") : QString();
    bool ok = window.grab().save(out + QStringLiteral("/main-window-tides%1.png").arg(suffix));
    if (dark) return ok;
    const QSize design = window.size();
    sizeWindow(window, kMaximised, Qt::WindowMaximized);
    window.MSChart1->updateNow();
    ok = window.grab().save(out + QStringLiteral("/main-window-tides-maximised.png")) && ok;
    sizeWindow(window, design, Qt::WindowNoState);
    return ok;
}

bool fitPictures(Form1& window, const QString& out) {
    const QString scale = qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")
                              ? QStringLiteral("1")
                              : qEnvironmentVariable("QT_SCALE_FACTOR");
    auto save = [&](QWidget& w, const char* name, const char* state) {
        return w.grab().save(
            QStringLiteral("%1/%2-scale-%3%4.png").arg(out, QLatin1String(name), scale,
                                                        QLatin1String(state)));
    };
    bool ok = save(window, "main-window", "");
    window.mnualarm_Click();
    QApplication::processEvents();
    ok = save(window, "settings-frame", "") && ok;
    window.Command5_Click();
    sizeWindow(window, window.screen()->availableGeometry().size(), Qt::WindowMaximized);
    ok = save(window, "main-window", "-maximised") && ok;
    window.mnualarm_Click();
    QApplication::processEvents();
    ok = save(window, "settings-frame", "-maximised") && ok;
    std::printf("%s %s\n", ok ? "wrote the pictures at this scale to" : "could not write them to",
                qPrintable(out));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    bool dark = false;
    bool fit = false;
    QString out = QStringLiteral("docs/screenshots");
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--dark") == 0)
            dark = true;
        else if (qstrcmp(argv[i], "--fit") == 0)
            fit = true;
        else
            out = QString::fromLocal8Bit(argv[i]);
    }
    if (dark) QApplication::setPalette(darkDesktopPalette());
    QDir().mkpath(out);

    QTemporaryDir folder;
    SettingsStore store(folder.path());
    const QString s = QStringLiteral("Settings");
    for (const auto& [key, value] : {std::pair{"currentloc", "Sydney"},
                                     {"latdeg", "33"},
                                     {"latmin", "52"},
                                     {"NorS", "S"},
                                     {"londeg", "151"},
                                     {"lonmin", "13"},
                                     {"WorE", "E"},
                                     {"gmt", "10"},
                                     {"custom", "True"}}) {
        store.save(kStateApp, s, QString::fromLatin1(key), QString::fromLatin1(value));
    }
    store.save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("nlist"),
               QStringLiteral("1"));
    store.save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("place(1)"),
               QStringLiteral("Sydney"));
    store.save(kTitleApp, s, QStringLiteral("graphday"), QStringLiteral("30"));
    RecordingMessageBoxes boxes;
    FixedTimeZoneSource zone({1, -600, QStringLiteral("AUS Eastern Standard Time"),
                              QStringLiteral("AUS Eastern Daylight Time"), 0, -60});
    MainWindowServices services;
    services.store = &store;
    services.boxes = &boxes;
    services.timeZone = &zone;
    services.today = [] { return QDate(2027, 1, 22); };  // the full moon of January 2027
    services.chooseColour = [](const QColor&, QWidget*) { return QColor(); };
    services.tides = std::make_shared<tides::TideSource>();

    Form1 window(services);
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    window.MSChart1->updateNow();
    if (fit) return fitPictures(window, out) ? 0 : 1;
    if (dark) {
        bool ok = window.grab().save(out + QStringLiteral("/main-window-dark.png"));
        ok = tidePictures(services, out, true) && ok;
        window.mnualarm_Click();
        QApplication::processEvents();
        ok = window.grab().save(out + QStringLiteral("/settings-frame-dark.png")) && ok;
        std::printf("%s %s\n", ok ? "wrote the dark pictures to" : "could not write them to",
                    qPrintable(out));
        return ok ? 0 : 1;
    }
    bool ok = window.grab().save(out + QStringLiteral("/main-window.png"));

    const QSize design = window.size();
    sizeWindow(window, design * 1.5, Qt::WindowNoState);
    ok = window.grab().save(out + QStringLiteral("/main-window-1.5x.png")) && ok;
    sizeWindow(window, kMaximised, Qt::WindowMaximized);
    ok = window.grab().save(out + QStringLiteral("/main-window-maximised.png")) && ok;
    sizeWindow(window, design, Qt::WindowNoState);
    static constexpr const char* kTypes[8] = {"bar3d",  "bar2d",  "line3d", "line2d",
                                              "area3d", "area2d", "step3d", "step2d"};
    for (int type = 0; type < 8; ++type) {
        window.mnuChartType(type);
        window.MSChart1->updateNow();
        QApplication::processEvents();
        ok = window.MSChart1->grab().save(
                 out +
                 QStringLiteral("/chart-%1-%2.png").arg(type).arg(QLatin1String(kTypes[type]))) &&
             ok;
    }
    window.mnuChartType(ChartWidget::Bar3D);
    window.MSChart1->updateNow();
    ok = window.grab().save(out + QStringLiteral("/main-window-3d-bars.png")) && ok;
    window.mnualarm_Click();
    QApplication::processEvents();
    ok = window.grab().save(out + QStringLiteral("/settings-frame.png")) && ok;

    ok = firstMinute(services, out) && ok;
    ok = tidePictures(services, out, false) && ok;

    // The welcome shows the locale's values: those of a common one, so the
    // picture does not depend on the machine it was made on.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Form2 welcome(nullptr);
    welcome.show();
    QApplication::processEvents();
    ok = welcome.grab().save(out + QStringLiteral("/welcome.png")) && ok;
    ok = welcome.grab().save(out + QStringLiteral("/first-run-welcome.png")) && ok;
    frmAbout about;
    about.show();
    QApplication::processEvents();
    ok = about.grab().save(out + QStringLiteral("/about.png")) && ok;
    std::printf("%s %s\n", ok ? "wrote pictures to" : "could not write all pictures to",
                qPrintable(out));
    return ok ? 0 : 1;
}
