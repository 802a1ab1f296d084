// Form4, "Print Calendar": choose a month and the data to show, then print
// the month's page on the default printer, or as a PDF when there is none.
#pragma once

#include <QDate>
#include <QDialog>
#include <functional>

#include "calendar_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace moonbite {

class MessageBoxes;
class SettingsStore;
class UpDown;

struct PrintServices {
    SettingsStore* store = nullptr;
    MessageBoxes* boxes = nullptr;
    SolunarState* state = nullptr;  ///< the main window's shared values
    std::function<QDate()> today;
    std::function<QString()> zoneText;  ///< the main window's time-zone box
    std::function<QString()> zoneName;  ///< the main window's zone-name box
    /// Prints the page on the default printer; null when there is no printer.
    std::function<bool(SolunarState&, const CalendarPageInput&, QString* error)> printOnPrinter;
    /// Asks where to write the PDF, starting at the suggested path; empty when cancelled.
    std::function<QString(const QString& suggested)> choosePdfPath;
    /// Asks where to save the calendar file, starting at the suggested path;
    /// empty when cancelled. Unset: a file dialog.
    std::function<QString(const QString& suggested)> chooseCalendarPath;
    /// A day's tides at the current place by its clock; unset where the
    /// place has none (then "Tides" is off and says noTidesReason).
    std::function<tides::DayTides(const SolunarState&, Date)> tidesOf;
    /// What the page and the calendar file say once about the tides: the
    /// station, the datum of the heights, that they are not for navigation.
    QString tideLine;
    /// Why there are no tides here ("No tide station near this place", or
    /// that the harmonics file is missing).
    QString noTidesReason;
};

class Form4 : public QDialog {
    Q_OBJECT
  public:
    explicit Form4(PrintServices services, QWidget* parent = nullptr);

    void Form_Load();
    /// "&Print": the page, then the window closes.
    void Command1_Click();
    /// "Save as calendar file...": the shown month's periods, phases, sun
    /// times and tides, as ticked, in an iCalendar file for calendar programs.
    void saveCalendarFile();

    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    UpDown* UpDown1 = nullptr;
    QCheckBox* Check1 = nullptr;  ///< "&Sunrise and Sunset"
    QCheckBox* Check2 = nullptr;  ///< "&Moonrise and Moonset"
    QCheckBox* Check3 = nullptr;  ///< "Major and Minor fishing &times"
    QCheckBox* Check4 = nullptr;  ///< "Fishing &Prediction"
    QCheckBox* Check5 = nullptr;  ///< "&Full and New moons"
    QCheckBox* Check6 = nullptr;  ///< "Ti&des": each day's highs and lows
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* CommandSaveIcs = nullptr;  ///< "Save &as calendar file..."
    QLabel* Label1 = nullptr;

  private:
    PrintServices services_;
};

}  // namespace moonbite
