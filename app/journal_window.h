// The fishing journal window: one trip per page, read from and saved to the
// journal folder, with the Moon's phase, age and the fishing prediction of
// the trip date.
#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "calendar_time.h"
#include "date.h"
#include "journal_file.h"
#include "resizer.h"
#include "zone_rule.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace moonbite {

struct SolunarState;
class MessageBoxes;
class UpDown;

/// What the journal window needs from the program.
struct JournalServices {
    /// The main window's state: the date order, the tips setting, the place
    /// and time zone. The window borrows it for the Moon values and puts the
    /// main window's values back as they were.
    SolunarState* state = nullptr;
    MessageBoxes* boxes = nullptr;
    QString folder;                     ///< where the jour<N>.dat files live
    std::function<QDate()> today;       ///< the clock
    std::function<void(int)> openHelp;  ///< help topic by number
    /// The tide at the place's station at a clock minute of a date, in the
    /// Tide list's words ("Rising 1/3" .. "Slack Low"); "" when there is no
    /// prediction. Unset: the place has no tides, and the list is never filled.
    std::function<std::string(const SolunarState&, Date, int minuteOfDay)> tideStateOf;
    /// The date's highs and lows there ("High 05:12 AM 1.83 m, Low 11:30 AM
    /// 0.21 m, ..."), "" when there is no prediction.
    std::function<std::string(const SolunarState&, Date)> dayTidesText;
};

/// The trip time box read as a clock time, as the minute of the day: the
/// first time it holds ("6:30 AM", "06:30", "18:30", "6am", "6.30pm", the
/// start of "10:00am - 02:00pm"); designators are the locale's AM and PM,
/// besides "am" and "pm". Nothing when it holds no time.
[[nodiscard]] std::optional<int> tripTimeMinute(const QString& text,
                                                const ClockDesignators& designators);

/// The instant at which the place's clock reads minuteOfDay on the date (the
/// earlier one in the hour the clocks go back, the hour after the jump when
/// a time the clocks skip is asked for).
[[nodiscard]] Instant instantAtClock(const SolunarState& s, Date date, int minuteOfDay);

class Form3 : public QDialog {
    Q_OBJECT
  public:
    explicit Form3(JournalServices services, QWidget* parent = nullptr);
    ~Form3() override;

    /// The entry number the window works on.
    [[nodiscard]] int entryNumber() const { return entno_; }
    /// True while a blank page past the last entry file is shown (Next does nothing).
    [[nodiscard]] bool newEntryFlag() const { return flag_; }
    /// The trip date the Moon values were last shown for.
    [[nodiscard]] std::optional<Date> entryDate() const { return entryDate_; }

    // The steps behind the buttons, callable as the buttons call them.
    void readdata();
    void saveent();
    void new_entry();
    void dateentered();
    void Moonfish();

    // Controls.
    QLineEdit* Text1 = nullptr;   ///< day
    QLineEdit* Text13 = nullptr;  ///< month number
    QLineEdit* Text14 = nullptr;  ///< year
    QLineEdit* Text8 = nullptr;   ///< entry number
    QPlainTextEdit* Text200 = nullptr;
    QLineEdit* Text3 = nullptr;   ///< temperature
    QLineEdit* Text4 = nullptr;   ///< trip time
    QLineEdit* Text5 = nullptr;   ///< tide type
    QLineEdit* Text6 = nullptr;   ///< wind strength
    QLineEdit* Text7 = nullptr;   ///< number of fish
    QLineEdit* Text9 = nullptr;   ///< place, first line
    QLineEdit* Text10 = nullptr;  ///< place, second line
    QLineEdit* Text11 = nullptr;  ///< best time
    QLineEdit* Text12 = nullptr;  ///< Moon age
    QComboBox* Combo1 = nullptr;  ///< wind direction
    QComboBox* Combo2 = nullptr;  ///< tide state
    QComboBox* Combo3 = nullptr;  ///< catch rating
    UpDown* UpDown1 = nullptr;
    UpDown* UpDown3 = nullptr;
    UpDown* UpDown4 = nullptr;
    QLabel* Pictures1 = nullptr;      ///< Moon phase picture
    QLabel* Pictures10 = nullptr;     ///< prediction colour
    QLabel* Label14 = nullptr;        ///< phase event caption
    QLabel* Label16 = nullptr;        ///< "Age"
    QLabel* Label17 = nullptr;        ///< phase caption
    QLabel* Label21 = nullptr;        ///< "M"
    QLabel* Label22 = nullptr;        ///< "D"
    QPushButton* Command1 = nullptr;  ///< save
    QPushButton* Command2 = nullptr;  ///< close
    QPushButton* Command3 = nullptr;  ///< help
    QPushButton* Command4 = nullptr;  ///< previous entry
    QPushButton* Command5 = nullptr;  ///< next entry
    QPushButton* Command6 = nullptr;  ///< clear

  signals:
    /// The window closed; the main window recomputes its own values.
    void closed();

  public slots:
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildControls();
    /// Names for screen readers where the caption beside a control is not
    /// its buddy or says too little ("D", "M", "Y").
    void nameForReaders();
    void Form_Load();
    void placeDateFields();
    void showTips();
    void hideMoonValues();
    void step(QLineEdit* box, int by);
    /// On a new entry's page: the tide at the trip time into the Tide list,
    /// unless the user has typed or picked one; the day's highs and lows
    /// into its tip.
    void offerTide();
    void showTideTip(const QString& dayTides);
    /// Whether the journal has an entry (readable or not) numbered above number.
    [[nodiscard]] bool entryAfter(int number) const;
    void message(const QString& text, const QString& title, int icon);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();

    JournalServices services_;
    ScaleState scale_;
    std::unique_ptr<Resizer> resizer_;
    int entno_ = 1;
    bool flag_ = false;
    bool inDateEntered_ = false;
    std::optional<Date> entryDate_;
    /// A blank page for a new entry is shown (not an entry read or saved).
    bool newPage_ = false;
    /// The user has typed into or picked from the Tide list since the page became blank.
    bool tideChosen_ = false;
    /// The trip date last checked on this blank page.
    std::optional<Date> pageDate_;
    /// The entry whose file was last put on screen, by reading or saving,
    /// with the contents it had then; empty while a blank page stands for a
    /// missing or damaged file. Saving replaces this file without asking.
    struct ShownEntry {
        int number;
        JournalEntry entry;
    };
    std::optional<ShownEntry> shown_;
};

}  // namespace moonbite
