#include "message_boxes.h"

#include <QMessageBox>

namespace moonbite {
namespace {

// Keeps the open count right when present() leaves by an exception.
class OpenGuard {
  public:
    explicit OpenGuard(int& count) : count_(count) { ++count_; }
    ~OpenGuard() { --count_; }
    OpenGuard(const OpenGuard&) = delete;
    OpenGuard& operator=(const OpenGuard&) = delete;

  private:
    int& count_;
};

QMessageBox::Icon toQt(MessageBoxes::Icon icon) {
    switch (icon) {
        case MessageBoxes::Icon::Critical:
            return QMessageBox::Critical;
        case MessageBoxes::Icon::Exclamation:
            return QMessageBox::Warning;
        case MessageBoxes::Icon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void MessageBoxes::show(QWidget* parent, const QString& text, const QString& title, Icon icon) {
    const OpenGuard guard(open_);
    present(parent, text, title, icon);
}

bool MessageBoxes::ask(QWidget* parent, const QString& text, const QString& title) {
    const OpenGuard guard(open_);
    return presentQuestion(parent, text, title);
}

bool QtMessageBoxes::presentQuestion(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageBoxes::present(QWidget* parent, const QString& text, const QString& title,
                             Icon icon) {
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace moonbite
