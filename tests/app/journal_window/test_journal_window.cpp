// The journal window: date checks, entry navigation, saving and the Moon
// values of the trip date, on a temporary journal folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>

#include "current_place.h"
#include "journal_file.h"
#include "journal_window.h"
#include "message_boxes.h"
#include "solunar_day.h"
#include "updown.h"

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace moonbite {
namespace {

using Icon = MessageBoxes::Icon;

SolunarState sydney() {
    SolunarState s;
    s.latitude = -(33 + 52 / 60.0);
    s.longitude = 151 + 13 / 60.0;
    s.timeZoneEntered = "10";
    s.timeZoneForComputations = "-10";
    return s;
}

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d).value();
}

JournalEntry trip(const QString& day, const QString& month, const QString& year,
                  const QString& notes) {
    JournalEntry e;
    e.day = day;
    e.month = month;
    e.year = year;
    e.notes = notes;
    e.temperature = QStringLiteral("18");
    e.tripTime = QStringLiteral("6:00am - 11:00am");
    e.tideType = QStringLiteral("Neap");
    e.windStrength = QStringLiteral("12");
    e.quantity = QStringLiteral("4");
    e.wind = QStringLiteral("South East");
    e.tide = QStringLiteral("Falling 2/3");
    e.catchRating = QStringLiteral("Good");
    e.gps1 = QStringLiteral("Botany Bay");
    e.gps2 = QStringLiteral("Off Bare Island");
    e.bestTime = QStringLiteral("7.10am - 8.40am");
    return e;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
    return f.readAll();
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class JournalWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    std::unique_ptr<Form3> open(MessageBoxes* withBoxes = nullptr) {
        JournalServices services;
        services.state = &state;
        services.boxes = withBoxes != nullptr ? withBoxes : &boxes;
        services.folder = folder.isEmpty() ? dir.path() : folder;
        services.today = [this] { return clock; };
        services.openHelp = [this](int topic) { helpTopic = topic; };
        return std::make_unique<Form3>(services);
    }

    void write(int n, const JournalEntry& e) {
        QString error;
        ASSERT_TRUE(writeJournalEntry(dir.path(), n, e, &error)) << error.toStdString();
    }

    static void setDate(Form3& w, const char* day, const char* month, const char* year) {
        w.Text1->setText(QString::fromLatin1(day));
        w.Text13->setText(QString::fromLatin1(month));
        w.Text14->setText(QString::fromLatin1(year));
    }

    QTemporaryDir dir;
    QString folder;  // empty: the temporary folder
    SolunarState state = sydney();
    RecordingMessageBoxes boxes;
    QDate clock{2026, 5, 17};
    int helpTopic = 0;
};

// --- Date checks ---------------------------------------------------------------

TEST_F(JournalWindowTest, ThirtyFirstOfAprilIsAnInvalidDate) {
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "31", "4", "1999");
    w->dateentered();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("INVALID DATE"));
    EXPECT_EQ(boxes.shown[0].icon, Icon::Critical);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral(
                  "The date you have selected is not a valid date. For example, if you enter "
                  "30/2/1999 or 2/30/1999 this error will occur as Febuary does not have 30 "
                  "days.\rThis error may also be a result of incorrect Windows regional "
                  "settings. Refer to readme.txt file for details.\rTo display the regional "
                  "settings, select Settings | Control Panel | Regional Settings in the Windows "
                  "Start menu."));
    EXPECT_FALSE(w->entryDate().has_value());
}

TEST_F(JournalWindowTest, MonthThirteenEmptiesTheMonth) {
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "31", "13", "1999");
    w->dateentered();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("INVALID MONTH"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Invalid date. Please re-enter the Month."));
    EXPECT_EQ(boxes.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(w->Text13->text().isEmpty());
    EXPECT_EQ(w->Text1->text(), QStringLiteral("31"));
}

TEST_F(JournalWindowTest, ZeroDayAndMonthEmptiesBoth) {
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "0", "0", "2000");
    w->dateentered();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("INVALID DAY & MONTH"));
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Invalid date. Please re-enter the Day and Month."));
    EXPECT_TRUE(w->Text1->text().isEmpty());
    EXPECT_TRUE(w->Text13->text().isEmpty());
}

TEST_F(JournalWindowTest, DayThirtyTwoAloneIsAnInvalidDay) {
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "32", "5", "2000");
    w->dateentered();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("INVALID DAY"));
    EXPECT_TRUE(w->Text1->text().isEmpty());
    EXPECT_EQ(w->Text13->text(), QStringLiteral("5"));
}

