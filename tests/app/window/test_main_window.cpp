// The main window driven as a user would: start-up, the day, navigation, the
// graph, menus and options.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <nlohmann/json.hpp>
#include <sstream>

#include "chart_widget.h"
#include "gauge_line.h"
#include "updown.h"
#include "window_fixture.h"

namespace moonbite::testing {

CliDay cliDayAtSydney(const QDate& date) {
    const std::string iso = date.toString(Qt::ISODate).toStdString();
    std::vector<const char*> args = {"moonbite-cli", "day",       "--lat", "33:52S",
                                     "--lon",        "151:13E",   "--tz",  "10",
                                     "--date",       iso.c_str(), "--json"};
    std::ostringstream out;
    std::ostringstream err;
    cli::run(static_cast<int>(args.size()), args.data(), out, err, *Date::fromYmd(2000, 1, 1));
    const auto j = nlohmann::json::parse(out.str());
    CliDay d;
    d.sunrise = j["sunrise"];
    d.sunset = j["sunset"];
    d.dayLength = j["day_length"];
    d.moonrise = j["moonrise"];
    d.moonset = j["moonset"];
    d.majorAbove = j["major_moon_above"];
    d.majorBelow = j["major_moon_below"];
    d.minorAbove = j["minor_moon_above"];
    d.minorBelow = j["minor_moon_below"];
    d.weekday = j["weekday"];
    d.age = j["moon_age"];
    d.picture = j["phase_picture"];
    d.score = j["prediction_score"];
    d.distance = j["lunar_distance_km"];
    return d;
}

namespace {

std::string text(const QLineEdit* box) {
    return box->text().toStdString();
}

void expectSameAsCli(Form1& w, const QDate& date) {
    const CliDay c = cliDayAtSydney(date);
    SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
    EXPECT_EQ(text(w.Text2), c.sunrise);
    EXPECT_EQ(text(w.Text32), c.sunset);
    EXPECT_EQ(text(w.Text6), c.dayLength);
    EXPECT_EQ(text(w.Text21), c.moonrise);
    EXPECT_EQ(text(w.Text39), c.moonset);
    EXPECT_EQ(text(w.Text4), c.majorAbove);
    EXPECT_EQ(text(w.Text5), c.majorBelow);
    EXPECT_EQ(text(w.Text7), c.minorAbove);
    EXPECT_EQ(text(w.Text8), c.minorBelow);
    EXPECT_EQ(w.Label10->text().toStdString(), c.weekday);
    EXPECT_EQ(w.Text9->text().toInt(), c.age);
    EXPECT_EQ(w.state().Image3, c.picture);
    const std::int32_t colour = predictionRating(c.score).colour;
    EXPECT_EQ(w.Picture2->palette().color(QPalette::Window),
              QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    EXPECT_EQ(w.Label13->text().toLong(), c.distance);
}

}  // namespace

// --- Start-up -----------------------------------------------------------------

// A new user is not told off for having no place yet, and is shown no day
// for a place nobody chose: the settings open, ready to find one.
TEST_F(WindowTest, FirstRunOpensTheSettingsWithoutAMessageOrADay) {
    Form1& w = open();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(w.Frame9->isVisible());
    EXPECT_FALSE(w.MSChart1->isVisible());
    EXPECT_EQ(w.focusWidget(), w.TextFindPlace);
    EXPECT_TRUE(w.LabelChoosePlace->isVisible());
    for (QLineEdit* box : {w.Text2, w.Text32, w.Text6, w.Text21, w.Text39, w.Text9, w.Text4,
                           w.Text5, w.Text7, w.Text8}) {
        EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
    }
    EXPECT_TRUE(w.Label13->text().isEmpty());
    EXPECT_EQ(w.MSChart1->rowCount(), 0);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Moonbite"));
    EXPECT_EQ(shownDate(w), today);
    EXPECT_FALSE(w.Command7->isVisible());
    // The settings frame shows the first-run defaults; the zone follows the computer.
    EXPECT_EQ(w.Text30->text(), QStringLiteral("0"));
    EXPECT_EQ(w.Text40->text(), QStringLiteral("N"));
    EXPECT_EQ(w.Text13->text(), QStringLiteral("W"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("10"));
    EXPECT_EQ(w.Text16->text(), QStringLiteral("AUS Eastern Standard Time"));
    EXPECT_TRUE(w.Option2->isChecked());
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Good & Excellent Days"));
    EXPECT_EQ(w.Text12->text(), QStringLiteral("2"));
    EXPECT_TRUE(w.Check1->isChecked() && w.Check2->isChecked() && w.Check3->isChecked());
    // Stepping the date still shows no day.
    w.UpDown1->clickUp();
    EXPECT_EQ(shownDate(w), today.addDays(1));
    EXPECT_TRUE(w.Text2->text().isEmpty());
    EXPECT_EQ(w.MSChart1->rowCount(), 0);
    EXPECT_TRUE(boxes.shown.empty());
    // The date order of a first run is month first, and it is stored.
    EXPECT_LT(w.Combo1->x(), w.Text1->x());
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("daterep")),
              QStringLiteral("False"));
    // Nothing was saved for the place nobody chose.
    EXPECT_EQ(store->get(kStateApp, QStringLiteral("Settings"), QStringLiteral("latdeg"),
                         QStringLiteral("<absent>")),
              QStringLiteral("<absent>"));
}

// Once a place is known, an empty name is checked on each activation.
TEST_F(WindowTest, ClosingAnotherWindowRecomputesButAMessageBoxDoesNot) {
    storeSydney();
    Form1& w = open();
    ASSERT_TRUE(boxes.shown.empty());
    w.Combo3->setEditText(QString());
    // The window becoming active again by itself (its own message box closing,
    // the user switching back from another program) recomputes nothing.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    QApplication::processEvents();
    EXPECT_TRUE(boxes.shown.empty());
    // The about box closes: the window is active again and recomputes, which
    // checks the settings frame and so asks for the missing name.
    QTimer::singleShot(50, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    w.mnuabout_Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Moonbite"));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(
        QStringLiteral("No name has been entered for your location. Please enter a name.\r\n")));
    EXPECT_TRUE(boxes.shown[0].text.endsWith(
        QStringLiteral("by selecting  | Settings | Program Settings | on the menu bar")));
}

