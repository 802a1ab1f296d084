#include "chart_widget.h"

#include "chart_geometry.h"

#include <QApplication>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFocusEvent>
#include <QGraphicsEllipseItem>
#include <QGraphicsLayout>
#include <QGraphicsPolygonItem>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace moonbite {

namespace {

const QColor kDefaultBackdrop(0, 128, 192);
// A fresh green: stands apart from the blue default backdrop and from the
// black or white axis text.
const QColor kSeriesFill(96, 200, 104);
const QColor kSeriesEdge(22, 84, 34);
const QColor kLineColor(150, 235, 120);

constexpr double kValueMax = 100.0;
constexpr double kBarWidth = 0.6;   // of a category
constexpr double kHitRadius = 8.0;  // px around a line point
constexpr double kMaxDepth = 14.0;  // px of extrusion at most
constexpr double kLabelGap = 10.0;  // px kept clear between category labels
constexpr double kLabelDrop = 5.0;  // px from the axis line down to a label
// The share of the chart's height kept free along its top for the window's
// selected-date boxes, which lie over the chart and grow with it.
constexpr double kCaptionShare = 0.13;
constexpr qreal kFaceZ = 3.5;     // over the grid and axes, under the series
constexpr qreal kDotZ = 10.0;     // over the series
constexpr qreal kMarkerZ = 50.0;  // over everything

enum class Kind { Bar, Line, Area, Step };

Kind kindOf(int type) {
    switch (type / 2) {
        case 0:
            return Kind::Bar;
        case 1:
            return Kind::Line;
        case 2:
            return Kind::Area;
        default:
            return Kind::Step;
    }
}

bool hasDepth(int type) {
    return type % 2 == 0;
}

double clampValue(double v) {
    return std::clamp(v, 0.0, kValueMax);
}

// Black or white, whichever reads better on the backdrop.
QColor textColourOn(const QColor& backdrop) {
    auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double lum = 0.2126 * linear(backdrop.redF()) + 0.7152 * linear(backdrop.greenF()) +
                       0.0722 * linear(backdrop.blueF());
    const double onBlack = (lum + 0.05) / 0.05;
    const double onWhite = 1.05 / (lum + 0.05);
    return onBlack >= onWhite ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace

struct ChartWidget::Impl {
    explicit Impl(ChartWidget* owner);

    ChartWidget* q;

    // The model: what the setters change.
    std::vector<QString> labels;
    std::vector<double> values;
    int current = 0;
    int type = Bar3D;
    QString categoryTitle = QStringLiteral("Future Dates");
    QString valueTitle = QStringLiteral("Prediction %");
    QColor backdrop = kDefaultBackdrop;

    // The drawing, rebuilt from the model when dirty.
    QChartView* view = nullptr;
    QChart* chart = nullptr;  // owned by the view
    QBarCategoryAxis* axisX = nullptr;
    QValueAxis* axisY = nullptr;
    QAbstractSeries* series = nullptr;
    QBarSet* barSet = nullptr;
    QLineSeries* line = nullptr;  // the line, the step line or the area's top edge
    int builtType = -1;
    std::vector<QGraphicsPolygonItem*> faces;
    // Point dots are drawn as items rather than by the series, which would
    // cut those at 0 and 100 % in half at the plot's edge.
    std::vector<QGraphicsEllipseItem*> dots;
    QGraphicsEllipseItem* marker = nullptr;
    int highlighted = 0;
    int rebuilds = 0;
    // The category labels are drawn here rather than by the axis: the axis
    // can only show all of them (a smear when crowded), hides the first and
    // last when they are wider than their day, and lays its labels out anew
    // (slowly) whenever their text changes. Its own labels are invisible
    // placeholders that keep the room for these in the layout.
    std::vector<QGraphicsSimpleTextItem*> labelItems;
    int stride = 1;
    bool dirty = true;
    // Restyling the axes makes Qt Charts lay them out anew, which costs more
    // than all the rest of a rebuild; so only when the look really changed.
    bool lookDirty = true;
    bool rebuilding = false;
    QTimer rebuildTimer;

    void markDirty();
    void dataChanged();
    [[nodiscard]] int captionHeight() const;
    void ensureBuilt();
    void rebuild();
    void makeSeries();
    void fillSeries();
    void applyLook();
    void updateCategories();
    void layoutNow();
    void onPlotAreaChanged();
    void updateDecorations();
    void updateFaces();
    void updateLabels();
    void updateMarker();
    void addFace(const QPolygonF& polygon, const QColor& fill);
    void updateDots();

    [[nodiscard]] int rows() const { return static_cast<int>(values.size()); }
    [[nodiscard]] double slotWidth() const;
    [[nodiscard]] QPointF back() const;              // the depth offset; (0,0) for flat types
    [[nodiscard]] QPointF pointAt(int index) const;  // chart coordinates
    [[nodiscard]] QRectF barRect(int index) const;
    [[nodiscard]] int hitTest(QPointF pos) const;
    [[nodiscard]] bool inPlot(QPointF pos) const;
};

ChartWidget::Impl::Impl(ChartWidget* owner) : q(owner) {
    chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setPlotAreaBackgroundVisible(false);
    chart->layout()->setContentsMargins(0, 0, 0, 0);

    axisX = new QBarCategoryAxis;
    axisY = new QValueAxis;
    axisY->setRange(0.0, kValueMax);
    axisY->setTickCount(5);
    axisY->setLabelFormat(QStringLiteral("%d"));
    axisX->setGridLineVisible(false);
    // Its labels are only placeholders (see labelItems): no work shortening them.
    axisX->setTruncateLabels(false);
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);

    view = new QChartView(chart, q);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view->setFocusPolicy(Qt::NoFocus);
    // Nor its drawing area: the chart itself is the one control a reader and
    // the keyboard reach.
    view->viewport()->setFocusPolicy(Qt::NoFocus);
    // A re-plot moves labels, bars and points all over the plot; patching
    // only the changed items' rectangles left slivers of old labels behind.
    view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    // Clicks and keys belong to the ChartWidget, which does its own hit tests;
    // this also keeps scene coordinates equal to widget coordinates.
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->viewport()->installEventFilter(q);

    marker = new QGraphicsEllipseItem(chart);
    marker->setZValue(kMarkerZ);
    marker->setPen(QPen(Qt::white, 2.5));
    marker->setBrush(Qt::NoBrush);
    marker->hide();

    QObject::connect(chart, &QChart::plotAreaChanged, q, [this] { onPlotAreaChanged(); });

    rebuildTimer.setSingleShot(true);
    rebuildTimer.setInterval(0);
    QObject::connect(&rebuildTimer, &QTimer::timeout, q, [this] { ensureBuilt(); });
}

void ChartWidget::Impl::markDirty() {
    dirty = true;
    if (!rebuildTimer.isActive()) rebuildTimer.start();
}

// New data: a highlighted point would now stand for another day.
void ChartWidget::Impl::dataChanged() {
    highlighted = 0;
    marker->hide();
    markDirty();
}

int ChartWidget::Impl::captionHeight() const {
    return static_cast<int>(std::ceil(q->height() * kCaptionShare));
}

void ChartWidget::Impl::ensureBuilt() {
    if (dirty && !rebuilding) rebuild();
}

void ChartWidget::Impl::rebuild() {
    rebuilding = true;
    dirty = false;
    rebuildTimer.stop();
    ++rebuilds;
    if (builtType != type) makeSeries();
    if (lookDirty) applyLook();
    lookDirty = false;
    updateCategories();
    fillSeries();
    layoutNow();
    rebuilding = false;
    updateDecorations();
    // The whole plot, every time: what the old data drew may lie anywhere.
    view->viewport()->update();
}

void ChartWidget::Impl::makeSeries() {
    if (series != nullptr) {
        chart->removeSeries(series);
        delete series;
        series = nullptr;
        barSet = nullptr;
        line = nullptr;
    }
    switch (kindOf(type)) {
        case Kind::Bar: {
            auto* bars = new QBarSeries;
            barSet = new QBarSet(QString());
            barSet->setColor(kSeriesFill);
            barSet->setBorderColor(kSeriesEdge);
            QPen edge(kSeriesEdge, 1.2);
            edge.setJoinStyle(Qt::MiterJoin);
            barSet->setPen(edge);
            bars->append(barSet);
            bars->setBarWidth(kBarWidth);
            series = bars;
            break;
        }
        case Kind::Line:
        case Kind::Step: {
            line = new QLineSeries;
            QPen pen(kindOf(type) == Kind::Line && hasDepth(type) ? kSeriesEdge : kLineColor, 3.0);
            pen.setJoinStyle(Qt::RoundJoin);
            pen.setCapStyle(Qt::RoundCap);
            line->setPen(pen);
            series = line;
            break;
        }
        case Kind::Area: {
            line = new QLineSeries;
            auto* area = new QAreaSeries(line);
            line->setParent(area);  // the area series does not own its edge
            area->setBrush(kSeriesFill);
            area->setPen(QPen(kSeriesEdge, 2.0));
            series = area;
            break;
        }
    }
    series->setUseOpenGL(false);
    chart->addSeries(series);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    builtType = type;
}

void ChartWidget::Impl::fillSeries() {
    if (barSet != nullptr) {
        QList<qreal> bars;
        bars.reserve(rows());
        for (double v : values)
            bars.append(clampValue(v));
        if (barSet->count() > 0) barSet->remove(0, barSet->count());
        barSet->append(bars);
        return;
    }
    std::vector<double> shown(values.size());
    std::transform(values.begin(), values.end(), shown.begin(), clampValue);
    if (kindOf(type) == Kind::Step) {
        line->replace(chartgeom::stepPoints(shown));
        return;
    }
    QList<QPointF> points;
    points.reserve(rows());
    for (std::size_t i = 0; i < shown.size(); ++i)
        points.append(QPointF(static_cast<double>(i), shown[i]));
    line->replace(points);
}

void ChartWidget::Impl::applyLook() {
    chart->setBackgroundBrush(backdrop);
    chart->setBackgroundPen(Qt::NoPen);
    view->setBackgroundBrush(backdrop);

    const QColor text = textColourOn(backdrop);
    QColor grid = text;
    grid.setAlphaF(0.3);
    QFont labelFont = q->font();
    // 9 points at the widget's default font size, scaled as the window scales
    // the widget's font, so the axes keep their share of a grown or shrunk chart.
    const double base = QApplication::font(q).pointSizeF();
    const double scale = base > 0 && q->font().pointSizeF() > 0 ? q->font().pointSizeF() / base : 1;
    labelFont.setPointSizeF(9.0 * scale);
    QFont titleFont = labelFont;
    titleFont.setBold(true);
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(axisX), static_cast<QAbstractAxis*>(axisY)}) {
        axis->setLabelsFont(labelFont);
        axis->setLabelsColor(axis == axisX ? QColor(Qt::transparent) : text);
        axis->setTitleFont(titleFont);
        axis->setTitleBrush(text);
        axis->setLinePen(QPen(text, 1.0));
        axis->setGridLinePen(QPen(grid, 1.0, Qt::DotLine));
    }
    axisX->setTitleText(categoryTitle);
    axisY->setTitleText(valueTitle);
    marker->setPen(QPen(text == Qt::black ? QColor(Qt::white) : QColor(Qt::black), 2.5));
}

