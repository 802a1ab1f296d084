#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "resizer.h"
#include "updown.h"

namespace moonbite {
namespace {

// ---------------------------------------------------------------------------
// rObjects

TEST(rObjects, AddRecordsTheGeometryUnderItsKey) {
    ScaleState scale;
    rObjects records(scale);
    rObject* added = records.Add(1500, 450, 300, 150, "Label3");
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(records.Exists("Label3"));
    EXPECT_EQ(records.Count(), 1);
    rObject* found = records.Item("Label3");
    ASSERT_EQ(found, added);
    EXPECT_EQ(found->oWidth(), 1500);
    EXPECT_EQ(found->oHeight(), 450);
    EXPECT_EQ(found->oTop(), 300);
    EXPECT_EQ(found->oLeft(), 150);
    EXPECT_EQ(records.keys(), QStringList{"Label3"});
}

TEST(rObjects, TextBoxesOtherThanText200RecordNoHeight) {
    ScaleState scale;
    rObjects records(scale);
    struct Case {
        const char* key;
        int expectedHeight;
    };
    const Case cases[] = {
        {"Text1", 0},   {"Text200", 360}, {"Text2000", 0}, {"Tex", 0},
        {"Texture", 0}, {"Te", 360},      {"text5", 360},  {"Command1", 360},
    };
    for (const Case& c : cases) {
        rObject* r = records.Add(900, 360, 60, 30, c.key);
        ASSERT_NE(r, nullptr) << c.key;
        EXPECT_EQ(r->oHeight(), c.expectedHeight) << c.key;
        // The other values are recorded for every key.
        EXPECT_EQ(r->oWidth(), 900) << c.key;
        EXPECT_EQ(r->oTop(), 60) << c.key;
        EXPECT_EQ(r->oLeft(), 30) << c.key;
    }
    EXPECT_EQ(records.Count(), static_cast<int>(std::size(cases)));
}

TEST(rObjects, DuplicateKeyIsRefusedAndTheFirstKept) {
    ScaleState scale;
    rObjects records(scale);
    ASSERT_NE(records.Add(100, 200, 300, 400, "Frame1"), nullptr);
    EXPECT_EQ(records.Add(1, 2, 3, 4, "Frame1"), nullptr);
    EXPECT_EQ(records.Count(), 1);
    const rObject* kept = records.Item("Frame1");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->oWidth(), 100);
    EXPECT_EQ(kept->oHeight(), 200);
    EXPECT_EQ(kept->oTop(), 300);
    EXPECT_EQ(kept->oLeft(), 400);
}

TEST(rObjects, EmptyKeyIsKeptWithoutAKey) {
    ScaleState scale;
    rObjects records(scale);
    ASSERT_NE(records.Add(10, 20, 30, 40, "Label1"), nullptr);
    rObject* first = records.Add(11, 21, 31, 41, "");
    ASSERT_NE(first, nullptr);
    // More unkeyed records must not move the first one.
    for (int i = 0; i < 200; ++i)
        ASSERT_NE(records.Add(i, i, i, i, ""), nullptr);
    EXPECT_EQ(first->oWidth(), 11);
    EXPECT_EQ(first->oHeight(), 21);
    EXPECT_EQ(first->oTop(), 31);
    EXPECT_EQ(first->oLeft(), 41);
    EXPECT_EQ(records.Count(), 202);
    EXPECT_EQ(records.keys(), QStringList{"Label1"});
    EXPECT_FALSE(records.Exists(""));
}

TEST(rObjects, RemoveDropsOnlyThatKey) {
    ScaleState scale;
    rObjects records(scale);
    records.Add(1, 1, 1, 1, "Label1");
    records.Add(2, 2, 2, 2, "Label2");
    records.Add(3, 3, 3, 3, "");
    records.Remove("Label1");
    EXPECT_FALSE(records.Exists("Label1"));
    EXPECT_EQ(records.Item("Label1"), nullptr);
    EXPECT_TRUE(records.Exists("Label2"));
    EXPECT_EQ(records.Count(), 2);
    records.Remove("Nothing");
    EXPECT_EQ(records.Count(), 2);
    EXPECT_EQ(records.keys(), QStringList{"Label2"});
}

TEST(rObjects, ItemSetsTheSpinnerFlagForUpDNames) {
    ScaleState scale;
    rObjects records(scale);
    records.Add(255, 450, 0, 0, "UpDown1");
    EXPECT_NE(records.Item("UpDown1"), nullptr);
    EXPECT_TRUE(scale.spinnerFlag);
    EXPECT_FALSE(scale.pictureFlag);

    // The flag is set before the lookup, so even for a key not recorded.
    scale.spinnerFlag = false;
    EXPECT_EQ(records.Item("UpD"), nullptr);
    EXPECT_TRUE(scale.spinnerFlag);

    for (const char* other : {"upDown1", "Up", "Label1", "XUpDown"}) {
        scale.spinnerFlag = false;
        records.Item(other);
        EXPECT_FALSE(scale.spinnerFlag) << other;
    }
}

TEST(rObjects, ItemSetsThePictureFlagForPictures1Names) {
    ScaleState scale;
    rObjects records(scale);
    for (const char* picture : {"Pictures1", "Pictures10", "Pictures12"}) {
        scale.pictureFlag = false;
        records.Item(picture);
        EXPECT_TRUE(scale.pictureFlag) << picture;
        EXPECT_FALSE(scale.spinnerFlag) << picture;
    }
    for (const char* other : {"Pictures", "Pictures2", "pictures1", "Picture1"}) {
        scale.pictureFlag = false;
        records.Item(other);
        EXPECT_FALSE(scale.pictureFlag) << other;
    }
}

// ---------------------------------------------------------------------------
// Resizer

constexpr QSize kDesign(400, 300);

// A window of known design size with absolutely placed, named controls.
class ResizerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->resize(kDesign);
        frame = place(new QFrame(window.get()), "Frame1", QRect(10, 10, 200, 120));
        place(new QCheckBox("Check", frame), "Check1", QRect(8, 16, 100, 20));
        place(new QLineEdit(window.get()), "Text1", QRect(220, 10, 150, 24));
        place(new QPlainTextEdit(window.get()), "Text200", QRect(220, 40, 150, 24));
        place(new QLabel("Label", window.get()), "Label3", QRect(220, 70, 100, 18));
        place(new UpDown(window.get()), "UpDown1", QRect(330, 70, 17, 30));
        place(new QLabel(window.get()), "Pictures1", QRect(10, 140, 64, 64));
        place(new QLabel(window.get()), "Pictures10", QRect(80, 140, 64, 64));
        place(new QPushButton("Go", window.get()), "Command1", QRect(220, 250, 90, 30));
        place(new QLabel(window.get()), "Label9", QRect(10, 220, 50, 20));
        // Not recorded: a second control of the same name, and one with no name.
        secondLabel9 = new QLabel(window.get());
        secondLabel9->setObjectName("Label9");
        secondLabel9->setGeometry(10, 250, 50, 20);
        unnamed = new QLabel(window.get());
        unnamed->setGeometry(300, 200, 40, 20);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_EQ(window->size(), kDesign);
    }

    template <typename W>
    W* place(W* w, const QString& name, const QRect& g) {
        w->setObjectName(name);
        w->setGeometry(g);
        controls[name] = w;
        design[name] = g;
        return w;
    }

    QRect now(const QString& name) const { return controls[name]->geometry(); }

    // Puts the window in the given state at the given size. QWidget::resize drops the
    // maximised state and the offscreen platform would size a maximised window to its
    // screen, so the state is set on the widget alone, after the size.
    void sizeWindow(QSize size, Qt::WindowStates state) {
        window->resize(size);
        window->overrideWindowState(state);
        QCoreApplication::processEvents();
        ASSERT_EQ(window->size(), size);
        ASSERT_EQ(window->windowState(), state);
    }

    static void expectNear(const QRect& actual, const QRect& expected, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_NEAR(actual.left(), expected.left(), 1);
        EXPECT_NEAR(actual.top(), expected.top(), 1);
        EXPECT_NEAR(actual.width(), expected.width(), 1);
        EXPECT_NEAR(actual.height(), expected.height(), 1);
    }

    static QRect scaled(const QRect& r, double f) {
        return QRect(qRound(r.left() * f), qRound(r.top() * f), qRound(r.width() * f),
                     qRound(r.height() * f));
    }

    ScaleState scale;
    Resizer resizer{scale};
    std::unique_ptr<QWidget> window;
    QFrame* frame = nullptr;
    QWidget* secondLabel9 = nullptr;
    QWidget* unnamed = nullptr;
    QMap<QString, QWidget*> controls;
    QMap<QString, QRect> design;
};

