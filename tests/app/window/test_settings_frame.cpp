// The settings frame: validation messages, locations and the time zone.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "updown.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

// A settings frame filled with Sydney, ready to be applied.
class SettingsFrameTest : public WindowTest {
  protected:
    Form1& openWithSydneyTyped() {
        storeSydney();
        Form1& w = open();
        w.mnualarm->trigger();
        w.Combo3->setEditText(QStringLiteral("Sydney"));
        w.Text30->setText(QStringLiteral("33"));
        w.Text20->setText(QStringLiteral("52"));
        w.Text40->setText(QStringLiteral("S"));
        w.Text15->setText(QStringLiteral("151"));
        w.Text14->setText(QStringLiteral("13"));
        w.Text13->setText(QStringLiteral("E"));
        w.Text17->setText(QStringLiteral("10"));
        boxes.shown.clear();
        return w;
    }
    QString stored(const char* key) {
        return store->get(kStateApp, QStringLiteral("Settings"), QString::fromLatin1(key),
                          QStringLiteral("<absent>"));
    }
};

struct MessageCase {
    const char* name;
    const char* box;    // objectName of the box to fill
    const char* value;  // what the user typed
    const char* title;
    const char* textStart;
    const char* boxAfter;  // the box's text after the message
};
void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckLatLonMessages : public SettingsFrameTest,
                            public ::testing::WithParamInterface<MessageCase> {};

TEST_P(CheckLatLonMessages, ShowsItsMessageAndSavesNothing) {
    const MessageCase& c = GetParam();
    Form1& w = openWithSydneyTyped();
    store->remove(kStateApp, QStringLiteral("Settings"), QStringLiteral("latdeg"));
    auto* box = w.findChild<QLineEdit*>(QString::fromLatin1(c.box));
    ASSERT_NE(box, nullptr);
    box->setText(QString::fromUtf8(c.value));
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QString::fromLatin1(c.title));
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QString::fromLatin1(c.textStart)))
        << boxes.shown[0].text.toStdString();
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    EXPECT_EQ(box->text(), QString::fromUtf8(c.boxAfter));
    EXPECT_EQ(stored("latdeg"), QStringLiteral("<absent>"));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CheckLatLonMessages,
    ::testing::Values(
        MessageCase{"BlankTimeZone", "Text17", "", " Settings Entry Is Blank",
                    "No value was entered for Time Zone. Please re-enter the Time Zone.", ""},
        MessageCase{"BlankLatitudeDegrees", "Text30", "", " Settings Entry Is Blank",
                    "No value was entered for Latitude Degrees. Please re-enter the Latitude "
                    "Degrees.",
                    ""},
        MessageCase{"BlankLongitudeDegrees", "Text15", "", " Settings Entry Is Blank",
                    "No value was entered for Longitude Degrees. Please re-enter the Longitude "
                    "Degrees.",
                    ""},
        MessageCase{"BlankLongitudeMinutes", "Text14", "", " Settings Entry Is Blank",
                    "No value was entered for Longitude minutes. Please re-enter the Longitude "
                    "minutes.",
                    ""},
        MessageCase{"BlankLatitudeMinutes", "Text20", "", " Settings Entry Is Blank",
                    "No value was entered for Latitude minutes. Please re-enter the Latitude "
                    "minutes.",
                    ""},
        MessageCase{"Latitude90", "Text30", "90", "Moonbite",
                    "Latitude is greater than 89 degrees. Please re-enter latitude between 0-89",
                    ""},
        MessageCase{
            "Longitude180", "Text15", "180", "Moonbite",
            "Longitude is greater than 179 degrees. Please re-enter longitude between 0-179", ""},
        MessageCase{"LatitudeMinutes60", "Text20", "60", "Moonbite",
                    "Latitude minutes is greater than 59. Please re-enter latitude minutes between "
                    "0 - 59",
                    ""},
        MessageCase{"LongitudeMinutes60", "Text14", "60", "Moonbite",
                    "Longitude minutes is greater than 59. Please re-enter longitude minutes "
                    "between 0 - 59",
                    ""},
        MessageCase{"Zone13_5", "Text17", "13.5", "Moonbite",
                    "Time zone is not within GMT standard. Please re-enter time zone between -12 "
                    "and +13",
                    ""},
        MessageCase{"ZoneMinus12_5", "Text17", "-12.5", "Moonbite",
                    "Time zone is not within GMT standard.", ""},
        MessageCase{"LettersAfterDigits", "Text30", "12a", " Invalid Characters Used",
                    "Please use only Numeric characters in these boxes. ", "12a"},
        MessageCase{
            "NegativeLatitude", "Text30", "-33", " Negative Values - Use (N or S) or (W or E)",
            "Negative values for latitude and longitude are not valid.\rSome publications", "33"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsFrameTest, NoNameMessage) {
    Form1& w = openWithSydneyTyped();
    w.Combo3->setEditText(QString());
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);  // shown once: the activation does not follow a failure
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("No name has been entered")));
}