TEST_F(JournalWindowTest, EmptyBoxesAreNamedInOrder) {
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "", "", "");
    w->dateentered();
    setDate(*w, "3", "", "");
    w->dateentered();
    setDate(*w, "3", "4", "");
    w->dateentered();
    ASSERT_EQ(boxes.shown.size(), 3U);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("No Day Specified"));
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("No value was entered for the Day. Please re-enter the day."));
    EXPECT_EQ(boxes.shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(boxes.shown[1].title, QStringLiteral("No Month Specified"));
    EXPECT_EQ(boxes.shown[2].title, QStringLiteral("No Year Specified"));
}

TEST_F(JournalWindowTest, TwoDigitYearTakesTheClocksCentury) {
    clock = QDate(1999, 6, 1);
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "12", "3", "99");
    w->dateentered();
    EXPECT_EQ(w->Text14->text(), QStringLiteral("1999"));
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Moonbite"));
    EXPECT_EQ(boxes.shown[0].icon, Icon::Information);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Two digit year format")));
    EXPECT_EQ(w->entryDate(), ymd(1999, 3, 12));

    clock = QDate(2026, 1, 10);
    setDate(*w, "12", "3", "99");
    w->dateentered();
    EXPECT_EQ(w->Text14->text(), QStringLiteral("2099"));
    EXPECT_EQ(w->entryDate(), ymd(2099, 3, 12));
}

TEST_F(JournalWindowTest, YearsOutsideTheRangeAreClampedSilently) {
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "12", "3", "5");
    w->dateentered();
    EXPECT_EQ(w->Text14->text(), QStringLiteral("1901"));
    EXPECT_EQ(w->entryDate(), ymd(1901, 3, 12));
    setDate(*w, "12", "3", "2500");
    w->dateentered();
    EXPECT_EQ(w->Text14->text(), QStringLiteral("2200"));
    EXPECT_EQ(w->entryDate(), ymd(2200, 3, 12));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(JournalWindowTest, NumbersAreWrittenBackPlain) {
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "07", "-3", "2000");
    w->dateentered();
    EXPECT_EQ(w->Text1->text(), QStringLiteral("7"));
    EXPECT_EQ(w->Text13->text(), QStringLiteral("3"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(w->entryDate(), ymd(2000, 3, 7));
}

TEST_F(JournalWindowTest, FocusOnAFieldChecksTheDateOnce) {
    // A box that hands the focus back to the field while it is open, as the
    // real one does when it closes.
    class FocusReturningBoxes : public MessageBoxes {
      public:
        QWidget* target = nullptr;
        int count = 0;

      protected:
        void present(QWidget*, const QString&, const QString&, Icon) override {
            ++count;
            QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
            QApplication::sendEvent(target, &in);
        }
    } returning;
    auto w = open(&returning);
    returning.count = 0;
    returning.target = w->Text4;
    w->Text1->clear();
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w->Text4, &in);
    EXPECT_EQ(returning.count, 1);

    // With a date, focus on the notes shows the Moon values.
    setDate(*w, "21", "1", "2000");
    QApplication::sendEvent(w->Text200, &in);
    EXPECT_EQ(w->entryDate(), ymd(2000, 1, 21));
}

// --- Date order ---------------------------------------------------------------------

TEST_F(JournalWindowTest, DateBoxesFollowTheDateOrder) {
    state.dateOrderMonthFirst = true;
    auto monthFirst = open();
    EXPECT_EQ(monthFirst->Text13->x(), 645 / 15);
    EXPECT_EQ(monthFirst->Text1->x(), 1170 / 15);
    EXPECT_EQ(monthFirst->Label21->x(), 750 / 15);
    EXPECT_EQ(monthFirst->Label22->x(), 1275 / 15);

    state.dateOrderMonthFirst = false;
    auto dayFirst = open();
    EXPECT_EQ(dayFirst->Text1->x(), 645 / 15);
    EXPECT_EQ(dayFirst->Text13->x(), 1170 / 15);
    EXPECT_EQ(dayFirst->Label22->x(), 750 / 15);
    EXPECT_EQ(dayFirst->Label21->x(), 1275 / 15);
}

// Where a caption sits against its box, in window coordinates.
struct CaptionPlace {
    QRect caption, box;
};

CaptionPlace placeOf(const Form3& w, const QLabel* caption, const QWidget* box) {
    return {QRect(caption->mapTo(&w, QPoint(0, 0)), caption->size()),
            QRect(box->mapTo(&w, QPoint(0, 0)), box->size())};
}

