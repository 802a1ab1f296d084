// The main window and its secondary windows driven from the keyboard alone:
// Tab order, access keys and the standard shortcuts.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <map>

#include "about_box.h"
#include "calendar_print.h"
#include "chart_widget.h"
#include "journal_window.h"
#include "updown.h"
#include "welcome_window.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

std::string joined(const QStringList& names) {
    return names.join(QLatin1Char(' ')).toStdString();
}

QString nameOf(const QWidget* w) {
    return w == nullptr ? QStringLiteral("(none)") : w->objectName();
}

bool tabStop(const QWidget* w, const QWidget* window) {
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisibleTo(window) &&
           w->isEnabled() && w->focusProxy() == nullptr;
}

/// Tabs from the focused control until the first one comes round again.
QStringList tabWalk(QWidget* window, QWidget* first) {
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    first->setFocus(Qt::TabFocusReason);
    QStringList walk;
    QWidget* start = QApplication::focusWidget();
    EXPECT_EQ(start, first);
    QWidget* now = start;
    for (int i = 0; i < 200 && now != nullptr; ++i) {
        walk << nameOf(now);
        // No arrow of a spinner, and no spinner, takes a Tab stop.
        EXPECT_EQ(qobject_cast<QToolButton*>(now), nullptr) << nameOf(now).toStdString();
        EXPECT_EQ(qobject_cast<UpDown*>(now), nullptr) << nameOf(now).toStdString();
        QTest::keyClick(now, Qt::Key_Tab);
        now = QApplication::focusWidget();
        if (now == start) return walk;
    }
    ADD_FAILURE() << "Tab never came back to " << nameOf(start).toStdString() << ": "
                  << walk.join(QLatin1Char(' ')).toStdString();
    return walk;
}

/// Every control a Tab can stop at, by name.
QStringList tabStops(QWidget* window) {
    QStringList names;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (tabStop(w, window)) names << nameOf(w);
    names.sort();
    return names;
}

/// The expected order, less the controls that cannot take a Tab stop now.
QStringList expectedWalk(QWidget* window, const QStringList& order) {
    QStringList names;
    for (const QString& name : order) {
        auto* w = window->findChild<QWidget*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        if (w != nullptr && tabStop(w, window)) names << name;
    }
    return names;
}

/// The access key of a caption, or "" when it has none.
QString accessKey(const QString& text) {
    return QKeySequence::mnemonic(text).toString();
}

/// Access keys used more than once in one set of captions.
void expectUnique(const std::vector<QString>& captions, const std::string& where) {
    std::map<QString, QStringList> byKey;
    for (const QString& text : captions) {
        const QString key = accessKey(text);
        if (!key.isEmpty()) byKey[key] << text;
    }
    for (const auto& [key, texts] : byKey) {
        EXPECT_EQ(texts.size(), 1) << where << ": " << key.toStdString() << " is "
                                   << texts.join(QStringLiteral(", ")).toStdString();
    }
}

/// The captions of a window (its menu bar's titles included), then each of
/// its menus on its own: keys need only be unique within one level.
void expectUniqueAccessKeys(QWidget* window, int minimumKeys) {
    std::vector<QString> captions;
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->buddy() != nullptr) captions.push_back(l->text());
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        captions.push_back(b->text());
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
        captions.push_back(g->title());
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        for (QAction* a : main->menuBar()->actions())
            captions.push_back(a->text());
        for (QMenu* menu : main->menuBar()->findChildren<QMenu*>()) {
            std::vector<QString> items;
            for (QAction* a : menu->actions())
                items.push_back(a->text());
            expectUnique(items, (nameOf(window) + QLatin1Char('/') + menu->title()).toStdString());
        }
    }
    int keys = 0;
    for (const QString& c : captions)
        keys += accessKey(c).isEmpty() ? 0 : 1;
    // The collection found the window's captions at all.
    EXPECT_GE(keys, minimumKeys) << nameOf(window).toStdString();
    expectUnique(captions, nameOf(window).toStdString());
}

// Reading order: the date row, the day's values (Sun, Moon, the periods),
// the tide station, graph days, the chart (hidden while the frame is open), the settings frame
// top to bottom, then Journal and Exit.
const QStringList kMainOrder{
    "Combo1", "Text1",    "Text10",        "Command7", "Text2",    "Text32",   "Text6",
    "Text21", "Text39",   "Text9",         "Text4",    "Text5",    "Text7",    "Text8",
    "CommandTideStation", "Text11", "MSChart1", "TextFindPlace", "Combo3",   "Command8", "Command9", "Text30",
    "Text20", "Text40",   "Text15",        "Text14",   "Text13",   "Text17",   "Combo4",
    "Text16", "Check3",   "Option1",       "Option2",  "Combo2",   "Text12",   "Check1",
    "Check2", "Command2", "Command4",      "Command5", "Command6", "Command1", "Command3"};

