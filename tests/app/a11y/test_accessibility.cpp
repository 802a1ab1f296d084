// What a screen reader finds in each window: a name for every control it can
// reach, unique within its frame, names for the pictures and the spinners'
// arrows, captions on the day's values, the rating in words and a graph that
// reads out its days and the selected one.
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <vector>

#include "about_box.h"
#include "calendar_print.h"
#include "chart_widget.h"
#include "journal_window.h"
#include "updown.h"
#include "welcome_window.h"
#include "window_fixture.h"

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace moonbite::testing {
namespace {

QString accessibleText(QObject* object, QAccessible::Text kind) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face == nullptr ? QString() : face->text(kind);
}

QString nameOf(QWidget* w) {
    return accessibleText(w, QAccessible::Name);
}

/// The control's name in the form, with its parent's when it has none.
std::string id(const QWidget* w) {
    if (!w->objectName().isEmpty()) return w->objectName().toStdString();
    const std::string type = w->metaObject()->className();
    return w->parentWidget() == nullptr ? type : id(w->parentWidget()) + "/" + type;
}

/// The group box a control sits in, or its window.
QWidget* frameOf(QWidget* w, QWidget* window) {
    for (QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget())
        if (qobject_cast<QGroupBox*>(p) != nullptr) return p;
    return window;
}

/// Every control the keyboard can reach now, and every spinner arrow (which
/// takes no focus, but a reader's pointer can land on it).
std::vector<QWidget*> readerStops(QWidget* window) {
    std::vector<QWidget*> stops;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !w->isEnabled()) continue;
        const bool arrow = qobject_cast<QToolButton*>(w) != nullptr &&
                           qobject_cast<UpDown*>(w->parentWidget()) != nullptr;
        if (w->focusPolicy() != Qt::NoFocus || arrow) stops.push_back(w);
    }
    return stops;
}

/// Each reachable control has a name, unique in its frame. A combo box's
/// text box is the combo box to the keyboard (its focus proxy) and may
/// share its name.
void expectNamedControls(QWidget* window, std::size_t minimum) {
    const std::vector<QWidget*> stops = readerStops(window);
    EXPECT_GE(stops.size(), minimum) << id(window);
    std::map<QWidget*, std::map<QString, std::vector<std::string>>> byFrame;
    for (QWidget* w : stops) {
        const QString name = nameOf(w).trimmed();
        EXPECT_FALSE(name.isEmpty()) << id(window) << ": " << id(w) << " has no name";
        if (w->focusProxy() != nullptr) continue;
        byFrame[frameOf(w, window)][name].push_back(id(w));
    }
    for (const auto& [frame, names] : byFrame) {
        for (const auto& [name, owners] : names) {
            std::string all;
            for (const std::string& o : owners)
                all += o + " ";
            EXPECT_EQ(owners.size(), 1u) << id(window) << "/" << id(frame) << ": \""
                                         << name.toStdString() << "\" names " << all;
        }
    }
}

/// Each picture shown has a name: a label showing a pixmap, and the chart.
void expectNamedPictures(QWidget* window, int minimum) {
    int pictures = 0;
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(window) || l->pixmap().isNull()) continue;
        ++pictures;
        EXPECT_FALSE(nameOf(l).isEmpty()) << id(window) << ": picture " << id(l);
    }
    for (ChartWidget* c : window->findChildren<ChartWidget*>()) {
        if (!c->isVisibleTo(window)) continue;
        ++pictures;
        EXPECT_FALSE(nameOf(c).isEmpty()) << id(window) << ": chart " << id(c);
    }
    EXPECT_GE(pictures, minimum) << id(window);
}

/// Each spinner arrow says which way it steps which value.
void expectNamedArrows(QWidget* window, int spinners) {
    int found = 0;
    for (UpDown* spinner : window->findChildren<UpDown*>()) {
        ++found;
        const QString name = nameOf(spinner);
        const QString suffix = QStringLiteral(" spinner");
        EXPECT_TRUE(name.endsWith(suffix)) << id(window) << ": " << id(spinner);
        const QString caption = name.chopped(std::min(name.size(), suffix.size()));
        EXPECT_FALSE(caption.isEmpty()) << id(window) << ": " << id(spinner);
        QStringList arrows;
        for (QToolButton* b : spinner->findChildren<QToolButton*>())
            arrows << nameOf(b);
        arrows.sort();
        EXPECT_EQ(arrows,
                  (QStringList{caption + QStringLiteral(" down"), caption + QStringLiteral(" up")}))
            << id(window) << ": " << id(spinner);
    }
    EXPECT_EQ(found, spinners) << id(window);
}