TEST_F(WindowTest, Sydney21January2000ShowsWhatTheToolShows) {
    storeSydney();
    Form1& w = open();
    EXPECT_TRUE(boxes.shown.empty());
    expectSameAsCli(w, today);
    EXPECT_EQ(text(w.Text21), "07:13 PM");
    EXPECT_EQ(text(w.Text4), "11:32 PM");
    EXPECT_TRUE(w.Label14->isVisible());
    EXPECT_EQ(w.Label14->text(), QStringLiteral("Full Moon"));
    EXPECT_EQ(w.Label18->text(), QStringLiteral("02:40 PM"));
    EXPECT_FALSE(w.Image3->pixmap().isNull());
    EXPECT_EQ(w.Picture2->palette().color(QPalette::Window), QColor(0, 0, 0xC0));
    EXPECT_EQ(w.MSChart1->rowCount(), 15);
    EXPECT_EQ(w.MSChart1->rowLabelAt(1), QStringLiteral("1/21"));
    EXPECT_EQ(w.MSChart1->valueAt(1), 100);
}

// --- Date navigation ---------------------------------------------------------------

TEST_F(WindowTest, DayRollsOverThroughKeysAndSpinner) {
    storeSydney();
    Form1& w = open();
    w.Text1->setText(QStringLiteral("31"));
    w.Text1->setFocus();
    QTest::keyClick(w.Text1, Qt::Key_Up);  // day 32 of January
    EXPECT_EQ(shownDate(w), QDate(2000, 2, 1));
    expectSameAsCli(w, QDate(2000, 2, 1));

    w.Combo1->setCurrentIndex(2);
    w.Text1->setText(QStringLiteral("1"));
    w.UpDown1->clickDown();  // day 0 of March 2000
    EXPECT_EQ(shownDate(w), QDate(2000, 2, 29));
    expectSameAsCli(w, QDate(2000, 2, 29));

    w.Text1->setFocus();
    QTest::keyClick(w.Text1, Qt::Key_Down);
    EXPECT_EQ(shownDate(w), QDate(2000, 2, 28));
}

