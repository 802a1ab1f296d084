// Form1's behaviour: start-up, activation, the date handlers, the graph, the
// settings frame with its locations and time zone, and the menus.
#include "main_window.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "about_box.h"
#include "calendar_print.h"
#include "chart_widget.h"
#include "contrast.h"
#include "gauge_line.h"
#include "journal_window.h"
#include "message_boxes.h"
#include "window_fit.h"
#include "moon_pictures.h"
#include "place_table.h"
#include "settings_store.h"
#include "system_time_zone.h"
#include "updown.h"

namespace moonbite {
namespace {

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void assign(Text& out, const QString& text) {
    out = text.toUtf8().toStdString();
}

QString numberString(double value) {
    Text t;
    numberText(t, value);
    return q(t);
}

double valOf(const QLineEdit* box) {
    return Val(box->text().toUtf8().toStdString());
}

/// A strict numeric conversion of a box's text: blanks around are allowed,
/// anything else that is not a number fails ("12a", "").
bool strictNumber(const QString& text, double& value) {
    bool ok = false;
    value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

QColor colourOf(unsigned number) {
    return QColor(static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
                  static_cast<int>((number >> 16) & 0xFF));
}

/// "left,top,width,height" as saved; an empty rectangle for anything else.
QRect storedGeometry(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return {};
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || std::abs(v[i]) > 100000) return {};
    }
    return v[2] > 0 && v[3] > 0 ? QRect(v[0], v[1], v[2], v[3]) : QRect();
}

/// The saved place moved onto the screen it mostly lies on (the primary
/// screen when it lies on none: a screen unplugged since), no larger than
/// the screen's free area, so the window is never lost off the desktop.
QRect onScreen(QRect r) {
    QScreen* screen = QGuiApplication::screenAt(r.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return r;
    const QRect free = screen->availableGeometry();
    r.setSize(r.size().boundedTo(free.size()));
    if (r.right() > free.right()) r.moveRight(free.right());
    if (r.bottom() > free.bottom()) r.moveBottom(free.bottom());
    if (r.left() < free.left()) r.moveLeft(free.left());
    if (r.top() < free.top()) r.moveTop(free.top());
    return r;
}

// The central widget's size as designed: the controls' places are measured on it.
constexpr QSize kDesignSize(1010, 636);

const QString kSettings = QStringLiteral("Settings");
const QString kNewLocation = QStringLiteral("New Location");

// Design positions (twips) of the date controls in each date order.
struct DatePositions {
    int combo1, text1, updown1;
};
constexpr DatePositions kDayFirst{900, 150, 560};
constexpr DatePositions kMonthFirst{135, 1845, 2250};

}  // namespace

Form1::Form1(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("Form1"));
    QLocale locale;
    state_.designators.am = locale.amText().toUtf8().toStdString();
    state_.designators.pm = locale.pmText().toUtf8().toStdString();
    if (state_.designators.am.empty()) state_.designators.am = "AM";
    if (state_.designators.pm.empty()) state_.designators.pm = "PM";
    buildControls();
    followPalette();
    buildMenus();
    buildShortcuts();
    resize(kDesignSize + QSize(0, menuBar()->sizeHint().height()));
    drawPictures();
    resizer_ = std::make_unique<Resizer>(scale_);
    connectHandlers();
    setTabChain();
}

Form1::~Form1() = default;

// ---------------------------------------------------------------------------
// Start-up, activation, close

void Form1::Form_Load() {
    SettingsStore& store = *services_.store;
    starty_ = true;
    state_.dateOrderMonthFirst = readBool(store, keys::daterep);

    listLocations(readLocationNames(store));
    Combo3->setEditText(readText(store, keys::currentloc));
    // Before the settings frame is applied below, which keeps the place's station.
    tideStation_ = readText(store, keys::tidestation);
    pendingTideStation_ = tideStation_;

    datrep();
    starty_ = false;

    const QDate today = services_.today();
    state_.today = Date::fromYmd(today.year(), today.month(), today.day()).value_or(Date{});
    Text1->setText(QString::number(today.day()));
    Text10->setText(QString::number(today.year()));
    Combo1->setCurrentIndex(today.month() - 1);
    pullDateControls();
    state_.computationDate = state_.today;
    showWeekday(state_);
    Label10->setText(q(state_.Label10));
    buildDisplayedDateText(state_);

    const bool tips = readBool(store, keys::textipshow);
    mnutextip->setChecked(tips);
    state_.textTipsShown = tips;
    tips ? tooltipsshow() : tooltipss();

    // The place and size first, so a maximised window restores to them.
    const QRect saved = storedGeometry(readText(store, keys::wingeometry));
    if (saved.isValid()) setGeometry(onScreen(saved));
    switch (readIntInRange(store, keys::winstate, 0, 2)) {
        case 1:
            setWindowState(Qt::WindowMinimized);
            break;
        case 2:
            setWindowState(Qt::WindowMaximized);
            break;
        default:
            break;
    }
    convertrgb(static_cast<unsigned>(readIntInRange(store, keys::Chartcolor, 0, 0xFFFFFF)));
    const int style = readIntInRange(store, keys::graphstyle, 0, 7);
    MSChart1->setChartType(style);
    menuclrcheck();
    mnuChart[style]->setChecked(true);
    saveSettingsNotKeptOnce();
}

