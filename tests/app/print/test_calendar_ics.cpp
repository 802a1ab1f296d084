// The print window's "Save as calendar file...": the shown month at the
// current place as an iCalendar file, with the ticked kinds of event, to a
// file chosen in a dialog (answered here by a preset path).
#include <gtest/gtest.h>
#include <libical/ical.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "calendar_print.h"
#include "day_driver.h"
#include "message_boxes.h"
#include "settings_store.h"
#include "tide_fixture.h"

namespace moonbite {
namespace {

using Icon = MessageBoxes::Icon;

SolunarState sydneyState() {
    SolunarState s;
    s.latitude = -(33 + 52 / 60.0);
    s.longitude = 151 + 13 / 60.0;
    s.timeZoneEntered = "10";
    s.timeZoneForComputations = "-10";
    return s;
}

struct Event {
    std::string summary;
    std::string categories;
    std::time_t start = 0;
    std::time_t end = 0;  // 0: none
};

// uid -> event, as libical reads the file.
std::map<std::string, Event> readEvents(const QString& path) {
    std::map<std::string, Event> events;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray text = file.readAll();
    icalcomponent* cal = icalparser_parse_string(text.constData());
    EXPECT_NE(cal, nullptr);
    if (cal == nullptr) return events;
    icaltimezone* utc = icaltimezone_get_utc_timezone();
    for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT);
         ev != nullptr; ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        Event e;
        e.summary = icalcomponent_get_summary(ev);
        icalproperty* category = icalcomponent_get_first_property(ev, ICAL_CATEGORIES_PROPERTY);
        e.categories = category != nullptr ? icalproperty_get_categories(category) : "";
        e.start = icaltime_as_timet_with_zone(icalcomponent_get_dtstart(ev), utc);
        if (icalcomponent_get_first_property(ev, ICAL_DTEND_PROPERTY) != nullptr)
            e.end = icaltime_as_timet_with_zone(icalcomponent_get_dtend(ev), utc);
        EXPECT_TRUE(events.emplace(icalcomponent_get_uid(ev), e).second);
    }
    icalcomponent_free(cal);
    return events;
}

std::optional<int> minuteOfDay(const std::string& text) {
    int h = 0;
    int m = 0;
    char designator[3] = {};
    if (text.size() != 8 || std::sscanf(text.c_str(), "%2d:%2d %2[AP]M", &h, &m, designator) != 3)
        return std::nullopt;
    return (h % 12 + (designator[0] == 'P' ? 12 : 0)) * 60 + m;
}

class CalendarFileButton : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("settings")));
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("settings")));
        chosenPath = dir.filePath(QStringLiteral("june.ics"));
    }

    PrintServices services() {
        PrintServices s;
        s.store = store.get();
        s.boxes = &boxes;
        s.state = &state;
        s.today = [] { return QDate(2027, 6, 10); };
        s.choosePdfPath = [](const QString&) {
            ADD_FAILURE() << "the PDF dialog opened";
            return QString();
        };
        s.chooseCalendarPath = [this](const QString& suggestedPath) {
            suggested.push_back(suggestedPath);
            return chosenPath;
        };
        return s;
    }

    /// The window on June 2027 with the given ticks, the button clicked.
    void save(bool periods, bool phases, bool sun, bool prediction = false, bool moonrise = false,
              const QString& year = QStringLiteral("2027")) {
        Form4 f(services());
        f.Form_Load();
        f.Combo1->setCurrentIndex(5);
        f.Text1->setText(year);
        f.Check3->setChecked(periods);
        f.Check5->setChecked(phases);
        f.Check1->setChecked(sun);
        f.Check4->setChecked(prediction);
        f.Check2->setChecked(moonrise);
        QTest::mouseClick(f.CommandSaveIcs, Qt::LeftButton);
        EXPECT_NE(f.result(), QDialog::Accepted) << "the window stays open for printing";
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    RecordingMessageBoxes boxes;
    SolunarState state = sydneyState();
    QStringList suggested;
    QString chosenPath;
};