void ChartWidget::Impl::updateCategories() {
    if (axisX->count() != rows()) axisX->setCategories(chartgeom::placeholderCategories(rows()));

    const QFont font = axisX->labelsFont();
    const QColor ink = textColourOn(backdrop);
    while (labelItems.size() > labels.size()) {
        delete labelItems.back();
        labelItems.pop_back();
    }
    while (labelItems.size() < labels.size()) {
        auto* item = new QGraphicsSimpleTextItem(chart);
        item->setZValue(kFaceZ);
        labelItems.push_back(item);
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labelItems[i]->setText(labels[i]);
        labelItems[i]->setFont(font);
        labelItems[i]->setBrush(ink);
    }
}

void ChartWidget::Impl::updateLabels() {
    const QRectF plot = chart->plotArea();
    if (rows() == 0 || plot.isEmpty() || series == nullptr) {
        for (QGraphicsSimpleTextItem* item : labelItems)
            item->hide();
        return;
    }
    double widest = 0.0;
    for (QGraphicsSimpleTextItem* item : labelItems)
        widest = std::max(widest, item->boundingRect().width());
    stride = chartgeom::labelStride(slotWidth(), widest + kLabelGap);
    const double right = chart->size().width() - 2.0;
    for (int i = 0; i < rows(); ++i) {
        QGraphicsSimpleTextItem* item = labelItems[static_cast<std::size_t>(i)];
        if (i % stride != 0) {
            item->hide();
            continue;
        }
        const QRectF box = item->boundingRect();
        const double centre = chart->mapToPosition(QPointF(i, 0.0), series).x();
        // Where the axis would put it, kept inside the widget at the ends.
        const double left = std::max(2.0, std::min(centre - box.width() / 2, right - box.width()));
        item->setPos(left, plot.bottom() + kLabelDrop);
        item->show();
    }
}