TEST_F(WindowTest, SteppingTheDaySpinnerMatchesTheToolEveryDay) {
    storeSydney();
    today = QDate(1999, 12, 30);
    Form1& w = open();
    for (QDate d = QDate(1999, 12, 31); d <= QDate(2000, 5, 1); d = d.addDays(1)) {
        w.UpDown1->clickUp();
        ASSERT_EQ(shownDate(w), d);
        expectSameAsCli(w, d);
        if (::testing::Test::HasFailure()) break;
    }
}

TEST_F(WindowTest, YearIsClampedAndCannotBeTyped) {
    storeSydney();
    Form1& w = open();
    w.Text10->setText(QStringLiteral("2200"));
    w.UpDown2->clickUp();
    EXPECT_EQ(w.Text10->text(), QStringLiteral("2200"));
    w.Text10->setText(QStringLiteral("1901"));
    w.UpDown2->clickDown();
    EXPECT_EQ(w.Text10->text(), QStringLiteral("1901"));
    // Typing in the year box moves the focus to its spinner and changes nothing.
    QTest::keyClick(w.Text10, Qt::Key_5);
    EXPECT_EQ(w.Text10->text(), QStringLiteral("1901"));
}

TEST_F(WindowTest, TodayButton) {
    storeSydney();
    Form1& w = open();
    w.UpDown1->clickUp();
    EXPECT_TRUE(w.Command7->isVisible());
    QTest::mouseClick(w.Command7, Qt::LeftButton);
    EXPECT_EQ(shownDate(w), today);
    EXPECT_FALSE(w.Command7->isVisible());
    expectSameAsCli(w, today);
}

TEST_F(WindowTest, AccessKeysWork) {
    storeSydney();
    Form1& w = open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.UpDown1->clickUp();
    ASSERT_TRUE(w.Command7->isVisible());
    QTest::keyClick(w.windowHandle(), Qt::Key_T, Qt::AltModifier);  // "&Today"
    QTest::qWait(250);  // a button's access key clicks it after a short animation
    EXPECT_EQ(shownDate(w), today);
    bool journalOpened = false;
    QTimer::singleShot(400, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        journalOpened = modal != nullptr && modal->objectName() == QLatin1String("Form3");
        if (modal != nullptr) modal->close();
    });
    QTest::keyClick(w.windowHandle(), Qt::Key_J, Qt::AltModifier);  // "&Journal"
    QTest::qWait(600);
    EXPECT_TRUE(journalOpened);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.windowHandle(), Qt::Key_G, Qt::AltModifier);  // "&Graph days" label
    EXPECT_TRUE(w.Text11->hasFocus());
}

TEST_F(WindowTest, WindowStateIsSavedOnClose) {
    storeSydney();
    Form1& w = open();
    w.overrideWindowState(Qt::WindowMaximized);
    w.close();
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("winstate")),
              QStringLiteral("2"));
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("graphstyle")),
              QStringLiteral("1"));
}

TEST_F(WindowTest, EquinoxLabel) {
    storeSydney();
    today = QDate(2001, 3, 20);
    Form1& w = open();
    EXPECT_FALSE(w.Label19->isVisible());
    w.UpDown1->clickUp();
    EXPECT_TRUE(w.Label19->isVisible());
    EXPECT_EQ(w.Label19->text(), QStringLiteral("Equinox"));
}

// Started on an equinox or solstice day, the label is there from the first show.
TEST_F(WindowTest, EquinoxLabelAtStartUp) {
    storeSydney();
    for (const auto& [day, word] :
         {std::pair{QDate(2027, 3, 21), "Equinox"}, std::pair{QDate(2027, 12, 22), "Solstice"}}) {
        today = day;
        Form1& w = window ? reopen() : open();
        EXPECT_TRUE(w.Label19->isVisible()) << word;
        EXPECT_EQ(w.Label19->text(), QString::fromLatin1(word));
    }
}

// --- Graph -------------------------------------------------------------------------------