TEST_F(WindowTest, TabWalksTheMainWindowInReadingOrder) {
    storeSydney();
    today = QDate(2000, 1, 20);  // Today shows: the displayed date is not today
    Form1& w = open();
    w.UpDown1->clickUp();
    w.mnualarm->trigger();
    w.Option1->click();  // the alarm's boxes take part
    ASSERT_TRUE(w.Frame9->isVisible());
    ASSERT_TRUE(w.Command7->isVisible());
    const QStringList walk = tabWalk(&w, w.Combo1);
    EXPECT_EQ(joined(walk), joined(expectedWalk(&w, kMainOrder)));
    QStringList reached = walk;
    reached.sort();
    EXPECT_EQ(joined(reached), joined(tabStops(&w)));
    // The frame's controls themselves are reached, not skipped.
    // A radio group is one stop, at its checked button; arrows move inside it.
    for (const char* name : {"Command7", "Text30", "Option1", "Text12", "Command2", "Command6"})
        EXPECT_TRUE(walk.contains(QLatin1String(name))) << name;
    EXPECT_FALSE(walk.contains(QStringLiteral("Option2")));
}

// From a spinner the mouse focused, Tab goes on to the box after its own.
TEST_F(WindowTest, TabFromAClickedSpinnerGoesToTheNextBox) {
    storeSydney();
    today = QDate(2000, 1, 20);
    Form1& w = open();
    w.UpDown1->clickUp();
    w.mnualarm->trigger();
    w.Option1->click();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const std::pair<UpDown*, QWidget*> steps[] = {{w.UpDown1, w.Text10},  {w.UpDown2, w.Command7},
                                                  {w.UpDown9, w.Text20},  {w.UpDown6, w.Text40},
                                                  {w.UpDown10, w.Text15}, {w.UpDown7, w.Text14},
                                                  {w.UpDown8, w.Text13},  {w.UpDown5, w.Text17},
                                                  {w.UpDown11, w.Combo4}, {w.UpDown4, w.Check1}};
    for (const auto& [spinner, next] : steps) {
        spinner->setFocus(Qt::MouseFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), spinner);
        QTest::keyClick(spinner, Qt::Key_Tab);
        EXPECT_EQ(nameOf(QApplication::focusWidget()).toStdString(), nameOf(next).toStdString())
            << "after " << nameOf(spinner).toStdString();
    }
}

TEST_F(WindowTest, TabWalksTheDateRowWithTheFrameClosed) {
    storeSydney();
    Form1& w = open();
    ASSERT_FALSE(w.Frame9->isVisible());
    const QStringList walk = tabWalk(&w, w.Combo1);
    EXPECT_EQ(joined(walk), joined(expectedWalk(&w, kMainOrder)));
    EXPECT_EQ(walk.mid(0, 3), (QStringList{"Combo1", "Text1", "Text10"}));
    EXPECT_TRUE(walk.contains(QStringLiteral("MSChart1")));
}

TEST_F(WindowTest, TabWalksTheJournalAndThePrintWindowOnce) {
    storeSydney();
    Form1& w = open();
    const JournalServices js = journalServices(w);
    Form3 journal(js);
    journal.show();
    // A valid trip date: leaving a wrong one sends the focus back to it.
    for (const auto& [name, text] :
         {std::pair{"Text1", "21"}, std::pair{"Text13", "1"}, std::pair{"Text14", "2000"}}) {
        auto* box = journal.findChild<QLineEdit*>(QLatin1String(name));
        ASSERT_NE(box, nullptr);
        box->setText(QLatin1String(text));
    }
    QWidget* first = journal.findChild<QWidget*>(QStringLiteral("Text13"));
    ASSERT_NE(first, nullptr);
    QStringList walk = tabWalk(&journal, first);
    EXPECT_TRUE(walk.contains(QStringLiteral("Text12"))) << "the Moon's age is read on Tab";
    walk.sort();
    EXPECT_EQ(joined(walk), joined(tabStops(&journal)));
    EXPECT_TRUE(boxes.shown.empty());
    journal.close();

    PrintServices ps = printServices(w);
    // A place with tides, so that "Tides" takes its stop too.
    ps.tidesOf = [](const SolunarState&, Date) { return tides::DayTides{}; };
    Form4 print(ps);
    print.Form_Load();
    print.show();
    QStringList printWalk = tabWalk(&print, print.Combo1);
    // In reading order: the month, the options top to bottom, the buttons
    // from the left.
    EXPECT_EQ(joined(printWalk),
              joined({"Combo1", "Text1", "Check4", "Check5", "Check1", "Check2", "Check3",
                      "Check6", "CommandSaveIcs", "Command1", "Command2"}));
    printWalk.sort();
    EXPECT_EQ(joined(printWalk), joined(tabStops(&print)));
}

