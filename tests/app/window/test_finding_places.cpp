// Finding the place: the first run from the welcome to a day, the search box
// and its list, coordinates as people write and paste them, the title, and Ok
// keeping a new place.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "chart_widget.h"
#include "place_table.h"
#include "welcome_window.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

// A few rows in the table's own format (tools/make_places.py); the
// coordinates are GeoNames' for each town.
const QByteArray kTable =
    "# Moonbite places 1\n"
    "C\tAU\tAustralia\n"
    "C\tUS\tUnited States\n"
    "R\tAU\t02\tNew South Wales\n"
    "R\tUS\tFL\tFlorida\n"
    "Key West\t\tUS\tFL\t24.5552\t-81.7816\tAmerica/New_York\t25755\n"
    "Key Largo\t\tUS\tFL\t25.0865\t-80.4473\tAmerica/New_York\t10433\n"
    "Sydney\t\tAU\t02\t-33.86785\t151.20732\tAustralia/Sydney\t4627345\n"
    "Westport\t\tUS\tFL\t27.1\t-82.2\tNowhere/Unknown_Zone\t100\n";

const QString kKeyWestRow =
    QStringLiteral("Key West \u2014 Florida, United States \u2014 America/New_York");

class FindingPlaces : public WindowTest {
  protected:
    QString savedCount() {
        return store->get(kTitleApp, QStringLiteral("Settings\\Locations\\"),
                          QStringLiteral("nlist"), QStringLiteral("<absent>"));
    }
    Form1& openActive() {
        Form1& w = open();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    Form1& openSettings() {
        storeSydney();
        Form1& w = openActive();
        w.mnualarm->trigger();
        boxes.shown.clear();
        return w;
    }
    /// Types into the search box and waits for the list of matches.
    static bool search(Form1& w, const char* text) {
        w.TextFindPlace->setFocus();
        w.TextFindPlace->selectAll();
        QTest::keyClicks(w.TextFindPlace, QString::fromUtf8(text));
        return QTest::qWaitFor([&] { return w.ListPlaces->isVisible(); }, 5000);
    }
    static std::vector<QString> coordinates(const Form1& w) {
        return {w.Text30->text(), w.Text20->text(), w.Text40->text(),
                w.Text15->text(), w.Text14->text(), w.Text13->text()};
    }
    static std::vector<QString> dm(const char* d1, const char* m1, const char* l1, const char* d2,
                                   const char* m2, const char* l2) {
        return {QString::fromLatin1(d1), QString::fromLatin1(m1), QString::fromLatin1(l1),
                QString::fromLatin1(d2), QString::fromLatin1(m2), QString::fromLatin1(l2)};
    }
    /// Replaces a box's text by typing, then leaves it with Tab.
    static void typeInto(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
};

// From the first start to a correct day at Key West, counting the user's actions:
//   1. Ok in the welcome (a click, or Enter: it is the default button)
//   2. type "Key West" into the search box, which has the focus already
//   3. Down into the list of matches
//   4. Enter picks the first match (Enter in the box picks it too, one action less)
//   5. Ok in the settings frame
// Five actions, and no message box on the way.
TEST_F(FindingPlaces, FirstRunFromTheWelcomeToADayAtKeyWest) {
    writePlaces(kTable);
    ASSERT_TRUE(isNewUser(*store));
    bool welcomed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* welcome = qobject_cast<Form2*>(QApplication::activeModalWidget());
        if (welcome == nullptr) return;
        poll.stop();
        welcomed = welcome->Command1->isEnabled();
        QTest::mouseClick(welcome->Command1, Qt::LeftButton);  // action 1
    });
    poll.start(10);
    EXPECT_TRUE(welcomeNewUser(*store, [] {}));
    EXPECT_TRUE(welcomed);

    Form1& w = openActive();  // main() shows the main window next
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(w.Frame9->isVisible());
    EXPECT_TRUE(w.TextFindPlace->hasFocus());
    EXPECT_TRUE(w.Text2->text().isEmpty());

