#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <stdexcept>

#include "message_boxes.h"

namespace moonbite {
namespace {

// Notes whether the boxes counted themselves open while present() ran, and
// can open a second box from inside the first.
class ProbeBoxes : public MessageBoxes {
  public:
    std::vector<bool> openDuringPresent;
    int nestOnce = 0;
    bool throwInPresent = false;

  protected:
    void present(QWidget* parent, const QString& text, const QString& title, Icon icon) override {
        openDuringPresent.push_back(isOpen());
        if (throwInPresent) throw std::runtime_error("box failed");
        if (nestOnce > 0) {
            --nestOnce;
            show(parent, text, title, icon);
            openDuringPresent.push_back(isOpen());
        }
    }
};

TEST(MessageBoxes, OpenOnlyWhilePresenting) {
    ProbeBoxes boxes;
    EXPECT_FALSE(boxes.isOpen());
    boxes.show(nullptr, "text", "title", MessageBoxes::Icon::Information);
    ASSERT_EQ(boxes.openDuringPresent.size(), 1U);
    EXPECT_TRUE(boxes.openDuringPresent[0]);
    EXPECT_FALSE(boxes.isOpen());
}

TEST(MessageBoxes, NestedBoxKeepsOuterOpen) {
    ProbeBoxes boxes;
    boxes.nestOnce = 1;
    boxes.show(nullptr, "text", "title", MessageBoxes::Icon::Critical);
    // Outer present, inner present, then outer again after the inner box closed.
    ASSERT_EQ(boxes.openDuringPresent.size(), 3U);
    EXPECT_TRUE(boxes.openDuringPresent[0]);
    EXPECT_TRUE(boxes.openDuringPresent[1]);
    EXPECT_TRUE(boxes.openDuringPresent[2]);
    EXPECT_FALSE(boxes.isOpen());
}

TEST(MessageBoxes, ClosedAfterPresentThrows) {
    ProbeBoxes boxes;
    boxes.throwInPresent = true;
    EXPECT_THROW(boxes.show(nullptr, "text", "title", MessageBoxes::Icon::Exclamation),
                 std::runtime_error);
    ASSERT_EQ(boxes.openDuringPresent.size(), 1U);
    EXPECT_TRUE(boxes.openDuringPresent[0]);
    EXPECT_FALSE(boxes.isOpen());
}

TEST(RecordingMessageBoxes, RecordsEachBox) {
    RecordingMessageBoxes boxes;
    boxes.show(nullptr, "First text", "First title", MessageBoxes::Icon::Critical);
    boxes.show(nullptr, "Second text", "Second title", MessageBoxes::Icon::Information);
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0].text, "First text");
    EXPECT_EQ(boxes.shown[0].title, "First title");
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    EXPECT_EQ(boxes.shown[1].text, "Second text");
    EXPECT_EQ(boxes.shown[1].title, "Second title");
    EXPECT_EQ(boxes.shown[1].icon, MessageBoxes::Icon::Information);
    EXPECT_FALSE(boxes.isOpen());
}

struct SeenBox {
    bool found = false;
    bool openWhileShown = false;
    bool modal = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
};

QMessageBox* visibleBox() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(top);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}

// Shows a real box and closes it from the event loop once it is up.
SeenBox showReal(MessageBoxes::Icon icon) {
    QtMessageBoxes boxes;
    SeenBox seen;
    QTimer poll;
    poll.setInterval(10);
    int tries = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QMessageBox* box = visibleBox();
        if (box == nullptr) {
            // exec() has not started yet; give up after a few seconds.
            if (++tries > 500) poll.stop();
            return;
        }
        poll.stop();
        seen.found = true;
        seen.openWhileShown = boxes.isOpen();
        seen.modal = box->isModal() && QApplication::activeModalWidget() == box;
        seen.icon = box->icon();
        seen.text = box->text();
        seen.title = box->windowTitle();
        seen.buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    boxes.show(nullptr, "Something happened", "Moonbite", icon);
    EXPECT_FALSE(boxes.isOpen());
    return seen;
}

TEST(QtMessageBoxes, ShowsModalBoxWithOkTextTitleAndIcon) {
    const SeenBox seen = showReal(MessageBoxes::Icon::Critical);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.openWhileShown);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.text, "Something happened");
    EXPECT_EQ(seen.title, "Moonbite");
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(QtMessageBoxes, MapsExclamationAndInformationIcons) {
    const SeenBox warning = showReal(MessageBoxes::Icon::Exclamation);
    ASSERT_TRUE(warning.found);
    EXPECT_EQ(warning.icon, QMessageBox::Warning);
    const SeenBox info = showReal(MessageBoxes::Icon::Information);
    ASSERT_TRUE(info.found);
    EXPECT_EQ(info.icon, QMessageBox::Information);
}

}  // namespace
}  // namespace moonbite