void ChartWidget::Impl::layoutNow() {
    // Room above and to the right for the extruded faces, so that every type
    // shares one plot geometry and switching types does not make it jump;
    // above that, the caption band.
    const int room = static_cast<int>(kMaxDepth) + 4;
    const QMargins margins(6, captionHeight() + room, room, 4);
    if (chart->margins() != margins) chart->setMargins(margins);
    const QSizeF size = q->size();
    if (chart->size() != size) {
        chart->resize(size);
        view->setSceneRect(QRectF(QPointF(0, 0), size));
    }
    chart->layout()->activate();
}

void ChartWidget::Impl::onPlotAreaChanged() {
    if (rebuilding || dirty) return;  // the rebuild finishes the job
    updateDecorations();
}

void ChartWidget::Impl::updateDecorations() {
    updateFaces();
    updateDots();
    updateLabels();
    updateMarker();
}

double ChartWidget::Impl::slotWidth() const {
    return rows() > 0 ? chart->plotArea().width() / rows() : 0.0;
}

QPointF ChartWidget::Impl::back() const {
    if (!hasDepth(type)) return {};
    // Less than the gap between bars, so a face never reaches the next bar.
    return chartgeom::depthOffset(std::clamp(slotWidth() * 0.3, 3.0, kMaxDepth));
}