TEST_F(SettingsFrameTest, LimitsAreAcceptedAndFractionsOfMinutesDropped) {
    Form1& w = openWithSydneyTyped();
    w.Text30->setText(QStringLiteral("88"));
    w.Text15->setText(QStringLiteral("179"));
    w.Text20->setText(QStringLiteral("59"));
    w.Text14->setText(QStringLiteral("58.9"));
    w.Text17->setText(QStringLiteral("-12"));
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(stored("latdeg"), QStringLiteral("88"));
    EXPECT_EQ(stored("latmin"), QStringLiteral("59"));
    EXPECT_EQ(stored("londeg"), QStringLiteral("179"));
    EXPECT_EQ(stored("lonmin"), QStringLiteral("58"));
    EXPECT_EQ(stored("gmt"), QStringLiteral("-12"));
    EXPECT_EQ(stored("gmtv"), QStringLiteral("False"));
    EXPECT_EQ(stored("custom"), QStringLiteral("True"));
    EXPECT_EQ(stored("currentloc"), QStringLiteral("Sydney"));
    // The computations now use the applied location.
    EXPECT_EQ(w.state().timeZoneEntered, "-12");
    EXPECT_NEAR(w.state().latitude, -(88 + 59 / 60.0), 1e-12);
}

TEST_F(SettingsFrameTest, OkSavesAndShowsTheGraphAgainCancelDoesNotSave) {
    Form1& w = openWithSydneyTyped();
    EXPECT_TRUE(w.Frame9->isVisible());
    EXPECT_FALSE(w.mnualarm->isEnabled());
    w.Text30->setText(QStringLiteral("40"));
    QTest::mouseClick(w.Command5, Qt::LeftButton);
    EXPECT_FALSE(w.Frame9->isVisible());
    EXPECT_TRUE(w.mnualarm->isEnabled());
    EXPECT_EQ(stored("latdeg"), QStringLiteral("33"));

    w.mnualarm->trigger();
    w.Text30->setText(QStringLiteral("40"));
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    EXPECT_FALSE(w.Frame9->isVisible());
    EXPECT_EQ(stored("latdeg"), QStringLiteral("40"));
    EXPECT_NEAR(w.state().latitude, -(40 + 52 / 60.0), 1e-12);
}

TEST_F(SettingsFrameTest, ABlankNameIsNotSaved) {
    Form1& w = openWithSydneyTyped();
    const QString dir = QStringLiteral("Settings\\Locations\\");
    const QString before = store->get(kTitleApp, dir, QStringLiteral("nlist"), "0");
    const int listed = w.Combo3->count();
    for (const char* blank : {"", "   "}) {
        boxes.shown.clear();
        w.Combo3->setEditText(QString::fromLatin1(blank));
        QTest::mouseClick(w.Command8, Qt::LeftButton);
        ASSERT_EQ(boxes.shown.size(), 1u) << '"' << blank << '"';
        EXPECT_EQ(boxes.shown[0].title, QStringLiteral("No Location Name"));
        EXPECT_EQ(w.Combo3->count(), listed);
        EXPECT_EQ(store->get(kTitleApp, dir, QStringLiteral("nlist"), "0"), before);
        EXPECT_EQ(store->get(kTitleApp, locationSection(QString::fromLatin1(blank)),
                             QStringLiteral("latdeg"), QStringLiteral("absent")),
                  QStringLiteral("absent"));
    }
}

