// The settings frame's zone list: a zone chosen by name puts its offset today
// into the G.M.T box, is saved with the current location and with each saved
// location, and the computations then follow that zone's clocks by date.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTest>
#include <nlohmann/json.hpp>
#include <sstream>

#include "updown.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

// The tool's day in a fixed zone: the texts that zone's clocks show.
class NamedZoneTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        today = QDate(2027, 1, 20);  // northern winter, southern summer
    }
    Form1& openSettings() {
        storeSydney();
        Form1& w = open();
        w.mnualarm->trigger();
        boxes.shown.clear();
        return w;
    }
    // Types into the list's box and presses Enter, as the user would.
    static void typeZone(Form1& w, const QString& text) {
        w.Combo4->lineEdit()->setFocus();
        w.Combo4->lineEdit()->selectAll();
        QTest::keyClicks(w.Combo4->lineEdit(), text);
        QWidget* popup = w.Combo4->completer()->popup();
        QTest::keyClick(popup->isVisible() ? popup : static_cast<QWidget*>(w.Combo4->lineEdit()),
                        Qt::Key_Return);
    }
    static void typeNewYorkCoordinates(Form1& w) {
        w.Text30->setText(QStringLiteral("40"));
        w.Text20->setText(QStringLiteral("43"));
        w.Text40->setText(QStringLiteral("N"));
        w.Text15->setText(QStringLiteral("74"));
        w.Text14->setText(QStringLiteral("0"));
        w.Text13->setText(QStringLiteral("W"));
    }
};

TEST_F(NamedZoneTest, NewYorkChosenAppliedAndFollowedByDate) {
    Form1& w = openSettings();
    w.Combo3->setEditText(QStringLiteral("Manhattan"));
    typeNewYorkCoordinates(w);
    typeZone(w, QStringLiteral("America/New_York"));
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("America/New_York"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("-5"));  // EST on 20 January 2027
    EXPECT_FALSE(w.Label17->isVisibleTo(w.Label17->parentWidget()));
    EXPECT_EQ(w.Text16->text(), QStringLiteral("Custom"));  // not the computer's zone
    EXPECT_TRUE(w.Command2->isEnabled());
    EXPECT_TRUE(boxes.shown.empty());

    QTest::mouseClick(w.Command2, Qt::LeftButton);
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(stored("tzname"), QStringLiteral("America/New_York"));
    EXPECT_EQ(stored("gmt"), QStringLiteral("-5"));
    EXPECT_EQ(stored("custom"), QStringLiteral("True"));

    // Each date shows the times New York's clocks show that day: EDT (-4) in
    // July, EST (-5) in January, across the change on 14 March 2027.
    for (const auto& [date, zone] :
         std::vector<std::pair<QDate, const char*>>{{QDate(2027, 7, 15), "-4"},
                                                    {QDate(2027, 1, 15), "-5"},
                                                    {QDate(2027, 3, 13), "-5"},
                                                    {QDate(2027, 3, 14), "-4"}}) {
        goToDate(w, date);
        EXPECT_EQ(shownDayTimes(w), toolDayTimes("40:43N", "74:00W", zone, date))
            << date.toString(Qt::ISODate).toStdString();
    }
    goToDate(w, QDate(2027, 3, 14));
    EXPECT_EQ(w.LabelClockChange->text(), QStringLiteral("Clocks go forward"));

    // The next start shows the same choice and keeps following it.
    Form1& again = reopen();
    EXPECT_EQ(again.Combo4->currentText(), QStringLiteral("America/New_York"));
    EXPECT_EQ(again.Text17->text(), QStringLiteral("-5"));
    goToDate(again, QDate(2027, 7, 15));
    EXPECT_EQ(shownDayTimes(again), toolDayTimes("40:43N", "74:00W", "-4", QDate(2027, 7, 15)));
}

TEST_F(NamedZoneTest, NoneStoresNothingAndKeepsTheBox) {
    Form1& w = openSettings();
    EXPECT_EQ(w.Combo4->currentIndex(), 0);  // a file from before the list: none
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("(none)"));
    typeZone(w, QStringLiteral("Europe/London"));
    ASSERT_EQ(w.Text17->text(), QStringLiteral("0"));
    w.Text17->setText(QStringLiteral("2"));
    w.Combo4->setCurrentIndex(0);
    w.Combo4_Click();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("2"));  // "(none)" leaves the box alone
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    ASSERT_TRUE(boxes.shown.empty());
    EXPECT_EQ(stored("tzname"), QString());
    EXPECT_EQ(stored("gmt"), QStringLiteral("2"));

    // With none, one fixed offset for every date, as before.
    for (const QDate& d : {QDate(2027, 1, 15), QDate(2027, 7, 15)}) {
        goToDate(w, d);
        EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", "2", d));
    }
}