TEST_F(JournalWindowTest, CaptionsAreNamedAndMoveWithTheirBoxes) {
    for (const bool monthFirst : {true, false}) {
        SCOPED_TRACE(monthFirst ? "month first" : "day first");
        state.dateOrderMonthFirst = monthFirst;
        auto w = open();
        w->show();
        QApplication::processEvents();

        // The resizer moves only what has a name.
        QSet<QString> names;
        for (const QLabel* label : w->findChildren<QLabel*>()) {
            EXPECT_FALSE(label->objectName().isEmpty()) << label->text().toStdString();
            EXPECT_FALSE(names.contains(label->objectName())) << label->objectName().toStdString();
            names.insert(label->objectName());
        }

        QWidget* firstDateBox = monthFirst ? static_cast<QWidget*>(w->Text13) : w->Text1;
        enum class Side { Left, Above };
        struct Pair {
            const char* caption;
            QWidget* box;
            Side side;
        };
        const Pair pairs[] = {
            {"Label1", firstDateBox, Side::Left}, {"Label21", w->Text13, Side::Above},
            {"Label22", w->Text1, Side::Above},   {"Label23", w->Text14, Side::Above},
            {"Label2", w->Text8, Side::Left},     {"Label3", w->Text200, Side::Above},
            {"Label4", w->Text4, Side::Left},     {"Label5", w->Combo1, Side::Left},
            {"Label6", w->Combo2, Side::Left},    {"Label7", w->Text3, Side::Left},
            {"Label8", w->Text6, Side::Left},     {"Label9", w->Text5, Side::Left},
            {"Label10", w->Text7, Side::Left},    {"Label11", w->Combo3, Side::Left},
            {"Label12", w->Text11, Side::Left},   {"Label13", w->Text9, Side::Above},
            {"Label16", w->Text12, Side::Left},
        };
        // Every caption of a box is in the table: the rest are pictures and
        // the phase texts.
        for (const QString& name : names) {
            const bool listed = std::any_of(std::begin(pairs), std::end(pairs),
                                            [&](const Pair& p) { return name == p.caption; });
            const bool other = name.startsWith(QStringLiteral("Pictures")) ||
                               name == QStringLiteral("Label14") ||
                               name == QStringLiteral("Label17");
            EXPECT_TRUE(listed || other) << name.toStdString() << " is a caption of which box?";
        }

        std::map<QString, CaptionPlace> design;
        for (const double scale : {1.0, 1.5}) {
            SCOPED_TRACE(scale);
            w->resize(static_cast<int>(620 * scale), static_cast<int>(460 * scale));
            QApplication::processEvents();
            ASSERT_EQ(w->width(), static_cast<int>(620 * scale));
            for (const Pair& p : pairs) {
                SCOPED_TRACE(p.caption);
                const auto* caption = w->findChild<QLabel*>(QString::fromLatin1(p.caption));
                ASSERT_NE(caption, nullptr);
                const CaptionPlace at = placeOf(*w, caption, p.box);
                if (p.side == Side::Left) {
                    EXPECT_LE(at.caption.right(), at.box.left());
                    const int middle = at.caption.center().y();
                    EXPECT_GE(middle, at.box.top());
                    EXPECT_LE(middle, at.box.bottom());
                } else {
                    EXPECT_LE(at.caption.bottom(), at.box.top());
                    const int middle = at.caption.center().x();
                    EXPECT_GE(middle, at.box.left());
                    EXPECT_LE(middle, at.box.right());
                }
                if (scale == 1.0) {
                    design[QString::fromLatin1(p.caption)] = at;
                } else {
                    // The caption keeps its place against the box: the
                    // offset between them grows with the window.
                    const CaptionPlace& d = design[QString::fromLatin1(p.caption)];
                    const QPoint was = d.box.topLeft() - d.caption.topLeft();
                    const QPoint now = at.box.topLeft() - at.caption.topLeft();
                    EXPECT_NEAR(now.x(), was.x() * scale, 2);
                    EXPECT_NEAR(now.y(), was.y() * scale, 2);
                }
            }
        }
    }
}

TEST_F(JournalWindowTest, TipsFollowTheSetting) {
    state.textTipsShown = true;
    auto on = open();
    EXPECT_EQ(on->Text1->toolTip(), QStringLiteral("Day of the trip"));
    EXPECT_EQ(on->Text12->toolTip(), QStringLiteral("Age of the Moon in days from New Moon"));
    state.textTipsShown = false;
    auto off = open();
    EXPECT_TRUE(off->Text1->toolTip().isEmpty());
    EXPECT_TRUE(off->Command6->toolTip().isEmpty());
}