/// The CLI's word for a day at Sydney, the fixture's place.
QString cliWordAtSydney(const QDate& date) {
    const std::string iso = date.toString(Qt::ISODate).toStdString();
    std::vector<const char*> args = {"moonbite-cli", "day",       "--lat", "33:52S",
                                     "--lon",        "151:13E",   "--tz",  "10",
                                     "--date",       iso.c_str(), "--json"};
    std::ostringstream out;
    std::ostringstream err;
    cli::run(static_cast<int>(args.size()), args.data(), out, err, *Date::fromYmd(2000, 1, 1));
    const auto j = nlohmann::json::parse(out.str());
    return QString::fromStdString(j["prediction_word"].get<std::string>());
}

QString englishMonth(int month) {
    const std::string_view m = englishMonthName(month);
    return QString::fromLatin1(m.data(), static_cast<qsizetype>(m.size()));
}

/// The graph's days as its description should read them.
QStringList expectedGraphDays(const ChartWidget* chart, const QDate& first) {
    QStringList days;
    for (int i = 1; i <= chart->rowCount(); ++i) {
        const QDate d = first.addDays(i - 1);
        const std::string_view word = predictionRating(static_cast<int>(chart->valueAt(i))).word;
        days << QStringLiteral("%1 %2 %3")
                    .arg(d.day())
                    .arg(englishMonth(d.month()),
                         QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size())));
    }
    return days;
}

class AccessibilityTest : public WindowTest {
  protected:
    Form3* journal(Form1& w, std::unique_ptr<Form3>& holder) {
        const JournalServices js = journalServices(w);
        holder = std::make_unique<Form3>(js);
        holder->show();
        QApplication::processEvents();
        return holder.get();
    }
};

TEST_F(AccessibilityTest, MainWindowControlsAreNamedWithTheFrameClosedAndOpen) {
    storeSydney();
    today = QDate(2000, 1, 20);  // Today shows
    Form1& w = open();
    w.UpDown1->clickUp();
    ASSERT_FALSE(w.Frame9->isVisible());
    {
        SCOPED_TRACE("frame closed");
        expectNamedControls(&w, 20);
        expectNamedPictures(&w, 4);
    }
    w.mnualarm->trigger();
    w.Option1->click();  // the alarm's boxes take part
    ASSERT_TRUE(w.Frame9->isVisible());
    {
        SCOPED_TRACE("frame open");
        expectNamedControls(&w, 50);
    }
    expectNamedArrows(&w, 11);
}

TEST_F(AccessibilityTest, SecondaryWindowsControlsAreNamed) {
    storeSydney();
    Form1& w = open();
    std::unique_ptr<Form3> holder;
    Form3* j = journal(w, holder);
    expectNamedControls(j, 25);
    expectNamedArrows(j, 3);
    // The journal's combo boxes' text boxes carry their captions.
    for (const auto& [combo, name] :
         {std::pair{"Combo1", "Wind"}, std::pair{"Combo2", "Tide"}, std::pair{"Combo3", "Catch"}}) {
        auto* c = j->findChild<QComboBox*>(QLatin1String(combo));
        ASSERT_NE(c, nullptr) << combo;
        EXPECT_EQ(nameOf(c->lineEdit()), QLatin1String(name)) << combo;
    }
    for (const auto& [box, name] :
         {std::pair{"Text1", "Day"}, std::pair{"Text13", "Month"}, std::pair{"Text14", "Year"}}) {
        auto* b = j->findChild<QLineEdit*>(QLatin1String(box));
        ASSERT_NE(b, nullptr) << box;
        EXPECT_EQ(nameOf(b), QLatin1String(name)) << box;
    }
    // The trip day's pictures say what they show.
    j->Text1->setText(QStringLiteral("21"));
    j->Text13->setText(QStringLiteral("1"));
    j->Text14->setText(QStringLiteral("2000"));
    j->dateentered();
    ASSERT_TRUE(j->entryDate().has_value());
    auto* moon = j->findChild<QLabel*>(QStringLiteral("Pictures1"));
    auto* prediction = j->findChild<QLabel*>(QStringLiteral("Pictures10"));
    ASSERT_NE(moon, nullptr);
    ASSERT_NE(prediction, nullptr);
    EXPECT_EQ(nameOf(prediction), QStringLiteral("Fishing prediction"));
    EXPECT_EQ(accessibleText(prediction, QAccessible::Description),
              cliWordAtSydney(QDate(2000, 1, 21)));
    EXPECT_TRUE(
        accessibleText(moon, QAccessible::Description)
            .startsWith(QStringLiteral("Age %1 days")
                            .arg(j->findChild<QLineEdit*>(QStringLiteral("Text12"))->text())));
    expectNamedPictures(j, 1);
    holder.reset();

    PrintServices ps = printServices(w);
    Form4 print(ps);
    print.Form_Load();
    print.show();
    expectNamedControls(&print, 10);
    expectNamedArrows(&print, 1);
    EXPECT_EQ(nameOf(print.Text1), QStringLiteral("Year"));

    Form2 welcome({});
    welcome.show();
    expectNamedControls(&welcome, 2);

    frmAbout about;
    about.show();
    expectNamedControls(&about, 1);
}