TEST_F(NamedZoneTest, UnknownStoredNamesReadAsNone) {
    storeSydney();
    store->save(kStateApp, QStringLiteral("Settings"), QStringLiteral("tzname"),
                QStringLiteral("Mars/Olympus_Mons"));
    store->save(kStateApp, QStringLiteral("Settings"), QStringLiteral("daylight"),
                QStringLiteral("0"));
    Form1& w = open();
    EXPECT_EQ(w.Combo4->currentIndex(), 0);
    EXPECT_EQ(w.Text17->text(), QStringLiteral("10"));
    goToDate(w, QDate(2027, 7, 15));
    EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", "10", QDate(2027, 7, 15)));
    goToDate(w, QDate(2027, 1, 15));
    EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", "10", QDate(2027, 1, 15)));
    // The activation saved the list's choice over the unknown name.
    EXPECT_EQ(stored("tzname"), QString());

    // A saved location's unknown name reads as none as well.
    w.mnualarm->trigger();
    const QString section = locationSection(QStringLiteral("Odd"));
    store->save(kTitleApp, section, QStringLiteral("gmt"), QStringLiteral("3"));
    store->save(kTitleApp, section, QStringLiteral("tzname"), QStringLiteral("Nowhere"));
    typeZone(w, QStringLiteral("Asia/Tokyo"));
    ASSERT_EQ(w.Combo4->currentText(), QStringLiteral("Asia/Tokyo"));
    w.Combo3->addItem(QStringLiteral("Odd"));
    w.Combo3->setCurrentIndex(w.Combo3->count() - 1);
    w.Combo3_Click();
    EXPECT_EQ(w.Combo4->currentIndex(), 0);
    EXPECT_EQ(w.Text17->text(), QStringLiteral("3"));
}

TEST_F(NamedZoneTest, SavedLocationsKeepTheirZones) {
    Form1& w = openSettings();
    w.Combo3->setEditText(QStringLiteral("Manhattan"));
    typeNewYorkCoordinates(w);
    typeZone(w, QStringLiteral("America/New_York"));
    QTest::mouseClick(w.Command8, Qt::LeftButton);
    EXPECT_EQ(storedFor(QStringLiteral("Manhattan"), "tzname"), QStringLiteral("America/New_York"));
    EXPECT_EQ(storedFor(QStringLiteral("Manhattan"), "gmt"), QStringLiteral("-5"));

    w.Combo3->setEditText(QStringLiteral("Home"));
    w.Text30->setText(QStringLiteral("33"));
    w.Text17->setText(QStringLiteral("10"));
    w.Combo4->setCurrentIndex(0);
    w.Combo4_Click();
    QTest::mouseClick(w.Command8, Qt::LeftButton);
    EXPECT_EQ(storedFor(QStringLiteral("Home"), "tzname"), QString());  // "(none)" is stored as ""

    // Saved in summer, selected in winter: the zone gives today's offset.
    store->save(kTitleApp, locationSection(QStringLiteral("Manhattan")), QStringLiteral("gmt"),
                QStringLiteral("-4"));
    w.Combo3->setCurrentIndex(w.Combo3->findText(QStringLiteral("Manhattan")));
    w.Combo3_Click();
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("America/New_York"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("-5"));
    EXPECT_EQ(w.Text30->text(), QStringLiteral("40"));

    w.Combo3->setCurrentIndex(w.Combo3->findText(QStringLiteral("Home")));
    w.Combo3_Click();
    EXPECT_EQ(w.Combo4->currentIndex(), 0);
    EXPECT_EQ(w.Text17->text(), QStringLiteral("10"));

    // A location saved before the list existed has no key: none.
    store->remove(kTitleApp, locationSection(QStringLiteral("Manhattan")),
                  QStringLiteral("tzname"));
    w.Combo3->setCurrentIndex(w.Combo3->findText(QStringLiteral("Manhattan")));
    w.Combo3_Click();
    EXPECT_EQ(w.Combo4->currentIndex(), 0);
    EXPECT_EQ(w.Text17->text(), QStringLiteral("-4"));  // its stored offset, as before

    // Applying the selection makes it the current location, zone and all.
    w.Combo3->setCurrentIndex(w.Combo3->findText(QStringLiteral("Home")));
    w.Combo3_Click();
    typeZone(w, QStringLiteral("Australia/Sydney"));
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_EQ(stored("tzname"), QStringLiteral("Australia/Sydney"));
    EXPECT_EQ(stored("gmt"), QStringLiteral("11"));
}

