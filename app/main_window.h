// Form1, the main window: the displayed date, the solunar day computed for
// it, the prediction graph and the settings frame.
#pragma once

#include <QDate>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "calendar_page.h"
#include "calendar_print.h"
#include "journal_window.h"
#include "current_place.h"
#include "day_driver.h"
#include "place_tides.h"
#include "resizer.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace moonbite {

class ChartWidget;
class MessageBoxes;
class SettingsStore;
class TimeZoneSource;
class UpDown;
class GaugeLine;
class PlaceTable;
class DayGlance;

/// What the window needs from outside: the store, the message boxes, the
/// computer's time zone and the clock.
struct MainWindowServices {
    SettingsStore* store = nullptr;
    MessageBoxes* boxes = nullptr;
    const TimeZoneSource* timeZone = nullptr;
    std::function<QDate()> today;
    /// Starts an external command (the desktop's region settings); failures ignored.
    std::function<void()> openRegionalSettings;
    /// Opens the help at a topic (10 settings, 11 contents, 20 journal).
    std::function<void(int)> openHelp;
    /// Chooses a colour; returns an invalid colour when cancelled.
    std::function<QColor(const QColor& initial, QWidget* parent)> chooseColour;
    /// Prints a calendar page on the default printer; null when there is no printer.
    std::function<bool(SolunarState&, const CalendarPageInput&, QString* error)> printOnPrinter;
    /// Asks where to save a calendar PDF; empty when cancelled.
    std::function<QString(const QString& suggested)> choosePdfPath;
    /// Starts the tray companion (it leaves at once when one runs already);
    /// unset: nothing is started.
    std::function<void()> startCompanion;
    /// The fishing journal's folder.
    QString journalFolder;
    /// The table of towns the settings frame searches; empty for the installed one.
    QString placesTable;
    /// The tide stations, read when first shown; null: no tides are offered.
    std::shared_ptr<tides::TideSource> tides;
    /// The time now, for the tide's state on today's page; unset: the clock.
    std::function<tides::UnixSeconds()> now;
};

class Form1 : public QMainWindow, private DateControlHandlers {
    Q_OBJECT
  public:
    explicit Form1(MainWindowServices services, QWidget* parent = nullptr);
    ~Form1() override;

    [[nodiscard]] SolunarState& state() { return state_; }
    [[nodiscard]] ScaleState& scale() { return scale_; }

    // --- Start-up, activation, close --------------------------------------
    void Form_Load();
    void Activateform();
    void settings();
    /// Another window of the program closed: the main window is active again
    /// and recomputes (not after its own message boxes).
    void otherWindowClosed();

    // --- The day --------------------------------------------------------------
    void datechanged();
    /// Shows a day (1901..2200), as typing it into the date boxes would:
    /// what a tray notification or `moonbite --date` asks for.
    void showDate(const QDate& date);
    /// datechanged, then the lunar distance of the displayed date.
    void recompute();
    void graph();
    void datrep();

    // --- Settings frame ---------------------------------------------------------
    /// Validates the settings frame and saves it; false when a message was shown.
    bool checklatlon();
    void gmtadj();