TEST_F(WindowTest, GraphDaysAreValidated) {
    storeSydney();
    Form1& w = open();
    auto commit = [&](const QString& value) {
        w.Text11->setText(value);
        w.Text11->setFocus();
        QTest::keyClick(w.Text11, Qt::Key_Return);
        return std::make_pair(w.Text11->text(), w.MSChart1->rowCount());
    };
    EXPECT_EQ(commit(QStringLiteral("75")), std::make_pair(QStringLiteral("60"), 60));
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("graphday")),
              QStringLiteral("60"));
    EXPECT_EQ(commit(QStringLiteral("1")), std::make_pair(QStringLiteral("2"), 2));
    store->save(kTitleApp, QStringLiteral("Settings"), QStringLiteral("graphday"),
                QStringLiteral("15"));
    EXPECT_EQ(commit(QString()), std::make_pair(QStringLiteral("15"), 15));
    EXPECT_EQ(commit(QStringLiteral("abc")), std::make_pair(QStringLiteral("15"), 15));
    w.UpDown3->clickUp();
    EXPECT_EQ(w.MSChart1->rowCount(), 16);
}

TEST_F(WindowTest, PointSelectionAcrossAYearEndInBothOrders) {
    storeSydney();
    today = QDate(1999, 12, 30);
    Form1& w = open();
    ASSERT_TRUE(w.state().dateOrderMonthFirst);
    w.MSChart1_PointSelected(1, 3, 0, 0);
    EXPECT_TRUE(w.Text3->isVisible());
    EXPECT_TRUE(w.Text18->isVisible());
    EXPECT_EQ(w.Text3->text(), QStringLiteral("1/1/2000"));
    EXPECT_EQ(w.MSChart1->rowLabelAt(3), QStringLiteral("1/1"));
    EXPECT_EQ(w.MSChart1->rowLabelAt(2), QStringLiteral("12/31"));

    w.datrep();  // day first
    EXPECT_FALSE(w.Text3->isVisible());
    EXPECT_EQ(w.MSChart1->rowLabelAt(2), QStringLiteral("31/12"));
    w.MSChart1_PointSelected(1, 4, 0, 0);
    EXPECT_EQ(w.Text3->text(), QStringLiteral("2/1/2000"));

    // Activating the point makes it the displayed date.
    w.MSChart1_PointActivated(1, 4, 0, 0);
    EXPECT_EQ(shownDate(w), QDate(2000, 1, 2));
    EXPECT_FALSE(w.Text3->isVisible());
    EXPECT_EQ(w.MSChart1->rowLabelAt(1), QStringLiteral("2/1"));
    expectSameAsCli(w, QDate(2000, 1, 2));

    w.MSChart1_PointSelected(1, 2, 0, 0);
    w.MSChart1_LostFocus();
    EXPECT_FALSE(w.Text3->isVisible());
}

TEST_F(WindowTest, DateRepresentationTwiceRestoresPositionsAndValue) {
    storeSydney();
    Form1& w = open();
    const int comboX = w.Combo1->x();
    const int dayX = w.Text1->x();
    w.datrep();
    EXPECT_EQ(w.Text1->x(), 150 / kTwipsPerPixel);
    EXPECT_EQ(w.Combo1->x(), 900 / kTwipsPerPixel);
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("daterep")),
              QStringLiteral("True"));
    w.datrep();
    EXPECT_EQ(w.Combo1->x(), comboX);
    EXPECT_EQ(w.Text1->x(), dayX);
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("daterep")),
              QStringLiteral("False"));
    // A stored "True" starts day first.
    w.datrep();
    Form1& again = reopen();
    EXPECT_FALSE(again.state().dateOrderMonthFirst);
    EXPECT_LT(again.Text1->x(), again.Combo1->x());
}