// --- Navigation ----------------------------------------------------------------------

TEST_F(JournalWindowTest, EmptyJournalOpensOnABlankPage) {
    auto w = open();
    EXPECT_TRUE(w->newEntryFlag());
    EXPECT_TRUE(w->Text1->text().isEmpty());
    EXPECT_TRUE(w->Text200->toPlainText().isEmpty());
    EXPECT_EQ(w->Text13->text(), QStringLiteral("5"));
    EXPECT_EQ(w->Text14->text(), QStringLiteral("2026"));
    EXPECT_TRUE(boxes.shown.empty());
    // A new journal starts at entry 1: saving the first trip writes jour1.dat.
    EXPECT_EQ(w->Text8->text(), QStringLiteral("1"));
    w->Text1->setText(QStringLiteral("2"));
    w->Command1->click();
    EXPECT_TRUE(QFile::exists(journalFilePath(dir.path(), 1)));
}

TEST_F(JournalWindowTest, NextPastTheLastEntryGivesABlankPageToSave) {
    for (int n = 1; n <= 4; ++n)
        write(n, trip(QString::number(n), QStringLiteral("2"), QStringLiteral("2001"),
                      QStringLiteral("trip %1").arg(n)));
    auto w = open();
    EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("trip 1"));
    EXPECT_FALSE(w->newEntryFlag());
    for (int n = 2; n <= 4; ++n) {
        w->Command5->click();
        EXPECT_EQ(w->Text8->text(), QString::number(n));
        EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("trip %1").arg(n));
        EXPECT_EQ(w->Combo1->currentText(), QStringLiteral("South East"));
    }
    w->Command5->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("5"));
    EXPECT_TRUE(w->newEntryFlag());
    EXPECT_TRUE(w->Text1->text().isEmpty());
    EXPECT_TRUE(w->Text200->toPlainText().isEmpty());
    EXPECT_TRUE(w->Combo1->currentText().isEmpty());
    EXPECT_EQ(w->Text13->text(), QStringLiteral("5"));
    EXPECT_FALSE(w->Pictures1->isVisibleTo(w.get()));

    w->Command5->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("5"));

    EXPECT_FALSE(QFile::exists(journalFilePath(dir.path(), 5)));
    w->Command1->click();
    EXPECT_TRUE(QFile::exists(journalFilePath(dir.path(), 5)));
    EXPECT_FALSE(w->newEntryFlag());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(JournalWindowTest, BackOnTheFirstEntryReloadsIt) {
    write(1, trip("3", "2", "2001", "first"));
    write(2, trip("4", "2", "2001", "second"));
    auto w = open();
    w->Text200->setPlainText(QStringLiteral("edited, not saved"));
    w->Command4->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("1"));
    EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("first"));
    EXPECT_EQ(w->Text1->text(), QStringLiteral("3"));
}

TEST_F(JournalWindowTest, BackOntoAGapShowsThatNumberBlankAndSaveFillsIt) {
    for (int n : {1, 2, 3, 5})
        write(n, trip("9", "9", "2009", QStringLiteral("trip %1").arg(n)));
    const QByteArray five = fileBytes(journalFilePath(dir.path(), 5));
    auto w = open();
    w->Text8->setText(QStringLiteral("4"));
    w->Command5->click();
    ASSERT_EQ(w->Text200->toPlainText(), QStringLiteral("trip 5"));
    ASSERT_EQ(w->Text8->text(), QStringLiteral("5"));

    w->Command4->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("4"));
    EXPECT_FALSE(w->newEntryFlag()) << "entry 5 lies beyond, so this is no end";
    EXPECT_TRUE(w->Text1->text().isEmpty());
    EXPECT_TRUE(w->Text200->toPlainText().isEmpty());
    EXPECT_TRUE(w->Label14->text().isEmpty());
    EXPECT_FALSE(w->Text12->isVisibleTo(w.get()));

    setDate(*w, "10", "9", "2009");
    w->Text200->setPlainText(QStringLiteral("the trip that was missing"));
    w->Command1->click();
    EXPECT_EQ(readJournalEntry(dir.path(), 4).entry.notes,
              QStringLiteral("the trip that was missing"));
    EXPECT_EQ(fileBytes(journalFilePath(dir.path(), 5)), five);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(boxes.asked.empty());
}