// The about box's picture (the program's icon) has no name yet.
TEST_F(AccessibilityTest, AboutBoxPictureIsNamed) {
    frmAbout about;
    about.show();
    expectNamedPictures(&about, 1);
}

TEST_F(AccessibilityTest, ValueBoxesCarryTheirCaptionsAndTakeTab) {
    storeSydney();
    Form1& w = open();
    const std::pair<const char*, const char*> captions[] = {
        {"Text2", "Sunrise"},
        {"Text32", "Sunset"},
        {"Text6", "Length of Day, Hrs : Min"},
        {"Text21", "Moonrise"},
        {"Text39", "Moonset"},
        {"Text9", "Age (days)"},
        {"Text4", "Major, Moon above"},
        {"Text5", "Major, Moon below"},
        {"Text7", "Minor, Moon above"},
        {"Text8", "Minor, Moon below"},
        {"Text16", "Computer time zone"},
        {"Text3", "Selected Date"},
        {"Text11", "Graph days"},
        {"Text1", "Day"},
        {"Text10", "Year"},
        {"Text17", "G.M.T"},
        {"Text30", "Latitude degrees"},
        {"Text13", "Longitude E or W"},
    };
    for (const auto& [object, caption] : captions) {
        auto* box = w.findChild<QWidget*>(QLatin1String(object));
        ASSERT_NE(box, nullptr) << object;
        EXPECT_EQ(nameOf(box), QLatin1String(caption)) << object;
    }
    // A list box is read by its item on this platform; elsewhere by this.
    EXPECT_EQ(w.Combo1->accessibleName(), QStringLiteral("Month"));
    // The day's values are read-only Tab stops, so a reader can reach them.
    for (QLineEdit* box : {w.Text2, w.Text32, w.Text6, w.Text21, w.Text39, w.Text9, w.Text4,
                           w.Text5, w.Text7, w.Text8}) {
        EXPECT_TRUE(box->isReadOnly()) << id(box);
        EXPECT_EQ(box->focusPolicy() & Qt::TabFocus, Qt::TabFocus) << id(box);
        // And the reader gets its value as well as its name.
        EXPECT_EQ(accessibleText(box, QAccessible::Value), box->text()) << id(box);
        EXPECT_FALSE(box->text().isEmpty()) << id(box);
    }
    EXPECT_TRUE(nameOf(w.Label13).startsWith(QStringLiteral("Lunar distance in Kilometers")));
    EXPECT_TRUE(nameOf(w.Label13).contains(w.Label13->text()));
    EXPECT_FALSE(w.Label13->text().isEmpty());
    EXPECT_EQ(nameOf(w.Image1), QStringLiteral("Lunar distance scale"));
    EXPECT_EQ(nameOf(w.Image2), QStringLiteral("Lunar distance marker"));
}

TEST_F(AccessibilityTest, RatingWordFollowsTheDaysPrediction) {
    storeSydney();
    std::set<QString> words;
    for (const QDate& date : {QDate(2000, 1, 21), QDate(2000, 1, 28), QDate(2000, 2, 2)}) {
        SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
        today = date;
        Form1& w = window ? reopen() : open();
        const QString word = cliWordAtSydney(date);
        words.insert(word);
        ASSERT_NE(w.findChild<QLabel*>(QStringLiteral("LabelRating")), nullptr);
        EXPECT_EQ(w.LabelRating->text(), word);
        EXPECT_TRUE(w.LabelRating->isVisible());
        EXPECT_EQ(nameOf(w.Picture2), QStringLiteral("Fishing prediction"));
        EXPECT_EQ(accessibleText(w.Picture2, QAccessible::Description), word);
        EXPECT_EQ(accessibleText(w.Image5, QAccessible::Description), word);
        EXPECT_EQ(nameOf(w.Image3), QStringLiteral("Moon phase"));
        EXPECT_TRUE(accessibleText(w.Image3, QAccessible::Description)
                        .startsWith(QStringLiteral("Age %1 days").arg(w.Text9->text())));
    }
    EXPECT_TRUE(words.count(QStringLiteral("Excellent")));  // the full moon of 21 January
    EXPECT_GE(words.size(), 2u);
}

