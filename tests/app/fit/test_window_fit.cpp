// Every window on the screen it opens on, at the scale the desktop runs at:
// it opens wholly on the screen's free area, its smallest size fits there, and
// its text grows and shrinks with its controls. The same program runs on a
// 1366x768 and a 1920x1080 screen at the scales 1, 1.25, 1.5 and 2
// (MOONBITE_TEST_SCREEN and QT_SCALE_FACTOR, see CMakeLists.txt).
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <cmath>
#include <vector>

#include "about_box.h"
#include "calendar_print.h"
#include "help_viewer.h"
#include "journal_window.h"
#include "welcome_window.h"
#include "window_fit.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

// A design to fit, as the fitting works it out.
constexpr QSize kMainDesign(780, 600);
// The main window as designed (its central widget).
constexpr QSize kMainWindowDesign(1010, 636);
constexpr QSize kJournalDesign(620, 460);
// A maximised window on a 1920x1080 screen below a desktop panel.
constexpr QSize kMaximised(1920, 1048);

// The screen's free area, in points. At a scale such as 1.25 a point edge can
// fall inside a device pixel, and the platform rounds the window's device
// pixels to points either way, so a point is allowed at each edge.
QRect freeArea(const QWidget& w) {
    const QScreen* screen = w.screen() != nullptr ? w.screen() : QGuiApplication::primaryScreen();
    const QRect free = screen->availableGeometry();
    const double dpr = screen->devicePixelRatio();
    return dpr == std::floor(dpr) ? free : free.adjusted(-1, -1, 1, 1);
}

std::string describe(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

// Shown as the program shows it: wholly on the free area, frame included, and
// no larger at its smallest than that area.
void expectFitsTheScreen(QWidget& w) {
    w.show();
    QApplication::processEvents();
    const QRect free = freeArea(w);
    SCOPED_TRACE(w.objectName().toStdString() + " on " + describe(free) + " at scale " +
                 std::to_string(w.devicePixelRatioF()));
    EXPECT_TRUE(free.contains(w.frameGeometry())) << describe(w.frameGeometry());
    const QSize frame = w.frameGeometry().size() - w.size();
    QSize smallest = w.minimumSize();
    if (w.layout() != nullptr) smallest = smallest.expandedTo(w.layout()->totalMinimumSize());
    EXPECT_LE(smallest.width() + frame.width(), free.width()) << smallest.width();
    EXPECT_LE(smallest.height() + frame.height(), free.height()) << smallest.height();
}

// The named controls placed directly on a pane lie wholly inside it.
void expectControlsInside(QWidget& pane) {
    for (QWidget* c : pane.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c->objectName().isEmpty() || c->objectName().startsWith(QLatin1String("qt_")) ||
            !c->isVisibleTo(&pane) || c->isWindow())
            continue;
        EXPECT_TRUE(pane.rect().contains(c->geometry()))
            << c->objectName().toStdString() << " at " << describe(c->geometry()) << " in "
            << describe(pane.rect());
    }
}

// Sets a size and state as the window system does: QWidget::resize drops the
// maximised state, so it is set on the widget afterwards and the resize event
// sent again.
void sizeWindow(QWidget& w, QSize size, Qt::WindowStates state = Qt::WindowNoState) {
    const QSize old = w.size();
    w.resize(size);
    w.overrideWindowState(state);
    QApplication::processEvents();
    QResizeEvent event(size, old);
    QApplication::sendEvent(&w, &event);
    ASSERT_EQ(w.size(), size);
}

// The main window's whole size for a central widget of this size.
QSize mainWindowSize(Form1& w, QSize central) {
    return central + QSize(0, w.menuBar()->sizeHint().height());
}

// A text's height against the height of its control, for the controls whose text
// is one line (or fixed lines) kept inside them.
struct TextShare {
    QWidget* control;
    double share;  ///< text height / room for it
    bool mustFit;  ///< a box or button: its text may never stand out of it
};

std::vector<TextShare> textShares(QWidget& window) {
    std::vector<TextShare> shares;
    for (QWidget* c : window.findChildren<QWidget*>()) {
        const QString name = c->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || c->height() <= 0) continue;
        const QFontMetrics fm(c->font());
        int lines = 1;
        bool mustFit = true;
        if (auto* label = qobject_cast<QLabel*>(c)) {
            if (label->text().isEmpty() || label->wordWrap()) continue;
            lines = static_cast<int>(label->text().count(QLatin1Char('\n'))) + 1;
            mustFit = false;
        } else if (auto* button = qobject_cast<QPushButton*>(c)) {
            if (button->text().isEmpty()) continue;
        } else if (qobject_cast<QLineEdit*>(c) == nullptr && qobject_cast<QComboBox*>(c) == nullptr) {
            continue;
        }
        const QMargins m = c->contentsMargins();
        const int room = std::max(1, c->height() - m.top() - m.bottom());
        shares.push_back({c, static_cast<double>(lines * fm.height()) / room, mustFit});
    }
    return shares;
}