TEST_F(JournalWindowTest, NextOntoAGapShowsItBlankAndGoesOnPastIt) {
    for (int n : {1, 3})
        write(n, trip("9", "9", "2009", QStringLiteral("trip %1").arg(n)));
    auto w = open();
    w->Command5->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("2"));
    EXPECT_TRUE(w->Text200->toPlainText().isEmpty());
    EXPECT_FALSE(w->newEntryFlag());
    w->Command5->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("3"));
    EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("trip 3"));
    w->Command5->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("4"));
    EXPECT_TRUE(w->newEntryFlag()) << "past the last file the journal ends";
    EXPECT_FALSE(QFile::exists(journalFilePath(dir.path(), 2))) << "looking writes nothing";
}

// The journal as it was found: entries 1 to 8, jour6.dat missing and
// jour3.dat cut short. Moving onto either used to show the page of the next
// number, whose good file a save then replaced.
TEST_F(JournalWindowTest, PagesForAGapOrADamagedFileNeverReplaceTheNextEntry) {
    for (int n = 1; n <= 8; ++n) {
        if (n != 6)
            write(n, trip(QString::number(n), "2", "2001", QStringLiteral("trip %1").arg(n)));
    }
    const QString three = journalFilePath(dir.path(), 3);
    QByteArray cut = fileBytes(three);
    cut.chop(60);
    ASSERT_TRUE(putFile(three, cut));
    std::map<int, QByteArray> before;
    for (int n : {1, 2, 4, 5, 7, 8})
        before[n] = fileBytes(journalFilePath(dir.path(), n));

    auto w = open();
    w->Text8->setText(QStringLiteral("4"));
    w->Command4->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("3"));
    EXPECT_TRUE(w->Text200->toPlainText().isEmpty());
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text.count(QDir::toNativeSeparators(three)), 1)
        << "names the file once: " << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("is not a journal entry")));
    EXPECT_TRUE(boxes.shown[0].text.endsWith(
        QStringLiteral("It is shown blank here and stays as it is unless you save this entry.")));
    EXPECT_EQ(fileBytes(three), cut) << "looking leaves it alone";

    setDate(*w, "3", "2", "2001");
    w->Text200->setPlainText(QStringLiteral("trip 3, typed again"));
    boxes.shown.clear();
    w->Command1->click();
    EXPECT_EQ(readJournalEntry(dir.path(), 3).entry.notes, QStringLiteral("trip 3, typed again"));
    EXPECT_EQ(fileBytes(three + QStringLiteral(".damaged")), cut);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Information);
    EXPECT_TRUE(boxes.shown[0].text.contains(QDir::toNativeSeparators(three) + ".damaged"));

    w->Text8->setText(QStringLiteral("7"));
    w->Command4->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("6"));
    EXPECT_TRUE(w->Text200->toPlainText().isEmpty());
    setDate(*w, "6", "2", "2001");
    w->Text200->setPlainText(QStringLiteral("trip 6"));
    w->Command1->click();
    EXPECT_EQ(readJournalEntry(dir.path(), 6).entry.notes, QStringLiteral("trip 6"));

    for (const auto& [n, bytes] : before)
        EXPECT_EQ(fileBytes(journalFilePath(dir.path(), n)), bytes) << "entry " << n;
    EXPECT_TRUE(boxes.asked.empty());
}

// --- Saving over an entry that is not on screen ------------------------------------------

TEST_F(JournalWindowTest, BlankPageWhoseFileAppearedMeanwhileAsksBeforeReplacingIt) {
    auto w = open();
    ASSERT_TRUE(w->newEntryFlag());
    // Another program saves entry 1 while the blank page is open.
    write(1, trip("1", "1", "2020", "written elsewhere"));
    const QByteArray theirs = fileBytes(journalFilePath(dir.path(), 1));
    setDate(*w, "5", "6", "2021");
    w->Text200->setPlainText(QStringLiteral("mine"));

    boxes.answer = false;
    w->Command1->click();
    ASSERT_EQ(boxes.asked.size(), 1U);
    EXPECT_EQ(boxes.asked[0].title, QStringLiteral("Replace Journal Entry"));
    EXPECT_TRUE(boxes.asked[0].text.contains(journalFilePath(dir.path(), 1)));
    EXPECT_TRUE(boxes.asked[0].text.contains(QStringLiteral("1/1/2020")));
    EXPECT_EQ(fileBytes(journalFilePath(dir.path(), 1)), theirs);
    EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("mine"));
    EXPECT_EQ(w->Text1->text(), QStringLiteral("5"));
    EXPECT_EQ(w->Text8->text(), QStringLiteral("1"));
    EXPECT_TRUE(w->newEntryFlag()) << "the page is still unsaved";

    boxes.answer = true;
    w->Command1->click();
    EXPECT_EQ(boxes.asked.size(), 2U);
    EXPECT_EQ(readJournalEntry(dir.path(), 1).entry.notes, QStringLiteral("mine"));
    EXPECT_FALSE(w->newEntryFlag());
    // Now it is the entry on screen: saving it again asks nothing.
    w->Command1->click();
    EXPECT_EQ(boxes.asked.size(), 2U);
}