TEST_F(NamedZoneTest, SearchAndOnlyZonesAccepted) {
    Form1& w = openSettings();
    // "(none)" first, then the zone database's names in order.
    ASSERT_GT(w.Combo4->count(), 300);
    EXPECT_EQ(w.Combo4->itemText(0), QStringLiteral("(none)"));
    for (int i = 2; i < w.Combo4->count(); ++i)
        ASSERT_LT(w.Combo4->itemText(i - 1), w.Combo4->itemText(i)) << i;

    // Any part of a name in any case finds it.
    w.Combo4->lineEdit()->setFocus();
    w.Combo4->lineEdit()->selectAll();
    QTest::keyClicks(w.Combo4->lineEdit(), QStringLiteral("sydney"));
    QCompleter* search = w.Combo4->completer();
    QStringList found;
    for (int i = 0; i < search->completionCount(); ++i) {
        search->setCurrentRow(i);
        found << search->currentCompletion();
    }
    EXPECT_TRUE(found.contains(QStringLiteral("Australia/Sydney")))
        << found.join(' ').toStdString();
    for (const QString& name : found)
        EXPECT_TRUE(name.contains(QStringLiteral("sydney"), Qt::CaseInsensitive));
    // Picked from the search's popup with the arrow keys and Enter.
    QAbstractItemView* popup = search->popup();
    ASSERT_TRUE(popup->isVisible());
    const auto row = found.indexOf(QStringLiteral("Australia/Sydney"));
    for (qsizetype i = 0; i <= row; ++i)
        QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("Australia/Sydney"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("11"));  // AEDT on 20 January

    // A whole name in other case is that zone.
    typeZone(w, QStringLiteral("europe/london"));
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("Europe/London"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("0"));

    // A name that is no zone goes back to the last choice and changes nothing.
    typeZone(w, QStringLiteral("Nowhere/Land"));
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("Europe/London"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("0"));
    w.Combo4->lineEdit()->setFocus();
    w.Combo4->lineEdit()->selectAll();
    QTest::keyClicks(w.Combo4->lineEdit(), QStringLiteral("Atlantis"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);  // leaving the box
    QApplication::sendEvent(w.Combo4->lineEdit(), &leave);
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("Europe/London"));
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_EQ(stored("tzname"), QStringLiteral("Europe/London"));
}

// Kiritimati is 14 hours ahead, beyond what the G.M.T box takes: the user is
// told, the box keeps its value, and the zone is still the one followed.
TEST_F(NamedZoneTest, AZoneBeyondTheBoxsRangeIsSaidAndKept) {
    Form1& w = openSettings();
    ASSERT_EQ(w.Text17->text(), QStringLiteral("10"));
    typeZone(w, QStringLiteral("Pacific/Kiritimati"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(
        QStringLiteral("Pacific/Kiritimati is 14 hours from Greenwich today")))
        << boxes.shown[0].text.toStdString();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("10"));
    boxes.shown.clear();
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty());  // the activation does not say it again
    EXPECT_EQ(stored("tzname"), QStringLiteral("Pacific/Kiritimati"));
    // The day is computed at the zone's offset (the tool takes no such --tz).
    goToDate(w, QDate(2027, 7, 15));
    EXPECT_STREQ(w.state().timeZoneEntered.c_str(), "14");
}

// The list has its caption and room in the time-zone group at the design size,
// enlarged and maximised (the resizer scales it with the rest).
TEST_F(NamedZoneTest, FitsItsGroupAtEverySize) {
    Form1& w = openSettings();
    auto* group = w.findChild<QGroupBox*>(QStringLiteral("Frame13"));
    auto* caption = w.findChild<QLabel*>(QStringLiteral("LabelZoneName"));
    ASSERT_NE(group, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->buddy(), w.Combo4);
    auto check = [&](const char* size) {
        SCOPED_TRACE(size);
        const QRect list = w.Combo4->geometry();
        EXPECT_TRUE(group->rect().contains(list));
        EXPECT_LT(caption->geometry().right(), list.left());
        EXPECT_GE(caption->geometry().center().y(), list.top());
        EXPECT_LE(caption->geometry().center().y(), list.bottom());
        for (QWidget* other : {static_cast<QWidget*>(w.Text17), static_cast<QWidget*>(w.UpDown11),
                               static_cast<QWidget*>(w.Text16), static_cast<QWidget*>(w.Check3)})
            EXPECT_FALSE(list.intersects(other->geometry())) << other->objectName().toStdString();
        auto* tray = w.findChild<QGroupBox*>(QStringLiteral("Frame8"));
        EXPECT_FALSE(group->geometry().intersects(tray->geometry()));
        EXPECT_TRUE(w.Frame9->rect().contains(tray->geometry()));
        EXPECT_GE(list.width(), 150);
    };
    check("design");
    for (const QSize size : {w.size() * 3 / 2, QSize(1600, 1200)}) {
        const QSize old = w.size();
        w.resize(size);
        QApplication::processEvents();
        QResizeEvent event(size, old);
        QApplication::sendEvent(&w, &event);
        check(size.width() > 1500 ? "large" : "enlarged");
    }
}

}  // namespace
}  // namespace moonbite::testing