TEST_F(CalendarFileButton, WritesTheShownMonthWithTheTimesTheMainWindowShows) {
    save(true, true, true);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Information);
    EXPECT_TRUE(boxes.shown[0].text.contains(chosenPath)) << boxes.shown[0].text.toStdString();
    const auto events = readEvents(chosenPath);

    // Each day of June 2027 as the main window computes it at Sydney, +10.
    std::size_t expected = 0;
    std::set<std::string> kindsSeen;
    for (int day = 1; day <= 30; ++day) {
        SolunarState s = sydneyState();
        setDateControls(s, *Date::fromYmd(2027, 6, day));
        computeDisplayedDay(s);
        char date[16];
        std::snprintf(date, sizeof date, "202706%02d", day);
        std::tm tm{};
        tm.tm_year = 127;
        tm.tm_mon = 5;
        tm.tm_mday = day;
        const std::time_t midnightUtc = timegm(&tm) - 10 * 3600;
        auto expectBox = [&](const char* kind, const Text& box, int seconds) {
            const std::string uid = std::string(date) + "-" + kind + "-3352S15113E@moonbite";
            const auto minute = minuteOfDay(box.str());
            const auto found = events.find(uid);
            if (!minute) {
                EXPECT_EQ(found, events.end()) << uid;
                return;
            }
            ++expected;
            kindsSeen.insert(kind);
            ASSERT_NE(found, events.end()) << uid;
            EXPECT_EQ(found->second.start, midnightUtc + *minute * 60) << uid << " " << box.str();
            EXPECT_EQ(found->second.end, seconds > 0 ? found->second.start + seconds : 0) << uid;
        };
        expectBox("sunrise", s.Text2, 0);
        expectBox("sunset", s.Text32, 0);
        expectBox("major-above", s.Text4, 7200);
        expectBox("major-below", s.Text5, 7200);
        expectBox("minor-rise", s.Text8, 7200);
        expectBox("minor-set", s.Text7, 7200);
        if (s.Label14.visible && s.Label14.caption == "Full Moon")
            expectBox("full-moon", s.Label18.caption, 0);
        if (s.Label14.visible && s.Label14.caption == "New Moon")
            expectBox("new-moon", s.Label18.caption, 0);
    }
    EXPECT_EQ(events.size(), expected);
    EXPECT_EQ(kindsSeen.size(), 8u) << "June 2027 holds a new and a full moon";
}

TEST_F(CalendarFileButton, OnlyTheTickedKindsAndTheMainWindowsDayIsLeftAlone) {
    setDateControls(state, *Date::fromYmd(2000, 1, 21));
    computeDisplayedDay(state);
    const std::string shownBefore = state.Text4.str() + state.displayedDateText.str();
    save(true, false, false, true, true);
    EXPECT_EQ(state.Text4.str() + state.displayedDateText.str(), shownBefore);
    std::set<std::string> categories;
    for (const auto& [uid, e] : readEvents(chosenPath))
        categories.insert(e.categories);
    EXPECT_EQ(categories, (std::set<std::string>{"Major period", "Minor period"}));

    save(false, true, false);
    categories.clear();
    const auto phases = readEvents(chosenPath);  // replaced, not added to
    for (const auto& [uid, e] : phases)
        categories.insert(e.categories);
    EXPECT_EQ(categories, (std::set<std::string>{"Moon phase"}));
    EXPECT_EQ(phases.size(), 2u);
}

TEST_F(CalendarFileButton, SuggestsTheMonthsNameInTheDocumentsFolderOrElseHome) {
    const QByteArray savedHome = qgetenv("HOME");
    const QString home = dir.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    qputenv("HOME", QFile::encodeName(home));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(documents.startsWith(home)) << documents.toStdString();
    chosenPath.clear();  // cancelled: only the suggestion matters
    save(true, false, false);
    ASSERT_TRUE(QDir().mkpath(documents));
    save(true, false, false);
    qputenv("HOME", savedHome);
    ASSERT_EQ(suggested.size(), 2);
    EXPECT_EQ(suggested[0], QDir(home).filePath(QStringLiteral("Moonbite June 2027.ics")));
    EXPECT_EQ(suggested[1], QDir(documents).filePath(QStringLiteral("Moonbite June 2027.ics")));
    EXPECT_TRUE(boxes.shown.empty()) << "a cancelled choice says nothing";
}