void Form1::Activateform() {
    SettingsStore& store = *services_.store;
    settings();
    // Until a place has been applied there is nothing to check and no day to
    // show: a new user is choosing one, and is not told off for it.
    placeChosen_ = placeChosen_ || !readText(store, keys::currentloc).isEmpty();
    if (!placeChosen_) {
        Text11->setText(QString::number(readIntInRange(store, keys::graphday, 2, kMaxGraphDays)));
        pullDateControls();
        showState();
        updateTitle();
        saveSettingsNotKeptOnce();
        return;
    }
    checklatlon();
    state_.reverseMoonImage = readBool(store, keys::moonorth);

    // The place as every window computes with it: checked values, and the
    // zone followed by date when its clocks change.
    place_ = readCurrentPlace(store, services_.timeZone->zone());
    applyPlace(place_, state_);
    // The graph holds 2..60 days; anything else stored reads as the default.
    const int graphDays = readIntInRange(store, keys::graphday, 2, kMaxGraphDays);

    Text11->setText(QString::number(graphDays));
    state_.plottedDayCount = static_cast<std::int16_t>(graphDays);

    pullDateControls();
    activateDisplayedDay(state_);
    state_.startDateText = state_.displayedDateText;
    showState();
    updateTitle();
    saveSettingsNotKeptOnce();
}

void Form1::updateTitle() {
    const QString name = readText(*services_.store, keys::currentloc);
    setWindowTitle(name.isEmpty() ? QStringLiteral("Moonbite")
                                  : QStringLiteral("Moonbite - ") + name);
}

void Form1::showNoPlace() {
    for (QLineEdit* box : {Text2, Text32, Text6, Text21, Text39, Text9, Text4, Text5, Text7, Text8})
        box->clear();
    Label13->clear();
    for (QWidget* w : {static_cast<QWidget*>(Label14), static_cast<QWidget*>(Label18),
                       static_cast<QWidget*>(Label19), static_cast<QWidget*>(LabelClockChange),
                       static_cast<QWidget*>(Image2), static_cast<QWidget*>(Line1)}) {
        w->hide();
    }
    Image3->clear();
    if (state_.textTipsShown) Image5->setToolTip(QString());
    MSChart1->setRowCount(0);
    dayWord_.clear();
    describeDay();
    describeGraph();
    showChoosePlace();
    showTides();
}

// A link that takes the user to the search, saying where it is while the
// settings frame is open.
void Form1::showChoosePlace() {
    const QString text = Frame9->isVisible() ? tr("Choose your place in the settings below")
                                             : tr("Choose your place");
    // The link's colour is the label's Link role (followPalette).
    LabelChoosePlace->setText(
        QStringLiteral("<a href=\"#find\">%1</a>").arg(text.toHtmlEscaped()));
    LabelChoosePlace->show();
}

// Fixed accents would fade on a dark desktop (the blue of the clock change
// reads at 2:1 there): each keeps its hue at a lightness that reads on the
// window colour, and is worked out again when the desktop's palette changes.
void Form1::followPalette() {
    const QColor window = palette().color(QPalette::Window);
    auto accent = [&window](QWidget* w, QPalette::ColorRole role, QColor hue) {
        QPalette p = w->palette();
        const QColor readable = readableOn(hue, window);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            p.setColor(group, role, readable);
        w->setPalette(p);
    };
    accent(Label19, QPalette::WindowText, QColor(0xa0, 0x5a, 0x00));
    accent(LabelClockChange, QPalette::WindowText, QColor(0x1f, 0x5f, 0xa8));
    accent(LabelChoosePlace, QPalette::Link, QColor(0xa0, 0x5a, 0x00));
    // A quieter grey than the text around it, not a fixed one.
    const QColor text = palette().color(QPalette::WindowText);
    QColor quiet = text;
    quiet.setRgbF(0.55F * text.redF() + 0.45F * window.redF(),
                  0.55F * text.greenF() + 0.45F * window.greenF(),
                  0.55F * text.blueF() + 0.45F * window.blueF());
    accent(LabelPlaceNote, QPalette::WindowText, quiet);
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) followPalette();
}

