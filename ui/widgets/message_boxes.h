// Every message box of the program goes through this interface, so tests can
// record the boxes instead of blocking on a modal dialog.
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace moonbite {

class MessageBoxes {
  public:
    enum class Icon { Critical, Exclamation, Information };

    virtual ~MessageBoxes() = default;
    /// Shows a modal box with an OK button and waits for it to close.
    void show(QWidget* parent, const QString& text, const QString& title, Icon icon);
    /// Asks a question with Yes and No buttons, No the default; true for Yes.
    bool ask(QWidget* parent, const QString& text, const QString& title);
    /// True while one of the boxes is open (the main window uses it to tell
    /// the return from its own box apart from a real activation).
    [[nodiscard]] bool isOpen() const { return open_ > 0; }

  protected:
    virtual void present(QWidget* parent, const QString& text, const QString& title, Icon icon) = 0;
    /// No unless a kind of box can ask.
    virtual bool presentQuestion(QWidget*, const QString&, const QString&) { return false; }

  private:
    int open_ = 0;
};

/// QMessageBox, for the program.
class QtMessageBoxes : public MessageBoxes {
  protected:
    void present(QWidget* parent, const QString& text, const QString& title, Icon icon) override;
    bool presentQuestion(QWidget* parent, const QString& text, const QString& title) override;
};

/// Records what would have been shown, for tests.
class RecordingMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
    };
    std::vector<Shown> shown;
    /// The questions asked (icon Exclamation), and the answer each gets.
    std::vector<Shown> asked;
    bool answer = false;

  protected:
    void present(QWidget*, const QString& text, const QString& title, Icon icon) override {
        shown.push_back({text, title, icon});
    }
    bool presentQuestion(QWidget*, const QString& text, const QString& title) override {
        asked.push_back({text, title, Icon::Exclamation});
        return answer;
    }
};

}  // namespace moonbite