TEST_F(JournalWindowTest, TypedEntryNumberOfAnotherEntryAsksBeforeReplacingIt) {
    write(1, trip("1", "1", "2020", "first"));
    write(2, trip("2", "1", "2020", "second"));
    const QByteArray second = fileBytes(journalFilePath(dir.path(), 2));
    auto w = open();
    w->Text8->setText(QStringLiteral("2"));
    w->Command1->click();
    ASSERT_EQ(boxes.asked.size(), 1U);
    EXPECT_EQ(fileBytes(journalFilePath(dir.path(), 2)), second);
    EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("first"));
    // A number with no file is simply written.
    w->Text8->setText(QStringLiteral("9"));
    w->Command1->click();
    EXPECT_EQ(boxes.asked.size(), 1U);
    EXPECT_EQ(readJournalEntry(dir.path(), 9).entry.notes, QStringLiteral("first"));
}

TEST_F(JournalWindowTest, EntryChangedOnDiskSinceItWasShownAsks) {
    write(1, trip("1", "1", "2020", "as read"));
    auto w = open();
    w->Text200->setPlainText(QStringLiteral("edited here"));
    w->Command1->click();
    EXPECT_TRUE(boxes.asked.empty()) << "the entry on screen is saved without a question";
    write(1, trip("1", "1", "2020", "edited elsewhere"));
    w->Text200->setPlainText(QStringLiteral("edited here again"));
    w->Command1->click();
    ASSERT_EQ(boxes.asked.size(), 1U);
    EXPECT_EQ(readJournalEntry(dir.path(), 1).entry.notes, QStringLiteral("edited elsewhere"));
}

TEST_F(JournalWindowTest, SavingOntoAPipeFailsAndLeavesIt) {
    write(1, trip("1", "1", "2020", "first"));
    const QString pipe = journalFilePath(dir.path(), 2);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    auto w = open();
    w->Command5->click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("is not a regular file")));
    EXPECT_FALSE(w->newEntryFlag());
    setDate(*w, "2", "1", "2020");
    w->Command1->click();
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[1].icon, Icon::Critical);
    EXPECT_EQ(boxes.shown[1].text.count(QDir::toNativeSeparators(pipe)), 1)
        << boxes.shown[1].text.toStdString();
    EXPECT_TRUE(boxes.shown[1].text.contains(QStringLiteral("NOT saved")));
    EXPECT_TRUE(QFileInfo(pipe).exists());
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_EQ(w->Text1->text(), QStringLiteral("2"));
}

TEST_F(JournalWindowTest, ClearThenSaveBlanksTheFile) {
    write(1, trip("21", "1", "2000", "a good day"));
    auto w = open();
    w->Command6->click();
    EXPECT_TRUE(w->Text1->text().isEmpty());
    EXPECT_EQ(w->Text8->text(), QStringLiteral("1"));
    w->Command1->click();
    const JournalReadResult r = readJournalEntry(dir.path(), 1);
    ASSERT_EQ(r.status, JournalReadStatus::Ok);
    JournalEntry expected;
    expected.month = QStringLiteral("5");
    expected.year = QStringLiteral("2026");
    EXPECT_TRUE(r.entry == expected);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(boxes.asked.empty()) << "the entry on screen is replaced without a question";
}

// --- Moon values -------------------------------------------------------------------------