// At every size the text keeps the share of its control's height it has at the
// design size (neither lost in a grown box nor squeezed in a shrunk one), and a
// box's text never stands out of it.
void expectTextFollowsItsControls(QWidget& window, QSize design,
                                  const std::vector<QSize>& sizes) {
    sizeWindow(window, design);
    const std::vector<TextShare> atDesign = textShares(window);
    ASSERT_GT(atDesign.size(), 20U);
    for (const QSize& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        ASSERT_NO_FATAL_FAILURE(sizeWindow(window, size, size == kMaximised
                                                             ? Qt::WindowMaximized
                                                             : Qt::WindowNoState));
        const std::vector<TextShare> now = textShares(window);
        ASSERT_EQ(now.size(), atDesign.size());
        for (std::size_t i = 0; i < now.size(); ++i) {
            const TextShare& was = atDesign[i];
            const TextShare& is = now[i];
            SCOPED_TRACE(is.control->objectName().toStdString() + " " +
                         describe(is.control->geometry()) + ", font " +
                         std::to_string(is.control->font().pointSizeF()));
            EXPECT_GT(is.share, was.share * 0.7);
            EXPECT_LT(is.share, was.share * 1.35);
            if (is.mustFit) {
                EXPECT_LE(QFontMetrics(is.control->font()).height(), is.control->height());
            }
        }
    }
}

// --- The fitted size --------------------------------------------------------------

TEST(FitWindow, TheSmallestScaleKeepsTextAtItsDesignSizeInDevicePixels) {
    EXPECT_DOUBLE_EQ(smallestScale(1.0), 1.0);
    EXPECT_DOUBLE_EQ(smallestScale(1.25), 0.8);
    EXPECT_DOUBLE_EQ(smallestScale(1.5), 1 / 1.5);
    EXPECT_DOUBLE_EQ(smallestScale(2.0), 0.5);
    // Beyond that, text would be too small to read however sharp the screen.
    EXPECT_DOUBLE_EQ(smallestScale(3.0), kSmallestScaleFloor);
    // A screen that magnifies less than 1 never grows the design.
    EXPECT_DOUBLE_EQ(smallestScale(0.75), 1.0);
}

TEST(FitWindow, OpensAtTheDesignWhenItFits) {
    const WindowFit fit = fitWindow(kMainDesign, {0, 22}, {1920, 1040}, 1.0);
    EXPECT_EQ(fit.size, QSize(780, 622));
    EXPECT_EQ(fit.minimum, QSize(780, 622));
    const WindowFit scaled = fitWindow(kMainDesign, {0, 22}, {1536, 830}, 1.25);
    EXPECT_EQ(scaled.size, QSize(780, 622));
    EXPECT_EQ(scaled.minimum, QSize(624, 502));
}

// 1366x768 at 1.25 leaves 1092x614 points, less a title bar.
TEST(FitWindow, ShrinksInProportionWhenTheDesignDoesNotFit) {
    const QSize room(1088, 589);
    const WindowFit fit = fitWindow(kMainDesign, {0, 22}, room, 1.25);
    EXPECT_LE(fit.size.width(), room.width());
    EXPECT_EQ(fit.size.height(), room.height());
    EXPECT_NEAR(fit.size.width() / 780.0, (fit.size.height() - 22) / 600.0, 0.01);
    EXPECT_EQ(fit.minimum, QSize(624, 502));
}

TEST(FitWindow, NeverAsksForMoreThanTheScreenHas) {
    const QSize room(500, 340);
    for (const double dpr : {1.0, 1.25, 2.0}) {
        SCOPED_TRACE(dpr);
        const WindowFit fit = fitWindow(kMainDesign, {0, 22}, room, dpr);
        EXPECT_LE(fit.minimum.width(), room.width());
        EXPECT_LE(fit.minimum.height(), room.height());
        EXPECT_LE(fit.size.width(), room.width());
        EXPECT_LE(fit.size.height(), room.height());
        EXPECT_GE(fit.size.width(), fit.minimum.width());
    }
}

// --- Every window on this screen ----------------------------------------------------

TEST_F(WindowTest, MainWindowFitsTheScreenNormalAndMaximised) {
    storeSydney();
    Form1& w = open();
    expectFitsTheScreen(w);
    expectControlsInside(*w.centralWidget());
    w.showMaximized();
    QApplication::processEvents();
    EXPECT_TRUE(freeArea(w).contains(w.frameGeometry())) << describe(w.frameGeometry());
    // Journal and Exit at the bottom right are the first to be cut off.
    const QRect central = w.centralWidget()->rect();
    EXPECT_TRUE(central.contains(w.Command1->geometry())) << describe(w.Command1->geometry());
    EXPECT_TRUE(central.contains(w.Command3->geometry())) << describe(w.Command3->geometry());
    expectControlsInside(*w.centralWidget());
}