TEST_F(CalendarFileButton, RefusesWhatCannotBeSavedAndSaysWhy) {
    // No tick that maps to events: nothing is asked.
    save(false, false, false, true, true);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Exclamation);
    EXPECT_TRUE(suggested.isEmpty());

    // A year out of range.
    save(true, true, true, false, false, QStringLiteral("2201"));
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[1].icon, Icon::Exclamation);
    EXPECT_TRUE(boxes.shown[1].text.contains(QStringLiteral("2201")));
    EXPECT_TRUE(suggested.isEmpty());

    // A folder as the target stays a folder.
    chosenPath = dir.filePath(QStringLiteral("settings"));
    save(true, true, true);
    ASSERT_EQ(boxes.shown.size(), 3U);
    EXPECT_EQ(boxes.shown[2].icon, Icon::Exclamation);
    EXPECT_TRUE(boxes.shown[2].text.contains(chosenPath));
    EXPECT_TRUE(QFileInfo(chosenPath).isDir());

    // A folder that does not exist.
    chosenPath = dir.filePath(QStringLiteral("missing/june.ics"));
    save(true, true, true);
    ASSERT_EQ(boxes.shown.size(), 4U);
    EXPECT_EQ(boxes.shown[3].icon, Icon::Exclamation);
    EXPECT_FALSE(QFileInfo::exists(chosenPath));
}

// With "Tides" ticked the file holds the month's high and low waters at the
// station; unticked, or where there are no tides, it holds none.
TEST_F(CalendarFileButton, TidesTickedAddTheHighAndLowWaters) {
    ASSERT_NE(testing::fridayHarbor(), nullptr);
    state = testing::fridayHarborState();
    auto saveWith = [this](bool tidesHere, bool ticked, bool periods) {
        PrintServices s = services();
        if (tidesHere) {
            s.tidesOf = testing::fridayHarborTides();
            s.tideLine = QStringLiteral("Tides at Friday Harbor.");
        } else {
            s.noTidesReason = QStringLiteral("No tide station near this place");
        }
        Form4 f(s);
        f.Form_Load();
        f.Combo1->setCurrentIndex(5);
        f.Text1->setText(QStringLiteral("2027"));
        f.Check3->setChecked(periods);
        f.Check5->setChecked(false);
        f.Check1->setChecked(false);
        f.Check6->setChecked(ticked);
        QTest::mouseClick(f.CommandSaveIcs, Qt::LeftButton);
    };

    // The tides alone are something to save.
    saveWith(true, true, false);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].icon, Icon::Information) << boxes.shown[0].text.toStdString();
    const auto events = readEvents(chosenPath);
    // Every high and low of June 2027 on Pacific Standard Time, by Qt's zones.
    const QTimeZone pst(-8 * 3600);
    const qint64 from = QDateTime(QDate(2027, 6, 1), QTime(0, 0), pst).toSecsSinceEpoch();
    const qint64 to = QDateTime(QDate(2027, 7, 1), QTime(0, 0), pst).toSecsSinceEpoch();
    std::map<std::time_t, std::string> expected;
    for (const tides::TideEvent& e :
         tides::tideEvents(*testing::harmonics(), *testing::fridayHarbor(), from, to)) {
        char summary[64];
        std::snprintf(summary, sizeof summary, "%s %.2f m", e.high ? "High water" : "Low water",
                      e.heightMetres);
        expected[static_cast<std::time_t>(e.time)] = summary;
    }
    ASSERT_GT(expected.size(), 100U);
    std::map<std::time_t, std::string> found;
    for (const auto& [uid, e] : events) {
        EXPECT_EQ(e.categories, "Tide") << uid;
        EXPECT_EQ(e.end, 0) << uid;
        found[e.start] = e.summary;
    }
    EXPECT_EQ(found, expected);

    // Unticked, or ticked where there are no tides: periods only.
    for (const bool tidesHere : {true, false}) {
        saveWith(tidesHere, !tidesHere, true);
        for (const auto& [uid, e] : readEvents(chosenPath))
            EXPECT_NE(e.categories, "Tide") << uid;
    }
    // Where there are none the tick alone saves nothing, and says what does.
    const std::size_t before = boxes.shown.size();
    saveWith(false, true, false);
    ASSERT_EQ(boxes.shown.size(), before + 1);
    EXPECT_EQ(boxes.shown.back().icon, Icon::Exclamation);
}

}  // namespace
}  // namespace moonbite