QPointF ChartWidget::Impl::pointAt(int index) const {
    const double v = clampValue(values[static_cast<std::size_t>(index)]);
    return chart->mapToPosition(QPointF(index, v), series);
}

QRectF ChartWidget::Impl::barRect(int index) const {
    const double v = clampValue(values[static_cast<std::size_t>(index)]);
    const QPointF topLeft = chart->mapToPosition(QPointF(index - kBarWidth / 2, v), series);
    const QPointF bottomRight = chart->mapToPosition(QPointF(index + kBarWidth / 2, 0.0), series);
    return QRectF(topLeft, bottomRight).normalized();
}

void ChartWidget::Impl::addFace(const QPolygonF& polygon, const QColor& fill) {
    auto* face = new QGraphicsPolygonItem(polygon, chart);
    face->setBrush(fill);
    QPen edge(kSeriesEdge, 1.0);
    edge.setJoinStyle(Qt::MiterJoin);
    face->setPen(edge);
    face->setZValue(kFaceZ);
    faces.push_back(face);
}

void ChartWidget::Impl::updateFaces() {
    for (QGraphicsPolygonItem* face : faces)
        delete face;
    faces.clear();
    if (!hasDepth(type) || rows() == 0 || series == nullptr || chart->plotArea().isEmpty()) return;

    const QPointF d = back();
    const QColor lit = kSeriesFill.lighter(130);
    const QColor shade = kSeriesFill.darker(150);
    auto strip = [&](QPointF a, QPointF b) {
        addFace(chartgeom::ribbon(a, b, d), chartgeom::ribbonShowsTop(a, b, d) ? lit : shade);
    };
    switch (kindOf(type)) {
        case Kind::Bar:
            for (int i = 0; i < rows(); ++i) {
                const QRectF front = barRect(i);
                addFace(chartgeom::topFace(front, d), lit);
                if (front.height() > 0.5) addFace(chartgeom::sideFace(front, d), shade);
            }
            break;
        case Kind::Line:
            if (rows() == 1) strip(pointAt(0) - QPointF(2, 0), pointAt(0) + QPointF(2, 0));
            for (int i = 0; i + 1 < rows(); ++i)
                strip(pointAt(i), pointAt(i + 1));
            break;
        case Kind::Area: {
            for (int i = 0; i + 1 < rows(); ++i)
                strip(pointAt(i), pointAt(i + 1));
            const QPointF last = pointAt(rows() - 1);
            const QPointF base = chart->mapToPosition(QPointF(rows() - 1, 0.0), series);
            addFace(chartgeom::ribbon(base, last, d), shade);
            break;
        }
        case Kind::Step: {
            const QList<QPointF> steps = line->points();
            for (qsizetype i = 0; i + 1 < steps.size(); ++i) {
                const QPointF a = chart->mapToPosition(steps[i], series);
                const QPointF b = chart->mapToPosition(steps[i + 1], series);
                const bool riser = std::abs(a.x() - b.x()) < 0.5;
                if (riser && std::abs(a.y() - b.y()) < 0.5) continue;  // no change of level
                // Treads catch the light; risers stand in shadow.
                addFace(chartgeom::ribbon(a, b, d), riser ? shade : lit);
            }
            break;
        }
    }
}