TEST_F(ResizerTest, RecordsNamedControlsInTwipsOnFirstResize) {
    ASSERT_TRUE(resizer.Resize(window.get()));
    const rObjects& records = resizer.records();
    // Qt's own "qt_..." helpers inside the text box and the unnamed label are left out.
    QStringList expected = design.keys();
    expected.sort();
    QStringList got = records.keys();
    got.sort();
    EXPECT_EQ(got, expected);
    EXPECT_EQ(records.Count(), expected.size());

    // Item is the only lookup and is not const (it sets the shared flags).
    auto& mutableRecords = const_cast<rObjects&>(records);
    const rObject* frameRec = mutableRecords.Item("Frame1");
    ASSERT_NE(frameRec, nullptr);
    EXPECT_EQ(frameRec->oLeft(), 10 * 15);
    EXPECT_EQ(frameRec->oTop(), 10 * 15);
    EXPECT_EQ(frameRec->oWidth(), 200 * 15);
    EXPECT_EQ(frameRec->oHeight(), 120 * 15);
    const rObject* check = mutableRecords.Item("Check1");
    ASSERT_NE(check, nullptr);
    // Relative to its own parent, the frame.
    EXPECT_EQ(check->oLeft(), 8 * 15);
    EXPECT_EQ(check->oTop(), 16 * 15);
    const rObject* text1 = mutableRecords.Item("Text1");
    ASSERT_NE(text1, nullptr);
    EXPECT_EQ(text1->oHeight(), 0);
    EXPECT_EQ(text1->oWidth(), 150 * 15);
    const rObject* text200 = mutableRecords.Item("Text200");
    ASSERT_NE(text200, nullptr);
    EXPECT_EQ(text200->oHeight(), 24 * 15);
    const rObject* label9 = mutableRecords.Item("Label9");
    ASSERT_NE(label9, nullptr);
    EXPECT_EQ(label9->oTop(), 220 * 15);
}

