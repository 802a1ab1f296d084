// moonbite: the desktop program.
#include <QApplication>
#include <QColorDialog>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

#include "desktop_colour_scheme.h"
#include "display.h"
#include "help_viewer.h"
#include "journal_file.h"
#include "main_window.h"
#include "message_boxes.h"
#include "moon_pictures.h"
#include "moonbite_version.h"
#include "run_command.h"
#include "settings_store.h"
#include "single_instance.h"
#include "system_time_zone.h"
#include "welcome_window.h"

namespace {

constexpr const char* kUsage =
    "usage: moonbite [--date YYYY-MM-DD] [--help] [--version] [Qt options such as -platform NAME]\n"
    "\n"
    "The Moonbite solunar fishing calendar: sunrise and sunset, moonrise and moonset, the\n"
    "major and minor fishing periods and the day's prediction for your fishing place.\n"
    "moonbite-cli gives the same results on the command line.\n"
    "\n"
    "  --date YYYY-MM-DD  show that day (1901 to 2200); a Moonbite already open\n"
    "                     comes forward at it\n"
    "  -h, --help         show this text and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Exit status: 0; 1 when there is no display; 2 for a --date it cannot read.\n";

/// The day of --date, an invalid date when not given; false for a bad one.
bool dateArgument(int argc, char** argv, QDate& day) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--date") != 0) continue;
        const QString text = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        day = QDate::fromString(text, Qt::ISODate);
        if (!day.isValid() || day.year() < 1901 || day.year() > 2200) {
            std::fprintf(stderr,
                         "moonbite: --date needs a day as YYYY-MM-DD between 1901 and 2200, "
                         "not \"%s\"\n",
                         text.toLocal8Bit().constData());
            return false;
        }
    }
    return true;
}

/// Starts the tray companion beside this program (a build or an install),
/// else the one on the PATH; it leaves by itself when one runs already.
void startCompanion() {
    const QString dir = QApplication::applicationDirPath();
    QString program = dir + QStringLiteral("/moonbite-tray");
    if (!QFileInfo(program).isExecutable())
        program = dir + QStringLiteral("/../tray/moonbite-tray");  // the build tree
    if (!QFileInfo(program).isExecutable())
        program = QStandardPaths::findExecutable(QStringLiteral("moonbite-tray"));
    if (!program.isEmpty()) QProcess::startDetached(program, {});
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before anything else, so they work without a display too.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("moonbite %s\n", moonbite::kVersionText);
            return 0;
        }
    }
    QDate day;
    if (!dateArgument(argc, argv, day)) return 2;
    if (!moonbite::displayAvailable()) {
        std::fprintf(stderr,
                     "moonbite: no display to open a window on (DISPLAY is not set or not "
                     "reachable); start it from a desktop session, or use moonbite-cli.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Moonbite"));
    QApplication::setApplicationName(QStringLiteral("Moonbite"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(moonbite::appIcon());
    moonbite::followDesktopColourScheme(&app);

    moonbite::SettingsStore store;
    // One window per settings folder: a second start brings the first forward.
    moonbite::Form1* shown = nullptr;
    moonbite::SingleInstance instance(store.folder());
    if (instance.handOverOrListen(day, [&shown](const QDate& asked) {
            QWidget* modal = QApplication::activeModalWidget();
            moonbite::bringForward(modal ? modal : shown);
            // Under a dialog (journal, printing) the day stays: they work on it.
            if (modal == nullptr && shown != nullptr && asked.isValid()) shown->showDate(asked);
        }))
        return 0;

    moonbite::QtMessageBoxes boxes;
    moonbite::SystemTimeZoneSource zone;

    moonbite::MainWindowServices services;
    services.store = &store;
    services.boxes = &boxes;
    services.timeZone = &zone;
    services.today = [] { return QDate::currentDate(); };
    services.openRegionalSettings = [&boxes] { moonbite::openRegionalSettings(boxes, nullptr); };
    services.openHelp = [](int topic) { moonbite::HelpViewer::open(topic); };
    services.chooseColour = [](const QColor& initial, QWidget* parent) {
        return QColorDialog::getColor(initial, parent, QObject::tr("Background Color"));
    };
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        services.printOnPrinter = [](moonbite::SolunarState& state,
                                     const moonbite::CalendarPageInput& in, QString* error) {
            QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
            printer.setPageOrientation(QPageLayout::Landscape);
            printer.setDocName(QStringLiteral("Moonbite calendar"));
            if (!printer.isValid()) {
                *error = QObject::tr("the printer %1 cannot be used").arg(printer.printerName());
                return false;
            }
            const QRectF printable(
                QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
            moonbite::renderCalendarPage(state, in, printer, printable, printer.resolution());
            if (printer.printerState() == QPrinter::Error) {
                *error = QObject::tr("the printer %1 reported an error").arg(printer.printerName());
                return false;
            }
            return true;
        };
    }
    services.startCompanion = startCompanion;
    services.journalFolder = moonbite::journalFolder(QApplication::applicationDirPath());
    // $MOONBITE_HARMONICS, else xtide-data's file; read once the window is up.
    services.tides = std::make_shared<moonbite::tides::TideSource>();
    services.choosePdfPath = [](const QString& suggested) {
        return QFileDialog::getSaveFileName(nullptr, QObject::tr("Save the calendar as PDF"),
                                            suggested, QObject::tr("PDF files (*.pdf)"));
    };

    moonbite::welcomeNewUser(store, services.openRegionalSettings);

    moonbite::Form1 window(services);
    shown = &window;
    window.Form_Load();
    window.show();
    if (day.isValid()) window.showDate(day);
    return QApplication::exec();
}