void ChartWidget::Impl::updateDots() {
    for (QGraphicsEllipseItem* dot : dots)
        delete dot;
    dots.clear();
    if (type != Line2D && type != Area2D) return;
    if (rows() == 0 || series == nullptr || chart->plotArea().isEmpty()) return;
    const double r = type == Line2D ? 4.5 : 3.5;
    for (int i = 0; i < rows(); ++i) {
        const QPointF at = pointAt(i);
        auto* dot = new QGraphicsEllipseItem(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r), chart);
        dot->setBrush(kLineColor);
        dot->setPen(QPen(kSeriesEdge, 1.5));
        dot->setZValue(kDotZ);
        dots.push_back(dot);
    }
}

void ChartWidget::Impl::updateMarker() {
    if (highlighted < 1 || highlighted > rows() || !q->hasFocus() || series == nullptr ||
        chart->plotArea().isEmpty()) {
        marker->hide();
        return;
    }
    const QPointF at = pointAt(highlighted - 1);
    constexpr double r = 7.0;
    marker->setRect(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r));
    marker->show();
}

int ChartWidget::Impl::hitTest(QPointF pos) const {
    if (rows() == 0 || series == nullptr || chart->plotArea().isEmpty()) return 0;
    const QPointF d = back();

    if (kindOf(type) == Kind::Bar) {
        for (int i = 0; i < rows(); ++i) {
            // A few px of slack so a low or empty bar can still be hit.
            QRectF front = barRect(i).adjusted(-1, -3, 1, 2);
            if (front.height() < 8) front.setTop(front.bottom() - 8);
            if (chartgeom::boxOutline(front, d).containsPoint(pos, Qt::OddEvenFill)) return i + 1;
        }
        return 0;
    }

    const double x = chart->mapToValue(pos, series).x();
    const int i = std::clamp(static_cast<int>(std::lround(x)), 0, rows() - 1);
    if (kindOf(type) == Kind::Step) {
        // The whole tread of the step counts, and its extruded top.
        const double v = clampValue(values[static_cast<std::size_t>(i)]);
        const QPointF left = chart->mapToPosition(QPointF(i - 0.5, v), series);
        const QPointF right = chart->mapToPosition(QPointF(i + 0.5, v), series);
        if (chartgeom::distanceToSegment(pos, left, right) <= kHitRadius) return i + 1;
        if (hasDepth(type) && chartgeom::ribbon(left, right, d).containsPoint(pos, Qt::OddEvenFill))
            return i + 1;
        return 0;
    }
    const QPointF at = pointAt(i);
    if (chartgeom::distanceToSegment(pos, at, at + d) <= kHitRadius) return i + 1;
    return 0;
}