TEST_F(ResizerTest, AtDesignSizeOnlyTheSpinnerChanges) {
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_FLOAT_EQ(resizer.widthRatio(), 1.0F);
    EXPECT_FLOAT_EQ(resizer.heightRatio(), 1.0F);
    for (const QString& name : design.keys()) {
        QRect expected = design[name];
        if (name == "UpDown1") expected.setHeight(20);
        EXPECT_EQ(now(name), expected) << name.toStdString();
    }
    EXPECT_FALSE(scale.spinnerFlag);
    EXPECT_FALSE(scale.pictureFlag);
}

TEST_F(ResizerTest, MaximisedAtTwiceTheSizeDoublesEveryControl) {
    ASSERT_TRUE(resizer.Resize(window.get()));  // records at design size
    sizeWindow(kDesign * 2, Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));

    EXPECT_FLOAT_EQ(resizer.widthRatio(), 2.0F);
    EXPECT_FLOAT_EQ(resizer.heightRatio(), 2.0F);
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 2.0);
    EXPECT_DOUBLE_EQ(scale.previousScale, 2.0);

    for (const char* name : {"Frame1", "Check1", "Text200", "Label3", "Command1", "Label9"}) {
        expectNear(now(name), scaled(design[name], 2), name);
    }
    // Text boxes stretch and move, and take the height of their font, which
    // follows the smaller of the two ratios (both 2 here).
    const QRect text1 = design["Text1"];
    expectNear(now("Text1"), QRect(440, 20, 300, text1.height() * 2), "Text1");
    // The spinner is 300 twips high at the font's scale, beside its box.
    expectNear(now("UpDown1"), QRect(660, 140, 34, 40), "UpDown1");
    // The moon pictures keep their size and only move.
    EXPECT_EQ(now("Pictures1"), QRect(20, 280, 64, 64));
    EXPECT_EQ(now("Pictures10"), QRect(160, 280, 64, 64));
    // Controls that were not recorded stay put.
    EXPECT_EQ(secondLabel9->geometry(), QRect(10, 250, 50, 20));
    EXPECT_EQ(unnamed->geometry(), QRect(300, 200, 40, 20));
    EXPECT_FALSE(scale.spinnerFlag);
    EXPECT_FALSE(scale.pictureFlag);
}