    // --- Handlers (named after the control and event) -----------------------------
    void Text1_KeyDown(int key);
    void Text1_KeyPress_Enter();
    void UpDown1_Change();
    void Combo1_Click();
    void Combo1_LostFocus();
    void Text10_KeyPress();
    void Text10_Change();
    void Command7_Click();
    void Text11_Commit();
    void UpDown3_Change();
    void MSChart1_PointSelected(int Series, int DataPoint, int MouseFlags, int Cancel);
    void MSChart1_PointActivated(int Series, int DataPoint, int MouseFlags, int Cancel);
    void MSChart1_PlotSelected();
    void MSChart1_LostFocus();
    void Command2_Click();
    void Command4_Click();
    void Command5_Click();
    void Combo3_Click();
    void Command8_Click();
    void Command9_Click();
    void UpDown11_UpClick();
    void UpDown11_DownClick();
    void Check3_Click();
    void Text17_KeyPress_Enter();
    /// The zone list: a name chosen or typed. A zone's offset today goes into
    /// the G.M.T box; a name that is no item goes back to the last choice.
    void Combo4_Click();
    /// Shows a stored zone name in the list ("" or an unknown name: "(none)")
    /// and, for a zone, its offset today in the G.M.T box.
    void setNamedZone(const QString& name);
    /// The chosen zone's name, or "" for "(none)".
    [[nodiscard]] QString namedZone() const;
    /// The search box's text changed: the matches follow after a short pause.
    void TextFindPlace_Change();
    /// Lists the towns that match the search box (reading the table first if needed).
    void findPlaces();
    /// Fills the location's name, coordinates and zone from the list's row.
    void pickPlace(int row);
    /// A degrees box typed into, or text pasted into any coordinate box: a
    /// written coordinate ("34.73", "24°33'N", a pair) fills degrees,
    /// minutes and letter. False (box untouched) for a plain number as the box
    /// holds it, or for what cannot be read.
    bool readWrittenCoordinate(QLineEdit* box, const QString& text);
    /// The table of towns the search box reads (once, when first used).
    [[nodiscard]] const PlaceTable& placeTable() const { return *placeTable_; }
    /// Opens the settings frame (if closed) with the focus in the search box.
    void chooseAPlace();
    void mnuChartType(int type);
    void mnubackcol_Click();
    void mnualarm_Click();
    void mnurevmoon_Click();
    void mnutextip_Click();
    void mnuabout_Click();

    /// Shows the state's texts, pictures and graph rows in the controls.
    void showState();

    // --- Tides ---------------------------------------------------------------------
    /// The Tides frame and the day picture for the displayed day.
    void showTides();
    /// "Stat&ion...": picks the place's station from a searchable list.
    void CommandTideStation_Click();
    /// Keeps a station choice for the current place ("" nearest, "none", a
    /// name), in the current location and in its saved location, and shows it.
    void setTideStation(const QString& choice);
    /// The station the current place's tides come from (index -1: none).
    [[nodiscard]] tides::StationChoice tideStation();
    /// The stations, or null without a harmonics file (read at the first call).
    [[nodiscard]] const tides::TideDatabase* tideDatabase();
    /// Why there are no tides here, or "" when there are.
    [[nodiscard]] QString noTidesReason();
    /// A day's tides at the current place's station; unset when it has none.
    [[nodiscard]] std::function<tides::DayTides(const SolunarState&, Date)> tidesOfPlace();
    /// Beside the selected date: "Tide range 3.42 m" (its lowest low to its
    /// highest high), hidden where the place has no tides.
    void showTideRange(Date date);
    /// The words showTideRange shows, "" without tides.
    [[nodiscard]] QString tideRangeText(Date date);
    /// "Tides: <station>, heights in metres above <datum>. <source>; not for navigation."
    [[nodiscard]] QString tideLine();

    // --- Controls (objectName as the member name) -------------------------------
    QGroupBox* Dateframe = nullptr;
    QLineEdit* Text1 = nullptr;
    UpDown* UpDown1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text10 = nullptr;
    UpDown* UpDown2 = nullptr;
    QPushButton* Command7 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* LabelClockChange = nullptr;  ///< "Clocks go forward" / "Clocks go back"

    QGroupBox* Frame2 = nullptr;  // Sun
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text32 = nullptr;
    QLineEdit* Text6 = nullptr;
    QGroupBox* Frame5 = nullptr;  // Moon
    QLineEdit* Text21 = nullptr;
    QLineEdit* Text39 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label18 = nullptr;
    QGroupBox* Frame6 = nullptr;  // Solunar periods
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;

    QGroupBox* FramePrediction = nullptr;
    QLabel* Picture2 = nullptr;
    QLabel* Image5 = nullptr;
    QLabel* LabelRating = nullptr;  ///< the prediction's word, beside its colour and fish
    QGroupBox* Frame1 = nullptr;    // lunar distance
    QLabel* Label13 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    GaugeLine* Line1 = nullptr;

