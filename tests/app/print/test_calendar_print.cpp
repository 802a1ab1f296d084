// The print window: its options kept in the settings, printing on a printer
// or into a PDF when there is none, and what it says when it cannot.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <array>
#include <memory>
#include <utility>

#include "calendar_print.h"
#include "message_boxes.h"
#include "page_log.h"
#include "settings_store.h"
#include "tide_fixture.h"

namespace moonbite {
namespace {

using testing::sydney;
using Icon = MessageBoxes::Icon;

/// The five ticks in the order of the window's boxes: prediction, new and
/// full moons, sunrise, moonrise, major and minor periods.
using Ticks = std::array<bool, 5>;

Ticks ticksOf(const Form4& f) {
    return {f.Check4->isChecked(), f.Check5->isChecked(), f.Check1->isChecked(),
            f.Check2->isChecked(), f.Check3->isChecked()};
}

void tick(Form4& f, const Ticks& t) {
    f.Check4->setChecked(t[0]);
    f.Check5->setChecked(t[1]);
    f.Check1->setChecked(t[2]);
    f.Check2->setChecked(t[3]);
    f.Check3->setChecked(t[4]);
}

class PrintWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("settings")));
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
        // The current location, in one write: the store syncs every value
        // to disk, which is slow enough to matter here.
        {
            QSettings ini(
                dir.filePath(QStringLiteral("settings/") + kStateApp + QStringLiteral(".ini")),
                QSettings::IniFormat);
            for (const auto& [key, value] :
                 {std::pair{&keys::latdeg, "33"}, std::pair{&keys::latmin, "52"},
                  std::pair{&keys::NorS, "S"}, std::pair{&keys::londeg, "151"},
                  std::pair{&keys::lonmin, "13"}, std::pair{&keys::WorE, "E"}}) {
                ini.setValue(QStringLiteral("Settings/") + QString::fromLatin1(key->key),
                             QString::fromLatin1(value));
            }
        }
        openStore();
        ASSERT_EQ(readText(*store, keys::londeg), QStringLiteral("151"));
    }

    /// A new store on the same folder, as after the program is started again.
    void openStore() {
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("settings")));
    }

    PrintServices services(bool withPrinter) {
        PrintServices s;
        s.store = store.get();
        s.boxes = &boxes;
        s.state = &state;
        s.today = [this] { return today; };
        s.zoneText = [] { return QStringLiteral("10"); };
        s.zoneName = [] { return QStringLiteral("AEST"); };
        if (withPrinter) {
            s.printOnPrinter = [this](SolunarState& st, const CalendarPageInput& in,
                                      QString* error) {
                EXPECT_EQ(&st, &state);
                printed.push_back(in);
                if (!printerWorks) *error = QStringLiteral("the printer is out of paper");
                return printerWorks;
            };
        }
        s.choosePdfPath = [this](const QString& suggestedPath) {
            suggested.push_back(suggestedPath);
            return chosenPath;
        };
        return s;
    }

    [[nodiscard]] QString stored(const SettingKey& key) const {
        return store->get(key.app, QString::fromLatin1(key.section), QString::fromLatin1(key.key));
    }

    [[nodiscard]] QStringList outFiles() const {
        return QDir(dir.filePath(QStringLiteral("out")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    RecordingMessageBoxes boxes;
    SolunarState state = sydney();
    QDate today{2000, 1, 15};
    bool printerWorks = true;
    std::vector<CalendarPageInput> printed;
    QStringList suggested;
    QString chosenPath;
};

TEST_F(PrintWindow, FirstRunTicksThePredictionAndThePeriodsAndShowsThisMonth) {
    today = QDate(2031, 7, 4);
    Form4 f(services(true));
    f.Form_Load();
    EXPECT_EQ(ticksOf(f), (Ticks{true, false, false, false, true}));
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("July"));
    EXPECT_EQ(f.Text1->text(), QStringLiteral("2031"));
}

class PrintWindowTicks : public PrintWindow, public ::testing::WithParamInterface<Ticks> {};

TEST_P(PrintWindowTicks, KeptAcrossReopening) {
    const Ticks ticks = GetParam();
    chosenPath = dir.filePath(QStringLiteral("out/calendar.pdf"));
    {
        Form4 f(services(false));
        f.Form_Load();
        tick(f, ticks);
        f.Command1_Click();
        EXPECT_EQ(f.result(), QDialog::Accepted);
    }
    ASSERT_TRUE(QFileInfo::exists(chosenPath));

    openStore();
    auto text = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    EXPECT_EQ(stored(keys::Prediction), text(ticks[0]));
    EXPECT_EQ(stored(keys::Newfull), text(ticks[1]));
    EXPECT_EQ(stored(keys::Sunrise), text(ticks[2]));
    EXPECT_EQ(stored(keys::Moonrise), text(ticks[3]));
    EXPECT_EQ(stored(keys::Majorminor), text(ticks[4]));

    Form4 again(services(false));
    again.Form_Load();
    EXPECT_EQ(ticksOf(again), ticks);
}

INSTANTIATE_TEST_SUITE_P(Patterns, PrintWindowTicks,
                         ::testing::Values(Ticks{true, true, true, true, true},
                                           Ticks{false, false, false, false, false},
                                           Ticks{true, false, true, false, true},
                                           Ticks{false, true, false, true, false}));

TEST_F(PrintWindow, PrinterGetsTheChosenMonthOptionsAndLocation) {
    Form4 f(services(true));
    f.Form_Load();
    tick(f, {false, true, true, false, true});
    f.Combo1->setCurrentIndex(11);
    f.Text1->setText(QStringLiteral("2026"));
    f.Command1_Click();
    ASSERT_EQ(printed.size(), 1U);
    const CalendarPageInput& in = printed.front();
    EXPECT_EQ(in.year, 2026);
    EXPECT_EQ(in.month, 12);
    EXPECT_FALSE(in.options.prediction);
    EXPECT_TRUE(in.options.newFull);
    EXPECT_TRUE(in.options.sunrise);
    EXPECT_FALSE(in.options.moonrise);
    EXPECT_TRUE(in.options.majorMinor);
    EXPECT_EQ(in.locationLine,
              QStringLiteral("Location: Lat: 33. 52' S   Lon: 151. 13' E  Gmt: 10 hrs  AEST"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(suggested.isEmpty());  // a printer needs no file
    EXPECT_EQ(f.result(), QDialog::Accepted);
}

TEST_F(PrintWindow, PrinterFailureIsReportedAndTheWindowStays) {
    printerWorks = false;
    Form4 f(services(true));
    f.Form_Load();
    f.Command1_Click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Exclamation);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("the printer is out of paper")));
    EXPECT_NE(f.result(), QDialog::Accepted);
}