TEST_F(ResizerTest, ScalesFromTheDesignEveryTime) {
    ASSERT_TRUE(resizer.Resize(window.get()));
    sizeWindow(kDesign * 2, Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    sizeWindow(QSize(600, 450), Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    expectNear(now("Frame1"), scaled(design["Frame1"], 1.5), "Frame1");
    sizeWindow(kDesign, Qt::WindowNoState);
    ASSERT_TRUE(resizer.Resize(window.get()));
    for (const QString& name : design.keys()) {
        QRect expected = design[name];
        if (name == "UpDown1") expected.setHeight(20);
        EXPECT_EQ(now(name), expected) << name.toStdString();
    }
}

// The scale that places drawn items beside the scaled controls is the window's
// real one: an enlarged window that is not maximised gets it too.
// Text grows and shrinks with the controls, by the smaller ratio so that it never
// outgrows its box either way, always from the font the control was designed with.
TEST_F(ResizerTest, FontsFollowTheSmallerRatioFromTheDesignFont) {
    const double label = controls["Label3"]->font().pointSizeF();
    const double check = controls["Check1"]->font().pointSizeF();
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(resizer.fontScale(), 1.0);
    EXPECT_DOUBLE_EQ(controls["Label3"]->font().pointSizeF(), label);

    sizeWindow(QSize(1200, 450), Qt::WindowMaximized);  // 3 wide, 1.5 high
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(resizer.fontScale(), 1.5);
    EXPECT_NEAR(controls["Label3"]->font().pointSizeF(), label * 1.5, 0.01);
    EXPECT_NEAR(controls["Check1"]->font().pointSizeF(), check * 1.5, 0.01);
    // The text box is as high as its font needs, not as the window's height ratio.
    EXPECT_NEAR(now("Text1").height(), design["Text1"].height() * 1.5, 1);
    EXPECT_GE(now("Text1").height(), QFontMetrics(controls["Text1"]->font()).height());

    sizeWindow(QSize(200, 240), Qt::WindowNoState);  // 0.5 wide, 0.8 high
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_NEAR(controls["Label3"]->font().pointSizeF(), label * 0.5, 0.01);
    EXPECT_NEAR(now("Text1").height(), design["Text1"].height() * 0.5, 1);

    // Back at the design size after many sizes: exactly the design fonts.
    for (int i = 1; i <= 7; ++i) {
        sizeWindow(kDesign * (1 + i / 7.0), Qt::WindowNoState);
        ASSERT_TRUE(resizer.Resize(window.get()));
    }
    sizeWindow(kDesign, Qt::WindowNoState);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(controls["Label3"]->font().pointSizeF(), label);
    EXPECT_DOUBLE_EQ(controls["Check1"]->font().pointSizeF(), check);
    EXPECT_EQ(now("Text1"), design["Text1"]);
}

// A window that moves its controls gets a new Resizer at its current size; the
// fonts still scale from the design, not from the size the new one started at.
TEST_F(ResizerTest, ANewResizerScalesFontsFromTheFirstDesign) {
    const double label = controls["Label3"]->font().pointSizeF();
    ASSERT_TRUE(resizer.Resize(window.get()));
    sizeWindow(kDesign * 2, Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    Resizer again{scale};
    ASSERT_TRUE(again.Resize(window.get()));
    EXPECT_NEAR(controls["Label3"]->font().pointSizeF(), label * 2, 0.01);
    sizeWindow(kDesign, Qt::WindowNoState);
    ASSERT_TRUE(again.Resize(window.get()));
    EXPECT_DOUBLE_EQ(controls["Label3"]->font().pointSizeF(), label);
}

TEST_F(ResizerTest, HorizontalScaleIsTheWidthRatioInEveryState) {
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 1.0);
    EXPECT_EQ(scale.designWidth, kDesign.width() * 15);

    sizeWindow(QSize(600, 450), Qt::WindowNoState);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_FLOAT_EQ(resizer.widthRatio(), 1.5F);
    EXPECT_FLOAT_EQ(resizer.heightRatio(), 1.5F);
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 1.5);
    EXPECT_DOUBLE_EQ(scale.previousScale, 1.5);
    expectNear(now("Command1"), scaled(design["Command1"], 1.5), "Command1");

    // Only the width counts.
    sizeWindow(QSize(800, 450), Qt::WindowNoState);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_FLOAT_EQ(resizer.widthRatio(), 2.0F);
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 2.0);

    sizeWindow(QSize(600, 450), Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 1.5);
    sizeWindow(QSize(1000, 500), Qt::WindowFullScreen);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 2.5);
    sizeWindow(QSize(300, 150), Qt::WindowMinimized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 0.75);
    EXPECT_DOUBLE_EQ(scale.previousScale, 0.75);
}

