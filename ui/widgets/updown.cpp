#include "updown.h"

#include <QKeyEvent>
#include <QResizeEvent>
#include <QToolButton>

namespace moonbite {
namespace {

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    // An arrow has no text; without a name a reader says only "button".
    button->setAccessibleName(arrow == Qt::UpArrow ? UpDown::tr("Up") : UpDown::tr("Down"));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // Focus stays on the spinner, which owns the arrow keys.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(makeArrow(this, Qt::UpArrow)), down_(makeArrow(this, Qt::DownArrow)) {
    // Clicked or focused from code it takes the arrow keys, but Tab passes it
    // by: its box is the stop, so typing after Tab goes into the box.
    setFocusPolicy(Qt::ClickFocus);
    connect(up_, &QToolButton::clicked, this, [this] {
        emit upClick();
        emit change();
    });
    connect(down_, &QToolButton::clicked, this, [this] {
        emit downClick();
        emit change();
    });
    // 20 pixels high is what the resizer gives every spinner.
    resize(17, 20);
    // A hidden widget gets its resize event only when shown; place the arrows now.
    placeArrows();
}

void UpDown::clickUp() {
    up_->click();
}

void UpDown::clickDown() {
    down_->click();
}

void UpDown::setCaption(const QString& caption) {
    setAccessibleName(tr("%1 spinner").arg(caption));
    up_->setAccessibleName(tr("%1 up").arg(caption));
    down_->setAccessibleName(tr("%1 down").arg(caption));
}

void UpDown::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            clickUp();
            event->accept();
            return;
        case Qt::Key_Down:
            clickDown();
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void UpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeArrows();
}

void UpDown::placeArrows() {
    const int w = width();
    const int upHeight = height() / 2;
    up_->setGeometry(0, 0, w, upHeight);
    down_->setGeometry(0, upHeight, w, height() - upHeight);
}

}  // namespace moonbite