// Readable and clear of the picture at the design size, enlarged and maximised.
TEST_F(AccessibilityTest, RatingWordFitsBesideThePicture) {
    storeSydney();
    Form1& w = open();
    auto check = [&w](const char* size) {
        SCOPED_TRACE(size);
        QApplication::processEvents();
        const QRect label = w.LabelRating->geometry();
        EXPECT_TRUE(w.FramePrediction->rect().contains(label)) << label.x() << "," << label.y();
        EXPECT_FALSE(label.intersects(w.Picture2->geometry()));
        const QFontMetrics metrics(w.LabelRating->font());
        for (const char* word : {"Poor", "Fair", "Good", "Excellent"}) {
            EXPECT_LE(metrics.horizontalAdvance(QLatin1String(word)), label.width()) << word;
        }
        EXPECT_LE(metrics.height(), label.height());
        // Below the frame's title, which the caption must not cover.
        EXPECT_GE(label.top(), w.FramePrediction->fontMetrics().height());
    };
    check("design");
    const int widthAtDesign = w.LabelRating->width();
    w.resize(w.width() * 3 / 2, w.height() * 3 / 2);
    check("enlarged");
    EXPECT_GT(w.LabelRating->width(), widthAtDesign);  // the resizer scales it
    w.showMaximized();
    check("maximised");
}

TEST_F(AccessibilityTest, GraphReadsItsDaysAndFollowsGraphDays) {
    storeSydney();
    Form1& w = open();
    EXPECT_EQ(nameOf(w.MSChart1), QStringLiteral("Prediction graph"));
    const QString before = accessibleText(w.MSChart1, QAccessible::Description);
    ASSERT_EQ(w.MSChart1->rowCount(), 15);
    EXPECT_EQ(before, expectedGraphDays(w.MSChart1, today).join(QStringLiteral(", ")));
    EXPECT_TRUE(before.startsWith(QStringLiteral("21 January Excellent, 22 January ")));
    w.UpDown3->clickUp();
    ASSERT_EQ(w.MSChart1->rowCount(), 16);
    const QString after = accessibleText(w.MSChart1, QAccessible::Description);
    EXPECT_NE(after, before);
    EXPECT_EQ(after, expectedGraphDays(w.MSChart1, today).join(QStringLiteral(", ")));
    EXPECT_TRUE(after.endsWith(expectedGraphDays(w.MSChart1, today).last()));
    // A new day re-plots from that day.
    w.UpDown1->clickUp();
    EXPECT_EQ(accessibleText(w.MSChart1, QAccessible::Description),
              expectedGraphDays(w.MSChart1, today.addDays(1)).join(QStringLiteral(", ")));
}

TEST_F(AccessibilityTest, SelectingABarAnnouncesIt) {
    storeSydney();
    Form1& w = open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.MSChart1->setFocus(Qt::TabFocusReason);
    const QString plain = accessibleText(w.MSChart1, QAccessible::Description);
    const QStringList days = expectedGraphDays(w.MSChart1, today);
    QTest::keyClick(w.MSChart1, Qt::Key_Right);
    QTest::keyClick(w.MSChart1, Qt::Key_Right);
    QTest::keyClick(w.MSChart1, Qt::Key_Right);
    const QString selected = accessibleText(w.MSChart1, QAccessible::Description);
    ASSERT_EQ(w.MSChart1->highlightedPoint(), 3);
    EXPECT_EQ(selected, QStringLiteral("Selected: %1. %2").arg(days[2], plain));
    // Each step says its own day.
    QTest::keyClick(w.MSChart1, Qt::Key_Left);
    EXPECT_EQ(accessibleText(w.MSChart1, QAccessible::Description),
              QStringLiteral("Selected: %1. %2").arg(days[1], plain));
    // Leaving the graph drops the selection from what it says.
    w.Command1->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(accessibleText(w.MSChart1, QAccessible::Description), plain);
}

}  // namespace
}  // namespace moonbite::testing