TEST_F(ResizerTest, LayoutChangeKeepsThePreviousScale) {
    ASSERT_TRUE(resizer.Resize(window.get()));
    sizeWindow(kDesign * 2, Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    ASSERT_DOUBLE_EQ(scale.previousScale, 2.0);

    scale.layoutChange = true;
    sizeWindow(QSize(600, 450), Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_FLOAT_EQ(resizer.widthRatio(), 1.5F);
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 2.0);
    EXPECT_DOUBLE_EQ(scale.previousScale, 2.0);
    // Only the scale shared with the window is held; the controls follow the size.
    expectNear(now("Frame1"), scaled(design["Frame1"], 1.5), "Frame1");

    scale.layoutChange = false;
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 1.5);
    EXPECT_DOUBLE_EQ(scale.previousScale, 1.5);

    // The normal state holds the scale during a layout change just the same.
    scale.layoutChange = true;
    sizeWindow(QSize(800, 450), Qt::WindowNoState);
    ASSERT_TRUE(resizer.Resize(window.get()));
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 1.5);
    EXPECT_DOUBLE_EQ(scale.previousScale, 1.5);
}

// A window that moves controls gets a new Resizer, which records the moved layout
// at the window's current size. Its width ratio starts again from 1 there, but the
// scale shared with the window still measures against the first design width.
TEST_F(ResizerTest, ANewResizerKeepsMeasuringTheScaleFromTheFirstDesign) {
    ASSERT_TRUE(resizer.Resize(window.get()));
    sizeWindow(QSize(600, 450), Qt::WindowNoState);
    ASSERT_TRUE(resizer.Resize(window.get()));

    scale.layoutChange = true;
    Resizer second{scale};
    ASSERT_TRUE(second.Resize(window.get()));
    scale.layoutChange = false;
    EXPECT_FLOAT_EQ(second.widthRatio(), 1.0F);
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 1.5);
    EXPECT_EQ(scale.designWidth, kDesign.width() * 15);

    sizeWindow(kDesign * 2, Qt::WindowMaximized);
    ASSERT_TRUE(second.Resize(window.get()));
    EXPECT_NEAR(second.widthRatio(), 4.0 / 3.0, 1e-6);
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 2.0);
    // The controls scale from the layout the second Resizer recorded.
    expectNear(now("Frame1"), scaled(design["Frame1"], 2), "Frame1");

    sizeWindow(kDesign, Qt::WindowNoState);
    ASSERT_TRUE(second.Resize(window.get()));
    EXPECT_DOUBLE_EQ(scale.horizontalScale, 1.0);
    expectNear(now("Frame1"), design["Frame1"], "Frame1");
}