    QTest::keyClicks(w.TextFindPlace, QStringLiteral("Key West"));  // action 2
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ListPlaces->isVisible(); }, 5000));
    ASSERT_GE(w.ListPlaces->count(), 1);
    EXPECT_EQ(w.ListPlaces->item(0)->text(), kKeyWestRow);
    QTest::keyClick(w.TextFindPlace, Qt::Key_Down);  // action 3
    EXPECT_TRUE(w.ListPlaces->hasFocus());
    EXPECT_EQ(w.ListPlaces->currentRow(), 0);
    QTest::keyClick(w.ListPlaces, Qt::Key_Return);  // action 4
    EXPECT_FALSE(w.ListPlaces->isVisible());
    EXPECT_EQ(w.Combo3->currentText(), QStringLiteral("Key West"));
    // 24.5552 = 24°33.3', -81.7816 = 81°46.9' W
    EXPECT_EQ(coordinates(w), dm("24", "33", "N", "81", "47", "W"));
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("America/New_York"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("-5"));  // EST on 21 January 2000

    QTest::mouseClick(w.Command4, Qt::LeftButton);  // action 5
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text.toStdString();
    EXPECT_FALSE(w.Frame9->isVisible());
    EXPECT_EQ(savedCount(), QStringLiteral("1"));
    EXPECT_EQ(
        store->get(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("place(1)")),
        QStringLiteral("Key West"));
    const QString k = QStringLiteral("Key West");
    EXPECT_EQ(storedFor(k, "latdeg"), QStringLiteral("24"));
    EXPECT_EQ(storedFor(k, "latmin"), QStringLiteral("33"));
    EXPECT_EQ(storedFor(k, "NorS"), QStringLiteral("N"));
    EXPECT_EQ(storedFor(k, "londeg"), QStringLiteral("81"));
    EXPECT_EQ(storedFor(k, "lonmin"), QStringLiteral("47"));
    EXPECT_EQ(storedFor(k, "WorE"), QStringLiteral("W"));
    EXPECT_EQ(storedFor(k, "tzname"), QStringLiteral("America/New_York"));
    EXPECT_EQ(stored("currentloc"), k);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Moonbite - Key West"));
    EXPECT_FALSE(w.LabelChoosePlace->isVisible());
    EXPECT_FALSE(w.Text2->text().isEmpty());
    EXPECT_EQ(shownDayTimes(w), toolDayTimes("24:33N", "81:47W", "-5", today));
    EXPECT_EQ(w.MSChart1->rowCount(), 15);
    // The welcome does not come back.
    EXPECT_FALSE(isNewUser(*store));
}

