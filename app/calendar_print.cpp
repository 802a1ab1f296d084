#include "calendar_print.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QStandardPaths>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "calendar_pdf.h"
#include "day_driver.h"
#include "ics_export.h"
#include "message_boxes.h"
#include "settings_store.h"
#include "updown.h"
#include "window_fit.h"

namespace moonbite {
namespace {

QCheckBox* option(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

// The documents folder, or the home folder when there is none: the file
// dialog would open a folder that does not exist in the working directory.
QString suggestedPdfFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString checkText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

Form4::Form4(PrintServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(tr("Print Calendar"));
    setFixedSize(430, 300);
    // Small enough for every screen; it only has to open wholly on it.
    fitWhenShown(*this, nullptr, QSize(430, 300));

    Label1 =
        new QLabel(QStringLiteral("Select month and data to be included in the calendar."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(12, 8, 406, 24);

    auto* monthFrame = new QGroupBox(tr("Month"), this);
    monthFrame->setGeometry(12, 36, 136, 96);
    Combo1 = new QComboBox(monthFrame);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(10, 24, 116, 26);
    for (int m = 1; m <= 12; ++m) {
        const std::string_view name = englishMonthName(m);
        Combo1->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    Text1 = new QLineEdit(monthFrame);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(10, 58, 60, 26);
    Text1->setAlignment(Qt::AlignCenter);
    UpDown1 = new UpDown(monthFrame);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(71, 58, 16, 26);
    // The frame's title alone would make both boxes "Month".
    Combo1->setAccessibleName(tr("Month"));
    Text1->setAccessibleName(tr("Year"));
    UpDown1->setCaption(tr("Year"));
    connect(UpDown1, &UpDown::upClick, this,
            [this] { Text1->setText(QString::number(Text1->text().toInt() + 1)); });
    connect(UpDown1, &UpDown::downClick, this,
            [this] { Text1->setText(QString::number(Text1->text().toInt() - 1)); });

    auto* display = new QGroupBox(tr("Display"), this);
    // Wide enough for the longest option in the desktop's larger fonts.
    display->setGeometry(156, 36, 262, 196);
    Check4 = option(display, "Check4", tr("Fishing P&rediction"), {10, 24, 248, 24});
    Check5 = option(display, "Check5", tr("&Full and New moons"), {10, 52, 248, 24});
    Check1 = option(display, "Check1", tr("&Sunrise and Sunset"), {10, 80, 248, 24});
    Check2 = option(display, "Check2", tr("&Moonrise and Moonset"), {10, 108, 248, 24});
    Check3 = option(display, "Check3", tr("Major and Minor fishing &times"), {10, 136, 248, 24});
    // "Major and Minor fishing &times" already has the T.
    Check6 = option(display, "Check6", tr("Ti&des"), {10, 164, 248, 24});
    if (!services_.tidesOf) {
        Check6->setEnabled(false);
        Check6->setToolTip(services_.noTidesReason);
    }

    Command1 = new QPushButton(tr("&Print"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(236, 250, 86, 32);
    Command1->setDefault(true);
    Command2 = new QPushButton(tr("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(330, 250, 86, 32);
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    // Ctrl+W closes as Cancel does (Escape already does).
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this), &QShortcut::activated, this,
            &QDialog::reject);
    CommandSaveIcs = new QPushButton(tr("Save &as calendar file..."), this);
    CommandSaveIcs->setObjectName(QStringLiteral("CommandSaveIcs"));
    CommandSaveIcs->setGeometry(12, 250, 200, 32);
    connect(CommandSaveIcs, &QPushButton::clicked, this, &Form4::saveCalendarFile);
    // Tab reads the window as it is laid out: the month, the options top to
    // bottom, then the buttons from the left.
    QWidget* order[] = {Combo1, Text1,  UpDown1, Check4,         Check5,   Check1,
                        Check2, Check3, Check6,  CommandSaveIcs, Command1, Command2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form4::Form_Load() {
    SettingsStore& store = *services_.store;
    Check4->setChecked(readInt(store, keys::Prediction) == 1);
    Check1->setChecked(readInt(store, keys::Sunrise) == 1);
    Check2->setChecked(readInt(store, keys::Moonrise) == 1);
    Check3->setChecked(readInt(store, keys::Majorminor) == 1);
    Check5->setChecked(readInt(store, keys::Newfull) == 1);
    Check6->setChecked(readInt(store, keys::Tides) == 1);
    const QDate today = services_.today();
    Combo1->setCurrentIndex(today.month() - 1);
    Text1->setText(QString::number(today.year()));
    for (QWidget* w : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Text1),
                       static_cast<QWidget*>(UpDown1)}) {
        w->setEnabled(true);
    }
}

void Form4::Command1_Click() {
    SettingsStore& store = *services_.store;
    MessageBoxes& boxes = *services_.boxes;
    const QString latdeg = readText(store, keys::latdeg);
    const QString londeg = readText(store, keys::londeg);
    const QString latmin = readText(store, keys::latmin);
    const QString lonmin = readText(store, keys::lonmin);
    const QString NorS = readText(store, keys::NorS);
    const QString WorE = readText(store, keys::WorE);

    write(store, keys::Prediction, checkText(Check4));
    write(store, keys::Moonrise, checkText(Check2));
    write(store, keys::Majorminor, checkText(Check3));
    write(store, keys::Sunrise, checkText(Check1));
    write(store, keys::Newfull, checkText(Check5));
    write(store, keys::Tides, checkText(Check6));

    const QString label = Combo1->currentText() + QStringLiteral(" ") + Text1->text();
    const auto first = parseDateText((QStringLiteral("1 ") + label).toStdString());
    if (!first || first->year() < 1901 || first->year() > 2200) {
        boxes.show(this,
                   tr("\"%1\" is not a month Moonbite can print. Please enter a year from 1901 to "
                      "2200.")
                       .arg(label),
                   QStringLiteral("Moonbite"), MessageBoxes::Icon::Exclamation);
        Text1->setFocus();
        return;
    }

    CalendarPageInput in;
    in.year = first->year();
    in.month = first->month();
    in.options = {Check4->isChecked(), Check5->isChecked(), Check1->isChecked(),
                  Check2->isChecked(), Check3->isChecked()};
    // A zone followed by date prints the offsets of this month, not today's.
    const QString today = services_.zoneText ? services_.zoneText() : QString();
    in.locationLine = calendarLocationLine(
        latdeg, latmin, NorS, londeg, lonmin, WorE,
        services_.state != nullptr ? monthZoneText(*services_.state, in.year, in.month, today)
                                   : today,
        services_.zoneName ? services_.zoneName() : QString());
    in.tides = Check6->isChecked() && static_cast<bool>(services_.tidesOf);
    if (in.tides) {
        in.tidesOf = services_.tidesOf;
        in.tideLine = services_.tideLine;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    bool done = false;
    if (services_.printOnPrinter) {
        done = services_.printOnPrinter(*services_.state, in, &error);
        QApplication::restoreOverrideCursor();
        if (!done) {
            boxes.show(this, tr("The calendar could not be printed: %1").arg(error),
                       QStringLiteral("Moonbite"), MessageBoxes::Icon::Exclamation);
            return;
        }
    } else {
        QApplication::restoreOverrideCursor();
        const QString suggested =
            QDir(suggestedPdfFolder()).filePath(defaultCalendarFileName(in.year, in.month));
        const QString path =
            services_.choosePdfPath ? services_.choosePdfPath(suggested) : QString();
        if (path.isEmpty()) return;  // the user cancelled
        QApplication::setOverrideCursor(Qt::WaitCursor);
        done = writeCalendarPdf(*services_.state, in, path, &error);
        QApplication::restoreOverrideCursor();
        if (!done) {
            boxes.show(this, tr("The calendar could not be written to %1:\n%2").arg(path, error),
                       QStringLiteral("Moonbite"), MessageBoxes::Icon::Exclamation);
            return;
        }
        boxes.show(this,
                   tr("No printer is set up, so the calendar was saved as a PDF:\n%1").arg(path),
                   QStringLiteral("Moonbite"), MessageBoxes::Icon::Information);
    }
    accept();
}

void Form4::saveCalendarFile() {
    MessageBoxes& boxes = *services_.boxes;
    const QString label = Combo1->currentText() + QStringLiteral(" ") + Text1->text();
    const auto first = parseDateText((QStringLiteral("1 ") + label).toStdString());
    if (!first || first->year() < 1901 || first->year() > 2200) {
        boxes.show(this,
                   tr("\"%1\" is not a month Moonbite can save. Please enter a year from 1901 to "
                      "2200.")
                       .arg(label),
                   QStringLiteral("Moonbite"), MessageBoxes::Icon::Exclamation);
        Text1->setFocus();
        return;
    }
    // The ticks that stand for events; the prediction and moonrise lines have none.
    const bool tidesHere = static_cast<bool>(services_.tidesOf);
    const IcsEventSet kinds{Check3->isChecked(),
                            Check3->isChecked(),
                            Check5->isChecked(),
                            Check1->isChecked(),
                            false,
                            tidesHere && Check6->isChecked()};
    if (!kinds.majors && !kinds.phases && !kinds.sun && !kinds.tides) {
        boxes.show(this,
                   tidesHere
                       ? tr("Tick \"Major and Minor fishing times\", \"Full and New moons\", "
                            "\"Sunrise and Sunset\" or \"Tides\": the calendar file holds "
                            "those.")
                       : tr("Tick \"Major and Minor fishing times\", \"Full and New moons\" or "
                            "\"Sunrise and Sunset\": the calendar file holds those."),
                   QStringLiteral("Moonbite"), MessageBoxes::Icon::Exclamation);
        return;
    }
    const int year = first->year();
    const int month = first->month();
    const QString suggested =
        QDir(suggestedPdfFolder())
            .filePath(QString::fromStdString(defaultIcsFileName(year, month)));
    const QString path =
        services_.chooseCalendarPath
            ? services_.chooseCalendarPath(suggested)
            : QFileDialog::getSaveFileName(this, tr("Save as calendar file"), suggested,
                                           tr("Calendar files (*.ics)"));
    if (path.isEmpty()) return;  // the user cancelled

    QString error = pdfTargetProblem(path);
    if (error.isEmpty()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // A copy: the main window's shown day stays as it is. No graph rows,
        // which no event needs.
        SolunarState fresh = *services_.state;
        fresh.plottedDayCount = 0;
        IcsRange range;
        range.from = *first;
        range.days = daysInMonth(year, month);
        range.kinds = kinds;
        range.placeKey = icsPlaceKey(fresh.latitude, fresh.longitude);
        if (kinds.tides) {
            range.tidesOf = [tidesOf = services_.tidesOf](const SolunarState& s, Date d) {
                std::vector<IcsTide> out;
                for (const tides::TideEvent& e : tidesOf(s, d).events)
                    out.push_back({e.time, e.high, e.heightMetres});
                return out;
            };
            range.tideNote = services_.tideLine.toStdString();
        }
        IcsCalendar calendar;
        calendar.stampUtc = QDateTime::currentSecsSinceEpoch();
        try {
            calendar.events = rangeEvents(fresh, range, [](SolunarState& s, Date d) {
                setDateControls(s, d);
                computeDisplayedDay(s);
            });
            const std::string text = icsText(calendar);
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(text.data(), static_cast<qint64>(text.size())) !=
                    static_cast<qint64>(text.size()) ||
                !file.commit()) {
                error = file.errorString();
            }
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
        QApplication::restoreOverrideCursor();
    }
    if (!error.isEmpty()) {
        boxes.show(this, tr("The calendar file could not be written to %1:\n%2").arg(path, error),
                   QStringLiteral("Moonbite"), MessageBoxes::Icon::Exclamation);
        return;
    }
    boxes.show(this,
               tr("The fishing times of %1 were saved in\n%2\nOpen that file in your calendar "
                  "program to add them; opening it again updates them.")
                   .arg(label, path),
               QStringLiteral("Moonbite"), MessageBoxes::Icon::Information);
}

}  // namespace moonbite