void Form1::chooseAPlace() {
    if (!Frame9->isVisible()) mnualarm_Click();
    TextFindPlace->setFocus(Qt::OtherFocusReason);
}

void Form1::settings() {
    SettingsStore& store = *services_.store;
    const bool alarm = readBool(store, keys::runalarm);
    Option1->setChecked(alarm);
    Option2->setChecked(!alarm);
    Check1->setChecked(readInt(store, keys::showmoon) == 1);
    Check2->setChecked(readInt(store, keys::showfish) == 1);
    Check3->setChecked(readInt(store, keys::daylight) == 1);
    Text12->setText(readText(store, keys::daysinadvance));
    Combo2->setCurrentIndex(readIntInRange(store, keys::daytype, 0, 3));
    customZone_ = readBool(store, keys::custom);

    Text30->setText(readText(store, keys::latdeg));
    Text15->setText(readText(store, keys::londeg));
    Text20->setText(readText(store, keys::latmin));
    Text14->setText(readText(store, keys::lonmin));
    Text17->setText(readText(store, keys::gmtInSettingsFrame));
    Label17->setVisible(readBool(store, keys::gmtv));
    Text40->setText(readText(store, keys::NorS));
    Text13->setText(readText(store, keys::WorE));

    Text16->setEnabled(true);
    const SystemZone zone = ReadSystemTimeZone(*services_.timeZone, Check3->isChecked());
    systemZoneName_ = zone.name;
    systemOffsetHours_ = zone.offsetHours;

    setAlarmGroupEnabled(alarm);
    if (!customZone_) {
        Text16->setText(systemZoneName_);
        Text17->setText(numberString(systemOffsetHours_));
        Check3->setEnabled(true);
    } else {
        Text16->setText(QStringLiteral("Custom"));
        Text16->setEnabled(false);
        Check3->setEnabled(false);
    }
    setNamedZone(readText(store, keys::tzname));
}

void Form1::otherWindowClosed() {
    Activateform();
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstShow_) {
        fitOnScreen(*this, centralWidget(), kDesignSize, QSize(0, menuBar()->sizeHint().height()));
        // A window dragged to a screen of another scale gets that screen's minimum.
        if (windowHandle() != nullptr) {
            connect(windowHandle(), &QWindow::screenChanged, this, [this] {
                fitOnScreen(*this, centralWidget(), kDesignSize,
                            QSize(0, menuBar()->sizeHint().height()));
            });
        }
        firstShow_ = false;
        Activateform();
        // The tide stations are read once the window is up, so that it opens
        // without waiting for them.
        QTimer::singleShot(0, this, [this] {
            tidesReady_ = true;
            showTides();
        });
        // A new user's first sight: the settings, ready to type the town into.
        if (!placeChosen_) chooseAPlace();
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    SettingsStore& store = *services_.store;
    write(store, keys::graphstyle, QString::number(MSChart1->chartType()));
    int winstate = 0;
    if (windowState() & Qt::WindowMinimized) winstate = 1;
    if (windowState() & Qt::WindowMaximized) winstate = 2;
    write(store, keys::winstate, QString::number(winstate));
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    write(store, keys::wingeometry, QStringLiteral("%1,%2,%3,%4")
                                        .arg(normal.x())
                                        .arg(normal.y())
                                        .arg(normal.width())
                                        .arg(normal.height()));
    // Said now or never: the file these writes replaced is not looked at again.
    saveSettingsNotKeptOnce();
    resizer_.reset();
    event->accept();
}