    QGroupBox* Frame3 = nullptr;  // Graph days
    QLineEdit* Text11 = nullptr;
    UpDown* UpDown3 = nullptr;
    ChartWidget* MSChart1 = nullptr;
    QLineEdit* Text18 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* TextTideRange = nullptr;  ///< the selected day's tide range, beside its date

    QLabel* LabelChoosePlace = nullptr;  ///< the hint shown until a place is chosen

    QGroupBox* FrameTides = nullptr;
    QLabel* LabelTideStation = nullptr;  ///< the station and its distance, or why there are no tides
    QLabel* LabelTideEvents = nullptr;   ///< the day's highs and lows, one a line
    QLabel* LabelTideNow = nullptr;      ///< "Rising now" on today's page
    QPushButton* CommandTideStation = nullptr;
    DayGlance* PictureDay = nullptr;  ///< the day at a glance

    QFrame* Frame9 = nullptr;  // the settings frame beneath the chart
    QLabel* LabelFindPlace = nullptr;
    QLineEdit* TextFindPlace = nullptr;  ///< the search for a town by name
    QLabel* LabelPlaceNote = nullptr;    ///< what to do, or why nothing can be found
    QListWidget* ListPlaces = nullptr;   ///< the towns found, over the boxes below it
    QComboBox* Combo3 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QLineEdit* Text30 = nullptr;
    UpDown* UpDown9 = nullptr;
    QLineEdit* Text20 = nullptr;
    UpDown* UpDown6 = nullptr;
    QLineEdit* Text40 = nullptr;
    UpDown* UpDown10 = nullptr;
    QLineEdit* Text15 = nullptr;
    UpDown* UpDown7 = nullptr;
    QLineEdit* Text14 = nullptr;
    UpDown* UpDown8 = nullptr;
    QLineEdit* Text13 = nullptr;
    UpDown* UpDown5 = nullptr;
    QLineEdit* Text17 = nullptr;
    UpDown* UpDown11 = nullptr;
    QLabel* Label17 = nullptr;
    QLineEdit* Text16 = nullptr;
    QCheckBox* Check3 = nullptr;
    QComboBox* Combo4 = nullptr;  ///< the zone by name: "(none)", then the zone database's names
    QGroupBox* Frame4 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QGroupBox* Frame7 = nullptr;
    QComboBox* Combo2 = nullptr;
    QLabel* LabelWarnOn = nullptr;
    QLineEdit* Text12 = nullptr;
    UpDown* UpDown4 = nullptr;
    QLabel* LabelDaysInAdvance = nullptr;
    QGroupBox* Frame8 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;

    QPushButton* Command1 = nullptr;  // "&Journal"
    QPushButton* Command3 = nullptr;  // "&Exit"

    QMenu* mnuMoonbite = nullptr;  ///< the day, journal, printing and Quit
    QMenu* mnuGraphs = nullptr;
    QAction* mnuChart[8] = {};
    QAction* mnubackcol = nullptr;
    QMenu* mnuSettings = nullptr;
    QAction* mnualarm = nullptr;
    QAction* mnuregional = nullptr;
    QAction* mnudaterep = nullptr;
    QAction* mnurevmoon = nullptr;
    QAction* mnutextip = nullptr;
    QAction* mnutidestation = nullptr;  ///< "Tide Stat&ion...": the place's tide station
    QAction* mnuprintcal = nullptr;
    QMenu* mnuhelp = nullptr;
    QAction* mnuhelptopics = nullptr;
    QAction* mnuabout = nullptr;

    /// "&Journal": the fishing journal on this window's values.
    void Command1_Click();
    /// "&Print Calendar": the print-calendar window on this window's values.
    void mnuprintcal_Click();
    /// What the print window and the journal get from this window: its values,
    /// and the place's tides.
    [[nodiscard]] PrintServices printServices();
    [[nodiscard]] JournalServices journalServices();

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // DateControlHandlers: the roll-over changed the month list or year box.
    void Combo1_Click(SolunarState& s) override;
    void Text10_Change(SolunarState& s) override;