TEST_F(WindowTest, SettingsFrameFitsTheScreen) {
    Form1& w = open();  // a new user: the settings open
    ASSERT_TRUE(w.Frame9->isVisible());
    expectFitsTheScreen(w);
    const QRect frame(w.Frame9->mapTo(w.centralWidget(), QPoint(0, 0)), w.Frame9->size());
    EXPECT_TRUE(w.centralWidget()->rect().contains(frame)) << describe(frame);
    expectControlsInside(*w.Frame9);
}

TEST_F(WindowTest, JournalFitsTheScreen) {
    storeSydney();
    Form1& w = open();
    JournalServices services;
    services.state = &w.state();
    services.boxes = &boxes;
    services.folder = folder.filePath(QStringLiteral("journal"));
    services.today = [this] { return today; };
    services.openHelp = [](int) {};
    Form3 journal(services, &w);
    expectFitsTheScreen(journal);
    expectControlsInside(journal);
}

TEST_F(WindowTest, PrintCalendarFitsTheScreen) {
    storeSydney();
    Form1& w = open();
    PrintServices services;
    services.store = store.get();
    services.boxes = &boxes;
    services.state = &w.state();
    services.today = [this] { return today; };
    Form4 print(services, &w);
    print.Form_Load();
    expectFitsTheScreen(print);
}

TEST(SmallWindows, WelcomeFitsTheScreen) {
    Form2 welcome([] {});
    expectFitsTheScreen(welcome);
    // Its text is laid out whole at the size it opens at.
    EXPECT_GE(welcome.height(), welcome.layout()->minimumSize().height());
}

TEST(SmallWindows, AboutBoxFitsTheScreen) {
    frmAbout about;
    expectFitsTheScreen(about);
}

TEST(SmallWindows, HelpFitsTheScreen) {
    HelpViewer help;
    help.showTopic(kHelpContents);
    expectFitsTheScreen(help);
}

// --- Text follows the controls -------------------------------------------------------

TEST_F(WindowTest, FontsGrowWithTheWindowAndReturnToTheDesign) {
    storeSydney();
    Form1& w = open();
    const QSize design = mainWindowSize(w, kMainWindowDesign);
    ASSERT_NO_FATAL_FAILURE(sizeWindow(w, design));
    const double box = w.Text2->font().pointSizeF();
    const double heading = w.Label10->font().pointSizeF();
    EXPECT_DOUBLE_EQ(box, QApplication::font().pointSizeF());

    // Half as large again: the font of a box, a caption and a heading with it.
    ASSERT_NO_FATAL_FAILURE(sizeWindow(w, mainWindowSize(w, kMainWindowDesign * 1.5)));
    // The menu bar keeps its height: the controls scale with the central widget.
    const QSize central = w.centralWidget()->size();
    const double ratio = std::min(central.width() / 1010.0, central.height() / 636.0);
    EXPECT_NEAR(w.Text2->font().pointSizeF(), box * ratio, 0.05);
    EXPECT_NEAR(w.Label10->font().pointSizeF(), heading * ratio, 0.05);
    EXPECT_GT(w.Command1->font().pointSizeF(), box * 1.3);

    // Maximised on a wide screen: the smaller of the two ratios, so text is never
    // wider than its box.
    ASSERT_NO_FATAL_FAILURE(sizeWindow(w, kMaximised, Qt::WindowMaximized));
    const double tall = w.centralWidget()->height() / 636.0;
    EXPECT_NEAR(w.Text2->font().pointSizeF(), box * tall, 0.05);

    // Restored, many times over: exactly the design fonts again, nothing rounded away.
    for (int i = 0; i < 5; ++i) {
        ASSERT_NO_FATAL_FAILURE(sizeWindow(w, mainWindowSize(w, kMainWindowDesign * (1.1 + i * 0.07))));
        ASSERT_NO_FATAL_FAILURE(sizeWindow(w, design));
    }
    EXPECT_DOUBLE_EQ(w.Text2->font().pointSizeF(), box);
    EXPECT_DOUBLE_EQ(w.Label10->font().pointSizeF(), heading);
}

TEST_F(WindowTest, FontsShrinkToTheSmallestSizeWithTheWindow) {
    storeSydney();
    Form1& w = open();
    const QSize smallest = w.minimumSize();
    const double least = smallestScale(w.devicePixelRatioF());
    EXPECT_LE(smallest.width(), static_cast<int>(std::ceil(1010 * std::max(least, 0.5))) + 1);
    ASSERT_NO_FATAL_FAILURE(sizeWindow(w, smallest));
    const double ratio = std::min(w.centralWidget()->width() / 1010.0,
                                  w.centralWidget()->height() / 636.0);
    EXPECT_NEAR(w.Text2->font().pointSizeF(), QApplication::font().pointSizeF() * ratio, 0.05);
}