// Typing and Enter at once: the pick does not wait for the pause or the table.
TEST_F(FindingPlaces, EnterInTheBoxPicksTheFirstMatchAtOnce) {
    writePlaces(kTable);
    Form1& w = openSettings();
    w.TextFindPlace->setFocus();
    QTest::keyClicks(w.TextFindPlace, QStringLiteral("sydney"));
    QTest::keyClick(w.TextFindPlace, Qt::Key_Return);
    EXPECT_EQ(w.Combo3->currentText(), QStringLiteral("Sydney"));
    // -33.86785 = 33°52.07' S, 151.20732 = 151°12.44' E
    EXPECT_EQ(coordinates(w), dm("33", "52", "S", "151", "12", "E"));
    EXPECT_EQ(w.Combo4->currentText(), QStringLiteral("Australia/Sydney"));
    EXPECT_EQ(w.Text17->text(), QStringLiteral("11"));  // daylight time in January
    EXPECT_TRUE(w.Command4->hasFocus());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FindingPlaces, TheListFollowsTypingAndClosesOnEscapeOrWhenLeft) {
    writePlaces(kTable);
    Form1& w = openSettings();
    ASSERT_TRUE(search(w, "key"));
    ASSERT_EQ(w.ListPlaces->count(), 2);
    EXPECT_EQ(w.ListPlaces->item(0)->text(), kKeyWestRow);  // the larger town first
    EXPECT_TRUE(w.ListPlaces->item(1)->text().startsWith(QStringLiteral("Key Largo \u2014")));
    // More letters narrow it down.
    QTest::keyClicks(w.TextFindPlace, QStringLiteral(" l"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ListPlaces->count() == 1; }, 2000));
    EXPECT_TRUE(w.ListPlaces->item(0)->text().startsWith(QStringLiteral("Key Largo")));
    // Escape closes it; the boxes below it are as they were.
    QTest::keyClick(w.TextFindPlace, Qt::Key_Escape);
    EXPECT_FALSE(w.ListPlaces->isVisible());
    EXPECT_EQ(w.Combo3->currentText(), QStringLiteral("Sydney"));
    // From the list: Escape closes it and goes back to the box.
    ASSERT_TRUE(search(w, "key"));
    QTest::keyClick(w.TextFindPlace, Qt::Key_Down);
    QTest::keyClick(w.ListPlaces, Qt::Key_Escape);
    EXPECT_FALSE(w.ListPlaces->isVisible());
    EXPECT_TRUE(w.TextFindPlace->hasFocus());
    // Going to another box closes it.
    ASSERT_TRUE(search(w, "key"));
    w.Combo3->setFocus();
    EXPECT_FALSE(w.ListPlaces->isVisible());
    // Nothing found: the note says so and the list stays closed.
    w.TextFindPlace->setFocus();
    w.TextFindPlace->selectAll();
    QTest::keyClicks(w.TextFindPlace, QStringLiteral("zzqqxx"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w.LabelPlaceNote->text().contains(QStringLiteral("zzqqxx")); }, 2000));
    EXPECT_FALSE(w.ListPlaces->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FindingPlaces, AClickOnARowPicksIt) {
    writePlaces(kTable);
    Form1& w = openSettings();
    ASSERT_TRUE(search(w, "key"));
    ASSERT_EQ(w.ListPlaces->count(), 2);
    const QRect second = w.ListPlaces->visualItemRect(w.ListPlaces->item(1));
    QTest::mouseClick(w.ListPlaces->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FALSE(w.ListPlaces->isVisible());
    EXPECT_EQ(w.Combo3->currentText(), QStringLiteral("Key Largo"));
    // 25.0865 = 25°05.19', -80.4473 = 80°26.84' W
    EXPECT_EQ(coordinates(w), dm("25", "5", "N", "80", "27", "W"));
}

// A zone this computer does not have: the note says so, G.M.T is left to the user.
TEST_F(FindingPlaces, AnUnknownZoneIsSaid) {
    writePlaces(kTable);
    Form1& w = openSettings();
    const QString gmt = w.Text17->text();
    ASSERT_TRUE(search(w, "westport"));
    QTest::keyClick(w.TextFindPlace, Qt::Key_Return);
    EXPECT_EQ(w.Combo3->currentText(), QStringLiteral("Westport"));
    EXPECT_EQ(w.namedZone(), QString());
    EXPECT_EQ(w.Text17->text(), gmt);
    EXPECT_TRUE(w.LabelPlaceNote->text().contains(QStringLiteral("Nowhere/Unknown_Zone")));
    EXPECT_TRUE(boxes.shown.empty());
}

// A new user who closed the settings finds the way back from the hint.
TEST_F(FindingPlaces, TheHintLeadsBackToTheSearch) {
    Form1& w = openActive();
    QTest::mouseClick(w.Command5, Qt::LeftButton);  // Cancel
    EXPECT_FALSE(w.Frame9->isVisible());
    ASSERT_TRUE(w.LabelChoosePlace->isVisible());
    EXPECT_TRUE(w.LabelChoosePlace->text().contains(QStringLiteral(">Choose your place<")));
    w.Combo1->setFocus();
    QTest::mouseClick(w.LabelChoosePlace, Qt::LeftButton, {},
                      QPoint(12, w.LabelChoosePlace->height() / 2));
    EXPECT_TRUE(w.Frame9->isVisible());
    EXPECT_TRUE(w.TextFindPlace->hasFocus());
    EXPECT_TRUE(w.LabelChoosePlace->text().contains(QStringLiteral("in the settings below")));
    EXPECT_TRUE(boxes.shown.empty());
}

// "&Find place:" reaches the box from anywhere in the window.
TEST_F(FindingPlaces, TheAccessKeyGoesToTheSearchBox) {
    Form1& w = openSettings();
    w.Text30->setFocus();
    QTest::keyClick(w.windowHandle(), Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(w.TextFindPlace->hasFocus());
}

// The table is read only once the user starts to search, never at start-up.
TEST_F(FindingPlaces, TheTableIsReadWhenTheSearchIsFirstUsed) {
    writePlaces(kTable);
    Form1& w = openSettings();
    EXPECT_EQ(w.placeTable().status(), PlaceTable::Status::NotRead);
    w.TextFindPlace->setFocus();
    EXPECT_NE(w.placeTable().status(), PlaceTable::Status::NotRead);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w.placeTable().status() == PlaceTable::Status::Ready; }, 5000));
    EXPECT_EQ(w.placeTable().gazetteer()->size(), 4u);
}