TEST_F(SettingsFrameTest, ThreeLocationsSavedSelectedAndDeleted) {
    Form1& w = openWithSydneyTyped();
    const char* names[] = {"Home", "Lake/North", "Bay\\South"};
    for (int i = 0; i < 3; ++i) {
        w.Combo3->setEditText(QString::fromLatin1(names[i]));
        w.Text30->setText(QString::number(10 + i));
        w.Text17->setText(QString::number(i));
        QTest::mouseClick(w.Command8, Qt::LeftButton);
    }
    const QString dir = QStringLiteral("Settings\\Locations\\");
    EXPECT_EQ(store->get(kTitleApp, dir, QStringLiteral("nlist")), QStringLiteral("3"));
    EXPECT_EQ(store->get(kTitleApp, dir, QStringLiteral("place(2)")), QStringLiteral("Lake/North"));
    EXPECT_EQ(w.Combo3->count(), 4);  // "New Location" and the three

    // Saving a name already listed updates it without a second entry.
    w.Combo3->setEditText(QStringLiteral("Home"));
    w.Text30->setText(QStringLiteral("45"));
    QTest::mouseClick(w.Command8, Qt::LeftButton);
    EXPECT_EQ(w.Combo3->count(), 4);
    EXPECT_EQ(
        store->get(kTitleApp, locationSection(QStringLiteral("Home")), QStringLiteral("latdeg")),
        QStringLiteral("45"));

    // Selecting one fills the boxes from its own section.
    w.Combo3->setCurrentIndex(3);
    w.Combo3_Click();
    EXPECT_EQ(w.Text30->text(), QStringLiteral("12"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("2"));
    EXPECT_EQ(w.Text16->text(), QStringLiteral("Custom"));
    w.Combo3->setCurrentIndex(0);
    w.Combo3_Click();
    EXPECT_EQ(w.Combo3->currentText(), QString());
    EXPECT_EQ(w.Text30->text(), QStringLiteral("12"));  // a new location starts as a copy

    // Deleting the middle one leaves the other two in order.
    w.Combo3->setCurrentIndex(2);
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    EXPECT_EQ(store->get(kTitleApp, dir, QStringLiteral("nlist")), QStringLiteral("2"));
    EXPECT_EQ(store->get(kTitleApp, dir, QStringLiteral("place(1)")), QStringLiteral("Home"));
    EXPECT_EQ(store->get(kTitleApp, dir, QStringLiteral("place(2)")), QStringLiteral("Bay\\South"));
    EXPECT_EQ(store->get(kTitleApp, dir, QStringLiteral("place(3)"), QStringLiteral("gone")),
              QStringLiteral("gone"));
    EXPECT_EQ(store->get(kTitleApp, locationSection(QStringLiteral("Lake/North")),
                         QStringLiteral("latdeg"), QStringLiteral("gone")),
              QStringLiteral("gone"));

    // The list is rebuilt from the store at the next start.
    Form1& again = reopen();
    ASSERT_EQ(again.Combo3->count(), 3);
    EXPECT_EQ(again.Combo3->itemText(2), QStringLiteral("Bay\\South"));
}

TEST_F(SettingsFrameTest, TimeZoneSpinnerWrapsAndFollowsTheComputer) {
    Form1& w = openWithSydneyTyped();
    w.Text17->setText(QStringLiteral("-12"));
    w.UpDown11->clickDown();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("13"));
    EXPECT_TRUE(w.Label17->isVisibleTo(w.Label17->parentWidget()));
    w.UpDown11->clickUp();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("-12"));
    EXPECT_FALSE(w.Label17->isVisibleTo(w.Label17->parentWidget()));
    EXPECT_EQ(w.Text16->text(), QStringLiteral("Custom"));
    EXPECT_FALSE(w.Check3->isEnabled());

    // The computer's own zone shows its name and allows daylight adjustment.
    w.Text17->setText(QStringLiteral("9.5"));
    w.UpDown11->clickUp();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("10"));
    EXPECT_EQ(w.Text16->text(), QStringLiteral("AUS Eastern Standard Time"));
    EXPECT_TRUE(w.Check3->isEnabled());
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_EQ(stored("custom"), QStringLiteral("False"));
    EXPECT_EQ(stored("gmtv"), QStringLiteral("True"));

    w.UpDown11->clickUp();  // 10.5 is not the computer's zone
    EXPECT_EQ(w.Text16->text(), QStringLiteral("Custom"));
    w.Text17->setText(QStringLiteral("0"));
    w.UpDown11->clickUp();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("0.5"));
    EXPECT_TRUE(w.Label17->isVisibleTo(w.Label17->parentWidget()));
}

TEST_F(SettingsFrameTest, DaylightBoxFollowsTheComputersDaylightTime) {
    TimeZoneInfo summer = sydneyComputer();
    summer.status = 2;
    zone.set(summer);
    Form1& w = openWithSydneyTyped();
    w.Check3->setEnabled(true);
    w.Check3->setChecked(false);
    w.Check3_Click();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("10"));
    EXPECT_EQ(w.Text16->text(), QStringLiteral("AUS Eastern Standard Time"));
    w.Check3->setChecked(true);
    w.Check3_Click();
    EXPECT_EQ(w.Text17->text(), QStringLiteral("11"));
    EXPECT_EQ(w.Text16->text(), QStringLiteral("AUS Eastern Daylight Time"));
}

TEST_F(SettingsFrameTest, CoordinateSpinnersWrap) {
    Form1& w = openWithSydneyTyped();
    w.Text30->setText(QStringLiteral("89"));
    w.UpDown9->clickUp();
    EXPECT_EQ(w.Text30->text(), QStringLiteral("0"));
    w.UpDown9->clickDown();
    EXPECT_EQ(w.Text30->text(), QStringLiteral("89"));
    w.Text15->setText(QStringLiteral("0"));
    w.UpDown7->clickDown();
    EXPECT_EQ(w.Text15->text(), QStringLiteral("179"));
    w.Text14->setText(QStringLiteral("59"));
    w.UpDown8->clickUp();
    EXPECT_EQ(w.Text14->text(), QStringLiteral("0"));
    w.UpDown10->clickUp();
    EXPECT_EQ(w.Text40->text(), QStringLiteral("N"));
    w.UpDown5->clickDown();
    EXPECT_EQ(w.Text13->text(), QStringLiteral("W"));
}

TEST_F(SettingsFrameTest, AlarmGroupFollowsActivated) {
    Form1& w = openWithSydneyTyped();
    EXPECT_FALSE(w.Frame7->isEnabled());
    QTest::mouseClick(w.Option1, Qt::LeftButton);
    EXPECT_TRUE(w.Frame7->isEnabled());
    w.Combo2->setCurrentIndex(3);
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_EQ(stored("runalarm"), QStringLiteral("True"));
    EXPECT_EQ(stored("daytype"), QStringLiteral("3"));
}

}  // namespace
}  // namespace moonbite::testing