TEST_F(JournalWindowTest, FullMoonTripShowsTheEventAgeAndColour) {
    state.computationDate = ymd(2010, 3, 5);
    state.displayedDateText = "5 March 2010";
    state.Label14 = {"New Moon", true};
    state.Label18 = {"03:10 AM", true};
    state.moonAge = 21;
    auto w = open();
    setDate(*w, "21", "1", "2000");
    w->dateentered();
    EXPECT_EQ(w->Label17->text(), QStringLiteral("Full Moon 02:40 PM"));
    EXPECT_EQ(w->Label14->text(), QStringLiteral("Full Moon 02:40 PM"));
    // The age the main window shows for this day at Sydney (15 is Greenwich's).
    SolunarState mainWindow = sydney();
    mainWindow.computationDate = ymd(2000, 1, 21);
    calcmoon(mainWindow);
    EXPECT_EQ(mainWindow.moonAge, 14);
    EXPECT_EQ(w->Text12->text(), QString::number(mainWindow.moonAge));
    EXPECT_TRUE(w->Text12->isVisibleTo(w.get()));
    EXPECT_EQ(w->Label16->text(), QStringLiteral("Age"));
    EXPECT_TRUE(w->Pictures1->isVisibleTo(w.get()));
    EXPECT_FALSE(w->Pictures1->pixmap().isNull());
    EXPECT_EQ(w->Pictures10->palette().color(QPalette::Window), QColor(0, 0, 192));

    EXPECT_EQ(state.computationDate, ymd(2010, 3, 5));
    EXPECT_EQ(state.displayedDateText, "5 March 2010");
    EXPECT_EQ(state.Label14.caption, "New Moon");
    EXPECT_TRUE(state.Label14.visible);
    EXPECT_EQ(state.Label18.caption, "03:10 AM");
    EXPECT_TRUE(state.Label18.visible);
    EXPECT_EQ(state.moonAge, 21);
    EXPECT_FALSE(state.journalRequest);
}

// A place whose clocks follow Sydney's by date: a winter trip's new moon in
// winter time (+10) although the main window shows a summer day (+11).
TEST_F(JournalWindowTest, TripsAreByTheClocksOfTheirOwnDay) {
    const QtZoneRule sydneyClocks{QTimeZone(QByteArrayLiteral("Australia/Sydney"))};
    state.timeZoneEntered = "11";
    state.timeZoneForComputations = "-11";
    state.zoneRule = &sydneyClocks;
    auto w = open();
    setDate(*w, "7", "4", "2027");  // the new moon of 7 April 2027, after the change
    w->dateentered();
    SolunarState winter = sydney();
    winter.journalRequest = true;
    winter.computationDate = ymd(2027, 4, 7);
    calcmoon(winter);
    ASSERT_TRUE(winter.Form3Label14.visible);
    EXPECT_EQ(w->Label14->text().toStdString(), winter.Form3Label14.caption.str());
    // The main window's zone is left as it was.
    EXPECT_EQ(state.timeZoneEntered, "11");
    EXPECT_EQ(state.timeZoneForComputations, "-11");
}

TEST_F(JournalWindowTest, EarlyJanuaryTripCountsFromTheDecemberNewMoon) {
    // The new moon of 7 December 1999 22:32 UT falls on 8 December at +10 h.
    SolunarState reference = sydney();
    reference.computationDate = ymd(1999, 1, 1);
    calcmoontime(reference);
    const Date trip = ymd(2000, 1, 3);
    Date previousNew;
    for (std::size_t i = 0; i < kPhaseTableSize; i += 2) {
        const Date d = reference.phases.newMoonDate[i];
        if (d.serial() != 0 && d <= trip && d > previousNew) previousNew = d;
    }
    ASSERT_EQ(previousNew, ymd(1999, 12, 8));

    // Leave the state holding the table of the trip's own year, as the main
    // window would after showing a date in 2000.
    state.computationDate = ymd(2000, 6, 1);
    calcmoontime(state);
    auto w = open();
    setDate(*w, "3", "1", "2000");
    w->dateentered();
    const int age = w->Text12->text().toInt();
    EXPECT_EQ(age, trip - previousNew);
    EXPECT_GE(age, 25);
    EXPECT_LE(age, 29);
    EXPECT_TRUE(w->Label14->text().isEmpty());
}

TEST_F(JournalWindowTest, ReadingAnEntryShowsItsMoonValues) {
    write(1, trip("21", "1", "2000", "full moon trip"));
    auto w = open();
    EXPECT_EQ(w->entryDate(), ymd(2000, 1, 21));
    EXPECT_EQ(w->Label14->text(), QStringLiteral("Full Moon 02:40 PM"));
    EXPECT_EQ(w->Text12->text(), QStringLiteral("14"));
    EXPECT_EQ(w->Pictures10->palette().color(QPalette::Window), QColor(0, 0, 192));
}

// --- Saving and damaged files ----------------------------------------------------------

TEST_F(JournalWindowTest, FailedSaveNamesTheFileAndKeepsTheFields) {
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("not a folder");
    plain.close();
    folder = dir.filePath(QStringLiteral("plain/journal"));
    auto w = open();
    boxes.shown.clear();
    setDate(*w, "21", "1", "2000");
    w->Text200->setPlainText(QStringLiteral("keep me"));
    w->Text8->setText(QStringLiteral("3"));
    w->Command1->click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(boxes.shown[0].text.contains(journalFilePath(folder, 3)));
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("NOT saved")));
    EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("keep me"));
    EXPECT_EQ(w->Text1->text(), QStringLiteral("21"));
    EXPECT_EQ(w->Text8->text(), QStringLiteral("3"));
}