TEST_F(ResizerTest, AChildWidgetIsAnError) {
    QSignalSpy errors(&resizer, &Resizer::ResizeError);
    EXPECT_FALSE(resizer.Resize(frame));
    ASSERT_EQ(errors.count(), 1);
    const QList<QVariant> args = errors.takeFirst();
    EXPECT_NE(args.at(0).value<qint16>(), 0);
    EXPECT_EQ(args.at(0).value<qint16>(), Resizer::kNotAWindowError);
    EXPECT_TRUE(args.at(1).toString().startsWith("RError: "))
        << args.at(1).toString().toStdString();
    EXPECT_GT(args.at(1).toString().size(), QString("RError: ").size());
    EXPECT_EQ(resizer.records().Count(), 0);
    EXPECT_EQ(now("Check1"), design["Check1"]);
    EXPECT_EQ(now("UpDown1"), design["UpDown1"]);

    EXPECT_FALSE(resizer.Resize(nullptr));
    EXPECT_EQ(errors.count(), 1);

    // The window itself still works afterwards, and a child stays an error.
    EXPECT_TRUE(resizer.Resize(window.get()));
    EXPECT_EQ(errors.count(), 1);
    EXPECT_FALSE(resizer.Resize(frame));
    EXPECT_EQ(errors.count(), 2);
    EXPECT_EQ(now("Check1"), design["Check1"]);
}

// A main window's layout places its central widget and menu bar; its menus and
// dialogs are windows of their own. The resizer leaves all of them alone and
// scales the controls inside the central widget.
TEST(ResizerMainWindowTest, LeavesWhatTheLayoutPlacesAndOtherWindows) {
    QMainWindow window;
    auto* central = new QWidget(&window);
    central->setObjectName("centralWidget");
    window.setCentralWidget(central);
    auto* frame = new QFrame(central);
    frame->setObjectName("Frame1");
    frame->setGeometry(10, 30, 200, 100);
    window.menuBar()->setObjectName("MenuBar1");
    window.menuBar()->addMenu("&File")->setObjectName("mnuFile");
    auto* dialog = new QDialog(&window);
    dialog->setObjectName("Form3");
    window.resize(kDesign);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    ScaleState scale;
    Resizer resizer{scale};
    ASSERT_TRUE(resizer.Resize(&window));
    EXPECT_EQ(resizer.records().keys().join(',').toStdString(), "Frame1");

    window.resize(kDesign * 2);
    QCoreApplication::processEvents();
    ASSERT_EQ(window.size(), kDesign * 2);
    ASSERT_TRUE(resizer.Resize(&window));
    const int menuHeight = window.menuBar()->height();
    EXPECT_EQ(window.menuBar()->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(central->geometry(), QRect(0, menuHeight, 800, 600 - menuHeight));
    // The menu bar keeps its height: the controls scale with the central widget.
    const double tall = (600.0 - menuHeight) / (300.0 - menuHeight);
    const QRect g = frame->geometry();
    EXPECT_EQ(g.left(), 20);
    EXPECT_EQ(g.width(), 400);
    EXPECT_NEAR(g.top(), 30 * tall, 1);
    EXPECT_NEAR(g.height(), 100 * tall, 1);
    EXPECT_GT(g.height(), 200);
}

TEST_F(ResizerTest, DeletedControlIsSkipped) {
    ASSERT_TRUE(resizer.Resize(window.get()));
    delete controls.take("Label3");
    design.remove("Label3");
    sizeWindow(kDesign * 2, Qt::WindowMaximized);
    ASSERT_TRUE(resizer.Resize(window.get()));
    expectNear(now("Command1"), scaled(design["Command1"], 2), "Command1");
}

}  // namespace
}  // namespace moonbite