// The years the window prints, at both ends.
TEST_F(PrintWindow, FirstAndLastYearsPrint) {
    for (const char* year : {"1901", "2200"}) {
        Form4 f(services(true));
        f.Form_Load();
        f.Text1->setText(QString::fromLatin1(year));
        f.Command1_Click();
        EXPECT_EQ(f.result(), QDialog::Accepted) << year;
    }
    ASSERT_EQ(printed.size(), 2U);
    EXPECT_EQ(printed[0].year, 1901);
    EXPECT_EQ(printed[1].year, 2200);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PrintWindow, WithoutPrinterSavesPdfAndSaysWhere) {
    today = QDate(2027, 1, 20);
    chosenPath = dir.filePath(QStringLiteral("out/my calendar.pdf"));
    Form4 f(services(false));
    f.Form_Load();
    f.Command1_Click();

    ASSERT_EQ(suggested.size(), 1);
    EXPECT_TRUE(suggested[0].endsWith(QStringLiteral("/Moonbite January 2027.pdf")))
        << suggested[0].toStdString();
    EXPECT_TRUE(QDir::isAbsolutePath(suggested[0]));

    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Information);
    EXPECT_TRUE(boxes.shown[0].text.contains(chosenPath)) << boxes.shown[0].text.toStdString();

    QFile pdf(chosenPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), QByteArray("%PDF-"));
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("my calendar.pdf")});
    EXPECT_EQ(f.result(), QDialog::Accepted);
    // The state was used to draw the page, and left at its last day.
    EXPECT_EQ(state.startDateText, "31-1-2027");
}

// The file dialog opens a folder that does not exist in the working
// directory, so without a documents folder the home folder is suggested.
TEST_F(PrintWindow, PdfIsSuggestedInTheDocumentsFolderOrElseTheHomeFolder) {
    const QByteArray savedHome = qgetenv("HOME");
    const QString home = dir.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    qputenv("HOME", QFile::encodeName(home));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(documents.startsWith(home)) << documents.toStdString();
    ASSERT_FALSE(QFileInfo::exists(documents));
    today = QDate(2027, 1, 20);
    chosenPath.clear();  // cancel: only the suggestion matters here
    for (bool withDocuments : {false, true}) {
        if (withDocuments) {
            ASSERT_TRUE(QDir().mkpath(documents));
        }
        Form4 f(services(false));
        f.Form_Load();
        f.Command1_Click();
    }
    qputenv("HOME", savedHome);
    ASSERT_EQ(suggested.size(), 2);
    EXPECT_EQ(suggested[0], QDir(home).filePath(QStringLiteral("Moonbite January 2027.pdf")));
    EXPECT_EQ(suggested[1], QDir(documents).filePath(QStringLiteral("Moonbite January 2027.pdf")));
}