    void buildControls();
    void buildMenus();
    /// Tab follows reading order: the date row, the day's values, graph days,
    /// the chart or the settings frame, then Journal and Exit.
    void setTabChain();
    /// Names for screen readers where no caption sits beside a control as its
    /// buddy, and for the pictures.
    void nameForReaders();
    /// The pictures' and the rating's words for the shown day.
    void describeDay();
    /// The graph's days and ratings as its description, after the point
    /// selected (1-based) when there is one.
    void describeGraph(int selectedPoint = 0);
    /// The program's menu with the keyboard's standard keys (day steps,
    /// journal, print, quit) and F1 for the help at the shown topic.
    void buildShortcuts();
    void connectHandlers();
    void tooltipsshow();
    void tooltipss();
    void convertrgb(unsigned colourNumber);
    /// The accent texts (equinox, clock change, the place note and link) in
    /// their hues made readable on the desktop's window colour, light or dark.
    void followPalette();
    void menuclrcheck();
    void placeGauge();
    void drawPictures();
    void drawMoonPicture();
    void pushStateDateControls();
    void pullDateControls();
    void setGraphDaysValidated();
    bool validNumber(QLineEdit* box, double& value);
    void showMessage(const QString& text, const QString& title, int icon);
    void setAlarmGroupEnabled(bool enabled);
    void stepWrapped(QLineEdit* box, int delta, int wrapAt, int wrapTo);
    void flipLetters(QLineEdit* box, const char* a, const char* b);
    /// Puts the chosen zone's offset today into the G.M.T box as typing would;
    /// tellUser: say so when that offset is beyond the box's -12..+13.
    void applyNamedZone(bool tellUser);
    void saveSettingsNotKeptOnce();
    /// Fills Combo3's list: "New Location", then the names; its text is kept.
    void listLocations(const QStringList& names);
    /// Saves the boxes as the named location (Save). onlyIfNew: not when the
    /// name is saved already (Ok and Apply keep a place typed or picked).
    void saveLocation(const QString& name, bool onlyIfNew);
    /// The day's boxes blank and the chart empty: no place has been chosen.
    void showNoPlace();
    void showChoosePlace();
    /// "Moonbite - " and the current location's name.
    void updateTitle();
    void showCoordinate(bool latitude, double degrees);
    /// Paste into a coordinate box: a written coordinate fills its boxes,
    /// anything else is pasted as usual.
    void pasteInto(QLineEdit* box);
    [[nodiscard]] bool isCoordinateBox(const QObject* o) const;
    void showPlaceNote(const QString& text);
    void closePlaceList();
    void fitPlaceList();
    [[nodiscard]] QStringList listedLocations() const;
    void placeDateControls();
    void keepDateFieldsApart();

    MainWindowServices services_;
    SolunarState state_;
    ScaleState scale_;
    std::unique_ptr<Resizer> resizer_;
    bool starty_ = false;
    bool yearKeystroke_ = false;
    bool inDatechanged_ = false;
    bool firstShow_ = true;
    bool customZone_ = false;
    int zoneChoice_ = 0;  // Combo4's item last applied, where a name that is no zone goes back to
    QString timeZoneText_;
    QString systemZoneName_;
    double systemOffsetHours_ = 0;
    bool settingsWarningShown_ = false;
    QStringList settingsFilesAnnounced_;  // oversized files said at start, not again when replaced
    CurrentPlace place_;                  // the state's zone rule points into it
    bool placeChosen_ = false;            // a place has been applied: until then no day is shown
    QString dayWord_;  ///< the shown day's prediction word, kept past the graph's days
    std::unique_ptr<PlaceTable> placeTable_;
    QTimer* searchPause_ = nullptr;
    std::vector<std::size_t> placesFound_;  // the table's indices of ListPlaces' rows
    QString tideStation_;         // the current place's station choice as stored
    QString pendingTideStation_;  // a saved location's choice, kept when it is applied
    bool tidesReady_ = false;     // the first show has passed: the file may be read
};

}  // namespace moonbite
