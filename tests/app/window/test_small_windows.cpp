// The welcome window, the about box, the regional settings and help.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "about_box.h"
#include "run_command.h"
#include "welcome_window.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

TEST_F(WindowTest, WelcomeUntilALocationIsSaved) {
    EXPECT_TRUE(isNewUser(*store));
    store->save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("nlist"),
                QStringLiteral("1"));
    EXPECT_FALSE(isNewUser(*store));
    store->save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("nlist"),
                QStringLiteral("junk"));
    EXPECT_TRUE(isNewUser(*store));
}

TEST(Form2, OkOnlyAfterTheRegionalSettingsWereOpened) {
    int opened = 0;
    Form2 welcome([&] { ++opened; });
    EXPECT_EQ(welcome.windowTitle(), QStringLiteral("  Welcome first time user"));
    EXPECT_EQ(welcome.Label1->text(), QStringLiteral("Welcome To Moonbite"));
    EXPECT_EQ(welcome.Label7->text(), QStringLiteral("Important Setup Information"));
    EXPECT_TRUE(welcome.Label5->text().contains(
        QStringLiteral("Check the AM symbol is not blank and should be the \" am \" symbol.")));
    EXPECT_FALSE(welcome.Command1->isEnabled());
    QTest::mouseClick(welcome.Command2, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(welcome.Command1->isEnabled());
    QTest::mouseClick(welcome.Command1, Qt::LeftButton);
    EXPECT_EQ(welcome.result(), QDialog::Accepted);
}

TEST(FrmAbout, TitleVersionAndText) {
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Moonbite"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Moonbite"));
    EXPECT_TRUE(about.lblVersion->text().startsWith(QStringLiteral("Version ")));
    EXPECT_EQ(about.lblVersion->text().split(QLatin1Char('.')).size(), 3);
    EXPECT_EQ(about.Label1->text(),
              QStringLiteral("Moonbite calculates the best time to go fishing."));
    EXPECT_FALSE(about.Image1->pixmap().isNull());
}

TEST(RegionalSettings, TheFirstDesktopToolThatStartsWins) {
    RecordingMessageBoxes boxes;
    QStringList tried;
    openRegionalSettings(boxes, nullptr, [&](const QString& program, const QStringList&) {
        tried << program;
        return program == QLatin1String("systemsettings");
    });
    EXPECT_EQ(tried, (QStringList{QStringLiteral("gnome-control-center"),
                                  QStringLiteral("systemsettings")}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(RegionalSettings, WithoutAToolTheLocaleIsShown) {
    RecordingMessageBoxes boxes;
    openRegionalSettings(boxes, nullptr, [](const QString&, const QStringList&) { return false; });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
    EXPECT_TRUE(boxes.shown[0].text.contains(QLocale().amText()));
}

TEST_F(WindowTest, PrintCalendarOpensAndTheWindowRecomputesAfterIt) {
    storeSydney();
    QString suggested;
    MainWindowServices sv = services();
    sv.choosePdfPath = [&](const QString& s) {
        suggested = s;
        return QString();  // cancelled
    };
    window = std::make_unique<Form1>(sv);
    window->Form_Load();
    window->show();
    QTimer::singleShot(50, [] {
        if (auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            auto* print = form->findChild<QPushButton*>(QStringLiteral("Command1"));
            if (print != nullptr) print->click();
            if (form->isVisible()) form->reject();
        }
    });
    window->mnuprintcal->trigger();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("Moonbite January 2000.pdf")))
        << suggested.toStdString();
    // The printed days moved the shared values; the activation put the day back.
    EXPECT_EQ(window->state().displayedDateText, "21 January 2000");
    EXPECT_EQ(window->Text21->text(), QStringLiteral("07:13 PM"));
}

TEST_F(WindowTest, HelpOpensAtItsTopics) {
    storeSydney();
    Form1& w = open();
    w.mnuhelptopics->trigger();
    w.mnualarm->trigger();
    QTest::mouseClick(w.Command6, Qt::LeftButton);
    EXPECT_EQ(helpTopics, (std::vector<int>{11, 10}));
    w.mnuregional->trigger();
    EXPECT_EQ(regionalOpened, 1);
}

}  // namespace
}  // namespace moonbite::testing
