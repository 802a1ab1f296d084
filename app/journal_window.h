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

#include "date.h"
#include "journal_file.h"
#include "resizer.h"

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
};

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
