// The main window at its design size, half as large again and maximised:
// every control is named so the resizer moves it, every caption stays beside its
// box, the distance gauge points at its scale, the pictures fill their places and
// the date fields never overlap, in either date order.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSet>
#include <algorithm>
#include <vector>

#include "gauge_line.h"
#include "updown.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

// A maximised window on a 1920x1080 screen below a desktop panel.
constexpr QSize kMaximised(1920, 1048);

struct Fit {
    const char* name;
    double factor;  ///< of the design size; 0: kMaximised
    Qt::WindowStates state;
};

void PrintTo(const Fit& fit, std::ostream* out) {
    *out << fit.name;
}

const Fit kDesignSize{"DesignSize", 1.0, Qt::WindowNoState};
const Fit kLarger{"HalfAsLargeAgain", 1.5, Qt::WindowNoState};
const Fit kMaximisedFit{"Maximised", 0, Qt::WindowMaximized};

// Puts the window at a size and state. A resize alone drops the maximised state
// and the offscreen platform would maximise to its own small screen, so the state
// is set on the widget after the size and the resize event is sent again, as the
// window system does when a window is maximised.
void fitWindow(Form1& w, QSize design, const Fit& fit) {
    const QSize size = fit.factor > 0 ? design * fit.factor : kMaximised;
    const QSize old = w.size();
    w.resize(size);
    w.overrideWindowState(fit.state);
    QApplication::processEvents();
    QResizeEvent event(size, old);
    QApplication::sendEvent(&w, &event);
    ASSERT_EQ(w.size(), size);
    ASSERT_EQ(w.windowState(), fit.state);
}