bool ChartWidget::Impl::inPlot(QPointF pos) const {
    return chart->plotArea().contains(pos);
}

// ---------------------------------------------------------------------------

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent), impl_(new Impl(this)) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
    impl_->markDirty();
}

ChartWidget::~ChartWidget() {
    // The view (and with it the chart) goes first, while the filter and the
    // plot-area handler still have their state to look at.
    impl_->view->viewport()->removeEventFilter(this);
    delete impl_->view;
    delete impl_;
}

void ChartWidget::setRowCount(int rows) {
    rows = std::clamp(rows, 0, kMaxRows);
    // Every plot starts here, so the selection goes even when the count stays.
    impl_->highlighted = 0;
    impl_->marker->hide();
    if (rows == impl_->rows()) return;
    impl_->labels.resize(static_cast<std::size_t>(rows));
    impl_->values.resize(static_cast<std::size_t>(rows), 0.0);
    impl_->current = rows == 0 ? 0 : std::clamp(impl_->current, 1, rows);
    impl_->dataChanged();
}

int ChartWidget::rowCount() const {
    return impl_->rows();
}

void ChartWidget::setRow(int row) {
    if (row >= 1 && row <= impl_->rows()) impl_->current = row;
}

int ChartWidget::row() const {
    return impl_->current;
}

void ChartWidget::setRowLabel(const QString& label) {
    if (impl_->current < 1) return;
    QString& slot = impl_->labels[static_cast<std::size_t>(impl_->current - 1)];
    if (slot == label) return;
    slot = label;
    impl_->dataChanged();
}

void ChartWidget::setData(const QString& value) {
    if (impl_->current < 1) return;
    double& slot = impl_->values[static_cast<std::size_t>(impl_->current - 1)];
    const double parsed = chartgeom::parseValue(value);
    if (slot == parsed) return;
    slot = parsed;
    impl_->dataChanged();
}

QString ChartWidget::rowLabelAt(int row) const {
    if (row < 1 || row > impl_->rows()) return {};
    return impl_->labels[static_cast<std::size_t>(row - 1)];
}

double ChartWidget::valueAt(int row) const {
    if (row < 1 || row > impl_->rows()) return 0.0;
    return impl_->values[static_cast<std::size_t>(row - 1)];
}

void ChartWidget::setChartType(int type) {
    if (type < Bar3D || type > Step2D || type == impl_->type) return;
    impl_->type = type;
    impl_->markDirty();
}

int ChartWidget::chartType() const {
    return impl_->type;
}

void ChartWidget::setAxisTitles(const QString& categoryTitle, const QString& valueTitle) {
    if (categoryTitle == impl_->categoryTitle && valueTitle == impl_->valueTitle) return;
    impl_->categoryTitle = categoryTitle;
    impl_->valueTitle = valueTitle;
    impl_->lookDirty = true;
    impl_->markDirty();
}

QString ChartWidget::categoryAxisTitle() const {
    return impl_->categoryTitle;
}

QString ChartWidget::valueAxisTitle() const {
    return impl_->valueTitle;
}

void ChartWidget::setBackdropColor(const QColor& color) {
    if (!color.isValid() || color == impl_->backdrop) return;
    impl_->backdrop = color;
    impl_->lookDirty = true;
    impl_->markDirty();
}

QColor ChartWidget::backdropColor() const {
    return impl_->backdrop;
}

QPoint ChartWidget::pointPosition(int dataPoint) const {
    impl_->ensureBuilt();
    impl_->layoutNow();
    if (dataPoint < 1 || dataPoint > impl_->rows() || impl_->series == nullptr) return {};
    const int i = dataPoint - 1;
    // Scene coordinates are widget coordinates: the view sits at (0,0) with
    // no frame and a top-left aligned scene.
    if (kindOf(impl_->type) == Kind::Bar) {
        const QRectF bar = impl_->barRect(i);
        return QPointF(bar.center().x(), bar.top()).toPoint();
    }
    return impl_->pointAt(i).toPoint();
}