TEST_F(WindowTest, ChartTypeAndColourPersistAndCancelChangesNothing) {
    storeSydney();
    Form1& w = open();
    w.mnuChart[7]->trigger();
    int checked = 0;
    for (QAction* a : w.mnuChart)
        checked += a->isChecked() ? 1 : 0;
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(w.mnuChart[7]->isChecked());
    EXPECT_EQ(w.MSChart1->chartType(), 7);

    nextColour = QColor();  // cancelled
    w.mnubackcol->trigger();
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("Chartcolor")),
              QString());
    EXPECT_EQ(w.MSChart1->backdropColor(), QColor(0, 128, 192));

    nextColour = QColor(0, 8, 0);
    w.mnubackcol->trigger();
    EXPECT_EQ(store->get(kTitleApp, QStringLiteral("Settings"), QStringLiteral("Chartcolor")),
              QStringLiteral("2048"));
    EXPECT_EQ(w.MSChart1->backdropColor(), QColor(0, 8, 0));

    Form1& again = reopen();
    EXPECT_EQ(again.MSChart1->chartType(), 7);
    EXPECT_TRUE(again.mnuChart[7]->isChecked());
    EXPECT_EQ(again.MSChart1->backdropColor(), QColor(0, 8, 0));
}

TEST_F(WindowTest, TextTipsOffAndOn) {
    storeSydney();
    Form1& w = open();
    ASSERT_TRUE(w.mnutextip->isChecked());
    EXPECT_EQ(w.Text4->toolTip(),
              QStringLiteral("Displayed date major fishing time when Moon is above the observer."));
    EXPECT_EQ(w.Image5->toolTip(), QStringLiteral("Displayed date fishing prediction : Excellent"));
    w.mnutextip->trigger();
    EXPECT_FALSE(w.mnutextip->isChecked());
    EXPECT_TRUE(w.Text4->toolTip().isEmpty());
    EXPECT_TRUE(w.Image5->toolTip().isEmpty());
    EXPECT_TRUE(w.Frame1->toolTip().isEmpty());
    EXPECT_EQ(store->get(kStateApp, QStringLiteral("Settings"), QStringLiteral("textipshow")),
              QStringLiteral("False"));
    w.UpDown1->clickUp();  // a new day keeps the tip empty
    EXPECT_TRUE(w.Image5->toolTip().isEmpty());
    w.mnutextip->trigger();
    EXPECT_EQ(w.Image5->toolTip(), QStringLiteral("Displayed date fishing prediction : Fair"));
    EXPECT_EQ(w.Label19->toolTip(),
              QStringLiteral("Fishing on days of the solstice or equinox can be the most "
                             "productive days of the year."));
}

TEST_F(WindowTest, AllThirtySixTipsComeAndGo) {
    storeSydney();
    Form1& w = open();
    auto tipped = [&] {
        int n = 0;
        for (QWidget* child : w.findChildren<QWidget*>())
            n += child->toolTip().isEmpty() ? 0 : 1;
        return n;
    };
    EXPECT_EQ(tipped(), 36);
    w.mnutextip->trigger();
    EXPECT_EQ(tipped(), 0);
    w.mnutextip->trigger();
    EXPECT_EQ(tipped(), 36);
    EXPECT_EQ(w.Frame1->toolTip(),
              QStringLiteral("Displays the distance the Moon this from the Earth, therefore the "
                             "amount of influence the Moon has on Earth."));
}

