// What a desktop program is expected to do beyond its own work: menus with
// their keys, the window's place kept between runs, the tray companion
// started as its options are turned on, and a day asked for from outside.
#include <QActionGroup>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include "chart_widget.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

QMenu* menuNamed(Form1& w, const char* name) {
    return w.menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
}

/// The item of a menu with that object name, null when the menu lacks it.
QAction* itemOf(QMenu* menu, const char* name) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

TEST_F(WindowTest, ChartTypesAreOneRadioGroup) {
    storeSydney();
    Form1& w = open();
    QActionGroup* group = w.mnuChart[0]->actionGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->isExclusive()) << "drawn as radio items";
    for (QAction* a : w.mnuChart)
        EXPECT_EQ(a->actionGroup(), group);
    w.mnuChart[7]->trigger();
    EXPECT_EQ(w.MSChart1->chartType(), 7);
    int checked = 0;
    for (QAction* a : w.mnuChart)
        checked += a->isChecked() ? 1 : 0;
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(w.mnuChart[7]->isChecked());
    // Choosing the checked one again keeps it.
    w.mnuChart[7]->trigger();
    EXPECT_TRUE(w.mnuChart[7]->isChecked());
    Form1& again = reopen();
    EXPECT_TRUE(again.mnuChart[7]->isChecked());
    EXPECT_EQ(again.MSChart1->chartType(), 7);
}

// The program's menu comes first and holds the commands with their keys,
// Print Calendar and Quit among them.
TEST_F(WindowTest, TheMoonbiteMenuHoldsTheCommandsWithTheirKeys) {
    storeSydney();
    today = QDate(2000, 1, 20);
    Form1& w = open();
    ASSERT_FALSE(w.menuBar()->actions().isEmpty());
    EXPECT_EQ(w.menuBar()->actions().first()->menu(), w.mnuMoonbite);
    QMenu* menu = menuNamed(w, "mnuMoonbite");
    ASSERT_EQ(menu, w.mnuMoonbite);
    struct Item {
        const char* name;
        QKeySequence key;
    };
    const Item items[] = {{"actionToday", QKeySequence(Qt::Key_Home)},
                          {"actionPreviousDay", QKeySequence(Qt::ALT | Qt::Key_Left)},
                          {"actionNextDay", QKeySequence(Qt::ALT | Qt::Key_Right)},
                          {"actionJournal", QKeySequence(Qt::CTRL | Qt::Key_J)},
                          {"mnuprintcal", QKeySequence(Qt::CTRL | Qt::Key_P)},
                          {"actionQuit", QKeySequence(Qt::CTRL | Qt::Key_Q)}};
    for (const Item& item : items) {
        QAction* a = itemOf(menu, item.name);
        ASSERT_NE(a, nullptr) << item.name << " is not in the menu";
        EXPECT_EQ(a->shortcut(), item.key) << item.name;
        EXPECT_FALSE(a->text().isEmpty());
    }
    EXPECT_EQ(w.mnuprintcal->text(), QStringLiteral("&Print Calendar"));
    // Print Calendar is no longer a bare item on the bar.
    for (QAction* a : w.menuBar()->actions())
        EXPECT_NE(a, w.mnuprintcal);
    // The items work: the next day, then Quit closes the window.
    itemOf(menu, "actionNextDay")->trigger();
    EXPECT_EQ(shownDate(w), QDate(2000, 1, 21));
    itemOf(menu, "actionQuit")->trigger();
    EXPECT_FALSE(w.isVisible());
}

// The window opens where and as large as it was left, also when it was left
// maximised (it then restores to that place).
TEST_F(WindowTest, TheWindowKeepsItsPlaceAndSize) {
    storeSydney();
    Form1& w = open();
    const QRect free = w.screen()->availableGeometry();
    const QRect wanted(free.left() + 12, free.top() + 8, std::min(free.width() - 20, w.width() + 6),
                       std::min(free.height() - 20, w.height() + 4));
    w.setGeometry(wanted);
    QApplication::processEvents();
    const QRect left = w.geometry();
    Form1& again = reopen();
    EXPECT_EQ(again.geometry(), left);

    again.showMaximized();
    QApplication::processEvents();
    Form1& third = reopen();
    EXPECT_TRUE(third.isMaximized());
    EXPECT_EQ(third.normalGeometry(), left);
}