TEST_F(PrintWindow, CancelledFileChoiceWritesNothingButKeepsTheOptions) {
    chosenPath.clear();
    Form4 f(services(false));
    f.Form_Load();
    tick(f, {false, true, true, true, false});
    f.Command1_Click();
    EXPECT_EQ(suggested.size(), 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(outFiles().isEmpty());
    EXPECT_NE(f.result(), QDialog::Accepted);
    EXPECT_EQ(stored(keys::Prediction), QStringLiteral("0"));
    EXPECT_EQ(stored(keys::Moonrise), QStringLiteral("1"));
}

TEST_F(PrintWindow, UnwritablePdfPathGivesAClearMessageAndNoFile) {
    // A folder that is a regular file.
    QFile blocker(dir.filePath(QStringLiteral("out/file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    chosenPath = dir.filePath(QStringLiteral("out/file/out.pdf"));
    Form4 f(services(false));
    f.Form_Load();
    tick(f, {true, true, false, false, false});
    f.Command1_Click();

    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Exclamation);
    EXPECT_TRUE(boxes.shown[0].text.contains(chosenPath)) << boxes.shown[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(chosenPath));
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("file")});
    EXPECT_NE(f.result(), QDialog::Accepted);
    // The options were kept all the same.
    EXPECT_EQ(stored(keys::Newfull), QStringLiteral("1"));
    EXPECT_EQ(stored(keys::Majorminor), QStringLiteral("0"));
}

struct BadYear {
    const char* year;
    bool withPrinter;
};

void PrintTo(const BadYear& c, std::ostream* os) {
    *os << '"' << c.year << (c.withPrinter ? "\" on a printer" : "\" into a PDF");
}

class PrintWindowBadYear : public PrintWindow, public ::testing::WithParamInterface<BadYear> {};

TEST_P(PrintWindowBadYear, SaysSoAndPrintsNothing) {
    const BadYear c = GetParam();
    chosenPath = dir.filePath(QStringLiteral("out/calendar.pdf"));
    Form4 f(services(c.withPrinter));
    f.Form_Load();
    tick(f, {false, false, true, true, true});
    f.Text1->setText(QString::fromLatin1(c.year));
    f.Command1_Click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Exclamation);
    EXPECT_TRUE(
        boxes.shown[0].text.contains(QStringLiteral("January ") + QString::fromLatin1(c.year)))
        << boxes.shown[0].text.toStdString();
    EXPECT_NE(f.result(), QDialog::Accepted);
    EXPECT_TRUE(printed.empty());
    EXPECT_TRUE(suggested.isEmpty());
    EXPECT_TRUE(outFiles().isEmpty());
    EXPECT_EQ(stored(keys::Prediction), QStringLiteral("0"));
    EXPECT_EQ(stored(keys::Sunrise), QStringLiteral("1"));
    EXPECT_EQ(stored(keys::Majorminor), QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(Years, PrintWindowBadYear,
                         ::testing::Values(BadYear{"abc", false}, BadYear{"1800", false},
                                           BadYear{"2201", true}, BadYear{"1900", true},
                                           BadYear{"", false}));

// ---------------------------------------------------------------------------
// "Tides"

const QString kNoStation = QStringLiteral("No tide station near this place");
const QString kTideLine =
    QStringLiteral("Tides at Friday Harbor; heights in metres above Mean Lower Low Water.");

class PrintWindowTides : public PrintWindow {
  protected:
    void SetUp() override {
        PrintWindow::SetUp();
        ASSERT_NE(testing::fridayHarbor(), nullptr);
        state = testing::fridayHarborState();
    }

    PrintServices tideServices(bool withPrinter) {
        PrintServices s = services(withPrinter);
        s.tidesOf = testing::fridayHarborTides();
        s.tideLine = kTideLine;
        s.noTidesReason = kNoStation;
        return s;
    }
};

TEST_F(PrintWindowTides, TickKeptInTheStoreOffOnAFirstRun) {
    {
        Form4 f(tideServices(true));
        f.Form_Load();
        EXPECT_FALSE(f.Check6->isChecked()) << "off until ticked";
        EXPECT_TRUE(f.Check6->isEnabled());
        f.Check6->setChecked(true);
        f.Command1_Click();
    }
    openStore();
    EXPECT_EQ(stored(keys::Tides), QStringLiteral("1"));
    {
        Form4 f(tideServices(true));
        f.Form_Load();
        EXPECT_TRUE(f.Check6->isChecked());
        f.Check6->setChecked(false);
        f.Command1_Click();
    }
    openStore();
    EXPECT_EQ(stored(keys::Tides), QStringLiteral("0"));
    Form4 again(tideServices(true));
    again.Form_Load();
    EXPECT_FALSE(again.Check6->isChecked());
    ASSERT_EQ(printed.size(), 2U);
    EXPECT_TRUE(printed[0].tides);
    EXPECT_FALSE(printed[1].tides);
}

TEST_F(PrintWindowTides, WithoutTidesHereTheBoxIsOffAndSaysWhy) {
    write(*store, keys::Tides, QStringLiteral("1"));
    PrintServices s = services(true);
    s.noTidesReason = kNoStation;
    Form4 f(s);
    f.Form_Load();
    EXPECT_FALSE(f.Check6->isEnabled());
    EXPECT_EQ(f.Check6->toolTip(), kNoStation);
    f.Command1_Click();
    ASSERT_EQ(printed.size(), 1U);
    EXPECT_FALSE(printed[0].tides);
    EXPECT_FALSE(static_cast<bool>(printed[0].tidesOf));
    // The choice stays for a place that has tides.
    openStore();
    EXPECT_EQ(stored(keys::Tides), QStringLiteral("1"));

    Form4 here(tideServices(true));
    here.Form_Load();
    EXPECT_TRUE(here.Check6->isEnabled());
    EXPECT_TRUE(here.Check6->toolTip().isEmpty());
    EXPECT_TRUE(here.Check6->isChecked());
}

TEST_F(PrintWindowTides, ThePrinterGetsTheTidesOfTheMonth) {
    Form4 f(tideServices(true));
    f.Form_Load();
    f.Combo1->setCurrentIndex(7);
    f.Text1->setText(QStringLiteral("2026"));
    f.Check6->setChecked(true);
    f.Command1_Click();
    ASSERT_EQ(printed.size(), 1U);
    const CalendarPageInput& in = printed.front();
    EXPECT_TRUE(in.tides);
    EXPECT_EQ(in.tideLine, kTideLine);
    ASSERT_TRUE(static_cast<bool>(in.tidesOf));
    // The day's tides as the page will ask for them.
    const tides::DayTides day = in.tidesOf(state, *Date::fromYmd(2026, 8, 10));
    QStringList texts = tideCellLines(day, state.designators, 1);
    EXPECT_EQ(texts, testing::expectedTideTexts(QTimeZone(-8 * 3600), 2026, 8, 10));
}

// The page written as a PDF holds every day's highs and lows and the tide line.
TEST_F(PrintWindowTides, ThePdfHoldsTheHighsAndLows) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    chosenPath = dir.filePath(QStringLiteral("out/august.pdf"));
    Form4 f(tideServices(false));
    f.Form_Load();
    f.Combo1->setCurrentIndex(7);
    f.Text1->setText(QStringLiteral("2026"));
    f.Check6->setChecked(true);
    f.Command1_Click();
    ASSERT_EQ(f.result(), QDialog::Accepted);
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-raw"), chosenPath, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    // pdftotext gives runs of blanks as one.
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
    for (int day = 1; day <= 31; ++day) {
        for (const QString& event : testing::expectedTideTexts(QTimeZone(-8 * 3600), 2026, 8, day))
            EXPECT_TRUE(text.contains(event)) << "August " << day << ": " << event.toStdString();
    }
    EXPECT_TRUE(text.contains(kTideLine)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("High & Low Tide, metres")));

    // Unticked, the page has none of it.
    const QString without = dir.filePath(QStringLiteral("out/plain.pdf"));
    chosenPath = without;
    Form4 plain(tideServices(false));
    plain.Form_Load();
    plain.Combo1->setCurrentIndex(7);
    plain.Text1->setText(QStringLiteral("2026"));
    plain.Check6->setChecked(false);
    plain.Command1_Click();
    QProcess q;
    q.start(pdftotext, {QStringLiteral("-raw"), without, QStringLiteral("-")});
    ASSERT_TRUE(q.waitForFinished(30000));
    const QString plainText = QString::fromUtf8(q.readAllStandardOutput());
    EXPECT_FALSE(plainText.contains(QStringLiteral("Friday Harbor")));
    EXPECT_FALSE(plainText.contains(QRegularExpression(QStringLiteral("\\bH [0-9]{2}:[0-9]{2} "))));
}

}  // namespace
}  // namespace moonbite