// Each problem with the settings files is said once: a file that a write
// replaced (its bytes kept beside it), a file that cannot be read at all, a
// lock that could not be taken, or a folder where nothing can be written.
// Called after every write, so that no replacement goes unsaid.
void Form1::saveSettingsNotKeptOnce() {
    SettingsStore& store = *services_.store;
    const auto info = static_cast<int>(MessageBoxes::Icon::Information);
    const QString title = QStringLiteral("Moonbite");
    for (const auto& replaced : store.takeReplacedFiles()) {
        using Why = SettingsStore::Replaced::Why;
        if (replaced.why == Why::TooLarge && settingsFilesAnnounced_.removeOne(replaced.file))
            continue;
        const QString what =
            replaced.why == Why::NotUtf8
                ? tr("Moonbite's settings file %1 held text that is not UTF-8, which Moonbite "
                     "cannot keep as it was: it has been replaced by a copy with those "
                     "characters shown as \"%2\".")
                      .arg(replaced.file, QChar(0xFFFD))
                : tr("Moonbite's settings file %1 was damaged and has been replaced.")
                      .arg(replaced.file);
        showMessage(what + tr("\nA copy of the old file is kept at %1.").arg(replaced.keptAs),
                    title, info);
    }
    if (settingsWarningShown_) return;
    if (const QString lock = store.takeLockFailure(); !lock.isEmpty()) {
        settingsWarningShown_ = true;
        showMessage(tr("Moonbite could not lock its settings: %1 is held by another program, "
                       "or was left behind by one.\nIt will run as usual, but your settings and "
                       "locations will not be saved until it is started again.")
                        .arg(lock),
                    title, info);
        return;
    }
    for (const QString& app : {kTitleApp, kStateApp}) {
        const QString reason = store.unreadableReason(app);
        if (reason.isEmpty()) continue;
        const QString path = QFileInfo(store.filePath(app)).absoluteFilePath();
        if (!store.damaged(app)) {
            settingsWarningShown_ = true;
            showMessage(tr("Moonbite cannot read its settings from %1: %2.\nIt will run with its "
                           "default settings, and changes will not be kept after you close it.")
                            .arg(path, reason),
                        title, info);
            return;
        }
        // A damaged file is read for what it holds and said when a write
        // replaces it; an oversized one is not read at all, so say it now.
        if (store.oversized(app) && !settingsFilesAnnounced_.contains(path)) {
            settingsFilesAnnounced_ << path;
            showMessage(tr("Moonbite cannot read its settings from %1: %2.\nIt will run with its "
                           "default settings; when it next saves them, the old file is kept "
                           "beside the new one with \".damaged\" added to its name.")
                            .arg(path, reason),
                        title, info);
        }
    }
    if (store.writable()) return;
    settingsWarningShown_ = true;
    showMessage(tr("Moonbite cannot write its settings to %1.\nIt will run as usual, but your "
                   "settings and locations will not be kept after you close it.")
                    .arg(store.folder()),
                title, info);
}

void Form1::listLocations(const QStringList& names) {
    const QString text = Combo3->currentText();
    Combo3->clear();
    Combo3->addItem(kNewLocation);
    Combo3->addItems(names);
    Combo3->setEditText(text);
}

QStringList Form1::listedLocations() const {
    QStringList names;
    for (int i = 1; i < Combo3->count(); ++i)
        names << Combo3->itemText(i);
    return names;
}

// ---------------------------------------------------------------------------
// The day

void Form1::pullDateControls() {
    assign(state_.Text1, Text1->text());
    state_.Combo1 = std::max(0, Combo1->currentIndex());
    assign(state_.Text10, Text10->text());
}

void Form1::pushStateDateControls() {
    if (Text1->text() != q(state_.Text1)) Text1->setText(q(state_.Text1));
    if (Combo1->currentIndex() != state_.Combo1) Combo1->setCurrentIndex(state_.Combo1);
    if (Text10->text() != q(state_.Text10)) Text10->setText(q(state_.Text10));
}

void Form1::datechanged() {
    if (inDatechanged_) return;
    inDatechanged_ = true;
    pullDateControls();
    moonbite::datechanged(state_, this);
    state_.startDateText = state_.displayedDateText;
    inDatechanged_ = false;
    showState();
}

void Form1::recompute() {
    datechanged();
    showLunarDistance(state_);
    showState();
}

// The roll-over moved the month list: its click handler rebuilds the table.
void Form1::Combo1_Click(SolunarState& s) {
    if (starty_) return;
    calcmoontime(s);
}

// The roll-over changed the year box: its change handler rebuilds the table
// for the displayed date (a year earlier in January). The day computation
// already under way finishes the recomputation, so it is not started again.
void Form1::Text10_Change(SolunarState& s) {
    if (starty_) return;
    if (yearKeystroke_) {
        yearKeystroke_ = false;
        return;
    }
    const int year = static_cast<int>(Val(s.Text10)) - (s.Combo1 == 0 ? 1 : 0);
    if (const auto d = Date::fromYmd(year, s.Combo1 + 1, 1)) {
        s.computationDate = *d;
        calcmoontime(s);
    }
    if (!inDatechanged_) recompute();
}