TEST_F(WindowTest, AccessKeysAreUniqueInEveryWindow) {
    storeSydney();
    Form1& w = open();
    w.mnualarm->trigger();
    expectUniqueAccessKeys(&w, 20);
    // The captions that had none now have one.
    for (QWidget* c : {static_cast<QWidget*>(w.Command8), static_cast<QWidget*>(w.Command9)})
        EXPECT_FALSE(accessKey(static_cast<QAbstractButton*>(c)->text()).isEmpty());
    for (const char* group : {"Frame11", "Frame12"}) {
        auto* g = w.findChild<QGroupBox*>(QLatin1String(group));
        ASSERT_NE(g, nullptr);
        EXPECT_FALSE(accessKey(g->title()).isEmpty()) << group;
    }

    const JournalServices js = journalServices(w);
    Form3 journal(js);
    expectUniqueAccessKeys(&journal, 4);

    PrintServices ps = printServices(w);
    Form4 print(ps);
    expectUniqueAccessKeys(&print, 8);

    Form2 welcome([] {});
    expectUniqueAccessKeys(&welcome, 2);
    frmAbout about;
    expectUniqueAccessKeys(&about, 0);
}

TEST_F(WindowTest, LatitudeTypedAcrossTabGoesIntoBothBoxes) {
    storeSydney();
    Form1& w = open();
    w.mnualarm->trigger();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Text30->setFocus(Qt::TabFocusReason);  // selects its text, as Tab into it does
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("24"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.Text20);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("33"));
    EXPECT_EQ(w.Text30->text(), QStringLiteral("24"));
    EXPECT_EQ(w.Text20->text(), QStringLiteral("33"));
}

TEST_F(WindowTest, ShortcutsStepTheDayGoToTodayAndCloseTheFrame) {
    storeSydney();
    Form1& w = open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Command1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(shownDate(w), today.addDays(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(shownDate(w), today.addDays(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    EXPECT_EQ(shownDate(w), today.addDays(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(shownDate(w), today);
    EXPECT_FALSE(w.Command7->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(shownDate(w), today.addDays(-1));

    w.mnualarm->trigger();
    ASSERT_TRUE(w.Frame9->isVisible());
    w.Check1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(w.Frame9->isVisible());
    EXPECT_TRUE(w.MSChart1->isVisible());
    EXPECT_TRUE(w.mnualarm->isEnabled());

    // F1 is the help at what the window shows: the contents, or the
    // settings' page while the frame is open; the Help Topics item stays the
    // contents whichever is shown.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    w.mnualarm->trigger();
    w.Text30->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    w.mnuhelptopics->trigger();
    EXPECT_EQ(helpTopics, (std::vector<int>{11, 10, 11}));
    EXPECT_TRUE(w.mnuhelptopics->text().endsWith(QStringLiteral("\tF1")))
        << "the menu shows the key";
    EXPECT_EQ(QKeySequence::mnemonic(w.mnuhelptopics->text()), QKeySequence(Qt::ALT | Qt::Key_H));
    EXPECT_EQ(w.mnuprintcal->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
}

TEST_F(WindowTest, CtrlQQuitsAsExitDoes) {
    storeSydney();
    Form1& w = open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(WindowTest, CtrlWAndEscapeCloseTheSecondaryWindows) {
    storeSydney();
    Form1& w = open();
    PrintServices ps = printServices(w);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}) {
        const JournalServices js = journalServices(w);
        Form3 journal(js);
        Form4 print(ps);
        frmAbout about;
        for (QDialog* d : {static_cast<QDialog*>(&journal), static_cast<QDialog*>(&print),
                           static_cast<QDialog*>(&about)}) {
            d->show();
            d->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(d));
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : d;
            QTest::keySequence(target, key);
            EXPECT_FALSE(d->isVisible())
                << nameOf(d).toStdString() << " " << key.toString().toStdString();
        }
    }
}

}  // namespace
}  // namespace moonbite::testing
