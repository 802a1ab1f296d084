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

// The welcome speaks of this desktop, shows the locale's values and never
// holds the user back: Ok works at once, and Enter presses it.
TEST(Form2, OkAtOnceAndTheDesktopsOwnRegionSettings) {
    int opened = 0;
    Form2 welcome([&] { ++opened; });
    EXPECT_EQ(welcome.windowTitle(), QStringLiteral("  Welcome first time user"));
    EXPECT_EQ(welcome.Label1->text(), QStringLiteral("Welcome To Moonbite"));
    EXPECT_EQ(welcome.Label7->text(), QStringLiteral("Important Setup Information"));
    EXPECT_TRUE(welcome.Label2->text().contains(QStringLiteral("find your fishing place by name")));
    for (QLabel* l : welcome.findChildren<QLabel*>())
        EXPECT_FALSE(l->text().contains(QStringLiteral("Windows"))) << l->text().toStdString();
    // Kept on one line each: the blanks around ">" do not break.
    const QString where = QString(welcome.Label3->text() + welcome.Label4->text())
                              .replace(QChar(0x00A0), QLatin1Char(' '));
    EXPECT_TRUE(where.contains(QStringLiteral("Settings > Region & Language on GNOME")));
    EXPECT_TRUE(where.contains(QStringLiteral("System Settings > Regional Settings on KDE")));
    EXPECT_TRUE(where.contains(QStringLiteral("LANG and LC_TIME")));
    EXPECT_TRUE(welcome.Label5->text().contains(QLocale().name()));
    EXPECT_EQ(welcome.Label6->text(), regionalFormatsText(QLocale()));
    EXPECT_TRUE(welcome.Command1->isEnabled());
    EXPECT_TRUE(welcome.Command1->isDefault());
    QTest::mouseClick(welcome.Command2, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(welcome.Command1->isEnabled());
    QTest::mouseClick(welcome.Command1, Qt::LeftButton);
    EXPECT_EQ(welcome.result(), QDialog::Accepted);
}

// Each locale's own punctuation: CLDR's short formats "h:mm a" and "M/d/yy"
// (United States), "H.mm" and "d.M.yyyy" (Finland).
TEST(Form2, TheLocalesSeparatorsAndSymbols) {
    EXPECT_EQ(regionalFormatsText(QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("Time separator \":\", AM \"AM\", PM \"PM\", date separator \"/\""));
    const QLocale finnish(QLocale::Finnish, QLocale::Finland);
    EXPECT_EQ(regionalFormatsText(finnish),
              QStringLiteral("Time separator \".\", AM \"%1\", PM \"%2\", date separator \".\"")
                  .arg(finnish.amText(), finnish.pmText()));
}

TEST_F(WindowTest, NoWelcomeOnceAPlaceIsSaved) {
    store->save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("nlist"),
                QStringLiteral("1"));
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = true;
            modal->close();
        }
    });
    EXPECT_FALSE(welcomeNewUser(*store, [] {}));
    QApplication::processEvents();
    EXPECT_FALSE(shown);
}

TEST(FrmAbout, TitleVersionAndText) {
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Moonbite"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Moonbite"));
    EXPECT_TRUE(about.lblVersion->text().startsWith(QStringLiteral("Version ")));
    EXPECT_EQ(about.lblVersion->text().split(QLatin1Char('.')).size(), 3);
    EXPECT_EQ(about.Label1->text(),
              QStringLiteral("Moonbite calculates the best time to go fishing."));
    EXPECT_EQ(about.lblData->text(),
              QStringLiteral("Contains data from GeoNames (geonames.org), CC BY 4.0"));
    EXPECT_FALSE(about.Image1->pixmap().isNull());
    // What an about box owes its user: what the program is, its licence and
    // copyright, the data credits and the way to the help.
    EXPECT_FALSE(about.lblDescription->text().isEmpty());
    EXPECT_TRUE(about.lblLicence->text().contains(QStringLiteral("GPL-3.0-or-later")));
    EXPECT_TRUE(about.lblCopyright->text().contains(QStringLiteral("Copyright")));
    EXPECT_TRUE(about.lblTides->text().contains(QStringLiteral("not for navigation")));
    EXPECT_TRUE(about.lblTides->text().contains(QStringLiteral("public domain")));
    int helpAsked = 0;
    QObject::connect(&about, &frmAbout::helpRequested, [&helpAsked] { ++helpAsked; });
    about.show();
    about.cmdHelp->click();
    EXPECT_EQ(helpAsked, 1);
    EXPECT_TRUE(about.isVisible()) << "the box stays open beside the help";
    EXPECT_EQ(QKeySequence::mnemonic(about.cmdHelp->text()), QKeySequence(Qt::ALT | Qt::Key_H));
}

TEST_F(WindowTest, TheAboutBoxOpensTheHelpContents) {
    storeSydney();
    Form1& w = open();
    QTimer::singleShot(0, [] {
        auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        about->cmdHelp->click();
        about->cmdOK->click();
    });
    w.mnuabout->trigger();
    EXPECT_EQ(helpTopics, (std::vector<int>{11}));
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
