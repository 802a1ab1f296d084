#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <string>
#include <vector>

#include "updown.h"

namespace moonbite {
namespace {

// A shown window holding one spinner, with every signal logged in order.
class UpDownTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.resize(200, 100);
        spinner = new UpDown(&window);
        spinner->setGeometry(20, 20, 17, 30);
        QObject::connect(spinner, &UpDown::upClick, [this] { log.emplace_back("up"); });
        QObject::connect(spinner, &UpDown::downClick, [this] { log.emplace_back("down"); });
        QObject::connect(spinner, &UpDown::change, [this] { log.emplace_back("change"); });
        for (QToolButton* b : spinner->findChildren<QToolButton*>()) {
            if (b->arrowType() == Qt::UpArrow) up = b;
            if (b->arrowType() == Qt::DownArrow) down = b;
        }
    }

    void showWindow() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget window;
    UpDown* spinner = nullptr;
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(UpDownTest, TwoStackedArrowButtonsFillTheWidget) {
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(spinner->findChildren<QToolButton*>().size(), 2);
    showWindow();
    EXPECT_EQ(up->geometry(), QRect(0, 0, 17, 15));
    EXPECT_EQ(down->geometry(), QRect(0, 15, 17, 15));

    // An odd height: up above down, nothing left over.
    spinner->resize(20, 21);
    EXPECT_EQ(up->y(), 0);
    EXPECT_EQ(down->y(), up->height());
    EXPECT_EQ(up->height() + down->height(), 21);
    EXPECT_LE(std::abs(up->height() - down->height()), 1);
    EXPECT_EQ(up->width(), 20);
    EXPECT_EQ(down->width(), 20);
}

TEST_F(UpDownTest, ArrowsAreLaidOutBeforeTheFirstShow) {
    auto* hidden = new UpDown(&window);
    hidden->setGeometry(0, 0, 16, 24);
    QToolButton* first = nullptr;
    QToolButton* second = nullptr;
    for (QToolButton* b : hidden->findChildren<QToolButton*>()) {
        (b->arrowType() == Qt::UpArrow ? first : second) = b;
    }
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    showWindow();
    EXPECT_EQ(first->geometry(), QRect(0, 0, 16, 12));
    EXPECT_EQ(second->geometry(), QRect(0, 12, 16, 12));
}

TEST_F(UpDownTest, ButtonsRepeatAndLeaveFocusToTheSpinner) {
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_TRUE(up->autoRepeat());
    EXPECT_TRUE(down->autoRepeat());
    EXPECT_EQ(up->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(down->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(spinner->focusPolicy(), Qt::ClickFocus);
}

TEST_F(UpDownTest, MouseClicksEmitTheArrowSignalThenChange) {
    showWindow();
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"up", "change"}));
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"up", "change", "down", "change"}));
}

TEST_F(UpDownTest, ClickingAnArrowFocusesTheSpinner) {
    auto* other = new QLineEdit(&window);
    other->setGeometry(60, 20, 100, 24);
    showWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    ASSERT_TRUE(other->hasFocus());
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_TRUE(spinner->hasFocus());
    EXPECT_EQ(log, (Log{"down", "change"}));
}

TEST_F(UpDownTest, ArrowKeysClickWhileFocused) {
    showWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    spinner->setFocus();
    ASSERT_TRUE(spinner->hasFocus());
    // Sent to whatever has focus, as a keyboard would.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(log, (Log{"up", "change"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(log, (Log{"up", "change", "down", "change"}));
    // Other keys are not the spinner's.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    EXPECT_EQ(log.size(), 4U);
}

TEST_F(UpDownTest, TabGoesFromBoxToBoxPastTheSpinner) {
    auto* before = new QLineEdit(&window);
    before->setGeometry(60, 20, 40, 24);
    auto* after = new QLineEdit(&window);
    after->setGeometry(110, 20, 40, 24);
    QWidget::setTabOrder(before, spinner);
    QWidget::setTabOrder(spinner, after);
    showWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);
    // Digits typed after the Tab go into the box, not to the spinner.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("33"));
    EXPECT_EQ(after->text(), QStringLiteral("33"));
    EXPECT_TRUE(log.empty());
}

TEST_F(UpDownTest, ProgrammaticClicks) {
    spinner->clickDown();
    EXPECT_EQ(log, (Log{"down", "change"}));
    spinner->clickUp();
    spinner->clickUp();
    EXPECT_EQ(log, (Log{"down", "change", "up", "change", "up", "change"}));
}

}  // namespace
}  // namespace moonbite