TEST_F(JournalWindowTest, BrokenFileIsReportedOnceAndLeftAlone) {
    const QByteArray junk("this is not a trip record\r\n");
    QFile f(journalFilePath(dir.path(), 1));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(junk);
    f.close();
    auto w = open();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(boxes.shown[0].text.count(journalFilePath(dir.path(), 1)), 1);
    EXPECT_TRUE(w->Text1->text().isEmpty());
    EXPECT_TRUE(w->Text200->toPlainText().isEmpty());
    EXPECT_EQ(w->Text8->text(), QStringLiteral("1"));
    EXPECT_FALSE(w->newEntryFlag()) << "a damaged file is no end of the journal";
    w->Command5->click();
    EXPECT_EQ(w->Text8->text(), QStringLiteral("2"));
    EXPECT_TRUE(w->newEntryFlag());
    QFile again(journalFilePath(dir.path(), 1));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), junk);
}

TEST_F(JournalWindowTest, TypedQuotesBecomeTypographicOnSave) {
    auto w = open();
    setDate(*w, "21", "1", "2000");
    w->Text200->setPlainText(QStringLiteral("Mate said \"biggest yet\""));
    w->Text9->setText(QStringLiteral("\"The Gap\""));
    w->Command1->click();
    EXPECT_EQ(w->Text200->toPlainText(), QStringLiteral("Mate said \u201Cbiggest yet\u201D"));
    EXPECT_EQ(w->Text9->text(), QStringLiteral("\u201CThe Gap\u201D"));
    const JournalReadResult r = readJournalEntry(dir.path(), w->Text8->text().toInt());
    ASSERT_EQ(r.status, JournalReadStatus::Ok);
    EXPECT_EQ(r.entry.notes, w->Text200->toPlainText());
}

TEST_F(JournalWindowTest, EntryNumberOutsideTheRangeIsNotSaved) {
    auto w = open();
    boxes.shown.clear();
    w->Text8->setText(QStringLiteral("40000"));
    w->Command1->click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// --- Buttons and spinners ------------------------------------------------------------------

TEST_F(JournalWindowTest, SpinnersStepTheirBoxes) {
    auto w = open();
    w->Text3->setText(QStringLiteral("10"));
    w->Text6->setText(QStringLiteral("25"));
    w->Text7->setText(QStringLiteral("0"));
    w->UpDown1->clickUp();
    w->UpDown3->clickDown();
    w->UpDown4->clickUp();
    w->UpDown4->clickUp();
    EXPECT_EQ(w->Text3->text(), QStringLiteral("11"));
    EXPECT_EQ(w->Text6->text(), QStringLiteral("24"));
    EXPECT_EQ(w->Text7->text(), QStringLiteral("2"));
}

TEST_F(JournalWindowTest, HelpAndClose) {
    auto w = open();
    w->Command3->click();
    EXPECT_EQ(helpTopic, 20);
    QSignalSpy spy(w.get(), &Form3::closed);
    w->show();
    w->Command2->click();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->newEntryFlag());
}

// --- Screenshot ------------------------------------------------------------------------------

TEST_F(JournalWindowTest, Screenshot) {
    JournalEntry e = trip("21", "1", "2000", "");
    e.notes = QStringLiteral(
        "Drifted the eastern edge of the bay on the run-out tide.\n"
        "Four bream on peeled prawn, best 38 cm; one flathead released.");
    e.catchRating = QStringLiteral("Excellent");
    e.gps1 = QStringLiteral("33' 59' 51.200");
    e.gps2 = QStringLiteral("151' 13' 47.800");
    write(1, e);
    state.dateOrderMonthFirst = false;
    auto w = open();
    w->show();
    QApplication::processEvents();
    const QString target = qEnvironmentVariableIsSet("MOONBITE_SCREENSHOTS")
                               ? QStringLiteral(MOONBITE_SOURCE_DIR "/docs/screenshots/journal.png")
                               : dir.filePath(QStringLiteral("journal.png"));
    QDir().mkpath(QFileInfo(target).absolutePath());
    ASSERT_TRUE(w->grab().save(target, "PNG"));
    const QImage image(target);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 620);
    EXPECT_GE(image.height(), 460);
}

}  // namespace
}  // namespace moonbite