void Form1::showState() {
    pushStateDateControls();
    Command7->setVisible(state_.Command7Visible);
    Label10->setText(q(state_.Label10));
    if (!placeChosen_) {
        showNoPlace();
        return;
    }
    LabelChoosePlace->hide();
    Image2->show();
    Line1->show();
    Label19->setVisible(state_.Label19.visible);
    Label19->setText(q(state_.Label19.caption));
    LabelClockChange->setVisible(state_.LabelClockChange.visible);
    LabelClockChange->setText(q(state_.LabelClockChange.caption));

    drawMoonPicture();
    if (state_.textTipsShown) Image5->setToolTip(q(state_.Image5Tip));
    QPalette palette = Picture2->palette();
    palette.setColor(QPalette::Window, colourOf(static_cast<unsigned>(state_.Picture2BackColor)));
    Picture2->setPalette(palette);
    Text9->setText(q(state_.Text9));

    Text2->setText(q(state_.Text2));
    Text32->setText(q(state_.Text32));
    Text6->setText(q(state_.Text6));
    Text21->setText(q(state_.Text21));
    Text39->setText(q(state_.Text39));
    Text4->setText(q(state_.Text4));
    Text5->setText(q(state_.Text5));
    Text7->setText(q(state_.Text7));
    Text8->setText(q(state_.Text8));
    Label14->setVisible(state_.Label14.visible);
    Label14->setText(q(state_.Label14.caption));
    Label18->setVisible(state_.Label18.visible);
    Label18->setText(q(state_.Label18.caption));
    Label13->setText(q(state_.Label13));
    placeGauge();
    // Read now: drawing the graph later works out every graph day's word.
    dayWord_ = q(state_.predictionWord);
    describeDay();

    MSChart1->setRowCount(state_.graphRowCount);
    for (int i = 1; i <= state_.graphRowCount; ++i) {
        const GraphRow& row = state_.graphRows[static_cast<std::size_t>(i - 1)];
        MSChart1->setRow(i);
        MSChart1->setRowLabel(q(row.label));
        MSChart1->setData(QString::number(row.value));
    }
    describeGraph();
    showTides();
}

void Form1::describeDay() {
    LabelRating->setText(dayWord_);
    Picture2->setAccessibleDescription(dayWord_);
    Image5->setAccessibleDescription(dayWord_);
    QString moon;
    if (!Text9->text().isEmpty()) moon = tr("Age %1 days").arg(Text9->text());
    for (const QLabel* phase : {Label14, Label18})
        if (!phase->isHidden() && !phase->text().isEmpty())
            moon += QStringLiteral(", ") + phase->text();
    Image3->setAccessibleDescription(moon);
    // A label is read by its name: the caption with the distance it shows.
    Label13->setAccessibleName(
        Label13->text().isEmpty() ? tr("Lunar distance in Kilometers")
                                  : tr("Lunar distance in Kilometers: %1 km").arg(Label13->text()));
}