// A place saved on a screen that is gone, or damaged text, never puts the
// window off the desktop.
TEST_F(WindowTest, ASavedPlaceOffTheScreenOrDamagedIsNotUsedBlindly) {
    storeSydney();
    const QString title = kTitleApp;
    for (const char* text : {"5000,4000,800,640", "-9000,-9000,800,640", "10,10,90000,90000",
                             "abc", "1,2,3", "10,20,0,0", "1,2,3,4,5"}) {
        store->save(title, QStringLiteral("Settings"), QStringLiteral("wingeometry"),
                    QString::fromLatin1(text));
        Form1& w = open();
        const QRect free = w.screen()->availableGeometry();
        const QRect g = w.geometry();
        EXPECT_TRUE(free.contains(g.topLeft())) << text;
        EXPECT_GT(g.width(), 100) << text;
        EXPECT_GT(g.height(), 100) << text;
        window.reset();
    }
}

// Turning the alarm or an icon on starts the companion at once; applying
// again with nothing newly turned on does not start another.
TEST_F(WindowTest, TurningAnOptionOnStartsTheCompanion) {
    storeSydney();
    const QString state = kStateApp;
    for (const char* key : {"showmoon", "showfish"})
        store->save(state, QStringLiteral("Settings"), QString::fromLatin1(key),
                    QStringLiteral("0"));
    int started = 0;
    window = std::make_unique<Form1>([&] {
        MainWindowServices sv = services();
        sv.startCompanion = [&started] { ++started; };
        return sv;
    }());
    Form1& w = *window;
    w.Form_Load();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(started, 0) << "nothing is on";

    // Ok in the settings frame after a change made there.
    auto ok = [&w](QAbstractButton* change) {
        w.mnualarm->trigger();
        if (change != nullptr) change->click();
        w.Command4->click();
    };
    ok(nullptr);  // nothing changed
    EXPECT_EQ(started, 0);
    ok(w.Check2);  // the fish icon on
    EXPECT_EQ(started, 1);
    ok(nullptr);  // applied again: it runs already
    EXPECT_EQ(started, 1);
    ok(w.Option1);  // the alarm on too
    EXPECT_EQ(started, 2);
    EXPECT_EQ(stored("runalarm"), QStringLiteral("True"));

    // Everything off: nothing is started (the companion leaves by itself).
    w.mnualarm->trigger();
    w.Option2->click();
    ok(w.Check2);
    EXPECT_EQ(started, 2);
    EXPECT_EQ(stored("showfish"), QStringLiteral("0"));
    EXPECT_FALSE(w.Frame8->toolTip().contains(QStringLiteral("restarted")))
        << "the tip must say what happens now";
}

// A day asked for from outside (the tray, `moonbite --date`) is shown as if
// typed; days outside the window's years are ignored.
TEST_F(WindowTest, ShowDateShowsTheDayAskedFor) {
    storeSydney();
    Form1& w = open();
    w.showDate(QDate(2000, 2, 6));
    EXPECT_EQ(shownDate(w), QDate(2000, 2, 6));
    EXPECT_TRUE(w.Command7->isVisible()) << "not today, so Today is offered";
    // Sunday 6 February 2000 at Sydney is an Excellent day (the tray's test).
    EXPECT_TRUE(w.Image5->toolTip().endsWith(QStringLiteral("Excellent")))
        << w.Image5->toolTip().toStdString();
    for (const QDate& bad : {QDate(1900, 12, 31), QDate(2201, 1, 1), QDate()}) {
        w.showDate(bad);
        EXPECT_EQ(shownDate(w), QDate(2000, 2, 6));
    }
    w.showDate(today);
    EXPECT_FALSE(w.Command7->isVisible());
}

}  // namespace
}  // namespace moonbite::testing