TEST_F(WindowTest, MainWindowTextStaysInItsControlsAtEverySize) {
    storeSydney();
    Form1& w = open();
    const QSize design = mainWindowSize(w, kMainWindowDesign);
    expectTextFollowsItsControls(w, design,
                                 {w.minimumSize(), mainWindowSize(w, kMainWindowDesign * 1.5),
                                  mainWindowSize(w, QSize(1400, 640)), kMaximised, design});
}

class JournalFit : public WindowTest {
  protected:
    std::unique_ptr<Form3> openJournal() {
        JournalServices services;
        services.state = &state;
        services.boxes = &boxes;
        services.folder = folder.filePath(QStringLiteral("journal"));
        services.today = [this] { return today; };
        services.openHelp = [](int) {};
        auto journal = std::make_unique<Form3>(services);
        journal->show();
        QApplication::processEvents();
        return journal;
    }
    SolunarState state;
};

TEST_F(JournalFit, TextStaysInItsControlsAtEverySize) {
    auto journal = openJournal();
    expectTextFollowsItsControls(*journal, kJournalDesign,
                                 {journal->minimumSize(), kJournalDesign * 1.5, kMaximised,
                                  kJournalDesign});
}

// Maximised, each caption stays level with its box: the boxes keep a height
// their font needs while the captions grow with the window.
TEST_F(JournalFit, CaptionsStayBesideTheirBoxesMaximised) {
    auto journal = openJournal();
    ASSERT_NO_FATAL_FAILURE(sizeWindow(*journal, kMaximised, Qt::WindowMaximized));
    const std::pair<const char*, QWidget*> pairs[] = {
        {"Label2", journal->Text8},   {"Label4", journal->Text4},   {"Label5", journal->Combo1},
        {"Label6", journal->Combo2},  {"Label7", journal->Text3},   {"Label8", journal->Text6},
        {"Label9", journal->Text5},   {"Label10", journal->Text7},  {"Label11", journal->Combo3},
        {"Label12", journal->Text11}, {"Label16", journal->Text12},
    };
    for (const auto& [name, box] : pairs) {
        SCOPED_TRACE(name);
        const auto* caption = journal->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(caption, nullptr);
        const QRect c(caption->mapTo(journal.get(), QPoint(0, 0)), caption->size());
        const QRect b(box->mapTo(journal.get(), QPoint(0, 0)), box->size());
        EXPECT_LE(c.right(), b.left());
        // The caption's text, below its top margin, is level with the box.
        const int textMiddle =
            c.top() + caption->contentsMargins().top() + QFontMetrics(caption->font()).height() / 2;
        EXPECT_GE(textMiddle, b.top()) << describe(c) << " by " << describe(b);
        EXPECT_LE(textMiddle, b.bottom()) << describe(c) << " by " << describe(b);
        EXPECT_GE(c.center().y(), b.top()) << describe(c) << " by " << describe(b);
        EXPECT_LE(c.center().y(), b.bottom()) << describe(c) << " by " << describe(b);
    }
}

// --- Help ---------------------------------------------------------------------------

TEST(SmallWindows, HelpKeepsAReadableLineLengthWhenMaximised) {
    HelpViewer help;
    help.showTopic(kHelpContents);
    help.show();
    QApplication::processEvents();
    auto* browser = help.findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    ASSERT_NE(browser, nullptr);
    const int em = QFontInfo(browser->font()).pixelSize();
    const int margins = 2 * static_cast<int>(browser->document()->documentMargin());

    ASSERT_NO_FATAL_FAILURE(sizeWindow(help, kMaximised, Qt::WindowMaximized));
    const QWidget* page = browser->viewport();
    EXPECT_GT(browser->width(), 60 * em);
    EXPECT_LE(page->width() - margins, 45 * em);
    EXPECT_GE(page->width() - margins, 38 * em);
    // In the middle of the browser, give or take its scroll bar.
    const int middle = page->mapTo(browser, page->rect().center()).x();
    EXPECT_NEAR(middle, browser->rect().center().x(), browser->verticalScrollBar()->width() + 2);

    // At the size it opens at the page uses the whole browser again.
    ASSERT_NO_FATAL_FAILURE(sizeWindow(help, QSize(720, 560)));
    EXPECT_GE(page->width(), browser->width() - 2 * browser->frameWidth() -
                                 browser->verticalScrollBar()->width() - 1);
}

}  // namespace
}  // namespace moonbite::testing