// Without the table the search box says so once, and everything else works:
// the place is typed in by hand.
TEST_F(FindingPlaces, AMissingTableIsSaidAndTheRestWorks) {
    Form1& w = openActive();  // first run: the search box has the focus
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w.placeTable().status() == PlaceTable::Status::Missing; }, 5000));
    QApplication::processEvents();
    EXPECT_EQ(w.LabelPlaceNote->text(), QStringLiteral("The list of places is not installed"));
    QTest::keyClicks(w.TextFindPlace, QStringLiteral("Key West"));
    QTest::keyClick(w.TextFindPlace, Qt::Key_Return);
    EXPECT_FALSE(w.ListPlaces->isVisible());
    EXPECT_EQ(w.LabelPlaceNote->text(), QStringLiteral("The list of places is not installed"));
    EXPECT_TRUE(boxes.shown.empty());

    w.Combo3->setEditText(QStringLiteral("Key West"));
    typeInto(w.Text30, QStringLiteral("24.5552"));
    typeInto(w.Text15, QStringLiteral("-81.7816"));
    w.Text17->setText(QStringLiteral("-5"));
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(shownDayTimes(w), toolDayTimes("24:33N", "81:47W", "-5", today));
    EXPECT_EQ(savedCount(), QStringLiteral("1"));
}

// --- Coordinates as written --------------------------------------------------------

struct WrittenCase {
    const char* name;
    const char* box;
    const char* typed;
    std::vector<QString> after;  // Text30, Text20, Text40, Text15, Text14, Text13
};
void PrintTo(const WrittenCase& c, std::ostream* os) {
    *os << c.name;
}

class WrittenCoordinates : public FindingPlaces,
                           public ::testing::WithParamInterface<WrittenCase> {};

