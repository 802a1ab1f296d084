// The prediction chart: one data series of labelled rows, eight chart types
// (four of them drawn with visible depth), axis titles and a backdrop colour.
// Built on Qt Charts; no OpenGL, so it renders offscreen.
#pragma once

#include <QColor>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace moonbite {

class ChartWidget : public QWidget {
    Q_OBJECT
  public:
    /// The chart types in menu order, with the numbers stored as "graphstyle".
    enum ChartType {
        Bar3D = 0,
        Bar2D = 1,
        Line3D = 2,
        Line2D = 3,
        Area3D = 4,
        Area2D = 5,
        Step3D = 6,
        Step2D = 7
    };

    /// The most rows the chart keeps (a year of days); larger counts are cut.
    static constexpr int kMaxRows = 366;

    explicit ChartWidget(QWidget* parent = nullptr);
    ~ChartWidget() override;

    /// Number of rows (data points); rows keep their label and value when the
    /// count grows, new rows are empty with value 0.
    /// Every call (a new plot begins) clears the highlighted point, as does
    /// any change of a row's label or value.
    void setRowCount(int rows);
    [[nodiscard]] int rowCount() const;
    /// The current row, 1-based, that setRowLabel and setData address.
    void setRow(int row);
    [[nodiscard]] int row() const;
    void setRowLabel(const QString& label);
    /// The current row's value as text, read as a number ("100", "33").
    void setData(const QString& value);
    [[nodiscard]] QString rowLabelAt(int row) const;  ///< 1-based
    [[nodiscard]] double valueAt(int row) const;      ///< 1-based

    /// 0..7 as ChartType; other numbers are ignored.
    void setChartType(int type);
    [[nodiscard]] int chartType() const;
    void setAxisTitles(const QString& categoryTitle, const QString& valueTitle);
    [[nodiscard]] QString categoryAxisTitle() const;
    [[nodiscard]] QString valueAxisTitle() const;
    void setBackdropColor(const QColor& color);
    [[nodiscard]] QColor backdropColor() const;

    /// Where data point n (1-based) is drawn, in widget coordinates, so that a
    /// test (or the keyboard) can click it; an invalid point when n is out of range.
    [[nodiscard]] QPoint pointPosition(int dataPoint) const;

    /// The setters only change the model; the drawn chart catches up once,
    /// from a zero-delay timer or just before the next paint. This brings it
    /// up to date at once (grab() and pointPosition() do so themselves).
    void updateNow() const;
    /// The plot area (inside the axes) in widget coordinates, up to date.
    [[nodiscard]] QRect plotRect() const;
    /// The strip along the top, above the plot and clear of both axes, where
    /// the window lays its selected-date boxes over the chart. Its height is a
    /// fixed share of the chart's, so it keeps fitting boxes that are scaled
    /// with the chart.
    [[nodiscard]] QRect captionBand() const;
    /// The underlying chart, up to date with the model; owned by this widget.
    [[nodiscard]] QChart* chart() const;
    /// How many times the series were rebuilt from the model.
    [[nodiscard]] int rebuildCount() const;
    /// Number of extruded faces drawn for the depth types (0 for flat types).
    [[nodiscard]] int depthItemCount() const;
    /// Only every n-th category label is shown when they would collide.
    [[nodiscard]] int labelStride() const;
    /// The rows (1-based) whose labels are shown under the axis, where, and
    /// what they say (an empty text and rectangle for a row not labelled).
    [[nodiscard]] QList<int> labelledRows() const;
    [[nodiscard]] QRect labelRect(int row) const;
    [[nodiscard]] QString labelText(int row) const;
    /// The point the keyboard has highlighted, 1-based; 0 for none.
    [[nodiscard]] int highlightedPoint() const;

  signals:
    /// Single click on a point.
    void pointSelected(int series, int dataPoint, int mouseFlags, int cancel);
    /// Double click on a point.
    void pointActivated(int series, int dataPoint, int mouseFlags, int cancel);
    /// Click or double click on the plot outside a point.
    void plotSelected(int mouseFlags, int cancel);
    void plotActivated(int mouseFlags, int cancel);
    /// The chart lost the keyboard focus.
    void lostFocus();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    /// Left and Right move the highlighted point, Enter activates it.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void handleClick(QMouseEvent* event, bool activate);
    struct Impl;
    Impl* impl_;
};

}  // namespace moonbite