void Form1::describeGraph(int selectedPoint) {
    const Date start = parseDateText(state_.startDateText).value_or(state_.computationDate);
    auto dayText = [&](int point) {
        const YearMonthDay d = (start + (point - 1)).ymd();
        const std::string_view month = englishMonthName(d.month);
        const std::string_view word =
            predictionRating(static_cast<int>(std::lround(MSChart1->valueAt(point)))).word;
        return QStringLiteral("%1 %2 %3")
            .arg(d.day)
            .arg(QString::fromLatin1(month.data(), static_cast<qsizetype>(month.size())),
                 QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size())));
    };
    QStringList days;
    for (int i = 1; i <= MSChart1->rowCount(); ++i)
        days << dayText(i);
    QString text = days.join(QStringLiteral(", "));
    if (selectedPoint >= 1 && selectedPoint <= MSChart1->rowCount()) {
        QString selected = dayText(selectedPoint);
        if (const QString range = TextTideRange->isHidden() ? QString() : TextTideRange->text();
            !range.isEmpty())
            selected += QStringLiteral(", ") + range.toLower();
        text = tr("Selected: %1. %2").arg(selected, text);
    }
    if (MSChart1->accessibleDescription() == text) return;
    MSChart1->setAccessibleDescription(text);
    // Told, a running screen reader reads the change out (the selected day).
    QAccessibleEvent changed(MSChart1, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void Form1::placeGauge() {
    state_.scaleFactor = scale_.horizontalScale;
    moonbite::placeGauge(state_);
    const double s = scale_.horizontalScale;
    const double y = Frame1->height() / 2.0;
    Line1->setGeometry(Frame1->rect());
    Line1->setLine(s * 705 / kTwipsPerPixel, y, state_.Line1X2 / kTwipsPerPixel, y);
    Image2->move(static_cast<int>(std::lround(state_.Image2Left / kTwipsPerPixel)),
                 static_cast<int>(std::lround(y - Image2->height() / 2.0)));
    Image2->raise();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (resizer_ != nullptr) resizer_->Resize(this);
    keepDateFieldsApart();
    if (ListPlaces->isVisible()) fitPlaceList();
    drawPictures();
    placeGauge();
}

// The pictures are drawn at the size their controls have now, so that they stay
// sharp and fill their place as the window grows.
void Form1::drawPictures() {
    const qreal dpr = devicePixelRatioF();
    Image1->setPixmap(gaugeScale(Image1->width(), Image1->height(), dpr));
    Image2->setPixmap(gaugeMarker(Image2->width(), Image2->height(), dpr));
    Image5->setPixmap(predictionPicture(Image5->width(), Image5->height(), dpr));
    drawMoonPicture();
}

void Form1::drawMoonPicture() {
    if (!placeChosen_) return;  // no day, no moon
    // A pixel short of the control on every side, as at the design size.
    const int size = std::max(1, std::min(Image3->width(), Image3->height()) - 2);
    Image3->setPixmap(moonPhasePixmap(state_.Image3, size, devicePixelRatioF()));
}

void Form1::graph() {
    state_.graphInProgress = false;
    const std::int16_t n = toInt16(valOf(Text11));
    const int rows = placeChosen_ ? std::clamp<int>(n, 0, kMaxGraphDays) : 0;
    MSChart1->setRowCount(rows);
    pullDateControls();
    buildDisplayedDateText(state_);
    state_.startDateText = state_.displayedDateText;
    const Date start = parseDateText(state_.startDateText).value_or(state_.computationDate);
    FixedText<7> label;
    for (int i = 1; i <= rows; ++i) {
        state_.computationDate = start + (i - 1);
        calcmoon(state_);
        MSChart1->setRow(i);
        graphRowLabel(label, state_.computationDate, state_.dateOrderMonthFirst);
        MSChart1->setRowLabel(q(label));
        MSChart1->setData(QString::number(state_.predictionScore));
    }
    state_.graphInProgress = true;
    state_.plottedDayCount = n;
    describeGraph();
    write(*services_.store, keys::graphday, Text11->text());
    saveSettingsNotKeptOnce();
}

void Form1::datrep() {
    scale_.layoutChange = true;
    resizer_ = std::make_unique<Resizer>(scale_);
    connect(resizer_.get(), &Resizer::ResizeError, this, [this](qint16, const QString&) {
        showMessage(QStringLiteral("Resize Error"), QStringLiteral("Moonbite"),
                    static_cast<int>(MessageBoxes::Icon::Critical));
    });
    Text3->hide();
    TextTideRange->hide();
    Text18->hide();
    bool stored = false;
    if (!state_.dateOrderMonthFirst) {
        state_.dateOrderMonthFirst = true;
        stored = false;
    } else {
        state_.dateOrderMonthFirst = false;
        stored = true;
    }
    placeDateControls();
    write(*services_.store, keys::daterep, boolText(stored));
    resizer_->Resize(this);
    keepDateFieldsApart();
    scale_.layoutChange = false;
    if (!starty_) graph();  // which says what the write above did to the files
}

void Form1::placeDateControls() {
    const DatePositions& p = state_.dateOrderMonthFirst ? kMonthFirst : kDayFirst;
    const double s = scale_.horizontalScale;
    auto moveTo = [s](QWidget* w, int twips) {
        w->move(static_cast<int>(std::lround(s * twips / kTwipsPerPixel)), w->y());
    };
    moveTo(Combo1, p.combo1);
    moveTo(Text1, p.text1);
    moveTo(UpDown1, p.updown1);
    keepDateFieldsApart();
}

void Form1::keepDateFieldsApart() {
    // At some scales the list's rounded width reaches the day box: a pixel apart.
    if (state_.dateOrderMonthFirst && Text1->x() <= Combo1->geometry().right()) {
        const int by = Combo1->geometry().right() + 1 - Text1->x();
        Text1->move(Text1->x() + by, Text1->y());
        UpDown1->move(UpDown1->x() + by, UpDown1->y());
    }
}

void Form1::Text1_KeyDown(int key) {
    const double day = valOf(Text1);
    Text1->setText(numberString(key == Qt::Key_Up ? day + 1 : day - 1));
    recompute();
}

void Form1::Text1_KeyPress_Enter() {
    UpDown1->setFocus();
    recompute();
}

void Form1::UpDown1_Change() {
    UpDown1->setFocus();
    recompute();
}

void Form1::Combo1_Click() {
    if (starty_) return;
    pullDateControls();
    calcmoontime(state_);
    UpDown1->setFocus();
}

void Form1::Combo1_LostFocus() {
    pullDateControls();
    buildDisplayedDateText(state_);
    const auto displayed = parseDateText(state_.displayedDateText);
    if (displayed) {
        state_.computationDate = *displayed;
        if (state_.Combo1 == 0) {
            state_.computationDate =
                Date::fromYmd(displayed->year() - 1, 1, displayed->day()).value_or(*displayed);
        }
        calcmoontime(state_);
    }
    recompute();
}

void Form1::Text10_KeyPress() {
    UpDown2->setFocus();
    yearKeystroke_ = true;
}

void Form1::Text10_Change() {
    pullDateControls();
    Text10_Change(state_);
}

void Form1::Command7_Click() {
    const QDate today = services_.today();
    state_.today = Date::fromYmd(today.year(), today.month(), today.day()).value_or(state_.today);
    showDate(today);
    Command7->hide();
    UpDown1->setFocus();
}

void Form1::showDate(const QDate& date) {
    if (!date.isValid() || date.year() < 1901 || date.year() > 2200) return;
    Text1->setText(QString::number(date.day()));
    Combo1->setCurrentIndex(date.month() - 1);
    Text10->setText(QString::number(date.year()));
    // The distance shown must be the day's too, so the whole recomputation runs.
    recompute();
}

void Form1::setGraphDaysValidated() {
    const QString stored = readText(*services_.store, keys::graphday);
    double value = 0;
    const QString text = Text11->text().trimmed();
    if (text.isEmpty() || !strictNumber(text, value)) {
        Text11->setText(stored);
        value = Val(stored.toStdString());
    }
    if (value > 60) Text11->setText(QStringLiteral("60"));
    if (value < 2) Text11->setText(QStringLiteral("2"));
}

void Form1::Text11_Commit() {
    setGraphDaysValidated();
    graph();
    UpDown3->setFocus();
}

void Form1::UpDown3_Change() {
    UpDown3->setFocus();
    graph();
}

void Form1::MSChart1_PointSelected(int, int DataPoint, int, int) {
    Text18->show();
    Text3->show();
    Text18->raise();
    Text3->raise();
    const Date start = parseDateText(state_.startDateText).value_or(state_.computationDate);
    const YearMonthDay d = (start + (DataPoint - 1)).ymd();
    Text3->setText(state_.dateOrderMonthFirst ? QStringLiteral("%1/%2/%3")
                                                    .arg(d.month)
                                                    .arg(d.day)
                                                    .arg(d.year, 4, 10, QLatin1Char('0'))
                                              : QStringLiteral("%1/%2/%3")
                                                    .arg(d.day)
                                                    .arg(d.month)
                                                    .arg(d.year, 4, 10, QLatin1Char('0')));
    showTideRange(start + (DataPoint - 1));
    describeGraph(DataPoint);
}

void Form1::MSChart1_PointActivated(int, int, int, int) {
    const QStringList parts = Text3->text().split(QLatin1Char('/'));
    if (parts.size() != 3) return;
    const int first = parts[0].toInt();
    const int second = parts[1].toInt();
    const int day = state_.dateOrderMonthFirst ? second : first;
    const int month = state_.dateOrderMonthFirst ? first : second;
    if (month < 1 || month > 12) return;
    Text1->setText(QString::number(day));
    Combo1->setCurrentIndex(month - 1);
    Text10->setText(parts[2]);
    Text18->hide();
    Text3->hide();
    TextTideRange->hide();
    // The distance shown must follow the new date too.
    recompute();
}

void Form1::MSChart1_PlotSelected() {
    UpDown1->setFocus();
}

void Form1::MSChart1_LostFocus() {
    Text18->hide();
    Text3->hide();
    TextTideRange->hide();
    describeGraph();
}

// ---------------------------------------------------------------------------
// Menus

void Form1::menuclrcheck() {
    for (QAction* a : mnuChart)
        a->setChecked(false);
}

void Form1::mnuChartType(int type) {
    menuclrcheck();
    MSChart1->setChartType(type);
    mnuChart[type]->setChecked(true);
}

void Form1::convertrgb(unsigned colourNumber) {
    const QColor colour = colourOf(colourNumber);
    MSChart1->setBackdropColor(colour);
    for (QLineEdit* box : {Text3, Text18}) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base, colour);
        p.setColor(QPalette::Text, blackOrWhiteOn(colour));
        box->setPalette(p);
    }
}

