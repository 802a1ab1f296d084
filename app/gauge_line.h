// The lunar-distance gauge's pointer: a line drawn from (X1, Y1) to (X2, Y2)
// in its parent's coordinates (pixels), over the whole frame.
#pragma once

#include <QWidget>

namespace moonbite {

class GaugeLine : public QWidget {
    Q_OBJECT
  public:
    explicit GaugeLine(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    void setLine(double x1, double y1, double x2, double y2);
    [[nodiscard]] double x1() const { return x1_; }
    [[nodiscard]] double x2() const { return x2_; }
    [[nodiscard]] double y1() const { return y1_; }
    /// The pointer's colour on the window's background (3:1 at least, as a graphic).
    [[nodiscard]] QColor lineColour() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

}  // namespace moonbite