TEST_F(WindowTest, UnwritableSettingsAreReportedOnceAndTheWindowRunsOn) {
    QFile blocker(folder.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    store = std::make_unique<SettingsStore>(folder.filePath(QStringLiteral("file/settings")));
    Form1& w = open();
    int notices = 0;
    for (const auto& b : boxes.shown)
        notices += b.icon == MessageBoxes::Icon::Information ? 1 : 0;
    EXPECT_EQ(notices, 1);
    w.UpDown1->clickUp();
    w.mnutextip->trigger();
    w.Activateform();
    notices = 0;
    for (const auto& b : boxes.shown)
        notices += b.icon == MessageBoxes::Icon::Information ? 1 : 0;
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(shownDate(w), today.addDays(1));
}

TEST_F(WindowTest, ReverseMoonImage) {
    storeSydney();
    today = QDate(2000, 1, 9);  // two days after the new moon at +10
    Form1& w = open();
    EXPECT_EQ(w.state().Image3, 101);
    w.mnurevmoon->trigger();
    EXPECT_EQ(w.state().Image3, 111);
    EXPECT_EQ(store->get(kStateApp, QStringLiteral("Settings"), QStringLiteral("moonorth")),
              QStringLiteral("False"));
}

// --- Resizing -------------------------------------------------------------------------------

TEST_F(WindowTest, MaximisedToTwiceTheDesignSizeScalesControlsAndTheGauge) {
    storeSydney();
    Form1& w = open();
    const QRect sunrise = w.Text2->geometry();
    const QRect chart = w.MSChart1->geometry();
    const double gaugeLeft = w.Image2->x();
    ASSERT_EQ(w.scale().horizontalScale, 1);
    const QSize design = w.size();
    w.resize(design * 2);
    w.overrideWindowState(Qt::WindowMaximized);
    QResizeEvent event(w.size(), design);
    QApplication::sendEvent(&w, &event);
    EXPECT_NEAR(w.scale().horizontalScale, 2.0, 0.01);
    EXPECT_NEAR(w.Text2->x(), 2 * sunrise.x(), 1);
    EXPECT_NEAR(w.MSChart1->width(), 2 * chart.width(), 2);
    // Heights scale with the central widget: the menu bar keeps its own.
    const double tall = w.centralWidget()->height() / 636.0;
    EXPECT_NEAR(w.MSChart1->height(), tall * chart.height(), 2);
    // Spinners are as high as the text boxes beside them, at the font's scale.
    EXPECT_NEAR(w.UpDown1->height(), 2 * 300 / kTwipsPerPixel, 1);
    // The gauge marker is placed from the stored distance at the new scale.
    EXPECT_NEAR(w.Image2->x(), 2 * gaugeLeft, 1.5);
    EXPECT_NEAR(w.Line1->x1(), 2 * 705.0 / kTwipsPerPixel, 0.01);

    // The date order switched while enlarged places the fields at the scaled positions.
    w.datrep();
    EXPECT_NEAR(w.Text1->x(), 2 * 150.0 / kTwipsPerPixel, 1);
    w.datrep();

    // Back to the normal state: scale 1 and the design positions again.
    w.resize(design);
    w.overrideWindowState(Qt::WindowNoState);
    QResizeEvent back(design, design * 2);
    QApplication::sendEvent(&w, &back);
    EXPECT_EQ(w.scale().horizontalScale, 1);
    EXPECT_EQ(w.Text2->geometry(), sunrise);
    EXPECT_NEAR(w.Image2->x(), gaugeLeft, 1);
}

// --- Settings values that do not convert -------------------------------------------------

TEST_F(WindowTest, GarbageSettingsTakeTheirDefaults) {
    storeSydney();
    const QString s = QStringLiteral("Settings");
    store->save(kTitleApp, s, QStringLiteral("graphday"), QStringLiteral("abc"));
    store->save(kTitleApp, s, QStringLiteral("Chartcolor"), QStringLiteral("zzz"));
    store->save(kTitleApp, s, QStringLiteral("graphstyle"), QStringLiteral("42"));
    store->save(kTitleApp, s, QStringLiteral("winstate"), QStringLiteral("-3"));
    store->save(kTitleApp, s, QStringLiteral("daterep"), QStringLiteral("maybe"));
    store->save(kStateApp, s, QStringLiteral("moonorth"), QStringLiteral("perhaps"));
    store->save(kStateApp, s, QStringLiteral("daytype"), QStringLiteral("9"));
    Form1& w = open();
    EXPECT_EQ(w.MSChart1->rowCount(), 15);
    EXPECT_EQ(w.MSChart1->backdropColor(), QColor(0, 128, 192));
    EXPECT_EQ(w.MSChart1->chartType(), 1);
    EXPECT_TRUE(w.mnuChart[1]->isChecked());
    EXPECT_FALSE(w.isMaximized());
    EXPECT_TRUE(w.state().dateOrderMonthFirst);
    EXPECT_TRUE(w.state().reverseMoonImage);
    EXPECT_EQ(w.Combo2->currentIndex(), 1);
    expectSameAsCli(w, today);
}

}  // namespace moonbite::testing