void Form1::mnubackcol_Click() {
    const QColor chosen = services_.chooseColour(MSChart1->backdropColor(), this);
    if (chosen.isValid()) {
        const unsigned number = static_cast<unsigned>(chosen.red()) |
                                (static_cast<unsigned>(chosen.green()) << 8) |
                                (static_cast<unsigned>(chosen.blue()) << 16);
        write(*services_.store, keys::Chartcolor, QString::number(number));
        convertrgb(number);
    }
    otherWindowClosed();
}

void Form1::mnualarm_Click() {
    MSChart1->hide();
    Text18->hide();
    Text3->hide();
    TextTideRange->hide();
    Frame9->show();
    Frame9->raise();
    mnualarm->setEnabled(false);
    if (!placeChosen_) showChoosePlace();
}

void Form1::mnurevmoon_Click() {
    state_.reverseMoonImage = !state_.reverseMoonImage;
    datechanged();
    write(*services_.store, keys::moonorth, boolText(state_.reverseMoonImage));
    saveSettingsNotKeptOnce();
}

void Form1::mnutextip_Click() {
    // The action has already flipped its own check mark.
    const bool on = mnutextip->isChecked();
    state_.textTipsShown = on;
    if (on) {
        tooltipsshow();
        Image5->setToolTip(QStringLiteral("Displayed date fishing prediction : ") +
                           q(state_.predictionWord));
    } else {
        tooltipss();
    }
    write(*services_.store, keys::textipshow, boolText(on));
    saveSettingsNotKeptOnce();
}

