// Every text in every window reads at 4.5:1 or better on the desktop's light
// palette and on a dark one, each set while the windows are open, as when the
// user switches the desktop's theme.
#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QStyleFactory>
#include <QTextBrowser>
#include <QTextFrame>
#include <QUrl>
#include <memory>

#include "about_box.h"
#include "calendar_print.h"
#include "chart_widget.h"
#include "gauge_line.h"
#include "help_viewer.h"
#include "journal_window.h"
#include "welcome_window.h"
#include "window_fixture.h"
#include "window_walk.h"

namespace moonbite::testing {
namespace {

struct Theme {
    const char* name;
    QPalette (*palette)();
    QPalette (*before)();  // the palette the windows open with
};

class WindowColours : public WindowTest, public ::testing::WithParamInterface<Theme> {};

// Every window and the help, open on one palette, then switched to the theme's.
TEST_P(WindowColours, EveryTextReadsOnItsBackground) {
    PaletteScope scope(GetParam().before());
    storeSydney();
    Form1& w = open();
    // Shown on the days that have them: their colours are set all the same.
    w.Label19->setText(QStringLiteral("Vernal Equinox"));
    w.LabelClockChange->setText(QStringLiteral("Clocks go forward"));
    w.LabelChoosePlace->setText(QStringLiteral("<a href=\"#find\">Choose your place</a>"));
    w.mnualarm_Click();
    w.LabelPlaceNote->setText(QStringLiteral("Type a town's name"));
    Form2 welcome(nullptr);
    welcome.show();
    const JournalServices js = journalServices(w);
    Form3 journal(js);
    journal.show();
    PrintServices ps = printServices(w);
    ps.zoneText = [] { return QStringLiteral("10"); };
    ps.zoneName = [] { return QString(); };
    Form4 print(ps);
    print.Form_Load();
    print.show();
    frmAbout about;
    about.show();
    HelpViewer help;
    help.showTopic(kHelpContents);
    help.show();
    QApplication::processEvents();

    PaletteScope::set(GetParam().palette());
    w.MSChart1->updateNow();

    ContrastCheck c;
    for (QWidget* window : {static_cast<QWidget*>(&w), static_cast<QWidget*>(&welcome),
                            static_cast<QWidget*>(&journal), static_cast<QWidget*>(&print),
                            static_cast<QWidget*>(&about), static_cast<QWidget*>(&help)}) {
        c.window(window);
    }
    EXPECT_GT(c.checked, 200);

    // The chart's titles, scale and day labels on the chart's own fill.
    QChart* chart = w.MSChart1->chart();
    const QColor fill = chart->backgroundBrush().color();
    int chartTexts = 0;
    for (QAbstractAxis* axis : chart->axes()) {
        c.check("axis title " + axis->titleText().toStdString(), axis->titleBrush().color(), fill);
        if (axis->labelsColor().alpha() > 0) c.check("axis labels", axis->labelsColor(), fill);
        ++chartTexts;
    }
    for (QGraphicsItem* item : chart->childItems()) {
        if (auto* t = dynamic_cast<QGraphicsSimpleTextItem*>(item); t && !t->text().isEmpty()) {
            c.check("day label " + t->text().toStdString(), t->brush().color(), fill);
            ++chartTexts;
        }
    }
    EXPECT_GE(chartTexts, 4);
    // The lunar-distance pointer is a graphic: 3:1.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        c.check("gauge line", w.Line1->lineColour(), backgroundOf(w.Frame1, g), 3.0);

    // Every help page, then one with the search's marks.
    auto* browser = help.findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    ASSERT_NE(browser, nullptr);
    for (const QString& file : HelpViewer::pageFiles()) {
        browser->setSource(QUrl(QStringLiteral("qrc:/help/") + file));
        c.page(browser, file.toStdString());
    }
    auto* search = help.findChild<QLineEdit*>(QStringLiteral("helpSearch"));
    ASSERT_NE(search, nullptr);
    search->setText(QStringLiteral("moon"));
    QApplication::processEvents();
    EXPECT_FALSE(browser->extraSelections().isEmpty());
    c.page(browser, "search");

    EXPECT_TRUE(c.failures.empty()) << GetParam().name << ": " << c.failures.size() << " of "
                                    << c.checked << " texts under their contrast:\n"
                                    << c.report();
}

INSTANTIATE_TEST_SUITE_P(Themes, WindowColours,
                         ::testing::Values(Theme{"light", lightPalette, darkDesktopPalette},
                                           Theme{"dark", darkDesktopPalette, lightPalette}),
                         [](const auto& info) { return std::string(info.param.name); });

// The window's accents change with the desktop's palette and keep their hues.
TEST_F(WindowTest, AccentsFollowThePaletteBothWays) {
    PaletteScope scope(lightPalette());
    storeSydney();
    Form1& w = open();
    const QColor lightBlue = w.LabelClockChange->palette().color(QPalette::WindowText);
    EXPECT_EQ(lightBlue, QColor(0x1f, 0x5f, 0xa8));  // reads on the light window as it is
    EXPECT_EQ(w.Label19->palette().color(QPalette::WindowText), QColor(0xa0, 0x5a, 0x00));
    const QColor lightLine = w.Line1->lineColour();

    PaletteScope::set(darkDesktopPalette());
    const QColor darkBlue = w.LabelClockChange->palette().color(QPalette::WindowText);
    EXPECT_NE(darkBlue, lightBlue);
    EXPECT_GT(darkBlue.blue(), darkBlue.red());
    EXPECT_GT(darkBlue.lightness(), lightBlue.lightness());
    const QColor amber = w.Label19->palette().color(QPalette::WindowText);
    EXPECT_GT(amber.red(), amber.blue());
    EXPECT_NE(w.Line1->lineColour(), lightLine);

    PaletteScope::set(lightPalette());
    EXPECT_EQ(w.LabelClockChange->palette().color(QPalette::WindowText), lightBlue);
    EXPECT_EQ(w.Line1->lineColour(), lightLine);
}

// The help's page colours are the palette's: its page background is the
// palette's base colour, switched with the palette while the window is open.
TEST(HelpColours, ThePageFollowsThePalette) {
    PaletteScope scope(lightPalette());
    HelpViewer help;
    help.showTopic(kHelpContents);
    auto* browser = help.findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    ASSERT_NE(browser, nullptr);
    auto pageColour = [browser] {
        return browser->document()->rootFrame()->frameFormat().background().color();
    };
    help.show();
    QApplication::processEvents();
    browser->setSource(QUrl(QStringLiteral("qrc:/help/prediction.html")));
    auto copies = [browser] {
        return browser->document()->toPlainText().count(QStringLiteral("Pale yellow"));
    };
    EXPECT_EQ(pageColour(), lightPalette().color(QPalette::Base));
    EXPECT_EQ(copies(), 1);
    PaletteScope::set(darkDesktopPalette());
    EXPECT_EQ(pageColour(), darkDesktopPalette().color(QPalette::Base));
    EXPECT_EQ(help.currentPage(), QStringLiteral("prediction.html"));
    // Restyled once: neither the switch nor a wider window (which centres the
    // page) loads the page into itself a second time.
    help.resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(copies(), 1);
    PaletteScope::set(lightPalette());
    EXPECT_EQ(pageColour(), lightPalette().color(QPalette::Base));
    EXPECT_EQ(copies(), 1);
}

// The check itself sees colours set by a style sheet, as fixed colours once were.
TEST(ContrastCheckItself, SeesAStyleSheetColourOnADarkWindow) {
    PaletteScope scope(darkDesktopPalette());
    QWidget window;
    window.setObjectName(QStringLiteral("window"));
    auto* label = new QLabel(QStringLiteral("Clocks go forward"), &window);
    label->setStyleSheet(QStringLiteral("color: #1f5fa8;"));
    auto* link = new QLabel(
        QStringLiteral("<a href=\"#find\" style=\"color: #a05a00;\">Choose your place</a>"),
        &window);
    link->setTextFormat(Qt::RichText);
    window.show();
    QApplication::processEvents();
    ContrastCheck c;
    c.window(&window);
    // Both groups of the label, and the link's inline colour in both groups.
    EXPECT_EQ(c.failures.size(), 4U) << c.report();
}

}  // namespace
}  // namespace moonbite::testing
