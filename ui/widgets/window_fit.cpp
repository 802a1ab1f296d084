#include "window_fit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace moonbite {
namespace {

// A title bar and borders, for a window the window manager has not framed yet.
constexpr QSize kUnknownFrame(8, 32);

QSize scaledDown(QSize design, double scale) {
    // Rounded down, so that the result never exceeds the room it was fitted to.
    return {static_cast<int>(std::floor(design.width() * scale)),
            static_cast<int>(std::floor(design.height() * scale))};
}

}  // namespace

double smallestScale(double devicePixelRatio) {
    if (!(devicePixelRatio > 0)) return 1.0;
    return std::clamp(1.0 / devicePixelRatio, kSmallestScaleFloor, 1.0);
}

WindowFit fitWindow(QSize design, QSize chrome, QSize available, double devicePixelRatio) {
    if (design.isEmpty()) return {chrome, chrome};
    const QSize room = (available - chrome).expandedTo(QSize(1, 1));
    const double fits = std::min(static_cast<double>(room.width()) / design.width(),
                                 static_cast<double>(room.height()) / design.height());
    const double smallest = std::min(smallestScale(devicePixelRatio), fits);
    const double opening = std::min(1.0, fits);
    return {scaledDown(design, smallest) + chrome,
            opening >= 1.0 ? design + chrome : scaledDown(design, opening) + chrome};
}

void fitOnScreen(QWidget& window, QWidget* content, QSize design, QSize chrome) {
    QScreen* screen = window.screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect free = screen->availableGeometry();
    QSize frame = window.frameGeometry().size() - window.size();
    if (!window.isVisible() || frame.isNull()) frame = frame.expandedTo(kUnknownFrame);
    const QSize room = free.size() - frame;
    const WindowFit fit = fitWindow(design, chrome, room, screen->devicePixelRatio());

    // The content's minimum: for a main window its layout adds the menu bar.
    if (content != nullptr) content->setMinimumSize(fit.minimum - chrome);
    // The window's own minimum comes from its layout, which would keep the old one
    // until it next runs, and a resize below it is refused.
    if (window.layout() != nullptr) window.layout()->activate();

    // A maximised window is the window manager's to place.
    if (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    if (window.width() > room.width() || window.height() > room.height()) window.resize(fit.size);

    // Wholly on the free area, the frame included.
    QRect placed(window.pos(), window.size() + frame);
    if (placed.right() > free.right()) placed.moveRight(free.right());
    if (placed.bottom() > free.bottom()) placed.moveBottom(free.bottom());
    if (placed.left() < free.left()) placed.moveLeft(free.left());
    if (placed.top() < free.top()) placed.moveTop(free.top());
    if (placed.topLeft() != window.pos()) window.move(placed.topLeft());
}

namespace {

class Fitter : public QObject {
  public:
    Fitter(QWidget& window, QWidget* content, QSize design, QSize chrome)
        : QObject(&window), window_(window), content_(content), design_(design), chrome_(chrome) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Show && !shown_) {
            shown_ = true;
            fit();
            if (QWindow* handle = window_.windowHandle()) {
                connect(handle, &QWindow::screenChanged, this, &Fitter::fit);
            }
        }
        return false;
    }

  private:
    void fit() { fitOnScreen(window_, content_, design_, chrome_); }

    QWidget& window_;
    QWidget* content_;
    QSize design_, chrome_;
    bool shown_ = false;
};

}  // namespace

void fitWhenShown(QWidget& window, QWidget* content, QSize design, QSize chrome) {
    new Fitter(window, content, design, chrome);
}

}  // namespace moonbite