void Form1::mnuabout_Click() {
    frmAbout about(this);
    connect(&about, &frmAbout::helpRequested, this, [this] {
        if (services_.openHelp) services_.openHelp(11);
    });
    about.exec();
    otherWindowClosed();
}

PrintServices Form1::printServices() {
    PrintServices print;
    print.store = services_.store;
    print.boxes = services_.boxes;
    print.state = &state_;
    print.today = services_.today;
    print.zoneText = [this] { return Text17->text(); };
    print.zoneName = [this] { return Text16->text(); };
    print.printOnPrinter = services_.printOnPrinter;
    print.choosePdfPath = services_.choosePdfPath;
    print.tidesOf = tidesOfPlace();
    print.tideLine = tideLine();
    print.noTidesReason = noTidesReason();
    return print;
}

void Form1::mnuprintcal_Click() {
    Form4 form(printServices(), this);
    form.Form_Load();
    form.exec();
    // Printing leaves the shared values at the last printed day; the window
    // recomputes as it becomes active again.
    otherWindowClosed();
}

JournalServices Form1::journalServices() {
    JournalServices journal;
    journal.state = &state_;
    journal.boxes = services_.boxes;
    journal.folder = services_.journalFolder;
    journal.today = services_.today;
    journal.openHelp = services_.openHelp;
    // The journal offers the tide at a new trip's time from the place's station.
    const tides::TideDatabase* db = tideDatabase();
    if (const tides::StationChoice c = tideStation(); db != nullptr && c.index >= 0) {
        const tides::TideStation* station = &db->stations[static_cast<std::size_t>(c.index)];
        journal.tideStateOf = [db, station](const SolunarState& s, Date d, int minute) {
            return tides::tideState(*db, *station, instantAtClock(s, d, minute) - kUnixEpochInstant);
        };
        journal.dayTidesText = [db, station](const SolunarState& s, Date d) {
            const tides::DayTides day = tides::dayTides(*db, *station, s, d);
            std::string text;
            for (std::size_t i = 0; i < day.events.size(); ++i)
                text += (i ? ", " : "") + tides::eventText(day.events[i], day.minutes[i], s.designators);
            return text;
        };
    }
    return journal;
}

void Form1::Command1_Click() {
    Form3 form(journalServices(), this);
    form.exec();
    otherWindowClosed();
}

void Form1::showMessage(const QString& text, const QString& title, int icon) {
    services_.boxes->show(this, text, title, static_cast<MessageBoxes::Icon>(icon));
}

}  // namespace moonbite