void ChartWidget::updateNow() const {
    impl_->ensureBuilt();
    impl_->layoutNow();
}

QRect ChartWidget::plotRect() const {
    impl_->ensureBuilt();
    impl_->layoutNow();
    return impl_->chart->plotArea().toAlignedRect();
}

QRect ChartWidget::captionBand() const {
    return {0, 0, width(), impl_->captionHeight()};
}

QChart* ChartWidget::chart() const {
    impl_->ensureBuilt();
    return impl_->chart;
}

int ChartWidget::rebuildCount() const {
    return impl_->rebuilds;
}

int ChartWidget::depthItemCount() const {
    impl_->ensureBuilt();
    return static_cast<int>(impl_->faces.size());
}

int ChartWidget::labelStride() const {
    impl_->ensureBuilt();
    return impl_->stride;
}

QList<int> ChartWidget::labelledRows() const {
    updateNow();
    QList<int> shown;
    for (std::size_t i = 0; i < impl_->labelItems.size(); ++i)
        if (impl_->labelItems[i]->isVisible()) shown.append(static_cast<int>(i) + 1);
    return shown;
}

QRect ChartWidget::labelRect(int row) const {
    updateNow();
    if (row < 1 || row > static_cast<int>(impl_->labelItems.size())) return {};
    const QGraphicsSimpleTextItem* item = impl_->labelItems[static_cast<std::size_t>(row - 1)];
    if (!item->isVisible()) return {};
    return item->mapRectToParent(item->boundingRect()).toAlignedRect();
}

QString ChartWidget::labelText(int row) const {
    updateNow();
    if (row < 1 || row > static_cast<int>(impl_->labelItems.size())) return {};
    const QGraphicsSimpleTextItem* item = impl_->labelItems[static_cast<std::size_t>(row - 1)];
    return item->isVisible() ? item->text() : QString();
}

int ChartWidget::highlightedPoint() const {
    return impl_->highlighted;
}

// A click or double click: on a point it selects or activates that point,
// elsewhere on the plot the plot itself.
void ChartWidget::handleClick(QMouseEvent* event, bool activate) {
    setFocus(Qt::MouseFocusReason);
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    updateNow();
    const int hit = impl_->hitTest(event->position());
    if (hit > 0) {
        impl_->highlighted = hit;
        impl_->updateMarker();
        if (activate) {
            emit pointActivated(1, hit, 0, 0);
        } else {
            emit pointSelected(1, hit, 0, 0);
        }
    } else if (impl_->inPlot(event->position())) {
        if (activate) {
            emit plotActivated(0, 0);
        } else {
            emit plotSelected(0, 0);
        }
    }
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    handleClick(event, false);
}

void ChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    handleClick(event, true);
}

void ChartWidget::keyPressEvent(QKeyEvent* event) {
    const int n = impl_->rows();
    int& h = impl_->highlighted;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            if (n == 0) break;
            const bool right = event->key() == Qt::Key_Right;
            const int next = h == 0 ? (right ? 1 : n) : std::clamp(h + (right ? 1 : -1), 1, n);
            if (next != h) {
                h = next;
                updateNow();
                impl_->updateMarker();
                emit pointSelected(1, h, 0, 0);
            }
            event->accept();
            return;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (h >= 1 && h <= n) {
                emit pointActivated(1, h, 0, 0);
                event->accept();
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

void ChartWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    impl_->updateMarker();
}

void ChartWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    impl_->updateMarker();
    // Switching to another application or opening a menu is not leaving the chart.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit lostFocus();
}

void ChartWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        impl_->lookDirty = true;
        impl_->markDirty();
    }
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    impl_->view->setGeometry(rect());
}

bool ChartWidget::eventFilter(QObject* watched, QEvent* event) {
    // Catch up with the model just before the chart is drawn, so a grab or a
    // paint right after the setters shows the new data.
    if (watched == impl_->view->viewport() && event->type() == QEvent::Paint) {
        impl_->ensureBuilt();
        impl_->layoutNow();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace moonbite