// Typed into a degrees box and left: the box's text becomes degrees,
// minutes and letter. Before: 33°52' S, 151°13' E (Sydney).
TEST_P(WrittenCoordinates, TypedIntoADegreesBox) {
    const WrittenCase& c = GetParam();
    Form1& w = openSettings();
    auto* box = w.findChild<QLineEdit*>(QString::fromLatin1(c.box));
    ASSERT_NE(box, nullptr);
    typeInto(box, QString::fromUtf8(c.typed));
    EXPECT_EQ(coordinates(w), c.after);
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, WrittenCoordinates,
    ::testing::Values(
        // 34.73 = 34°43.8'; a decimal without a sign is north.
        WrittenCase{"DecimalLatitude", "Text30", "34.73", {"34", "44", "N", "151", "13", "E"}},
        WrittenCase{
            "NegativeDecimalLatitude", "Text30", "-33.5", {"33", "30", "S", "151", "13", "E"}},
        WrittenCase{
            "NegativeDecimalLongitude", "Text15", "-81.78", {"33", "52", "S", "81", "47", "W"}},
        WrittenCase{
            "DegreesMinutesLetter", "Text30", "24\u00b033'N", {"24", "33", "N", "151", "13", "E"}},
        WrittenCase{"DecimalMinutes", "Text15", "81 46.9 W", {"33", "52", "S", "81", "47", "W"}},
        WrittenCase{"DecimalComma", "Text30", "34,5", {"34", "30", "N", "151", "13", "E"}},
        WrittenCase{"PairTyped", "Text30", "24.555, -81.782", {"24", "33", "N", "81", "47", "W"}},
        // Left as typed: a whole number (as before), and what cannot be read
        // (checklatlon's messages say what is wrong on Apply).
        WrittenCase{"WholeNumber", "Text30", "24", {"24", "52", "S", "151", "13", "E"}},
        WrittenCase{"NegativeWholeNumber", "Text30", "-33", {"-33", "52", "S", "151", "13", "E"}},
        WrittenCase{"Letters", "Text30", "12a", {"12a", "52", "S", "151", "13", "E"}},
        WrittenCase{
            "LongitudeLetterInLatitude", "Text30", "24E", {"24E", "52", "S", "151", "13", "E"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Apply reads a decimal even when the box was not left (an access key).
TEST_F(FindingPlaces, ApplyReadsADecimalAndKeepsTheWholeNumberRules) {
    Form1& w = openSettings();
    w.Text30->setText(QStringLiteral("34.73"));
    w.Command2_Click();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(stored("latdeg"), QStringLiteral("34"));
    EXPECT_EQ(stored("latmin"), QStringLiteral("44"));
    EXPECT_EQ(stored("NorS"), QStringLiteral("N"));
    EXPECT_NEAR(w.state().latitude, 34 + 44 / 60.0, 1e-12);
    // A negative decimal is the southern hemisphere, with no message.
    w.Text30->setText(QStringLiteral("-33.5"));
    w.Command2_Click();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(stored("NorS"), QStringLiteral("S"));
    EXPECT_EQ(stored("latmin"), QStringLiteral("30"));
    // A negative whole number still gets the message about negative values.
    w.Text30->setText(QStringLiteral("-33"));
    w.Command2_Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral(" Negative Values - Use (N or S) or (W or E)"));
    EXPECT_EQ(w.Text30->text(), QStringLiteral("33"));
}

TEST_F(FindingPlaces, APastedPairFillsLatitudeAndLongitude) {
    Form1& w = openSettings();
    QGuiApplication::clipboard()->setText(QStringLiteral("24.555, -81.782"));
    w.Text20->setFocus();
    QTest::keyClick(w.Text20, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(coordinates(w), dm("24", "33", "N", "81", "47", "W"));
    // Written with symbols, into the hemisphere box (whose letters alone it would refuse).
    QGuiApplication::clipboard()->setText(QStringLiteral("33\u00b052\u2032S 151\u00b013\u2032E"));
    w.Text13->setFocus();
    QTest::keyClick(w.Text13, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(coordinates(w), dm("33", "52", "S", "151", "13", "E"));
    // One coordinate pasted fills its own axis.
    QGuiApplication::clipboard()->setText(QStringLiteral("-81.782"));
    w.Text15->setFocus();
    w.Text15->selectAll();
    QTest::keyClick(w.Text15, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(coordinates(w), dm("33", "52", "S", "81", "47", "W"));
    // A plain number pasted into a minutes box is its minutes.
    QGuiApplication::clipboard()->setText(QStringLiteral("12.5"));
    w.Text14->setFocus();
    w.Text14->selectAll();
    QTest::keyClick(w.Text14, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.Text14->text(), QStringLiteral("12.5"));
    EXPECT_EQ(w.Text15->text(), QStringLiteral("81"));
    EXPECT_TRUE(boxes.shown.empty());
}

// The box's own menu pastes the same way.
TEST_F(FindingPlaces, PasteFromTheContextMenuReadsTheCoordinates) {
    Form1& w = openSettings();
    QGuiApplication::clipboard()->setText(QStringLiteral("24\u00b033'N, 81\u00b047'W"));
    bool triggered = false;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QLatin1String("&Paste"))) {
                triggered = true;
                action->trigger();
            }
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            w.Text30->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w.Text30, &event);
    EXPECT_TRUE(triggered);
    EXPECT_EQ(coordinates(w), dm("24", "33", "N", "81", "47", "W"));
}

TEST_F(FindingPlaces, HemisphereBoxesTakeOnlyTheirLetters) {
    Form1& w = openSettings();
    w.Text40->setFocus();
    w.Text40->selectAll();
    QTest::keyClicks(w.Text40, QStringLiteral("n"));
    EXPECT_EQ(w.Text40->text(), QStringLiteral("N"));
    QTest::keyClicks(w.Text40, QStringLiteral("x7e"));
    EXPECT_EQ(w.Text40->text(), QStringLiteral("N"));
    QTest::keyClicks(w.Text40, QStringLiteral("s"));  // beside the N: takes its place
    EXPECT_EQ(w.Text40->text(), QStringLiteral("S"));
    w.Text13->setFocus();
    w.Text13->selectAll();
    QTest::keyClicks(w.Text13, QStringLiteral("nw"));
    EXPECT_EQ(w.Text13->text(), QStringLiteral("W"));
    QTest::keyClicks(w.Text13, QStringLiteral("e"));
    EXPECT_EQ(w.Text13->text(), QStringLiteral("E"));
}

// --- Title and keeping the place ------------------------------------------------------

TEST_F(FindingPlaces, TheTitleNamesTheCurrentPlace) {
    Form1& w = openSettings();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Moonbite - Sydney"));
    w.Combo3->setEditText(QStringLiteral("Home Bay"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Moonbite - Sydney"));  // not applied yet
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Moonbite - Home Bay"));
    // Cancel keeps the applied place's name.
    w.Combo3->setEditText(QStringLiteral("Elsewhere"));
    QTest::mouseClick(w.Command5, Qt::LeftButton);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Moonbite - Home Bay"));
    // The next activation applies the name box, and the title follows.
    w.Combo3->setEditText(QStringLiteral("Lake"));
    w.otherWindowClosed();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Moonbite - Lake"));
}

TEST_F(FindingPlaces, OkSavesANewPlaceButLeavesASavedOnesSection) {
    Form1& w = openSettings();
    ASSERT_EQ(savedCount(), QStringLiteral("<absent>"));
    w.Combo3->setEditText(QStringLiteral("Lake"));
    w.Text30->setText(QStringLiteral("45"));
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(savedCount(), QStringLiteral("1"));
    EXPECT_EQ(storedFor(QStringLiteral("Lake"), "latdeg"), QStringLiteral("45"));
    EXPECT_EQ(storedFor(QStringLiteral("Lake"), "NorS"), QStringLiteral("S"));
    EXPECT_EQ(w.Combo3->count(), 2);  // "New Location" and Lake

    // Applied again with other values: the current place changes, its own
    // section does not (Save does that).
    w.mnualarm->trigger();
    w.Combo3->setEditText(QStringLiteral("Lake"));
    w.Text30->setText(QStringLiteral("46"));
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    EXPECT_EQ(stored("latdeg"), QStringLiteral("46"));
    EXPECT_EQ(storedFor(QStringLiteral("Lake"), "latdeg"), QStringLiteral("45"));
    EXPECT_EQ(savedCount(), QStringLiteral("1"));

    // Apply keeps a new one too.
    w.mnualarm->trigger();
    w.Combo3->setEditText(QStringLiteral("River"));
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_EQ(savedCount(), QStringLiteral("2"));
    EXPECT_EQ(
        store->get(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("place(2)")),
        QStringLiteral("River"));

    // Not when the settings are refused.
    w.Combo3->setEditText(QStringLiteral("Too Far North"));
    w.Text30->setText(QStringLiteral("95"));
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(savedCount(), QStringLiteral("2"));
    EXPECT_EQ(storedFor(QStringLiteral("Too Far North"), "latdeg"), QStringLiteral("<absent>"));
}

}  // namespace
}  // namespace moonbite::testing