QLabel* labelWithText(QWidget* parent, const QString& text, int index) {
    std::vector<QLabel*> found;
    for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == text) found.push_back(label);
    }
    std::sort(found.begin(), found.end(), [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
    return index < static_cast<int>(found.size()) ? found[static_cast<std::size_t>(index)]
                                                  : nullptr;
}

// A caption, the control it stands beside and the box whose text it is level
// with. The caption is found by its text (the n-th from the top when the frame
// repeats it).
struct Beside {
    const char* frame;
    const char* text;
    int index;
    const char* control;
    bool captionFirst;  ///< the caption is left of the control (else right of it)
    const char* levelWith;
};

const Beside kCaptions[] = {
    {"Frame2", "Sunrise", 0, "Text2", true, "Text2"},
    {"Frame2", "Sunset", 0, "Text32", true, "Text32"},
    {"Frame2", "Length of Day\nHrs : Min", 0, "Text6", true, "Text6"},
    {"Frame5", "Moonrise", 0, "Text21", true, "Text21"},
    {"Frame5", "Moonset", 0, "Text39", true, "Text39"},
    {"Frame5", "Age (days)", 0, "Text9", true, "Text9"},
    {"Frame6", "Major", 0, "Text4", true, "Text4"},
    {"Frame6", "Moon Above", 0, "Text4", true, "Text4"},
    {"Frame6", "Moon Below", 0, "Text5", true, "Text5"},
    {"Frame6", "Minor", 0, "Text7", true, "Text7"},
    {"Frame6", "Moon Above", 1, "Text7", true, "Text7"},
    {"Frame6", "Moon Below", 1, "Text8", true, "Text8"},
    {"Frame1", "km", 0, "Label13", false, "Label13"},
    {"Frame3", "&Graph days", 0, "Text11", true, "Text11"},
    {"Frame11", "\u00b0", 0, "UpDown9", false, "Text30"},
    {"Frame11", "\u00b0", 0, "Text20", true, "Text20"},
    {"Frame11", "'", 0, "UpDown6", false, "Text20"},
    {"Frame11", "'", 0, "Text40", true, "Text40"},
    {"Frame12", "\u00b0", 0, "UpDown7", false, "Text15"},
    {"Frame12", "\u00b0", 0, "Text14", true, "Text14"},
    {"Frame12", "'", 0, "UpDown8", false, "Text14"},
    {"Frame12", "'", 0, "Text13", true, "Text13"},
    {"Frame13", "G.M.T", 0, "Label17", true, "Text17"},
    {"Frame13", "+", 0, "Text17", true, "Text17"},
    {"Frame13", "&Zone", 0, "Combo4", true, "Combo4"},
    {"Frame7", "Days in Advance", 0, "UpDown4", false, "Text12"},
};

void expectCaptionsBesideTheirBoxes(Form1& w) {
    for (const Beside& b : kCaptions) {
        SCOPED_TRACE(std::string(b.frame) + " \"" + b.text + "\" by " + b.control);
        auto* frame = w.findChild<QWidget*>(QString::fromLatin1(b.frame));
        QLabel* caption =
            frame != nullptr ? labelWithText(frame, QString::fromUtf8(b.text), b.index) : nullptr;
        auto* control = frame != nullptr
                            ? frame->findChild<QWidget*>(QString::fromLatin1(b.control),
                                                         Qt::FindDirectChildrenOnly)
                            : nullptr;
        auto* level = frame != nullptr
                          ? frame->findChild<QWidget*>(QString::fromLatin1(b.levelWith),
                                                       Qt::FindDirectChildrenOnly)
                          : nullptr;
        // The rest of the table is still checked when one row is missing.
        if (caption == nullptr || control == nullptr || level == nullptr) {
            ADD_FAILURE() << "missing from the window";
            continue;
        }
        const QRect c = caption->geometry();
        if (b.captionFirst) {
            EXPECT_LT(c.right(), control->geometry().left());
        } else {
            EXPECT_GT(c.left(), control->geometry().right());
        }
        const QRect box = level->geometry();
        const int middle = c.center().y();
        EXPECT_GE(middle, box.top());
        EXPECT_LE(middle, box.bottom());
    }
    // "Warn on:" sits above its list, which needs the group's width for its
    // longest item: flush with it on the left and just over its top.
    const QRect warn = w.LabelWarnOn->geometry();
    const QRect list = w.Combo2->geometry();
    EXPECT_EQ(w.LabelWarnOn->parentWidget(), w.Combo2->parentWidget());
    EXPECT_EQ(warn.left(), list.left());
    EXPECT_LE(warn.bottom(), list.top());
    EXPECT_GE(warn.bottom(), list.top() - list.height() / 2);
}

// The pointer runs from the left of the frame to the marker, which sits on the scale.
void expectGaugeOnItsScale(Form1& w) {
    const QRect scale = w.Image1->geometry();
    SCOPED_TRACE("distance " + w.Label13->text().toStdString() + " km, scale at x " +
                 std::to_string(scale.left()) + ".." + std::to_string(scale.right()));
    EXPECT_EQ(w.Line1->geometry(), w.Frame1->rect());  // so its coordinates are the frame's
    EXPECT_GE(w.Line1->x2(), scale.left());
    EXPECT_LE(w.Line1->x2(), scale.right());
    EXPECT_LT(w.Line1->x1(), w.Line1->x2());
    EXPECT_GE(w.Line1->y1(), scale.top());
    EXPECT_LE(w.Line1->y1(), scale.bottom());
    EXPECT_GE(w.Image2->x(), scale.left());
    EXPECT_LE(w.Image2->x(), scale.right());
}

// Left to right: the first field, the second field, then the year.
void expectDateFieldsApart(Form1& w) {
    const bool monthFirst = w.state().dateOrderMonthFirst;
    SCOPED_TRACE(monthFirst ? "month first" : "day first");
    std::vector<QWidget*> row;
    if (monthFirst) {
        row = {w.Combo1, w.Text1, w.UpDown1, w.Text10, w.UpDown2};
    } else {
        row = {w.Text1, w.UpDown1, w.Combo1, w.Text10, w.UpDown2};
    }
    for (std::size_t i = 0; i + 1 < row.size(); ++i) {
        EXPECT_LT(row[i]->geometry().right(), row[i + 1]->geometry().left())
            << row[i]->objectName().toStdString() << " runs into "
            << row[i + 1]->objectName().toStdString();
    }
    for (QWidget* field : row) {
        EXPECT_TRUE(w.Dateframe->rect().contains(field->geometry()))
            << field->objectName().toStdString();
    }
}

class ScalingTest : public WindowTest, public ::testing::WithParamInterface<Fit> {};

// --- Every size -----------------------------------------------------------------------

TEST_P(ScalingTest, CaptionsStayBesideTheirBoxes) {
    storeSydney();
    Form1& w = open();
    ASSERT_NO_FATAL_FAILURE(fitWindow(w, w.size(), GetParam()));
    expectCaptionsBesideTheirBoxes(w);
}

TEST_P(ScalingTest, GaugePointsAtItsScaleAllMonth) {
    storeSydney();
    Form1& w = open();
    ASSERT_NO_FATAL_FAILURE(fitWindow(w, w.size(), GetParam()));
    // A month of days takes the Moon from perigee to apogee and back.
    for (int day = 0; day < 30; ++day) {
        SCOPED_TRACE(w.Text1->text().toStdString() + "/" + w.Combo1->currentText().toStdString());
        expectGaugeOnItsScale(w);
        w.Text1_KeyDown(Qt::Key_Up);
    }
}

// The menu bar and the central widget are the main window's layout's to place.
TEST_P(ScalingTest, NothingSlipsUnderTheMenuBar) {
    storeSydney();
    Form1& w = open();
    ASSERT_NO_FATAL_FAILURE(fitWindow(w, w.size(), GetParam()));
    const int menuBottom = w.menuBar()->geometry().bottom();
    EXPECT_EQ(w.centralWidget()->geometry(),
              QRect(0, menuBottom + 1, w.width(), w.height() - menuBottom - 1));
    EXPECT_GT(w.Dateframe->mapTo(&w, QPoint(0, 0)).y(), menuBottom);
}

// The pictures are drawn for the size of their controls, not stretched or left small.
TEST_P(ScalingTest, PicturesAreDrawnAtTheirControlsSize) {
    storeSydney();
    Form1& w = open();
    ASSERT_NO_FATAL_FAILURE(fitWindow(w, w.size(), GetParam()));
    for (QLabel* picture : {w.Image1, w.Image2, w.Image5}) {
        EXPECT_EQ(picture->pixmap().deviceIndependentSize().toSize(), picture->size())
            << picture->objectName().toStdString();
    }
    // The moon keeps its round shape, a pixel inside the smaller side of its place.
    const int side = std::min(w.Image3->width(), w.Image3->height()) - 2;
    EXPECT_EQ(w.Image3->pixmap().deviceIndependentSize().toSize(), QSize(side, side));
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ScalingTest,
                         ::testing::Values(kDesignSize, kLarger, kMaximisedFit),
                         [](const ::testing::TestParamInfo<Fit>& info) {
                             return std::string(info.param.name);
                         });

// --- Names -----------------------------------------------------------------------------

// The resizer moves only named controls; every control placed on the window's
// panes (captions included) has a name of its own. The pieces inside a composite
// control (the spinner's arrows, the chart's view, a list's popup) are its own to place.
TEST_F(WindowTest, EveryControlHasANameOfItsOwn) {
    Form1& w = open();
    const std::vector<const QMetaObject*> panes = {
        &QWidget::staticMetaObject, &QFrame::staticMetaObject, &QGroupBox::staticMetaObject,
        &QLabel::staticMetaObject};
    QSet<QString> names;
    int controls = 0;
    for (QWidget* control : w.centralWidget()->findChildren<QWidget*>()) {
        const QWidget* parent = control->parentWidget();
        if (std::find(panes.begin(), panes.end(), parent->metaObject()) == panes.end()) continue;
        // Qt's own helpers inside a scroll area (a list's popup, the chart's view).
        if (parent->objectName().startsWith(QLatin1String("qt_"))) continue;
        ++controls;
        const QString name = control->objectName();
        const QString where = control->parentWidget()->objectName();
        EXPECT_FALSE(name.isEmpty())
            << control->metaObject()->className() << " in " << where.toStdString() << " at "
            << control->x() << "," << control->y();
        if (name.isEmpty()) continue;
        EXPECT_FALSE(names.contains(name)) << name.toStdString() << " twice";
        names.insert(name);
    }
    EXPECT_GT(controls, 100);
}

// --- Text that fits -----------------------------------------------------------------------

// A list shows its longest item whole at the design size (and so at any larger size).
TEST_F(WindowTest, ListsShowTheirLongestItemWhole) {
    Form1& w = open();
    for (QComboBox* list : {w.Combo1, w.Combo2}) {
        EXPECT_GE(list->width(), list->sizeHint().width()) << list->objectName().toStdString();
    }
}

// --- Date order at every size ---------------------------------------------------------------

// Toggling the date order at each size and back, then returning to the design size:
// the fields never overlap and the gauge stays on its scale throughout.
TEST_F(WindowTest, DateOrderTogglesAtEverySizeKeepFieldsApart) {
    storeSydney();
    Form1& w = open();
    const QSize design = w.size();
    const QRect designDay = w.Text1->geometry();
    const QRect designSpinner = w.UpDown1->geometry();
    for (const Fit& fit : {kDesignSize, kLarger, kMaximisedFit, kLarger, kDesignSize}) {
        SCOPED_TRACE(fit.name);
        ASSERT_NO_FATAL_FAILURE(fitWindow(w, design, fit));
        expectDateFieldsApart(w);
        expectGaugeOnItsScale(w);
        for (int toggle = 0; toggle < 2; ++toggle) {
            w.datrep();
            expectDateFieldsApart(w);
            expectGaugeOnItsScale(w);
            expectCaptionsBesideTheirBoxes(w);
        }
        // What the menu item does, at the window's real scale.
        const double s = w.scale().horizontalScale;
        EXPECT_NEAR(s, static_cast<double>(w.width()) / design.width(), 0.005);
        EXPECT_NEAR(w.Text1->x(), s * 1845 / kTwipsPerPixel, 1.5);
        EXPECT_NEAR(w.Combo1->x(), s * 135 / kTwipsPerPixel, 1.5);
        EXPECT_NEAR(w.UpDown1->x(), s * 2250 / kTwipsPerPixel, 1.5);
    }
    // Back at the design size after all that, the day field and its spinner are
    // where they started, give or take a pixel of rounding.
    EXPECT_NEAR(w.Text1->x(), designDay.x(), 1);
    EXPECT_NEAR(w.Text1->width(), designDay.width(), 1);
    EXPECT_NEAR(w.UpDown1->x(), designSpinner.x(), 1);
}

}  // namespace
}  // namespace moonbite::testing
