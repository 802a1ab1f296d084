// An up-down spinner: two small arrow buttons stacked, beside its own box.
#pragma once

#include <QWidget>

class QToolButton;

namespace moonbite {

class UpDown : public QWidget {
    Q_OBJECT
  public:
    explicit UpDown(QWidget* parent = nullptr);

    /// Clicks the up or down arrow as the user would (tests, keyboard).
    void clickUp();
    void clickDown();

    /// What the spinner changes ("Day"): its accessible name, and its arrows'
    /// ("Day up", "Day down"), so a screen reader says which value they step.
    void setCaption(const QString& caption);

  signals:
    /// After either arrow was clicked (after upClick/downClick).
    void change();
    void upClick();
    void downClick();

  protected:
    /// Up and Down arrow keys click the arrows while the spinner has focus.
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeArrows();

    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace moonbite
